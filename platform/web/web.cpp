// The browser backend: the page's input arrives as queued events and
// becomes posted messages at the next pass; frames go to the page's canvas
// as the rows that changed; sounds go to Web Audio; the settings file lives
// in the module's memory file system, copied to and from the page's storage
// by the page. The page's script (library.js and the site's page script)
// does the browser side.
#include <emscripten.h>

#include <cstring>

#include "platform/backend.h"
#include "platform/common/gx_screen.h"
#include "platform/common/host_link.h"
#include "platform/common/host_voice.h"
#include "platform/common/key_latch.h"
#include "platform/common/platform_internal.h"
#include "platform/common/test_clock.h"
#include "platform/common/view.h"
#include "platform/common/wave.h"
#include "platform/gx.h"
#include "platform/web/web_logic.h"
#include "platform/winapi.h"

using shared::kDisplayHeight;
using shared::kDisplayWidth;

// The page's side, in library.js.
extern "C" {
void tobPresent(const uint8_t *rgba, int firstRow, int rows);
void tobPlay(const uint8_t *samples, uint32_t bytes, int gain);  // gain in 1/65536
void tobExportDarts();
void tobStop();
// The host's voice, played by the page's audio graph beside the game's sounds.
void tobVoiceTone(double hz, double pan, double level, int gain);
void tobVoiceMark(double hz, double hzEnd, double pan, double level, int ms, int gain);
}

namespace {

// Input events, in the order the page saw them, taken at the next pump.
enum EventKind : int {
  kKeyDown = 1,      // a: virtual-key code, b: kRepeat, kFromButtons
  kKeyUp = 2,        // a: virtual-key code
  kPointerDown = 3,  // x, y: point in the page area's device pixels; a: 1 for a touch
  kPointerUp = 4,
  kActivate = 5,    // a: 1 active, 0 inactive
  kReleaseAll = 6,  // focus lost, page hidden, touches cancelled
};

// A key down's flags.
constexpr int kRepeat = 1;       // an auto-repeat
constexpr int kFromButtons = 2;  // one of the page's on-screen buttons

struct Event {
  int kind, a, b;
  double x, y;
};

constexpr int kEventMax = 256;
Event events[kEventMax];
int eventCount = 0;

shared::KeyLatch keys;
shared::View view{0, 0, 0, 0, 0};

bool windowLive = false;
bool shownValid = false;  // shownFrame holds what the canvas shows

uint16_t shownFrame[kDisplayWidth * kDisplayHeight];
uint8_t rgba[kDisplayWidth * kDisplayHeight * 4];

// Posted under the same rules as the desktop's: a storm of key presses or
// taps is capped, an activation change is never dropped.
void post(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_LBUTTONDOWN) {
    platformPostInput(msg, wParam, lParam);
  } else {
    platformPostControl(msg, wParam, lParam);
  }
}

bool isPress(int kind) { return kind == kKeyDown || kind == kPointerDown; }

void take(const Event &e) {
  switch (e.kind) {
    case kKeyDown:
      if (e.a <= 0 || e.a > 255) break;
      // The page's own buttons are pressed by a finger: the hints name
      // them as touch does.
      platformDeviceUsed((e.b & kFromButtons) != 0 ? InputDevice::kTouch : InputDevice::kKeyboard);
      keys.press(e.a);
      post(WM_KEYDOWN, static_cast<WPARAM>(e.a),
           1 | ((e.b & kRepeat) != 0 ? (static_cast<LPARAM>(1) << 30) : 0));
      break;
    case kKeyUp:
      keys.release(e.a);
      break;
    case kPointerDown: {
      keys.press(0x01);
      int x, y;
      if (shared::mapToDisplay(view, e.x, e.y, &x, &y)) {
        // A finger on the picture throws in a match (the host holds A for
        // it); a mouse click never does.
        if (e.a == 1) {
          platformDeviceUsed(InputDevice::kTouch);
          platformTouchDown(x, y);
        }
        post(WM_LBUTTONDOWN, 1 /* MK_LBUTTON */,
             MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
      }
      break;
    }
    case kPointerUp:
      keys.release(0x01);
      platformTouchUp();
      break;
    case kActivate:
      if (e.a == 0) keys.clear();
      post(WM_ACTIVATE, e.a != 0 ? WA_ACTIVE : WA_INACTIVE, 0);
      break;
    case kReleaseAll:
      keys.clear();
      platformTouchUp();
      break;
    default:
      break;
  }
}

void present() {
  int first = 0, last = kDisplayHeight - 1;
  if (shownValid && !shared::changedRows(shared::screenFrame, shownFrame, &first, &last)) return;
  webb::rowsToRgba(shared::screenFrame, rgba, first, last);
  std::memcpy(shownFrame + first * kDisplayWidth, shared::screenFrame + first * kDisplayWidth,
              static_cast<size_t>(last - first + 1) * kDisplayWidth * sizeof(uint16_t));
  shownValid = true;
  tobPresent(rgba, first, last - first + 1);
}

}  // namespace

// --- Called by the page.

