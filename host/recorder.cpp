#include "host/recorder.h"

#include <cstdlib>

namespace {

// The ring a landing scored, from its score and sector as the result
// caption reads them.
DartRing ringOf(int32_t score, int32_t sector) {
  if (score == kDoubleBullScore) return kDartBull;
  if (score == kSingleBullScore) return kDartOuterBull;
  if (score == 0) return kDartMiss;
  if (score == 3 * sector) return kDartTriple;
  if (score == 2 * sector) return kDartDouble;
  return kDartSingle;
}

void startMatch(Recorder *r, const RecorderView &v) {
  r->watching = true;
  r->dartInFlight = false;
  r->currentDarts.clear();
  r->current = BookMatch{};
  r->current.game = v.gameMode;
  r->current.players = v.playerCount < 1             ? 1
                       : v.playerCount > kMaxPlayers ? kMaxPlayers
                                                     : v.playerCount;
  for (int s = 0; s < kMaxPlayers; ++s) r->current.seats[s].name = r->seatNames[s];
}

void landed(Recorder *r, const MatchState &m) {
  BookDart &d = r->lastDart;
  d = BookDart{};
  d.game = r->current.game;
  d.seat = m.currentPlayer;
  d.name = r->current.seats[m.currentPlayer].name;  // as named when the match began
  d.round = m.roundIndex + 1;
  d.dart = m.dartIndex + 1;
  d.aimX = m.aimX;
  d.peak = m.gaugePeak;
  d.release = m.gaugeRelease;
  d.x = m.aimX + 8;
  d.y = m.dartMarkY[m.dartIndex] + 8;
  recorderScoreDart(&d, m.throwScore, m.hitSector);
  r->scoreBefore = m.playerScores[m.currentPlayer];
  r->dartInFlight = true;
}

void applied(Recorder *r, const MatchState &m) {
  BookDart &d = r->lastDart;
  d.counted = std::abs(m.playerScores[d.seat] - r->scoreBefore);
  const HostGameRow *game = hostGameRow(d.game);
  d.bust = game != nullptr && game->bustWhenNothingCounts && d.score > 0 && d.counted == 0;
  r->dartInFlight = false;
  r->currentDarts.push_back(d);
  BookSeat &seat = r->current.seats[d.seat];
  ++seat.darts;
  seat.points += d.counted;
  if (d.round > r->current.rounds) r->current.rounds = d.round;
}

void ended(Recorder *r, const MatchState &m) {
  BookMatch &match = r->current;
  match.winner = m.winner >= 0 && m.winner < match.players ? m.winner : -1;
  for (int s = 0; s < match.players; ++s) {
    match.seats[s].final = m.playerScores[s];
    match.seats[s].finished = s == match.winner;
  }
  match.time = r->clock != nullptr ? r->clock() : 0;
  r->endedMatch = match;
  r->endedDarts = r->currentDarts;
  r->watching = false;
  r->currentDarts.clear();
}

}  // namespace

void recorderScoreDart(BookDart *dart, int32_t score, int32_t hitSector) {
  dart->ring = ringOf(score, hitSector);
  dart->sector = dart->ring == kDartMiss                                   ? 0
                 : dart->ring == kDartBull || dart->ring == kDartOuterBull ? kBullSector
                                                                           : hitSector;
  dart->score = score;
}

void recorderInit(Recorder *recorder, WallClock clock) {
  *recorder = Recorder{};
  recorder->clock = clock;
  for (int s = 0; s < kMaxPlayers; ++s) recorder->seatNames[s] = defaultPlayerName(s);
}

bool recorderSetName(Recorder *recorder, int seat, const std::string &name) {
  if (seat < 0 || seat >= kMaxPlayers || !validPlayerName(name)) return false;
  recorder->seatNames[seat] = name;
  return true;
}

RecorderEvent recorderObserve(Recorder *r, const RecorderView &v) {
  const int32_t last = r->lastStep;
  r->lastStep = v.inMatch ? v.sceneStep : -1;
  if (!v.inMatch || v.match == nullptr) {
    r->watching = false;  // left before its end: nothing of it is kept
    return RecorderEvent::kNothing;
  }
  // Only a match seen from its first step is whole; one found under way
  // (the host started late) is let go by.
  // A match the host starts itself (a code played again, a rematch) is
  // first seen at its first announcement: whole as well.
  const bool firstAnnounce = last == -1 && v.sceneStep == kMatchAnnounce &&
                             v.match->roundIndex == 0 && v.match->currentPlayer == 0 &&
                             v.match->dartIndex == 0;
  if ((v.sceneStep == kMatchStarting && last != kMatchStarting) || firstAnnounce) startMatch(r, v);
  if (!r->watching) return RecorderEvent::kNothing;

  const MatchState &m = *v.match;
  const bool resultShown = v.sceneStep == kMatchResult || v.sceneStep == kMatchClockResult;
  if (last == kMatchFlight && resultShown) landed(r, m);
  if (last == kMatchApplyDart && r->dartInFlight &&
      (v.sceneStep == kMatchNextDart || v.sceneStep == kMatchFinished)) {
    applied(r, m);
    if (v.sceneStep != kMatchFinished) return RecorderEvent::kDart;
    ended(r, m);
    return RecorderEvent::kMatchEnd;
  }
  return RecorderEvent::kNothing;
}
