// The menu and screen Scenes driven directly through their handlers on the
// headless backend, with the real start-up behind them. Whole walks through
// the screens are in test_screens_scripts.cpp.
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

constexpr uint32_t kT0 = 100000;
// The default bindings: the arrows, Enter for Button A and Escape for B.
constexpr int kUp = VK_UP, kDown = VK_DOWN, kLeft = VK_LEFT, kRight = VK_RIGHT;
constexpr int kA = VK_RETURN, kB = VK_ESCAPE;
const std::vector<int> kConfirmSound{kWaveConfirm}, kCancelSound{kWaveCancel}, kSilence{};
Palette titlePalette;  // the back buffer's palette as start-up leaves it

struct Press {
  uint32_t ms;  // after the Scene's start
  int code;
};
struct Tap {
  int x, y;  // no tap at (0, 0)
};
struct Scene {
  FrameHandler frame;
  KeyHandler key;
  TapHandler tap;
};
const Scene kTitle = {titleSceneFrame, titleSceneKey, titleSceneTap};
const Scene kOption = {optionSceneFrame, optionSceneKey, optionSceneTap};
const Scene kAbout = {aboutSceneFrame, aboutSceneKey, nullptr};
const Scene kGameSelect = {gameSelectSceneFrame, gameSelectSceneKey, nullptr};
const Scene kPlayerSelect = {playerSelectSceneFrame, playerSelectSceneKey, nullptr};
const Scene kReady = {readySceneFrame, readySceneKey, nullptr};
const Scene kMatch = {matchSceneFrame, nullptr, nullptr};

void at(uint32_t ms) { headlessSetClock(kT0 + ms); }
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
  for (int i = 0; i < kPaletteEntries; ++i)
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
    getPalette(kBackSurface, titlePalette);
  }
  void SetUp() override {
    const int16_t defaults[kKeyBindingCount] = {kUp, kDown, kLeft, kRight, kA, kB, 0x43, 0x53};
    std::memcpy(keyBindings, defaults, sizeof defaults);
    setSoundEnabled(1);
    setPalette(kBackSurface, titlePalette);
    takeSounds();
  }
  // Installs a Scene and runs its first (initialising) frame at time 0.
  static void enter(const Scene &scene, int32_t untilStep = 0) {
    at(0);
    switchSceneWithTap(scene.frame, scene.key, scene.tap);
    frameHandler();
    EXPECT_EQ(inputDebounceTime, kT0);
    if (untilStep > 0) framesUntil(untilStep);
  }
};

