// The desktop game in this process on SDL's offscreen video driver, played
// with SDL's virtual gamepad (SDL_JoystickAttachVirtualEx): the pad's
// buttons and stick reach the game as the codes bound to its buttons, a
// press shorter than a pass is still seen for one pass, and pads come and go
// while the game runs.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "host/host.h"
#include "platform/sdl/logic.h"
#include "platform/winapi.h"

namespace {

class DesktopPad : public ::testing::Test {
 protected:
  // One private home for the whole run: the backend finds its folders once.
  static void SetUpTestSuite() {
    static char dir[] = "/tmp/tobelyn-pad-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    home_ = dir;
    setenv("HOME", dir, 1);
    setenv("XDG_CONFIG_HOME", dir, 1);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // An offscreen window never has the focus, and SDL gives pad events
    // only to a focused program unless told otherwise.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  }
  static void TearDownTestSuite() {
    std::string cmd = "rm -rf '" + home_ + "'";
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
  void SetUp() override {
    unlink((home_ + "/tobelyn/settings").c_str());  // the default bindings
    int code = 0;
    ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
    // The pads are opened after the first frame; the title takes keys once
    // its first 200 ms have passed.
    passes(20);
  }
  void TearDown() override {
    for (int pad : attached_) SDL_JoystickDetachVirtual(pad);
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    int code = 0;
    for (int i = 0; i < 200 && appPass(&code); ++i) {
    }
    appFinish();
    sdlb::instanceRelease();  // the next test's start takes the lock again
  }

  void passes(int n) {
    int code = 0;
    for (int i = 0; i < n; ++i) ASSERT_TRUE(appPass(&code));
  }

  // A virtual game controller with every standard button and axis, where
  // button k is SDL_CONTROLLER_BUTTON k. Returns the open joystick.
  SDL_Joystick *attach() {
    SDL_VirtualJoystickDesc d;
    SDL_zero(d);
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    d.name = "virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&d);
    EXPECT_GE(index, 0) << SDL_GetError();
    attached_.push_back(index);
    SDL_Joystick *js = SDL_JoystickOpen(index);
    EXPECT_NE(js, nullptr) << SDL_GetError();
    passes(3);  // the game sees the pad arrive
    return js;
  }

  // Down for two passes, up, then 250 ms for the 200 ms input gap.
  void press(SDL_Joystick *js, int button) {
    SDL_JoystickSetVirtualButton(js, button, 1);
    passes(2);
    SDL_JoystickSetVirtualButton(js, button, 0);
    passes(15);
  }

  bool aHeld() { return (GetAsyncKeyState(keyBindings[kButtonA]) & 0x8000) != 0; }

  static std::string home_;
  std::vector<int> attached_;
};

std::string DesktopPad::home_;

}  // namespace

TEST_F(DesktopPad, DirectionsFromThePadAndStickMoveTheMenuOncePerPush) {
  SDL_Joystick *pad = attach();
  ASSERT_EQ(menuCursor, 0);
  press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(menuCursor, 1) << "the direction pad's down is Down";

  // Pushed past the dead zone and held there for half a second: one press.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 30000);
  passes(30);
  EXPECT_EQ(menuCursor, 2) << "a stick held down moves the cursor once";
  // Eased back to 40%: inside the press threshold but outside the release
  // one, so still the same push; then pushed again.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 13000);
  passes(3);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 30000);
  passes(15);
  EXPECT_EQ(menuCursor, 2) << "wobbling near the edge is not a new push";
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
  passes(3);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -30000);
  passes(15);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 2000);  // in the dead zone
  passes(15);
  EXPECT_EQ(menuCursor, 1) << "back to the centre and up: one press Up";
}

TEST_F(DesktopPad, AButtonSendsTheCodeBoundToItNow) {
  SDL_Joystick *pad = attach();
  keyBindings[kKeyDown] = 'J';  // as the option screen would redefine it
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1);
  passes(2);
  EXPECT_NE(GetAsyncKeyState('J') & 0x8000, 0) << "the pad holds the newly bound code";
  EXPECT_EQ(GetAsyncKeyState(VK_DOWN) & 0x8000, 0) << "and not the old one";
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0);
  passes(15);
  EXPECT_EQ(menuCursor, 1) << "the title takes the pad's press as Down";
  press(pad, SDL_CONTROLLER_BUTTON_START);
  press(pad, SDL_CONTROLLER_BUTTON_Y);  // C: no action on the title
  EXPECT_EQ(menuCursor, 1);
}

TEST_F(DesktopPad, QuickPressIsSeenForOnePassAndAnUnpluggedPadHoldsNothing) {
  SDL_Joystick *pad = attach();
  // Down and up before the game looks: the next pass still sees A held,
  // the one after does not.
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickUpdate();
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the events of this pass
  EXPECT_TRUE(aHeld()) << "a press shorter than a pass is latched for that pass";
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_FALSE(aHeld()) << "and only for that pass";

  // Held, then the pad is pulled out: nothing stays held.
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  passes(2);
  EXPECT_TRUE(aHeld());
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(attached_.back());
  attached_.pop_back();
  passes(3);
  EXPECT_FALSE(aHeld()) << "an unplugged pad leaves no button held";

  // A pad plugged in mid-game is used at once.
  SDL_Joystick *second = attach();
  press(second, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(menuCursor, 1) << "a pad plugged in while the game runs plays at once";
}

namespace {

TEST_F(DesktopPad, BackCallsUpTheMenuWhichHoldsTheGameStill) {
  hostEnable(true);
  hostStart();
  SDL_Joystick *pad = attach();
  press(pad, SDL_CONTROLLER_BUTTON_BACK);
  EXPECT_TRUE(hostMenuOpen()) << "Back opens the menu";
  press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(menuCursor, 0) << "the title's cursor stays while the menu is open";
  EXPECT_STREQ(hostPageName(), "menu");
  press(pad, SDL_CONTROLLER_BUTTON_BACK);
  EXPECT_FALSE(hostMenuOpen()) << "Back again closes it";
  press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(menuCursor, 1) << "and the pad is the game's again";
  hostEnable(false);
}

}  // namespace
