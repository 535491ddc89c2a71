// The replay runner end to end: the built tobelyn-replay on the timing
// scripts in tests/scripts and on small scripts written here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

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
  // clang-format off
  const struct { const char *file; std::vector<const char *> dumps; } scripts[] = {
      // Menu key spacing across the clock's wrap: 199 ms ignored, 200 ms taken.
      {"replay_wrap.txt", {"inputDebounceTime=4294967168 menuCursor=0", "menuCursor=0 inputDebounceTime=4294967168", "menuCursor=1 inputDebounceTime=72 pass=3"}},
      // Activation changes keep frames going; minimising ends the program,
      // and later run and wait run nothing.
      {"replay_minimize.txt", {"framesEnabled=1 pass=6 clock=96", "framesEnabled=0 pass=8", "pass=8 clock=128"}},
      // Held Button A in the match: 200 ms not enough, 201 taken; released it is not seen.
      {"replay_match_hold.txt", {"scene=MatchScene sceneStep=0", "sceneStep=1 inputDebounceTime=500000", "sceneStep=1", "inputDebounceTime=500201", "sceneStep=3 pass=164", "sceneStep=4 inputDebounceTime=501000"}},
      // A tap confirms OPTION: the confirmation sound once, one effect.
      {"replay_option_tap.txt", {"scene=TitleScene menuChoice=1 sounds=[1] effects=1", "scene=OptionScene sceneStep=0 sounds=[]", "sound=0"}},
  };
  // clang-format on
  const std::string dir = freshDir();
  for (const auto &s : scripts) {
    SCOPED_TRACE(s.file);
    expectDumps(runReplay(dir, "'" + scriptDir + s.file + "'"), s.dumps);
  }
}

// Scripts read from standard input; the end of a script closes the program.
TEST(Replay, GoodScriptsEndWithExitZero) {
  // clang-format off
  const struct { const char *script; std::vector<const char *> dumps; } cases[] = {
      {"", {}}, {"# only a comment\n\n", {}}, {"run 2\n", {}}, {"step 1\nrun 100\n", {}},
      {"  run 3   # three passes\r\n\tdump\r\n# done\r\n", {"pass=3 clock=48"}},
      {"wait 1\ndump\n", {"pass=1"}},  // stops at the first pass after which the step matches
      {"dump\n", {"pass=0 scene=TitleScene playerScores=[0,0,0,0] dartMarkX=[0,0,0]"}},
      // A close request destroys the window in one pass and ends the loop in the next.
      {"close\nrun 1\ndump\nrun 5\ndump\n", {"pass=1 framesEnabled=0", "pass=2"}},
  };
  // clang-format on
  const std::string dir = freshDir();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.script);
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
  // clang-format off
  const struct { const char *text, *message; } cases[] = {
      {"frobnicate", "unknown command 'frobnicate'"}, {"run", "expected 'run N'"}, {"run -1", "bad pass count"},
      {"dump now", "expected 'dump'"}, {"clock 0x100000000", "bad time"}, {"clock 0x", "bad time"},
      {"clock 12abc", "bad time"}, {"clock -5", "bad time"}, {"step 1.5", "bad step"},
      {"key 0x10000", "bad key code"}, {"hold A", "bad key code"}, {"tap 1", "expected 'tap X Y'"},
      {"tap 1 2 3", "expected 'tap X Y'"}, {"tap -1 2", "bad x"}, {"tap 1 65536", "bad y"},
      {"activate 2", "bad activation"}, {"wait", "expected 'wait S [N]'"}, {"wait x", "bad scene step"},
      {"wait 1 -2", "bad pass limit"}, {"wait 2147483648", "bad scene step"},
      {"wait -2147483649", "bad scene step"}, {"shot a b", "expected 'shot FILE'"}
  };
  // clang-format on
  const std::string dir = freshDir();
  for (const auto &c : cases) {
    // Two good lines, a comment and a blank line before the bad one.
    const ReplayRun run =
        replayText(dir, std::string("run 1\n# comment\n\ndump\n") + c.text + "\nrun 1\n");
    EXPECT_EQ(run.status, 2) << c.text;
    EXPECT_EQ(run.lines.size(), 0u) << c.text;
    EXPECT_EQ(run.errors.rfind("tobelyn-replay: script.txt:5: ", 0), 0u) << run.errors;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.text << " -> " << run.errors;
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

}  // namespace
