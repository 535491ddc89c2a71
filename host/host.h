// The host: a layer between the platform and the game, the way an emulator's
// menu sits around the program it runs. It owns the pause menu, the hints and
// its own small settings file, draws into a 240x320 layer of its own that is
// laid over the game's picture when a frame is shown, and reaches the game
// only through the calls the game already makes (the clock, the key state,
// the message queue, the frame buffer) and a few entry points: a read-only
// view after each pass, setSoundEnabled and quitToTitle().
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
//      observer a read-only view of the game.
//
// How to add a host page:
//   - write a HostPage (host/pages.cpp has the five built-in ones as models):
//     a short name (dumps and tests read it), a title, draw(layer), key(action)
//     and tap(x, y) returning true when the tap was the page's; `available`
//     says whether the main menu lists it now (null: always);
//   - hostAddPage(&page) at start-up, before the first pass, puts it at the
//     end of the main menu (before "Quit game"); the page opens another one
//     with hostOpenPage(name) and returns with hostOpenPage("menu").
// How to add an observer (a recorder, a computer seat, a hint):
//   - hostAddObserver(fn): fn(view) runs after every game pass, never while
//     the game is paused; it reads the view and must not write the game;
//   - to take Button A for a computer seat, set hostSetButtonA() once a pass:
//     kButtonAHeld holds the game's A as if pressed, kButtonAUp reads A as up
//     (the people's A ignored), kButtonAFromPeople gives it back.
#pragma once

#include <cstdint>

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

// The device whose names the help and the hints use.
enum class HostDevice { kKeyboard, kPad, kTouch };

// Posted by a backend for a menu button that is not a key of the game: the
// pad's Back/Select, the page's "Menu" button.
constexpr UINT WM_TOBELYN_MENU = 0x8000 + 0x22;  // WM_APP + 0x22

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

// --- Input seam: what the game's calls read (redirected for game code only,
// see platform/winapi.h).
DWORD hostGameTime();
SHORT hostGameKeyState(int vKey);
BOOL hostGamePeekMessage(MSG *msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
void *hostGameBeginDraw();
int hostGameEndDraw();

enum class HostButtonA { kFromPeople, kHeld, kUp };
void hostSetButtonA(HostButtonA mode);

// --- Backends.

// The window was minimised (true) or restored (false): paused meanwhile.
void hostMinimized(bool minimized);
// The device the player used last (names in help and hints).
void hostSetDevice(HostDevice device);
HostDevice hostDevice();
// Touch on the picture during a match holds Button A while the finger is
// down (at least one pass). Returns true when the touch was taken so.
bool hostTouchDown(int32_t x, int32_t y);
void hostTouchUp();
// The window's own switches, offered on the Settings page where a backend
// has them (the desktop: full screen and fit mode).
struct HostWindowControls {
  bool (*fullScreen)();
  void (*toggleFullScreen)();
  bool (*fit)();
  void (*toggleFit)();
};
void hostSetWindowControls(const HostWindowControls *controls);
const HostWindowControls *hostWindowControls();
// The one-line hint being shown, or null (a backend with room outside the
// picture may show it there as well).
const char *hostHintText();

// --- Pages and observers.

struct HostLayer;
struct HostPage {
  const char *name;   // short, for dumps and tests: "menu", "help", ...
  const char *title;  // as the main menu lists it
  bool (*available)();
  void (*draw)(HostLayer &layer);
  void (*key)(HostAction action);
  bool (*tap)(int32_t x, int32_t y);
};
void hostAddPage(const HostPage *page);
void hostOpenPage(const char *name);
void hostOpenMenu();
void hostCloseMenu();
bool hostMenuOpen();
const char *hostPageName();

using HostObserver = void (*)(const HostView &view);
void hostAddObserver(HostObserver observer);

// --- The host's settings.
struct HostSettings {
  int32_t volume;           // 0..10
  int32_t hints;            // 1 on, 0 off
  int32_t hintsChosen;      // 1 once the player switched hints by hand
  int32_t matchesFinished;  // hints go off by themselves after three
};
HostSettings &hostSettings();
bool hostHintsOn();
// tobelyn-replay: hints shown or not whatever the settings say, so that a
// run with the host on shows the game's frames unless a script asks.
void hostForceHints(bool on);
