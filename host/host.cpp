// The host's core: its state, its seam with the game (the clock the game
// reads, the keys it holds, the messages it takes, the frames it shows and
// the sounds it plays all pass through here), the menu's list and the
// registry of pages and features. It names no feature: it walks the
// registry. While the host is off every call passes straight through.
#include "host/host.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "host/host_internal.h"
#include "platform/common/host_voice.h"
#include "platform/common/safe_file.h"
#include "platform/gx.h"

namespace {

constexpr int kKeyCount = 256;
constexpr int kPagesMax = 32;
constexpr int kFeaturesMax = 16;
constexpr int kFramePixels = kLayerWidth * kLayerHeight;
constexpr uint32_t kRepeatBit = 1u << 30;  // WM_KEYDOWN: an auto-repeat
// The host's file is read and written up to this size, with room to spare
// for the settings still to come; a longer line is no line of ours.
constexpr size_t kHostFileMax = 16 * 1024;
constexpr size_t kHostLineMax = 256;

struct HostState {
  bool enabled;
  bool menuOpen;
  bool minimized;
  const HostPage *page;
  // The game's clock runs behind the system's by the time spent paused.
  DWORD pausedTotal;
  DWORD pauseStart;
  bool clockHeld;
  // Keys (and pad buttons, which read as keys) held when the menu closed:
  // up to the game until released, so the closing press never throws.
  bool releaseWait[kKeyCount];
  // The claims on Button A for the next game pass, by owner.
  bool claimed[kButtonOwners];
  bool claimHeld[kButtonOwners];
  HostDevice device;
  // Touch held on the picture during a match: Button A while it lasts.
  bool touchDown;
  bool touchHoldsA;
  bool touchPassSeen;
  bool touchIgnored;
  // A touch the input hook took: the click the backend posts after it is
  // the same touch, and goes nowhere.
  bool touchTaken;
  HostView view;
  bool silent;           // the game's sounds not played (a match played again fast)
  int forcedHints = -1;  // -1 as the settings say, 0 off, 1 on
  int32_t lastStep;
  HostScene lastScene;
  // Platform passes still to hold without a game pass (a seat's assist),
  // and a press of Button A seen on one of them, kept for the next pass.
  int32_t heldPasses;
  bool heldPressA;
  HostPlayback playback;
  bool hidden;  // passes not shown (a match catching up)
  std::string matchCode;
};

HostState state;
HostSettings settings = {
    .volume = 10, .hints = 1, .hintsChosen = 0, .matchesFinished = 0, .menuOpened = 0};

const HostPage *pages[kPagesMax];
int pageCount;
const HostFeature *features[kFeaturesMax];
int featureCount;
const HostFeature *overlays[kFeaturesMax];
int overlayCount;
// Observers added alone, each made a feature with only observe.
HostFeature observerFeatures[kFeaturesMax];
int observerFeatureCount;
int32_t menuCursorRow;
int32_t groupCursorRow[kMenuSlotCount];

// The game's last picture, kept to show under the menu while no pass runs.
uint16_t gameFrame[kFramePixels];
bool gameFrameKept;
void *drawingTo;

// A feature's first look at keys and taps over the game (hostSetInputHook).
const HostInputHook *inputHook;

bool systemHeld(int vKey) { return (static_cast<uint16_t>(GetAsyncKeyState(vKey)) & 0x8000u) != 0; }

void holdClock() {
  if (state.clockHeld) return;
  state.clockHeld = true;
  state.pauseStart = timeGetTime();
}

void releaseClock() {
  if (!state.clockHeld) return;
  state.clockHeld = false;
  state.pausedTotal += timeGetTime() - state.pauseStart;
}

// The clock is held as soon as the game pauses, and runs again only when
// the next game pass begins, so that the game sees one pass's time between
// its last pass before the pause and its first after it.
void updateClock() {
  if (state.menuOpen || state.minimized) holdClock();
}

bool f1IsBound() {
  for (int16_t code : keyBindings)
    if (code == VK_F1) return true;
  return false;
}

bool displayFits(const GXDisplayProperties &p) {
  return p.cxWidth == static_cast<DWORD>(kLayerWidth) &&
         p.cyHeight == static_cast<DWORD>(kLayerHeight) && p.cBPP == 16 &&
         (p.ffFormat & (kfDirect555 | kfDirect565)) != 0;
}

// The layer laid over the frame about to be shown, when there is something
// to show.
void composeInto(void *frame) {
  const GXDisplayProperties p = GXGetDisplayProperties();
  if (frame == nullptr || !displayFits(p)) return;
  auto *pixels = static_cast<uint16_t *>(frame);
  const bool is555 = (p.ffFormat & kfDirect555) != 0;
  HostLayer layer{pixels, is555};
  if (state.menuOpen) {
    dimFrame(pixels, kFramePixels, is555);
    if (state.page != nullptr) state.page->draw(layer);
    return;
  }
  // The features' overlays, lowest order first: the first that covers the
  // picture is the last drawn.
  for (int i = 0; i < overlayCount; ++i)
    if (overlays[i]->overlay(layer, state.view)) return;
}

void presentPaused() {
  void *frame = GXBeginDraw();
  if (frame != nullptr && gameFrameKept && displayFits(GXGetDisplayProperties())) {
    std::memcpy(frame, gameFrame, sizeof gameFrame);
    composeInto(frame);
  }
  GXEndDraw();
}

HostAction actionFor(int32_t key) {
  if (keyIs(key, kKeyUp)) return HostAction::kUp;
  if (keyIs(key, kKeyDown)) return HostAction::kDown;
  if (keyIs(key, kKeyLeft)) return HostAction::kLeft;
  if (keyIs(key, kKeyRight)) return HostAction::kRight;
  if (keyIs(key, kButtonA)) return HostAction::kConfirm;
  if (keyIs(key, kButtonB)) return HostAction::kBack;
  // The keyboard's own keys work too, whatever is bound.
  if (key == VK_UP) return HostAction::kUp;
  if (key == VK_DOWN) return HostAction::kDown;
  if (key == VK_LEFT) return HostAction::kLeft;
  if (key == VK_RIGHT) return HostAction::kRight;
  if (key == VK_RETURN || key == VK_SPACE) return HostAction::kConfirm;
  if (key == VK_ESCAPE || key == VK_BACK) return HostAction::kBack;
  return HostAction::kNone;
}

void menuKey(const MSG &msg) {
  const int32_t key = static_cast<int32_t>(msg.wParam & 0xFFFF);
  if ((static_cast<uint32_t>(msg.lParam) & kRepeatBit) != 0 && key == VK_F1) return;
  if (key == VK_F1 && !f1IsBound()) {
    hostCloseMenu();
    return;
  }
  if (state.page != nullptr && state.page->typed != nullptr && state.page->typed(key)) return;
  const HostAction action = actionFor(key);
  if (action == HostAction::kNone || state.page == nullptr) return;
  state.page->key(action);
}

void menuTap(const MSG &msg) {
  POINT point;
  point.x = LOWORD(static_cast<uintptr_t>(msg.lParam));
  point.y = HIWORD(static_cast<uintptr_t>(msg.lParam));
  ClientToScreen(msg.hwnd, &point);
  if (state.page != nullptr && state.page->tap != nullptr) state.page->tap(point.x, point.y);
}

bool isFinished(HostScene scene, int32_t step) {
  return scene == HostScene::kMatch && step == kMatchFinished;
}

// The file is read without sscanf, whose formatted reading (with floating
// point) would be the largest piece of the browser build's code.
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// A match begins on the first pass whose scene is the match after one that
// was not, and finishes on the pass that reaches its "finished" step.
void matchHooks(const HostView &view) {
  const bool started = view.scene == HostScene::kMatch && state.lastScene != HostScene::kMatch;
  const bool finished =
      isFinished(view.scene, view.sceneStep) && !isFinished(state.lastScene, state.lastStep);
  if (finished && settings.matchesFinished < 1000000) ++settings.matchesFinished;
  for (int i = 0; i < featureCount; ++i) {
    if (started && features[i]->matchStarted != nullptr) features[i]->matchStarted(view);
    if (finished && features[i]->matchFinished != nullptr) features[i]->matchFinished(view);
  }
}

// --- The menu's list: Resume, then a row per slot with something listed.

bool isListed(const HostPage *page) {
  return page->title != nullptr && page->under != nullptr &&
         (page->available == nullptr || page->available());
}

int32_t slotOf(const char *name) {
  for (int32_t i = 0; i < kMenuSlotCount; ++i)
    if (name != nullptr && std::strcmp(kMenuSlots[i].name, name) == 0) return i;
  return -1;
}

bool isSlotRow(const HostPage *page, int32_t slot) {
  return std::strcmp(page->name, kMenuSlots[slot].name) == 0;
}

// The pages listed in a group now, in the order they were added.
int32_t groupEntries(int32_t slot, const HostPage **entries) {
  int32_t n = 0;
  for (int i = 0; i < pageCount && n < kMenuGroupRowsMax; ++i)
    if (isListed(pages[i]) && slotOf(pages[i]->under) == slot && !isSlotRow(pages[i], slot))
      entries[n++] = pages[i];
  return n;
}

// The page a slot's row opens now, or null when nothing of it is listed.
const HostPage *slotPage(int32_t slot) {
  for (int i = 0; i < pageCount; ++i) {
    if (!isSlotRow(pages[i], slot)) continue;
    if (!kMenuSlots[slot].group) return isListed(pages[i]) ? pages[i] : nullptr;
    const HostPage *inside[kMenuGroupRowsMax];
    return groupEntries(slot, inside) > 0 ? pages[i] : nullptr;
  }
  return nullptr;
}

// The top rows: null for Resume, then the slots' pages.
int32_t topEntries(const HostPage **entries) {
  int32_t n = 0;
  entries[n++] = nullptr;
  for (int32_t slot = 0; slot < kMenuSlotCount; ++slot)
    if (const HostPage *page = slotPage(slot)) entries[n++] = page;
  return n;
}

int32_t entryRows(const HostPage *const *entries, int32_t n, int32_t cursor, HostRow *rows,
                  int32_t max) {
  int32_t count = 0;
  for (int32_t i = 0; i < n && count < max; ++i) {
    HostRow &row = rows[count++];
    row = HostRow{};
    std::snprintf(row.label, sizeof row.label, "%s",
                  entries[i] == nullptr ? "Resume" : entries[i]->title);
    row.chosen = i == cursor;
  }
  return count;
}

void chooseTop(int32_t row) {
  const HostPage *entries[kMenuTopRowsMax];
  const int32_t n = topEntries(entries);
  if (row < 0 || row >= n) return;
  if (entries[row] == nullptr)
    hostCloseMenu();
  else
    hostOpenPage(entries[row]->name);
}

void drawEntries(HostLayer &layer, const char *title, const HostPage *const *entries, int32_t n,
                 int32_t *cursor, bool foot) {
  if (*cursor >= n) *cursor = n - 1;
  const HostMenuPanel panel = menuPanel(n, foot);
  drawMenuPanel(layer, panel, title);
  HostRow rows[kHostRowsMax];
  layerRows(layer, rows, entryRows(entries, n, *cursor, rows, kHostRowsMax), panel.rows);
}

void moveCursor(int32_t *cursor, int32_t n, HostAction action) {
  if (n <= 0) return;
  if (action == HostAction::kUp) *cursor = *cursor > 0 ? *cursor - 1 : n - 1;
  if (action == HostAction::kDown) *cursor = *cursor + 1 < n ? *cursor + 1 : 0;
}

// "Paused" only where a match is paused; elsewhere nothing is.
const char *menuTitle() { return state.view.scene == HostScene::kMatch ? "Paused" : "Menu"; }

void menuDraw(HostLayer &layer) {
  const HostPage *entries[kMenuTopRowsMax];
  drawEntries(layer, menuTitle(), entries, topEntries(entries), &menuCursorRow, false);
}

void menuKey(HostAction action) {
  const HostPage *entries[kMenuTopRowsMax];
  moveCursor(&menuCursorRow, topEntries(entries), action);
  if (action == HostAction::kConfirm) chooseTop(menuCursorRow);
  if (action == HostAction::kBack) hostCloseMenu();
}

bool menuTap(int32_t x, int32_t y) {
  const HostPage *entries[kMenuTopRowsMax];
  const int32_t n = topEntries(entries);
  const int32_t row = layerRowAt(x, y, menuPanel(n, false).rows);
  if (row < 0 || row >= n) return false;
  menuCursorRow = row;
  chooseTop(row);
  return true;
}

int32_t menuRows(HostRow *rows, int32_t max) {
  const HostPage *entries[kMenuTopRowsMax];
  return entryRows(entries, topEntries(entries), menuCursorRow, rows, max);
}

// --- A group's page: its listed pages; B goes back to the menu.

void groupDraw(int32_t slot, HostLayer &layer) {
  const HostPage *entries[kMenuGroupRowsMax];
  drawEntries(layer, kMenuSlots[slot].title, entries, groupEntries(slot, entries),
              &groupCursorRow[slot], true);
}

void groupKey(int32_t slot, HostAction action) {
  const HostPage *entries[kMenuGroupRowsMax];
  const int32_t n = groupEntries(slot, entries);
  moveCursor(&groupCursorRow[slot], n, action);
  if (action == HostAction::kConfirm && groupCursorRow[slot] < n)
    hostOpenPage(entries[groupCursorRow[slot]]->name);
  if (action == HostAction::kBack) hostOpenParent();
}

// A tap on "B: back" or outside the panel goes back.
bool groupTap(int32_t slot, int32_t x, int32_t y) {
  const HostPage *entries[kMenuGroupRowsMax];
  const int32_t n = groupEntries(slot, entries);
  const HostMenuPanel panel = menuPanel(n, true);
  const HostRect &r = panel.rect;
  if (y >= panel.footY || x < r.x || x >= r.x + r.w || y < r.y) {
    hostOpenParent();
    return true;
  }
  const int32_t row = layerRowAt(x, y, panel.rows);
  if (row < 0 || row >= n) return false;
  groupCursorRow[slot] = row;
  hostOpenPage(entries[row]->name);
  return true;
}

int32_t groupRows(int32_t slot, HostRow *rows, int32_t max) {
  const HostPage *entries[kMenuGroupRowsMax];
  return entryRows(entries, groupEntries(slot, entries), groupCursorRow[slot], rows, max);
}

template <int32_t kSlot>
struct GroupPage {
  static void draw(HostLayer &layer) { groupDraw(kSlot, layer); }
  static void key(HostAction action) { groupKey(kSlot, action); }
  static bool tap(int32_t x, int32_t y) { return groupTap(kSlot, x, y); }
  static int32_t rows(HostRow *rows, int32_t max) { return groupRows(kSlot, rows, max); }
  static void opened() { groupCursorRow[kSlot] = 0; }
  static constexpr HostPage kPage = {.name = kMenuSlots[kSlot].name,
                                     .title = kMenuSlots[kSlot].title,
                                     .under = kMenuSlots[kSlot].name,
                                     .available = nullptr,
                                     .draw = draw,
                                     .key = key,
                                     .tap = tap,
                                     .typed = nullptr,
                                     .opened = opened,
                                     .left = nullptr,
                                     .rows = rows};
};

template <int32_t... kSlots>
void addGroupPages(std::integer_sequence<int32_t, kSlots...>) {
  ((kMenuSlots[kSlots].group ? (void)hostAddPage(&GroupPage<kSlots>::kPage) : (void)0), ...);
}

const HostPage kMenuPage = {.name = "menu",
                            .title = nullptr,
                            .under = nullptr,
                            .available = nullptr,
                            .draw = menuDraw,
                            .key = menuKey,
                            .tap = menuTap,
                            .typed = nullptr,
                            .opened = nullptr,
                            .left = nullptr,
                            .rows = menuRows};

void addCorePages() {
  hostAddPage(&kMenuPage);
  addGroupPages(std::make_integer_sequence<int32_t, kMenuSlotCount>{});
}

void leavePage() {
  if (state.page != nullptr && state.page->left != nullptr) state.page->left();
}

}  // namespace