extern "C" {

// Queues one input event for the next pass. A full queue drops a press
// (returning 0), as the message queue drops input in a storm; anything else
// - a release, an activation change, everything let go - is never lost: it
// takes the place of the oldest press waiting, or, with none waiting, the
// oldest event is taken now to make room.
EMSCRIPTEN_KEEPALIVE int webInput(int kind, int a, int b, double x, double y) {
  if (eventCount == kEventMax) {
    if (isPress(kind)) return 0;
    int oldest = 0;
    while (oldest < eventCount && !isPress(events[oldest].kind)) ++oldest;
    if (oldest == eventCount) {
      oldest = 0;
      take(events[0]);
    }
    std::memmove(events + oldest, events + oldest + 1,
                 static_cast<size_t>(eventCount - oldest - 1) * sizeof(Event));
    --eventCount;
  }
  events[eventCount++] = Event{kind, a, b, x, y};
  return 1;
}

// Lays the picture out in a page area of w x h device pixels. Returns the
// address of six numbers: x, y, w, h, the whole-number scale (0 when the
// picture is smoothed to its size) and the sharp scale to draw from.
EMSCRIPTEN_KEEPALIVE const int *webLayout(int areaW, int areaH) {
  static int out[6];
  int sharp = 1;
  view = webb::pagePictureView(areaW, areaH, &sharp);
  int values[6] = {view.x, view.y, view.w, view.h, view.scale, sharp};
  std::memcpy(out, values, sizeof out);
  return out;
}

// The page was hidden (1: another tab, the phone's home screen) or shown
// again (0). Hidden, the game pauses as a minimised window does: it is told
// at once, not at the next pass, because a hidden page gets no frames, and
// the clock the game reads stands still until the first pass after the page
// shows again.
EMSCRIPTEN_KEEPALIVE void webPageHidden(int hidden) {
  if (windowLive) (void)platformWindowMinimized(hidden != 0);
}

// Tests: a clock that moves only when told, as the headless build's does.
EMSCRIPTEN_KEEPALIVE void webSetClock(uint32_t ms) { shared::testClockSet(ms); }
EMSCRIPTEN_KEEPALIVE void webAdvanceClock(uint32_t ms) { shared::testClockAdvance(ms); }
// Tests: a key message without holding the key, and a held key without a
// message, as the replay scripts' key, hold and release commands.
// The page's Menu button: the host's menu opens, or closes.
EMSCRIPTEN_KEEPALIVE void webMenu() { post(WM_TOBELYN_MENU, 0, 0); }
// The page runs on a touch screen and shows its buttons: touch is the
// device the hints name until another is used.
EMSCRIPTEN_KEEPALIVE void webTouchDevice() { platformDeviceUsed(InputDevice::kTouch); }
EMSCRIPTEN_KEEPALIVE void webPostKey(int vk) { post(WM_KEYDOWN, static_cast<WPARAM>(vk), 1); }
EMSCRIPTEN_KEEPALIVE void webHoldKey(int vk, int down) {
  if (down) {
    keys.held[vk & 0xFF] = true;
  } else {
    keys.release(vk);
  }
}

}  // extern "C"

// --- The window.

// The darts as CSV, offered on the host's Settings page: the page downloads them.
const PageActions kPageActions = {tobExportDarts};

void voiceTone(float hz, float pan, float level) {
  tobVoiceTone(hz, pan, level, static_cast<int>(platformVolumeGain()));
}
void voiceMark(const VoiceMark &m) {
  tobVoiceMark(m.hz, m.hzEnd, m.pan, m.level, m.ms, static_cast<int>(platformVolumeGain()));
}
const VoiceOut kVoiceOut = {voiceTone, voiceMark};

bool backendCreateWindow(LPCWSTR, HICON) {
  windowLive = true;
  platformSetPageActions(&kPageActions);
  platformSetVoiceOut(&kVoiceOut);
  keys.clear();
  eventCount = 0;
  shownValid = false;
  return true;
}

void backendShowWindow(int) {}

void backendDestroyWindow() {
  windowLive = false;
  shared::closeScreen();
  keys.clear();
  tobStop();
}

void backendPumpEvents() {
  keys.newPass();
  for (int i = 0; i < eventCount; ++i) take(events[i]);
  eventCount = 0;
}

// A second tab is found by the page before the game starts.
HWND backendFindRunningInstance(LPCWSTR, LPCWSTR) { return nullptr; }
BOOL backendBringForward(HWND) { return FALSE; }

const char *backendRegistryPath() { return "/tobelyn/settings"; }

// --- Clock, keys, sound.

DWORD timeGetTime() {
  if (shared::testClockSetByTest()) return shared::testClockNow();
  return static_cast<DWORD>(static_cast<uint64_t>(emscripten_get_now()));
}

SHORT GetAsyncKeyState(int vKey) { return keys.down(vKey) ? static_cast<SHORT>(0x8000u) : 0; }

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
  if (sound == nullptr) {
    tobStop();
    return TRUE;
  }
  if ((flags & SND_MEMORY) == 0) return FALSE;
  const uint8_t *image = reinterpret_cast<const uint8_t *>(sound);
  size_t size = shared::waveImageSize(image);
  shared::WaveData wave;
  if (size == 0 || !shared::parseWave(image, size, &wave)) return FALSE;
  // The new sound replaces the one playing; the page plays nothing until
  // the player's first touch or key lets it start sound.
  tobPlay(wave.samples, wave.bytes, static_cast<int>(platformVolumeGain()));
  return TRUE;
}

// --- The display and buttons.

int GXOpenDisplay(HWND, DWORD) { return shared::openScreen(windowLive); }
int GXCloseDisplay() { return shared::closeScreen(); }

void *GXBeginDraw() {
  if (!shared::screenOpen() || shared::displaySuspended()) return nullptr;
  return shared::screenFrame;
}

int GXEndDraw() {
  if (!shared::screenOpen() || shared::displaySuspended()) return 0;
  present();
  return 1;
}
