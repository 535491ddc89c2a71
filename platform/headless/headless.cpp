// The headless backend: the program runs without a screen, a sound card or
// a real clock. Time moves only when the script says so, input is posted
// straight into the message queue, frames land in a buffer that can be saved
// as PNG, and sounds are recorded by resource id. Nothing here ever waits.
#include "platform/headless/headless.h"

#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "platform/common/platform_internal.h"
#include "platform/common/test_clock.h"
#include "platform/gx.h"
#include "platform/headless/clipboard.h"
#include "platform/headless/mixer.h"
#include "platform/headless/png.h"

namespace {

// Room for displays up to 480 x 640 pixels; a larger reported size gets no
// frame buffer at all rather than one too small.
constexpr uint32_t kFramePixelsMax = 480 * 640;
constexpr int kSoundsMax = 64;
constexpr int kKeysMax = 256;

uint16_t frame[kFramePixelsMax];

struct HeadlessState {
  bool held[kKeysMax];
  bool displayOpen;
  bool suspended;
  bool drawing;
  bool inputOpen;
  uint32_t presents;
  GXDisplayProperties pendingFormat;  // taken by the next GXOpenDisplay
  GXDisplayProperties display;
  bool otherInstance;
  int foregroundRequests;
  int sounds[kSoundsMax];
  int soundCount;
  bool windowShown;
};

constexpr GXDisplayProperties defaultFormat() {
  GXDisplayProperties p{};
  p.cxWidth = 240;
  p.cyHeight = 320;
  p.cbxPitch = 2;
  p.cbyPitch = 480;
  p.cBPP = 16;
  p.ffFormat = kfDirect565;
  return p;
}

constexpr HeadlessState initialState() {
  HeadlessState s{};
  s.pendingFormat = defaultFormat();
  s.display = s.pendingFormat;
  return s;
}

HeadlessState state = initialState();

char registryPath[4096];
bool registryInFile;

bool frameFits(const GXDisplayProperties &p) {
  return p.cxWidth > 0 && p.cyHeight > 0 && p.cxWidth <= kFramePixelsMax &&
         p.cyHeight <= kFramePixelsMax / p.cxWidth;
}

void postToWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = platformWindow();
  if (hwnd != nullptr) PostMessageW(hwnd, msg, wParam, lParam);
}

void resetState() {
  state = initialState();
  shared::testClockReset();
  std::memset(frame, 0, sizeof frame);
  headlessMixerReset();
}

}  // namespace

// --- The backend seam.

bool backendCreateWindow(LPCWSTR, HICON) {
  headlessUseClipboard();
  state.windowShown = false;
  return true;
}
void backendShowWindow(int cmdShow) { state.windowShown = cmdShow != SW_HIDE; }
void backendDestroyWindow() { state.windowShown = false; }

// Scripted input is posted directly; there are no native events to turn
// into messages.
void backendPumpEvents() {}

HWND backendFindRunningInstance(LPCWSTR, LPCWSTR) {
  return state.otherInstance ? reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7E570000u))
                             : nullptr;
}

BOOL backendBringForward(HWND other) {
  if (other == nullptr) return FALSE;
  ++state.foregroundRequests;
  return TRUE;
}

const char *backendRegistryPath() { return registryInFile ? registryPath : nullptr; }

// --- Clock, keys, sound.

DWORD timeGetTime() { return shared::testClockNow(); }

SHORT GetAsyncKeyState(int vKey) {
  if (vKey < 0 || vKey >= kKeysMax || !state.held[vKey]) return 0;
  return static_cast<SHORT>(0x8000);
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
  if (sound == nullptr) {
    headlessMixerPlay(nullptr);
    return TRUE;  // stops what plays; nothing to record
  }
  if (!(flags & SND_MEMORY)) return FALSE;
  for (int i = 0; i < resourceCount; ++i) {
    const ResourceEntry &e = resourceTable[i];
    if (e.typeName == nullptr || e.data != static_cast<const void *>(sound)) continue;
    if (state.soundCount == kSoundsMax) {
      // Keep the latest: drop the oldest.
      std::memmove(state.sounds, state.sounds + 1, sizeof(int) * (kSoundsMax - 1));
      --state.soundCount;
    }
    state.sounds[state.soundCount++] = e.id;
    headlessMixerPlay(sound);
    return TRUE;
  }
  return FALSE;
}

