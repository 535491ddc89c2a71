// What the desktop backend's files share: the window, the frame, held keys,
// the display-loss guard and the small helpers each service calls on the
// others. Only the files of platform/sdl include this.
#pragma once

#include <SDL.h>
#include <setjmp.h>
#include <signal.h>

#include <cstdint>

#include "platform/common/key_latch.h"
#include "platform/sdl/logic.h"
#include "platform/winapi.h"

namespace sdlb {

// --- Clock (monotonic nanoseconds).

int64_t monoNs();
void sleepUntil(int64_t ns);

// --- The window (window.cpp).

extern SDL_Window *window;
extern bool sdlUp;      // SDL's video is started
extern bool needClear;  // the letterbox bars must be painted again
extern bool fitMode;    // the picture as large as the window allows
extern SDL_Surface *lastSurface;

// Starts SDL's video on a display someone can see; false when there is none.
bool startVideo();
void toggleFullScreen();
void toggleFit();
// Keeps the window's size and place up to date from its events.
void noteWindowPlace();
// Brings a window resized past its display back within it.
void keepWithinDisplay();
// Writes the window's last state, taken as it went, beside the settings.
void writeWindowState();

// --- The picture (present.cpp).

extern View view;
extern bool anyFrameShown;
// Frames at 60 a second, with statistics on stderr on request.
extern shared::FramePacer pacer;

// Draws the frame buffer into the window and shows the rows that changed.
void showFrame();
void reportStats();

// --- Input (input.cpp).

// Held keys, with a press and release shorter than one frame still read as
// held for that frame.
extern shared::KeyLatch keys;
// Every message the backend posts is printed too (TOBELYN_TRACE).
extern bool traceOn;
extern bool closePosted;
extern volatile sig_atomic_t closeSignal;

// Posts a message to the game window: input (keys, taps) may be dropped in
// a storm of it, a control message (close, minimise, activation) never.
bool post(UINT msg, WPARAM wParam, LPARAM lParam);
// One close request is enough; it counts as made only once it is posted.
void postClose();
// Lets go of every key and pad button (the focus went, the window closed).
void clearHeld();
// SIGINT and SIGTERM become a close request in the event pump.
void catchCloseSignals();
void pumpEvents();

// --- Pads (pads.cpp).

extern bool padsUp;
void openPads();
void padAdded(int deviceIndex);
void padRemoved(SDL_JoystickID id);
void padButtonEvent(const SDL_ControllerButtonEvent &b);
void padAxisEvent(const SDL_ControllerAxisEvent &a);
bool padHolds(int vKey);
void clearPads();

// --- Sound (sound.cpp).

// Opens the sound device on a thread of its own.
void startAudio();
// False when the opening is still under way after a short wait.
bool stopAudio();

// --- Single instance (instance.cpp).

// At exit: the window's state, the instance lock, the sound and SDL.
void atExit();

// --- The display connection (display_loss.cpp).
//
// When the X server goes away (the session ends, a remote display drops)
// Xlib calls its fatal error handler and then exits the process, and any
// later X call on the dead connection can wait for ever. The game's own
// handler instead leaves the X call for the backend call that made it
// (every backend call that may reach the display runs under withDisplay),
// and from then on the backend makes no SDL video or X call at all: the
// game gets a close request and ends as usual, its settings saved.

extern volatile sig_atomic_t displayLost;
extern sigjmp_buf displayLostJump;
extern bool insideDisplayCall;

// Replaces Xlib's fatal error handler, when SDL runs on X11.
void catchDisplayLoss();

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

}  // namespace sdlb

// speech.cpp: the host's announcements spoken where speech-dispatcher is
// installed (found at run time; nothing happens without it).
void installSpeech();
// clipboard.cpp: match codes copied and pasted through the clipboard.
void installClipboard();
