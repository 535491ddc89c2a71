// The desktop backend's window: SDL's video started on a real display, the
// window made at the size, place and mode of the last run, full screen and
// fit mode, and the window's state saved beside the settings.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/common/gx_screen.h"
#include "platform/common/host_link.h"
#include "platform/common/safe_file.h"
#include "platform/common/wide_text.h"
#include "platform/resources.h"
#include "platform/sdl/backend_state.h"

namespace sdlb {

SDL_Window *window = nullptr;
bool sdlUp = false;
bool needClear = true;
bool fitMode = false;
SDL_Surface *lastSurface = nullptr;

namespace {

// The window's size and place when not full screen, kept up to date from
// its events and saved beside the settings when the window goes away.
WindowState windowState{0, 0, 0, 0, false, false};
bool windowStateKnown = false;

// The state taken as the window went, written at exit (after the settings).
char pendingWindowText[kWindowStateMax];
size_t pendingWindowSize = 0;

const char *windowStateFile() {
  static char path[1024];
  if (!windowStatePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), path, sizeof path)) {
    return nullptr;
  }
  return path;
}

bool windowFullScreen() {
  return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}
bool windowFit() { return fitMode; }
// The window's two switches, for the host's Settings page.
const WindowControls kWindowControls = {windowFullScreen, toggleFullScreen, windowFit, toggleFit};

bool envSwitch(const char *name) {
  const char *value = std::getenv(name);
  return value != nullptr && value[0] != 0 && value[0] != '0';
}

// With no real display SDL falls back to drivers that show nothing; a game
// nobody can see would run on forever. They are used only when asked for by
// name.
bool invisibleDriver(const char *driver) {
  return driver != nullptr && std::getenv("SDL_VIDEODRIVER") == nullptr &&
         (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
          std::strcmp(driver, "evdev") == 0);
}

