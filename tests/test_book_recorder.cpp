// The player book's recorder watching real matches played from the scripts
// in tests/scripts: each dart where the game showed it, and what a finished
// match leaves in the book.
#include <gtest/gtest.h>
#ifdef TOBELYN_DESKTOP_GAME
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "game/match.h"
#include "host/book.h"
#include "host/recorder.h"
#include "platform/headless/headless.h"
#include "replay/script.h"

namespace {

const std::string kScripts = TOBELYN_SOURCE_DIR "/tests/scripts/";

std::string readText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int64_t fixedClock() { return 1796644800; }  // 2026-12-07 12:00:00

// What one script's run left: the book, the darts as the recorder gave them,
// and the match state after each "run 10" (the result shown, the dart not
// yet applied), as a dump there would show it.
struct Played {
  Book book;
  std::vector<BookDart> darts;
  std::vector<MatchState> atResults;
  std::vector<bool> newBests;
};

// Plays a script on the headless game in this process, the recorder
// watching after every pass; the first `lines` lines only, when given, and
// then the program is closed.
Played play(const std::string &file, const std::vector<std::string> &names = {},
            size_t lines = SIZE_MAX) {
  Played out;
  Recorder recorder;
  recorderInit(&recorder, fixedClock);
  for (size_t s = 0; s < names.size(); ++s)
    EXPECT_TRUE(recorderSetName(&recorder, int(s), names[s]));

  headlessReset();
  headlessClearMemoryRegistry();
  headlessSetRegistryDir(nullptr);
  headlessSetOtherInstance(false);
  int code = 0;
  bool running = appStart(GetModuleHandleW(nullptr), SW_SHOW, &code);
  uint32_t step = 16;
  auto pass = [&] {
    if (!running) return;
    if (!appPass(&code)) appFinish(), running = false;
    headlessAdvanceClock(step);
    const RecorderView view{.inMatch = frameHandler == matchSceneFrame,
                            .sceneStep = sceneStep,
                            .match = &match,
                            .gameMode = gameMode,
                            .playerCount = playerCount};
    switch (recorderObserve(&recorder, view)) {
      case RecorderEvent::kDart:
        out.darts.push_back(recorder.lastDart);
        break;
      case RecorderEvent::kMatchEnd: {
        out.darts.push_back(recorder.endedDarts.back());
        NewBests news;
        bookAddMatch(&out.book, recorder.endedMatch, recorder.endedDarts, &news);
        out.newBests.assign(news.seat, news.seat + kMaxPlayers);
        break;
      }
      case RecorderEvent::kNothing:
        break;
    }
  };

  std::istringstream text(readText(kScripts + file));
  size_t number = 0;
  for (std::string line; std::getline(text, line) && number++ < lines;) {
    const ParseResult parsed = parseScriptLine(line);
    EXPECT_TRUE(parsed.ok) << file << ":" << number << ": " << parsed.error;
    const ScriptCommand &c = parsed.command;
    switch (c.kind) {
      case CommandKind::Clock:
        headlessSetClock(c.value);
        break;
      case CommandKind::Step:
        step = c.value;
        break;
      case CommandKind::Key:
        headlessKey(int(c.value));
        break;
      case CommandKind::Hold:
      case CommandKind::Release:
        headlessHold(int(c.value), c.kind == CommandKind::Hold);
        break;
      case CommandKind::Run:
        for (uint32_t i = 0; i < c.value; ++i) pass();
        if (c.value == 10 && frameHandler == matchSceneFrame) out.atResults.push_back(match);
        break;
      case CommandKind::Wait:
        for (uint32_t i = 0; i < c.limit && running; ++i) {
          pass();
          if (sceneStep == c.sceneStep) break;
        }
        break;
      default:
        break;
    }
  }
  headlessClose();
  for (int i = 0; i < 1000 && running; ++i) pass();
  return out;
}

// --- The recorder on real matches.

TEST(BookRecorder, SoloThreeOhOneDartsAreTheLandingsTheGameShowed) {
  const Played p = play("match_301_1p.txt");
  ASSERT_EQ(p.darts.size(), p.atResults.size());
  ASSERT_EQ(p.darts.size(), 7u);

  // Each dart as the game's own state showed it after its landing.
  for (size_t i = 0; i < p.darts.size(); ++i) {
    SCOPED_TRACE("dart " + std::to_string(i + 1));
    const BookDart &d = p.darts[i];
    const MatchState &m = p.atResults[i];
    EXPECT_EQ(d.aimX, m.aimX);
    EXPECT_EQ(d.peak, m.gaugePeak);
    EXPECT_EQ(d.release, m.gaugeRelease);
    EXPECT_EQ(d.x, m.dartMarkX[m.dartIndex] + 8);
    EXPECT_EQ(d.y, m.dartMarkY[m.dartIndex] + 8);
    EXPECT_EQ(d.score, m.throwScore);
    EXPECT_EQ(d.round, m.roundIndex + 1);
    EXPECT_EQ(d.dart, m.dartIndex + 1);
  }

  // And as the script's author placed them: "aim 112 row 80 scores 60".
  std::istringstream text(readText(kScripts + "match_301_1p.txt"));
  size_t i = 0;
  for (std::string line; std::getline(text, line);) {
    int round, dart, aim, row, score;
    char what[16] = "";
    if (std::sscanf(line.c_str(), "# R%d dart %d%15[^:]: aim %d row %d scores %d", &round, &dart,
                    what, &aim, &row, &score) != 6 &&
        std::sscanf(line.c_str(), "# R%d dart %d: aim %d row %d scores %d", &round, &dart, &aim,
                    &row, &score) != 5)
      continue;
    ASSERT_LT(i, p.darts.size());
    const BookDart &d = p.darts[i++];
    SCOPED_TRACE(line);
    EXPECT_EQ(d.round, round);
    EXPECT_EQ(d.dart, dart);
    EXPECT_EQ(d.aimX, aim);
    EXPECT_EQ(d.y, row);
    EXPECT_EQ(d.score, score);
    EXPECT_EQ(d.bust, std::string(what) == " bust");
    EXPECT_EQ(d.counted, d.bust ? 0 : d.score);
  }
  EXPECT_EQ(i, p.darts.size());

  ASSERT_EQ(p.book.matches.size(), 1u);
  const BookMatch &m = p.book.matches[0];
  EXPECT_EQ(m.winner, 0);
  EXPECT_EQ(m.time, fixedClock());
  EXPECT_EQ(m.seats[0].name, "PLAYER 1");
  EXPECT_EQ(matchResultWords(m, 0), "won, checked out in 7 darts");
  EXPECT_EQ(matchAverageWords(m, 0), "3-dart average 129.0");
  EXPECT_TRUE(p.newBests[0]) << "the first finish is a record";
  const std::vector<RecordEntry> best = bookRecords(p.book, kRecord301FewestDarts);
  ASSERT_EQ(best.size(), 1u);
  EXPECT_EQ(best[0].value, 7);
  EXPECT_EQ(formatDate(best[0].time), "2026-12-07");
}

// Only a match played to its end is kept: one whose program is closed in
// the middle leaves nothing.
TEST(BookRecorder, AMatchEndedByClosingTheProgramIsNotRecorded) {
  const Played p = play("match_301_1p.txt", {}, 150);
  EXPECT_GT(p.darts.size(), 0u) << "the cut is no longer inside the match";
  EXPECT_TRUE(p.book.matches.empty());
  EXPECT_TRUE(p.book.darts.empty());
}

struct FourPlayerCase {
  const char *file;
  RecordKind record;     // the game's record the winner sets
  size_t entries;        // how many entries it then has
  const char *bestName;  // its holder
  double bestValue;
  const char *words[kMaxPlayers];  // each seat's result on the summary card
};

const char *const kFourNames[] = {"ANNA", "BO-2", "CHI LEE", "DEV"};

const FourPlayerCase kFourPlayers[] = {
    {.file = "match_301_4p.txt",
     .record = kRecord301FewestDarts,
     .entries = 1,
     .bestName = "CHI LEE",
     .bestValue = 6,
     .words = {"not finished, 301 left", "not finished, 301 left", "won, checked out in 6 darts",
               "not finished, 301 left"}},
    {.file = "match_countup_4p.txt",
     .record = kRecordCountUpFewestDarts,
     .entries = 1,
     .bestName = "BO-2",
     .bestValue = 4,
     .words = {"0 at the end", "reached 200 in 4 darts", "0 at the end", "0 at the end"}},
    {.file = "match_highscore_4p.txt",
     .record = kRecordHighScoreBestTotal,
     .entries = 4,
     .bestName = "DEV",
     .bestValue = 115,
     .words = {"0 after seven rounds, 2nd place", "0 after seven rounds, 2nd place",
               "0 after seven rounds, 2nd place", "115 after seven rounds, 1st place"}},
    {.file = "match_clock_4p.txt",
     .record = kRecordClockFewestDarts,
     .entries = 0,
     .bestName = "",
     .bestValue = 0,
     .words = {"reached 4", "reached 1", "reached 1", "reached 1"}},
};

TEST(BookRecorder, FourPlayerMatchesOfEachGameGiveTheWinnersRecords) {
  const std::vector<std::string> names(std::begin(kFourNames), std::end(kFourNames));
  for (const FourPlayerCase &c : kFourPlayers) {
    SCOPED_TRACE(c.file);
    const Played p = play(c.file, names);
    ASSERT_EQ(p.book.matches.size(), 1u);
    const BookMatch &m = p.book.matches[0];
    ASSERT_EQ(m.players, 4);
    for (int s = 0; s < kMaxPlayers; ++s) {
      EXPECT_EQ(m.seats[s].name, kFourNames[s]);
      EXPECT_EQ(matchResultWords(m, s), c.words[s]) << "seat " << s;
    }
    // "New best!" goes to the record's holder only.
    for (int s = 0; s < kMaxPlayers; ++s)
      EXPECT_EQ(p.newBests[s], c.entries > 0 && c.bestName == std::string(kFourNames[s])) << s;
    const std::vector<RecordEntry> best = bookRecords(p.book, c.record);
    ASSERT_EQ(best.size(), c.entries);
    if (c.entries > 0) {
      EXPECT_EQ(best[0].name, c.bestName);
      EXPECT_EQ(best[0].value, c.bestValue);
    }
    // Every dart is in the book under its seat's name and the match's game.
    ASSERT_EQ(p.book.darts.size(), p.darts.size());
    int darts[kMaxPlayers] = {};
    for (const BookDart &d : p.book.darts) {
      EXPECT_EQ(d.name, kFourNames[d.seat]);
      EXPECT_EQ(d.game, m.game);
      ++darts[d.seat];
    }
    for (int s = 0; s < kMaxPlayers; ++s) EXPECT_EQ(darts[s], m.seats[s].darts) << "seat " << s;
  }
}

}  // namespace
