// The menu and screen Scenes driven directly through their handlers on the
// headless backend, with the real start-up behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "screens/screens.h"

namespace {

constexpr uint32_t T0 = 100000;
constexpr int UP = 0x26, DOWN = 0x28, LEFT = 0x25, RIGHT = 0x27, A = 0x0D, B = 0x1B;
constexpr int WAVE_CONFIRM = 122, WAVE_CANCEL = 127;

Palette titlePalette;  // surface 0's palette as start-up leaves it

void at(uint32_t ms) { headlessSetClock(T0 + ms); }

std::vector<int> takeSounds() {
  int ids[64];
  int n = headlessTakeSounds(ids, 64);
  return std::vector<int>(ids, ids + n);
}

// Runs frames until sceneStep reaches the step; returns how many ran.
int framesUntilStep(int32_t step, int limit = 500) {
  int n = 0;
  while (sceneStep != step && n < limit) {
    frameHandler();
    ++n;
  }
  return n;
}

// Runs frames until the frame handler changes; returns how many ran.
int framesUntilSwitch(int limit = 500) {
  FrameHandler current = frameHandler;
  int n = 0;
  while (frameHandler == current && n < limit) {
    frameHandler();
    ++n;
  }
  return n;
}

// Largest distance of any colour channel of the palette from a level.
int largestDistance(const PaletteEntry *p, int level) {
  int d = 0;
  for (int i = 0; i < PALETTE_ENTRIES; ++i) {
    for (int c : {p[i].red, p[i].green, p[i].blue}) d = std::max(d, std::abs(c - level));
  }
  return d;
}

bool surfaceIsAll(int32_t slot, uint8_t colour) {
  const Surface &s = surfaceTable[slot];
  for (int32_t i = 0; i < s.stride * s.height; ++i) {
    if (s.pixels[i] != colour) return false;
  }
  return true;
}

class ScreensTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool started = false;
    if (started) return;
    started = true;
    headlessReset();
    headlessClearMemoryRegistry();
    headlessSetClock(T0);
    int exitCode = 0;
    ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &exitCode));
    getPalette(0, titlePalette);
  }

  void SetUp() override {
    const int16_t defaults[KEY_BINDING_COUNT] = {UP, DOWN, LEFT, RIGHT, A, B, 0x43, 0x53};
    std::memcpy(keyBindings, defaults, sizeof defaults);
    setSoundEnabled(1);
    setPalette(0, titlePalette);
    keyConfigItem = 0;
    at(0);
    takeSounds();
  }

  // Installs a Scene and runs its first (initialising) frame at time 0.
  static void enter(FrameHandler frame, KeyHandler key, TapHandler tap) {
    at(0);
    switchSceneWithTap(frame, key, tap);
    frameHandler();
    EXPECT_EQ(inputDebounceTime, T0);
  }
  static void enterTitle() { enter(titleSceneFrame, titleSceneKey, titleSceneTap); }
  static void press(uint32_t ms, int code) {
    at(ms);
    keyHandler(code);
  }
};

struct Press {
  uint32_t ms;  // after the Scene's start
  int code;
};

// ---- Title menu -------------------------------------------------------

TEST_F(ScreensTest, TitleKeySpacingAndClamping) {
  struct Case {
    std::vector<Press> presses;
    int8_t cursor;
    uint32_t stamp;  // ms after the start of the last stamped press
  } cases[] = {
      {{{199, DOWN}}, 0, 0},
      {{{200, DOWN}}, 1, 200},
      {{{200, DOWN}, {399, DOWN}}, 1, 200},
      {{{200, DOWN}, {400, DOWN}}, 2, 400},
      {{{200, UP}}, 0, 200},
      {{{200, DOWN}, {400, DOWN}, {600, DOWN}, {800, DOWN}, {1000, DOWN}}, 3, 1000},
      {{{200, B}, {200, RIGHT}, {200, 0x43}}, 0, 0},  // no other key does anything
  };
  for (const Case &c : cases) {
    enterTitle();
    for (const Press &p : c.presses) press(p.ms, p.code);
    EXPECT_EQ(menuCursor, c.cursor);
    EXPECT_EQ(inputDebounceTime, T0 + c.stamp);
    EXPECT_EQ(menuChoice, -1);
    EXPECT_EQ(sceneStep, 1);
  }
}