// --- On, off, start, end.

namespace {

// What the backends are answered through platform/common/host_link.h.
bool linkMinimized(bool minimized) {
  if (!state.enabled) return false;
  hostMinimized(minimized);
  return minimized;
}
const HostLink kLink = {.minimized = linkMinimized,
                        .device = hostSetDevice,
                        .touchDown = hostTouchDown,
                        .touchUp = hostTouchUp};

// The volume the backends play the game's sounds at: pushed down, never
// read up.
void pushVolume() { platformSetVolume(settings.volume); }

}  // namespace

void hostEnable(bool on) {
  state.enabled = on;
  platformSetHostLink(&kLink);
  pushVolume();
}
bool hostEnabled() { return state.enabled; }

void hostCoreStart() {
  addCorePages();
  hostReadSettings();
}

void hostFinish() {
  if (!state.enabled) return;
  hostWriteSettings();
  for (int i = 0; i < featureCount; ++i)
    if (features[i]->finish != nullptr) features[i]->finish();
}

void hostReadSettings() {
  const char *path = hostSettingsPath();
  if (path == nullptr) return;
  std::vector<char> text(kHostFileMax);
  size_t size = 0;
  // Read through a symbolic link, as the game's settings are.
  if (safeFileRead(path, text.data(), text.size(), &size, SafeLinks::kFollow) !=
      SafeReadResult::kRead)
    return;
  // "name value" lines; an unknown or damaged line is skipped, a value out
  // of range is brought back within it. Lines are cut at line feeds only,
  // so a stray NUL or other byte costs its own line and no other.
  const std::string_view all(text.data(), size);
  for (size_t start = 0; start < all.size();) {
    size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view raw = all.substr(start, end - start);
    start = end + 1;
    if (raw.empty() || raw.size() > kHostLineMax || raw.find('\0') != std::string_view::npos)
      continue;
    const std::string lineText(raw);
    const char *line = lineText.c_str();
    // A word of up to 31 characters, then a whole number.
    const char *word = line;
    while (isBlank(*word)) ++word;
    size_t length = 0;
    while (word[length] != 0 && !isBlank(word[length]) && length < 31) ++length;
    char name[32];
    std::memcpy(name, word, length);
    name[length] = 0;
    char *numberEnd = nullptr;
    const long value = std::strtol(word + length, &numberEnd, 10);
    if (length > 0 && numberEnd != word + length) {
      const int32_t v = value < 0 ? 0 : value > 1000000 ? 1000000 : static_cast<int32_t>(value);
      if (std::strcmp(name, "volume") == 0) settings.volume = v > 10 ? 10 : v;
      if (std::strcmp(name, "hints") == 0) settings.hints = v != 0;
      if (std::strcmp(name, "hintsChosen") == 0) settings.hintsChosen = v != 0;
      if (std::strcmp(name, "matchesFinished") == 0) settings.matchesFinished = v;
      if (std::strcmp(name, "menuOpened") == 0) settings.menuOpened = v != 0;
    }
    for (int i = 0; i < featureCount; ++i)
      if (features[i]->readSetting != nullptr) features[i]->readSetting(line);
  }
  pushVolume();
}

