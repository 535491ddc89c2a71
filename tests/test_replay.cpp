// The replay runner end to end: the built tobelyn-replay on the timing
// scripts in tests/scripts and on small scripts written here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "replay/script.h"
#include "replay_runner.h"

namespace {

const std::string scriptDir = TOBELYN_SOURCE_DIR "/tests/scripts/";

void writeFile(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder for one test's files.
std::string freshDir() {
  const std::string dir = ::testing::TempDir() + "tobelyn_replay_" + std::to_string(getpid()) +
                          "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/reg'").c_str());
  return dir;
}

ReplayRun replayText(const std::string &dir, const std::string &script,
                     const std::string &options = "") {
  writeFile(dir + "/script.txt", script);
  return runReplay(dir, options + " script.txt");
}

TEST(Replay, TimingScripts) {
  const struct {
    const char *file;
    const char *checks;
    std::vector<const char *> dumps;
  } scripts[] = {
      {.file = "replay_wrap.txt",
       .checks = "Menu key spacing across the clock's wrap: 199 ms ignored, 200 ms taken",
       .dumps = {"inputDebounceTime=4294967168 menuCursor=0",
                 "menuCursor=0 inputDebounceTime=4294967168",
                 "menuCursor=1 inputDebounceTime=72 pass=3"}},
      {.file = "replay_minimize.txt",
       .checks = "Activation changes keep frames going; minimising ends the program, and later run "
                 "and wait run nothing",
       .dumps = {"framesEnabled=1 pass=6 clock=96", "framesEnabled=0 pass=8", "pass=8 clock=128"}},
      {.file = "replay_match_hold.txt",
       .checks =
           "Held Button A in the match: 200 ms not enough, 201 taken; released it is not seen",
       .dumps = {"scene=MatchScene sceneStep=0", "sceneStep=1 inputDebounceTime=500000",
                 "sceneStep=1", "inputDebounceTime=500201", "sceneStep=3 pass=164",
                 "sceneStep=4 inputDebounceTime=501000"}},
  };
  const std::string dir = freshDir();
  for (const auto &s : scripts) {
    SCOPED_TRACE(std::string(s.file) + ": " + s.checks);
    expectDumps(runReplay(dir, "'" + scriptDir + s.file + "'"), s.dumps);
  }
}

// Scripts read from standard input; the end of a script closes the program.
TEST(Replay, GoodScriptsEndWithExitZero) {
  const struct {
    const char *name;
    const char *script;
    std::vector<const char *> dumps;
  } cases[] = {
      {.name = "an empty script", .script = "", .dumps = {}},
      {.name = "a 1 ms step", .script = "step 1\nrun 100\n", .dumps = {}},
      {.name = "blanks, tabs, carriage returns and trailing comments",
       .script = "  run 3   # three passes\r\n\tdump\r\n# done\r\n",
       .dumps = {"pass=3 clock=48"}},
      {.name = "wait stops at the first pass after which the step matches",
       .script = "wait 1\ndump\n",
       .dumps = {"pass=1"}},
      {.name = "a dump before any pass",
       .script = "dump\n",
       .dumps = {"pass=0 scene=TitleScene playerScores=[0,0,0,0] dartMarkX=[0,0,0]"}},
      {.name = "close destroys the window in one pass and ends the loop in the next",
       .script = "close\nrun 1\ndump\nrun 5\ndump\n",
       .dumps = {"pass=1 framesEnabled=0", "pass=2"}},
  };
  const std::string dir = freshDir();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(dir + "/in.txt", c.script);
    expectDumps(runReplay(dir, "- < in.txt"), c.dumps);
  }
}

TEST(Replay, SettingsPersistOnlyWithARegistryFolder) {
  const std::string dir = freshDir(), check = "'" + scriptDir + "replay_registry_check.txt'";
  ASSERT_EQ(runReplay(dir, "--registry reg '" + scriptDir + "replay_option_tap.txt'").status, 0);
  // Sound off is kept: the confirmation plays nothing.
  expectDumps(runReplay(dir, "--registry reg " + check), {"sound=0", "menuChoice=1 sounds=[]"});
  expectDumps(runReplay(dir, check), {"sound=1", "sounds=[1]"});
}

TEST(Replay, TimedemoPrintsOnlyPassesPerSecond) {
  const std::string dir = freshDir();
  const ReplayRun run = replayText(dir, "run 500\nshot t.png\ndump\n", "--timedemo");
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_GT(std::atof(run.lines[0].c_str()), 0.0) << run.lines[0];
}

TEST(Replay, ShotWritesA240By320Png) {
  const std::string dir = freshDir();
  ASSERT_EQ(replayText(dir, "run 2\nshot title.png\n").status, 0);
  const std::string png = readAll(dir + "/title.png");
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  // Width and height, big-endian, in the header chunk.
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\xF0\0\0\x01\x40", 8));
  const ReplayRun bad = replayText(dir, "run 1\nshot no/such/folder/x.png\n");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.errors.find("script.txt:2:"), std::string::npos) << bad.errors;
}