// Keys count only 200 ms or more after the last press they stamped; the
// cursor stops at both ends. A tap ignores the spacing and the cursor and
// confirms the row it hits (x 128 to 230, rows of 32 from y 112).
TEST_F(ScreensTest, TitleKeySpacingClampingAndTapAreas) {
  const struct {
    const char *name;
    std::vector<Press> presses;
    Tap tap = {};  // at 201 ms, after the presses
    struct {
      int cursor, choice;
      uint32_t stamp;  // ms of the last stamped press
      int32_t step;
    } then;
  } cases[] = {
      {.name = "Up on the first row stays there but stamps the press",
       .presses = {{.ms = 200, .code = kUp}},
       .then = {.cursor = 0, .choice = -1, .stamp = 200, .step = kTitleChoosing}},
      {.name = "a second Down 199 ms after the first is ignored",
       .presses = {{.ms = 200, .code = kDown}, {.ms = 399, .code = kDown}},
       .then = {.cursor = 1, .choice = -1, .stamp = 200, .step = kTitleChoosing}},
      {.name = "B, Right and C do nothing and stamp nothing",
       .presses = {{.ms = 200, .code = kB}, {.ms = 200, .code = kRight}, {.ms = 200, .code = 'C'}},
       .then = {.cursor = 0, .choice = -1, .stamp = 0, .step = kTitleChoosing}},
      {.name = "the cursor stops on the last row",
       .presses = {{.ms = 200, .code = kDown},
                   {.ms = 400, .code = kDown},
                   {.ms = 600, .code = kDown},
                   {.ms = 800, .code = kDown}},
       .then = {.cursor = 3, .choice = -1, .stamp = 800, .step = kTitleChoosing}},
      {.name = "a tap left of the rows is ignored",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 127, .y = 112},
       .then = {.cursor = 1, .choice = -1, .stamp = 200, .step = kTitleChoosing}},
      {.name = "a tap on the first row's top left pixel confirms START",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 128, .y = 112},
       .then = {.cursor = 1, .choice = 0, .stamp = 200, .step = kTitleStartChosen}},
      {.name = "a tap right of the rows is ignored",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 231, .y = 112},
       .then = {.cursor = 1, .choice = -1, .stamp = 200, .step = kTitleChoosing}},
      {.name = "a tap above the rows is ignored",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 128, .y = 111},
       .then = {.cursor = 1, .choice = -1, .stamp = 200, .step = kTitleChoosing}},
      {.name = "a tap on the first row's last line confirms START",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 128, .y = 143},
       .then = {.cursor = 1, .choice = 0, .stamp = 200, .step = kTitleStartChosen}},
      {.name = "a tap on the second row's first line confirms OPTION",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 128, .y = 144},
       .then = {.cursor = 1, .choice = 1, .stamp = 200, .step = kTitleOptionChosen}},
      {.name = "a tap on the last row's bottom right pixel confirms QUIT",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 230, .y = 239},
       .then = {.cursor = 1, .choice = 3, .stamp = 200, .step = kTitleQuitChosen}},
      {.name = "a tap below the rows is ignored",
       .presses = {{.ms = 200, .code = kDown}},
       .tap = {.x = 230, .y = 240},
       .then = {.cursor = 1, .choice = -1, .stamp = 200, .step = kTitleChoosing}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    enter(kTitle);
    menuChoice = -1;
    press(c.presses);
    at(201);
    if (c.tap.x != 0) tapHandler(c.tap.x, c.tap.y);
    EXPECT_EQ(menuCursor, c.then.cursor);
    EXPECT_EQ(menuChoice, c.then.choice);
    EXPECT_EQ(inputDebounceTime - kT0, c.then.stamp) << "the last stamped press";
    EXPECT_EQ(sceneStep, c.then.step);
    EXPECT_EQ(anyEffectActive(), c.then.choice < 0 ? 0 : 1) << "the confirmation flash";
    if (c.then.choice >= 0) {
      EXPECT_EQ(effects[0].y, 120 + 32 * c.then.choice) << "the flash's row";
    }
  }
}

// Button A on a menu and on the ready screen: the choice is fixed, a second
// A, a tap or B change nothing, and the next Scene comes once the 25-frame
// flash is over. Button B goes back at once with the cancel sound.
TEST_F(ScreensTest, ConfirmAndCancelOnEveryMenu) {
  const struct {
    const char *name;
    Scene from;
    std::vector<Press> presses;  // then a tap at (200, 230) where the Scene takes taps
    int32_t step;
    int32_t pointX, pointY;  // where the flash started
    int32_t gameMode, playerCount;
    Scene to;
  } cases[] = {
      {.name = "title: A on OPTION; B, a second A and a tap change nothing",
       .from = kTitle,
       .presses = {{.ms = 200, .code = kDown},
                   {.ms = 400, .code = kA},
                   {.ms = 400, .code = kB},
                   {.ms = 400, .code = kA}},
       .step = kTitleOptionChosen,
       .pointX = 128,
       .pointY = 152,
       .gameMode = 2,
       .playerCount = 2,
       .to = kOption},
      {.name = "select game: A on 301; B afterwards changes nothing",
       .from = kGameSelect,
       .presses = {{.ms = 200, .code = kUp}, {.ms = 400, .code = kA}, {.ms = 400, .code = kB}},
       .step = kSetupConfirmed,
       .pointX = 16,
       .pointY = 72,
       .gameMode = kGame301,
       .playerCount = 2,
       .to = kPlayerSelect},
      {.name = "ready: A starts the match; B afterwards changes nothing",
       .from = kReady,
       .presses = {{.ms = 200, .code = kA}, {.ms = 200, .code = kB}},
       .step = kSetupConfirmed,
       .pointX = 112,
       .pointY = 200,
       .gameMode = 2,
       .playerCount = 2,
       .to = kMatch},
      {.name = "select game: B goes back to the title; A afterwards changes nothing",
       .from = kGameSelect,
       .presses = {{.ms = 199, .code = kB}, {.ms = 200, .code = kB}, {.ms = 200, .code = kA}},
       .step = kSetupCancelled,
       .pointX = 0,
       .pointY = 0,
       .gameMode = 2,
       .playerCount = 2,
       .to = kTitle},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    gameMode = playerCount = 2;
    confirmPointX = confirmPointY = 0;
    enter(c.from);
    press(c.presses);
    if (c.from.tap != nullptr) tapHandler(200, 230);
    EXPECT_EQ(sceneStep, c.step);
    EXPECT_EQ(confirmPointX, c.pointX);
    EXPECT_EQ(confirmPointY, c.pointY);
    EXPECT_EQ(gameMode, c.gameMode);
    EXPECT_EQ(playerCount, c.playerCount);
    const bool cancelled = c.step == kSetupCancelled && c.from.frame != titleSceneFrame;
    const int frames = cancelled ? 1 : 25;
    const uint32_t presents = headlessPresentCount();
    EXPECT_EQ(framesUntil(-1), frames) << "frames until the next Scene";
    EXPECT_EQ(headlessPresentCount(), presents + frames) << "the switching pass presents too";
    EXPECT_EQ(frameHandler, c.to.frame);
    EXPECT_EQ(keyHandler, c.to.key);
    EXPECT_EQ(tapHandler, c.to.tap);
    EXPECT_EQ(sceneStep, 0);
    EXPECT_EQ(takeSounds(), cancelled ? kCancelSound : kConfirmSound);
  }
}

