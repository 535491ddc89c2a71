// Computer seats run by the host, seen from outside through tobelyn-replay:
// matches of CPUs play themselves out, a person's A does nothing in a CPU's
// turn, a seed gives the same darts again, and the Players page and the
// host's file keep the seats.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "host/book.h"
#include "host/host.h"
#include "host/host_internal.h"
#include "host/seats.h"
#include "platform/headless/headless.h"
#include "replay_runner.h"

namespace {

std::string makeWorkDir(const std::string &name) { return replayWorkDir("cpu-work", name); }

ReplayRun runScript(const std::string &name, const std::string &script) {
  return runScriptIn("cpu-work", name, script);
}

const char kMenuKeyGap[] = "run 14\n";
const char kDown[] = "run 14\nkey 0x28\n";

// The seats and seed first, then from the title through the menus to the
// first pass of a two-player match of the game in that row of the list.
std::string toTwoPlayerMatch(int mode, const char *seats) {
  std::string s =
      std::string("host on\n") + seats + "clock 100000\n" + kMenuKeyGap + "key 0x0D\nwait 0\n";
  for (int i = 0; i < mode; ++i) s += kDown;
  s += std::string(kMenuKeyGap) + "key 0x0D\nwait 0\n" + kDown + kMenuKeyGap +
       "key 0x0D\nwait 0\n" + kMenuKeyGap + "key 0x0D\nwait 0\n";
  return s;
}

TEST(CpuSeats, TwoCpusPlayEachGameBackToTheTitleWithNoKeyPressed) {
  struct Case {
    const char *name;
    int mode;
  };
  const Case cases[] = {
      {"301", 0},
      {"Count Up", 1},
      {"High Score", 2},
      {"Round The Clock", 3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    // No key after the match starts: the end screen is left by the last CPU,
    // once its summary has had time to be read (four seconds on, still up).
    const std::string script = toTwoPlayerMatch(c.mode, "seat 1 cpu 5\nseat 2 cpu 4\nseed 11\n") +
                               "wait 14 400000\ndump\nrun 250\ndump\nrun 600\ndump\n";
    expectDumps(
        runScript("two-cpus", script),
        {"scene=MatchScene sceneStep=14", "scene=MatchScene sceneStep=14", "scene=TitleScene"});
  }
}

// The player book files a CPU match with the level each seat threw at and
// the seed that plays its darts again, and a computer under its own name:
// its level's until it is renamed, never a person's "PLAYER n".
TEST(CpuSeats, TheBookKeepsEachSeatsNameLevelAndTheSeed) {
  struct Case {
    const char *name;
    const char *hostFile;
    const char *first, *second;
  };
  const Case cases[] = {
      {"computers go by their levels", "", "CPU 80", "CPU 65"},
      {"a computer renamed keeps its name", "seat1Name ROBIN\n", "ROBIN", "CPU 65"},
      {"a name from an older file is the seat's default", "seat1Name PLAYER 1\n", "CPU 80",
       "CPU 65"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = makeWorkDir("book");
    std::system(("mkdir -p '" + dir + "/reg'").c_str());
    std::ofstream(dir + "/reg/host") << c.hostFile;
    std::ofstream(dir + "/script.txt")
        << toTwoPlayerMatch(0, "seat 1 cpu 5\nseat 2 cpu 4\nseed 11\n") + "wait 12 400000\nrun 1\n";
    const ReplayRun run = runReplay(dir, "--registry reg --data . script.txt");
    ASSERT_EQ(run.status, 0) << run.errors;
    Book book;
    bookLoad((dir + "/book").c_str(), &book);
    ASSERT_EQ(book.matches.size(), 1u) << "the finished match is in the book";
    const BookMatch &match = book.matches[0];
    EXPECT_EQ(match.seed, 11u);
    EXPECT_EQ(match.seats[0].name, c.first);
    EXPECT_EQ(match.seats[1].name, c.second);
    EXPECT_EQ(match.seats[0].cpuLevel, 5);
    EXPECT_EQ(match.seats[1].cpuLevel, 4);
    const std::vector<BookPlayer> players = bookPlayers(book);
    ASSERT_FALSE(players.empty());
    EXPECT_EQ(players[0].kind, PlayerKind::kComputer);
  }
}

// The first turn of a "301" match whose first seat is a CPU, with a person
// pressing A all through it or not at all: the same darts land.
TEST(CpuSeats, APersonsPressesInACpuTurnChangeNothing) {
  const std::string start = toTwoPlayerMatch(0, "seat 1 cpu 2\nseed 5\n");
  std::string pressing;
  for (int i = 0; i < 120; ++i) pressing += "hold 0x0D\nkey 0x0D\nrun 2\nrelease 0x0D\nrun 3\n";
  const ReplayRun quiet = runScript("quiet", start + "run 600\ndump\n");
  const ReplayRun pressed = runScript("pressed", start + pressing + "dump\n");
  ASSERT_EQ(quiet.status, 0) << quiet.errors;
  ASSERT_EQ(pressed.status, 0) << pressed.errors;
  ASSERT_GE(quiet.lines.size(), 1u);
  ASSERT_GE(pressed.lines.size(), 1u);
  EXPECT_NE(field(quiet.lines[0], "dartMarkX"), "[0,0,0]");
  EXPECT_EQ(field(pressed.lines[0], "dartMarkX"), field(quiet.lines[0], "dartMarkX"));
  EXPECT_EQ(field(pressed.lines[0], "dartMarkY"), field(quiet.lines[0], "dartMarkY"));
  EXPECT_EQ(field(pressed.lines[0], "playerScores"), field(quiet.lines[0], "playerScores"));
}

TEST(CpuSeats, TheSameSeedThrowsTheSameDartsAndAnotherDoesNot) {
  auto firstTurn = [](const char *name, const char *seed) {
    const std::string seats = std::string("seat 1 cpu 1\nseed ") + seed + "\n";
    const ReplayRun run = runScript(name, toTwoPlayerMatch(0, seats.c_str()) + "run 600\ndump\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    return run.lines.empty() ? std::string() : field(run.lines[0], "match");
  };
  const std::string first = firstTurn("seed-a", "1234");
  EXPECT_EQ(firstTurn("seed-b", "1234"), first);
  EXPECT_NE(firstTurn("seed-c", "99"), first);
}

// After a computer's last dart of a turn the match has moved on to the
// next player, a person here; the computer still leaves its own result, as
// it leaves its announcement, and that person's A waits for it.
TEST(CpuSeats, TheComputerLeavesTheResultOfItsLastDartItself) {
  const std::string thirdResult = toTwoPlayerMatch(0, "seat 1 cpu 3\nseed 5\n") +
                                  "wait 11\nwait 1\nwait 11\nwait 1\nwait 11\ndump\n";
  struct Case {
    const char *name;
    const char *then;
    std::vector<const char *> dumps;
  };
  const Case cases[] = {
      {"with no key pressed, the person's announcement comes",
       "run 120\ndump\n",
       {"sceneStep=11 currentPlayer=1 dartIndex=0", "sceneStep=1 currentPlayer=1"}},
      {"the person's A in the computer's result is not taken",
       "hold 0x0D\nkey 0x0D\nrun 2\nrelease 0x0D\nrun 3\ndump\nrun 120\ndump\n",
       {"sceneStep=11 currentPlayer=1 dartIndex=0", "sceneStep=11", "sceneStep=1"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    expectDumps(runScript("last-result", thirdResult + c.then), c.dumps);
  }
}

// The CSV's darts without their match number and date (the date follows
// the script's clock).
std::vector<std::string> dartRows(const std::string &csv) {
  std::vector<std::string> rows;
  std::istringstream in(csv);
  for (std::string line; std::getline(in, line);) {
    const size_t second = line.find(',', line.find(',') + 1);
    rows.push_back(second == std::string::npos ? line : line.substr(second));
  }
  return rows;
}

// A match kept in the book is played again from its seed and levels alone:
// at the other pace and another frame rate, every dart lands where it did.
TEST(CpuSeats, AMatchInTheBookPlaysAgainFromItsSeedAndLevels) {
  const std::string first = makeWorkDir("book-again");
  std::ofstream(first + "/script.txt")
      << toTwoPlayerMatch(0, "seat 1 cpu 5\nseat 2 cpu 2\nseed 0xFEDCBA9876543210\n") +
             "wait 12 400000\nrun 1\n";
  const ReplayRun played = runReplay(first, "--data . --export darts.csv script.txt");
  ASSERT_EQ(played.status, 0) << played.errors;
  Book book;
  bookLoad((first + "/book").c_str(), &book);
  ASSERT_EQ(book.matches.size(), 1u);
  const BookMatch &kept = book.matches[0];
  EXPECT_EQ(kept.seed, 0xFEDCBA9876543210ull) << "the whole seed is kept";

  // Only what the book holds: the seed, each seat's level; fast and 17 ms.
  const std::string again = makeWorkDir("book-again-replayed");
  std::system(("mkdir -p '" + again + "/reg'").c_str());
  std::ofstream(again + "/reg/host") << "fastCpu 1\n";
  std::string seats = "step 17\nseed " + std::to_string(kept.seed) + "\n";
  for (int s = 0; s < kept.players; ++s)
    seats +=
        "seat " + std::to_string(s + 1) + " cpu " + std::to_string(kept.seats[s].cpuLevel) + "\n";
  std::ofstream(again + "/script.txt")
      << toTwoPlayerMatch(0, seats.c_str()) + "wait 12 400000\nrun 1\n";
  const ReplayRun replayed = runReplay(again, "--registry reg --export darts.csv script.txt");
  ASSERT_EQ(replayed.status, 0) << replayed.errors;
  const std::vector<std::string> darts = dartRows(readAll(first + "/darts.csv"));
  EXPECT_GT(darts.size(), 10u);
  EXPECT_EQ(dartRows(readAll(again + "/darts.csv")), darts);
}

// Keys for the open menu: it takes one message a pass.
std::string menuKeys(std::initializer_list<const char *> codes) {
  std::string s;
  for (const char *code : codes) s += std::string("key ") + code + "\nrun 1\n";
  return s;
}

TEST(PlayersPage, KeysSetAKindAndTypeAName) {
  // F1 opens the menu at the title; Players is two rows below Resume, after "Play...".
  const std::string script =
      "host on\nclock 100000\nrun 20\n" + menuKeys({"112", "0x28", "0x28", "0x0D"}) +
      // Seat 2: two levels up, then a new name typed.
      menuKeys({"0x28", "0x27", "0x27", "0x0D", "0x41", "0x4E", "0x20", "0xBD", "0x32", "0x0D"}) +
      // Seat 3: the picker turns its first letter back once.
      menuKeys({"0x28", "0x0D", "0x28", "0x0D"}) + "dump\n";
  expectDumps(runScript("players-keys", script),
              {"page=players "
               "seats=[{name:PLAYER1,cpuLevel:0,assist:off,autoContinue:0,cues:0},"
               "{name:AN-2,cpuLevel:2,assist:off,autoContinue:0,cues:0},"
               "{name:OLAYER3,cpuLevel:0,assist:off,autoContinue:0,cues:0},"
               "{name:PLAYER4,cpuLevel:0,assist:off,autoContinue:0,cues:0}]"});
}

}  // namespace
