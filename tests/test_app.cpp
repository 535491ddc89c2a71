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
int framesWithDisplayClosed;

void recordKey(int32_t key) { keysSeen.push_back(key); }
void recordTap(int32_t x, int32_t y) { tapsSeen.push_back(POINT{x, y}); }
void countFrame() {
  ++framesRun;
  if (!headlessDisplayOpen()) ++framesWithDisplayClosed;
}

// Takes every queued message without dispatching it; counts WM_PAINTs.
int drainQueue(int *paints) {
  MSG msg;
  int taken = 0;
  *paints = 0;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ++taken;
    if (msg.message == WM_PAINT && msg.wParam == 0 && msg.lParam == 0) ++*paints;
  }
  return taken;
}

// Reads one stored setting; false when it is absent.
bool storedValue(const wchar_t *name, DWORD *type, std::vector<BYTE> *bytes) {
  HKEY key;
  DWORD disposition;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  BYTE buffer[64];
  DWORD size = sizeof buffer;
  LONG result = RegQueryValueExW(key, name, nullptr, type, buffer, &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  bytes->assign(buffer, buffer + size);
  return true;
}

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
    framesWithDisplayClosed = 0;
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
    int paints;
    drainQueue(&paints);
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
  for (int32_t i = 0; i < DEFINED_SPRITES; ++i) {
    EXPECT_EQ(spriteSurface[i], 2) << "sprite " << i;
    EXPECT_EQ(spriteW[i], spriteSheetTable[i].w) << "sprite " << i;
  }
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
  // Effects after the call.
  bool framesOn;
  bool displayOpen;
  bool suspended;
  int paintsPosted;
  bool quitPosted;
  int keysDelivered;
  int tapsDelivered;
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
  EXPECT_EQ(framesEnabled != 0, c.framesOn);
  EXPECT_EQ(headlessDisplayOpen(), c.displayOpen);
  EXPECT_EQ(headlessSuspended(), c.suspended);
  EXPECT_EQ(static_cast<int>(keysSeen.size()), c.keysDelivered);
  EXPECT_EQ(static_cast<int>(tapsSeen.size()), c.tapsDelivered);

  MSG msg;
  int paints = 0;
  bool quit = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_PAINT && msg.wParam == 0 && msg.lParam == 0) ++paints;
    if (msg.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(msg.wParam, 0u);
    }
  }
  EXPECT_EQ(paints, c.paintsPosted);
  EXPECT_EQ(quit, c.quitPosted);
  if (quit) running = false;
}

INSTANTIATE_TEST_SUITE_P(
    Shell, WindowProcTest,
    ::testing::Values(
        //        name                msg             wParam          lParam empty  frames
        //        display suspended paints quit keys taps
        ProcCase{"Create", WM_CREATE, 0, 0, false, true, true, false, 0, false, 0, 0},
        ProcCase{"SizeRestored", WM_SIZE, SIZE_RESTORED, 0, false, true, true, false, 0, false, 0,
                 0},
        ProcCase{"SizeOther", WM_SIZE, 4, MAKELPARAM(240, 320), false, true, true, false, 0, false,
                 0, 0},
        ProcCase{"SizeMinimized", WM_SIZE, SIZE_MINIMIZED, 0, false, false, false, false, 0, true,
                 0, 0},
        ProcCase{"Destroy", WM_DESTROY, 0, 0, false, false, false, false, 0, true, 0, 0},
        ProcCase{"Deactivate", WM_ACTIVATE, WA_INACTIVE, 0, false, true, true, true, 0, false, 0,
                 0},
        // Only the low 16 bits say whether the window became inactive.
        ProcCase{"DeactivateMinimizedFlag", WM_ACTIVATE, 0x10000 | WA_INACTIVE, 0, false, true,
                 true, true, 0, false, 0, 0},
        ProcCase{"Activate", WM_ACTIVATE, WA_ACTIVE, 0, false, true, true, false, 1, false, 0, 0},
        ProcCase{"ActivateByClick", WM_ACTIVATE, 2, 0, false, true, true, false, 1, false, 0, 0},
        ProcCase{"Key", WM_KEYDOWN, 0x26, 0, false, true, true, false, 0, false, 1, 0},
        ProcCase{"KeyEmptySlot", WM_KEYDOWN, 0x26, 0, true, true, true, false, 0, false, 0, 0},
        ProcCase{"Tap", WM_LBUTTONDOWN, 0, MAKELPARAM(10, 20), false, true, true, false, 0, false,
                 0, 1},
        ProcCase{"TapEmptySlot", WM_LBUTTONDOWN, 0, MAKELPARAM(10, 20), true, true, true, false, 0,
                 false, 0, 0}),
    [](const ::testing::TestParamInfo<ProcCase> &info) { return std::string(info.param.name); });

TEST_F(AppTest, KeyHandlerGetsTheLow16BitsOfTheKeyCode) {
  startRecording();
  windowProc(mainWindow, WM_KEYDOWN, 0x12340026, 0x00490001);
  windowProc(mainWindow, WM_KEYDOWN, 0xFFFF, 0);
  ASSERT_EQ(keysSeen.size(), 2u);
  EXPECT_EQ(keysSeen[0], 0x26);
  EXPECT_EQ(keysSeen[1], 0xFFFF);
}

TEST_F(AppTest, TapReachesTheHandlerAtTheScreenPoint) {
  startRecording();
  // Halves are unsigned: 0xFFFF stays 65535, not -1.
  const POINT clientPoints[] = {{0, 0}, {17, 300}, {239, 319}, {0xFFFF, 5}};
  for (const POINT &p : clientPoints) {
    tapsSeen.clear();
    windowProc(mainWindow, WM_LBUTTONDOWN, 0,
               MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
    POINT screen = p;
    ClientToScreen(mainWindow, &screen);
    ASSERT_EQ(tapsSeen.size(), 1u);
    EXPECT_EQ(tapsSeen[0].x, screen.x) << p.x << "," << p.y;
    EXPECT_EQ(tapsSeen[0].y, screen.y) << p.x << "," << p.y;
  }
}

TEST_F(AppTest, OtherMessagesGoToTheDefaultProcessing) {
  startRecording();
  // A close request handed to the default processing destroys the window,
  // which stops frames before the display closes.
  windowProc(mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(framesEnabled, 0u);
  EXPECT_FALSE(headlessDisplayOpen());
  EXPECT_FALSE(pass());
  EXPECT_EQ(framesRun, 0);
}

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

struct EndCase {
  const char *name;
  void (*request)();
};

class AppEndTest : public AppTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(AppEndTest, EndsWithZeroAndSavesTheSettings) {
  startRecording();
  GetParam().request();
  int passes = 0;
  while (pass() && passes < 100) ++passes;
  EXPECT_FALSE(running);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(framesWithDisplayClosed, 0);
  EXPECT_FALSE(headlessDisplayOpen());
  for (const wchar_t *name : settingValueNames) {
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(storedValue(name, &type, &bytes));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(bytes.size(), 2u);
  }
}

INSTANTIATE_TEST_SUITE_P(Shell, AppEndTest,
                         ::testing::Values(EndCase{"Minimize", headlessMinimize},
                                           EndCase{"Close", headlessClose}),
                         [](const ::testing::TestParamInfo<EndCase> &info) {
                           return std::string(info.param.name);
                         });

}  // namespace
