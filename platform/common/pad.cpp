// Gamepads as the game's buttons: one table from a pad's controls to the
// game's buttons, the stick's dead zone, what the pads hold, and pads read
// whole once a pass.
#include "platform/common/pad.h"

namespace shared {

namespace {

// The one table every backend's pads go through.
constexpr int kButtonForControl[kControlCount] = {
    kPadUp,     // the direction pad
    kPadDown,   //
    kPadLeft,   //
    kPadRight,  //
    kPadA,      // south
    kPadB,      // east
    kPadC,      // west
    kPadC,      // north
    kPadStart,  //
    -1,         // Back: not the game's
};

// XInput's button bits, by control.
constexpr uint16_t kXInputBit[kControlCount] = {
    0x0001,  // XINPUT_GAMEPAD_DPAD_UP
    0x0002,  // XINPUT_GAMEPAD_DPAD_DOWN
    0x0004,  // XINPUT_GAMEPAD_DPAD_LEFT
    0x0008,  // XINPUT_GAMEPAD_DPAD_RIGHT
    0x1000,  // XINPUT_GAMEPAD_A
    0x2000,  // XINPUT_GAMEPAD_B
    0x4000,  // XINPUT_GAMEPAD_X
    0x8000,  // XINPUT_GAMEPAD_Y
    0x0010,  // XINPUT_GAMEPAD_START
    0x0020,  // XINPUT_GAMEPAD_BACK
};

}  // namespace

int padButtonForControl(int control) {
  return control >= 0 && control < kControlCount ? kButtonForControl[control] : -1;
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

PadReading padReadingFromXInput(bool connected, uint16_t buttons, int16_t thumbLX,
                                int16_t thumbLY) {
  PadReading r{connected, 0, 0, 0};
  if (!connected) return r;
  for (int c = 0; c < kControlCount; ++c) {
    if ((buttons & kXInputBit[c]) != 0) r.controls |= 1u << c;
  }
  r.stickX = thumbLX;
  r.stickY = -static_cast<int>(thumbLY);  // XInput's y grows upwards
  return r;
}

void PolledPads::newPass() {
  for (bool &p : pressedThisPass) p = false;
  pass = pass + 1 >= kPadScanPasses ? 0 : pass + 1;
}

bool PolledPads::shouldRead(int slot) const {
  if (slot < 0 || slot >= kMaxPads) return false;
  return last[slot].connected || pass == 0;
}

int PolledPads::apply(int slot, const PadReading &now, int *presses, int maxPresses) {
  if (slot < 0 || slot >= kMaxPads) return 0;
  if (!now.connected) {
    // Unplugged: it holds nothing, and a pad plugged in later starts afresh.
    state.clear(slot);
    last[slot] = PadReading{false, 0, 0, 0};
    stickX[slot] = stickY[slot] = 0;
    ignored[slot] = 0;
    ignoreStickX[slot] = ignoreStickY[slot] = resync[slot] = false;
    return 0;
  }
  if (resync[slot]) {
    resync[slot] = false;
    ignored[slot] = now.controls;
    stickX[slot] = stickDirection(0, now.stickX);
    stickY[slot] = stickDirection(0, now.stickY);
    ignoreStickX[slot] = stickX[slot] != 0;
    ignoreStickY[slot] = stickY[slot] != 0;
    last[slot] = now;
    return 0;
  }
  int count = 0;
  auto change = [&](int button, uint32_t source, bool down) {
    if (!state.set(slot, button, source, down)) return;
    pressedThisPass[button] = true;
    if (count < maxPresses) presses[count++] = button;
  };
  ignored[slot] &= now.controls;  // a control let go counts again
  for (int c = 0; c < kControlCount; ++c) {
    const int button = padButtonForControl(c);
    const uint32_t bit = 1u << c;
    if (button >= 0) change(button, bit, (now.controls & bit & ~ignored[slot]) != 0);
  }
  struct Axis {
    int value;
    int *direction;
    bool *ignore;
    int negative, positive;
  };
  const Axis axes[] = {
      {now.stickX, &stickX[slot], &ignoreStickX[slot], kPadLeft, kPadRight},
      {now.stickY, &stickY[slot], &ignoreStickY[slot], kPadUp, kPadDown},
  };
  for (const Axis &a : axes) {
    const int direction = stickDirection(*a.direction, a.value);
    if (direction == *a.direction) continue;
    if (*a.direction != 0 && !*a.ignore) {
      change(*a.direction < 0 ? a.negative : a.positive, kStickSource, false);
    }
    *a.direction = direction;
    *a.ignore = false;
    if (direction != 0) change(direction < 0 ? a.negative : a.positive, kStickSource, true);
  }
  last[slot] = now;
  return count;
}

void PolledPads::forget() {
  for (int slot = 0; slot < kMaxPads; ++slot) {
    state.clear(slot);
    if (last[slot].connected) resync[slot] = true;
  }
  for (bool &p : pressedThisPass) p = false;
}

bool PolledPads::down(int button) const {
  return state.held(button) || (button >= 0 && button < kPadButtonCount && pressedThisPass[button]);
}

}  // namespace shared
