// The native Windows build's picture: the game's frame kept in a DIB
// section and painted letterboxed at a whole-number scale (or, in fit mode,
// as large as the window allows) whenever Windows asks, and frames paced at
// 60 a second on a waitable timer.
#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "platform/common/fit.h"
#include "platform/common/frame_pacer.h"
#include "platform/common/gx_screen.h"
#include "platform/common/view.h"
#include "platform/gx.h"
#include "platform/winapi.h"

// Needs <windows.h> (through platform/winapi.h) before it.
#include <psapi.h>

#include "platform/win32/desktop.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

using namespace win32b;
using shared::kDisplayHeight;
using shared::kDisplayWidth;
using shared::View;

View win32b::pictureView{0, 0, 0, 0, 0};
bool win32b::fitMode;

namespace {

// The display: what the DIB section holds (5-6-5), and the DIB section
// itself (32-bit, top-down) selected into a memory DC.
uint16_t shownFrame[kDisplayWidth * kDisplayHeight];
uint32_t pixelTable[65536];
HBITMAP dib;
HDC dibDc;
uint32_t *dibPixels;

// Fit mode: a second DIB section as large as the fitted picture, drawn from
// the frame with the shared sharp-bilinear taps.
shared::FitTaps fitTaps;
HBITMAP fitDib;
HDC fitDc;
uint32_t *fitPixels;
int fitW, fitH;

// Pacing: a high-resolution waitable timer where the system has one, else a
// plain one (timeBeginPeriod(1) makes it fine enough).
HANDLE frameTimer;
bool periodSet;
LARGE_INTEGER counterHz;

int64_t nowNs() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  if (counterHz.QuadPart == 0) QueryPerformanceFrequency(&counterHz);
  return static_cast<int64_t>(static_cast<double>(c.QuadPart) * 1e9 /
                              static_cast<double>(counterHz.QuadPart));
}

// Nanoseconds since the process was created, on the same clock as nowNs.
int64_t processAgeNs() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER a, b;
  a.LowPart = created.dwLowDateTime;
  a.HighPart = created.dwHighDateTime;
  b.LowPart = now.dwLowDateTime;
  b.HighPart = now.dwHighDateTime;
  return static_cast<int64_t>(b.QuadPart - a.QuadPart) * 100;
}

void sleepUntil(int64_t when) {
  int64_t left = when - nowNs();
  if (left <= 0) return;
  if (frameTimer != nullptr) {
    LARGE_INTEGER due;
    due.QuadPart = -(left / 100);  // relative, in 100 ns units
    if (SetWaitableTimer(frameTimer, &due, 0, nullptr, nullptr, FALSE)) {
      WaitForSingleObject(frameTimer, INFINITE);
      return;
    }
  }
  Sleep(static_cast<DWORD>(left / 1000000));
}

// Draws display rows first..last of the shown frame into the fit DIB
// section. Returns the window rows touched as [*top, *top + *rows).
void drawFitRows(int first, int last, int *top, int *rows) {
  const View at{0, 0, pictureView.w, pictureView.h,
                pictureView.scale};  // the DIB holds the picture alone
  shared::fitFrameRows(shownFrame, pixelTable, at, fitTaps, reinterpret_cast<uint8_t *>(fitPixels),
                       fitW * 4, first, last, top, rows);
  GdiFlush();
  *top += pictureView.y;
}

// A fit DIB section of the picture's size, drawn whole; false (and whole
// scales shown instead) when it cannot be made.
bool makeFitDib() {
  if (fitPixels != nullptr && fitW == pictureView.w && fitH == pictureView.h) {
    return shared::buildFitTaps(pictureView, &fitTaps);
  }
  dropFitPicture();
  if (!shared::buildFitTaps(pictureView, &fitTaps)) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pictureView.w;
  info.bmiHeader.biHeight = -pictureView.h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  fitDib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (fitDib == nullptr) return false;
  fitPixels = static_cast<uint32_t *>(bits);
  fitW = pictureView.w;
  fitH = pictureView.h;
  fitDc = CreateCompatibleDC(nullptr);
  SelectObject(fitDc, fitDib);
  return true;
}

void fillBars(HDC dc, const RECT &client) {
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT bars[] = {
      {0, 0, client.right, pictureView.y},
      {0, pictureView.y + pictureView.h, client.right, client.bottom},
      {0, pictureView.y, pictureView.x, pictureView.y + pictureView.h},
      {pictureView.x + pictureView.w, pictureView.y, client.right, pictureView.y + pictureView.h},
  };
  for (const RECT &r : bars)
    if (r.right > r.left && r.bottom > r.top) FillRect(dc, &r, black);
}

// Copies the rows that changed since the last frame into the DIB section
// and has Windows repaint only those rows, at once.
void showFrame() {
  if (gameWindow == nullptr || dibPixels == nullptr) return;
  int first, last;
  if (!shared::changedRows(shared::screenFrame, shownFrame, &first, &last)) return;
  for (int y = first; y <= last; ++y) {
    const uint16_t *src = shared::screenFrame + y * kDisplayWidth;
    uint32_t *dst = dibPixels + y * kDisplayWidth;
    for (int x = 0; x < kDisplayWidth; ++x) dst[x] = pixelTable[src[x]];
  }
  GdiFlush();
  std::memcpy(shownFrame + first * kDisplayWidth, shared::screenFrame + first * kDisplayWidth,
              static_cast<size_t>(last - first + 1) * kDisplayWidth * sizeof(uint16_t));
  RECT rows{pictureView.x, pictureView.y, pictureView.x + pictureView.w,
            pictureView.y + pictureView.h};
  if (fitMode && fitPixels != nullptr && fitW == pictureView.w && fitH == pictureView.h) {
    int top, count;
    drawFitRows(first, last, &top, &count);
    rows.top = top;
    rows.bottom = top + count;
  } else if (pictureView.scale >= 1) {
    rows.top = pictureView.y + first * pictureView.scale;
    rows.bottom = pictureView.y + (last + 1) * pictureView.scale;
  }
  InvalidateRect(gameWindow, &rows, FALSE);
  UpdateWindow(gameWindow);
}

}  // namespace

