// The host's state and its seam with the game: the clock the game reads,
// the keys it holds, the messages it takes and the frames it shows all pass
// through here. While the host is off every call passes straight through.
#include "host/host.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "host/book.h"
#include "host/cpu.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "platform/common/safe_file.h"
#include "platform/gx.h"

namespace {

constexpr int kKeyCount = 256;
constexpr int kPagesMax = 16;
constexpr int kObserversMax = 8;
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
  HostButtonA buttonA = HostButtonA::kFromPeople;
  HostDevice device;
  // Touch held on the picture during a match: Button A while it lasts.
  bool touchDown;
  bool touchHoldsA;
  bool touchPassSeen;
  bool touchIgnored;
  HostView view;
  int forcedHints = -1;  // -1 as the settings say, 0 off, 1 on
  int32_t lastStep;
  HostScene lastScene;
};

HostState state;
HostSettings settings = {.volume = 10, .hints = 1, .hintsChosen = 0, .matchesFinished = 0};

const HostPage *pages[kPagesMax];
int pageCount;
HostObserver observers[kObserversMax];
const HostWindowControls *windowControls;
int observerCount;

// The game's last picture, kept to show under the menu while no pass runs.
uint16_t gameFrame[kFramePixels];
bool gameFrameKept;
void *drawingTo;

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
  if (state.menuOpen) {
    dimFrame(pixels, kFramePixels, is555);
    drawMenu(pixels, is555);
  } else if (hostSummaryShown()) {
    HostLayer layer{pixels, is555};
    drawSummaryCard(layer);
  } else if (hostHintsOn() && !state.minimized) {
    drawHint(pixels, is555, state.view);
  }
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
  if (playersTypedKey(key)) return;
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

void countFinishedMatch(const HostView &view) {
  const bool finished = view.scene == HostScene::kMatch && view.sceneStep == kMatchFinished;
  const bool wasFinished = state.lastScene == HostScene::kMatch && state.lastStep == kMatchFinished;
  if (finished && !wasFinished && settings.matchesFinished < 1000000) ++settings.matchesFinished;
}

// The file is read without sscanf, whose formatted reading (with floating
// point) would be the largest piece of the browser build's code.
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// "seat" and a number (a sign and spaces before it allowed) at the start of
// text: the number and where the text goes on after it.
bool readSeatNumber(const char *text, long *seat, const char **rest) {
  if (std::strncmp(text, "seat", 4) != 0) return false;
  char *end = nullptr;
  *seat = std::strtol(text + 4, &end, 10);
  if (end == text + 4) return false;
  *rest = end;
  return true;
}

// "seatNLevel L": a person (0) or a computer level; out of range, a person.
void readSeatLevel(const char *name, int32_t value) {
  long seat = 0;
  const char *rest = nullptr;
  if (!readSeatNumber(name, &seat, &rest) || std::strcmp(rest, "Level") != 0) return;
  if (seat < 1 || seat > kSeatCount) return;
  hostSeat(seat - 1).cpuLevel = value <= kCpuLevelCount ? value : kSeatPerson;
}

// "seatNName NAME": everything after the first space, since names may hold
// spaces; a name the rules refuse keeps the seat's default.
void readSeatName(const char *line) {
  long seat = 0;
  const char *rest = nullptr;
  if (!readSeatNumber(line, &seat, &rest) || std::strncmp(rest, "Name", 4) != 0) return;
  if (seat < 1 || seat > kSeatCount) return;
  rest += 4;
  while (isBlank(*rest)) ++rest;
  std::string_view name(rest);
  if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
  if (!validPlayerName(name)) return;
  HostSeat &s = hostSeat(seat - 1);
  std::snprintf(s.name, sizeof s.name, "%.*s", static_cast<int>(name.size()), name.data());
}

}  // namespace

// --- On, off, start, end.

void hostEnable(bool on) { state.enabled = on; }
bool hostEnabled() { return state.enabled; }

void hostStart() {
  registerBuiltInPages();
  registerCpuSeats();
  hostReadSettings();
}

void hostFinish() {
  if (!state.enabled) return;
  hostWriteSettings();
  hostBookFinish();
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
      if (std::strcmp(name, "fastCpu") == 0) hostSetCpuFast(v != 0);
      readSeatLevel(name, v);
    }
    readSeatName(line);
  }
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
  number("fastCpu", hostCpuFast() ? 1 : 0);
  for (int32_t seat = 0; seat < kSeatCount; ++seat) {
    const std::string key = "seat" + std::to_string(seat + 1);
    line((key + "Name").c_str(), hostSeat(seat).name);
    number((key + "Level").c_str(), hostSeat(seat).cpuLevel);
  }
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
  return true;
}

