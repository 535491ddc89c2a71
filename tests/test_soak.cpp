// Soak: the whole program on the headless backend under a long stream of
// random input - key presses, held buttons, taps, activation changes,
// minimising, closing and clock jumps across the 32-bit wrap. The program is
// started again whenever it ends. Every Scene must be reached, nothing may
// fault, and the heap must stay flat. It runs twice: with the host off (the
// game alone) and on (its menu, pages, hints and seats around the game).
//
//   TOBELYN_SOAK_PASSES  passes of the main loop (default 60000)
//   TOBELYN_SOAK_SEED    seed of the input stream (default 1)
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "host/host.h"
#include "host/host_internal.h"
#include "platform/headless/headless.h"
#include "screens/screens.h"

// The address checker's count of bytes in use, where it is linked in (its
// header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace {

const FrameHandler sceneFrames[] = {
    titleSceneFrame, gameSelectSceneFrame, playerSelectSceneFrame, readySceneFrame,
    matchSceneFrame, optionSceneFrame,     aboutSceneFrame,
};
const char *const sceneNames[] = {"TitleScene", "GameSelectScene", "PlayerSelectScene",
                                  "ReadyScene", "MatchScene",      "OptionScene",
                                  "AboutScene"};
constexpr int kSceneCount = 7;

uint64_t envNumber(const char *name, uint64_t fallback) {
  const char *text = std::getenv(name);
  return text == nullptr || *text == 0 ? fallback : std::strtoull(text, nullptr, 0);
}

// Bytes the program holds on the heap now.
size_t heapInUse() {
  if (__sanitizer_get_current_allocated_bytes) return __sanitizer_get_current_allocated_bytes();
  return mallinfo2().uordblks;
}

int sceneIndex() {
  for (int i = 0; i < kSceneCount; ++i)
    if (frameHandler == sceneFrames[i]) return i;
  return -1;
}

enum Input {
  kKeys,
  kHolds,
  kTaps,
  kActivations,
  kMinimises,
  kCloses,
  kClockJumps,
  kWraps,
  kInputKinds
};
const char *const inputNames[] = {"keys",      "holds",  "taps",        "activations",
                                  "minimises", "closes", "clock jumps", "wraps"};

struct Soaker {
  std::mt19937 rng;
  unsigned long long restarts = 0, done[kInputKinds] = {}, visits[kSceneCount] = {};
  bool inactive = false;
  bool host = false;

  Soaker(uint32_t seed, bool hostOn) : rng(seed), host(hostOn) {}

  uint32_t below(uint32_t n) { return static_cast<uint32_t>(rng() % n); }
  bool chance(uint32_t perMillion) { return below(1000000) < perMillion; }
  // Whether an input of this kind comes now (counting it if so).
  bool comes(uint32_t perMillion, Input kind) { return chance(perMillion) && ++done[kind]; }

  // A key code: mostly one of the bound buttons, so that the menus are
  // walked, otherwise anything a key message can carry.
  int pickKey() {
    uint32_t r = below(100);
    if (r < 30) return keyBindings[kButtonA];
    if (r < 45) return keyBindings[kKeyDown];
    if (r < 55) return keyBindings[kKeyUp];
    if (r < 65) return keyBindings[kButtonB];
    if (r < 80) return keyBindings[below(kKeyBindingCount)];
    return static_cast<int>(r < 95 ? below(256) : below(0x10000));
  }

  void start() {
    headlessReset();
    headlessSetRegistryDir(nullptr);
    // Now and then a machine that has never run the game: stray bindings
    // from the option screen do not stay for ever.
    if (chance(300000)) headlessClearMemoryRegistry();
    headlessSetClock(rng());
    inactive = false;
    int code = 0;
    ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
    hostResetForTests();
    hostEnable(host);
    if (host) hostStart();
  }

  // Random input queued before one pass.
  void feed() {
    if (comes(80000, kKeys)) headlessKey(pickKey());
    if (comes(30000, kHolds)) {
      int vk = below(3) == 0 ? static_cast<int>(below(256)) : keyBindings[kButtonA];
      headlessHold(vk, below(2) == 0);
    }
    if (comes(15000, kTaps)) {
      // Mostly on the screen, sometimes anywhere a tap can say.
      bool wild = below(10) == 0;
      headlessTap(static_cast<int>(wild ? below(0x10000) : below(240)),
                  static_cast<int>(wild ? below(0x10000) : below(320)));
    }
    if (comes(inactive ? 50000 : 2000, kActivations)) {
      inactive = !inactive;
      headlessActivate(!inactive);
    }
    if (comes(40, kMinimises)) headlessMinimize();
    if (comes(40, kCloses)) headlessClose();
  }

  // The clock after one pass: frame-sized steps, now and then a long pause
  // or a jump to just before the 32-bit wrap.
  void tick() {
    if (comes(1000, kClockJumps))
      headlessAdvanceClock(below(60000));
    else if (comes(500, kWraps))
      headlessSetClock(0xFFFFFFFFu - below(5000));
    else
      headlessAdvanceClock(below(34));
  }

  void pass() {
    feed();
    int code = 0;
    if (!appPass(&code)) {
      EXPECT_EQ(code, 0);
      appFinish();
      ++restarts;
      start();
      return;
    }
    int scene = sceneIndex();
    ASSERT_GE(scene, 0) << "the frame handler is none of the seven Scenes";
    ++visits[scene];
    tick();
  }
};

class Soak : public ::testing::TestWithParam<bool> {};

TEST_P(Soak, RandomInputReachesEveryScene) {
  const uint64_t passes = envNumber("TOBELYN_SOAK_PASSES", 60000);
  const uint32_t seed = static_cast<uint32_t>(envNumber("TOBELYN_SOAK_SEED", 1));
  Soaker soak(seed, GetParam());
  soak.start();

  // The heap is measured once the first start-up and the first frames have
  // made whatever the program keeps.
  const uint64_t warmUp = passes / 10 < 2000 ? passes / 10 : 2000;
  size_t heapStart = 0;
  for (uint64_t i = 0; i < passes; ++i) {
    if (i == warmUp) heapStart = heapInUse();
    soak.pass();
    if (::testing::Test::HasFatalFailure())
      FAIL() << "stopped at pass " << i << " (seed " << seed << ")";
  }
  const size_t heapEnd = heapInUse();

  std::printf("soak: seed %u, %llu passes, %llu restarts, heap %zu -> %zu bytes\nsoak:", seed,
              static_cast<unsigned long long>(passes), soak.restarts, heapStart, heapEnd);
  for (int i = 0; i < kInputKinds; ++i) std::printf(" %llu %s", soak.done[i], inputNames[i]);
  std::printf("\n");
  for (int i = 0; i < kSceneCount; ++i) {
    std::printf("soak: %-17s %llu passes\n", sceneNames[i], soak.visits[i]);
    EXPECT_GT(soak.visits[i], 0u) << sceneNames[i] << " was never reached (seed " << seed << ")";
  }
  EXPECT_GT(soak.restarts, 0u);
  // Restarts make the surfaces again; the heap must not grow with them.
  EXPECT_LE(heapEnd, heapStart + 4096) << "the heap grew during the run";

  // Leave the program ended for the tests that follow.
  headlessClose();
  int code = 0;
  for (int i = 0; i < 100000 && appPass(&code); ++i) {
  }
  appFinish();
  hostEnable(false);
  hostResetForTests();
  headlessReset();
}

INSTANTIATE_TEST_SUITE_P(Host, Soak, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                           return info.param ? "HostOn" : "HostOff";
                         });

}  // namespace
