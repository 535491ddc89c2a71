// The desktop backend on SDL2: the window and its events, the 240x320
// display shown at a whole-number scale, paced at 60 frames a second, key
// state, the clock, wave playing, the settings location and the single
// running instance.
#include <SDL.h>
#include <dlfcn.h>
#include <setjmp.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "host/host.h"
#include "platform/backend.h"
#include "platform/buttons.h"
#include "platform/common/key_latch.h"
#include "platform/common/platform_internal.h"
#include "platform/common/safe_file.h"
#include "platform/gx.h"
#include "platform/resources.h"
#include "platform/sdl/logic.h"
#include "platform/winapi.h"

namespace {

using namespace sdlb;

int64_t monoNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleepUntil(int64_t ns) {
  timespec ts;
  ts.tv_sec = static_cast<time_t>(ns / 1000000000);
  ts.tv_nsec = static_cast<long>(ns % 1000000000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

// Taken when the program is loaded, as the reference for the start-up time
// in the frame statistics.
const int64_t loadTimeNs = monoNs();

// --- Window and display state.

SDL_Window *window = nullptr;
bool sdlUp = false;
bool displayOpen = false;
bool suspended = false;
bool lastBeginNull = false;  // the last GXBeginDraw handed out no buffer
bool needClear = true;       // the letterbox bars must be painted again
bool closePosted = false;
SDL_Surface *lastSurface = nullptr;
int lastW = 0, lastH = 0;
uint32_t lastFormat = 0;
View view{0, 0, 0, 0, 0};

uint16_t frameBuffer[kDisplayWidth * kDisplayHeight];
uint16_t shownFrame[kDisplayWidth * kDisplayHeight];  // what the window shows
uint32_t pixelTable[65536];

// Fallback for window surfaces that are not 32 bits a pixel.
SDL_Surface *frameSurface = nullptr;

int64_t deadline = 0;

// Frame statistics, kept when TOBELYN_FRAME_STATS is set in the
// environment and printed when the window goes away.
constexpr int kMaxIntervals = 1 << 16;
bool statsOn = false;
uint32_t intervals[kMaxIntervals];
int intervalCount = 0;
int64_t lastShownNs = 0;
int64_t firstFrameNs = 0;

// --- Keys.

// Held keys, with a press and release shorter than one frame still read as
// held for that frame.
shared::KeyLatch keys;
// Keys whose press changed the window (F11, Alt+Enter, F10): their repeats
// are dropped too until they are released, even when Alt goes up first.
bool windowKeyDown[256];

// --- Gamepads, through SDL's game controller interface (its mapping
// database names the buttons alike on every make of pad).

struct Pad {
  SDL_GameController *controller;
  SDL_JoystickID id;
  int stickX, stickY;  // -1, 0 or +1 after the dead zone
};
Pad pads[kMaxPads];
PadState padState;
bool padsUp = false;
bool anyFrameShown = false;

// --- Signals.

volatile sig_atomic_t closeSignal = 0;

extern "C" void onCloseSignal(int) { closeSignal = 1; }

// --- The display connection.
//
// When the X server goes away (the session ends, a remote display drops)
// Xlib calls its fatal error handler and then exits the process, and any
// later X call on the dead connection can wait for ever. The game's own
// handler instead leaves the X call for the backend call that made it
// (every backend call that may reach the display runs under withDisplay),
// and from then on the backend makes no SDL video or X call at all: the
// game gets a close request and ends as usual, its settings saved.

volatile sig_atomic_t displayLost = 0;
sigjmp_buf displayLostJump;
bool insideDisplayCall = false;

// Runs f, unless the display is lost; a loss inside f returns here.
template <typename F>
void withDisplay(F f) {
  if (displayLost) return;
  if (insideDisplayCall) {
    f();
    return;
  }
  if (sigsetjmp(displayLostJump, 1) == 0) {
    insideDisplayCall = true;
    f();
  }
  insideDisplayCall = false;
}

extern "C" int onDisplayLost(void *) {
  displayLost = 1;
  if (insideDisplayCall) siglongjmp(displayLostJump, 1);
  // Lost outside the game's own calls, as the program ends: the settings
  // are saved by then, and nothing may touch the connection again.
  _exit(0);
}

// Replaces Xlib's fatal error handler, when SDL runs on X11 (SDL loads
// Xlib itself; the game does not link it).
void catchDisplayLoss() {
  void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  if (x11 == nullptr) return;
  using Handler = int (*)(void *);
  using SetHandler = Handler (*)(Handler);
  auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetIOErrorHandler"));
  if (set != nullptr) set(onDisplayLost);
  // Kept loaded for the life of the program, as SDL keeps it.
}

// --- Sound. The device is opened on a thread of its own so that a slow,
// missing or stuck sound server (one that takes the connection and never
// answers, a file output nobody reads) never delays the first frame, and the
// exit does not wait for it: an opening still under way when the game ends
// is left behind, and the game has played silently meanwhile.

enum AudioState : int { kAudioNotStarted, kAudioOpening, kAudioOpen, kAudioUnavailable };
std::mutex audioMutex;
SDL_AudioDeviceID audioDevice = 0;
std::atomic<int> audioState{kAudioNotStarted};
// How long the exit waits for an opening under way.
constexpr int64_t kAudioExitWaitNs = 500000000;
const uint8_t *playData = nullptr;
uint32_t playBytes = 0;
uint32_t playPos = 0;
int playVolume = 10;  // the host's volume, 0..10, when the sound started

void SDLCALL audioCallback(void *, Uint8 *stream, int len) {
  std::lock_guard<std::mutex> lock(audioMutex);
  uint32_t want = static_cast<uint32_t>(len);
  uint32_t left = playData != nullptr ? playBytes - playPos : 0;
  uint32_t n = left < want ? left : want;
  if (n > 0) {
    std::memcpy(stream, playData + playPos, n);
    playPos += n;
    if (playPos >= playBytes) playData = nullptr;
    if (playVolume < 10) {
      for (uint32_t i = 0; i + 1 < n; i += 2) {
        const int16_t sample = static_cast<int16_t>(stream[i] | (stream[i + 1] << 8));
        const int16_t quieter = static_cast<int16_t>(sample * playVolume / 10);
        stream[i] = static_cast<Uint8>(quieter & 0xFF);
        stream[i + 1] = static_cast<Uint8>((quieter >> 8) & 0xFF);
      }
    }
  }
  if (n < want) std::memset(stream + n, 0, want - n);
}

// The ALSA library prints its own complaints to stderr when a machine has no
// sound card; the game plays silently then, so those lines only alarm the
// player. Where the library is present, its messages are turned off before
// SDL opens it (SDL loads the same library).
void quietAlsa(const char *, int, const char *, int, const char *, ...) {}

void silenceAlsaMessages() {
  void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (alsa == nullptr) return;
  using Handler = void (*)(const char *, int, const char *, int, const char *, ...);
  using SetHandler = int (*)(Handler);
  auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set != nullptr) set(quietAlsa);
  // Kept loaded for the life of the program, as SDL keeps it.
}

void openAudio() {
  silenceAlsaMessages();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    audioState = kAudioUnavailable;
    return;
  }
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = 44100;
  want.format = AUDIO_S16LSB;
  want.channels = 1;
  want.samples = 512;
  want.callback = audioCallback;
  SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (dev == 0) {
    audioState = kAudioUnavailable;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(audioMutex);
    audioDevice = dev;
  }
  SDL_PauseAudioDevice(dev, 0);
  audioState = kAudioOpen;
}

void startAudio() {
  if (audioState.load() != kAudioNotStarted) return;
  audioState = kAudioOpening;
  // Detached: nothing ever waits for it without a time limit.
  std::thread(openAudio).detach();
}

// False when the opening is still under way after a short wait: the audio
// thread is then inside SDL, and SDL must be left alone.
bool stopAudio() {
  int64_t giveUp = monoNs() + kAudioExitWaitNs;
  while (audioState.load() == kAudioOpening && monoNs() < giveUp) sleepUntil(monoNs() + 10000000);
  if (audioState.load() == kAudioOpening) return false;
  SDL_AudioDeviceID dev;
  {
    std::lock_guard<std::mutex> lock(audioMutex);
    dev = audioDevice;
    audioDevice = 0;
    playData = nullptr;
  }
  if (dev != 0) SDL_CloseAudioDevice(dev);
  return true;
}

void writeWindowState();

void atExit() {
  // The settings were written before this, as the game ended; the window's
  // state comes second, as it matters less.
  writeWindowState();
  instanceFinish();
  // With the display lost or the audio stuck, SDL is left as it is; the
  // system takes back what it holds when the process ends.
  bool audioStopped = stopAudio();
  if (sdlUp && audioStopped && !displayLost) SDL_Quit();
  sdlUp = false;
}

// --- Helpers.

// With TOBELYN_TRACE set, every message the backend posts is also printed
// to stderr, to check input by hand.
bool traceOn = false;

// Posts a message to the game window: input (keys, taps) may be dropped in
// a storm of it, a control message (close, minimise, activation) never.
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

// One close request is enough; it counts as made only once it is posted.
void postClose() {
  if (!closePosted) closePosted = post(WM_CLOSE, 0, 0);
}

void utf8FromWide(const wchar_t *w, char *out, size_t outSize) {
  size_t n = 0;
  for (; w != nullptr && *w != 0; ++w) {
    uint32_t c = static_cast<uint32_t>(*w);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    char buf[4];
    size_t k;
    if (c < 0x80) {
      buf[0] = static_cast<char>(c);
      k = 1;
    } else if (c < 0x800) {
      buf[0] = static_cast<char>(0xC0 | (c >> 6));
      buf[1] = static_cast<char>(0x80 | (c & 0x3F));
      k = 2;
    } else if (c < 0x10000) {
      buf[0] = static_cast<char>(0xE0 | (c >> 12));
      buf[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buf[2] = static_cast<char>(0x80 | (c & 0x3F));
      k = 3;
    } else {
      buf[0] = static_cast<char>(0xF0 | (c >> 18));
      buf[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      buf[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buf[3] = static_cast<char>(0x80 | (c & 0x3F));
      k = 4;
    }
    if (n + k + 1 > outSize) break;
    std::memcpy(out + n, buf, k);
    n += k;
  }
  if (outSize > 0) out[n] = 0;
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

void clearHeld() {
  keys.clear();
  std::memset(windowKeyDown, 0, sizeof windowKeyDown);
  // Pads report nothing while the window is in the background, so a button
  // let go there would stay held.
  for (int i = 0; i < kMaxPads; ++i) padState.clear(i);
}

// The window's size and place when not full screen, kept up to date from
// its events and saved beside the settings when the window goes away.
WindowState windowState{0, 0, 0, 0, false, false};
bool windowStateKnown = false;

const char *windowStateFile() {
  static char path[1024];
  if (!windowStatePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), path, sizeof path)) {
    return nullptr;
  }
  return path;
}

// The state taken as the window went, written at exit (after the settings).
char pendingWindowText[kWindowStateMax];
size_t pendingWindowSize = 0;

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

// Fit mode: the picture as large as the window allows (see fitFrameRows).
bool fitMode = false;
FitTaps fitTaps;
bool fitTapsReady = false;

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

// A pad button acts as the key bound to its button at this moment: a
// press posts that code and is latched for the pass like a quick key tap;
// the held state is asked for in GetAsyncKeyState.
void padChange(int pad, int button, uint32_t source, bool down) {
  if (!padState.set(pad, button, source, down)) return;
  const int16_t *codes = platformButtonCodes();
  if (codes == nullptr) return;
  const int code = static_cast<uint16_t>(codes[button]);
  if (code > 0 && code <= 255) keys.pressedThisPass[code] = true;
  post(WM_KEYDOWN, static_cast<WPARAM>(code), 1);
}

bool padHolds(int vKey) {
  const int16_t *codes = platformButtonCodes();
  if (codes == nullptr) return false;
  for (int b = 0; b < kPadButtonCount; ++b) {
    if (static_cast<uint16_t>(codes[b]) == vKey && padState.held(b)) return true;
  }
  return false;
}

int padSlot(SDL_JoystickID id) {
  for (int i = 0; i < kMaxPads; ++i) {
    if (pads[i].controller != nullptr && pads[i].id == id) return i;
  }
  return -1;
}

void padAdded(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (padSlot(id) >= 0) return;  // already open (it is announced once more at start)
  for (Pad &p : pads) {
    if (p.controller != nullptr) continue;
    p.controller = SDL_GameControllerOpen(deviceIndex);
    if (p.controller == nullptr) return;
    p.id = id;
    p.stickX = p.stickY = 0;
    return;
  }
}

void padRemoved(SDL_JoystickID id) {
  int slot = padSlot(id);
  if (slot < 0) return;
  padState.clear(slot);  // an unplugged pad holds nothing
  SDL_GameControllerClose(pads[slot].controller);
  pads[slot] = Pad{};
}

void padStick(int slot, int axis, int value) {
  Pad &p = pads[slot];
  int &dir = axis == SDL_CONTROLLER_AXIS_LEFTX ? p.stickX : p.stickY;
  const int now = stickDirection(dir, value);
  if (now == dir) return;
  const int negative = axis == SDL_CONTROLLER_AXIS_LEFTX ? kPadLeft : kPadUp;
  const int positive = axis == SDL_CONTROLLER_AXIS_LEFTX ? kPadRight : kPadDown;
  if (dir != 0) padChange(slot, dir < 0 ? negative : positive, kStickSource, false);
  dir = now;
  if (dir != 0) padChange(slot, dir < 0 ? negative : positive, kStickSource, true);
}

// Opened after the first frame is shown: scanning the input devices must not
// delay the start. Pads already plugged in are announced as added.
void openPads() {
  padsUp = true;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  SDL_GameControllerEventState(SDL_ENABLE);
}

void postTap(double wx, double wy) {
  int x, y;
  if (!mapToDisplay(view, wx, wy, &x, &y)) return;  // a click on the bars
  post(WM_LBUTTONDOWN, 1 /* MK_LBUTTON */, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

// --- What the host needs of the desktop: its menu button on the pad, touch
// on the picture, and the window's two switches for its Settings page.

// The pad's Back (Select) calls up the host's menu; every other button is
// the game's. A pad button also makes the pad the device the help names.
bool hostPadEvent(const SDL_ControllerButtonEvent &b) {
  hostSetDevice(HostDevice::kPad);
  if (b.button != SDL_CONTROLLER_BUTTON_BACK) return false;
  if (b.type == SDL_CONTROLLERBUTTONDOWN) post(WM_TOBELYN_MENU, 0, 0);
  return true;
}

// A finger on the picture holds Button A in a match (never on the bars).
void hostTouch(double wx, double wy) {
  int x, y;
  if (mapToDisplay(view, wx, wy, &x, &y)) hostTouchDown(x, y);
}

bool windowFullScreen() {
  return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}
bool windowFit() { return fitMode; }
const HostWindowControls kWindowControls = {windowFullScreen, toggleFullScreen, windowFit,
                                            toggleFit};

// A window larger than its display shows nothing more, yet its surface
// grows with it (an 8000x8000 window holds 256 MB against 12 MB at its
// first size): a window resized past its display's bounds is brought back
// within them.
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

// Draws the frame buffer into the window and shows it. Only the rows that
// changed since the last shown frame are converted and sent: most frames of
// the menus change little or nothing, and the display server has less to
// copy.
void showFrame() {
  if (window == nullptr) return;
  SDL_Surface *surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return;
  if (surface != lastSurface || surface->w != lastW || surface->h != lastH) {
    // New or resized surface: new place for the picture and fresh bars.
    lastSurface = surface;
    lastW = surface->w;
    lastH = surface->h;
    needClear = true;
  }
  bool direct = surface->format->BytesPerPixel == 4;
  int first = 0, last = kDisplayHeight - 1;
  if (!needClear && direct && !changedRows(frameBuffer, shownFrame, &first, &last)) return;
  if (needClear) {
    view = fitMode ? computeFitView(surface->w, surface->h) : computeView(surface->w, surface->h);
    fitTapsReady = fitMode && buildFitTaps(view, &fitTaps);
    first = 0;
    last = kDisplayHeight - 1;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  }
  SDL_Rect r{view.x, view.y, view.w, view.h};
  if (direct) {
    if (lastFormat != surface->format->format) {
      build565Table(pixelTable, surface->format->Rmask, surface->format->Gmask,
                    surface->format->Bmask, surface->format->Amask);
      lastFormat = surface->format->format;
    }
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    if (fitTapsReady) {
      fitFrameRows(frameBuffer, pixelTable, view, fitTaps, static_cast<uint8_t *>(surface->pixels),
                   surface->pitch, first, last, &r.y, &r.h);
    } else {
      scaleFrameRows(frameBuffer, pixelTable, view, static_cast<uint8_t *>(surface->pixels),
                     surface->pitch, first, last, &r.y, &r.h);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    std::memcpy(shownFrame + first * kDisplayWidth, frameBuffer + first * kDisplayWidth,
                static_cast<size_t>(last - first + 1) * kDisplayWidth * sizeof(uint16_t));
  } else {
    if (frameSurface == nullptr) {
      frameSurface =
          SDL_CreateRGBSurfaceWithFormatFrom(frameBuffer, kDisplayWidth, kDisplayHeight, 16,
                                             kDisplayWidth * 2, SDL_PIXELFORMAT_RGB565);
    }
    if (frameSurface != nullptr) {
      SDL_Rect dst = r;
      SDL_BlitScaled(frameSurface, nullptr, surface, &dst);
    }
  }
  if (needClear) {
    SDL_UpdateWindowSurface(window);
  } else if (r.h > 0) {
    SDL_UpdateWindowSurfaceRects(window, &r, 1);
  }
  needClear = false;
}

void pace() {
  int64_t now = monoNs();
  if (deadline != 0 && now < deadline) {
    sleepUntil(deadline);
    now = monoNs();
  }
  deadline = nextDeadline(deadline, now, kFramePeriodNs);
}

void recordShown() {
  if (!statsOn) return;
  int64_t now = monoNs();
  if (firstFrameNs == 0) firstFrameNs = now;
  if (lastShownNs != 0 && intervalCount < kMaxIntervals) {
    intervals[intervalCount++] = static_cast<uint32_t>((now - lastShownNs) / 1000);
  }
  lastShownNs = now;
}

void reportStats() {
  if (!statsOn) return;
  double mean;
  uint32_t p99;
  int n = intervalCount;
  frameStats(intervals, n, &mean, &p99);
  std::fprintf(stderr,
               "tobelyn: first frame %.1f ms after start; %d frame intervals, mean %.2f ms, "
               "p99 %.2f ms\n",
               firstFrameNs != 0 ? (firstFrameNs - loadTimeNs) / 1e6 : -1.0, n, mean / 1000.0,
               p99 / 1000.0);
  intervalCount = 0;
}

const char *runtimeDir() {
  static char path[1024];
  static int state = 0;  // 0 not yet, 1 found, 2 none
  if (state == 0) {
    state = runtimeFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("XDG_CONFIG_HOME"),
                          std::getenv("HOME"), path, sizeof path)
                ? 1
                : 2;
  }
  return state == 1 ? path : nullptr;
}

}  // namespace

// --- The window.

namespace {

// Starts SDL's video on a display someone can see; false (with one line on
// stderr, once) when there is none. Done before the single-instance lock is
// taken, so that a start with no display leaves no file behind.
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
  // With no real display SDL falls back to drivers that show nothing; a
  // game nobody can see would run on forever. They are used only when
  // asked for by name.
  const char *driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::getenv("SDL_VIDEODRIVER") == nullptr &&
      (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
       std::strcmp(driver, "evdev") == 0)) {
    SDL_Quit();
    std::fprintf(stderr,
                 "tobelyn: no display available: no X11 or Wayland display (set DISPLAY or "
                 "WAYLAND_DISPLAY)\n");
    refused = true;
    return false;
  }
  // On X11 the window surface takes the plain software path (shared
  // memory images): the accelerated one costs far more memory for a
  // 240x320 picture. Other systems have no software path of their own,
  // so SDL chooses there.
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  sdlUp = true;
  std::atexit(atExit);
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) catchDisplayLoss();
  return true;
}

// Makes the native window; false (with one line on stderr) when there is no
// display to show it on.
bool createWindow(LPCWSTR title, HICON icon) {
  if (window != nullptr) return true;
  if (!startVideo()) return false;
  writeWindowState();  // a window made again in one process reads the last
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = onCloseSignal;
  sa.sa_flags = SA_RESTART;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  const char *stats = std::getenv("TOBELYN_FRAME_STATS");
  statsOn = stats != nullptr && stats[0] != 0 && stats[0] != '0';
  const char *trace = std::getenv("TOBELYN_TRACE");
  traceOn = trace != nullptr && trace[0] != 0 && trace[0] != '0';

  SDL_Rect usable{0, 0, 1024, 768};
  SDL_GetDisplayUsableBounds(0, &usable);
  int scale = chooseWindowScale(usable.w, usable.h);
  char utf8[400];
  utf8FromWide(title, utf8, sizeof utf8);
  // The size, place and mode of the last run, when its file is whole: the
  // size kept within the desktop, the place used only when the window's
  // corner still lies on it (a monitor may have gone since).
  int ww = kDisplayWidth * scale, wh = kDisplayHeight * scale;
  int wx = SDL_WINDOWPOS_CENTERED, wy = SDL_WINDOWPOS_CENTERED;
  WindowState saved;
  char text[kWindowStateMax];
  size_t textSize = 0;
  const char *statePath = windowStateFile();
  const bool haveSaved =
      statePath != nullptr &&
      safeFileRead(statePath, text, sizeof text, &textSize) == SafeReadResult::kRead &&
      parseWindowState(text, textSize, &saved);
  if (haveSaved) {
    ww = saved.w < kDisplayWidth ? kDisplayWidth : saved.w > usable.w ? usable.w : saved.w;
    wh = saved.h < kDisplayHeight ? kDisplayHeight : saved.h > usable.h ? usable.h : saved.h;
    fitMode = saved.fit;
    const SDL_Point corner{saved.x, saved.y};
    if (SDL_PointInRect(&corner, &usable)) {
      wx = std::max(usable.x, std::min(saved.x, usable.x + usable.w - ww));
      wy = std::max(usable.y, std::min(saved.y, usable.y + usable.h - wh));
    }
  }
  window = SDL_CreateWindow(utf8, wx, wy, ww, wh, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (window == nullptr) {
    std::fprintf(stderr, "tobelyn: no display available: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetWindowMinimumSize(window, kDisplayWidth, kDisplayHeight);
  noteWindowPlace();
  if (haveSaved && saved.fullScreen) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  setIcon(icon);
  // Keys arrive as key presses only; no text input.
  SDL_StopTextInput();
  clearHeld();
  closePosted = false;
  closeSignal = 0;
  needClear = true;
  lastSurface = nullptr;
  startAudio();
  hostSetWindowControls(&kWindowControls);
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
  displayOpen = false;
  clearHeld();
}

namespace {
void pumpEvents();
}  // namespace

// A lost display ends the game as a close request does.
void backendPumpEvents() {
  if (closeSignal || displayLost) {
    closeSignal = 0;
    postClose();
  }
  withDisplay(pumpEvents);
}

namespace {

void pumpEvents() {
  if (instancePoll() && window != nullptr) {
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
  }
  if (!sdlUp) return;
  if (!padsUp && anyFrameShown) openPads();
  keys.newPass();
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_KEYDOWN: {
        hostSetDevice(HostDevice::kKeyboard);
        int vk = virtualKeyFor(e.key.keysym.sym, e.key.keysym.scancode);
        if (vk <= 0 || vk > 255) break;
        const WindowKey wk = windowKeyFor(e.key.keysym.sym, e.key.keysym.mod);
        if (wk != WindowKey::kNone || windowKeyDown[vk]) {
          // Never a key of the game, not even while the option screen
          // waits for one: Enter is button A.
          if (!windowKeyDown[vk] && !e.key.repeat) {
            if (wk == WindowKey::kFullScreen) toggleFullScreen();
            if (wk == WindowKey::kFit) toggleFit();
          }
          windowKeyDown[vk] = true;
          break;
        }
        setHeld(e.key, vk, true);
        if (isSystemKey(e.key.keysym.sym, e.key.keysym.mod)) break;
        // Repeat count 1, the scan code, and bit 30 for an auto-repeat.
        LPARAM lp = 1 | (static_cast<LPARAM>(e.key.keysym.scancode & 0xFF) << 16) |
                    (e.key.repeat ? (static_cast<LPARAM>(1) << 30) : 0);
        post(WM_KEYDOWN, static_cast<WPARAM>(vk), lp);
        break;
      }
      case SDL_KEYUP: {
        int vk = virtualKeyFor(e.key.keysym.sym, e.key.keysym.scancode);
        if (vk > 0 && vk <= 255) {
          setHeld(e.key, vk, false);
          windowKeyDown[vk] = false;
        }
        break;
      }
      case SDL_CONTROLLERDEVICEADDED:
        padAdded(e.cdevice.which);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        padRemoved(e.cdevice.which);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP: {
        if (hostPadEvent(e.cbutton)) break;
        const int slot = padSlot(e.cbutton.which);
        const int button = padButtonFor(e.cbutton.button);
        if (slot >= 0 && button >= 0) {
          padChange(slot, button, 1u << e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
        }
        break;
      }
      case SDL_CONTROLLERAXISMOTION: {
        const int slot = padSlot(e.caxis.which);
        if (slot >= 0 && (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ||
                          e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)) {
          padStick(slot, e.caxis.axis, e.caxis.value);
        }
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button != SDL_BUTTON_LEFT) break;
        keys.held[0x01] = true;
        // Touches arrive as finger events; their mouse copies are dropped.
        if (e.button.which != SDL_TOUCH_MOUSEID) postTap(e.button.x, e.button.y);
        break;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT) keys.held[0x01] = false;
        break;
      case SDL_FINGERDOWN:
        if (window != nullptr) {
          int w = 0, h = 0;
          SDL_GetWindowSize(window, &w, &h);
          hostTouch(e.tfinger.x * w, e.tfinger.y * h);
          postTap(e.tfinger.x * w, e.tfinger.y * h);
        }
        break;
      case SDL_FINGERUP:
        hostTouchUp();
        break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            post(WM_ACTIVATE, WA_ACTIVE, 0);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            clearHeld();
            post(WM_ACTIVATE, WA_INACTIVE, 0);
            break;
          case SDL_WINDOWEVENT_MINIMIZED:
            // With the host, minimising pauses; the game alone ends.
            if (hostEnabled())
              hostMinimized(true);
            else
              post(WM_SIZE, SIZE_MINIMIZED, 0);
            break;
          case SDL_WINDOWEVENT_RESTORED:
            hostMinimized(false);
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
            // Paint the last frame again at once; while the game is
            // inactive nothing else would.
            needClear = true;
            if (displayOpen) showFrame();
            break;
          default:
            break;
        }
        break;
      case SDL_QUIT:
        postClose();
        break;
      default:
        break;
    }
  }
}

}  // namespace

// --- Single instance.

HWND backendFindRunningInstance(LPCWSTR, LPCWSTR) {
  // With no display the window cannot be made and the game ends at once:
  // then no lock or socket is made either.
  bool video = false;
  withDisplay([&] { video = startVideo(); });
  if (!video) return nullptr;
  const char *dir = runtimeDir();
  if (dir == nullptr) return nullptr;
  if (instanceAcquire(dir) != InstanceResult::kOtherRuns) return nullptr;
  // Stands for the other process's window; only backendBringForward uses it.
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0000));
}

