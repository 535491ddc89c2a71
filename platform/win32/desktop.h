// What the parts of the native Windows build's display stand-in share: the
// picture and the frames' pace (picture.cpp), the gamepads (pads.cpp) and
// the remembered window's file (window_file.cpp), used by the window
// (window.cpp). Included after platform/winapi.h.
#pragma once

#include "platform/common/frame_pacer.h"
#include "platform/common/view.h"
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

namespace win32b {

// --- The window (window.cpp).

extern HWND gameWindow;
// Whether the game's window is the active one, as WM_ACTIVATE last said:
// pads count only then (asking the system each pass would cost a round
// trip to it on the way to every frame).
extern bool active;
// Ends the keys' pass: a press and release between two frames has been
// seen by the frame's poll.
void endKeyPass();
// The host's volume (0 to 10) becomes the program's wave volume whenever it
// changes: the system plays the game's sounds.
void applyHostVolume();

// --- The picture (picture.cpp).

// Where the picture lies in the window's client area.
extern shared::View pictureView;
// The picture as large as the window allows, instead of a whole scale.
extern bool fitMode;
// Frames at 60 a second; statistics on stderr when TOBELYN_FRAME_STATS is set.
extern shared::FramePacer framePacer;

// The DIB section the frame is kept in, made before the window.
void createPicture();
// Lets the fit mode's DIB section go.
void dropFitPicture();
// Places the picture in the window's client area (after a size or mode change).
void updateView(HWND hwnd);
// Paints the asked-for part of the window: bars and the picture's rows.
void paintPicture(HWND hwnd);
void reportFrameStats();

}  // namespace win32b

// speech.cpp: the host's announcements spoken by the system's voice (SAPI),
// made at the first one; nothing happens where there is none.
void installSpeech();
// voice.cpp: the host's voice on a stereo stream of its own, opened with the
// window; silent where no sound device opens.
void startVoice();
// clipboard.cpp: match codes copied and pasted through the clipboard.
void installClipboard();
