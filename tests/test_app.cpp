// The shell on the headless backend: the window procedure's message table,
// the start-up's observable effects and the main loop's one message and one
// frame per pass.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "platform/backend.h"
#include "platform/gx.h"
#include "platform/headless/headless.h"
#include "screens/screens.h"

namespace {

std::vector<int32_t> keysSeen;
std::vector<POINT> tapsSeen;
int framesRun;

void recordKey(int32_t key) { keysSeen.push_back(key); }
void recordTap(int32_t x, int32_t y) { tapsSeen.push_back(POINT{x, y}); }
void countFrame() { ++framesRun; }

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    headlessClearMemoryRegistry();
    headlessSetRegistryDir(nullptr);
    headlessSetOtherInstance(false);
    mainWindow = nullptr;
    framesEnabled = 0;
    keysSeen.clear();
    tapsSeen.clear();
    framesRun = 0;
  }

  void TearDown() override {
    // Leave no program running for the next test.
    if (running) {
      headlessClose();
      for (int i = 0; i < 100 && running; ++i) pass();
    }
  }

  void start() {
    int code = -1;
    ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
    running = true;
  }

  // Start-up with recording handlers in place of the title menu, and an
  // empty queue.
  void startRecording() {
    start();
    frameHandler = countFrame;
    keyHandler = recordKey;
    tapHandler = recordTap;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // One pass; returns false once the program has ended.
  bool pass() {
    if (!running) return false;
    if (!appPass(&exitCode)) {
      appFinish();
      running = false;
    }
    return running;
  }

  bool running = false;
  int exitCode = -1;
};

TEST_F(AppTest, StartUpInstallsTheTitleAndPreparesTheDisplay) {
  start();
  EXPECT_EQ(appInstance, GetModuleHandleW(nullptr));
  EXPECT_NE(mainWindow, nullptr);
  EXPECT_EQ(framesEnabled, 1u);
  EXPECT_EQ(frameHandler, titleSceneFrame);
  EXPECT_EQ(keyHandler, titleSceneKey);
  EXPECT_EQ(tapHandler, titleSceneTap);
  EXPECT_EQ(sceneStep, 0);
  EXPECT_TRUE(headlessDisplayOpen());

  // Back buffer at display size, the two pictures loaded, all sprites cut
  // from the sheet, and the back buffer in the title picture's colours.
  EXPECT_EQ(surfaceTable[0].stride, 240);
  EXPECT_EQ(surfaceTable[0].height, 320);
  EXPECT_NE(surfaceTable[1].pixels, nullptr);
  EXPECT_NE(surfaceTable[2].pixels, nullptr);
  EXPECT_EQ(spriteSurface[DEFINED_SPRITES - 1], 2);
  EXPECT_EQ(std::memcmp(surfaceTable[0].palette, surfaceTable[1].palette, PALETTE_BYTES), 0);

  // Default keys in force, sound on at the very first start.
  GXKeyList defaults = platformDefaultKeys();
  const short expected[KEY_BINDING_COUNT] = {defaults.vkUp,    defaults.vkDown, defaults.vkLeft,
                                             defaults.vkRight, defaults.vkA,    defaults.vkB,
                                             defaults.vkC,     defaults.vkStart};
  for (int i = 0; i < KEY_BINDING_COUNT; ++i) EXPECT_EQ(keyBindings[i], expected[i]) << i;
  EXPECT_EQ(isSoundEnabled(), 1u);
}

TEST_F(AppTest, SecondInstanceOnlyBringsTheFirstForward) {
  headlessSetOtherInstance(true);
  int code = -1;
  EXPECT_FALSE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(headlessForegroundRequests(), 1);
  EXPECT_EQ(mainWindow, nullptr);
  EXPECT_EQ(framesEnabled, 0u);
  EXPECT_FALSE(headlessDisplayOpen());
  // The registry key was never created.
  HKEY key;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
}

struct ProcCase {
  const char *name;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool slotsEmpty;
  // What the call leaves behind.
  bool running;  // frames enabled, display open
  bool suspended;
  int paints;  // WM_PAINT (0, 0) posted
  bool quit;   // WM_QUIT (0) posted
  std::vector<int32_t> keys;
  std::vector<int32_t> taps;  // x, y pairs
};

class WindowProcTest : public AppTest, public ::testing::WithParamInterface<ProcCase> {};