void hostWriteSettings() {
  const char *path = hostSettingsPath();
  if (path == nullptr) return;
  std::string text;
  auto line = [&text](const char *name, const char *value) {
    text += name;
    text += ' ';
    text += value;
    text += '\n';
  };
  auto number = [&line](const char *name, int32_t value) {
    line(name, std::to_string(value).c_str());
  };
  number("volume", settings.volume);
  number("hints", settings.hints);
  number("hintsChosen", settings.hintsChosen);
  number("matchesFinished", settings.matchesFinished);
  for (int i = 0; i < featureCount; ++i)
    if (features[i]->writeSettings != nullptr) features[i]->writeSettings(text);
  // Only once it is set, so that the file of a player who never opened the
  // menu is written as before.
  if (settings.menuOpened != 0) number("menuOpened", settings.menuOpened);
  // Whatever the settings grow to, the file is written whole; only one
  // past the reader's bound is not, so that it is never written unreadable.
  // A file that cannot be written keeps the old one; nothing is reported,
  // as with the game's own.
  if (text.size() <= kHostFileMax)
    (void)safeFileWrite(path, text.data(), text.size(),
                        kSafeWriteMakeFolders | kSafeWriteDurable | kSafeWriteThroughLinks);
}

HostSettings &hostSettings() { return settings; }