// A bad line stops the script before anything runs and is named in the
// message; so is a wait whose step never comes.
TEST(Replay, BadLinesStopBeforeRunningAndNameTheLine) {
  const struct {
    const char *line;
    const char *message;
  } cases[] = {
      {.line = "frobnicate", .message = "unknown command 'frobnicate'"},
      {.line = "run", .message = "expected 'run N'"},
      {.line = "run -1", .message = "bad pass count"},
      {.line = "dump now", .message = "expected 'dump'"},
      {.line = "clock 0x100000000", .message = "bad time"},
      {.line = "clock 12abc", .message = "bad time"},
      {.line = "clock -5", .message = "bad time"},
      {.line = "step 1.5", .message = "bad step"},
      {.line = "key 0x10000", .message = "bad key code"},
      {.line = "hold A", .message = "bad key code"},
      {.line = "tap 1", .message = "expected 'tap X Y'"},
      {.line = "tap 1 2 3", .message = "expected 'tap X Y'"},
      {.line = "tap -1 2", .message = "bad x"},
      {.line = "tap 1 65536", .message = "bad y"},
      {.line = "activate 2", .message = "bad activation"},
      {.line = "wait", .message = "expected 'wait S [N]'"},
      {.line = "wait x", .message = "bad scene step"},
      {.line = "wait 1 -2", .message = "bad pass limit"},
      {.line = "wait 2147483648", .message = "bad scene step"},
      {.line = "wait -2147483649", .message = "bad scene step"},
      {.line = "shot a b", .message = "expected 'shot FILE'"},
  };
  const std::string dir = freshDir();
  for (const auto &c : cases) {
    // Two good lines, a comment and a blank line before the bad one.
    const ReplayRun run =
        replayText(dir, std::string("run 1\n# comment\n\ndump\n") + c.line + "\nrun 1\n");
    EXPECT_EQ(run.status, 2) << c.line;
    EXPECT_EQ(run.lines.size(), 0u) << c.line;
    EXPECT_EQ(run.errors.rfind("tobelyn-replay: script.txt:5: ", 0), 0u) << run.errors;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.line << " -> " << run.errors;
  }
  const ReplayRun wait = replayText(dir, "run 1\n\nwait 77 5\ndump\n");
  EXPECT_EQ(std::make_tuple(wait.status, wait.lines.size()), std::make_tuple(2, size_t{0}));
  EXPECT_EQ(wait.errors.rfind("tobelyn-replay: script.txt:3: ", 0), 0u) << wait.errors;
  for (const char *arguments :
       {"", "--registry", "--bogus script.txt", "a.txt b.txt", "missing-file.txt"}) {
    const ReplayRun run = runReplay(dir, arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.errors.rfind("tobelyn-replay: ", 0), 0u) << arguments << ": " << run.errors;
  }
}

// `seed` takes the whole 64 bits a match keeps in the book; past them it is
// a bad line.
TEST(ReplayScript, SeedTakesTheWholeSixtyFourBits) {
  const struct {
    const char *name;
    const char *line;
    bool ok;
    uint64_t seed;
  } cases[] = {
      {.name = "a small decimal seed", .line = "seed 12345", .ok = true, .seed = 12345},
      {.name = "past 32 bits in hex",
       .line = "seed 0xFEDCBA9876543210",
       .ok = true,
       .seed = 0xFEDCBA9876543210ull},
      {.name = "the largest in decimal",
       .line = "seed 18446744073709551615",
       .ok = true,
       .seed = UINT64_MAX},
      {.name = "one past the largest", .line = "seed 18446744073709551616", .ok = false, .seed = 0},
      {.name = "seventeen hex digits", .line = "seed 0x10000000000000000", .ok = false, .seed = 0},
      {.name = "a negative seed", .line = "seed -1", .ok = false, .seed = 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const ParseResult parsed = parseScriptLine(c.line);
    EXPECT_EQ(parsed.ok, c.ok) << parsed.error;
    if (c.ok) {
      EXPECT_EQ(parsed.command.seed, c.seed);
    } else {
      EXPECT_NE(parsed.error.find("bad seed"), std::string::npos) << parsed.error;
    }
  }
}

// --- The player book with the host on.

// The solo "301" script with the host on and a dump after each dart's
// result: its landings are on the dump lines that show a dart mark.
std::string bookScript() {
  std::istringstream in(readAll(scriptDir + "match_301_1p.txt"));
  std::string out = "host summary\n";
  for (std::string line; std::getline(in, line);) {
    out += line + "\n";
    if (line == "run 10") out += "dump\n";
  }
  return out;
}

std::vector<std::vector<std::string>> csvRows(const std::string &text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> row;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) row.push_back(cell);
    rows.push_back(row);
  }
  return rows;
}

