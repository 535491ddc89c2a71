// Soak: the whole program on the headless backend under a long stream of
// random input - key presses, held buttons, taps, activation changes,
// minimising, closing and clock jumps across the 32-bit wrap. The program is
// started again whenever it ends. Every Scene must be reached, nothing may
// fault, and the heap must stay flat.
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
#include "platform/headless/headless.h"
#include "screens/screens.h"

#if defined(__SANITIZE_ADDRESS__)
#define TOBELYN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOBELYN_ASAN 1
#endif
#endif
#ifdef TOBELYN_ASAN
// From the address checker's run-time (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

const FrameHandler sceneFrames[] = {
    titleSceneFrame, gameSelectSceneFrame, playerSelectSceneFrame, readySceneFrame,
    matchSceneFrame, optionSceneFrame,     aboutSceneFrame,
};
const char *const sceneNames[] = {"TitleScene", "GameSelectScene", "PlayerSelectScene",
                                  "ReadyScene", "MatchScene",      "OptionScene",
                                  "AboutScene"};
constexpr int SCENE_COUNT = 7;

uint64_t envNumber(const char *name, uint64_t fallback) {
  const char *text = std::getenv(name);
  if (text == nullptr || *text == 0) return fallback;
  return std::strtoull(text, nullptr, 0);
}

// Bytes the program holds on the heap now.
size_t heapInUse() {
#ifdef TOBELYN_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

// Resident memory of the process, in KiB.
long residentKiB() {
  FILE *f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  long pages = 0, resident = 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(f);
  return resident < 0 ? -1 : resident * 4;
}

int sceneIndex() {
  for (int i = 0; i < SCENE_COUNT; ++i)
    if (frameHandler == sceneFrames[i]) return i;
  return -1;
}

struct Soak {
  std::mt19937 rng;
  uint64_t restarts = 0;
  uint64_t keys = 0, taps = 0, holds = 0, activations = 0, minimises = 0, closes = 0;
  uint64_t clockJumps = 0, wraps = 0;
  uint64_t visits[SCENE_COUNT] = {};
  bool inactive = false;

  explicit Soak(uint32_t seed) : rng(seed) {}

  uint32_t below(uint32_t n) { return static_cast<uint32_t>(rng() % n); }
  bool chance(uint32_t perMillion) { return below(1000000) < perMillion; }

  // A key code: mostly one of the bound buttons, so that the menus are
  // walked, otherwise anything a key message can carry.
  int pickKey() {
    uint32_t r = below(100);
    if (r < 30) return keyBindings[BUTTON_A];
    if (r < 45) return keyBindings[KEY_DOWN];
    if (r < 55) return keyBindings[KEY_UP];
    if (r < 65) return keyBindings[BUTTON_B];
    if (r < 80) return keyBindings[below(KEY_BINDING_COUNT)];
    if (r < 95) return static_cast<int>(below(256));
    return static_cast<int>(below(0x10000));
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
  }

  // Random input queued before one pass.
  void feed() {
    if (chance(80000)) {
      headlessKey(pickKey());
      ++keys;
    }
    if (chance(30000)) {
      int vk = below(3) == 0 ? static_cast<int>(below(256)) : keyBindings[BUTTON_A];
      headlessHold(vk, below(2) == 0);
      ++holds;
    }
    if (chance(15000)) {
      // Mostly on the screen, sometimes anywhere a tap can say.
      bool wild = below(10) == 0;
      headlessTap(static_cast<int>(wild ? below(0x10000) : below(240)),
                  static_cast<int>(wild ? below(0x10000) : below(320)));
      ++taps;
    }
    if (inactive ? chance(50000) : chance(2000)) {
      inactive = !inactive;
      headlessActivate(!inactive);
      ++activations;
    }
    if (chance(40)) {
      headlessMinimize();
      ++minimises;
    }
    if (chance(40)) {
      headlessClose();
      ++closes;
    }
  }

  // The clock after one pass: frame-sized steps, now and then a long pause
  // or a jump to just before the 32-bit wrap.
  void tick() {
    if (chance(1000)) {
      headlessAdvanceClock(below(60000));
      ++clockJumps;
    } else if (chance(500)) {
      headlessSetClock(0xFFFFFFFFu - below(5000));
      ++wraps;
    } else {
      headlessAdvanceClock(below(34));
    }
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

TEST(Soak, RandomInputReachesEveryScene) {
  const uint64_t passes = envNumber("TOBELYN_SOAK_PASSES", 60000);
  const uint32_t seed = static_cast<uint32_t>(envNumber("TOBELYN_SOAK_SEED", 1));
  Soak soak(seed);
  soak.start();

  // The heap is measured once the first start-up and the first frames have
  // made whatever the program keeps.
  const uint64_t warmUp = passes / 10 < 2000 ? passes / 10 : 2000;
  size_t heapStart = 0;
  long rssStart = 0;
  for (uint64_t i = 0; i < passes; ++i) {
    if (i == warmUp) {
      heapStart = heapInUse();
      rssStart = residentKiB();
    }
    soak.pass();
    if (::testing::Test::HasFatalFailure()) {
      FAIL() << "stopped at pass " << i << " (seed " << seed << ")";
    }
  }
  const size_t heapEnd = heapInUse();
  const long rssEnd = residentKiB();

  std::printf("soak: seed %u, %llu passes, %llu restarts\n", seed,
              static_cast<unsigned long long>(passes),
              static_cast<unsigned long long>(soak.restarts));
  std::printf(
      "soak: %llu keys, %llu holds, %llu taps, %llu activations, %llu minimises, %llu closes, "
      "%llu clock jumps, %llu wraps\n",
      static_cast<unsigned long long>(soak.keys), static_cast<unsigned long long>(soak.holds),
      static_cast<unsigned long long>(soak.taps), static_cast<unsigned long long>(soak.activations),
      static_cast<unsigned long long>(soak.minimises), static_cast<unsigned long long>(soak.closes),
      static_cast<unsigned long long>(soak.clockJumps),
      static_cast<unsigned long long>(soak.wraps));
  for (int i = 0; i < SCENE_COUNT; ++i)
    std::printf("soak: %-17s %llu passes\n", sceneNames[i],
                static_cast<unsigned long long>(soak.visits[i]));
  std::printf("soak: heap %zu -> %zu bytes, resident %ld -> %ld KiB\n", heapStart, heapEnd,
              rssStart, rssEnd);

  for (int i = 0; i < SCENE_COUNT; ++i)
    EXPECT_GT(soak.visits[i], 0u) << sceneNames[i] << " was never reached (seed " << seed << ")";
  EXPECT_GT(soak.restarts, 0u);
  // Restarts make the surfaces again; the heap must not grow with them.
  EXPECT_LE(heapEnd, heapStart + 4096) << "the heap grew during the run";

  // Leave the program ended for the tests that follow.
  headlessClose();
  int code = 0;
  for (int i = 0; i < 100000 && appPass(&code); ++i) {
  }
  appFinish();
  headlessReset();
}

}  // namespace
