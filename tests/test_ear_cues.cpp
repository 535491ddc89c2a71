// Aiming by ear, heard from the headless mixer's output: the sliding
// pointer's tone sits at the pointer's side and ticks on the centre column,
// the gauge's tone climbs and falls with the gauge and chimes at the peak,
// the game's own sounds stay exactly as they were underneath, and a player
// who reads nothing but the sound throws where it means to.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ear_listener.h"
#include "game/match.h"
#include "host/assist.h"
#include "host/ear_cues.h"
#include "host_driver.h"
#include "platform/common/wave.h"
#include "res/resource_ids.h"
#include "screens/screens.h"

namespace {

// Seat 1 as given, at the title, the mixer not yet recording.
void startSeat(HostDriver &d, bool cues, int32_t pace = kPaceFull, bool autoContinue = false) {
  d.start();
  hostSetSeatCues(0, cues);
  hostSetSeatAssist(0, pace);
  hostSetSeatAutoContinue(0, autoContinue);
}

// From the title to the first announcement of a one-player "301".
void toAnnouncement(HostDriver &d) {
  ASSERT_TRUE(d.toReady());
  d.press(VK_RETURN, 0);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
}

// To the sliding pointer at full pace, the mixer recording once the match's
// start has stopped sounding (the confirmation of the ready screen).
void toAimSlide(HostDriver &d) {
  toAnnouncement(d);
  d.run(14);
  d.press(VK_RETURN, 0);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  d.run(40);
  headlessMixerRecord(true);
}

// One platform pass and the game's state after it, with what it sounded like.
struct PassHeard {
  int32_t step;
  int32_t aimX;
  int32_t gauge;
  std::vector<int16_t> mix;
  Heard heard;
};

PassHeard listenedPass(HostDriver &d) {
  d.pass();
  PassHeard p{sceneStep, match.aimX, match.gaugeIndex, takeMix(), {}};
  p.heard = hear(p.mix);
  return p;
}

TEST(EarCues, ThePointersToneFollowsItsColumnAndTicksOnTheCentre) {
  HostDriver d;
  startSeat(d, true);
  toAimSlide(d);
  std::vector<PassHeard> passes;
  for (int i = 0; i < 120; ++i) passes.push_back(listenedPass(d));
  struct Case {
    const char *name;
    int32_t aimX;
    double pan;
  };
  const Case cases[] = {
      {"the far left is all in the left ear", kAimLeft, -1.0},
      {"a quarter in from the left", 64, -0.5},
      {"the centre column is in both ears alike", kAimStart, 0.0},
      {"a quarter in from the right", 160, 0.5},
      {"the far right is all in the right ear", kAimRight, 1.0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    int seen = 0;
    for (const PassHeard &p : passes) {
      if (p.step != kMatchAimSlide || p.aimX != c.aimX) continue;
      ++seen;
      // The centre's tick sounds in the middle too: the side holds over it.
      EXPECT_NEAR(p.heard.pan(), c.pan, 0.03);
      if (!p.heard.mark) {
        EXPECT_NEAR(p.heard.hz, kCueSlideHz, kCueSlideHz * 0.02);
      }
    }
    EXPECT_GT(seen, 0) << "the pointer passed there";
  }
  int ticks = 0;
  for (size_t i = 1; i < passes.size(); ++i) {
    const bool onCentre = passes[i].aimX == kAimStart && passes[i - 1].aimX != kAimStart;
    const bool struck = passes[i].heard.mark && !passes[i - 1].heard.mark;
    EXPECT_EQ(struck, onCentre) << "pass " << i << " at " << passes[i].aimX;
    ticks += struck ? 1 : 0;
  }
  EXPECT_GE(ticks, 2) << "the pointer crossed the centre both ways";
  d.finish();
}

TEST(EarCues, TheGaugesToneFollowsTheGaugeAndChimesAtThePeak) {
  HostDriver d;
  startSeat(d, true);
  toAimSlide(d);
  d.run(20);
  d.press(VK_RETURN, 14);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchGaugeReady));
  takeMix();
  std::vector<PassHeard> passes;
  passes.push_back(listenedPass(d));
  headlessHold(VK_RETURN, true);
  headlessKey(VK_RETURN);
  passes.push_back(listenedPass(d));
  headlessHold(VK_RETURN, false);
  while (d.running && match.gaugeIndex < 100) passes.push_back(listenedPass(d));
  for (int i = 0; i < 14; ++i) passes.push_back(listenedPass(d));
  headlessHold(VK_RETURN, true);
  headlessKey(VK_RETURN);
  passes.push_back(listenedPass(d));
  headlessHold(VK_RETURN, false);
  while (d.running && sceneStep != kMatchFlight) passes.push_back(listenedPass(d));
  struct Case {
    const char *name;
    int32_t step;
    int32_t gauge;
  };
  const Case cases[] = {
      {"the gauge waiting at its bottom", kMatchGaugeReady, 0},
      {"climbing through 40", kMatchPowerClimbs, 40},
      {"climbing through 80", kMatchPowerClimbs, 80},
      {"falling through 100", kMatchPowerFalls, 100},
      {"falling through 60", kMatchPowerFalls, 60},
      {"falling through 20", kMatchPowerFalls, 20},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    int seen = 0;
    for (const PassHeard &p : passes) {
      if (p.step != c.step || p.gauge != c.gauge || p.heard.mark) continue;
      ++seen;
      EXPECT_NEAR(p.heard.hz, cueGaugeHz(c.gauge), cueGaugeHz(c.gauge) * 0.01);
      EXPECT_NEAR(p.heard.pan(), 0.0, 0.02) << "the gauge sounds in the middle";
    }
    EXPECT_GT(seen, 0) << "the gauge passed there";
  }
  int chimes = 0;
  for (size_t i = 1; i < passes.size(); ++i) {
    const bool peak = passes[i].step == kMatchPowerFalls && passes[i - 1].step == kMatchPowerClimbs;
    if (passes[i].step < kMatchGaugeReady || passes[i].step > kMatchPowerFalls) continue;
    const bool struck = passes[i].heard.mark && !passes[i - 1].heard.mark;
    EXPECT_EQ(struck, peak) << "pass " << i << " at gauge " << passes[i].gauge;
    chimes += struck ? 1 : 0;
  }
  EXPECT_EQ(chimes, 1) << "one chime, struck at the peak";
  d.finish();
}

