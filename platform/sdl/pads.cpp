// The desktop backend's gamepads, through SDL's game controller interface
// (its mapping database names the buttons alike on every make of pad).
#include "platform/buttons.h"
#include "platform/common/host_link.h"
#include "platform/sdl/backend_state.h"

namespace sdlb {

bool padsUp = false;

namespace {

struct Pad {
  SDL_GameController *controller;
  SDL_JoystickID id;
  int stickX, stickY;  // -1, 0 or +1 after the dead zone
};
Pad pads[kMaxPads];
PadState padState;

// A pad button acts as the key bound to its button at this moment: a
// press posts that code and is latched for the pass like a quick key tap;
// the held state is asked for in GetAsyncKeyState.
void padChange(int pad, int button, uint32_t source, bool down) {
  if (!padState.set(pad, button, source, down)) return;
  const int16_t *codes = platformButtonCodes();
  if (codes == nullptr) return;
  const int code = static_cast<uint16_t>(codes[button]);
  if (code > 0 && code <= 255) keys.pressedThisPass[code] = true;
  post(WM_KEYDOWN, static_cast<WPARAM>(code), 1);
}

int padSlot(SDL_JoystickID id) {
  for (int i = 0; i < kMaxPads; ++i) {
    if (pads[i].controller != nullptr && pads[i].id == id) return i;
  }
  return -1;
}

void padStick(int slot, int axis, int value) {
  Pad &p = pads[slot];
  int &dir = axis == SDL_CONTROLLER_AXIS_LEFTX ? p.stickX : p.stickY;
  const int now = stickDirection(dir, value);
  if (now == dir) return;
  const int negative = axis == SDL_CONTROLLER_AXIS_LEFTX ? kPadLeft : kPadUp;
  const int positive = axis == SDL_CONTROLLER_AXIS_LEFTX ? kPadRight : kPadDown;
  if (dir != 0) padChange(slot, dir < 0 ? negative : positive, kStickSource, false);
  dir = now;
  if (dir != 0) padChange(slot, dir < 0 ? negative : positive, kStickSource, true);
}

// The pad's Back (Select) calls up the host's menu; every other button is
// the game's. A pad button also makes the pad the device the help names.
bool hostPadEvent(const SDL_ControllerButtonEvent &b) {
  platformDeviceUsed(InputDevice::kPad);
  if (b.button != SDL_CONTROLLER_BUTTON_BACK) return false;
  if (b.type == SDL_CONTROLLERBUTTONDOWN) post(WM_TOBELYN_MENU, 0, 0);
  return true;
}

}  // namespace

bool padHolds(int vKey) {
  const int16_t *codes = platformButtonCodes();
  if (codes == nullptr) return false;
  for (int b = 0; b < kPadButtonCount; ++b) {
    if (static_cast<uint16_t>(codes[b]) == vKey && padState.held(b)) return true;
  }
  return false;
}

void clearPads() {
  for (int i = 0; i < kMaxPads; ++i) padState.clear(i);
}

void padAdded(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (padSlot(id) >= 0) return;  // already open (it is announced once more at start)
  for (Pad &p : pads) {
    if (p.controller != nullptr) continue;
    p.controller = SDL_GameControllerOpen(deviceIndex);
    if (p.controller == nullptr) return;
    p.id = id;
    p.stickX = p.stickY = 0;
    return;
  }
}

void padRemoved(SDL_JoystickID id) {
  int slot = padSlot(id);
  if (slot < 0) return;
  padState.clear(slot);  // an unplugged pad holds nothing
  SDL_GameControllerClose(pads[slot].controller);
  pads[slot] = Pad{};
}

void padButtonEvent(const SDL_ControllerButtonEvent &b) {
  if (hostPadEvent(b)) return;
  const int slot = padSlot(b.which);
  const int button = padButtonFor(b.button);
  if (slot >= 0 && button >= 0) {
    padChange(slot, button, 1u << b.button, b.type == SDL_CONTROLLERBUTTONDOWN);
  }
}

void padAxisEvent(const SDL_ControllerAxisEvent &a) {
  const int slot = padSlot(a.which);
  if (slot >= 0 && (a.axis == SDL_CONTROLLER_AXIS_LEFTX || a.axis == SDL_CONTROLLER_AXIS_LEFTY)) {
    padStick(slot, a.axis, a.value);
  }
}

// Opened after the first frame is shown: scanning the input devices must not
// delay the start. Pads already plugged in are announced as added.
void openPads() {
  padsUp = true;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  SDL_GameControllerEventState(SDL_ENABLE);
}

}  // namespace sdlb
