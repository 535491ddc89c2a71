// The cues at work: after each game pass of a match, the thrower's cues (a
// person's, switched on) follow the step and where the pointer and the gauge
// are. Held passes of a slower pace keep the voice as it was, so the tone
// simply lasts longer; a pause of the whole game hushes it (host/host.cpp).
#include "host/ear_cues.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/board.h"
#include "game/match.h"
#include "host/host_internal.h"
#include "host/seats.h"
#include "platform/common/host_voice.h"

namespace {

// The marks: a short high tick, a rising chime, the landing's note (its pitch
// and side set by the landing) and a miss's falling buzz.
constexpr VoiceMark kTick = {.hz = 2400, .hzEnd = 2400, .pan = 0, .level = 0.35f, .ms = 15};
constexpr VoiceMark kPeak = {.hz = 1320, .hzEnd = 1760, .pan = 0, .level = 0.3f, .ms = 90};
constexpr VoiceMark kLanding = {.hz = 0, .hzEnd = 0, .pan = 0, .level = 0.3f, .ms = 160};
constexpr VoiceMark kMiss = {.hz = 150, .hzEnd = 100, .pan = 0, .level = 0.3f, .ms = 220};
// The board's centre as the game scores it: the pointer's left edge over
// its centre column, and its centre row.
constexpr int32_t kCentreAimX = kAimStart;
constexpr int32_t kCentreRow = 128;

bool seatCues[kSeatCount];
int32_t lastStep = -1;
int32_t lastAimX = -1;

void quiet() { platformVoiceTone(0, 0, 0); }

bool cuesFor(const HostView &view) {
  if (view.scene != HostScene::kMatch || view.match == nullptr || hostGameSilenced()) return false;
  const int32_t seat = view.match->currentPlayer;
  return seat >= 0 && seat < kSeatCount && seatCues[seat] && hostMatchCpuLevel(seat) == kSeatPerson;
}

void landed(const MatchState &m) {
  const int32_t d = m.dartIndex >= 0 && m.dartIndex < kDartsPerTurn ? m.dartIndex : 0;
  if (m.throwScore == 0) {
    platformVoiceMark(kMiss);
    return;
  }
  VoiceMark note = kLanding;
  note.hz = cueLandingHz(m.dartMarkY[d] + 8);
  note.hzEnd = note.hz;
  note.pan = cuePan(m.dartMarkX[d]);
  platformVoiceMark(note);
}

void cuesPass(const HostView &view) {
  const int32_t step = view.scene == HostScene::kMatch ? view.sceneStep : -1;
  if (!cuesFor(view)) {
    quiet();
    lastStep = step;
    lastAimX = -1;
    return;
  }
  const MatchState &m = *view.match;
  switch (step) {
    case kMatchAimSlide:
      platformVoiceTone(kCueSlideHz, cuePan(m.aimX), kCueToneLevel);
      // The pointer starts on the centre column: only a slide onto it ticks.
      if (lastAimX >= 0 && lastAimX != kCentreAimX && m.aimX == kCentreAimX)
        platformVoiceMark(kTick);
      lastAimX = m.aimX;
      break;
    case kMatchGaugeReady:
    case kMatchPowerClimbs:
    case kMatchPowerFalls:
      platformVoiceTone(cueGaugeHz(m.gaugeIndex), 0, kCueToneLevel);
      if (step == kMatchPowerFalls && lastStep == kMatchPowerClimbs) platformVoiceMark(kPeak);
      lastAimX = -1;
      break;
    case kMatchResult:
    case kMatchClockResult:
      quiet();
      if (lastStep == kMatchFlight) landed(m);
      lastAimX = -1;
      break;
    default:
      quiet();
      lastAimX = -1;
      break;
  }
  lastStep = step;
}

// The host's file: "seatNCues 1", written only for a seat that has them.
void readCuesSetting(const char *line) {
  while (std::isspace(static_cast<unsigned char>(*line)) != 0) ++line;
  if (std::strncmp(line, "seat", 4) != 0) return;
  char *end = nullptr;
  const long seat = std::strtol(line + 4, &end, 10);
  if (end == line + 4 || seat < 1 || seat > kSeatCount || std::strncmp(end, "Cues ", 5) != 0)
    return;
  const char *number = end + 5;
  const long value = std::strtol(number, &end, 10);
  if (end != number) seatCues[seat - 1] = value != 0;
}

void writeCuesSettings(std::string &text) {
  for (int32_t seat = 0; seat < kSeatCount; ++seat)
    if (seatCues[seat]) text += "seat" + std::to_string(seat + 1) + "Cues 1\n";
}

void resetCues() {
  for (bool &on : seatCues) on = false;
  lastStep = -1;
  lastAimX = -1;
  quiet();
}

void finishCues() { quiet(); }

const HostFeature kCuesFeature = {.name = "cues",
                                  .observe = cuesPass,
                                  .matchStarted = nullptr,
                                  .matchFinished = nullptr,
                                  .overlay = nullptr,
                                  .overlayOrder = 0,
                                  .caption = nullptr,
                                  .readSetting = readCuesSetting,
                                  .writeSettings = writeCuesSettings,
                                  .settingRows = nullptr,
                                  .settingRowCount = 0,
                                  .finish = finishCues,
                                  .reset = resetCues};

}  // namespace

bool hostSeatCues(int32_t seat) { return seat >= 0 && seat < kSeatCount && seatCues[seat]; }

void hostSetSeatCues(int32_t seat, bool on) {
  if (seat >= 0 && seat < kSeatCount) seatCues[seat] = on;
}

float cuePan(int32_t aimX) {
  const float reach = static_cast<float>(kAimRight - kCentreAimX);
  const float pan = static_cast<float>(aimX - kCentreAimX) / reach;
  return pan < -1 ? -1 : pan > 1 ? 1 : pan;
}

float cueGaugeHz(int32_t gauge) {
  return kCueGaugeLowHz *
         std::exp2(2.0f * static_cast<float>(gauge) / static_cast<float>(kGaugePoints - 1));
}

float cueLandingHz(int32_t row) {
  return 523.25f * std::exp2(static_cast<float>(kCentreRow - row) /
                             static_cast<float>(ringReach[kRingDouble]));
}

void registerEarCues() { (void)hostAddFeature(&kCuesFeature); }
