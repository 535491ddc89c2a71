// "Effects: Lively" draws over the game and nothing else: a whole match
// played with it on and with it off, the same presses at the same passes,
// lands every dart in the same place, keeps the same game clock, plays the
// same sounds and leaves the game's own picture (its back buffer, under
// the host's layer) the same on every pass; only the picture shown
// differs, where the effects are drawn.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/surface.h"
#include "host_driver.h"

namespace {

struct PassSeen {
  int32_t step;
  DWORD gameClock;
  uint64_t gamePicture;  // the game's back buffer
  uint64_t shown;        // the frame shown, layer and all
  MatchState state;
  std::vector<int> sounds;
};

uint64_t hashBytes(const void *data, size_t size) {
  uint64_t h = 1469598103934665603ull;
  const auto *p = static_cast<const uint8_t *>(data);
  for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// A one-player "301" played to its end by A pressed every 23 passes.
std::vector<PassSeen> playMatch(bool lively) {
  // As a fresh program: nothing left of the match a run before played.
  match = MatchState{};
  HostDriver d;
  d.start();
  hostForceLively(lively);
  std::vector<PassSeen> seen;
  for (int screen = 0; screen < 4; ++screen) {
    d.run(20);
    headlessKey(VK_RETURN);
    for (int i = 0; i < 200 && sceneStep != 0; ++i) d.pass();
  }
  for (int i = 0; i < 20000 && d.running && hostLastView().scene != HostScene::kTitle; ++i) {
    headlessHold(VK_RETURN, i % 23 == 0);
    d.pass();
    const Surface &back = surfaceTable[kBackSurface];
    PassSeen p;
    p.step = sceneStep;
    p.gameClock = hostGameTime();
    p.gamePicture = hashBytes(back.pixels, static_cast<size_t>(back.stride) * back.height);
    p.shown = hashBytes(headlessFrame(), 240 * 320 * sizeof(uint16_t));
    std::memcpy(&p.state, &match, sizeof match);
    int ids[16];
    p.sounds.assign(ids, ids + headlessTakeSounds(ids, 16));
    seen.push_back(p);
  }
  headlessHold(VK_RETURN, false);
  d.finish();
  return seen;
}

TEST(LivelyEffects, AMatchPlaysTheSameUnderThemOnlyThePictureShownDiffers) {
  const std::vector<PassSeen> original = playMatch(false);
  const std::vector<PassSeen> lively = playMatch(true);
  ASSERT_GT(original.size(), 300u) << "a whole match was played";
  ASSERT_EQ(lively.size(), original.size()) << "the match took as many passes";
  int32_t differing = 0, flightsDrawn = 0;
  for (size_t i = 0; i < original.size(); ++i) {
    const PassSeen &a = original[i], &b = lively[i];
    SCOPED_TRACE("pass " + std::to_string(i) + ", step " + std::to_string(a.step));
    ASSERT_EQ(b.step, a.step);
    ASSERT_EQ(b.gameClock, a.gameClock);
    ASSERT_EQ(b.gamePicture, a.gamePicture) << "the game's own picture changed";
    const int32_t *wa = reinterpret_cast<const int32_t *>(&a.state);
    const int32_t *wb = reinterpret_cast<const int32_t *>(&b.state);
    for (size_t w = 0; w < sizeof a.state / 4; ++w)
      ASSERT_EQ(wb[w], wa[w]) << "a dart landed elsewhere: word " << w << " of the match";
    ASSERT_EQ(b.sounds, a.sounds);
    differing += b.shown != a.shown;
    flightsDrawn += a.step == kMatchFlight && b.shown != a.shown;
  }
  EXPECT_GT(flightsDrawn, 10) << "the dart was drawn in flight";
  EXPECT_GT(differing, flightsDrawn) << "the peak, bursts or the ticker were drawn";
}

}  // namespace