// Option fades in from black by 8 a frame and out to black, About by 4 and
// out to white; completion is reported one call after the last change. Keys
// and taps during the fade-in do nothing and are not remembered; only the
// option screen stamps them.
TEST_F(ScreensTest, FadesInAndOutAndRestoreTheTitleOnLeaving) {
  const struct {
    const char *name;
    Scene scene;
    int fadeStep, outLevel;
    uint32_t stamp;  // of the presses during the fade-in
    int32_t leavingStep;
    uint32_t leavePresents;
  } cases[] = {
      {.name = "option",
       .scene = kOption,
       .fadeStep = 8,
       .outLevel = 0,
       .stamp = 300,
       .leavingStep = kOptionLeaving,
       .leavePresents = 0},
      {.name = "about",
       .scene = kAbout,
       .fadeStep = 4,
       .outLevel = 255,
       .stamp = 0,
       .leavingStep = kAboutLeaving,
       .leavePresents = 1},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    enter(c.scene);
    EXPECT_EQ(fadeFrames(surfaceTable[kBackSurface].palette, 0, c.fadeStep), 1) << "black";
    press({{300, kLeft}, {300, kA}, {300, kB}});
    if (tapHandler != nullptr) tapHandler(20, 70);
    EXPECT_EQ(sceneStep, 1) << "still fading in";
    EXPECT_EQ(inputDebounceTime - kT0, c.stamp);
    EXPECT_EQ(isSoundEnabled(), 1u);
    EXPECT_EQ(framesUntil(2), fadeFrames(titlePalette, 0, c.fadeStep)) << "frames fading in";
    for (int i = 0; i < 5; ++i) frameHandler();
    EXPECT_EQ(sceneStep, 2) << "showing until a key";
    press({{5000, kA}});
    EXPECT_EQ(framesUntil(c.leavingStep), fadeFrames(titlePalette, c.outLevel, c.fadeStep))
        << "frames fading out";
    EXPECT_EQ(fadeFrames(surfaceTable[kBackSurface].palette, c.outLevel, c.fadeStep), 1);
    const uint32_t presents = headlessPresentCount();
    frameHandler();  // leaving: About shows index 0 in the restored palette
    EXPECT_EQ(headlessPresentCount(), presents + c.leavePresents);
    // Back at the title, its palette restored, the back buffer cleared, silent.
    const Surface &s = surfaceTable[kBackSurface];
    EXPECT_EQ(frameHandler, titleSceneFrame);
    EXPECT_EQ(tapHandler, titleSceneTap);
    EXPECT_EQ(takeSounds(), kSilence);
    EXPECT_EQ(std::memcmp(s.palette, titlePalette, kPaletteBytes), 0) << "the title's palette";
    EXPECT_TRUE(std::all_of(s.pixels, s.pixels + s.stride * s.height, [](uint8_t p) { return !p; }))
        << "the back buffer cleared";
  }
}