// --- Display and buttons.

int GXOpenDisplay(HWND, DWORD) {
  state.display = state.pendingFormat;
  state.displayOpen = true;
  state.drawing = false;
  return 1;
}

int GXCloseDisplay() {
  state.displayOpen = false;
  state.drawing = false;
  return 1;
}

void *GXBeginDraw() {
  if (!state.displayOpen || state.suspended || !frameFits(state.display)) return nullptr;
  state.drawing = true;
  return frame;
}

int GXEndDraw() {
  ++state.presents;
  bool wasDrawing = state.drawing;
  state.drawing = false;
  return wasDrawing ? 1 : 0;
}

int GXOpenInput() {
  state.inputOpen = true;
  return 1;
}

int GXCloseInput() {
  state.inputOpen = false;
  return 1;
}

GXDisplayProperties GXGetDisplayProperties() { return state.display; }

GXKeyList GXGetDefaultKeys(int) { return platformDefaultKeys(); }

int GXSuspend() {
  state.suspended = true;
  return 1;
}

int GXResume() {
  state.suspended = false;
  return 1;
}

// --- Controls.

void headlessReset() {
  resetState();
  platformResetState();
}

void headlessSetRegistryDir(const char *dir) {
  registryInFile = false;
  if (dir == nullptr) return;
  int n = std::snprintf(registryPath, sizeof registryPath, "%s/settings", dir);
  // A folder name too long for a path cannot hold the file; keep the
  // settings in memory rather than in a truncated path.
  registryInFile = n > 0 && static_cast<size_t>(n) < sizeof registryPath;
}

void headlessClearMemoryRegistry() { platformClearMemoryRegistry(); }

void headlessSetClock(uint32_t ms) { shared::testClockSet(ms); }
void headlessAdvanceClock(uint32_t ms) { shared::testClockAdvance(ms); }

void headlessHold(int vk, bool held) {
  if (vk >= 0 && vk < kKeysMax) state.held[vk] = held;
}

void headlessKey(int vk) { postToWindow(WM_KEYDOWN, static_cast<WPARAM>(vk), 1); }

void headlessTap(int x, int y) {
  postToWindow(WM_LBUTTONDOWN, 1,
               MAKELPARAM(static_cast<WORD>(static_cast<unsigned>(x) & 0xFFFF),
                          static_cast<WORD>(static_cast<unsigned>(y) & 0xFFFF)));
}

void headlessActivate(bool active) {
  postToWindow(WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}
void headlessMinimize() { postToWindow(WM_SIZE, SIZE_MINIMIZED, 0); }
void headlessClose() { postToWindow(WM_CLOSE, 0, 0); }

void headlessSetOtherInstance(bool running) { state.otherInstance = running; }
int headlessForegroundRequests() { return state.foregroundRequests; }

const uint16_t *headlessFrame() { return frame; }
uint32_t headlessPresentCount() { return state.presents; }
bool headlessSuspended() { return state.suspended; }
bool headlessDisplayOpen() { return state.displayOpen; }

void headlessSetDisplayFormat(uint32_t width, uint32_t height, long bpp, uint32_t format) {
  GXDisplayProperties &p = state.pendingFormat;
  p.cxWidth = width;
  p.cyHeight = height;
  p.cBPP = bpp;
  p.cbxPitch = bpp / 8;
  p.cbyPitch = static_cast<long>(width) * (bpp / 8);
  p.ffFormat = format;
}

int headlessTakeSounds(int *resourceIds, int max) {
  int n = 0;
  if (resourceIds != nullptr)
    for (; n < max && n < state.soundCount; ++n) resourceIds[n] = state.sounds[n];
  state.soundCount = 0;
  return n;
}

bool headlessSavePng(const char *path) {
  const GXDisplayProperties &p = state.display;
  if (!frameFits(p)) return false;
  return pngWrite565(path, frame, p.cxWidth, p.cyHeight);
}
