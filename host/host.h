// The host: a layer between the platform and the game, the way an emulator's
// menu sits around the program it runs. It owns the pause menu and its own
// small settings file, draws into a 240x320 layer of its own that is laid
// over the game's picture when a frame is shown, and reaches the game only
// through the calls the game already makes (the clock, the key state, the
// message queue, the frame buffer, the sound) and a few entry points: a
// read-only view after each pass, setSoundEnabled, quitToTitle() and
// startMatchOf() (a match the host starts: resumed, watched, a rematch).
//
// The core (host/host.cpp: the pause, the seam, the menu's list, the
// registry) names no feature. The features (how to play, settings, hints,
// the player book and its summary card, the seats and the computer players)
// plug in through two hooks, both registered by hostStart
// (host/features.cpp) before the first pass:
//   - a HostPage: a screen of the menu;
//   - a HostFeature: what runs after every pass, at a match's start and
//     end, over the game's picture, in the settings file, at exit.
// The core calls features only through these tables, never by name; no
// file of the host calls back into a file that calls it (the seam_guard
// test reads the object files to check).
//
// With the host off (tobelyn-replay's default) every wrapped call passes
// straight through: frames, dumps and landings are the game's alone.
//
// One pass of the main loop with the host on (app/app.cpp):
//   1. the host sees input first: the menu key, and while the menu is open
//      every key and tap (hostPausedPass), or filtered key messages and held
//      keys while it is closed (the game's PeekMessageW, GetAsyncKeyState);
//   2. paused (menu open, window minimised): no game pass runs, the game's
//      clock stands still, the host presents the last game picture with its
//      layer;
//   3. otherwise the game's pass runs, then hostAfterPass(view) hands every
//      feature a read-only view of the game.
//   A pass a feature asked to hold (hostHoldPasses: an assisted seat's
//   slower pace) runs no game pass either: hostHeldPass holds the clock as
//   a pause does, takes the pass's message and shows the last picture.
//
// How to add a host page:
//   - write a HostPage (host/pages.cpp has the built-in ones as models): a
//     short name (dumps and tests read it), a title, the menu row it is
//     listed under (`under`, one of kMenuSlots' names; a page whose name is
//     a slot's is that row itself), draw(layer), key(action) and tap(x, y)
//     returning true when the tap was the page's, and the optional hooks;
//     `available` says whether the menu lists it now (null: always);
//   - hostAddPage(&page) at start-up, from hostStart; false when the page
//     does not fit (no such row, or its group is full): never dropped
//     silently. The page opens another one with hostOpenPage(name) and goes
//     back with hostOpenParent().
// How to add a feature (a recorder, a computer seat, a hint):
//   - a HostFeature with the hooks it needs, hostAddFeature(&feature) from
//     hostStart; observe(view) runs after every game pass, never while the
//     game is paused, and must not write the game;
//   - to press Button A (computer seats; next: auto-continue, watching and
//     resuming a match), claim it once a pass with hostClaimButtonA(owner,
//     held): the highest owner claiming in a pass alone is heard, so two
//     claimants never both press. hostSetButtonA is the seats' claim.
#pragma once

#include <cstdint>
#include <string>

#include "platform/common/host_link.h"
#include "platform/game_seam.h"
#include "platform/winapi.h"

struct MatchState;

// Which screen of the game is current, as the host sees it.
enum class HostScene : int32_t {
  kOther,
  kTitle,
  kGameSelect,
  kPlayerSelect,
  kReady,
  kMatch,
  kOption,
  kAbout,
};

// What the host and its observers may know of the game after a pass.
struct HostView {
  HostScene scene;
  int32_t sceneStep;
  const MatchState *match;
  int32_t gameMode;
  int32_t playerCount;
};

// A menu item or an action of the bound keys and the pad, as the pages see it.
enum class HostAction { kNone, kUp, kDown, kLeft, kRight, kConfirm, kBack };

// The device whose names the help and the hints use (as the backends tell
// it, platform/common/host_link.h).
using HostDevice = InputDevice;

// --- Switching the host on and off, start and end.

// On for the game everywhere; tobelyn-replay turns it on by script only.
void hostEnable(bool on);
bool hostEnabled();
// Reads the host's own settings file (never the game's). Call after the
// game's start-up.
void hostStart();
// Writes the host's settings file (after the game's settings).
void hostFinish();
// Where the host file lives: a path, or null to keep it in memory. Defined
// by each build beside its settings (see host/host_files.cpp).
const char *hostSettingsPath();

// --- The pass (called by the shell, app/app.cpp).

