// The system services every backend shares: the one window class, the one
// window, the posted-message queue and a few small handle services. The
// backend only shows the native window and turns native events into posted
// messages; everything the game can observe about windows and messages is
// decided here.

#include "platform/backend.h"
#include "platform/common/platform_internal.h"
#include "platform/common/wide_text.h"
#include "platform/gx.h"
#include "platform/winapi.h"

namespace {

constexpr int kNameMax = 100;    // class name and title, characters with the NUL
constexpr int kQueueSize = 256;  // posted messages waiting at most
// Key presses and taps waiting at most. A storm of input (a key held on a
// fast auto-repeat, a program typing) is cut here rather than left to fill
// the queue: a close posted behind it then waits a quarter of a second at
// most, and the queue always has room for the messages that matter.
constexpr int kPendingInputMax = 16;

struct ClassRecord {
  bool registered;
  WNDCLASSW wc;
  wchar_t name[kNameMax];
};

struct WindowRecord {
  bool live;
  bool visible;
  bool destroying;  // inside DestroyWindow: a second destruction is refused
  HWND handle;
  WNDPROC proc;
  wchar_t title[kNameMax];
};

ClassRecord windowClass;
WindowRecord window;
// Each window gets a fresh handle value, so that a handle kept from an earlier
// window never reaches the new one.
uintptr_t windowSerial;

MSG queue[kQueueSize];
int queueHead;   // index of the oldest message
int queueCount;  // messages waiting

bool quitPending;
int quitCode;

void copyName(wchar_t *dst, LPCWSTR src) {
  int i = 0;
  if (src != nullptr && !IS_INTRESOURCE(src))
    for (; i < kNameMax - 1 && src[i] != 0; ++i) dst[i] = src[i];
  dst[i] = 0;
}

// Class names compare without regard to case, as the system does.
bool sameName(const wchar_t *a, LPCWSTR b) {
  return b != nullptr && !IS_INTRESOURCE(b) && sameNameIgnoringCase(a, b);
}

bool isWindow(HWND hwnd) { return hwnd != nullptr && window.live && hwnd == window.handle; }

bool matches(const MSG &m, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (hwnd != nullptr && m.hwnd != hwnd) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return m.message >= filterMin && m.message <= filterMax;
}

// Removes the message at queue position pos (0 = oldest), keeping the order
// of the others.
void removeAt(int pos) {
  for (int i = pos; i + 1 < queueCount; ++i)
    queue[(queueHead + i) % kQueueSize] = queue[(queueHead + i + 1) % kQueueSize];
  --queueCount;
}

bool isRepeatableInput(UINT msg) { return msg == WM_KEYDOWN || msg == WM_LBUTTONDOWN; }

int pendingInput() {
  int n = 0;
  for (int i = 0; i < queueCount; ++i)
    n += isRepeatableInput(queue[(queueHead + i) % kQueueSize].message);
  return n;
}

// A destroyed window's posted messages go with it.
void dropMessagesFor(HWND hwnd) {
  for (int i = 0; i < queueCount;) {
    if (queue[(queueHead + i) % kQueueSize].hwnd == hwnd)
      removeAt(i);
    else
      ++i;
  }
}

}  // namespace

HWND platformWindow() { return window.live ? window.handle : nullptr; }

int platformQueuedMessages() { return queueCount; }

void platformResetState() {
  windowClass = ClassRecord{};
  window = WindowRecord{};
  queueHead = 0;
  queueCount = 0;
  quitPending = false;
  quitCode = 0;
  platformForgetOpenRegistryKey();
}

