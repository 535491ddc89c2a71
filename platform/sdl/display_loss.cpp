// The desktop backend's guard against a display connection that goes away
// under it: the X calls are left through a jump instead of ending the
// process (see withDisplay).
#include <dlfcn.h>
#include <unistd.h>

#include "platform/sdl/backend_state.h"

namespace sdlb {

volatile sig_atomic_t displayLost = 0;
sigjmp_buf displayLostJump;
bool insideDisplayCall = false;

namespace {

extern "C" int onDisplayLost(void *) {
  displayLost = 1;
  if (insideDisplayCall) siglongjmp(displayLostJump, 1);
  // Lost outside the game's own calls, as the program ends: the settings
  // are saved by then, and nothing may touch the connection again.
  _exit(0);
}

}  // namespace

// SDL loads Xlib itself; the game does not link it.
void catchDisplayLoss() {
  void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  if (x11 == nullptr) return;
  using Handler = int (*)(void *);
  using SetHandler = Handler (*)(Handler);
  auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetIOErrorHandler"));
  if (set != nullptr) set(onDisplayLost);
  // Kept loaded for the life of the program, as SDL keeps it.
}

}  // namespace sdlb
