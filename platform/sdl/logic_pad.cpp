// SDL's game controller buttons as the pad controls the shared table maps
// to the game's buttons.
#include <SDL_gamecontroller.h>

#include "platform/sdl/logic.h"

namespace sdlb {

namespace {

int controlFor(int b) {
  switch (b) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return shared::kControlDpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return shared::kControlDpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return shared::kControlDpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return shared::kControlDpadRight;
    case SDL_CONTROLLER_BUTTON_A:  // SDL names the face buttons by place too
      return shared::kControlSouth;
    case SDL_CONTROLLER_BUTTON_B:
      return shared::kControlEast;
    case SDL_CONTROLLER_BUTTON_X:
      return shared::kControlWest;
    case SDL_CONTROLLER_BUTTON_Y:
      return shared::kControlNorth;
    case SDL_CONTROLLER_BUTTON_START:
      return shared::kControlStart;
    case SDL_CONTROLLER_BUTTON_BACK:
      return shared::kControlBack;
    default:
      return -1;
  }
}

}  // namespace

int padButtonFor(int sdlControllerButton) {
  return shared::padButtonForControl(controlFor(sdlControllerButton));
}

}  // namespace sdlb
