// A person the tests script: A pressed by the passes since each step of the
// throw began, so that the same darts land whenever the match is played,
// resumed or answered. Each press is one pass long.
#pragma once

#include <cstdint>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "platform/headless/headless.h"

// Passes waited in each step before pressing; the aim, the peak and the
// release move on with every dart (base + dart * 7, 5 and 3, wrapped).
struct ScriptedWaits {
  int32_t announce;
  int32_t aimBase, aimSpread;
  int32_t gaugeReady;
  int32_t climbBase, climbSpread;
  int32_t fallBase, fallSpread;
  int32_t nextDart;
};

struct ScriptedPerson {
  ScriptedWaits waits;
  bool (*throwsNow)();  // whether the step seen is the person's to press in
  int32_t step = -1;
  int32_t passes = 0;
  int32_t darts = 0;
  bool holding = false;

  int32_t waitFor(int32_t s) const {
    switch (s) {
      case kMatchAnnounce:
        return waits.announce;
      case kMatchAimSlide:
        return waits.aimBase + (darts * 7) % waits.aimSpread;
      case kMatchGaugeReady:
        return waits.gaugeReady;
      case kMatchPowerClimbs:
        return waits.climbBase + (darts * 5) % waits.climbSpread;
      case kMatchPowerFalls:
        return waits.fallBase + (darts * 3) % waits.fallSpread;
      case kMatchNextDart:
        return waits.nextDart;
      default:
        return -1;
    }
  }

  // After each pass: whether A is held in the next.
  void afterPass() {
    const int32_t key = static_cast<int32_t>(keyBindings[kButtonA]);
    if (holding) {
      headlessHold(key, false);
      holding = false;
    }
    const int32_t s = throwsNow() ? sceneStep : -1;
    if (s != step) {
      if (step == kMatchFlight) ++darts;
      step = s;
      passes = 0;
    }
    ++passes;
    const int32_t wait = waitFor(s);
    if (wait >= 0 && passes == wait) {
      headlessHold(key, true);
      holding = true;
    }
  }
};
