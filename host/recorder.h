// The recorder: watches the match through a read-only view taken after
// every pass and turns what it sees into the book's darts and matches. It
// only reads; the game never learns it is there.
//
// A dart is taken at the pass that lands it (the flight step gives way to
// the result step: aim, gauge, landing point and score are all set then)
// and completed at the pass that applies it (the player's score before and
// after tells what it counted and whether it busted). A match is complete
// when the game reaches its "match over" step; one left any other way (the
// host's quit to title, the program's end) is dropped with its darts.
//
// How the host drives it and the book:
//   at start:   recorderInit(&recorder, wallClock); recorderSetName for each
//               named seat; bookLoad(path, &book)
//   each pass:  after the game's pass, recorderObserve(&recorder, view) with
//               view = {frameHandler == matchSceneFrame, sceneStep, &match,
//               gameMode, playerCount}
//   kDart:      recorder.lastDart is the dart just applied
//   kMatchEnd:  bookAddMatch(&book, recorder.endedMatch, recorder.endedDarts,
//               &news), then bookSave(path, book) - outside the pass; the
//               summary card reads recorder.endedMatch, matchResultWords,
//               matchAverageWords and news ("New best!")
//   at exit:    bookSave again only when the last save failed
// A book that bookWritable refuses (foreign, newer, unreadable) is shown
// but never saved; the game plays on either way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/match.h"
#include "host/book.h"

// What the host hands over after each pass.
struct RecorderView {
  bool inMatch = false;  // MatchScene is the current Scene
  int32_t sceneStep = 0;
  const MatchState *match = nullptr;
  int32_t gameMode = 0;
  int32_t playerCount = 1;
};

// The player's own wall clock, in seconds since 1970-01-01 00:00 of that
// clock (local time, so that a date shows as the player saw it).
using WallClock = int64_t (*)();

enum class RecorderEvent {
  kNothing,
  kDart,      // lastDart holds a dart just applied
  kMatchEnd,  // endedMatch and endedDarts hold the match just finished
};

struct Recorder {
  WallClock clock = nullptr;
  std::string seatNames[kMaxPlayers];  // taken at each match's start

  // The match being watched.
  bool watching = false;
  int32_t lastStep = -1;
  BookMatch current;
  std::vector<BookDart> currentDarts;
  bool dartInFlight = false;  // landed, not yet applied
  int32_t scoreBefore = 0;

  // What the last event gave.
  BookDart lastDart;
  BookMatch endedMatch;
  std::vector<BookDart> endedDarts;
};

// Seats get the names "PLAYER 1" to "PLAYER 4" until renamed.
void recorderInit(Recorder *recorder, WallClock clock);
// Names a seat for the matches that start from now on; false (and the name
// kept) when it is not a valid player name.
bool recorderSetName(Recorder *recorder, int seat, const std::string &name);
// Called once after every pass with the game's state as that pass left it.
RecorderEvent recorderObserve(Recorder *recorder, const RecorderView &view);
// Sets a dart's score, ring and sector from what the result caption shows:
// the score and the number hit.
void recorderScoreDart(BookDart *dart, int32_t score, int32_t hitSector);
