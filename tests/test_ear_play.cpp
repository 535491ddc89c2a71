// A player who cannot see the screen plays darts by the cues alone: every
// press below is decided from the headless mixer's output and nothing else
// (no step, no pointer, no gauge is read to decide). Seat 1 throws at half
// pace with auto-continue, aiming each dart by the centre column's tick and
// its height by the gauge's pitch, alternately at the board's upper and
// lower half. The game's state is read only afterwards, to score the aim.
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
#include "screens/screens.h"

namespace {

// What the listener aims for: the gauge heights it stops the climb and the
// fall at. A higher peak throws higher; released at 50, a peak of 132 lands
// some 56 pixels above the centre, a peak of 120 some 40 below.
struct Target {
  const char *half;
  int32_t peak;
  int32_t release;
  bool upper;
};
constexpr Target kTargets[] = {
    {.half = "upper", .peak = 132, .release = 50, .upper = true},
    {.half = "lower", .peak = 120, .release = 50, .upper = false},
};

// The game ignores a press that follows another within 200 ms of its clock;
// at half pace that is 25 platform passes: a listener waits a little more.
constexpr int kPressGap = 30;

// The gauge a pitch stands for, as How to play teaches it (two octaves up
// from the bottom to the top).
double gaugeOf(double hz) { return (kGaugePoints - 1) / 2.0 * std::log2(hz / kCueGaugeLowHz); }

bool nearHz(const Heard &h, double hz) { return h.tone() && std::abs(h.hz - hz) < hz * 0.06; }

enum class Phase { kAwaitTick, kAwaitGauge, kClimb, kFall };

// The listener: it hears a pass's sound and says whether to press A.
struct Listener {
  Phase phase = Phase::kAwaitTick;
  int sincePress = kPressGap;
  bool lastWasSlide = false;
  int dart = 0;
  std::string trace;
  bool tracing = false;

  const Target &target() const { return kTargets[dart % 2]; }

  void note(const char *what, const Heard &h) {
    if (!tracing) return;
    char line[160];
    std::snprintf(line, sizeof line, "  %-22s L %6.0f R %6.0f pan %+5.2f pitch %6.1f Hz%s\n", what,
                  h.left, h.right, h.pan(), h.hz, h.mark ? " mark" : "");
    trace += line;
  }

  bool hearPass(const Heard &h) {
    ++sincePress;
    const bool slide = nearHz(h, kCueSlideHz);
    bool press = false;
    switch (phase) {
      case Phase::kAwaitTick:
        // The tick strikes over the pointer's tone as it reaches the centre.
        if (h.mark && lastWasSlide && sincePress >= kPressGap) {
          note("tick: press (aim)", h);
          press = true;
          phase = Phase::kAwaitGauge;
        } else if (slide && tracing) {
          note("pointer", h);
        } else if (tracing && dart > 0 && (h.tone() || h.mark)) {
          note("after the release", h);
        }
        if (slide && dart > 0) tracing = false;
        break;
      case Phase::kAwaitGauge:
        if (nearHz(h, kCueGaugeLowHz) && sincePress >= kPressGap) {
          note("gauge low: press", h);
          press = true;
          phase = Phase::kClimb;
        }
        break;
      case Phase::kClimb:
        if (h.tone() && !h.mark && h.hz > 0) {
          note("climbing", h);
          if (gaugeOf(h.hz) >= target().peak - 0.5) {
            note("high enough: press", h);
            press = true;
            phase = Phase::kFall;
          }
        }
        break;
      case Phase::kFall:
        if (h.mark) note("peak chime", h);
        if (h.tone() && !h.mark && h.hz > 0 && sincePress >= kPressGap) {
          note("falling", h);
          if (gaugeOf(h.hz) <= target().release + 0.5) {
            note("low enough: release", h);
            press = true;
            phase = Phase::kAwaitTick;
            ++dart;
          }
        }
        break;
    }
    lastWasSlide = slide;
    if (press) sincePress = 0;
    return press;
  }
};

TEST(EarPlay, DartsThrownByTheCuesAloneHitTheHalfAimedAt) {
  constexpr int kDarts = 12;
  HostDriver d;
  d.start();
  hostSetSeatCues(0, true);
  hostSetSeatAssist(0, kPaceHalf);
  hostSetSeatAutoContinue(0, true);
  ASSERT_TRUE(d.toReady());
  d.press(VK_RETURN, 0);
  headlessMixerRecord(true);

  Listener ear;
  ear.tracing = std::getenv("TOBELYN_EAR_TRACE") != nullptr;
  // Afterwards only: where each dart landed, read at its result.
  struct Landed {
    const char *aimed;
    int32_t row;
    int32_t column;
    int32_t score;
  };
  std::vector<Landed> landed;
  int32_t lastStep = -1;
  for (int pass = 0; pass < 40000 && d.running && static_cast<int>(landed.size()) < kDarts;
       ++pass) {
    const bool press = ear.hearPass(hear(takeMix()));
    headlessHold(VK_RETURN, press);
    if (press) headlessKey(VK_RETURN);
    d.pass();
    headlessHold(VK_RETURN, false);
    if (sceneStep == kMatchResult && lastStep != kMatchResult) {
      const int32_t d0 = match.dartIndex;
      landed.push_back({kTargets[landed.size() % 2].half, match.dartMarkY[d0] + 8,
                        match.dartMarkX[d0] + 8, match.throwScore});
    }
    lastStep = sceneStep;
  }
  if (!ear.trace.empty()) std::printf("The first dart, heard pass by pass:\n%s", ear.trace.c_str());
  ASSERT_EQ(static_cast<int>(landed.size()), kDarts) << "the listener threw every dart";
  int hits = 0;
  for (size_t i = 0; i < landed.size(); ++i) {
    const Landed &l = landed[i];
    const bool upper = std::string(l.aimed) == "upper";
    const bool inHalf = l.score > 0 && (upper ? l.row < 128 : l.row > 128);
    hits += inHalf ? 1 : 0;
    std::printf("dart %zu aimed %s: row %d column %d scored %d%s\n", i + 1, l.aimed,
                static_cast<int>(l.row), static_cast<int>(l.column), static_cast<int>(l.score),
                inHalf ? "" : "  (missed its half)");
  }
  EXPECT_GE(hits, kDarts * 3 / 4) << "most darts land in the half aimed at";
  d.finish();
}

}  // namespace