TEST_F(ScreensTest, TitleSpacingSurvivesClockWrap) {
  headlessSetClock(0xFFFFFF80u);
  switchSceneWithTap(titleSceneFrame, titleSceneKey, titleSceneTap);
  frameHandler();
  headlessSetClock(0xFFFFFF80u + 199);
  keyHandler(DOWN);
  EXPECT_EQ(menuCursor, 0);
  headlessSetClock(0xFFFFFF80u + 200);  // wrapped to 72
  keyHandler(DOWN);
  EXPECT_EQ(menuCursor, 1);
  EXPECT_EQ(inputDebounceTime, 72u);
}

TEST_F(ScreensTest, TitleTapAreas) {
  struct Case {
    int x, y, row;
  } cases[] = {
      {127, 112, -1}, {128, 112, 0}, {230, 112, 0}, {231, 112, -1}, {128, 111, -1},
      {128, 143, 0},  {128, 144, 1}, {200, 176, 2}, {230, 239, 3},  {230, 240, -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    enterTitle();
    press(200, DOWN);  // a tap ignores the key spacing and the cursor
    at(201);
    tapHandler(c.x, c.y);
    EXPECT_EQ(menuChoice, c.row);
    EXPECT_EQ(menuCursor, 1);
    EXPECT_EQ(inputDebounceTime, T0 + 200);
    if (c.row < 0) {
      EXPECT_EQ(sceneStep, 1);
      EXPECT_EQ(anyEffectActive(), 0);
    } else {
      EXPECT_EQ(sceneStep, 2 + c.row);
      EXPECT_EQ(confirmPointX, 128);
      EXPECT_EQ(confirmPointY, 120 + 32 * c.row);
      EXPECT_EQ(effects[0].active, 1);
      EXPECT_EQ(effects[0].x, 128);
      EXPECT_EQ(effects[0].y, 120 + 32 * c.row);
    }
  }
}

TEST_F(ScreensTest, TitleConfirmationRunsItsEffectThenSwitches) {
  struct Case {
    int row;
    FrameHandler frame;
    KeyHandler key;
    TapHandler tap;
  } cases[] = {
      {0, gameSelectSceneFrame, gameSelectSceneKey, nullptr},
      {1, optionSceneFrame, optionSceneKey, optionSceneTap},
      {2, aboutSceneFrame, aboutSceneKey, nullptr},
  };
  for (const Case &c : cases) {
    enterTitle();
    for (int i = 0; i < c.row; ++i) press(200 * (i + 1), DOWN);
    const uint32_t stamp = inputDebounceTime;
    press(5000, A);
    EXPECT_EQ(menuChoice, c.row);
    EXPECT_EQ(sceneStep, 2 + c.row);
    EXPECT_EQ(inputDebounceTime, stamp);  // A does not stamp
    // Neither a second A nor a tap nor Up withdraws the choice.
    press(6000, UP);
    press(7000, A);
    tapHandler(200, 230);
    EXPECT_EQ(menuChoice, c.row);
    EXPECT_EQ(sceneStep, 2 + c.row);

    const uint32_t presents = headlessPresentCount();
    EXPECT_EQ(framesUntilSwitch(), 25);  // the flash lasts 25 frames
    EXPECT_EQ(headlessPresentCount(), presents + 25);
    EXPECT_EQ(frameHandler, c.frame);
    EXPECT_EQ(keyHandler, c.key);
    EXPECT_EQ(tapHandler, c.tap);
    EXPECT_EQ(sceneStep, 0);
    EXPECT_EQ(takeSounds(), std::vector<int>{WAVE_CONFIRM});
  }
}

TEST_F(ScreensTest, TitleUpAndAOnOneCodeMoveThenConfirm) {
  keyBindings[BUTTON_A] = UP;
  enterTitle();
  press(200, DOWN);
  press(400, DOWN);
  press(600, UP);
  EXPECT_EQ(menuCursor, 1);
  EXPECT_EQ(menuChoice, 1);
  EXPECT_EQ(sceneStep, 3);
  EXPECT_EQ(confirmPointY, 152);
}

// ---- Set-up menus -----------------------------------------------------

struct SetupScreen {
  FrameHandler frame;
  KeyHandler key;
};
const SetupScreen GAME_SELECT{gameSelectSceneFrame, gameSelectSceneKey};
const SetupScreen PLAYER_SELECT{playerSelectSceneFrame, playerSelectSceneKey};
const SetupScreen READY{readySceneFrame, readySceneKey};

TEST_F(ScreensTest, SetupConfirmStoresTheChoiceAndMovesOn) {
  struct Case {
    SetupScreen screen;
    int row;
    int32_t pointX, pointY;
    int32_t gameMode, playerCount;  // after the press; both start at 2
    FrameHandler next;
    KeyHandler nextKey;
  } cases[] = {
      {GAME_SELECT, 0, 16, 72, 0, 2, playerSelectSceneFrame, playerSelectSceneKey},
      {GAME_SELECT, 3, 16, 168, 3, 2, playerSelectSceneFrame, playerSelectSceneKey},
      {PLAYER_SELECT, 0, 48, 72, 2, 1, readySceneFrame, readySceneKey},
      {PLAYER_SELECT, 3, 48, 168, 2, 4, readySceneFrame, readySceneKey},
      {READY, 0, 112, 200, 2, 2, matchSceneFrame, nullptr},
  };
  for (const Case &c : cases) {
    gameMode = 2;
    playerCount = 2;
    enter(c.screen.frame, c.screen.key, nullptr);
    EXPECT_EQ(menuCursor, 0);
    for (int i = 0; i < c.row; ++i) press(200 * (i + 1), DOWN);
    press(2000, A);
    press(2000, B);  // A does not stamp, but B is refused once A is taken
    EXPECT_EQ(sceneStep, 2);
    EXPECT_EQ(confirmPointX, c.pointX);
    EXPECT_EQ(confirmPointY, c.pointY);
    EXPECT_EQ(gameMode, c.gameMode);
    EXPECT_EQ(playerCount, c.playerCount);
    EXPECT_EQ(framesUntilSwitch(), 25);
    EXPECT_EQ(frameHandler, c.next);
    EXPECT_EQ(keyHandler, c.nextKey);
    EXPECT_EQ(tapHandler, nullptr);
    EXPECT_EQ(takeSounds(), std::vector<int>{WAVE_CONFIRM});
  }
}

TEST_F(ScreensTest, SetupBackGoesOneScreenBackAtOnce) {
  struct Case {
    SetupScreen screen;
    uint32_t sound;
    FrameHandler back;
    KeyHandler backKey;
    TapHandler backTap;
    std::vector<int> sounds;
  } cases[] = {
      {GAME_SELECT, 1, titleSceneFrame, titleSceneKey, titleSceneTap, {WAVE_CANCEL}},
      {PLAYER_SELECT, 1, gameSelectSceneFrame, gameSelectSceneKey, nullptr, {WAVE_CANCEL}},
      {READY, 1, playerSelectSceneFrame, playerSelectSceneKey, nullptr, {WAVE_CANCEL}},
      {READY, 0, playerSelectSceneFrame, playerSelectSceneKey, nullptr, {}},
  };
  for (const Case &c : cases) {
    setSoundEnabled(c.sound);
    enter(c.screen.frame, c.screen.key, nullptr);
    press(199, B);
    EXPECT_EQ(sceneStep, 1);
    press(200, B);
    EXPECT_EQ(sceneStep, 3);
    EXPECT_EQ(inputDebounceTime, T0);
    const uint32_t presents = headlessPresentCount();
    frameHandler();
    EXPECT_EQ(headlessPresentCount(), presents + 1);
    EXPECT_EQ(frameHandler, c.back);
    EXPECT_EQ(keyHandler, c.backKey);
    EXPECT_EQ(tapHandler, c.backTap);
    EXPECT_EQ(sceneStep, 0);
    EXPECT_EQ(takeSounds(), c.sounds);
  }
}

TEST_F(ScreensTest, SetupAAndBOnOneCodeConfirms) {
  keyBindings[BUTTON_B] = A;
  enter(gameSelectSceneFrame, gameSelectSceneKey, nullptr);
  press(200, A);
  EXPECT_EQ(sceneStep, 2);
  EXPECT_EQ(menuChoice, 0);
}

// ---- Option screen ----------------------------------------------------

class OptionTest : public ScreensTest {
 protected:
  // Enters the screen and runs the fade-in; returns its frame count after
  // the entry frame.
  static int enterIdle() {
    enter(optionSceneFrame, optionSceneKey, optionSceneTap);
    return framesUntilStep(2);
  }
};

TEST_F(OptionTest, FadesInFromBlackAndOutToBlackRestoringThePalette) {
  enter(optionSceneFrame, optionSceneKey, optionSceneTap);
  EXPECT_EQ(largestDistance(surfaceTable[0].palette, 0), 0);
  const int d = largestDistance(titlePalette, 0);
  ASSERT_GT(d, 0);
  EXPECT_EQ(framesUntilStep(2), (d + 7) / 8 + 1);  // completion is reported one call late
  EXPECT_EQ(std::memcmp(surfaceTable[0].palette, titlePalette, PALETTE_BYTES), 0);

  press(1000, A);
  EXPECT_EQ(sceneStep, 4);
  EXPECT_EQ(framesUntilStep(5), (d + 7) / 8 + 1);
  EXPECT_EQ(largestDistance(surfaceTable[0].palette, 0), 0);

  const uint32_t presents = headlessPresentCount();
  frameHandler();  // leaving: nothing presented
  EXPECT_EQ(headlessPresentCount(), presents);
  EXPECT_EQ(frameHandler, titleSceneFrame);
  EXPECT_EQ(keyHandler, titleSceneKey);
  EXPECT_EQ(tapHandler, titleSceneTap);
  EXPECT_EQ(sceneStep, 0);
  EXPECT_EQ(std::memcmp(surfaceTable[0].palette, titlePalette, PALETTE_BYTES), 0);
  EXPECT_TRUE(surfaceIsAll(0, 0));
  EXPECT_EQ(takeSounds(), std::vector<int>{});
}

TEST_F(OptionTest, KeysDuringTheFadesOnlyRestartTheSpacing) {
  for (int code : {LEFT, RIGHT, A, B}) {
    setSoundEnabled(code == LEFT ? 1 : 0);
    enter(optionSceneFrame, optionSceneKey, optionSceneTap);
    frameHandler();
    press(300, code);
    EXPECT_EQ(inputDebounceTime, T0 + 300);
    EXPECT_EQ(sceneStep, 1);
    EXPECT_EQ(isSoundEnabled(), code == LEFT ? 1u : 0u);
    at(300);
    tapHandler(20, 70);
    EXPECT_EQ(sceneStep, 1);
  }
}

TEST_F(OptionTest, LeftAndRightSwitchTheSound) {
  enterIdle();
  struct Case {
    int code;
    uint32_t sound;
  } cases[] = {{RIGHT, 1}, {LEFT, 0}, {LEFT, 0}, {RIGHT, 1}, {UP, 1}, {DOWN, 1}};
  uint32_t ms = 1000;
  for (const Case &c : cases) {
    press(ms += 200, c.code);
    EXPECT_EQ(isSoundEnabled(), c.sound);
    EXPECT_EQ(sceneStep, 2);
  }
}

TEST_F(OptionTest, TapAreasAreTheCaptions) {
  struct Case {
    int x, y, item;
  } cases[] = {
      {47, 64, 1},  {48, 64, 0},   {16, 95, 1},  {79, 127, 2},  {80, 127, 0},
      {15, 100, 0}, {20, 140, 3},  {79, 191, 4}, {143, 223, 5}, {144, 223, 0},
      {16, 224, 6}, {143, 287, 7}, {16, 288, 0}, {16, 63, 0},   {200, 20, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    enterIdle();
    keyConfigItem = 9;
    tapHandler(c.x, c.y);
    EXPECT_EQ(keyConfigItem, c.item);
    EXPECT_EQ(sceneStep, c.item == 0 ? 2 : 3);
  }
}

TEST_F(OptionTest, ThePanelTakesTheNextKeyButWindowsAndImeKeys) {
  struct Case {
    int tapY;
    KeyBinding binding;
    int code;
    int16_t stored;
  } cases[] = {
      {70, KEY_UP, 0x41, 0x41},
      {200, BUTTON_A, B, B},                                  // B answers the panel, not leaving
      {230, BUTTON_B, A, A},                                  // two rows may share a code
      {260, BUTTON_C, 0xFF42, static_cast<int16_t>(0xFF42)},  // low 16 bits, signed
  };
  for (const Case &c : cases) {
    enterIdle();
    tapHandler(20, c.tapY);
    ASSERT_EQ(sceneStep, 3);
    press(1000, 91);
    press(1000, 229);
    EXPECT_EQ(sceneStep, 3);
    EXPECT_EQ(inputDebounceTime, T0);
    press(1000, c.code);
    EXPECT_EQ(keyBindings[c.binding], c.stored);
    EXPECT_EQ(sceneStep, 2);
    EXPECT_EQ(inputDebounceTime, T0 + 1000);
    tapHandler(20, 290);  // outside every area: nothing
    press(1199, A);       // within the spacing of the stored key
    EXPECT_EQ(sceneStep, 2);
  }
}

TEST_F(OptionTest, RedefinedButtonsLeaveTheScreen) {
  enterIdle();
  tapHandler(20, 200);
  press(1000, 0x31);  // Button A becomes '1'
  tapHandler(20, 230);
  press(1200, 0x32);  // Button B becomes '2'
  press(1400, A);
  press(1600, B);
  EXPECT_EQ(sceneStep, 2);
  press(1800, 0x32);
  EXPECT_EQ(sceneStep, 4);
}

// ---- About screen -----------------------------------------------------

TEST_F(ScreensTest, AboutFadesInAndOutToWhiteAndRestoresThePalette) {
  enter(aboutSceneFrame, aboutSceneKey, nullptr);
  EXPECT_EQ(largestDistance(surfaceTable[0].palette, 0), 0);
  const int in = largestDistance(titlePalette, 0);
  press(200, A);  // during the fade-in: nothing, and it is not remembered
  EXPECT_EQ(framesUntilStep(2), (in + 3) / 4 + 1);
  EXPECT_EQ(std::memcmp(surfaceTable[0].palette, titlePalette, PALETTE_BYTES), 0);
  for (int i = 0; i < 5; ++i) frameHandler();
  EXPECT_EQ(sceneStep, 2);

  press(5000, B);
  EXPECT_EQ(sceneStep, 3);
  EXPECT_EQ(inputDebounceTime, T0);  // no key stamps here
  press(5000, A);
  EXPECT_EQ(sceneStep, 3);
  EXPECT_EQ(framesUntilStep(4), (largestDistance(titlePalette, 255) + 3) / 4 + 1);
  EXPECT_EQ(largestDistance(surfaceTable[0].palette, 255), 0);

  const uint32_t presents = headlessPresentCount();
  frameHandler();  // leaving: one frame of index 0 in the restored palette
  EXPECT_EQ(headlessPresentCount(), presents + 1);
  EXPECT_EQ(frameHandler, titleSceneFrame);
  EXPECT_EQ(tapHandler, titleSceneTap);
  EXPECT_EQ(std::memcmp(surfaceTable[0].palette, titlePalette, PALETTE_BYTES), 0);
  EXPECT_TRUE(surfaceIsAll(0, 0));
  EXPECT_EQ(takeSounds(), std::vector<int>{});
}

}  // namespace