// The throw's sound as the game's resources hold it.
std::vector<int16_t> throwWave() {
  HRSRC found = FindResourceW(GetModuleHandleW(nullptr),
                              MAKEINTRESOURCEW(static_cast<WORD>(kWaveThrow)), L"WAVE");
  const auto *image =
      static_cast<const uint8_t *>(LockResource(LoadResource(GetModuleHandleW(nullptr), found)));
  shared::WaveData wave{};
  std::vector<int16_t> samples;
  if (image == nullptr || !shared::parseWave(image, shared::waveImageSize(image), &wave))
    return samples;
  for (uint32_t i = 0; i + 1 < wave.bytes; i += 2)
    samples.push_back(static_cast<int16_t>(wave.samples[i] | (wave.samples[i + 1] << 8)));
  return samples;
}

TEST(EarCues, TheGamesOwnSoundIsUnchangedUnderneath) {
  const std::vector<int16_t> wave = throwWave();
  ASSERT_GT(wave.size(), 100u);
  // The voice eases out within a few milliseconds of the release.
  constexpr size_t kEaseFrames = 4 * kHeadlessMixRate / 1000;
  // The landing's note comes half a second after the release.
  constexpr size_t kBeforeLanding = kHeadlessMixRate * 480 / 1000;
  struct Case {
    const char *name;
    bool cues;
  };
  const Case cases[] = {
      {"cues off: the mix is the game's sound alone", false},
      {"cues on: the game's sound is whole under the voice", true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    startSeat(d, c.cues);
    toAimSlide(d);
    std::vector<int16_t> before;
    for (int i = 0; i < 30; ++i) {
      const std::vector<int16_t> mix = listenedPass(d).mix;
      before.insert(before.end(), mix.begin(), mix.end());
    }
    d.press(VK_RETURN, 14);
    d.press(VK_RETURN, 30);
    d.press(VK_RETURN, 20);
    takeMix();
    headlessHold(VK_RETURN, true);
    headlessKey(VK_RETURN);
    PassHeard release = listenedPass(d);
    headlessHold(VK_RETURN, false);
    ASSERT_EQ(release.step, kMatchFlight);
    std::vector<int16_t> after = release.mix;
    for (int i = 0; i < 40; ++i) {
      const std::vector<int16_t> mix = listenedPass(d).mix;
      after.insert(after.end(), mix.begin(), mix.end());
    }
    const size_t frames = std::min({after.size() / 2, wave.size(), kBeforeLanding});
    ASSERT_GT(frames, kEaseFrames);
    size_t differing = 0;
    for (size_t i = c.cues ? kEaseFrames : 0; i < frames; ++i)
      if (after[2 * i] != wave[i] || after[2 * i + 1] != wave[i]) ++differing;
    EXPECT_EQ(differing, 0u) << "frames unlike the recorded wave, from the release on";
    const Heard aiming = hear(before);
    EXPECT_EQ(aiming.tone(), c.cues) << "the pointer's tone before the release";
    d.finish();
  }
}

}  // namespace