bool hostPaused();
// Before a game pass (not paused): a pause that has just ended lets the
// game's clock run again.
void hostBeforePass();
// One pass while paused: at most one message for the host, then the last
// game picture with the layer. False once WM_QUIT was taken (*exitCode set).
bool hostPausedPass(int *exitCode);
// After each game pass: the observers, the hints.
void hostAfterPass(const HostView &view);
// The view after the last game pass.
const HostView &hostLastView();
// Held passes (a seat's assist): the next `passes` platform passes run no
// game pass. Each holds the game's clock as a pause does, shows the last
// picture and keeps a press of Button A for the game's next pass. Set
// from a feature's observe; the shell asks hostPassHeld() before each pass
// and then runs hostHeldPass instead of the game's (false once WM_QUIT
// was taken, *exitCode set).
void hostHoldPasses(int32_t passes);
bool hostPassHeld();
bool hostHeldPass(int *exitCode);

// --- The seam: the game's clock, keys, messages, frames and sounds are
// read through the host's wrappers, declared once in platform/game_seam.h.
// A match played again fast (resumed, caught up) is silent: while this is
// set, the game's sounds are not played.
void hostSilenceGame(bool silent);
bool hostGameSilenced();

// Who presses Button A for the game in a pass, lowest first. People press
// it themselves unless an owner claims it; touch on the picture claims it
// as the lowest owner. The order is the one the next features need: a match
// played back (watched or resumed) outranks everything.
enum class HostButtonOwner : int32_t {
  kPeople,
  kTouch,
  kAutoContinue,
  kSeats,
  kPlayback,
};
constexpr int32_t kButtonOwners = 5;
// A claim for the next game pass: held, or up (people's A ignored). Claims
// are made after a pass (from a feature's hooks) and last until the next
// pass's features run again; of the owners claiming, the highest is heard.
void hostClaimButtonA(HostButtonOwner owner, bool held);
// Whoever the game's next read of Button A hears (kPeople: nobody claimed).
HostButtonOwner hostButtonAOwner();
// The computer seats' claim, as they have always made it: kFromPeople
// withdraws it.
enum class HostButtonA { kFromPeople, kHeld, kUp };
void hostSetButtonA(HostButtonA mode);

// --- What backends tell, through platform/common/host_link.h (the host
// installs these there when it is switched on; no backend calls them by
// name). The host pushes its volume down there after every pass.

// The window was minimised (true) or restored (false): paused meanwhile.
void hostMinimized(bool minimized);
// The device the player used last (names in help and hints).
void hostSetDevice(HostDevice device);
HostDevice hostDevice();
// Touch on the picture during a match holds Button A while the finger is
// down (at least one pass). Returns true when the touch was taken so.
bool hostTouchDown(int32_t x, int32_t y);
void hostTouchUp();
// A feature's first look at a key pressed or a tap on the picture while the
// menu is closed (the summary card's rematch): true when it took it, and
// the game never hears of it. One such hook; null: none.
struct HostInputHook {
  bool (*key)(int32_t vKey);
  bool (*tap)(int32_t x, int32_t y);
};
void hostSetInputHook(const HostInputHook *hook);
// The window's own switches where the backend has them, or null.
const WindowControls *hostWindowControls();
// The one-line hint being shown, or null (an entry with room outside the
// picture may show it there as well).
const char *hostHintText();

// --- Pages and features.

struct HostLayer;

// One row of a page as data: what the page draws and what a reader of the
// screen is told. The value is empty where the label says it all.
struct HostRow {
  char label[40];
  char value[24];
  bool chosen;
  // A bar of so many steps drawn in place of the value, meterFilled of them
  // lit (0 steps: none); the value still says it in words for a reader.
  int8_t meterSteps;
  int8_t meterFilled;
};
constexpr int32_t kHostRowsMax = 12;

struct HostPage {
  const char *name;   // short, for dumps and tests: "menu", "help", ...
  const char *title;  // as the menu lists it; null: opened by another page only
  // The menu row it is listed under (a kMenuSlots name); null for pages
  // that are not listed.
  const char *under;
  bool (*available)();
  void (*draw)(HostLayer &layer);
  void (*key)(HostAction action);
  bool (*tap)(int32_t x, int32_t y);
  // Optional hooks (null: none).
  // A key as typed, before it is read as an action; true when taken.
  bool (*typed)(int32_t vKey);
  // It became the page shown (the menu: only when the menu opens afresh).
  void (*opened)();
  // It stopped being the page shown, or the menu closed over it.
  void (*left)();
  // Its rows now, as drawn; returns how many (at most max).
  int32_t (*rows)(HostRow *rows, int32_t max);
};
// False when the page does not fit the menu (see kMenuSlots); a page
// already added is not added twice.
bool hostAddPage(const HostPage *page);
void hostOpenPage(const char *name);
// Back from the page shown: to the group it is listed in, else the menu.
void hostOpenParent();
void hostOpenMenu();
void hostCloseMenu();
bool hostMenuOpen();
const char *hostPageName();
// The rows of the page shown (none while the menu is closed).
int32_t hostPageRows(HostRow *rows, int32_t max);

