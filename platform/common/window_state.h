// The desktop window's modes, the same on every desktop backend: the keys
// that switch them and the small file that remembers the window's size,
// place and mode from one run to the next.
#pragma once

#include <cstddef>

namespace shared {

// --- Keys that change the window rather than play the game.

// F11 and Alt+Enter switch full screen, F10 switches fit mode; they never
// reach the game. `vk` is a Windows virtual-key code; Alt+Enter with Ctrl
// or the logo key as well is some other shortcut.
enum class WindowKey { kNone, kFullScreen, kFit };
WindowKey windowKeyFor(int vk, bool alt, bool ctrlOrLogo);
// Alt, and any key pressed while Alt is held, is a system key (Alt+Enter,
// Alt+Tab, menu shortcuts): held, but never a key press of the game.
bool isSystemKey(int vk, bool alt);

// --- The remembered window.

// The window's size, place and mode, kept in a second small file beside the
// settings (which keep exactly their own values).
struct WindowState {
  int x, y;  // the frame's top-left corner when not full screen
  int w, h;  // the inside's size when not full screen
  bool fullScreen, fit;
};
constexpr size_t kWindowStateMax = 256;
constexpr long kWindowCoordMax = 32767;
// Reads the file's text; false for anything but the exact layout (then
// nothing is remembered and the window opens as on a first run).
bool parseWindowState(const char *text, size_t size, WindowState *out);
// Writes the layout; the byte count, or 0 when it does not fit.
size_t formatWindowState(const WindowState &state, char *buffer, size_t size);

// Moves a window's outer rectangle (x, y, w, h) wholly inside an area (a
// monitor's work area), shrinking it first when it is larger: a window
// remembered on a monitor that has gone or changed is brought back.
struct Rect {
  int x, y, w, h;
};
Rect keepWithinArea(Rect window, Rect area);

}  // namespace shared