void hostAfterPass(const HostView &view) {
  state.view = view;
  countFinishedMatch(view);
  state.lastScene = view.scene;
  state.lastStep = view.sceneStep;
  if (state.touchDown || state.touchHoldsA) state.touchPassSeen = true;
  if (!state.touchDown && state.touchPassSeen) state.touchHoldsA = false;
  for (int i = 0; i < observerCount; ++i) observers[i](view);
}

const HostView &hostLastView() { return state.view; }

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
  if (isA && state.buttonA == HostButtonA::kHeld) return static_cast<SHORT>(0x8000u);
  if (isA && state.buttonA == HostButtonA::kUp) return 0;
  if (isA && state.touchHoldsA && !state.touchIgnored) return static_cast<SHORT>(0x8000u);
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
    // The repeats of a key that closed the menu are the closing press's.
    if (key < kKeyCount && state.releaseWait[key]) {
      if (systemHeld(key)) return FALSE;
      state.releaseWait[key] = false;
    }
  }
  return TRUE;
}

void *hostGameBeginDraw() {
  drawingTo = GXBeginDraw();
  return drawingTo;
}

int hostGameEndDraw() {
  if (state.enabled && drawingTo != nullptr && displayFits(GXGetDisplayProperties())) {
    std::memcpy(gameFrame, drawingTo, sizeof gameFrame);
    gameFrameKept = true;
    composeInto(drawingTo);
  }
  drawingTo = nullptr;
  return GXEndDraw();
}

void hostSetButtonA(HostButtonA mode) { state.buttonA = mode; }

void hostSetWindowControls(const HostWindowControls *controls) { windowControls = controls; }
const HostWindowControls *hostWindowControls() { return windowControls; }

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
  state.touchDown = true;
  state.touchHoldsA = true;
  state.touchPassSeen = false;
  state.touchIgnored = false;
  return true;
}

void hostTouchUp() { state.touchDown = false; }

const char *hostHintText() {
  if (!state.enabled || hostPaused() || !hostHintsOn()) return nullptr;
  return hintFor(state.view);
}

// --- Pages and observers.

void hostAddPage(const HostPage *page) {
  for (int i = 0; i < pageCount; ++i)
    if (pages[i] == page) return;
  if (page != nullptr && pageCount < kPagesMax) pages[pageCount++] = page;
}

int hostPageCount() { return pageCount; }
const HostPage *hostPageAt(int index) {
  return index >= 0 && index < pageCount ? pages[index] : nullptr;
}

void hostOpenPage(const char *name) {
  for (int i = 0; i < pageCount; ++i) {
    if (std::strcmp(pages[i]->name, name) == 0) {
      state.page = pages[i];
      pageOpened(pages[i]);
      return;
    }
  }
}

void hostOpenMenu() {
  if (!state.enabled || state.menuOpen) return;
  state.menuOpen = true;
  state.touchDown = false;
  state.touchHoldsA = false;
  hostOpenPage("menu");
  menuOpenedAfresh();
  updateClock();
}

void hostCloseMenu() {
  if (!state.menuOpen) return;
  state.menuOpen = false;
  for (int vk = 1; vk < kKeyCount; ++vk) state.releaseWait[vk] = systemHeld(vk);
  state.touchIgnored = state.touchDown;
  pagesClosed();
  updateClock();
}

bool hostMenuOpen() { return state.enabled && state.menuOpen; }

const char *hostPageName() {
  return state.menuOpen && state.page != nullptr ? state.page->name : "";
}

void hostAddObserver(HostObserver observer) {
  for (int i = 0; i < observerCount; ++i)
    if (observers[i] == observer) return;
  if (observer != nullptr && observerCount < kObserversMax) observers[observerCount++] = observer;
}

void hostResetForTests() {
  const bool enabled = state.enabled;
  state = HostState{};
  state.enabled = enabled;
  settings = HostSettings{.volume = 10, .hints = 1, .hintsChosen = 0, .matchesFinished = 0};
  gameFrameKept = false;
  hostSeatsReset();
  hostSetCpuFast(false);
}