BOOL backendBringForward(HWND) {
  const char *dir = runtimeDir();
  if (dir == nullptr) return FALSE;
  // The running one may be between taking its lock and listening, or too
  // busy to take the request at once; give it about a second. A game that
  // is stopped or stuck gets no more: this start then ends all the same.
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (instanceSignal(dir)) return TRUE;
    SDL_Delay(20);
  }
  return FALSE;
}

const char *backendRegistryPath() {
  static char path[1024];
  if (!settingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), path, sizeof path)) {
    return nullptr;
  }
  return path;
}

// --- Clock, keys, sound.

DWORD timeGetTime() { return static_cast<DWORD>(SDL_GetTicks64()); }

SHORT GetAsyncKeyState(int vKey) {
  return keys.down(vKey) || padHolds(vKey) ? static_cast<SHORT>(0x8000u) : 0;
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
  if (sound == nullptr) {
    // No sound: stop the one playing.
    std::lock_guard<std::mutex> lock(audioMutex);
    playData = nullptr;
    return TRUE;
  }
  // Only images in memory are played; every play returns at once.
  if ((flags & SND_MEMORY) == 0) return FALSE;
  const uint8_t *image = reinterpret_cast<const uint8_t *>(sound);
  size_t size = waveImageSize(image);
  WaveData wave;
  if (size == 0 || !parseWave(image, size, &wave)) return FALSE;
  if (audioState.load() == kAudioUnavailable) return FALSE;
  std::lock_guard<std::mutex> lock(audioMutex);
  // The new sound replaces the one playing. The samples stay where they
  // are: the image lives in the executable.
  playData = wave.bytes > 0 ? wave.samples : nullptr;
  playBytes = wave.bytes;
  playPos = 0;
  playVolume = hostSettings().volume;
  return TRUE;
}

