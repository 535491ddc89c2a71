// What the parts of the native Windows build's display stand-in share: the
// gamepads (pads.cpp) and the remembered window's file (window_file.cpp),
// used by the window (window.cpp). Included after platform/winapi.h.
#pragma once

#include "platform/common/window_state.h"

// Marks a pad button's press, posted as WM_KEYDOWN with the code bound to
// its button (in order with the keyboard's keys, and seen by the host like
// them), in a bit of lParam that key messages leave unused: the window hands
// it on without holding the key, which the pad's state does.
constexpr LPARAM kPadKeyMark = 1 << 25;

// Reads the pads once a pass while `window` is the active window: presses
// are posted to it as WM_KEYDOWN with kPadKeyMark, and Back as the host's
// menu button.
void padsPoll(HWND window, bool active);
// Whether a pad holds the button bound to vKey (or pressed it this pass).
bool padsDown(int vKey);
// Lets go of everything the pads hold (the focus lost); buttons still down
// count again only once released.
void padsForget();

// The window's size, place and mode in %APPDATA%\Tobelyn\window. Reading
// is false when there is no whole file; writing replaces it through a
// temporary file, and a failure only means the next start is a first one.
bool readWindowFile(shared::WindowState *out);
void writeWindowFile(const shared::WindowState &state);
