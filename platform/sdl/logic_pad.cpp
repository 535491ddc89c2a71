// Gamepads as the game's buttons: which pad button is which, the stick's
// dead zone and hysteresis, and what the pads hold.
#include <SDL_gamecontroller.h>

#include "platform/sdl/logic.h"

namespace sdlb {

int padButtonFor(int b) {
  switch (b) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return kPadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return kPadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return kPadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return kPadRight;
    case SDL_CONTROLLER_BUTTON_A:  // south, whatever the label says
      return kPadA;
    case SDL_CONTROLLER_BUTTON_B:  // east
      return kPadB;
    case SDL_CONTROLLER_BUTTON_X:  // west
    case SDL_CONTROLLER_BUTTON_Y:  // north
      return kPadC;
    case SDL_CONTROLLER_BUTTON_START:
      return kPadStart;
    default:
      return -1;
  }
}

int stickDirection(int previous, int value) {
  if (value >= kStickPress) return 1;
  if (value <= -kStickPress) return -1;
  // Between the two thresholds the stick stays where it was; a reversal
  // past the centre without reaching the far threshold releases it.
  if (previous > 0 && value > kStickRelease) return 1;
  if (previous < 0 && value < -kStickRelease) return -1;
  return 0;
}

bool PadState::set(int pad, int button, uint32_t source, bool down) {
  if (pad < 0 || pad >= kMaxPads || button < 0 || button >= kPadButtonCount) return false;
  const bool before = held(button);
  if (down) {
    sources[pad][button] |= source;
  } else {
    sources[pad][button] &= ~source;
  }
  return !before && held(button);
}

void PadState::clear(int pad) {
  if (pad < 0 || pad >= kMaxPads) return;
  for (uint32_t &s : sources[pad]) s = 0;
}

bool PadState::held(int button) const {
  if (button < 0 || button >= kPadButtonCount) return false;
  for (const auto &pad : sources) {
    if (pad[button] != 0) return true;
  }
  return false;
}

}  // namespace sdlb
