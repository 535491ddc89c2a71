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
  struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };
  struct After {
    bool running, suspended;
    int paints;
    bool quit;
    std::vector<int32_t> seen;
  };
  const struct {
    const char *name;
    Message message;
    bool slotsEmpty = false;  // no key or tap handler installed
    After after;
  } cases[] = {
      {.name = "a maximised size changes nothing",
       .message = {.msg = WM_SIZE, .wParam = 2, .lParam = MAKELPARAM(240, 320)},
       .after = {.running = true, .suspended = false, .paints = 0, .quit = false, .seen = {}}},
      {.name = "minimising destroys the window and ends the program",
       .message = {.msg = WM_SIZE, .wParam = SIZE_MINIMIZED, .lParam = 0},
       .after = {.running = false, .suspended = false, .paints = 0, .quit = true, .seen = {}}},
      {.name = "destroying the window stops frames, closes the display and posts the quit",
       .message = {.msg = WM_DESTROY, .wParam = 0, .lParam = 0},
       .after = {.running = false, .suspended = false, .paints = 0, .quit = true, .seen = {}}},
      {.name = "a close request's default processing destroys the window",
       .message = {.msg = WM_CLOSE, .wParam = 0, .lParam = 0},
       .after = {.running = false, .suspended = false, .paints = 0, .quit = true, .seen = {}}},
      {.name = "deactivation suspends the display",
       .message = {.msg = WM_ACTIVATE, .wParam = WA_INACTIVE, .lParam = 0},
       .after = {.running = true, .suspended = true, .paints = 0, .quit = false, .seen = {}}},
      {.name = "only the low 16 bits say whether the window became inactive",
       .message = {.msg = WM_ACTIVATE, .wParam = 0x10000 | WA_INACTIVE, .lParam = 0},
       .after = {.running = true, .suspended = true, .paints = 0, .quit = false, .seen = {}}},
      {.name = "activation resumes the display and asks for a paint",
       .message = {.msg = WM_ACTIVATE, .wParam = WA_ACTIVE, .lParam = 0},
       .after = {.running = true, .suspended = false, .paints = 1, .quit = false, .seen = {}}},
      {.name = "activation by a click does the same",
       .message = {.msg = WM_ACTIVATE, .wParam = 2, .lParam = 0},
       .after = {.running = true, .suspended = false, .paints = 1, .quit = false, .seen = {}}},
      {.name = "a key reaches the key handler as the low 16 bits of its code",
       .message = {.msg = WM_KEYDOWN, .wParam = 0x12340026, .lParam = 0x00490001},
       .after = {.running = true, .suspended = false, .paints = 0, .quit = false, .seen = {0x26}}},
      {.name = "a key code of 0xFFFF stays 0xFFFF",
       .message = {.msg = WM_KEYDOWN, .wParam = 0xFFFF, .lParam = 0},
       .after =
           {.running = true, .suspended = false, .paints = 0, .quit = false, .seen = {0xFFFF}}},
      {.name = "a key with no key handler is dropped",
       .message = {.msg = WM_KEYDOWN, .wParam = 0x26, .lParam = 0},
       .slotsEmpty = true,
       .after = {.running = true, .suspended = false, .paints = 0, .quit = false, .seen = {}}},
      {.name = "a tap reaches the tap handler at its point",
       .message = {.msg = WM_LBUTTONDOWN, .wParam = 0, .lParam = MAKELPARAM(17, 300)},
       .after =
           {.running = true, .suspended = false, .paints = 0, .quit = false, .seen = {17, 300}}},
      {.name = "the point's halves are unsigned: 0xFFFF stays 65535",
       .message = {.msg = WM_LBUTTONDOWN, .wParam = 0, .lParam = MAKELPARAM(0xFFFF, 0x8000)},
       .after = {.running = true,
                 .suspended = false,
                 .paints = 0,
                 .quit = false,
                 .seen = {0xFFFF, 0x8000}}},
      {.name = "a tap with no tap handler is dropped",
       .message = {.msg = WM_LBUTTONDOWN, .wParam = 0, .lParam = MAKELPARAM(10, 20)},
       .slotsEmpty = true,
       .after = {.running = true, .suspended = false, .paints = 0, .quit = false, .seen = {}}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    startRecording();
    if (c.slotsEmpty) keyHandler = nullptr, tapHandler = nullptr;
    EXPECT_EQ(windowProc(mainWindow, c.message.msg, c.message.wParam, c.message.lParam), 0);
    EXPECT_EQ(framesEnabled != 0, c.after.running) << "frames enabled";
    EXPECT_EQ(headlessDisplayOpen(), c.after.running) << "display open";
    EXPECT_EQ(headlessSuspended(), c.after.suspended) << "display suspended";
    EXPECT_EQ(seen, c.after.seen) << "what the handlers saw";
    MSG msg;
    int paints = 0;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      paints += msg.message == WM_PAINT && msg.wParam == 0 && msg.lParam == 0;
      quit = quit || (msg.message == WM_QUIT && msg.wParam == 0);
    }
    EXPECT_EQ(paints, c.after.paints) << "paint requests posted";
    EXPECT_EQ(quit, c.after.quit) << "quit posted";
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
