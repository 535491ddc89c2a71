// "Effects: Lively" draws over the game and nothing else: a whole match
// played with it on and with it off, the same presses at the same passes,
// lands every dart in the same place, keeps the same game clock, plays the
// same sounds and leaves the game's own picture (its back buffer, under
// the host's layer) the same on every pass; only the picture shown
// differs, where the effects are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
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

// What Lively showed of each dart of a match played as playMatch plays it.
struct DartSeen {
  int32_t score = 0;
  std::vector<int32_t> counted;      // the ticker on each pass of the result
  int32_t afterResult = -2;          // the ticker on the first pass after it
  int32_t landX = 0, landY = 0;      // where the dart lands
  std::vector<uint16_t> lastFlight;  // the frame shown on the flight's last pass
  std::vector<uint16_t> boardAfter;  // the frame when the next dart waits
};

std::vector<DartSeen> playLively() {
  match = MatchState{};
  HostDriver d;
  d.start();
  hostForceLively(true);
  for (int screen = 0; screen < 4; ++screen) {
    d.run(20);
    headlessKey(VK_RETURN);
    for (int i = 0; i < 200 && sceneStep != 0; ++i) d.pass();
  }
  std::vector<DartSeen> darts;
  int32_t last = -1;
  std::vector<uint16_t> frame(240 * 320);
  for (int i = 0; i < 20000 && d.running && hostLastView().scene != HostScene::kTitle; ++i) {
    // The peak and release pressed for, varied dart by dart, land darts
    // over the lower half of the board; the other steps move on by
    // a steady rhythm.
    const int32_t n = static_cast<int32_t>(darts.size());
    bool press = i % 23 == 0;
    if (sceneStep == kMatchAimSlide) press = match.aimX >= 96 + 4 * (n % 5);
    if (sceneStep == kMatchPowerClimbs) press = match.gaugeIndex >= 124 + 2 * (n % 6);
    if (sceneStep == kMatchPowerFalls) press = match.gaugeIndex <= 20 + 4 * (n % 5);
    headlessHold(VK_RETURN, press);
    d.pass();
    const int32_t step = sceneStep;
    std::memcpy(frame.data(), headlessFrame(), frame.size() * sizeof(uint16_t));
    const bool result = step == kMatchResult || step == kMatchClockResult;
    if (step == kMatchFlight) {
      if (last != kMatchFlight) darts.push_back(DartSeen{});
      darts.back().lastFlight = frame;
      darts.back().landX = match.aimX + 8;
      darts.back().landY = landingRow(match.gaugePeak, match.gaugeRelease);
    } else if (result && !darts.empty()) {
      darts.back().score = match.throwScore;
      darts.back().counted.push_back(livelyTickerShown());
    } else if ((last == kMatchResult || last == kMatchClockResult) && !darts.empty()) {
      darts.back().afterResult = livelyTickerShown();
    }
    if (step == kMatchNextDart && !darts.empty()) darts.back().boardAfter = frame;
    last = step;
  }
  headlessHold(VK_RETURN, false);
  d.finish();
  return darts;
}

TEST(LivelyEffects, TheTickerCountsToTheWholeScoreAndTheFlightEndsOnTheBoard) {
  const std::vector<DartSeen> darts = playLively();
  ASSERT_GT(darts.size(), 10u) << "a whole match was played";
  int32_t counted = 0, underPanel = 0;
  for (size_t i = 0; i < darts.size(); ++i) {
    const DartSeen &dart = darts[i];
    SCOPED_TRACE("dart " + std::to_string(i) + ", score " + std::to_string(dart.score));
    if (dart.score > 0) {
      ++counted;
      const struct {
        const char *name;
        bool holds;
      } rows[] = {
          // The result's first pass still shows the frame drawn before it.
          {"the ticker shows on every later pass of the result",
           dart.counted.size() > 1 &&
               *std::min_element(dart.counted.begin() + 1, dart.counted.end()) >= 0},
          {"the ticker never counts down",
           std::is_sorted(dart.counted.begin() + (dart.counted.empty() ? 0 : 1),
                          dart.counted.end())},
          {"the ticker is whole on the result's last pass",
           !dart.counted.empty() && dart.counted.back() == dart.score},
          {"the ticker stays, whole, when the game moves on", dart.afterResult == dart.score},
      };
      for (const auto &r : rows) EXPECT_TRUE(r.holds) << r.name;
    }
    // A landing the gauge's panel hides while the dart flies: the last
    // flight frame shows the board round it as the board after it shows it
    // (points beside the mark, within the window, on the board's rows).
    // (A bull or a treble 20 is left out: its burst is still drawn there.)
    const bool burst = dart.score == 25 || dart.score == 50 || dart.score == 60;
    if (dart.landY < 112 + 8 || burst || dart.boardAfter.empty() || dart.lastFlight.empty())
      continue;
    ++underPanel;
    int32_t same = 0, looked = 0;
    for (int32_t dy = -12; dy <= 12; dy += 4)
      for (int32_t dx : {-14, -11, 11, 14}) {
        const int32_t x = dart.landX + dx, y = dart.landY + dy;
        if (x < 0 || x >= 240 || y < 112 || y >= 228) continue;
        ++looked;
        same += dart.lastFlight[y * 240 + x] == dart.boardAfter[y * 240 + x];
      }
    EXPECT_GE(same * 4, looked * 3)
        << "the flight ended on the board: " << same << " of " << looked << " pixels round ("
        << dart.landX << ", " << dart.landY << ") are the board's";
  }
  EXPECT_GT(counted, 5) << "darts that scored";
  EXPECT_GT(underPanel, 0) << "darts landing under the gauge's panel";
}

}  // namespace