ATOM RegisterClassW(const WNDCLASSW *wc) {
  if (wc == nullptr || wc->lpfnWndProc == nullptr || wc->lpszClassName == nullptr ||
      IS_INTRESOURCE(wc->lpszClassName) || wc->lpszClassName[0] == 0)
    return 0;
  // One class: registering the same name twice fails as it does on the system.
  if (windowClass.registered && sameName(windowClass.name, wc->lpszClassName)) return 0;
  windowClass.registered = true;
  windowClass.wc = *wc;
  copyName(windowClass.name, wc->lpszClassName);
  windowClass.wc.lpszClassName = windowClass.name;
  windowClass.wc.lpszMenuName = nullptr;
  return 1;
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD, int, int, int, int, HWND,
                     HMENU, HINSTANCE, void *) {
  if (!windowClass.registered || !sameName(windowClass.name, className)) return nullptr;
  if (window.live) return nullptr;  // one window at a time
  ++windowSerial;
  window.live = true;
  window.visible = false;
  window.handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000 + 0x10 * windowSerial));
  window.proc = windowClass.wc.lpfnWndProc;
  copyName(window.title, windowName);
  HWND hwnd = window.handle;
  if (!backendCreateWindow(window.title, windowClass.wc.hIcon)) {
    window = WindowRecord{};
    return nullptr;
  }
  if (window.proc(hwnd, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  return isWindow(hwnd) ? hwnd : nullptr;
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
  if (!isWindow(hwnd)) return FALSE;
  BOOL wasVisible = window.visible ? TRUE : FALSE;
  window.visible = cmdShow != SW_HIDE;
  backendShowWindow(cmdShow);
  return wasVisible;
}

// The game draws through the display, never through the window: there is
// nothing to paint.
BOOL UpdateWindow(HWND hwnd) { return isWindow(hwnd) ? TRUE : FALSE; }

BOOL DestroyWindow(HWND hwnd) {
  if (!isWindow(hwnd) || window.destroying) return FALSE;
  // WM_DESTROY is sent, not posted: the game's handling has run when this
  // call returns. The record stays valid during it.
  window.destroying = true;
  window.proc(hwnd, WM_DESTROY, 0, 0);
  window.destroying = false;
  backendDestroyWindow();
  window.live = false;
  window.visible = false;
  dropMessagesFor(hwnd);
  return TRUE;
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_CLOSE) DestroyWindow(hwnd);
  return 0;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  return backendFindRunningInstance(className, windowName);
}

BOOL SetForegroundWindow(HWND hwnd) {
  if (hwnd == nullptr) return FALSE;
  if (isWindow(hwnd)) return TRUE;  // already this process's own window
  return backendBringForward(hwnd);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != nullptr && !isWindow(hwnd)) return FALSE;
  if (queueCount == kQueueSize) return FALSE;
  MSG &m = queue[(queueHead + queueCount) % kQueueSize];
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = timeGetTime();
  m.pt = POINT{0, 0};
  ++queueCount;
  return TRUE;
}

BOOL platformPostInput(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = platformWindow();
  if (hwnd == nullptr || pendingInput() >= kPendingInputMax) return FALSE;
  return PostMessageW(hwnd, msg, wParam, lParam);
}

BOOL platformPostControl(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = platformWindow();
  if (hwnd == nullptr) return FALSE;
  // A full queue gives up its oldest key press or tap: input may be lost,
  // a close or an activation change never.
  for (int i = 0; i < queueCount && queueCount == kQueueSize; ++i) {
    if (isRepeatableInput(queue[(queueHead + i) % kQueueSize].message)) removeAt(i);
  }
  return PostMessageW(hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  quitPending = true;
  quitCode = exitCode;
}

BOOL PeekMessageW(MSG *msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  if (msg == nullptr) return FALSE;
  backendPumpEvents();
  for (int i = 0; i < queueCount; ++i) {
    const MSG &m = queue[(queueHead + i) % kQueueSize];
    if (!matches(m, hwnd, filterMin, filterMax)) continue;
    *msg = m;
    if (removeMsg & PM_REMOVE) {
      if (i == 0) {
        queueHead = (queueHead + 1) % kQueueSize;
        --queueCount;
      } else {
        removeAt(i);
      }
    }
    return TRUE;
  }
  // The quit shows only once no posted message is waiting.
  bool quitWanted =
      (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
  if (quitPending && queueCount == 0 && quitWanted) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(quitCode);
    msg->time = timeGetTime();
    if (removeMsg & PM_REMOVE) quitPending = false;
    return TRUE;
  }
  return FALSE;
}

// No character messages are needed by the game.
BOOL TranslateMessage(const MSG *) { return FALSE; }

LRESULT DispatchMessageW(const MSG *msg) {
  if (msg == nullptr || !isWindow(msg->hwnd)) return 0;  // thread messages are not dispatched
  return window.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// The client area covers the whole display, so client and screen points are
// the same.
BOOL ClientToScreen(HWND, POINT *point) { return point != nullptr ? TRUE : FALSE; }

HGDIOBJ GetStockObject(int) {
  static int stockObject;
  return &stockObject;
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
  if (moduleName != nullptr) return nullptr;
  return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));
}