void setIcon(HICON icon) {
  // The icon handle is the icon group's resource entry: the .ico file.
  const ResourceEntry *e = reinterpret_cast<const ResourceEntry *>(icon);
  if (e == nullptr || e->data == nullptr) return;
  static uint32_t pixels[256 * 256];
  int w = 0, h = 0;
  if (!decodeIcon(static_cast<const uint8_t *>(e->data), e->size, pixels, 256 * 256, &w, &h)) {
    return;
  }
  SDL_Surface *s =
      SDL_CreateRGBSurfaceWithFormatFrom(pixels, w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
  if (s == nullptr) return;
  SDL_SetWindowIcon(window, s);
  SDL_FreeSurface(s);
}

// Where the window opens and how large.
struct Placement {
  int x, y, w, h;
  bool fullScreen;
};

// The size, place and mode of the last run, when its file is whole: the
// size kept within the desktop, the place used only when the window's
// corner still lies on it (a monitor may have gone since). Otherwise the
// largest whole-number scale that fits, centred.
Placement firstPlacement() {
  SDL_Rect usable{0, 0, 1024, 768};
  SDL_GetDisplayUsableBounds(0, &usable);
  const int scale = chooseWindowScale(usable.w, usable.h);
  Placement p{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kDisplayWidth * scale,
              kDisplayHeight * scale, false};
  WindowState saved;
  char text[kWindowStateMax];
  size_t textSize = 0;
  const char *statePath = windowStateFile();
  if (statePath == nullptr ||
      safeFileRead(statePath, text, sizeof text, &textSize) != SafeReadResult::kRead ||
      !parseWindowState(text, textSize, &saved)) {
    return p;
  }
  p.w = saved.w < kDisplayWidth ? kDisplayWidth : saved.w > usable.w ? usable.w : saved.w;
  p.h = saved.h < kDisplayHeight ? kDisplayHeight : saved.h > usable.h ? usable.h : saved.h;
  p.fullScreen = saved.fullScreen;
  fitMode = saved.fit;
  const SDL_Point corner{saved.x, saved.y};
  if (SDL_PointInRect(&corner, &usable)) {
    p.x = std::max(usable.x, std::min(saved.x, usable.x + usable.w - p.w));
    p.y = std::max(usable.y, std::min(saved.y, usable.y + usable.h - p.h));
  }
  return p;
}

// Makes the native window; false (with one line on stderr) when there is no
// display to show it on.
bool createWindow(LPCWSTR title, HICON icon) {
  if (window != nullptr) return true;
  if (!startVideo()) return false;
  writeWindowState();  // a window made again in one process reads the last
  catchCloseSignals();
  pacer.statsOn = envSwitch("TOBELYN_FRAME_STATS");
  traceOn = envSwitch("TOBELYN_TRACE");

  char utf8[400];
  utf8FromWide(title, utf8, sizeof utf8);
  const Placement p = firstPlacement();
  window = SDL_CreateWindow(utf8, p.x, p.y, p.w, p.h, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (window == nullptr) {
    std::fprintf(stderr, "tobelyn: no display available: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetWindowMinimumSize(window, kDisplayWidth, kDisplayHeight);
  noteWindowPlace();
  if (p.fullScreen) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  setIcon(icon);
  // Keys arrive as key presses only; no text input.
  SDL_StopTextInput();
  clearHeld();
  closePosted = false;
  closeSignal = 0;
  needClear = true;
  lastSurface = nullptr;
  startAudio();
  platformSetWindowControls(&kWindowControls);
  installSpeech();
  installClipboard();
  return true;
}

void showWindow(int cmdShow) {
  if (window == nullptr) return;
  if (cmdShow == SW_HIDE) {
    SDL_HideWindow(window);
    return;
  }
  SDL_ShowWindow(window);
  needClear = true;
  showFrame();
}

}  // namespace

// Done before the single-instance lock is taken, so that a start with no
// display leaves no file behind. The refusal is said once on stderr.
bool startVideo() {
  static bool refused = false;
  if (sdlUp) return true;
  if (refused) return false;
  // A write past a file-size limit fails with an error, as on a full disk,
  // instead of ending the process before the settings are saved.
  signal(SIGXFSZ, SIG_IGN);
  // Signals become a close request in the event pump; SDL's own handlers
  // would only queue a quit event the game does not know.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Full screen stays up when another window takes the focus: a minimised
  // window ends the game.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The window's class is the program's name whatever the executable is
  // called, so that docks group the window with its menu entry.
  setenv("SDL_VIDEO_X11_WMCLASS", "tobelyn", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "tobelyn: no display available: %s\n", SDL_GetError());
    refused = true;
    return false;
  }
  const char *driver = SDL_GetCurrentVideoDriver();
  if (invisibleDriver(driver)) {
    SDL_Quit();
    std::fprintf(stderr,
                 "tobelyn: no display available: no X11 or Wayland display (set DISPLAY or "
                 "WAYLAND_DISPLAY)\n");
    refused = true;
    return false;
  }
  // On X11 the window surface takes the plain software path (shared memory
  // images): the accelerated one costs far more memory for a 240x320
  // picture. Other systems have no software path of their own, so SDL
  // chooses there.
  const bool x11 = driver != nullptr && std::strcmp(driver, "x11") == 0;
  if (x11) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  sdlUp = true;
  std::atexit(atExit);
  if (x11) catchDisplayLoss();
  return true;
}

void toggleFit() {
  fitMode = !fitMode;
  needClear = true;
}

// Full screen covers the desktop at its own resolution (never a change of
// video mode); the picture keeps its whole-number scale and black bars.
void toggleFullScreen() {
  if (window == nullptr) return;
  const bool on = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) == 0;
  SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  needClear = true;
}

void noteWindowPlace() {
  if (window == nullptr) return;
  const Uint32 flags = SDL_GetWindowFlags(window);
  if (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) return;
  // The place is kept as the frame's corner: window managers place a new
  // window by its frame, while SDL reports the inside.
  int top = 0, left = 0;
  SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
  SDL_GetWindowPosition(window, &windowState.x, &windowState.y);
  windowState.x -= left;
  windowState.y -= top;
  SDL_GetWindowSize(window, &windowState.w, &windowState.h);
  windowStateKnown = true;
}

// A window larger than its display shows nothing more, yet its surface
// grows with it (an 8000x8000 window holds 256 MB against 12 MB at its
// first size).
void keepWithinDisplay() {
  if (window == nullptr) return;
  SDL_Rect bounds;
  int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  if (w <= bounds.w && h <= bounds.h) return;
  SDL_SetWindowSize(window, w < bounds.w ? w : bounds.w, h < bounds.h ? h : bounds.h);
}

// Saved with the care of the settings file: an exclusively created
// temporary renamed over the old file, no link followed. A failure (a full
// disk, a file-size limit) only means the next window opens as on a first
// run.
void writeWindowState() {
  const char *statePath = windowStateFile();
  if (pendingWindowSize > 0 && statePath != nullptr) {
    (void)safeFileWrite(statePath, pendingWindowText, pendingWindowSize);
  }
  pendingWindowSize = 0;
}

}  // namespace sdlb

using namespace sdlb;

bool backendCreateWindow(LPCWSTR title, HICON icon) {
  bool made = false;
  withDisplay([&] { made = createWindow(title, icon); });
  if (displayLost) {
    std::fprintf(stderr, "tobelyn: no display available: the connection was lost\n");
    return false;
  }
  return made;
}

void backendShowWindow(int cmdShow) {
  withDisplay([=] { showWindow(cmdShow); });
}

void backendDestroyWindow() {
  if (window == nullptr) return;
  if (windowStateKnown) {
    windowState.fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    windowState.fit = fitMode;
    pendingWindowSize = formatWindowState(windowState, pendingWindowText, sizeof pendingWindowText);
  }
  reportStats();
  withDisplay([] { SDL_DestroyWindow(window); });
  window = nullptr;
  lastSurface = nullptr;
  shared::closeScreen();
  clearHeld();
}
