// The menu and screen Scenes driven directly through their handlers on the
// headless backend, with the real start-up behind them. Whole walks through
// the screens are in test_screens_scripts.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <tuple>
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
const std::vector<int> CONFIRM_SOUND{122}, CANCEL_SOUND{127}, SILENCE{};
Palette titlePalette;  // surface 0's palette as start-up leaves it

// clang-format off
struct Press { uint32_t ms; int code; };  // ms after the Scene's start
struct Scene { FrameHandler frame; KeyHandler key; TapHandler tap; };
const Scene TITLE{titleSceneFrame, titleSceneKey, titleSceneTap}, OPTION{optionSceneFrame, optionSceneKey, optionSceneTap},
    GAME{gameSelectSceneFrame, gameSelectSceneKey, nullptr}, PLAYER{playerSelectSceneFrame, playerSelectSceneKey, nullptr},
    READY{readySceneFrame, readySceneKey, nullptr};
// clang-format on

void at(uint32_t ms) { headlessSetClock(T0 + ms); }
void press(const std::vector<Press> &presses) {
  for (const Press &p : presses) at(p.ms), keyHandler(p.code);
}
std::vector<int> takeSounds() {
  int ids[64];
  return std::vector<int>(ids, ids + headlessTakeSounds(ids, 64));
}

// Runs frames until sceneStep reaches the step (or, with -1, the frame
// handler changes); returns how many ran.
int framesUntil(int32_t step) {
  const FrameHandler current = frameHandler;
  int n = 0;
  for (; n < 500 && (step < 0 ? frameHandler == current : sceneStep != step); ++n) frameHandler();
  return n;
}

// Frames a fade of `step` per frame needs from `from` to `level`, completion
// being reported one call after the last change.
int fadeFrames(const PaletteEntry *from, int level, int step) {
  int d = 0;
  for (int i = 0; i < PALETTE_ENTRIES; ++i)
    for (int c : {from[i].red, from[i].green, from[i].blue}) d = std::max(d, std::abs(c - level));
  return (d + step - 1) / step + 1;
}

class ScreensTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    headlessReset();
    headlessClearMemoryRegistry();
    int exitCode = 0;
    ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &exitCode));
    getPalette(0, titlePalette);
  }
  void SetUp() override {
    const int16_t defaults[KEY_BINDING_COUNT] = {UP, DOWN, LEFT, RIGHT, A, B, 0x43, 0x53};
    std::memcpy(keyBindings, defaults, sizeof defaults);
    setSoundEnabled(1);
    setPalette(0, titlePalette);
    takeSounds();
  }
  // Installs a Scene and runs its first (initialising) frame at time 0.
  static void enter(const Scene &scene, int32_t untilStep = 0) {
    at(0);
    switchSceneWithTap(scene.frame, scene.key, scene.tap);
    frameHandler();
    EXPECT_EQ(inputDebounceTime, T0);
    if (untilStep > 0) framesUntil(untilStep);
  }
};

TEST_F(ScreensTest, TitleKeySpacingClampingAndTapAreas) {
  // A tap (if any) comes after the presses, at 201 ms; stamp: ms of the last
  // stamped press.
  // clang-format off
  struct Case { std::vector<Press> presses; int tapX, tapY, cursor, choice; uint32_t stamp; int step; } cases[] = {
      {{{199, DOWN}}, 0, 0, 0, -1, 0, 1}, {{{200, DOWN}}, 0, 0, 1, -1, 200, 1}, {{{200, UP}}, 0, 0, 0, -1, 200, 1},
      {{{200, DOWN}, {399, DOWN}}, 0, 0, 1, -1, 200, 1}, {{{200, B}, {200, RIGHT}, {200, 0x43}}, 0, 0, 0, -1, 0, 1},
      {{{200, DOWN}, {400, DOWN}, {600, DOWN}, {800, DOWN}}, 0, 0, 3, -1, 800, 1},
      // Taps ignore the spacing and the cursor; the rows' edges.
      {{{200, DOWN}}, 127, 112, 1, -1, 200, 1}, {{{200, DOWN}}, 128, 112, 1, 0, 200, 2},
      {{{200, DOWN}}, 231, 112, 1, -1, 200, 1}, {{{200, DOWN}}, 128, 111, 1, -1, 200, 1},
      {{{200, DOWN}}, 128, 143, 1, 0, 200, 2},  {{{200, DOWN}}, 128, 144, 1, 1, 200, 3},
      {{{200, DOWN}}, 200, 176, 1, 2, 200, 4},  {{{200, DOWN}}, 230, 239, 1, 3, 200, 5},
      {{{200, DOWN}}, 230, 240, 1, -1, 200, 1},
  };
  // clang-format on
  for (const Case &c : cases) {
    enter(TITLE);
    menuChoice = -1;
    press(c.presses);
    at(201);
    if (c.tapX != 0) tapHandler(c.tapX, c.tapY);
    EXPECT_EQ(std::make_tuple(int{menuCursor}, int{menuChoice}, inputDebounceTime - T0, sceneStep),
              std::make_tuple(c.cursor, c.choice, c.stamp, c.step))
        << c.presses.size() << " presses, tap " << c.tapX << "," << c.tapY;
    EXPECT_EQ(anyEffectActive(), c.choice < 0 ? 0 : 1);
    EXPECT_EQ(c.choice < 0 || effects[0].y == 120 + 32 * c.choice, true);
  }
}

