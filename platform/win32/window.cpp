// The native Windows build's stand-in for the handheld's display and
// buttons: the game's window gets a normal resizable frame, and shows the
// 240x320 display letterboxed at a whole-number scale (or, in fit mode, as
// large as the window allows) from the picture kept in picture.cpp, which
// also paces the frames at 60 a second. F11 and Alt+Enter switch a
// borderless window over the whole monitor, F10 fit mode; the window's
// size, place and mode are remembered; gamepads come through XInput
// (pads.cpp). Everything else (messages, registry, resources, clock, sound,
// the single-instance check) is the system's own.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/common/code_link.h"
#include "platform/common/fit.h"
#include "platform/common/host_link.h"
#include "platform/common/key_latch.h"
#include "platform/common/view.h"
#include "platform/common/window_state.h"
#include "platform/gx.h"
#include "platform/winapi.h"

// Needs <windows.h> (through platform/winapi.h) before it.
#include <psapi.h>

#include "platform/win32/desktop.h"

// From here on the names below are the system's own functions; the game's
// calls to them reach the versions defined at the end of this file.
#undef CreateWindowExW
#undef ClientToScreen
#undef GetAsyncKeyState
#undef SetForegroundWindow
#undef FindWindowW

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

HWND win32b::gameWindow;
bool win32b::active;

namespace {

using namespace win32b;
using shared::kDisplayHeight;
using shared::kDisplayWidth;
using shared::View;

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr int kMinimumScale = 2;

WNDPROC gameProc;
// A WM_COPYDATA message's mark for a match code sent by a second start.
constexpr ULONG_PTR kCodeCopyData = 0x544F4243;  // "TOBC"
HWND foundWindow;                                // the running instance FindWindowW found

// Full screen: a borderless window over the whole monitor; the framed
// window's placement is kept to go back to.
bool fullScreen;
WINDOWPLACEMENT framedPlacement;
// The framed window's place and size, as the window file keeps them.
shared::WindowState remembered;
bool rememberedKnown;
// Keys whose press changed the window (F11, Alt+Enter, F10): they and their
// repeats never reach the game until released, even when Alt goes up first.
bool windowKeyDown[256];

// Keys seen pressed and released in the game's window: a press and release
// between two frames still reads as held for the next frame's poll. A
// pass here ends with its frame.
shared::KeyLatch keys;

// With TOBELYN_TRACE set, the messages that matter for input and
// activation are printed to standard error, to check them by hand.
bool traceOn;

// The usable part of the monitor the window is (or will be) on.
RECT workArea(HWND hwnd) {
  RECT area{0, 0, 1024, 768};
  HMONITOR monitor = hwnd != nullptr ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY)
                                     : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) {
    area = info.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  return area;
}

// The window size (frame included) whose client area is w x h.
SIZE frameSize(int w, int h, DWORD style, DWORD exStyle) {
  RECT r{0, 0, w, h};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The largest whole multiple of the display whose window fits the work
// area, never below 2.
int chooseScale(const RECT &area, DWORD style, DWORD exStyle) {
  int scale = 1;
  for (int s = 2; s < 64; ++s) {
    SIZE size = frameSize(kDisplayWidth * s, kDisplayHeight * s, style, exStyle);
    if (size.cx > area.right - area.left || size.cy > area.bottom - area.top) break;
    scale = s;
  }
  return scale < kMinimumScale ? kMinimumScale : scale;
}

// With the host, minimising pauses the game and restoring resumes it; the
// game's own window procedure (which ends the program) never sees it then.
bool hostMinimizes(WPARAM sizeType) { return platformWindowMinimized(sizeType == SIZE_MINIMIZED); }

// Everything held lets go: the focus went elsewhere, where the key and pad
// releases will not be seen.
void clearHeld() {
  keys.clear();
  std::memset(windowKeyDown, 0, sizeof windowKeyDown);
  padsForget();
}

// The framed window's place (its frame's corner) and inside size, kept
// whenever it moves or changes size as a plain framed window.
void notePlace(HWND hwnd) {
  if (fullScreen || IsIconic(hwnd) || IsZoomed(hwnd)) return;
  RECT frame, client;
  if (!GetWindowRect(hwnd, &frame) || !GetClientRect(hwnd, &client)) return;
  remembered.x = frame.left;
  remembered.y = frame.top;
  remembered.w = client.right - client.left;
  remembered.h = client.bottom - client.top;
  rememberedKnown = remembered.w > 0 && remembered.h > 0;
}

// Full screen covers the monitor the window is on with a borderless window
// at the monitor's own resolution (never a change of display mode); the
// picture keeps its scale and black bars.
void setFullScreen(HWND hwnd, bool on) {
  if (on == fullScreen) return;
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if (on) {
    framedPlacement.length = sizeof framedPlacement;
    if (!GetWindowPlacement(hwnd, &framedPlacement)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    fullScreen = true;  // the moves below are not the framed window's
    const RECT &r = monitor.rcMonitor;
    SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~kWindowStyle) | WS_POPUP);
    SetWindowPos(hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  } else {
    SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~WS_POPUP) | kWindowStyle);
    if (framedPlacement.showCmd != SW_SHOWMAXIMIZED) framedPlacement.showCmd = SW_SHOWNORMAL;
    if (!IsWindowVisible(hwnd)) framedPlacement.showCmd = SW_HIDE;
    SetWindowPlacement(hwnd, &framedPlacement);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    fullScreen = false;
    notePlace(hwnd);
  }
  updateView(hwnd);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void setFit(HWND hwnd, bool on) {
  fitMode = on;
  if (!on) dropFitPicture();
  updateView(hwnd);
  InvalidateRect(hwnd, nullptr, FALSE);
}

