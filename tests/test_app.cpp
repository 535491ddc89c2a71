// The shell on the headless backend: the start-up's observable effects, the
// window procedure's message table and the main loop's one message and one
// frame per pass.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
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

std::vector<int32_t> seen;  // keys, and x, y of taps
int framesRun;

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    headlessClearMemoryRegistry();
    headlessSetRegistryDir(nullptr);
    headlessSetOtherInstance(false);
    mainWindow = nullptr;
    framesEnabled = 0;
    seen.clear();
    framesRun = 0;
  }
  void TearDown() override {  // leave no program running for the next test
    if (running) headlessClose();
    for (int i = 0; i < 100 && running; ++i) pass();
  }
  // Start-up, then recording handlers in place of the title's and an empty
  // queue.
  void startRecording() {
    int code = -1;
    ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
    running = true;
    frameHandler = [] { ++framesRun; };
    keyHandler = [](int32_t key) { seen.push_back(key); };
    tapHandler = [](int32_t x, int32_t y) { seen.insert(seen.end(), {x, y}); };
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  bool pass() {  // one pass; false once the program has ended
    if (running && !appPass(&exitCode)) appFinish(), running = false;
    return running;
  }
  bool running = false;
  int exitCode = -1;
};

TEST_F(AppTest, SecondInstanceOnlyBringsTheFirstForward) {
  headlessSetOtherInstance(true);
  int code = -1;
  EXPECT_FALSE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(headlessForegroundRequests(), 1);
  EXPECT_EQ(mainWindow, nullptr);
  EXPECT_EQ(framesEnabled, 0u);
  EXPECT_FALSE(headlessDisplayOpen());
  HKEY key;  // the settings key was never created
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
}

// The headless window's client area lies at the screen's origin, so a tap
// reaches the handler at its client point.
TEST_F(AppTest, WindowProcedureMessageTable) {
  // running: frames enabled and display open; paints: WM_PAINT (0, 0) posted;
  // quit: WM_QUIT (0) posted; seen: keys, and x, y of taps.
  // clang-format off
  const struct { const char *name; UINT msg; WPARAM wParam; LPARAM lParam; bool slotsEmpty, running, suspended; int paints; bool quit; std::vector<int32_t> seen; } cases[] = {
      {"Create", WM_CREATE, 0, 0, false, true, false, 0, false, {}},
      {"SizeRestored", WM_SIZE, SIZE_RESTORED, 0, false, true, false, 0, false, {}},
      {"SizeMaximized", WM_SIZE, 2, MAKELPARAM(240, 320), false, true, false, 0, false, {}},
      {"SizeMinimized", WM_SIZE, SIZE_MINIMIZED, 0, false, false, false, 0, true, {}},
      {"Destroy", WM_DESTROY, 0, 0, false, false, false, 0, true, {}},
      {"Close", WM_CLOSE, 0, 0, false, false, false, 0, true, {}},  // default processing destroys
      {"Deactivate", WM_ACTIVATE, WA_INACTIVE, 0, false, true, true, 0, false, {}},
      // Only the low 16 bits say whether the window became inactive.
      {"DeactivateWhileMinimized", WM_ACTIVATE, 0x10000 | WA_INACTIVE, 0, false, true, true, 0, false, {}},
      {"Activate", WM_ACTIVATE, WA_ACTIVE, 0, false, true, false, 1, false, {}},
      {"ActivateByClick", WM_ACTIVATE, 2, 0, false, true, false, 1, false, {}},
      {"Key", WM_KEYDOWN, 0x12340026, 0x00490001, false, true, false, 0, false, {0x26}},
      {"KeyHighCode", WM_KEYDOWN, 0xFFFF, 0, false, true, false, 0, false, {0xFFFF}},
      {"KeyEmptySlot", WM_KEYDOWN, 0x26, 0, true, true, false, 0, false, {}},
      {"Tap", WM_LBUTTONDOWN, 0, MAKELPARAM(17, 300), false, true, false, 0, false, {17, 300}},
      // The halves are unsigned: 0xFFFF stays 65535.
      {"TapHalvesUnsigned", WM_LBUTTONDOWN, 0, MAKELPARAM(0xFFFF, 0x8000), false, true, false, 0, false, {0xFFFF, 0x8000}},
      {"TapEmptySlot", WM_LBUTTONDOWN, 0, MAKELPARAM(10, 20), true, true, false, 0, false, {}},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    startRecording();
    if (c.slotsEmpty) keyHandler = nullptr, tapHandler = nullptr;
    EXPECT_EQ(windowProc(mainWindow, c.msg, c.wParam, c.lParam), 0);
    EXPECT_EQ(std::make_tuple(framesEnabled != 0, headlessDisplayOpen(), headlessSuspended()),
              std::make_tuple(c.running, c.running, c.suspended));
    EXPECT_EQ(seen, c.seen);
    MSG msg;
    int paints = 0;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      paints += msg.message == WM_PAINT && msg.wParam == 0 && msg.lParam == 0;
      quit = quit || (msg.message == WM_QUIT && msg.wParam == 0);
    }
    EXPECT_EQ(std::make_tuple(paints, quit), std::make_tuple(c.paints, c.quit));
    running = running && !quit;
    TearDown();
  }
}

TEST_F(AppTest, EachPassTakesOneMessageThenRunsOneFrame) {
  startRecording();
  for (int32_t key : {0x41, 0x42, 0x43}) headlessKey(key);
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(pass());
    EXPECT_EQ(std::make_tuple(seen.size(), framesRun), std::make_tuple(size_t(i), i));
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{0x41, 0x42, 0x43}));
  ASSERT_TRUE(pass());  // an empty queue still runs a frame
  EXPECT_EQ(framesRun, 4);
  // No frames while disabled, and none in the pass that takes the quit.
  framesEnabled = 0;
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(pass());
  framesEnabled = 1;
  PostQuitMessage(7);
  EXPECT_FALSE(pass());
  EXPECT_EQ(std::make_tuple(exitCode, framesRun), std::make_tuple(7, 4));
}

}  // namespace