bool hostHintsOn() {
  if (state.forcedHints >= 0) return state.forcedHints == 1;
  if (settings.hintsChosen) return settings.hints != 0;
  return settings.matchesFinished < 3;
}

void hostForceHints(bool on) { state.forcedHints = on ? 1 : 0; }
void hostUnforceHints() { state.forcedHints = -1; }

// --- The pass.

bool hostPaused() { return state.enabled && (state.menuOpen || state.minimized); }

void hostBeforePass() {
  releaseClock();
  // The match polls its keys and so sees a closing press let go; the other
  // screens only take key messages, and a key still marked would swallow
  // every later press of it. So each marked key is looked at here, before
  // every game pass, and forgotten once it is up.
  for (int vk = 1; vk < kKeyCount; ++vk)
    if (state.releaseWait[vk] && !systemHeld(vk)) state.releaseWait[vk] = false;
}

bool hostPausedPass(int *exitCode) {
  MSG msg;
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return false;
    }
    if (msg.message == WM_KEYDOWN && state.menuOpen) {
      menuKey(msg);
    } else if (msg.message == WM_LBUTTONDOWN && state.menuOpen) {
      menuTap(msg);
    } else if (msg.message == WM_TOBELYN_MENU) {
      if (state.menuOpen) hostCloseMenu();
    } else if (msg.message != WM_KEYDOWN && msg.message != WM_LBUTTONDOWN) {
      // Closing, activation, size: the game's window handles them as ever.
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (framesEnabled != 0) presentPaused();
  pushVolume();
  // The host's voice sounds the game's moves: still while the game is.
  platformVoiceTone(0, 0, 0);
  return true;
}

