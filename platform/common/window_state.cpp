// The window's keys, and its remembered size, place and mode: a small text
// file beside the settings, apart from them (the settings keep their nine
// values).
//
//   tobelyn-window 1
//   place X Y
//   size W H
//   fullscreen 0|1
//   fit 0|1
//
// Anything else - another first line, a missing, repeated or unknown line,
// a number out of range, more than kWindowStateMax bytes - reads as no
// remembered state, and the window opens as on a first run.
#include "platform/common/window_state.h"

#include <cstdio>
#include <cstring>

namespace shared {

namespace {

// The virtual-key codes of the window keys.
constexpr int kVkReturn = 0x0D;
constexpr int kVkMenu = 0x12;  // Alt, either side
constexpr int kVkF10 = 0x79;
constexpr int kVkF11 = 0x7A;
constexpr int kVkLeftMenu = 0xA4;
constexpr int kVkRightMenu = 0xA5;

// Reads a whole line "<word> <numbers...>" at *at; false on any fault.
bool readLine(const char *text, size_t n, size_t *at, const char *word, int count, long *values,
              long lo, long hi) {
  const size_t wl = std::strlen(word);
  if (n - *at < wl + 1 || std::memcmp(text + *at, word, wl) != 0) return false;
  size_t i = *at + wl;
  for (int k = 0; k < count; ++k) {
    if (i >= n || text[i] != ' ') return false;
    ++i;
    bool negative = i < n && text[i] == '-';
    if (negative) ++i;
    size_t digits = 0;
    long v = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9' && digits < 6) {
      v = v * 10 + (text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || (i < n && text[i] >= '0' && text[i] <= '9')) return false;
    v = negative ? -v : v;
    if (v < lo || v > hi) return false;
    values[k] = v;
  }
  if (i >= n || text[i] != '\n') return false;
  *at = i + 1;
  return true;
}

}  // namespace

bool parseWindowState(const char *text, size_t n, WindowState *out) {
  if (text == nullptr || n > kWindowStateMax) return false;
  static const char kHead[] = "tobelyn-window 1\n";
  const size_t hl = sizeof kHead - 1;
  if (n < hl || std::memcmp(text, kHead, hl) != 0) return false;
  size_t at = hl;
  long place[2], size[2], full, fit;
  if (!readLine(text, n, &at, "place", 2, place, -kWindowCoordMax, kWindowCoordMax) ||
      !readLine(text, n, &at, "size", 2, size, 1, kWindowCoordMax) ||
      !readLine(text, n, &at, "fullscreen", 1, &full, 0, 1) ||
      !readLine(text, n, &at, "fit", 1, &fit, 0, 1) || at != n) {
    return false;
  }
  out->x = static_cast<int>(place[0]);
  out->y = static_cast<int>(place[1]);
  out->w = static_cast<int>(size[0]);
  out->h = static_cast<int>(size[1]);
  out->fullScreen = full != 0;
  out->fit = fit != 0;
  return true;
}

size_t formatWindowState(const WindowState &s, char *buffer, size_t size) {
  int n = std::snprintf(buffer, size,
                        "tobelyn-window 1\nplace %d %d\nsize %d %d\nfullscreen %d\nfit %d\n", s.x,
                        s.y, s.w, s.h, s.fullScreen ? 1 : 0, s.fit ? 1 : 0);
  return n > 0 && static_cast<size_t>(n) < size ? static_cast<size_t>(n) : 0;
}

WindowKey windowKeyFor(int vk, bool alt, bool ctrlOrLogo) {
  if (vk == kVkF11) return WindowKey::kFullScreen;
  if (vk == kVkF10) return WindowKey::kFit;
  if (vk == kVkReturn && alt && !ctrlOrLogo) return WindowKey::kFullScreen;
  return WindowKey::kNone;
}

bool isSystemKey(int vk, bool alt) {
  return alt || vk == kVkMenu || vk == kVkLeftMenu || vk == kVkRightMenu;
}

Rect keepWithinArea(Rect r, Rect area) {
  if (r.w > area.w) r.w = area.w;
  if (r.h > area.h) r.h = area.h;
  if (r.x + r.w > area.x + area.w) r.x = area.x + area.w - r.w;
  if (r.y + r.h > area.y + area.h) r.y = area.y + area.h - r.h;
  if (r.x < area.x) r.x = area.x;
  if (r.y < area.y) r.y = area.y;
  return r;
}

}  // namespace shared