TEST(ReplayBook, ASoloMatchExportsEachDartWhereTheDumpsShowItLanded) {
  const std::string dir = freshDir();
  const ReplayRun run = replayText(dir, bookScript(), "--data data --export darts.csv");
  ASSERT_EQ(run.status, 0) << run.errors;

  std::vector<std::pair<std::string, std::string>> landings;
  std::vector<std::string> ends;
  for (const std::string &line : run.lines) {
    if (field(line, "scene") != "MatchScene") continue;
    const int dart = std::stoi(field(line, "dartIndex"));
    const std::string step = field(line, "sceneStep");
    if (step == "8" || step == "9" || step == "10") {
      const std::string xs = field(line, "dartMarkX"), ys = field(line, "dartMarkY");
      auto at = [dart](const std::string &list) {
        std::istringstream in(list.substr(1));
        std::string value;
        for (int i = 0; i <= dart; ++i) std::getline(in, value, ',');
        return std::to_string(std::stoi(value) + 8);
      };
      landings.emplace_back(at(xs), at(ys));
    }
    if (step == "13" || step == "14") ends.push_back(field(line, "summary"));
  }
  const auto rows = csvRows(readAll(dir + "/darts.csv"));
  ASSERT_EQ(rows.size(), landings.size() + 1) << "a header, then one row a dart";
  ASSERT_EQ(landings.size(), 7u);
  EXPECT_EQ(rows[0][10], "x");
  EXPECT_EQ(rows[0][11], "y");
  for (size_t i = 0; i < landings.size(); ++i) {
    SCOPED_TRACE("dart " + std::to_string(i + 1));
    EXPECT_EQ(rows[i + 1][10], landings[i].first);
    EXPECT_EQ(rows[i + 1][11], landings[i].second);
    EXPECT_EQ(rows[i + 1][1], "2026-12-07 12:03:31") << "the script clock's date";
  }
  EXPECT_EQ(ends, std::vector<std::string>{"1"}) << "the summary card over the end screen";
  EXPECT_EQ(field(run.lines[run.lines.size() - 2], "summary"), "0") << "gone with the end screen";

  // The book was kept in the data folder, and a second run adds to it.
  EXPECT_EQ(readAll(dir + "/data/book").rfind("tobelyn-book 2 ", 0), 0u);
  ASSERT_EQ(runReplay(dir, "--data data --export again.csv script.txt").status, 0);
  const auto again = csvRows(readAll(dir + "/again.csv"));
  EXPECT_EQ(again.size(), 2 * landings.size() + 1);
  EXPECT_EQ(again.back()[0], "2") << "the second match";
}

TEST(ReplayBook, WithoutADataFolderNothingIsWritten) {
  const std::string dir = freshDir();
  const ReplayRun run = replayText(dir, bookScript());
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(field(run.lines[run.lines.size() - 2], "bookMatches"), "1") << "kept in memory";
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + dir + "/reg')\"").c_str()), 0);
  EXPECT_EQ(std::system(("test ! -e '" + dir + "/data'").c_str()), 0);
}

// After the match, at the title: the menu's Records and Statistics pages,
// the landing map, and a reset of everything once confirmed.
TEST(ReplayBook, BookPagesOpenAndAResetIsConfirmedFirst) {
  const std::string dir = freshDir();
  std::string script = bookScript() + "run 2\nkey 0x70\nrun 2\n";
  const std::string down = "key 0x28\nrun 1\n", enter = "key 0x0D\nrun 2\n";
  script +=
      down + down + down + enter + enter + "shot records.png\ndump\n";  // Player book..., Records
  script += "key 0x1B\nrun 2\n" + down + enter + "dump\n";              // Statistics
  script += enter + "shot landing.png\ndump\nkey 0x1B\nrun 2\n";        // the landing map
  script += down + down + down + enter + enter + "dump\n";              // "No" keeps the book
  // Statistics open on Landing map again: down to the reset, then "Yes".
  script += down + down + down + enter + "key 0x28\nrun 1\n" + enter + "dump\n";
  const ReplayRun run = replayText(dir, script, "--data data");
  ASSERT_EQ(run.status, 0) << run.errors;
  std::vector<std::string> pages, matches;
  for (const std::string &line : run.lines) {
    if (field(line, "menu") != "1") continue;
    pages.push_back(field(line, "page"));
    matches.push_back(field(line, "bookMatches"));
  }
  EXPECT_EQ(pages, (std::vector<std::string>{"records", "stats", "landing", "stats", "stats"}));
  EXPECT_EQ(matches, (std::vector<std::string>{"1", "1", "1", "1", "0"}));
  EXPECT_EQ(readAll(dir + "/data/book").find("\nM "), std::string::npos) << "the reset is kept";
  EXPECT_NE(readAll(dir + "/records.png"), readAll(dir + "/landing.png"));
}

}  // namespace