void hostAfterPass(const HostView &view) {
  state.view = view;
  pushVolume();
  if (state.touchDown || state.touchHoldsA) state.touchPassSeen = true;
  if (!state.touchDown && state.touchPassSeen) state.touchHoldsA = false;
  // Claims are made afresh for each pass (touch's is read as it stands).
  for (int i = 0; i < kButtonOwners; ++i) state.claimed[i] = false;
  state.heldPressA = false;
  matchHooks(view);
  state.lastScene = view.scene;
  state.lastStep = view.sceneStep;
  for (int i = 0; i < featureCount; ++i)
    if (features[i]->observe != nullptr) features[i]->observe(view);
}

const HostView &hostLastView() { return state.view; }

void hostHoldPasses(int32_t passes) { state.heldPasses = passes > 0 ? passes : 0; }

bool hostPassHeld() {
  // Only a match is held: one left meanwhile (the menu's "Quit to title")
  // takes its passes at once.
  if (frameHandler != matchSceneFrame) state.heldPasses = 0;
  return state.enabled && !hostPaused() && state.heldPasses > 0;
}

bool hostHeldPass(int *exitCode) {
  --state.heldPasses;
  // The game's clock stands still until its next pass, as in a pause.
  holdClock();
  // A press of A that comes and goes on a held pass is the game's on its
  // next pass (unless A still waits to be let go after the menu).
  const int a = static_cast<int>(keyBindings[kButtonA]) & (kKeyCount - 1);
  if (systemHeld(a) && !state.releaseWait[a]) state.heldPressA = true;
  // The pass's one message, as the game's pass takes it: the menu key opens
  // the menu, the rest go to the window as ever.
  MSG msg;
  if (hostGamePeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (framesEnabled != 0) presentPaused();
  pushVolume();
  return true;
}

// --- The seam.

DWORD hostGameTime() {
  if (!state.enabled) return timeGetTime();
  const DWORD now = state.clockHeld ? state.pauseStart : timeGetTime();
  return now - state.pausedTotal;
}

SHORT hostGameKeyState(int vKey) {
  if (!state.enabled) return GetAsyncKeyState(vKey);
  if (hostPaused()) return 0;
  const bool isA = vKey == static_cast<int>(keyBindings[kButtonA]);
  const int owner = static_cast<int>(hostButtonAOwner());
  if (isA && owner != static_cast<int>(HostButtonOwner::kPeople))
    return state.claimHeld[owner] ? static_cast<SHORT>(0x8000u) : 0;
  if (isA && state.heldPressA) return static_cast<SHORT>(0x8000u);
  const SHORT held = GetAsyncKeyState(vKey);
  if (vKey >= 0 && vKey < kKeyCount && state.releaseWait[vKey]) {
    if ((static_cast<uint16_t>(held) & 0x8000u) != 0) return 0;
    state.releaseWait[vKey] = false;
  }
  return held;
}

BOOL hostGamePeekMessage(MSG *msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  if (!state.enabled) return PeekMessageW(msg, hwnd, filterMin, filterMax, removeMsg);
  if (!PeekMessageW(msg, hwnd, filterMin, filterMax, removeMsg)) return FALSE;
  if (msg->message == WM_TOBELYN_MENU) {
    hostOpenMenu();
    return FALSE;
  }
  if (msg->message == WM_KEYDOWN) {
    const int key = static_cast<int>(msg->wParam & 0xFFFF);
    if (key == VK_F1 && !f1IsBound() && (static_cast<uint32_t>(msg->lParam) & kRepeatBit) == 0) {
      hostOpenMenu();
      return FALSE;
    }
    if (inputHook != nullptr && inputHook->key != nullptr &&
        (static_cast<uint32_t>(msg->lParam) & kRepeatBit) == 0 && inputHook->key(key))
      return FALSE;
    // The repeats of a key that closed the menu are the closing press's.
    if (key < kKeyCount && state.releaseWait[key]) {
      if (systemHeld(key)) return FALSE;
      state.releaseWait[key] = false;
    }
  }
  if (msg->message == WM_LBUTTONDOWN) {
    // A mouse click reaches the hook as a touch does (the summary card's
    // rematch words); a touch's own copy was handled on the touch.
    if (state.touchTaken) {
      state.touchTaken = false;
      return FALSE;
    }
    const int32_t x = static_cast<int16_t>(LOWORD(msg->lParam));
    const int32_t y = static_cast<int16_t>(HIWORD(msg->lParam));
    if (state.view.scene == HostScene::kMatch && inputHook != nullptr &&
        inputHook->tap != nullptr && inputHook->tap(x, y))
      return FALSE;
  }
  return TRUE;
}

BOOL hostGamePlaySound(LPCWSTR sound, UINT flags) {
  if (state.enabled && state.silent) return TRUE;
  return sndPlaySoundW(sound, flags);
}

void hostSilenceGame(bool silent) { state.silent = silent; }
bool hostGameSilenced() { return state.enabled && state.silent; }

void *hostGameBeginDraw() {
  // A hidden pass draws into the game's own surfaces only.
  if (state.enabled && state.hidden) return drawingTo = nullptr;
  drawingTo = GXBeginDraw();
  return drawingTo;
}

int hostGameEndDraw() {
  if (state.enabled && state.hidden) return 0;
  if (state.enabled && drawingTo != nullptr && displayFits(GXGetDisplayProperties())) {
    std::memcpy(gameFrame, drawingTo, sizeof gameFrame);
    gameFrameKept = true;
    composeInto(drawingTo);
  }
  drawingTo = nullptr;
  return GXEndDraw();
}

void hostSetPlayback(HostPlayback playback) { state.playback = playback; }
HostPlayback hostPlayback() { return state.enabled ? state.playback : HostPlayback::kNone; }
void hostAdvanceGameClock(uint32_t ms) { state.pausedTotal -= ms; }
void hostHideGame(bool hidden) { state.hidden = hidden; }
bool hostGameHidden() { return state.enabled && state.hidden; }
void hostSetMatchCode(const std::string &code) {
  // Room for the longest code at once, so that a match never grows the heap.
  if (state.matchCode.capacity() < 2048) state.matchCode.reserve(2048);
  state.matchCode.assign(code);
}
const std::string &hostMatchCode() { return state.matchCode; }

void hostClaimButtonA(HostButtonOwner owner, bool held) {
  const int i = static_cast<int>(owner);
  if (i <= 0 || i >= kButtonOwners) return;
  state.claimed[i] = true;
  state.claimHeld[i] = held;
}

HostButtonOwner hostButtonAOwner() {
  // A finger on the picture claims A from the moment it touches, for at
  // least one pass, until it is lifted.
  const int touch = static_cast<int>(HostButtonOwner::kTouch);
  state.claimed[touch] = state.touchHoldsA && !state.touchIgnored;
  state.claimHeld[touch] = true;
  for (int i = kButtonOwners - 1; i > 0; --i)
    if (state.claimed[i]) return static_cast<HostButtonOwner>(i);
  return HostButtonOwner::kPeople;
}

void hostSetButtonA(HostButtonA mode) {
  const int seats = static_cast<int>(HostButtonOwner::kSeats);
  state.claimed[seats] = mode != HostButtonA::kFromPeople;
  state.claimHeld[seats] = mode == HostButtonA::kHeld;
}

const WindowControls *hostWindowControls() { return platformWindowControls(); }

// --- Backends.

void hostMinimized(bool minimized) {
  state.minimized = minimized;
  updateClock();
}

void hostSetDevice(HostDevice device) { state.device = device; }
HostDevice hostDevice() { return state.device; }

bool hostTouchDown(int32_t x, int32_t y) {
  if (!state.enabled || hostPaused() || state.view.scene != HostScene::kMatch) return false;
  if (x < 0 || y < 0 || x >= kLayerWidth || y >= kLayerHeight) return false;
  state.device = HostDevice::kTouch;
  if (inputHook != nullptr && inputHook->tap != nullptr && inputHook->tap(x, y)) {
    state.touchTaken = true;
    return true;
  }
  state.touchDown = true;
  state.touchHoldsA = true;
  state.touchPassSeen = false;
  state.touchIgnored = false;
  return true;
}

void hostTouchUp() { state.touchDown = false; }

void hostSetInputHook(const HostInputHook *hook) { inputHook = hook; }

const char *hostHintText() {
  if (!state.enabled || hostPaused()) return nullptr;
  for (int i = 0; i < featureCount; ++i) {
    if (features[i]->caption == nullptr) continue;
    if (const char *text = features[i]->caption(state.view)) return text;
  }
  return nullptr;
}

// --- Pages and features.

bool hostAddPage(const HostPage *page) {
  if (page == nullptr) return false;
  for (int i = 0; i < pageCount; ++i)
    if (pages[i] == page) return true;
  if (pageCount >= kPagesMax) return false;
  // A listed page needs its row: a slot of that name, or room in the
  // slot's group.
  if (page->title != nullptr && page->under != nullptr) {
    const int32_t slot = slotOf(page->under);
    if (slot < 0) return false;
    if (!isSlotRow(page, slot)) {
      if (!kMenuSlots[slot].group) return false;
      int32_t inGroup = 0;
      for (int i = 0; i < pageCount; ++i)
        if (pages[i]->title != nullptr && slotOf(pages[i]->under) == slot &&
            !isSlotRow(pages[i], slot))
          ++inGroup;
      if (inGroup >= kMenuGroupRowsMax) return false;
    }
  }
  pages[pageCount++] = page;
  return true;
}

void hostOpenPage(const char *name) {
  for (int i = 0; i < pageCount; ++i) {
    if (std::strcmp(pages[i]->name, name) == 0) {
      leavePage();
      state.page = pages[i];
      if (pages[i]->opened != nullptr) pages[i]->opened();
      return;
    }
  }
}

void hostOpenParent() {
  const HostPage *parent = &kMenuPage;
  if (state.page != nullptr && state.page->under != nullptr) {
    const int32_t slot = slotOf(state.page->under);
    if (slot >= 0 && kMenuSlots[slot].group && !isSlotRow(state.page, slot))
      if (const HostPage *group = slotPage(slot)) parent = group;
  }
  // Back where it came from: the cursor there stays.
  leavePage();
  state.page = parent;
}

void hostOpenMenu() {
  if (!state.enabled || state.menuOpen) return;
  state.menuOpen = true;
  settings.menuOpened = 1;
  state.touchDown = false;
  state.touchHoldsA = false;
  menuCursorRow = 0;
  hostOpenPage("menu");
  updateClock();
}

void hostCloseMenu() {
  if (!state.menuOpen) return;
  state.menuOpen = false;
  for (int vk = 1; vk < kKeyCount; ++vk) state.releaseWait[vk] = systemHeld(vk);
  state.touchIgnored = state.touchDown;
  leavePage();
  updateClock();
}

bool hostMenuOpen() { return state.enabled && state.menuOpen; }

const char *hostPageName() {
  return state.menuOpen && state.page != nullptr ? state.page->name : "";
}

int32_t hostPageRows(HostRow *rows, int32_t max) {
  if (!state.menuOpen || state.page == nullptr || state.page->rows == nullptr) return 0;
  return state.page->rows(rows, max);
}

bool hostAddFeature(const HostFeature *feature) {
  if (feature == nullptr) return false;
  for (int i = 0; i < featureCount; ++i)
    if (features[i] == feature) return true;
  if (featureCount >= kFeaturesMax) return false;
  features[featureCount++] = feature;
  if (feature->overlay == nullptr) return true;
  // The overlays kept in their order; equal orders in the order added.
  int at = overlayCount++;
  while (at > 0 && overlays[at - 1]->overlayOrder > feature->overlayOrder) {
    overlays[at] = overlays[at - 1];
    --at;
  }
  overlays[at] = feature;
  return true;
}

int32_t hostFeatureCount() { return featureCount; }
const HostFeature *hostFeatureAt(int32_t index) {
  return index >= 0 && index < featureCount ? features[index] : nullptr;
}

bool hostAddObserver(HostObserver observer) {
  if (observer == nullptr) return false;
  for (int i = 0; i < observerFeatureCount; ++i)
    if (observerFeatures[i].observe == observer) return true;
  if (observerFeatureCount >= kFeaturesMax) return false;
  HostFeature &feature = observerFeatures[observerFeatureCount];
  feature = HostFeature{};
  feature.name = "observer";
  feature.observe = observer;
  if (!hostAddFeature(&feature)) return false;
  ++observerFeatureCount;
  return true;
}

int32_t hostPagesUnder(const char *slot) {
  int32_t count = 0;
  for (int i = 0; i < pageCount; ++i)
    if (pages[i]->under != nullptr && std::strcmp(pages[i]->under, slot) == 0 &&
        std::strcmp(pages[i]->name, slot) != 0)
      ++count;
  return count;
}

void hostRemovePage(const HostPage *page) {
  int kept = 0;
  for (int i = 0; i < pageCount; ++i)
    if (pages[i] != page) pages[kept++] = pages[i];
  pageCount = kept;
  if (state.page == page) state.page = nullptr;
}

void hostRemoveFeature(const HostFeature *feature) {
  int kept = 0;
  for (int i = 0; i < featureCount; ++i)
    if (features[i] != feature) features[kept++] = features[i];
  featureCount = kept;
  kept = 0;
  for (int i = 0; i < overlayCount; ++i)
    if (overlays[i] != feature) overlays[kept++] = overlays[i];
  overlayCount = kept;
}

void hostResetForTests() {
  const bool enabled = state.enabled;
  state = HostState{};
  state.enabled = enabled;
  settings = HostSettings{
      .volume = 10, .hints = 1, .hintsChosen = 0, .matchesFinished = 0, .menuOpened = 0};
  gameFrameKept = false;
  menuCursorRow = 0;
  for (int i = 0; i < featureCount; ++i)
    if (features[i]->reset != nullptr) features[i]->reset();
  pushVolume();
}

// --- The screen reader's mirror (host/reader.cpp) drives the page shown
// as its keys would, and draws it aside to read its words.

void hostPageAction(HostAction action) {
  if (state.enabled && state.menuOpen && state.page != nullptr) state.page->key(action);
}

bool hostDrawPage(HostLayer &layer) {
  if (!state.enabled || !state.menuOpen || state.page == nullptr) return false;
  state.page->draw(layer);
  return true;
}