// The two switches, for the host's Settings page as for the keys.
bool windowFullScreen() { return fullScreen; }
void toggleWindowFullScreen() {
  if (gameWindow != nullptr) setFullScreen(gameWindow, !fullScreen);
}
bool windowFit() { return fitMode; }
void toggleWindowFit() {
  if (gameWindow != nullptr) setFit(gameWindow, !fitMode);
}
const WindowControls kWindowControls = {windowFullScreen, toggleWindowFullScreen, windowFit,
                                        toggleWindowFit};

// The keyboard as the game should see it. True when the message is the
// window's own and goes no further.
bool windowKey(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN && (lParam & kPadKeyMark) != 0) return false;  // a pad's press
  // A key of the keyboard: the hints name keys again after a pad was used.
  if (msg == WM_KEYDOWN) platformDeviceUsed(InputDevice::kKeyboard);
  const int vk = static_cast<int>(wParam & 0xFF);
  if (msg == WM_KEYUP || msg == WM_SYSKEYUP) {
    if (msg == WM_KEYUP) keys.release(vk);
    if (!windowKeyDown[vk]) return false;
    // F10's release would otherwise open the window menu.
    windowKeyDown[vk] = false;
    return true;
  }
  // Bit 29: Alt was down (set on WM_SYSKEYDOWN only); AltGr, which also
  // presses Ctrl, arrives as WM_KEYDOWN with Alt held. Ctrl and the logo
  // keys matter only with Alt+Enter.
  const bool alt = (lParam & (1 << 29)) != 0 || GetKeyState(VK_MENU) < 0;
  const bool ctrlOrLogo =
      alt && vk == VK_RETURN &&
      (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0);
  const shared::WindowKey wk = shared::windowKeyFor(vk, alt, ctrlOrLogo);
  if (wk != shared::WindowKey::kNone || windowKeyDown[vk]) {
    // Never a key of the game, not even while the option screen waits for
    // one: Enter is button A. Bit 30: a repeat.
    if (!windowKeyDown[vk] && (lParam & (1 << 30)) == 0) {
      if (wk == shared::WindowKey::kFullScreen) setFullScreen(hwnd, !fullScreen);
      if (wk == shared::WindowKey::kFit) setFit(hwnd, !fitMode);
    }
    windowKeyDown[vk] = true;
    return true;
  }
  if (shared::isSystemKey(vk, alt)) {
    // Held (the system's key state says so), never a press. WM_SYSKEYDOWN
    // goes on, for Alt+F4 and Alt+Space.
    return msg == WM_KEYDOWN;
  }
  if (msg == WM_KEYDOWN) keys.press(vk);
  return false;
}