// A tap picks the row whose caption it hits (captions 32, 64 or 128 wide
// from x 16, rows of 32 from y 64) and opens "Press The Button".
TEST_F(ScreensTest, OptionTapAreasAreTheCaptions) {
  const struct {
    const char *name;
    Tap tap;
    int item;  // row chosen, 1 to 7; 0 for none
  } cases[] = {
      {.name = "UP's last column", .tap = {.x = 47, .y = 64}, .item = 1},
      {.name = "right of UP", .tap = {.x = 48, .y = 64}, .item = 0},
      {.name = "DOWN's bottom right", .tap = {.x = 79, .y = 127}, .item = 2},
      {.name = "right of DOWN", .tap = {.x = 80, .y = 127}, .item = 0},
      {.name = "left of the captions", .tap = {.x = 15, .y = 100}, .item = 0},
      {.name = "BUTTON A's bottom right", .tap = {.x = 143, .y = 223}, .item = 5},
      {.name = "right of BUTTON A", .tap = {.x = 144, .y = 223}, .item = 0},
      {.name = "BUTTON B's top left", .tap = {.x = 16, .y = 224}, .item = 6},
      {.name = "BUTTON C's bottom right", .tap = {.x = 143, .y = 287}, .item = 7},
      {.name = "below the captions", .tap = {.x = 16, .y = 288}, .item = 0},
      {.name = "the sound switch", .tap = {.x = 200, .y = 20}, .item = 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    enter(kOption, kOptionIdle);
    keyConfigItem = 9;
    tapHandler(c.tap.x, c.tap.y);
    EXPECT_EQ(keyConfigItem, c.item);
    EXPECT_EQ(sceneStep, c.item != 0 ? kOptionWaitingForKey : kOptionIdle);
  }
}

// While "Press The Button" waits, the left Windows key and the input
// method's key are ignored and every other key, A and B included, becomes
// the chosen row's code without leaving.
TEST_F(ScreensTest, OptionPanelTakesAnyKeyButTheIgnoredTwo) {
  const struct {
    const char *name;
    int item;
    std::vector<Press> presses;
    int16_t bound;
    int32_t step;
  } cases[] = {
      {.name = "the left Windows key is ignored",
       .item = 1,
       .presses = {{.ms = 200, .code = VK_LWIN}},
       .bound = kUp,
       .step = kOptionWaitingForKey},
      {.name = "the input method's key is ignored",
       .item = 1,
       .presses = {{.ms = 200, .code = VK_PROCESSKEY}},
       .bound = kUp,
       .step = kOptionWaitingForKey},
      {.name = "a key 199 ms after the tap is ignored",
       .item = 1,
       .presses = {{.ms = 199, .code = 'Q'}},
       .bound = kUp,
       .step = kOptionWaitingForKey},
      {.name = "A after an ignored key is taken as the code",
       .item = 1,
       .presses = {{.ms = 200, .code = VK_LWIN}, {.ms = 200, .code = kA}},
       .bound = kA,
       .step = kOptionIdle},
      {.name = "B is taken as the code",
       .item = 6,
       .presses = {{.ms = 200, .code = kB}},
       .bound = kB,
       .step = kOptionIdle},
      {.name = "only the first key is taken",
       .item = 5,
       .presses = {{.ms = 200, .code = 'W'}, {.ms = 300, .code = 'W'}},
       .bound = 'W',
       .step = kOptionIdle},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    enter(kOption, kOptionIdle);
    tapHandler(20, 64 + 32 * (c.item - 1));
    ASSERT_EQ(sceneStep, kOptionWaitingForKey);
    press(c.presses);
    EXPECT_EQ(keyBindings[c.item - 1], c.bound);
    EXPECT_EQ(sceneStep, c.step);
    keyBindings[c.item - 1] = c.item == 6 ? kB : c.item == 5 ? kA : kUp;
  }
}

// A code of 0x8000 or more is negative as a signed 16-bit binding; its row
// shows the low three decimal digits of the unsigned code, not stray sprites.
TEST_F(ScreensTest, OptionShowsHighCodesAsUnsignedDigits) {
  std::vector<uint8_t> rows[2];
  for (int16_t code : {static_cast<int16_t>(535), static_cast<int16_t>(0xFFFF)}) {
    keyBindings[kKeyUp] = code;
    enter(kOption, kOptionIdle);
    const Surface &s = surfaceTable[kBackSurface];
    for (int y = 64; y < 96; ++y)
      rows[code < 0].insert(rows[code < 0].end(), &s.pixels[y * s.stride + 160],
                            &s.pixels[y * s.stride + 208]);
  }
  EXPECT_EQ(rows[0], rows[1]);
}

}  // namespace