TEST_P(WindowProcTest, MessageTable) {
  const ProcCase &c = GetParam();
  startRecording();
  if (c.slotsEmpty) {
    keyHandler = nullptr;
    tapHandler = nullptr;
  }
  EXPECT_EQ(windowProc(mainWindow, c.msg, c.wParam, c.lParam), 0);
  EXPECT_EQ(framesEnabled != 0, c.running);
  EXPECT_EQ(headlessDisplayOpen(), c.running);
  EXPECT_EQ(headlessSuspended(), c.suspended);
  EXPECT_EQ(keysSeen, c.keys);
  std::vector<int32_t> taps;
  for (const POINT &p : tapsSeen) taps.insert(taps.end(), {p.x, p.y});
  EXPECT_EQ(taps, c.taps);

  MSG msg;
  int paints = 0;
  bool quit = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_PAINT && msg.wParam == 0 && msg.lParam == 0) ++paints;
    if (msg.message == WM_QUIT && msg.wParam == 0) quit = true;
  }
  EXPECT_EQ(paints, c.paints);
  EXPECT_EQ(quit, c.quit);
  if (quit) running = false;
}

// The headless window's client area lies at the screen's origin, so the
// converted tap point equals the client point there.
INSTANTIATE_TEST_SUITE_P(
    Shell, WindowProcTest,
    ::testing::Values(
        ProcCase{"Create", WM_CREATE, 0, 0, false, true, false, 0, false, {}, {}},
        ProcCase{"SizeRestored", WM_SIZE, SIZE_RESTORED, 0, false, true, false, 0, false, {}, {}},
        ProcCase{"SizeMaximized",
                 WM_SIZE,
                 2,
                 MAKELPARAM(240, 320),
                 false,
                 true,
                 false,
                 0,
                 false,
                 {},
                 {}},
        ProcCase{"SizeMinimized", WM_SIZE, SIZE_MINIMIZED, 0, false, false, false, 0, true, {}, {}},
        ProcCase{"Destroy", WM_DESTROY, 0, 0, false, false, false, 0, true, {}, {}},
        // A close request reaches the default processing, which destroys.
        ProcCase{"Close", WM_CLOSE, 0, 0, false, false, false, 0, true, {}, {}},
        ProcCase{"Deactivate", WM_ACTIVATE, WA_INACTIVE, 0, false, true, true, 0, false, {}, {}},
        // Only the low 16 bits say whether the window became inactive.
        ProcCase{"DeactivateWhileMinimized",
                 WM_ACTIVATE,
                 0x10000 | WA_INACTIVE,
                 0,
                 false,
                 true,
                 true,
                 0,
                 false,
                 {},
                 {}},
        ProcCase{"Activate", WM_ACTIVATE, WA_ACTIVE, 0, false, true, false, 1, false, {}, {}},
        ProcCase{"ActivateByClick", WM_ACTIVATE, 2, 0, false, true, false, 1, false, {}, {}},
        ProcCase{
            "Key", WM_KEYDOWN, 0x12340026, 0x00490001, false, true, false, 0, false, {0x26}, {}},
        ProcCase{"KeyHighCode", WM_KEYDOWN, 0xFFFF, 0, false, true, false, 0, false, {0xFFFF}, {}},
        ProcCase{"KeyEmptySlot", WM_KEYDOWN, 0x26, 0, true, true, false, 0, false, {}, {}},
        ProcCase{"Tap",
                 WM_LBUTTONDOWN,
                 0,
                 MAKELPARAM(17, 300),
                 false,
                 true,
                 false,
                 0,
                 false,
                 {},
                 {17, 300}},
        // The halves are unsigned: 0xFFFF stays 65535.
        ProcCase{"TapHalvesUnsigned",
                 WM_LBUTTONDOWN,
                 0,
                 MAKELPARAM(0xFFFF, 0x8000),
                 false,
                 true,
                 false,
                 0,
                 false,
                 {},
                 {0xFFFF, 0x8000}},
        ProcCase{"TapEmptySlot",
                 WM_LBUTTONDOWN,
                 0,
                 MAKELPARAM(10, 20),
                 true,
                 true,
                 false,
                 0,
                 false,
                 {},
                 {}}),
    [](const ::testing::TestParamInfo<ProcCase> &info) { return std::string(info.param.name); });

TEST_F(AppTest, EachPassTakesOneMessageThenRunsOneFrame) {
  startRecording();
  headlessKey(0x41);
  headlessKey(0x42);
  headlessKey(0x43);
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(pass());
    EXPECT_EQ(static_cast<int>(keysSeen.size()), i);
    EXPECT_EQ(framesRun, i);
  }
  EXPECT_EQ(keysSeen, (std::vector<int32_t>{0x41, 0x42, 0x43}));
  // An empty queue still runs a frame.
  ASSERT_TRUE(pass());
  EXPECT_EQ(framesRun, 4);
}

TEST_F(AppTest, NoFramesWhileDisabledAndNoneAfterQuit) {
  startRecording();
  framesEnabled = 0;
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(pass());
  EXPECT_EQ(framesRun, 0);

  framesEnabled = 1;
  PostQuitMessage(7);
  EXPECT_FALSE(pass());
  EXPECT_EQ(exitCode, 7);
  EXPECT_EQ(framesRun, 0);
}

}  // namespace
