#include "tests/support/cpu_match.h"

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "platform/headless/headless.h"
#include "screens/screens.h"

namespace {

constexpr uint32_t kStartClock = 100000;
constexpr uint32_t kPassMs = 16;  // the replay runner's step
// A menu key waits this many passes, past the menus' gap between presses.
constexpr int32_t kMenuKeyPasses = 14;
// Far more than any match takes: ten rounds of four players at a few
// hundred passes a dart, and "Count Up" without a limit for weak throwers.
constexpr uint64_t kMatchPassLimit = 2000000;
constexpr int32_t kScenePassLimit = 1000;

bool running;
uint32_t passMs = kPassMs;
uint32_t passJitterMs;
uint32_t passCount;

// The clock moves passMs a pass, give or take passJitterMs in a fixed
// pattern that averages out.
void pass() {
  int code = 0;
  if (running && !appPass(&code)) {
    appFinish();
    running = false;
  }
  const uint32_t swing = 2 * passJitterMs + 1;
  headlessAdvanceClock(passMs - passJitterMs + (passCount++ * 7) % swing);
}

void menuKey(int32_t binding) {
  for (int32_t i = 0; i < kMenuKeyPasses; ++i) pass();
  headlessKey(keyBindings[binding]);
  pass();
}

bool reachScene(FrameHandler scene) {
  for (int32_t i = 0; i < kScenePassLimit && running; ++i) {
    if (frameHandler == scene) return true;
    pass();
  }
  return frameHandler == scene;
}

// Title, game, players, ready: the way a person starts a match.
bool startMatchFromTitle(int32_t mode, int32_t players) {
  menuKey(kButtonA);
  if (!reachScene(gameSelectSceneFrame)) return false;
  for (int32_t row = 0; row < mode; ++row) menuKey(kKeyDown);
  menuKey(kButtonA);
  if (!reachScene(playerSelectSceneFrame)) return false;
  for (int32_t row = 1; row < players; ++row) menuKey(kKeyDown);
  menuKey(kButtonA);
  if (!reachScene(readySceneFrame)) return false;
  menuKey(kButtonA);
  return reachScene(matchSceneFrame);
}

void closeProgram() {
  headlessClose();
  for (int32_t i = 0; i < kScenePassLimit && running; ++i) pass();
}

}  // namespace

CpuMatchRecord playCpuMatch(const CpuMatchSetup &setup) {
  CpuMatchRecord record{};
  passMs = setup.passMs;
  passJitterMs = setup.passJitterMs < setup.passMs ? setup.passJitterMs : 0;
  passCount = 0;
  headlessReset();
  headlessSetRegistryDir(nullptr);
  headlessClearMemoryRegistry();
  headlessSetClock(kStartClock);
  int code = 0;
  running = appStart(GetModuleHandleW(nullptr), SW_SHOW, &code);
  if (setup.inBackground) headlessActivate(false);
  if (!running || !startMatchFromTitle(setup.mode, setup.playerCount)) {
    closeProgram();
    return record;
  }

  CpuSeats seats{};
  cpuSeatsStart(seats, setup.playerCount, setup.levels, setup.seed, setup.fast);
  const int buttonA = keyBindings[kButtonA];
  while (running && frameHandler == matchSceneFrame && record.passes < kMatchPassLimit) {
    const CpuView view{.sceneStep = sceneStep,
                       .match = match,
                       .gameMode = gameMode,
                       .now = timeGetTime(),
                       .pass = static_cast<uint32_t>(record.passes)};
    const bool held = cpuSeatsHoldButton(seats, view);
    headlessHold(buttonA, held);
    const int32_t stepBefore = sceneStep;
    const uint32_t at = timeGetTime();
    pass();
    ++record.passes;
    if (held)
      record.presses.push_back({.at = at, .step = stepBefore, .taken = inputDebounceTime == at});
    if (stepBefore == kMatchFlight &&
        (sceneStep == kMatchResult || sceneStep == kMatchClockResult)) {
      const int32_t p = match.currentPlayer;
      record.darts.push_back(
          {.player = p,
           .round = match.roundIndex,
           .scoreBefore = match.playerScores[p],
           .aimX = match.aimX,
           .peak = match.gaugePeak,
           .release = match.gaugeRelease,
           .points = match.throwScore,
           .bust = gameMode == kGame301 && match.playerScores[p] < match.throwScore});
    }
  }
  headlessHold(buttonA, false);
  record.backAtTitle = running && frameHandler == titleSceneFrame;
  record.winner = match.winner;
  record.roundIndex = match.roundIndex;
  for (int32_t i = 0; i < kMaxPlayers; ++i) record.scores[i] = match.playerScores[i];
  closeProgram();
  return record;
}
