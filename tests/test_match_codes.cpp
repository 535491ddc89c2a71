// Matches played again from their codes, in this process with the host on:
// a watched code lands every dart where the match did whatever the pass
// timing, a match cut off at any step of a dart and resumed ends as the
// same match played straight through, a press at the edge of the game's
// gap still lands, a rematch turns the seats and the seed, and a refused
// code changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "host/match_codes.h"
#include "host/seats.h"
#include "host_driver.h"
#include "replay_runner.h"
#include "scripted_person.h"

namespace {

// What a match gave: each landing (score and number hit, in order), the
// final scores and the winner, and its code.
struct Outcome {
  std::vector<int32_t> landings;
  std::string scores;
  std::string code;
};

std::vector<int32_t> *landingsSeen;
int32_t lastSeenStep = -1;

void seeLandings(const HostView &view) {
  const bool result = view.scene == HostScene::kMatch &&
                      (view.sceneStep == kMatchResult || view.sceneStep == kMatchClockResult);
  if (result && lastSeenStep != view.sceneStep && landingsSeen != nullptr)
    landingsSeen->push_back(view.match->throwScore * 100 + view.match->hitSector);
  lastSeenStep = view.scene == HostScene::kMatch ? view.sceneStep : -1;
}

// The scripted person of these matches presses in every match step, so
// the same darts land whether the match is played, resumed or not.
bool inMatch() { return hostLastView().scene == HostScene::kMatch; }

struct Person : ScriptedPerson {
  Person() : ScriptedPerson{{20, 14, 37, 15, 14, 50, 14, 40, 25}, inMatch} {}
};

struct Table {
  const char *name;
  int32_t mode;
  int32_t players;
  int32_t levels[kMaxPlayers];  // 0: the scripted person
};

std::string tempDir(const std::string &name) { return replayWorkDir("codes-work", name); }

void startIn(HostDriver &d, const std::string &dir) {
  d.start();
  headlessSetRegistryDir(dir.c_str());
  hostResetForTests();
  (void)hostAddObserver(seeLandings);
}

void setSeats(const Table &t, uint64_t seed) {
  for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i).cpuLevel = i < t.players ? t.levels[i] : 0;
  hostSetNextMatchSeed(seed);
}

std::string scoresNow() {
  std::string s;
  for (int32_t i = 0; i < playerCount; ++i) s += std::to_string(match.playerScores[i]) + " ";
  return s + "winner " + std::to_string(match.winner);
}

// Plays until the match is over (or the cut: a dart's index and step),
// passes of stepMs each. True when the cut was reached.
bool playOn(HostDriver &d, Person &person, int32_t cutDart, int32_t cutStep, uint32_t stepMs,
            int limit = 200000) {
  for (int i = 0; i < limit && d.running; ++i) {
    if (hostLastView().scene == HostScene::kMatch && sceneStep >= kMatchFinished) return false;
    if (person.darts == cutDart && hostLastView().scene == HostScene::kMatch &&
        sceneStep == cutStep)
      return true;
    if (!d.running || appPass(&d.code) == false) d.running = false;
    headlessAdvanceClock(stepMs);
    person.afterPass();
  }
  ADD_FAILURE() << "the match did not end";
  return false;
}

Outcome straightThrough(const Table &t, uint64_t seed, const std::string &dir) {
  HostDriver d;
  startIn(d, dir);
  Outcome out;
  landingsSeen = &out.landings;
  setSeats(t, seed);
  startMatchOf(t.mode, t.players);
  Person person;
  playOn(d, person, -1, -1, 16);
  out.scores = scoresNow();
  out.code = hostMatchCode();
  landingsSeen = nullptr;
  d.finish();
  return out;
}

const Table kGames[] = {
    {"301, a person and a computer", kGame301, 2, {0, 3, 0, 0}},
    {"Count Up, a computer and a person", kGameCountUp, 2, {4, 0, 0, 0}},
    {"High Score, a person between two computers", kGameHighScore, 3, {2, 0, 5, 0}},
    {"Round The Clock, two computers", kGameRoundTheClock, 2, {5, 1, 0, 0}},
};

