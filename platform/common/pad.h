// Gamepads as the game's buttons, the same on every backend that has pads:
// which control is which button, the stick's dead zone and hysteresis, what
// the pads hold, and - for pads that are read whole once a pass rather than
// reporting changes (XInput) - how a reading turns into presses, plugging
// and unplugging included.
#pragma once

#include <cstdint>

namespace shared {

// The game's eight buttons, in the order of the button codes table.
enum PadButton : int {
  kPadUp,
  kPadDown,
  kPadLeft,
  kPadRight,
  kPadA,
  kPadB,
  kPadC,
  kPadStart,
  kPadButtonCount
};
constexpr int kMaxPads = 4;

// A pad's controls by place, whatever their labels say: the face buttons by
// compass point (south is A on most pads).
enum PadControl : int {
  kControlDpadUp,
  kControlDpadDown,
  kControlDpadLeft,
  kControlDpadRight,
  kControlSouth,
  kControlEast,
  kControlWest,
  kControlNorth,
  kControlStart,
  kControlBack,  // kept free for the menu around the game
  kControlCount
};

// The game's button for a control: the direction pad as Up, Down, Left and
// Right, south as A, east as B, west and north as C, Start as Start; -1
// for the others.
int padButtonForControl(int control);

// One axis of the left stick as a direction (-1, 0 or +1) with a dead zone
// and hysteresis: it becomes pushed beyond kStickPress and comes back to 0
// only inside kStickRelease, so a stick resting near the threshold does not
// chatter out a stream of presses. Positive is right and down.
constexpr int kStickPress = 16384;   // half way
constexpr int kStickRelease = 9830;  // 30%
int stickDirection(int previous, int value);

// What the pads hold. Each button of each pad slot has a set of sources (one
// bit per control or stick behind it), so the direction pad and the stick,
// or west and north, can hold the same button without one release
// cancelling the other.
struct PadState {
  uint32_t sources[kMaxPads][kPadButtonCount] = {};

  // Sets or clears one source. True when this turns the button, over all
  // pads, from released to held: a press.
  bool set(int pad, int button, uint32_t source, bool down);
  // Releases everything one pad holds (unplugged, or the focus lost).
  void clear(int pad);
  bool held(int button) const;
};
constexpr uint32_t kStickSource = 1u << 31;

// --- Pads read whole once a pass.

// One pad's state at one moment: plugged in or not, the controls held (one
// bit per PadControl) and the left stick, positive right and down.
struct PadReading {
  bool connected;
  uint32_t controls;
  int stickX, stickY;
};

// An XInput state (wButtons and the left thumb, whose y grows upwards) as a
// reading; Back is kept, the triggers, shoulders and thumb clicks are not.
PadReading padReadingFromXInput(bool connected, uint16_t buttons, int16_t thumbLX, int16_t thumbLY);

// Reading a slot with nothing plugged in can take a long time on some
// systems: empty slots are looked at only once every kPadScanPasses passes.
constexpr int kPadScanPasses = 120;

struct PolledPads {
  PadState state;
  PadReading last[kMaxPads] = {};
  int stickX[kMaxPads] = {}, stickY[kMaxPads] = {};
  // Controls and stick directions held through a focus loss: they count
  // again only once let go, so a button still down on coming back is no
  // press.
  uint32_t ignored[kMaxPads] = {};
  bool ignoreStickX[kMaxPads] = {}, ignoreStickY[kMaxPads] = {};
  bool resync[kMaxPads] = {};
  bool pressedThisPass[kPadButtonCount] = {};
  int pass = -1;  // the first pass looks at every slot

  // Starts a pass: forgets the last pass's presses.
  void newPass();
  // Whether to read `slot` this pass.
  bool shouldRead(int slot) const;
  // Takes a slot's reading. The game buttons it newly presses, over all
  // pads, go to presses[] in control order; returns how many.
  int apply(int slot, const PadReading &now, int *presses, int maxPresses);
  // Lets go of everything (the focus lost); what is still held at the next
  // reading stays ignored until released.
  void forget();
  // Held now, or pressed at any time since the pass began.
  bool down(int button) const;
};

}  // namespace shared