// Button A on a menu and on the ready screen: the choice is fixed, a second
// A, a tap or B change nothing, and the next Scene comes once the 25-frame
// flash is over. Button B goes back at once with the cancel sound.
TEST_F(ScreensTest, ConfirmAndCancelOnEveryMenu) {
  // clang-format off
  struct Case { Scene from; std::vector<Press> presses; int32_t step, pointX, pointY, gameMode, playerCount; Scene to; } cases[] = {
      {TITLE, {{200, DOWN}, {400, A}, {400, B}, {400, A}}, 3, 128, 152, 2, 2, OPTION},
      {TITLE, {{200, DOWN}, {400, DOWN}, {600, A}, {800, UP}}, 4, 128, 184, 2, 2, {aboutSceneFrame, aboutSceneKey, nullptr}},
      {GAME, {{200, UP}, {400, A}, {400, B}}, 2, 16, 72, 0, 2, PLAYER},
      {PLAYER, {{200, DOWN}, {400, DOWN}, {600, DOWN}, {800, A}}, 2, 48, 168, 2, 4, READY},
      {READY, {{200, A}, {200, B}}, 2, 112, 200, 2, 2, {matchSceneFrame, nullptr, nullptr}},
      {GAME, {{199, B}, {200, B}, {200, A}}, 3, 0, 0, 2, 2, TITLE},
  };
  // clang-format on
  for (const Case &c : cases) {
    gameMode = playerCount = 2;
    confirmPointX = confirmPointY = 0;
    enter(c.from);
    press(c.presses);
    if (c.from.tap != nullptr) tapHandler(200, 230);
    EXPECT_EQ(std::make_tuple(sceneStep, confirmPointX, confirmPointY, gameMode, playerCount),
              std::make_tuple(c.step, c.pointX, c.pointY, c.gameMode, c.playerCount));
    const int frames = c.step == 3 && c.from.frame != titleSceneFrame ? 1 : 25;  // cancel: 1
    const uint32_t presents = headlessPresentCount();
    EXPECT_EQ(framesUntil(-1), frames);
    EXPECT_EQ(headlessPresentCount(), presents + frames);  // the switching pass too
    EXPECT_EQ(std::make_tuple(frameHandler, keyHandler, tapHandler, sceneStep),
              std::make_tuple(c.to.frame, c.to.key, c.to.tap, 0));
    EXPECT_EQ(takeSounds(), frames == 1 ? CANCEL_SOUND : CONFIRM_SOUND);
  }
}

