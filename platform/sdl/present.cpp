// The desktop backend's picture: the 240x320 frame drawn into the window at
// a whole-number scale (or fitted), paced at 60 frames a second, with frame
// statistics on request; and the clock.
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/common/gx_screen.h"
#include "platform/gx.h"
#include "platform/sdl/backend_state.h"

namespace sdlb {

View view{0, 0, 0, 0, 0};
bool anyFrameShown = false;

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

namespace {

// Taken when the program is loaded, as the reference for the start-up time
// in the frame statistics.
const int64_t loadTimeNs = monoNs();
int64_t sinceLoad() { return monoNs() - loadTimeNs; }

}  // namespace

shared::FramePacer pacer{{monoNs, sleepUntil, sinceLoad}};

namespace {

int lastW = 0, lastH = 0;
uint32_t lastFormat = 0;

uint16_t shownFrame[kDisplayWidth * kDisplayHeight];  // what the window shows
uint32_t pixelTable[65536];

// Fallback for window surfaces that are not 32 bits a pixel.
SDL_Surface *frameSurface = nullptr;

FitTaps fitTaps;
bool fitTapsReady = false;

// Display rows first..last, converted through the pixel table straight into
// a 32-bit window surface; r becomes the window rows touched.
void drawDirect(SDL_Surface *surface, int first, int last, SDL_Rect *r) {
  if (lastFormat != surface->format->format) {
    build565Table(pixelTable, surface->format->Rmask, surface->format->Gmask,
                  surface->format->Bmask, surface->format->Amask);
    lastFormat = surface->format->format;
  }
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  uint8_t *pixels = static_cast<uint8_t *>(surface->pixels);
  if (fitTapsReady) {
    fitFrameRows(shared::screenFrame, pixelTable, view, fitTaps, pixels, surface->pitch, first,
                 last, &r->y, &r->h);
  } else {
    scaleFrameRows(shared::screenFrame, pixelTable, view, pixels, surface->pitch, first, last,
                   &r->y, &r->h);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  std::memcpy(shownFrame + first * kDisplayWidth, shared::screenFrame + first * kDisplayWidth,
              static_cast<size_t>(last - first + 1) * kDisplayWidth * sizeof(uint16_t));
}

// Any other surface: SDL converts and scales the whole frame.
void drawConverted(SDL_Surface *surface, const SDL_Rect &r) {
  if (frameSurface == nullptr) {
    frameSurface =
        SDL_CreateRGBSurfaceWithFormatFrom(shared::screenFrame, kDisplayWidth, kDisplayHeight, 16,
                                           kDisplayWidth * 2, SDL_PIXELFORMAT_RGB565);
  }
  if (frameSurface != nullptr) {
    SDL_Rect dst = r;
    SDL_BlitScaled(frameSurface, nullptr, surface, &dst);
  }
}

}  // namespace

// Only the rows that changed since the last shown frame are converted and
// sent: most frames of the menus change little or nothing, and the display
// server has less to copy.
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
  if (!needClear && direct && !changedRows(shared::screenFrame, shownFrame, &first, &last)) return;
  if (needClear) {
    view = fitMode ? computeFitView(surface->w, surface->h) : computeView(surface->w, surface->h);
    fitTapsReady = fitMode && buildFitTaps(view, &fitTaps);
    first = 0;
    last = kDisplayHeight - 1;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  }
  SDL_Rect r{view.x, view.y, view.w, view.h};
  if (direct) {
    drawDirect(surface, first, last, &r);
  } else {
    drawConverted(surface, r);
  }
  if (needClear) {
    SDL_UpdateWindowSurface(window);
  } else if (r.h > 0) {
    SDL_UpdateWindowSurfaceRects(window, &r, 1);
  }
  needClear = false;
}

void reportStats() { shared::reportStats(pacer, ""); }

}  // namespace sdlb

using namespace sdlb;

DWORD timeGetTime() { return static_cast<DWORD>(SDL_GetTicks64()); }

int GXOpenDisplay(HWND, DWORD) { return shared::openScreen(window != nullptr); }
int GXCloseDisplay() { return shared::closeScreen(); }

// A pass with nothing to draw into still takes its time.
void *GXBeginDraw() {
  uint16_t *frame = shared::beginScreenPass(window != nullptr);
  if (frame == nullptr) {
    skipInterval(pacer);  // the statistics skip the gap
    pace(pacer);
  }
  return frame;
}

int GXEndDraw() {
  if (!shared::endScreenPass(window != nullptr)) return 0;
  withDisplay(showFrame);
  recordShown(pacer);
  anyFrameShown = true;
  pace(pacer);
  return 1;
}
