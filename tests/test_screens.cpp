// The menu and screen Scenes driven directly through their handlers on the
// headless backend, with the real start-up behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

struct Press {
  uint32_t ms;  // after the Scene's start
  int code;
};

void at(uint32_t ms) { headlessSetClock(T0 + ms); }
void press(const std::vector<Press> &presses) {
  for (const Press &p : presses) {
    at(p.ms);
    keyHandler(p.code);
  }
}

std::vector<int> takeSounds() {
  int ids[64];
  return std::vector<int>(ids, ids + headlessTakeSounds(ids, 64));
}

// Runs frames until sceneStep reaches the step (or the frame handler changes,
// with step -1); returns how many ran.
int framesUntil(int32_t step) {
  const FrameHandler current = frameHandler;
  int n = 0;
  while (n < 500 && (step < 0 ? frameHandler == current : sceneStep != step)) {
    frameHandler();
    ++n;
  }
  return n;
}

// Frames a fade of `step` per frame needs from `from` to `to`, completion
// being reported one call after the last change.
int fadeFrames(const PaletteEntry *from, int level, int step) {
  int d = 0;
  for (int i = 0; i < PALETTE_ENTRIES; ++i) {
    for (int c : {from[i].red, from[i].green, from[i].blue}) d = std::max(d, std::abs(c - level));
  }
  return (d + step - 1) / step + 1;
}

bool paletteIsTitles() {
  return std::memcmp(surfaceTable[0].palette, titlePalette, PALETTE_BYTES) == 0;
}
bool backBufferIsAllZero() {
  const Surface &s = surfaceTable[0];
  return std::all_of(s.pixels, s.pixels + s.stride * s.height, [](uint8_t p) { return p == 0; });
}

class ScreensTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool started = false;
    if (started) return;
    started = true;
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
  static void enter(FrameHandler frame, KeyHandler key, TapHandler tap) {
    at(0);
    switchSceneWithTap(frame, key, tap);
    frameHandler();
    EXPECT_EQ(inputDebounceTime, T0);
  }
  static void enterTitle() { enter(titleSceneFrame, titleSceneKey, titleSceneTap); }
  static void enterOptionIdle() {
    enter(optionSceneFrame, optionSceneKey, optionSceneTap);
    framesUntil(2);
  }
};

TEST_F(ScreensTest, TitleKeySpacingAndClamping) {
  struct Case {
    std::vector<Press> presses;
    int8_t cursor;
    uint32_t stamp;  // ms of the last stamped press
  } cases[] = {
      {{{199, DOWN}}, 0, 0},
      {{{200, DOWN}}, 1, 200},
      {{{200, DOWN}, {399, DOWN}}, 1, 200},
      {{{200, UP}}, 0, 200},
      {{{200, DOWN}, {400, DOWN}, {600, DOWN}, {800, DOWN}}, 3, 800},
      {{{200, B}, {200, RIGHT}, {200, 0x43}}, 0, 0},
  };
  for (const Case &c : cases) {
    enterTitle();
    press(c.presses);
    EXPECT_EQ(menuCursor, c.cursor);
    EXPECT_EQ(inputDebounceTime, T0 + c.stamp);
    EXPECT_EQ(sceneStep, 1);
  }
}