shared::FramePacer win32b::framePacer{{nowNs, sleepUntil, processAgeNs}};

void win32b::reportFrameStats() {
  if (!framePacer.statsOn) return;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  char more[64];
  std::snprintf(more, sizeof more, "; peak working set %.1f MiB",
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  shared::reportStats(framePacer, more);
}

void win32b::createPicture() {
  if (dib != nullptr) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kDisplayWidth;
  info.bmiHeader.biHeight = -kDisplayHeight;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return;
  dibPixels = static_cast<uint32_t *>(bits);
  dibDc = CreateCompatibleDC(nullptr);
  SelectObject(dibDc, dib);
  // Pixels as 0x00RRGGBB; the frame starts black.
  shared::build565Table(pixelTable, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0);
  std::memset(dibPixels, 0, sizeof(uint32_t) * kDisplayWidth * kDisplayHeight);
  std::memset(shownFrame, 0, sizeof shownFrame);
}

void win32b::dropFitPicture() {
  if (fitDc != nullptr) DeleteDC(fitDc);
  if (fitDib != nullptr) DeleteObject(fitDib);
  fitDc = nullptr;
  fitDib = nullptr;
  fitPixels = nullptr;
  fitW = fitH = 0;
}

void win32b::updateView(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  const int w = client.right - client.left, h = client.bottom - client.top;
  pictureView = fitMode ? shared::computeFitView(w, h) : shared::computeView(w, h);
  if (fitMode && !makeFitDib()) pictureView = shared::computeView(w, h);
  if (fitMode && fitPixels != nullptr && fitW == pictureView.w && fitH == pictureView.h) {
    int top, rows;
    drawFitRows(0, kDisplayHeight - 1, &top, &rows);
  }
}

// Paints the asked-for part of the window from the DIB section: black bars
// around the picture, and only the display rows that the update region
// touches.
void win32b::paintPicture(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(hwnd, &client);
  fillBars(dc, client);
  if (fitMode && fitDc != nullptr && fitW == pictureView.w && fitH == pictureView.h) {
    const RECT picture{pictureView.x, pictureView.y, pictureView.x + pictureView.w,
                       pictureView.y + pictureView.h};
    RECT r;
    if (IntersectRect(&r, &ps.rcPaint, &picture)) {
      BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, fitDc, r.left - pictureView.x,
             r.top - pictureView.y, SRCCOPY);
    }
  } else if (dibDc != nullptr && pictureView.w > 0 && pictureView.h > 0) {
    SetStretchBltMode(dc, COLORONCOLOR);
    if (pictureView.scale >= 1) {
      const int s = pictureView.scale;
      int first = (ps.rcPaint.top - pictureView.y) / s;
      int last = (ps.rcPaint.bottom - pictureView.y + s - 1) / s;  // one past
      if (first < 0) first = 0;
      if (last > kDisplayHeight) last = kDisplayHeight;
      if (last > first) {
        StretchBlt(dc, pictureView.x, pictureView.y + first * s, pictureView.w, (last - first) * s,
                   dibDc, 0, first, kDisplayWidth, last - first, SRCCOPY);
      }
    } else {
      StretchBlt(dc, pictureView.x, pictureView.y, pictureView.w, pictureView.h, dibDc, 0, 0,
                 kDisplayWidth, kDisplayHeight, SRCCOPY);
    }
  }
  EndPaint(hwnd, &ps);
}

int GXOpenDisplay(HWND hwnd, DWORD) {
  if (shared::openScreen(hwnd != nullptr && hwnd == gameWindow && dibPixels != nullptr) == 0)
    return 0;
  if (!periodSet) periodSet = timeBeginPeriod(1) == TIMERR_NOERROR;
  if (frameTimer == nullptr) {
    frameTimer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS);
    if (frameTimer == nullptr) frameTimer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  }
  framePacer.deadline = 0;
  return 1;
}

int GXCloseDisplay() {
  shared::closeScreen();
  if (frameTimer != nullptr) CloseHandle(frameTimer);
  frameTimer = nullptr;
  if (periodSet) timeEndPeriod(1);
  periodSet = false;
  return 1;
}

// A pass with nothing to draw into still takes its time.
void *GXBeginDraw() {
  uint16_t *frame = shared::beginScreenPass(true);
  if (frame == nullptr) {
    shared::skipInterval(framePacer);  // the statistics skip the gap
    endKeyPass();
    shared::pace(framePacer);
    padsPoll(gameWindow, active);
  }
  return frame;
}

int GXEndDraw() {
  if (!shared::endScreenPass(true)) return 0;
  showFrame();
  shared::recordShown(framePacer);
  endKeyPass();
  applyHostVolume();
  shared::pace(framePacer);
  // Read after the wait, as close as can be to the pass that takes them.
  padsPoll(gameWindow, active);
  return 1;
}
