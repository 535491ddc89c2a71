// The GX calls that every backend with a real screen of the game's own size
// answers alike: the display's properties, suspend and resume, the input
// calls and the default keys. A backend that links gx_screen.cpp defines
// only GXOpenDisplay, GXCloseDisplay, GXBeginDraw and GXEndDraw itself; the
// headless backend, whose reported display can be changed by tests, keeps
// its own.
#pragma once

namespace shared {

// True between GXSuspend and GXResume: the backend then hands out no frame.
bool displaySuspended();

}  // namespace shared
