// The real program run in this process with the host on, pass by pass: a
// small driver for tests that need more than a replay script can say
// (loops until a screen comes, the pad's menu button, the host's state).
#pragma once

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/scene.h"
#include "game/match.h"
#include "host/host.h"
#include "host/host_internal.h"
#include "platform/headless/headless.h"
#include "screens/screens.h"

struct HostDriver {
  int code = 0;
  bool running = false;

  // Starts the program afresh, the host on, settings in memory only.
  void start() {
    headlessReset();
    headlessClearMemoryRegistry();
    headlessSetRegistryDir(nullptr);
    running = appStart(GetModuleHandleW(nullptr), SW_SHOW, &code);
    hostResetForTests();
    hostEnable(true);
    hostStart();
    headlessSetClock(100000);
    run(20);
  }
  void pass() {
    if (running && !appPass(&code)) running = false;
    headlessAdvanceClock(16);
  }
  void run(int passes) {
    for (int i = 0; i < passes; ++i) pass();
  }
  // A key pressed and held for one pass (its message and its held state),
  // then let go, then time past the game's gap between presses.
  void press(int vk, int after = 14) {
    headlessHold(vk, true);
    headlessKey(vk);
    pass();
    headlessHold(vk, false);
    run(after);
  }
  // Passes until the game shows this scene and step; false if it never does.
  bool reach(HostScene scene, int32_t step, int limit = 2000) {
    for (int i = 0; i < limit && running; ++i) {
      if (hostLastView().scene == scene && sceneStep == step) return true;
      pass();
    }
    return false;
  }
  // From the title with Enter through "301" and one player to the ready
  // screen, past the input gap; false if a screen never comes.
  bool toReady() {
    const HostScene screens[] = {HostScene::kGameSelect, HostScene::kPlayerSelect,
                                 HostScene::kReady};
    for (HostScene screen : screens) {
      press(VK_RETURN);
      if (!reach(screen, kSetupChoosing)) return false;
      run(14);
    }
    return true;
  }
  void finish() {
    headlessClose();
    for (int i = 0; i < 200 && running; ++i) pass();
    hostEnable(false);
    hostResetForTests();
  }
};
