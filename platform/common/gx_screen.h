// The GX calls that every backend with a real screen of the game's own size
// answers alike: the display's properties, suspend and resume, the input
// calls and the default keys, and the frame the game draws into. A backend
// that links gx_screen.cpp defines only GXOpenDisplay, GXCloseDisplay,
// GXBeginDraw and GXEndDraw itself, on openScreen and closeScreen; the
// headless backend, whose reported display can be changed by tests, keeps
// its own.
#pragma once

#include <cstdint>

#include "platform/common/view.h"

namespace shared {

// The game's frame, 240x320 pixels of 5-6-5.
extern uint16_t screenFrame[kDisplayWidth * kDisplayHeight];

// Opens the display on a black frame when the backend's window is there to
// show it: GXOpenDisplay's result, 1 or 0.
int openScreen(bool windowReady);
// GXCloseDisplay's part: the game draws no more.
int closeScreen();
// True between a successful openScreen and closeScreen.
bool screenOpen();

// GXBeginDraw's part: the frame to draw into, or null when there is none
// (the display shut or suspended, or `ready` false). A pass with no frame
// still takes its time: the backend then paces it at once, so that an
// inactive game does not spin.
uint16_t *beginScreenPass(bool ready);
// GXEndDraw's part: true when the pass drew a frame to show and pace; false
// when its beginScreenPass handed out none (that pass is paced already) or
// the display has shut since.
bool endScreenPass(bool ready);

// True between GXSuspend and GXResume: the backend then hands out no frame.
bool displaySuspended();

}  // namespace shared
