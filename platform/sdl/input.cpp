// The desktop backend's input: SDL's events turned into the game's
// messages, held keys, and signals turned into a close request.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/common/code_link.h"
#include "platform/common/gx_screen.h"
#include "platform/common/host_link.h"
#include "platform/common/platform_internal.h"
#include "platform/sdl/backend_state.h"

namespace sdlb {

shared::KeyLatch keys;
bool traceOn = false;
bool closePosted = false;
volatile sig_atomic_t closeSignal = 0;

namespace {

// Keys whose press changed the window (F11, Alt+Enter, F10): their repeats
// are dropped too until they are released, even when Alt goes up first.
bool windowKeyDown[256];

extern "C" void onCloseSignal(int) { closeSignal = 1; }

// Side-specific modifier codes, kept beside the combined ones for
// GetAsyncKeyState.
int sideCode(SDL_Keycode key) {
  switch (key) {
    case SDLK_LSHIFT:
      return 0xA0;
    case SDLK_RSHIFT:
      return 0xA1;
    case SDLK_LCTRL:
      return 0xA2;
    case SDLK_RCTRL:
      return 0xA3;
    case SDLK_LALT:
      return 0xA4;
    case SDLK_RALT:
      return 0xA5;
    default:
      return 0;
  }
}

void setHeld(const SDL_KeyboardEvent &k, int vk, bool down) {
  if (down) {
    keys.press(vk);
  } else {
    keys.release(vk);
  }
  bool *held = keys.held;
  int side = sideCode(k.keysym.sym);
  if (side != 0) {
    held[side] = down;
    // The combined code is held while either side is.
    held[0x10] = held[0xA0] || held[0xA1];
    held[0x11] = held[0xA2] || held[0xA3];
    held[0x12] = held[0xA4] || held[0xA5];
  }
}

void postTap(double wx, double wy) {
  int x, y;
  if (!mapToDisplay(view, wx, wy, &x, &y)) return;  // a click on the bars
  post(WM_LBUTTONDOWN, 1 /* MK_LBUTTON */, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

// A finger on the picture holds Button A in a match (never on the bars).
void hostTouch(double wx, double wy) {
  int x, y;
  if (mapToDisplay(view, wx, wy, &x, &y)) platformTouchDown(x, y);
}

void keyDown(const SDL_KeyboardEvent &k) {
  platformDeviceUsed(InputDevice::kKeyboard);
  int vk = virtualKeyFor(k.keysym.sym, k.keysym.scancode);
  if (vk <= 0 || vk > 255) return;
  const WindowKey wk = windowKeyFor(k.keysym.sym, k.keysym.mod);
  if (wk != WindowKey::kNone || windowKeyDown[vk]) {
    // Never a key of the game, not even while the option screen waits for
    // one: Enter is button A.
    if (!windowKeyDown[vk] && !k.repeat) {
      if (wk == WindowKey::kFullScreen) toggleFullScreen();
      if (wk == WindowKey::kFit) toggleFit();
    }
    windowKeyDown[vk] = true;
    return;
  }
  setHeld(k, vk, true);
  if (isSystemKey(k.keysym.sym, k.keysym.mod)) return;
  // Repeat count 1, the scan code, and bit 30 for an auto-repeat.
  LPARAM lp = 1 | (static_cast<LPARAM>(k.keysym.scancode & 0xFF) << 16) |
              (k.repeat ? (static_cast<LPARAM>(1) << 30) : 0);
  post(WM_KEYDOWN, static_cast<WPARAM>(vk), lp);
}

void keyUp(const SDL_KeyboardEvent &k) {
  int vk = virtualKeyFor(k.keysym.sym, k.keysym.scancode);
  if (vk > 0 && vk <= 255) {
    setHeld(k, vk, false);
    windowKeyDown[vk] = false;
  }
}

void mouseButton(const SDL_MouseButtonEvent &b) {
  if (b.button != SDL_BUTTON_LEFT) return;
  keys.held[0x01] = b.type == SDL_MOUSEBUTTONDOWN;
  // Touches arrive as finger events; their mouse copies are dropped.
  if (b.type == SDL_MOUSEBUTTONDOWN && b.which != SDL_TOUCH_MOUSEID) postTap(b.x, b.y);
}

void fingerDown(const SDL_TouchFingerEvent &f) {
  if (window == nullptr) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  hostTouch(f.x * w, f.y * h);
  postTap(f.x * w, f.y * h);
}

void windowEvent(const SDL_WindowEvent &w) {
  switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      post(WM_ACTIVATE, WA_ACTIVE, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      clearHeld();
      post(WM_ACTIVATE, WA_INACTIVE, 0);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      // With the host, minimising pauses; the game alone ends.
      if (!platformWindowMinimized(true)) post(WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      platformWindowMinimized(false);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      postClose();
      break;
    case SDL_WINDOWEVENT_MOVED:
      noteWindowPlace();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      keepWithinDisplay();
      noteWindowPlace();
      [[fallthrough]];
    case SDL_WINDOWEVENT_EXPOSED:
      // Paint the last frame again at once; while the game is inactive
      // nothing else would.
      needClear = true;
      if (shared::screenOpen()) showFrame();
      break;
    default:
      break;
  }
}

void takeEvent(const SDL_Event &e) {
  switch (e.type) {
    case SDL_KEYDOWN:
      keyDown(e.key);
      break;
    case SDL_KEYUP:
      keyUp(e.key);
      break;
    case SDL_CONTROLLERDEVICEADDED:
      padAdded(e.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      padRemoved(e.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      padButtonEvent(e.cbutton);
      break;
    case SDL_CONTROLLERAXISMOTION:
      padAxisEvent(e.caxis);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      mouseButton(e.button);
      break;
    case SDL_FINGERDOWN:
      fingerDown(e.tfinger);
      break;
    case SDL_FINGERUP:
      platformTouchUp();
      break;
    case SDL_WINDOWEVENT:
      windowEvent(e.window);
      break;
    case SDL_QUIT:
      postClose();
      break;
    default:
      break;
  }
}

}  // namespace

bool post(UINT msg, WPARAM wParam, LPARAM lParam) {
  bool input = msg == WM_KEYDOWN || msg == WM_LBUTTONDOWN;
  bool posted = (input ? platformPostInput(msg, wParam, lParam)
                       : platformPostControl(msg, wParam, lParam)) != FALSE;
  if (traceOn) {
    std::fprintf(stderr, "tobelyn: post 0x%04x wParam 0x%lx lParam 0x%lx%s\n", msg,
                 static_cast<unsigned long>(wParam), static_cast<unsigned long>(lParam),
                 posted ? "" : " (dropped)");
  }
  return posted;
}

void postClose() {
  if (!closePosted) closePosted = post(WM_CLOSE, 0, 0);
}

void clearHeld() {
  keys.clear();
  std::memset(windowKeyDown, 0, sizeof windowKeyDown);
  // Pads report nothing while the window is in the background, so a button
  // let go there would stay held.
  clearPads();
}

void catchCloseSignals() {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = onCloseSignal;
  sa.sa_flags = SA_RESTART;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

void pumpEvents() {
  std::string code;
  if (instancePoll(&code) && window != nullptr) {
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
  }
  if (!code.empty()) platformReceiveCode(code.c_str());
  if (!sdlUp) return;
  if (!padsUp && anyFrameShown) openPads();
  keys.newPass();
  SDL_Event e;
  while (SDL_PollEvent(&e)) takeEvent(e);
}

}  // namespace sdlb

using namespace sdlb;

// A lost display ends the game as a close request does.
void backendPumpEvents() {
  if (closeSignal || displayLost) {
    closeSignal = 0;
    postClose();
  }
  withDisplay(pumpEvents);
}

SHORT GetAsyncKeyState(int vKey) {
  return keys.down(vKey) || padHolds(vKey) ? static_cast<SHORT>(0x8000u) : 0;
}