// Option fades in from black by 8 a frame and out to black, About by 4 and
// out to white; completion is reported one call after the last change. Keys
// and taps during the fade-in do nothing and are not remembered; only the
// option screen stamps them.
TEST_F(ScreensTest, FadesInAndOutAndRestoreTheTitleOnLeaving) {
  // clang-format off
  struct Case { Scene scene; int step, outLevel; uint32_t stamp; int32_t outStep; uint32_t leavePresents; } cases[] = {
      {OPTION, 8, 0, 300, 5, 0}, {{aboutSceneFrame, aboutSceneKey, nullptr}, 4, 255, 0, 4, 1}};
  // clang-format on
  for (const Case &c : cases) {
    enter(c.scene);
    EXPECT_EQ(fadeFrames(surfaceTable[0].palette, 0, c.step), 1);  // black
    press({{300, LEFT}, {300, A}, {300, B}});
    if (tapHandler != nullptr) tapHandler(20, 70);
    EXPECT_EQ(std::make_tuple(sceneStep, inputDebounceTime - T0, isSoundEnabled()),
              std::make_tuple(1, c.stamp, 1u));
    EXPECT_EQ(framesUntil(2), fadeFrames(titlePalette, 0, c.step));
    for (int i = 0; i < 5; ++i) frameHandler();
    EXPECT_EQ(sceneStep, 2);
    press({{5000, A}});
    EXPECT_EQ(framesUntil(c.outStep), fadeFrames(titlePalette, c.outLevel, c.step));
    EXPECT_EQ(fadeFrames(surfaceTable[0].palette, c.outLevel, c.step), 1);
    const uint32_t presents = headlessPresentCount();
    frameHandler();  // leaving: About shows index 0 in the restored palette
    EXPECT_EQ(headlessPresentCount(), presents + c.leavePresents);
    // Back at the title, its palette restored, the back buffer cleared, silent.
    const Surface &s = surfaceTable[0];
    EXPECT_EQ(std::make_tuple(frameHandler, tapHandler, takeSounds(),
                              std::memcmp(s.palette, titlePalette, PALETTE_BYTES) == 0,
                              std::all_of(s.pixels, s.pixels + s.stride * s.height,
                                          [](uint8_t p) { return !p; })),
              std::make_tuple(titleSceneFrame, titleSceneTap, SILENCE, true, true));
  }
}

TEST_F(ScreensTest, OptionTapAreasAreTheCaptions) {
  // clang-format off
  struct Case { int x, y, item; } cases[] = {{47, 64, 1}, {48, 64, 0}, {16, 95, 1}, {79, 127, 2}, {80, 127, 0},
      {15, 100, 0}, {79, 191, 4}, {143, 223, 5}, {144, 223, 0}, {16, 224, 6}, {143, 287, 7}, {16, 288, 0}, {200, 20, 0}};
  // clang-format on
  for (const Case &c : cases) {
    enter(OPTION, 2);
    keyConfigItem = 9;
    tapHandler(c.x, c.y);
    EXPECT_EQ(std::make_tuple(keyConfigItem, sceneStep), std::make_tuple(c.item, c.item ? 3 : 2))
        << c.x << "," << c.y;
  }
}

// While "Press The Button" waits, 91 and 229 are ignored and every other
// key, A and B included, becomes the chosen row's code without leaving.
TEST_F(ScreensTest, OptionPanelTakesAnyKeyButTheIgnoredTwo) {
  // clang-format off
  struct Case { int item; std::vector<Press> presses; int16_t bound; int step; } cases[] = {
      {1, {{200, 91}}, UP, 3}, {1, {{200, 229}}, UP, 3}, {1, {{199, 0x51}}, UP, 3},
      {1, {{200, 91}, {200, A}}, A, 2}, {6, {{200, B}}, B, 2}, {5, {{200, 0x57}, {300, 0x57}}, 0x57, 2}};
  // clang-format on
  for (const Case &c : cases) {
    enter(OPTION, 2);
    tapHandler(20, 64 + 32 * (c.item - 1));
    ASSERT_EQ(sceneStep, 3);
    press(c.presses);
    EXPECT_EQ(std::make_tuple(keyBindings[c.item - 1], sceneStep), std::make_tuple(c.bound, c.step))
        << "row " << c.item;
    keyBindings[c.item - 1] = c.item == 6 ? B : c.item == 5 ? A : UP;
  }
}

// A code of 0x8000 or more is negative as a signed 16-bit binding; its row
// shows the low three decimal digits of the unsigned code, not stray sprites.
TEST_F(ScreensTest, OptionShowsHighCodesAsUnsignedDigits) {
  std::vector<uint8_t> rows[2];
  for (int16_t code : {static_cast<int16_t>(535), static_cast<int16_t>(0xFFFF)}) {
    keyBindings[KEY_UP] = code;
    enter(OPTION, 2);
    const Surface &s = surfaceTable[0];
    for (int y = 64; y < 96; ++y)
      rows[code < 0].insert(rows[code < 0].end(), &s.pixels[y * s.stride + 160],
                            &s.pixels[y * s.stride + 208]);
  }
  EXPECT_EQ(rows[0], rows[1]);
}

}  // namespace