// Sits in front of the game's window procedure and handles what a desktop
// window needs; everything else, and every message the game knows, goes on
// to the game.
LRESULT CALLBACK displayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (traceOn && (msg == WM_ACTIVATE || msg == WM_KEYDOWN || msg == WM_LBUTTONDOWN ||
                  msg == WM_SIZE || msg == WM_CLOSE)) {
    std::fprintf(stderr, "tobelyn: message 0x%04x wParam 0x%llx lParam 0x%llx\n", msg,
                 static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    std::fflush(stderr);
  }
  switch (msg) {
    case WM_COPYDATA: {
      // A match code from a second start (see tobelynSetForegroundWindow).
      const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
      if (data == nullptr || data->dwData != kCodeCopyData || data->lpData == nullptr) break;
      const size_t size = data->cbData < kReceivedCodeMax + 1 ? data->cbData : kReceivedCodeMax + 1;
      const std::string code(static_cast<const char *>(data->lpData), size);
      platformReceiveCode(code.c_str());
      return TRUE;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel: no brush ever shows
    case WM_PAINT:
      paintPicture(hwnd);
      return 0;
    case WM_SIZE:
      if (hostMinimizes(wParam)) return 0;
      if (wParam != SIZE_MINIMIZED) {
        updateView(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        notePlace(hwnd);
      }
      break;
    case WM_MOVE:
      notePlace(hwnd);
      break;
    case WM_GETMINMAXINFO: {
      auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
      SIZE least = frameSize(kDisplayWidth, kDisplayHeight,
                             static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                             static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
      info->ptMinTrackSize.x = least.cx;
      info->ptMinTrackSize.y = least.cy;
      return 0;
    }
    case WM_DPICHANGED: {
      // Full screen already covers the monitor at its own pixels.
      if (fullScreen) return 0;
      const RECT *r = reinterpret_cast<const RECT *>(lParam);
      SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN: {
      // A click on the letterbox bars is no tap on the display.
      int x, y;
      if (!shared::mapToDisplay(pictureView, static_cast<SHORT>(LOWORD(lParam)),
                                static_cast<SHORT>(HIWORD(lParam)), &x, &y))
        return 0;
      break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (windowKey(hwnd, msg, wParam, lParam)) return 0;
      break;
    case WM_SYSCHAR:
      // Alt+Enter and Alt with a letter would beep for a menu the window
      // does not have; Alt+Space still opens the window menu.
      if (wParam != ' ') return 0;
      break;
    case WM_SYSCOMMAND:
      // Alt or F10 alone would put the window in menu mode, where the next
      // key goes to the window menu instead of the game.
      if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) return 0;
      break;
    case WM_ACTIVATE:
      active = LOWORD(wParam) != WA_INACTIVE;
      if (!active) clearHeld();
      break;
    case WM_DESTROY:
      if (rememberedKnown) {
        shared::WindowState state = remembered;
        state.fullScreen = fullScreen;
        state.fit = fitMode;
        writeWindowFile(state);
      }
      reportFrameStats();
      break;
    default:
      break;
  }
  return CallWindowProcW(gameProc, hwnd, msg, wParam, lParam);
}

}  // namespace

// --- The desktop mends of the game's system calls.

HWND tobelynCreateWindow(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int,
                         int, int, int, HWND parent, HMENU menu, HINSTANCE instance, void *param) {
  const char *stats = std::getenv("TOBELYN_FRAME_STATS");
  framePacer.statsOn = stats != nullptr && stats[0] != 0 && stats[0] != '0';
  const char *trace = std::getenv("TOBELYN_TRACE");
  traceOn = trace != nullptr && trace[0] != 0 && trace[0] != '0';
  // The handheld's window was the whole screen: here it gets a title,
  // minimise, maximise and close boxes and a sizing border. It stays hidden
  // until the game shows it, by then ready to paint.
  const DWORD desktopStyle = kWindowStyle | (style & ~(WS_VISIBLE | WS_POPUP));
  RECT area = workArea(nullptr);
  int scale = chooseScale(area, desktopStyle, exStyle);
  SIZE size = frameSize(kDisplayWidth * scale, kDisplayHeight * scale, desktopStyle, exStyle);
  int x = area.left + (area.right - area.left - size.cx) / 2;
  int y = area.top + (area.bottom - area.top - size.cy) / 2;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  // The size, place and mode of the last run, when its file is whole, moved
  // back whole onto the monitor nearest to it (one may have gone since).
  shared::WindowState saved{};
  const bool haveSaved = readWindowFile(&saved);
  if (haveSaved) {
    const int w = saved.w < kDisplayWidth ? kDisplayWidth : saved.w;
    const int h = saved.h < kDisplayHeight ? kDisplayHeight : saved.h;
    size = frameSize(w, h, desktopStyle, exStyle);
    const RECT wanted{saved.x, saved.y, saved.x + size.cx, saved.y + size.cy};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const RECT &a = monitor.rcWork;
      const shared::Rect placed =
          shared::keepWithinArea(shared::Rect{saved.x, saved.y, size.cx, size.cy},
                                 shared::Rect{a.left, a.top, a.right - a.left, a.bottom - a.top});
      x = placed.x;
      y = placed.y;
      size.cx = placed.w;
      size.cy = placed.h;
    }
    fitMode = saved.fit;
  }
  createPicture();
  HWND hwnd = CreateWindowExW(exStyle, className, windowName, desktopStyle, x, y, size.cx, size.cy,
                              parent, menu, instance, param);
  if (hwnd == nullptr) return nullptr;
  gameWindow = hwnd;
  gameProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(displayProc)));
  SetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND, 0);
  updateView(hwnd);
  notePlace(hwnd);
  if (haveSaved && saved.fullScreen) setFullScreen(hwnd, true);
  platformSetWindowControls(&kWindowControls);
  installSpeech();
  startVoice();
  installClipboard();
  clearHeld();
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

