// The assists at work: after each game pass, while a person at an
// assisted seat aims or works the gauge, the next one or two platform
// passes are held (host/host.cpp holds them as a pause does); while a seat
// with auto-continue waits at its announcement or the result of its dart,
// Button A is pressed for it once the wait is long enough to read.
#include "host/assist.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/match.h"
#include "host/host_internal.h"
#include "host/seats.h"

namespace {

struct SeatAssist {
  int32_t pace = kPaceFull;
  bool autoContinue = false;
};

SeatAssist seatAssists[kSeatCount];
int32_t dartPace[kMaxPlayers] = {kPaceFull, kPaceFull, kPaceFull, kPaceFull};
int32_t matchPace[kMaxPlayers] = {kPaceFull, kPaceFull, kPaceFull, kPaceFull};

// Auto-continue's wait: the step being waited at and the passes seen.
int32_t waitStep = -1;
int32_t waitPasses;
int32_t thrower = -1;  // the seat whose dart is flying or shown

bool validSeat(int32_t seat) { return seat >= 0 && seat < kSeatCount; }

bool isPerson(int32_t seat) { return hostMatchCpuLevel(seat) == kSeatPerson; }

// The steps of the throw that the assist slows: the pointer and the gauge.
bool aimingOrGauge(int32_t step) { return step >= kMatchAimSlide && step <= kMatchPowerFalls; }

int32_t paceNow(int32_t seat) {
  return validSeat(seat) && isPerson(seat) ? seatAssists[seat].pace : kPaceFull;
}

// The seat a waiting step belongs to: the announced seat, and the seat
// that threw for its result (the turn may have passed on already).
int32_t waitingSeat(int32_t step, const MatchState &m) {
  if (step == kMatchAnnounce) return m.currentPlayer;
  if (step == kMatchNextDart) return thrower;
  return -1;
}

void autoContinue(const HostView &view) {
  const MatchState &m = *view.match;
  const int32_t step = view.sceneStep;
  if (step >= kMatchFlight && step <= kMatchApplyDart) thrower = m.currentPlayer;
  if (step != waitStep) {
    waitStep = step;
    waitPasses = 0;
  }
  ++waitPasses;
  const int32_t seat = waitingSeat(step, m);
  if (!validSeat(seat) || !isPerson(seat) || !seatAssists[seat].autoContinue) return;
  // The press is read on the next pass, the wait's last.
  if (waitPasses + 1 >= kAutoContinuePasses) hostClaimButtonA(HostButtonOwner::kAutoContinue, true);
}

void assistPass(const HostView &view) {
  if (view.scene != HostScene::kMatch || view.match == nullptr) {
    waitStep = -1;
    thrower = -1;
    return;
  }
  const int32_t seat = view.match->currentPlayer;
  const int32_t step = view.sceneStep;
  if (seat >= 0 && seat < kMaxPlayers) {
    // Each dart is announced: its pace counts from there.
    if (step == kMatchAnnounce) dartPace[seat] = kPaceFull;
    if (aimingOrGauge(step)) {
      const int32_t pace = paceNow(seat);
      if (pace > dartPace[seat]) dartPace[seat] = pace;
      if (pace > matchPace[seat]) matchPace[seat] = pace;
      hostHoldPasses(pace - 1);
    }
  }
  autoContinue(view);
}

void assistMatchStarted(const HostView &) {
  for (int32_t s = 0; s < kMaxPlayers; ++s) dartPace[s] = matchPace[s] = kPaceFull;
  waitStep = -1;
  thrower = -1;
}

// The host's file: "seatNAssist P" (1 to 3) and "seatNAutoContinue 0|1".
void readAssistSetting(const char *line) {
  while (std::isspace(static_cast<unsigned char>(*line)) != 0) ++line;
  if (std::strncmp(line, "seat", 4) != 0) return;
  char *end = nullptr;
  const long seat = std::strtol(line + 4, &end, 10);
  if (end == line + 4 || seat < 1 || seat > kSeatCount) return;
  const char *rest = end;
  const bool assist = std::strncmp(rest, "Assist ", 7) == 0;
  const bool autoOn = std::strncmp(rest, "AutoContinue ", 13) == 0;
  if (!assist && !autoOn) return;
  const char *number = rest + (assist ? 7 : 13);
  const long value = std::strtol(number, &end, 10);
  if (end == number) return;
  SeatAssist &s = seatAssists[seat - 1];
  if (assist)
    s.pace = value >= kPaceFull && value <= kPaceThird ? static_cast<int32_t>(value) : kPaceFull;
  if (autoOn) s.autoContinue = value != 0;
}

// Only what differs from the start (full pace, no auto-continue) is
// written, so that a file of a player who never set an assist stays as it was.
void writeAssistSettings(std::string &text) {
  for (int32_t seat = 0; seat < kSeatCount; ++seat) {
    const std::string key = "seat" + std::to_string(seat + 1);
    if (seatAssists[seat].pace != kPaceFull)
      text += key + "Assist " + std::to_string(seatAssists[seat].pace) + '\n';
    if (seatAssists[seat].autoContinue) text += key + "AutoContinue 1\n";
  }
}

void resetAssists() {
  for (SeatAssist &s : seatAssists) s = SeatAssist{};
  assistMatchStarted(HostView{});
}

const HostFeature kAssistFeature = {.name = "assists",
                                    .observe = assistPass,
                                    .matchStarted = assistMatchStarted,
                                    .matchFinished = nullptr,
                                    .overlay = nullptr,
                                    .overlayOrder = 0,
                                    .caption = nullptr,
                                    .readSetting = readAssistSetting,
                                    .writeSettings = writeAssistSettings,
                                    .settingRows = nullptr,
                                    .settingRowCount = 0,
                                    .finish = nullptr,
                                    .reset = resetAssists};

}  // namespace

int32_t hostSeatAssist(int32_t seat) {
  return validSeat(seat) ? seatAssists[seat].pace : kPaceFull;
}

void hostSetSeatAssist(int32_t seat, int32_t pace) {
  if (validSeat(seat) && pace >= kPaceFull && pace <= kPaceThird) seatAssists[seat].pace = pace;
}

bool hostSeatAutoContinue(int32_t seat) {
  return validSeat(seat) && seatAssists[seat].autoContinue;
}

void hostSetSeatAutoContinue(int32_t seat, bool on) {
  if (validSeat(seat)) seatAssists[seat].autoContinue = on;
}

const char *assistName(int32_t pace) {
  return pace == kPaceHalf ? "1/2 pace" : pace == kPaceThird ? "1/3 pace" : "Off";
}

int32_t hostDartAssist(int32_t seat) {
  return seat >= 0 && seat < kMaxPlayers ? dartPace[seat] : kPaceFull;
}

int32_t hostMatchAssist(int32_t seat) {
  return seat >= 0 && seat < kMaxPlayers ? matchPace[seat] : kPaceFull;
}

void registerAssists() { (void)hostAddFeature(&kAssistFeature); }