TEST(MatchCodes, AWatchedCodeLandsEveryDartWhereTheMatchDidWhateverThePassTiming) {
  struct Timing {
    const char *name;
    uint32_t stepMs;
  };
  const Timing timings[] = {{"16 ms passes", 16}, {"7 ms passes", 7}, {"33 ms passes", 33}};
  for (const Table &t : kGames) {
    SCOPED_TRACE(t.name);
    const std::string dir = tempDir("watch");
    const Outcome played = straightThrough(t, 0x1234 + t.mode, dir);
    ASSERT_FALSE(played.code.empty());
    for (const Timing &timing : timings) {
      SCOPED_TRACE(timing.name);
      HostDriver d;
      startIn(d, dir);
      Outcome watched;
      landingsSeen = &watched.landings;
      std::string message;
      ASSERT_TRUE(hostPlayCode(played.code, CodePlay::kWatch, &message)) << message;
      for (int i = 0; i < 400000 &&
                      !(hostLastView().scene == HostScene::kMatch && sceneStep >= kMatchFinished);
           ++i) {
        d.pass();
        headlessAdvanceClock(timing.stepMs - 16);
      }
      watched.scores = scoresNow();
      watched.code = hostMatchCode();
      landingsSeen = nullptr;
      EXPECT_EQ(watched.landings, played.landings);
      EXPECT_EQ(watched.scores, played.scores);
      EXPECT_EQ(watched.code, played.code);
      d.finish();
    }
  }
}

TEST(MatchCodes, AMatchCutOffAtAnyStepOfADartAndResumedEndsAsPlayedStraightThrough) {
  const int32_t steps[] = {kMatchAnnounce,   kMatchAimSlide, kMatchGaugeReady, kMatchPowerClimbs,
                           kMatchPowerFalls, kMatchFlight,   kMatchResult,     kMatchNextDart};
  for (const Table &t : kGames) {
    SCOPED_TRACE(t.name);
    const std::string dir = tempDir("resume");
    const uint64_t seed = 0xABCDEF + t.mode;
    const Outcome played = straightThrough(t, seed, dir);
    MatchCode whole;
    ASSERT_EQ(matchCodeRead(played.code, &whole, nullptr), CodeRefusal::kNone);
    // Every step of the first seat's second dart and of the second seat's
    // first (a turn handed over), then one dart some turns on, which alone
    // is played to the match's end: the others go on for kDartsOn darts,
    // as far as a computer's choices would show a stream drawn wrong.
    constexpr int32_t kDartsOn = 5;
    constexpr int32_t kLastCut = 13;
    for (int32_t dart : {1, 3, kLastCut}) {
      for (int32_t step : steps) {
        if (dart == kLastCut && step != kMatchPowerClimbs) continue;
        const int32_t cutStep =
            t.mode == kGameRoundTheClock && step == kMatchResult ? kMatchClockResult : step;
        SCOPED_TRACE("cut at dart " + std::to_string(dart + 1) + ", step " +
                     std::to_string(cutStep));
        // The person's darts are counted by the steps they see; the cut is
        // at the darts of every seat, counted the same way.
        std::system(("rm -f '" + dir + "/match'").c_str());
        HostDriver d;
        startIn(d, dir);
        setSeats(t, seed);
        startMatchOf(t.mode, t.players);
        Person person;
        if (!playOn(d, person, dart, cutStep, 16)) continue;  // the match ended sooner
        d.running = false;                                    // cut off: no more passes
        hostEnable(false);

        HostDriver again;
        startIn(again, dir);
        Outcome resumed;
        MatchCode kept;
        Person sameOne;
        std::string message;
        if (matchCodeRead(hostKeptMatch(), &kept, &message) == CodeRefusal::kNone) {
          ASSERT_TRUE(hostResumeKept(&message)) << message;
          // Caught up unseen; the person goes on from the dart after the kept ones.
          for (int i = 0; i < 100 && (i == 0 || hostGameHidden()); ++i) again.pass();
          ASSERT_EQ(hostLastView().scene, HostScene::kMatch);
          ASSERT_FALSE(hostGameSilenced());
          sameOne.darts = static_cast<int32_t>(kept.darts.size());
        } else {
          // Cut before the first dart left the hand: nothing was kept, and
          // the match starts again.
          ASSERT_LE(dart, 0);
          setSeats(t, seed);
          startMatchOf(t.mode, t.players);
        }
        if (dart != kLastCut) {
          const int32_t upTo = sameOne.darts + kDartsOn;
          playOn(again, sameOne, upTo, kMatchAnnounce, 16);
          MatchCode so;
          ASSERT_EQ(matchCodeRead(hostMatchCode(), &so, nullptr), CodeRefusal::kNone);
          const size_t n = std::min(so.darts.size(), whole.darts.size());
          EXPECT_GE(n, static_cast<size_t>(std::min<size_t>(upTo, whole.darts.size())));
          EXPECT_EQ(so.seed, whole.seed);
          EXPECT_TRUE(std::equal(so.darts.begin(), so.darts.begin() + n, whole.darts.begin()));
        } else {
          playOn(again, sameOne, -1, -1, 16);
          resumed.scores = scoresNow();
          resumed.code = hostMatchCode();
          EXPECT_EQ(resumed.scores, played.scores);
          EXPECT_EQ(resumed.code, played.code);
        }
        again.finish();
      }
    }
  }
}

