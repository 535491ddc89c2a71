// Gamepads, shared by the desktop and Windows: the control table, the
// stick's dead zone, sources holding one button, and XInput readings taken
// once a pass as recorded sequences (presses, focus loss, unplugging).
#include <gtest/gtest.h>

#include <string>

#include "platform/common/pad.h"

using namespace shared;

TEST(Pad, ControlsAsTheGamesButtons) {
  struct Case {
    const char *name;
    int control;
    int button;
  };
  const Case cases[] = {
      {.name = "pad up", .control = kControlDpadUp, .button = kPadUp},
      {.name = "pad right", .control = kControlDpadRight, .button = kPadRight},
      {.name = "south is A", .control = kControlSouth, .button = kPadA},
      {.name = "east is B", .control = kControlEast, .button = kPadB},
      {.name = "west is C", .control = kControlWest, .button = kPadC},
      {.name = "north is C", .control = kControlNorth, .button = kPadC},
      {.name = "Start", .control = kControlStart, .button = kPadStart},
      {.name = "Back is left to the menu around the game", .control = kControlBack, .button = -1},
      {.name = "no such control", .control = kControlCount, .button = -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(padButtonForControl(c.control), c.button);
  }
}

TEST(Pad, StickHasADeadZoneAndHysteresis) {
  struct Case {
    const char *name;
    int previous, value, direction;
  };
  const Case cases[] = {
      {.name = "resting in the dead zone", .previous = 0, .value = 3000, .direction = 0},
      {.name = "just short of the press threshold",
       .previous = 0,
       .value = kStickPress - 1,
       .direction = 0},
      {.name = "at the press threshold", .previous = 0, .value = kStickPress, .direction = 1},
      {.name = "full left", .previous = 0, .value = -32768, .direction = -1},
      {.name = "pushed, eased back between the thresholds",
       .previous = 1,
       .value = 12000,
       .direction = 1},
      {.name = "pushed, back inside the release threshold",
       .previous = 1,
       .value = kStickRelease,
       .direction = 0},
      {.name = "pushed left, eased back", .previous = -1, .value = -12000, .direction = -1},
      {.name = "flicked from right to far left", .previous = 1, .value = -20000, .direction = -1},
      {.name = "from right to a little left", .previous = 1, .value = -12000, .direction = 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(stickDirection(c.previous, c.value), c.direction);
  }
}

TEST(Pad, TwoSourcesHoldOneButtonUntilBothLetGo) {
  PadState pads;
  EXPECT_TRUE(pads.set(0, kPadC, 1u << kControlWest, true)) << "west presses C";
  EXPECT_FALSE(pads.set(0, kPadC, 1u << kControlNorth, true)) << "north too: no new press";
  EXPECT_FALSE(pads.set(1, kPadC, 1u << kControlWest, true)) << "a second pad: no new press";
  pads.set(0, kPadC, 1u << kControlWest, false);
  pads.set(0, kPadC, 1u << kControlNorth, false);
  EXPECT_TRUE(pads.held(kPadC)) << "still held by the second pad";
  pads.clear(1);
  EXPECT_FALSE(pads.held(kPadC)) << "the second pad unplugged: released";
  EXPECT_TRUE(pads.set(0, kPadUp, kStickSource, true)) << "the stick presses Up";
  EXPECT_FALSE(pads.set(0, kPadUp, 1u << kControlDpadUp, true));
  pads.set(0, kPadUp, kStickSource, false);
  EXPECT_TRUE(pads.held(kPadUp)) << "the direction pad still holds Up";
}

namespace {

// XInput's bits, as a pad reports them.
constexpr uint16_t kUp = 0x0001, kStart = 0x0010, kBack = 0x0020, kA = 0x1000, kX = 0x4000,
                   kY = 0x8000;

// One pass of a recorded sequence: a reading of pad 0 (or the focus lost),
// then the game buttons it pressed and those held, as letters in button
// order (U D L R A B C S).
struct Step {
  bool connected = true;
  uint16_t buttons = 0;
  int16_t lx = 0, ly = 0;
  bool focusLost = false;
  const char *presses = "";
  const char *held = "";
};

std::string letters(const bool *on) {
  std::string s;
  for (int b = 0; b < kPadButtonCount; ++b) {
    if (on[b]) s += "UDLRABCS"[b];
  }
  return s;
}

}  // namespace

TEST(Pad, XInputSequencesPressHoldAndLetGo) {
  const Step kUnplugged{.connected = false};
  struct Case {
    const char *name;
    std::initializer_list<Step> steps;
  };
  const Case cases[] = {
      {.name = "A pressed, held, let go",
       .steps = {{.buttons = kA, .presses = "A", .held = "A"}, {.buttons = kA, .held = "A"}, {}}},
      {.name = "west and north are one C",
       .steps = {{.buttons = kX, .presses = "C", .held = "C"},
                 {.buttons = kX | kY, .held = "C"},
                 {.buttons = kY, .held = "C"},
                 {}}},
      {.name = "Back and Start",
       .steps = {{.buttons = kBack}, {.buttons = kBack | kStart, .presses = "S", .held = "S"}}},
      {.name = "the stick: dead zone, press, hysteresis, release",
       .steps = {{.lx = 8000},
                 {.lx = 20000, .presses = "R", .held = "R"},
                 {.lx = 12000, .held = "R"},
                 {.lx = 9000},
                 {.ly = 20000, .presses = "U", .held = "U"},
                 {.ly = -32768, .presses = "D", .held = "D"}}},
      {.name = "direction pad and stick hold Up together",
       .steps = {{.buttons = kUp, .presses = "U", .held = "U"},
                 {.buttons = kUp, .ly = 30000, .held = "U"},
                 {.ly = 30000, .held = "U"},
                 {}}},
      {.name = "unplugged holding A, plugged in again holding A",
       .steps = {{.buttons = kA, .presses = "A", .held = "A"},
                 kUnplugged,
                 {.buttons = kA, .presses = "A", .held = "A"}}},
      {.name = "focus lost holding A: no press until let go",
       .steps = {{.buttons = kA, .presses = "A", .held = "A"},
                 {.focusLost = true},
                 {.buttons = kA},
                 {},
                 {.buttons = kA, .presses = "A", .held = "A"}}},
      {.name = "focus lost with the stick pushed",
       .steps = {{.lx = 30000, .presses = "R", .held = "R"},
                 {.focusLost = true},
                 {.lx = 30000},
                 {.lx = -30000, .presses = "L", .held = "L"}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    PolledPads pads;
    int pass = 0;
    for (const Step &s : c.steps) {
      SCOPED_TRACE("pass " + std::to_string(++pass));
      pads.newPass();
      int presses[kPadButtonCount] = {};
      int count = 0;
      if (s.focusLost) {
        pads.forget();
      } else {
        count = pads.apply(0, padReadingFromXInput(s.connected, s.buttons, s.lx, s.ly), presses,
                           kPadButtonCount);
      }
      bool pressed[kPadButtonCount] = {}, held[kPadButtonCount] = {};
      for (int i = 0; i < count; ++i) pressed[presses[i]] = true;
      for (int b = 0; b < kPadButtonCount; ++b) {
        held[b] = pads.state.held(b);
        EXPECT_EQ(pads.down(b), held[b] || pressed[b]) << "button " << b << " latched";
      }
      EXPECT_EQ(letters(pressed), s.presses) << "pressed";
      EXPECT_EQ(letters(held), s.held) << "held";
    }
  }
}

TEST(Pad, EmptySlotsAreLookedForOnlyNowAndThen) {
  PolledPads pads;
  int reads[kMaxPads] = {};
  int presses[kPadButtonCount];
  for (int pass = 0; pass < 2 * kPadScanPasses; ++pass) {
    pads.newPass();
    for (int slot = 0; slot < kMaxPads; ++slot) {
      if (!pads.shouldRead(slot)) continue;
      ++reads[slot];
      // A pad sits in slot 1 from the start.
      pads.apply(slot, padReadingFromXInput(slot == 1, 0, 0, 0), presses, kPadButtonCount);
    }
  }
  EXPECT_EQ(reads[0], 2) << "an empty slot: on the first pass and once a scan period after";
  EXPECT_EQ(reads[1], 2 * kPadScanPasses) << "a plugged-in pad: every pass";
  pads.newPass();
  pads.apply(1, padReadingFromXInput(false, 0, 0, 0), presses, kPadButtonCount);
  pads.newPass();
  EXPECT_FALSE(pads.shouldRead(1)) << "unplugged: back to the slow scan";
}