TEST_F(ScreensTest, TitleTapAreasIgnoreSpacingAndCursor) {
  struct Case {
    int x, y, row;
  } cases[] = {{127, 112, -1}, {128, 112, 0}, {231, 112, -1}, {128, 111, -1}, {128, 143, 0},
               {128, 144, 1},  {200, 176, 2}, {230, 239, 3},  {230, 240, -1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    enterTitle();
    press({{200, DOWN}});
    at(201);
    tapHandler(c.x, c.y);
    EXPECT_EQ(menuChoice, c.row);
    EXPECT_EQ(menuCursor, 1);
    EXPECT_EQ(sceneStep, c.row < 0 ? 1 : 2 + c.row);
    EXPECT_EQ(anyEffectActive(), c.row < 0 ? 0 : 1);
    if (c.row >= 0) {
      EXPECT_EQ(effects[0].y, 120 + 32 * c.row);
    }
  }
}

// Button A on a menu and on the ready screen: the choice is fixed, a second
// A, a tap or B change nothing, and the next Scene comes once the 25-frame
// flash is over. Button B goes back at once with the cancel sound.
TEST_F(ScreensTest, ConfirmAndCancelOnEveryMenu) {
  struct Scene {
    FrameHandler frame;
    KeyHandler key;
    TapHandler tap;
  };
  const Scene TITLE{titleSceneFrame, titleSceneKey, titleSceneTap};
  const Scene GAME{gameSelectSceneFrame, gameSelectSceneKey, nullptr};
  const Scene PLAYER{playerSelectSceneFrame, playerSelectSceneKey, nullptr};
  const Scene READY{readySceneFrame, readySceneKey, nullptr};
  struct Case {
    Scene from;
    std::vector<Press> presses;
    int32_t step, pointX, pointY, gameMode, playerCount;
    bool cancel;
    Scene to;
  } cases[] = {
      // clang-format off
      {TITLE, {{200, DOWN}, {400, A}, {400, B}, {400, A}}, 3, 128, 152, 2, 2, false,
       {optionSceneFrame, optionSceneKey, optionSceneTap}},
      {TITLE, {{200, DOWN}, {400, DOWN}, {600, A}, {800, UP}}, 4, 128, 184, 2, 2, false,
       {aboutSceneFrame, aboutSceneKey, nullptr}},
      {GAME, {{200, UP}, {400, A}, {400, B}}, 2, 16, 72, 0, 2, false, PLAYER},
      {PLAYER, {{200, DOWN}, {400, DOWN}, {600, DOWN}, {800, A}}, 2, 48, 168, 2, 4, false, READY},
      {READY, {{200, A}, {200, B}}, 2, 112, 200, 2, 2, false, {matchSceneFrame, nullptr, nullptr}},
      {GAME, {{199, B}, {200, B}, {200, A}}, 3, 0, 0, 2, 2, true, TITLE},
      {PLAYER, {{200, B}}, 3, 0, 0, 2, 2, true, GAME},
      {READY, {{200, B}}, 3, 0, 0, 2, 2, true, PLAYER},
      // clang-format on
  };
  for (const Case &c : cases) {
    gameMode = playerCount = 2;
    confirmPointX = confirmPointY = 0;
    enter(c.from.frame, c.from.key, c.from.tap);
    press(c.presses);
    if (c.from.tap != nullptr) tapHandler(200, 230);
    EXPECT_EQ(sceneStep, c.step);
    EXPECT_EQ(confirmPointX, c.pointX);
    EXPECT_EQ(confirmPointY, c.pointY);
    EXPECT_EQ(gameMode, c.gameMode);
    EXPECT_EQ(playerCount, c.playerCount);
    const int frames = c.cancel ? 1 : 25;
    const uint32_t presents = headlessPresentCount();
    EXPECT_EQ(framesUntil(-1), frames);
    EXPECT_EQ(headlessPresentCount(), presents + frames);  // the switching pass too
    EXPECT_EQ(frameHandler, c.to.frame);
    EXPECT_EQ(keyHandler, c.to.key);
    EXPECT_EQ(tapHandler, c.to.tap);
    EXPECT_EQ(sceneStep, 0);
    EXPECT_EQ(takeSounds(), c.cancel ? CANCEL_SOUND : CONFIRM_SOUND);
  }
}

TEST_F(ScreensTest, OneCodeForTwoRoles) {
  keyBindings[BUTTON_A] = UP;  // moves up, then confirms the new row
  enterTitle();
  press({{200, DOWN}, {400, DOWN}, {800, UP}});
  EXPECT_EQ(menuChoice, 1);
  EXPECT_EQ(sceneStep, 3);

  keyBindings[BUTTON_A] = keyBindings[BUTTON_B] = A;  // A is tested first
  enter(gameSelectSceneFrame, gameSelectSceneKey, nullptr);
  press({{200, A}});
  EXPECT_EQ(sceneStep, 2);

  setSoundEnabled(0);  // cancelling is silent then
  enter(playerSelectSceneFrame, playerSelectSceneKey, nullptr);
  press({{200, B}});
  framesUntil(-1);
  EXPECT_EQ(takeSounds(), SILENCE);
}

TEST_F(ScreensTest, OptionFadesAndRestoresThePaletteOnLeaving) {
  const int frames = fadeFrames(titlePalette, 0, 8);
  enter(optionSceneFrame, optionSceneKey, optionSceneTap);
  EXPECT_EQ(fadeFrames(surfaceTable[0].palette, 0, 8), 1);  // black
  for (int code : {LEFT, A, B}) {  // during the fade: only the spacing restarts
    press({{300, code}});
    EXPECT_EQ(inputDebounceTime, T0 + 300);
  }
  tapHandler(20, 70);
  EXPECT_EQ(sceneStep, 1);
  EXPECT_EQ(isSoundEnabled(), 1u);
  EXPECT_EQ(framesUntil(2), frames);
  EXPECT_TRUE(paletteIsTitles());

  press({{1000, A}});
  EXPECT_EQ(framesUntil(5), frames);
  const uint32_t presents = headlessPresentCount();
  frameHandler();  // leaving: nothing presented
  EXPECT_EQ(headlessPresentCount(), presents);
  EXPECT_EQ(frameHandler, titleSceneFrame);
  EXPECT_EQ(tapHandler, titleSceneTap);
  EXPECT_TRUE(paletteIsTitles());
  EXPECT_TRUE(backBufferIsAllZero());
  EXPECT_EQ(takeSounds(), SILENCE);
}

TEST_F(ScreensTest, OptionTapAreasAreTheCaptions) {
  struct Case {
    int x, y, item;
  } cases[] = {{47, 64, 1},   {48, 64, 0},  {16, 95, 1},   {79, 127, 2},  {80, 127, 0},
               {15, 100, 0},  {79, 191, 4}, {143, 223, 5}, {144, 223, 0}, {16, 224, 6},
               {143, 287, 7}, {16, 288, 0}, {200, 20, 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    enterOptionIdle();
    keyConfigItem = 9;
    tapHandler(c.x, c.y);
    EXPECT_EQ(keyConfigItem, c.item);
    EXPECT_EQ(sceneStep, c.item == 0 ? 2 : 3);
  }
}

TEST_F(ScreensTest, OptionPanelTakesTheNextKeyAndNewButtonsLeave) {
  struct Case {
    int tapY;
    KeyBinding binding;
    int code;
    int16_t stored;
  } cases[] = {{70, KEY_UP, 0x41, 0x41},
               {200, BUTTON_A, B, B},  // B answers the panel; A now shares B's code
               {230, BUTTON_B, 0x32, 0x32},
               {260, BUTTON_C, 0xFF42, static_cast<int16_t>(0xFF42)}};
  enterOptionIdle();
  uint32_t ms = 1000;
  for (const Case &c : cases) {
    tapHandler(20, c.tapY);
    press({{ms, 91}, {ms, 229}});
    EXPECT_EQ(sceneStep, 3);
    press({{ms, c.code}});
    EXPECT_EQ(keyBindings[c.binding], c.stored);
    EXPECT_EQ(sceneStep, 2);
    EXPECT_EQ(inputDebounceTime, T0 + ms);
    ms += 200;
  }
  press({{ms, A}});  // the old Button A code no longer leaves
  EXPECT_EQ(sceneStep, 2);
  press({{ms + 200, 0x32}});
  EXPECT_EQ(sceneStep, 4);
}

// A code of 0x8000 or more is negative as a signed 16-bit binding; its row
// shows the low three decimal digits of the unsigned code, not stray sprites.
TEST_F(ScreensTest, OptionShowsHighCodesAsUnsignedDigits) {
  std::vector<uint8_t> rows[2];
  for (int16_t code : {static_cast<int16_t>(535), static_cast<int16_t>(0xFFFF)}) {
    keyBindings[KEY_UP] = code;
    enterOptionIdle();
    const Surface &s = surfaceTable[0];
    std::vector<uint8_t> &r = rows[code < 0];
    for (int y = 64; y < 96; ++y)
      r.insert(r.end(), &s.pixels[y * s.stride + 160], &s.pixels[y * s.stride + 208]);
  }
  EXPECT_EQ(rows[0], rows[1]);
}

TEST_F(ScreensTest, AboutFadesInAndOutToWhiteAndRestoresThePalette) {
  enter(aboutSceneFrame, aboutSceneKey, nullptr);
  press({{200, A}});  // during the fade-in: nothing, and not remembered
  EXPECT_EQ(framesUntil(2), fadeFrames(titlePalette, 0, 4));
  EXPECT_TRUE(paletteIsTitles());
  for (int i = 0; i < 5; ++i) frameHandler();
  EXPECT_EQ(sceneStep, 2);

  press({{5000, B}, {5000, A}});
  EXPECT_EQ(sceneStep, 3);
  EXPECT_EQ(inputDebounceTime, T0);  // no key stamps here
  EXPECT_EQ(framesUntil(4), fadeFrames(titlePalette, 255, 4));
  EXPECT_EQ(fadeFrames(surfaceTable[0].palette, 255, 4), 1);  // white

  const uint32_t presents = headlessPresentCount();
  frameHandler();  // leaving: one frame of index 0 in the restored palette
  EXPECT_EQ(headlessPresentCount(), presents + 1);
  EXPECT_EQ(frameHandler, titleSceneFrame);
  EXPECT_EQ(tapHandler, titleSceneTap);
  EXPECT_TRUE(paletteIsTitles());
  EXPECT_TRUE(backBufferIsAllZero());
  EXPECT_EQ(takeSounds(), SILENCE);
}

}  // namespace