// Darts pressed sooner after the press before than the game's gap allows
// at the pace of the passes (the column and peak at their first passes) or
// right at its edge: each lands as recorded, at passes of any length.
TEST(MatchCodes, APressAtOrInsideTheGameGapStillLands) {
  MatchCode code;
  code.game = kGameHighScore;
  code.players = 1;
  code.seats[0] = {CodeSeatKind::kPerson, 0, "EDGE"};
  code.darts = {{112, 2, 0}, {108, 4, 2}, {64, 26, 24}, {16, 139, 139}, {208, 138, 136}};
  std::string text;
  ASSERT_TRUE(matchCodeWrite(code, &text));
  for (uint32_t stepMs : {1u, 16u, 201u}) {
    SCOPED_TRACE(std::to_string(stepMs) + " ms passes");
    HostDriver d;
    startIn(d, tempDir("edge"));
    std::string message;
    ASSERT_TRUE(hostPlayCode(text, CodePlay::kWatch, &message)) << message;
    for (int i = 0; i < 20000 && hostMatchCode() != text; ++i) {
      d.pass();
      headlessAdvanceClock(stepMs - 16);
    }
    MatchCode landed;
    ASSERT_EQ(matchCodeRead(hostMatchCode(), &landed, &message), CodeRefusal::kNone) << message;
    EXPECT_EQ(landed.darts, code.darts);
    d.finish();
  }
}

TEST(MatchCodes, ARematchTurnsTheSeatsAndDrawsANewSeed) {
  const std::string dir = tempDir("rematch");
  HostDriver d;
  startIn(d, dir);
  const Table t = {"High Score, three computers", kGameHighScore, 3, {1, 3, 5, 0}};
  setSeats(t, 77);
  std::snprintf(hostSeat(0).name, sizeof hostSeat(0).name, "ANNA");
  startMatchOf(t.mode, t.players);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchFinished, 400000));
  const uint64_t seed = hostMatchSeed();
  hostOpenMenu();
  hostOpenPage("rematch");
  EXPECT_FALSE(hostMenuOpen());
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  struct Row {
    const char *name;
    int32_t seat;
    int32_t level;
    const char *seatName;
  };
  const Row rows[] = {
      {"the second seat throws first", 0, 3, "CPU 55"},
      {"the third seat second", 1, 5, "CPU 80"},
      {"the first seat last, its name kept", 2, 1, "ANNA"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(hostMatchCpuLevel(r.seat), r.level);
    EXPECT_STREQ(hostSeatName(r.seat), r.seatName);
  }
  EXPECT_EQ(hostMatchSeed(), rematchSeed(seed));
  EXPECT_NE(hostMatchSeed(), seed);
  EXPECT_EQ(gameMode, kGameHighScore);
  EXPECT_EQ(playerCount, 3);
  d.finish();
}