// The menu's top rows after "Resume", in order: a page of that name, or a
// group ("...") listing the pages whose `under` names it. A group shows
// only when something in it is listed now.
struct HostMenuSlot {
  const char *name;
  const char *title;
  bool group;
};
constexpr int32_t kMenuTopRowsMax = 7;  // room for a smaller panel over the game
constexpr int32_t kMenuGroupRowsMax = 7;
constexpr HostMenuSlot kMenuSlots[] = {
    {"play", "Play...", true},        {"players", "Players", false},
    {"book", "Player book...", true}, {"help", "How to play", false},
    {"settings", "Settings", false},  {"quit", "Quit...", true},
};
constexpr int32_t kMenuSlotCount = static_cast<int32_t>(sizeof kMenuSlots / sizeof kMenuSlots[0]);
static_assert(kMenuSlotCount + 1 <= kMenuTopRowsMax, "the menu has room for seven rows");

// A row of the Settings page that a feature brings: its label, its value
// now, and a change (direction -1 or +1).
struct HostSettingRow {
  const char *label;
  const char *(*value)();
  void (*change)(int32_t direction);
};

struct HostFeature {
  const char *name;
  // After every game pass (never while paused).
  void (*observe)(const HostView &view);
  // The first pass of a match (the view's scene became the match), and the
  // pass it finished on; both run before observe.
  void (*matchStarted)(const HostView &view);
  void (*matchFinished)(const HostView &view);
  // Drawn over the game's picture while the menu is closed, features in
  // the order of `overlayOrder` (lowest first); true when it covered the
  // game's picture, so that none after it draws.
  bool (*overlay)(HostLayer &layer, const HostView &view);
  int32_t overlayOrder;
  // A line a backend may show outside the picture, or null.
  const char *(*caption)(const HostView &view);
  // The host's settings file: a line this feature knows ("name value"),
  // and its own lines appended in its order.
  void (*readSetting)(const char *line);
  void (*writeSettings)(std::string &text);
  // Settings rows it brings, after the built-in ones.
  const HostSettingRow *settingRows;
  int32_t settingRowCount;
  void (*finish)();  // at exit
  void (*reset)();   // tests start afresh
};
// False when the registry is full.
bool hostAddFeature(const HostFeature *feature);
int32_t hostFeatureCount();
const HostFeature *hostFeatureAt(int32_t index);

// An observer alone: a feature with only observe (tests, tobelyn-replay).
using HostObserver = void (*)(const HostView &view);
bool hostAddObserver(HostObserver observer);

// --- A match played again from its code (host/match_codes.cpp drives it;
// other features only ask). Catching up (a resumed match) runs unseen and
// silent; a watched match is shown and never goes into the book.
enum class HostPlayback : int32_t { kNone, kCatchingUp, kWatching };
void hostSetPlayback(HostPlayback playback);
HostPlayback hostPlayback();
// Moves the game's clock on at once (a press played back keeps the game's
// gap between presses; a dart played back unseen needs no wait in flight).
void hostAdvanceGameClock(uint32_t ms);
// Passes not shown: no frame reaches the display, and the shell runs them
// back to back (up to kHiddenPassesMax in one of its passes).
void hostHideGame(bool hidden);
bool hostGameHidden();
constexpr int32_t kHiddenPassesMax = 4000;
// The code of the current or last match (once a dart is thrown), empty
// before; the player book keeps it with the finished match.
void hostSetMatchCode(const std::string &code);
const std::string &hostMatchCode();

// --- The host's settings.
struct HostSettings {
  int32_t volume;           // 0..10
  int32_t hints;            // 1 on, 0 off
  int32_t hintsChosen;      // 1 once the player switched hints by hand
  int32_t matchesFinished;  // hints go off by themselves after three
  int32_t menuOpened;       // 1 once the menu was opened: the title's hint stops
};
HostSettings &hostSettings();
bool hostHintsOn();
// tobelyn-replay: hints shown or not whatever the settings say, so that a
// run with the host on shows the game's frames unless a script asks.
void hostForceHints(bool on);

// "Effects: Lively" (host/lively.cpp): drawn over the game only. tobelyn-
// replay shows it only after `host effects`, whatever the host file says.
bool hostLively();
void hostForceLively(bool on);