// --- The display and buttons.

int GXOpenDisplay(HWND, DWORD) {
  if (window == nullptr) return 0;
  displayOpen = true;
  std::memset(frameBuffer, 0, sizeof frameBuffer);
  return 1;
}

int GXCloseDisplay() {
  displayOpen = false;
  return 1;
}

void *GXBeginDraw() {
  if (!displayOpen || suspended || window == nullptr) {
    // Nothing to draw into, but the frame still takes its time, so that an
    // inactive game does not spin.
    lastBeginNull = true;
    lastShownNs = 0;  // the statistics skip the gap
    pace();
    return nullptr;
  }
  lastBeginNull = false;
  return frameBuffer;
}

int GXEndDraw() {
  if (lastBeginNull) {
    lastBeginNull = false;  // already paced in GXBeginDraw
    return 0;
  }
  if (!displayOpen || window == nullptr) return 0;
  withDisplay(showFrame);
  recordShown();
  anyFrameShown = true;
  pace();
  return 1;
}

int GXOpenInput() { return 1; }
int GXCloseInput() { return 1; }

GXDisplayProperties GXGetDisplayProperties() {
  GXDisplayProperties p{};
  p.cxWidth = kDisplayWidth;
  p.cyHeight = kDisplayHeight;
  p.cbxPitch = 2;
  p.cbyPitch = kDisplayWidth * 2;
  p.cBPP = 16;
  p.ffFormat = kfDirect565;
  return p;
}

GXKeyList GXGetDefaultKeys(int) { return platformDefaultKeys(); }

int GXSuspend() {
  suspended = true;
  return 1;
}

int GXResume() {
  suspended = false;
  return 1;
}