BOOL tobelynClientToScreen(HWND hwnd, POINT *point) {
  if (point == nullptr || hwnd == nullptr || hwnd != gameWindow) return FALSE;
  int x, y;
  if (!shared::mapToDisplay(pictureView, point->x, point->y, &x, &y)) return FALSE;
  point->x = x;
  point->y = y;
  return TRUE;
}

SHORT tobelynGetAsyncKeyState(int vKey) {
  if (gameWindow == nullptr || GetForegroundWindow() != gameWindow) return 0;
  // A key that switched the window is no button while it stays down.
  if (vKey > 0 && vKey < 256 && windowKeyDown[vKey]) return 0;
  SHORT state = GetAsyncKeyState(vKey);
  if (keys.down(vKey) || padsDown(vKey)) state |= static_cast<SHORT>(0x8000);
  return state;
}

// Stands for a running game whose window has not appeared (yet): the start
// that gets it ends without bringing anything forward.
const HWND kWindowNotYetMade = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0000));

HWND tobelynFindWindow(LPCWSTR className, LPCWSTR windowName) {
  // Looking for the window alone misses a game started a moment before
  // whose window does not exist yet, and two games would then run. The
  // first start owns a named mutex in this session, taken before its window
  // is made and held until it ends; a later start waits a little for that
  // game's window, to bring it forward, and never runs a second game.
  constexpr DWORD kWindowWaitMs = 2000, kPollMs = 20;
  static HANDLE instanceMutex;
  if (instanceMutex == nullptr) {
    instanceMutex = CreateMutexW(nullptr, FALSE, L"Local\\org.tobelyn.Tobelyn.instance");
    const DWORD error = GetLastError();
    if (instanceMutex == nullptr && error != ERROR_ACCESS_DENIED) {
      // No mutex to be had: only the window can tell.
      foundWindow = FindWindowW(className, windowName);
      return foundWindow;
    }
    if (instanceMutex != nullptr && error != ERROR_ALREADY_EXISTS) {
      foundWindow = nullptr;
      return nullptr;  // the first start
    }
    // Another game holds it; this start keeps no part of it alive.
    if (instanceMutex != nullptr) CloseHandle(instanceMutex);
    instanceMutex = nullptr;
  }
  const DWORD began = GetTickCount();
  for (;;) {
    foundWindow = FindWindowW(className, windowName);
    if (foundWindow != nullptr) return foundWindow;
    if (GetTickCount() - began >= kWindowWaitMs) return kWindowNotYetMade;
    Sleep(kPollMs);
  }
}

BOOL tobelynSetForegroundWindow(HWND hwnd) {
  // The handheld marks the handle with its lowest bit; the window meant is
  // the one FindWindowW found.
  if (foundWindow != nullptr &&
      (reinterpret_cast<uintptr_t>(hwnd) | 1) == (reinterpret_cast<uintptr_t>(foundWindow) | 1))
    hwnd = foundWindow;
  if (hwnd == nullptr || (reinterpret_cast<uintptr_t>(hwnd) | 1) ==
                             (reinterpret_cast<uintptr_t>(kWindowNotYetMade) | 1))
    return FALSE;
  // A code this start was given goes to the running game, as the text of
  // a WM_COPYDATA message (a stuck game is given two seconds at most).
  std::string code;
  if (platformTakeReceivedCode(&code)) {
    COPYDATASTRUCT data = {kCodeCopyData, static_cast<DWORD>(code.size()), code.data()};
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                        2000, &answer);
  }
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  return SetForegroundWindow(hwnd);
}

// The system plays the game's sounds: the host's volume (0 to 10) becomes
// the program's own wave volume whenever it changes.
void win32b::applyHostVolume() {
  static int32_t applied = -1;
  const int32_t volume = platformVolume();
  if (volume == applied) return;
  applied = volume;
  const uint32_t gain = volumeGainOf(volume);
  const DWORD level = static_cast<DWORD>(gain >= 65536 ? 0xFFFF : gain);
  waveOutSetVolume(nullptr, level | (level << 16));
}

void win32b::endKeyPass() { keys.newPass(); }