TEST(MatchCodes, ARefusedCodeChangesNothing) {
  const std::string dir = tempDir("refused");
  HostDriver d;
  startIn(d, dir);
  const Table t = {"301, a person and a computer", kGame301, 2, {0, 2, 0, 0}};
  const Outcome played = straightThrough(t, 5, dir);
  startIn(d, dir);
  std::snprintf(hostSeat(1).name, sizeof hostSeat(1).name, "BEA");
  hostSeat(1).cpuLevel = 4;
  std::string damaged = played.code;
  damaged[20] = damaged[20] == 'A' ? 'B' : 'A';
  const std::string host = readAll(dir + "/host");
  std::string message;
  EXPECT_FALSE(hostPlayCode(damaged, CodePlay::kWatch, &message));
  EXPECT_EQ(message, "This code is damaged: its check does not match. Copy it again.");
  d.run(30);
  EXPECT_EQ(hostLastView().scene, HostScene::kTitle);
  EXPECT_EQ(hostPlayback(), HostPlayback::kNone);
  EXPECT_STREQ(hostSeat(1).name, "BEA");
  EXPECT_EQ(hostSeat(1).cpuLevel, 4);
  EXPECT_EQ(hostKeptMatch(), "");
  EXPECT_EQ(readAll(dir + "/host"), host);
  d.finish();
}

// Through tobelyn-replay: a match of two computers goes into the book with
// its code; watched again from that code it lands the same darts and the
// book stays as it was.
TEST(MatchCodes, AWatchedMatchIsLeftOutOfTheBook) {
  const std::string dir = tempDir("book");
  std::ofstream(dir + "/play.txt") << "host on\nseat 1 cpu 5\nseat 2 cpu 2\nseed 9\n"
                                      "clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\n"
                                      "key 0x0D\nwait 0\nrun 14\nkey 0x28\nrun 14\nkey 0x0D\n"
                                      "wait 0\nrun 14\nkey 0x0D\nwait 0\nwait 12 400000\ndump\n";
  const ReplayRun played = runReplay(dir, "--data . play.txt");
  ASSERT_EQ(played.status, 0) << played.errors;
  const std::string code = field(played.lines.at(0), "code");
  const std::string book = readAll(dir + "/book");
  EXPECT_NE(book.find(" code=" + code + " "), std::string::npos);
  std::ofstream(dir + "/watch.txt")
      << "host on\nclock 100000\nrun 10\nhost watch " << code << "\nwait 12 400000\ndump\n";
  const ReplayRun watched = runReplay(dir, "--data . watch.txt");
  ASSERT_EQ(watched.status, 0) << watched.errors;
  EXPECT_EQ(field(watched.lines.at(0), "code"), code);
  EXPECT_EQ(field(watched.lines.at(0), "playerScores"), field(played.lines.at(0), "playerScores"));
  EXPECT_EQ(field(watched.lines.at(0), "bookMatches"), "1");
  EXPECT_EQ(readAll(dir + "/book"), book);

  std::string damaged = code;
  damaged[20] = damaged[20] == 'A' ? 'B' : 'A';
  std::ofstream(dir + "/bad.txt") << "host watch " << damaged << "\ndump\n";
  const ReplayRun refused = runReplay(dir, "--data . bad.txt");
  EXPECT_EQ(refused.status, 0);
  EXPECT_NE(refused.errors.find("bad.txt:1: This code is damaged: its check does not match."),
            std::string::npos)
      << refused.errors;
  EXPECT_EQ(readAll(dir + "/book"), book);
}

TEST(MatchCodes, QuitToTitleLetsTheKeptMatchGoAndAFinishedOneKeepsNothing) {
  const std::string dir = tempDir("quit");
  const Table t = {"High Score, two computers", kGameHighScore, 2, {2, 4, 0, 0}};
  (void)straightThrough(t, 3, dir);
  EXPECT_EQ(readAll(dir + "/match"), "") << "a finished match is in the book, not kept";

  HostDriver d;
  startIn(d, dir);
  setSeats(t, 3);
  startMatchOf(t.mode, t.players);
  for (int i = 0; i < 20000 && hostKeptMatch().empty(); ++i) d.pass();
  ASSERT_FALSE(hostKeptMatch().empty());
  EXPECT_EQ(readAll(dir + "/match"), hostKeptMatch() + "\n");
  quitToTitle();  // what the menu's Quit to title does
  d.run(2);
  EXPECT_EQ(hostKeptMatch(), "");
  EXPECT_EQ(readAll(dir + "/match"), "");
  d.finish();
}

}  // namespace
