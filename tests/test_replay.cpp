// The replay runner end to end: the built tobelyn-replay binary run on the
// scripts in tests/scripts and on small scripts written here.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string replayBinary = TOBELYN_REPLAY;
const std::string scriptDir = std::string(TOBELYN_SOURCE_DIR) + "/tests/scripts/";

struct Outcome {
  int status = -1;
  std::vector<std::string> lines;  // standard output
  std::string errors;              // standard error
};

std::string readAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder for one test's files.
std::string freshDir() {
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char &c : name) {
    if (c == '/') c = '_';
  }
  std::string dir =
      ::testing::TempDir() + "tobelyn_replay_" + std::to_string(getpid()) + "_" + name;
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
  return dir;
}

// Runs the replay binary with the arguments inside the folder.
Outcome replay(const std::string &dir, const std::string &arguments) {
  std::string command =
      "cd '" + dir + "' && '" + replayBinary + "' " + arguments + " >stdout.txt 2>stderr.txt";
  int raw = std::system(command.c_str());
  Outcome o;
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::stringstream out(readAll(dir + "/stdout.txt"));
  for (std::string line; std::getline(out, line);) o.lines.push_back(line);
  o.errors = readAll(dir + "/stderr.txt");
  return o;
}

Outcome replayText(const std::string &dir, const std::string &script,
                   const std::string &options = "") {
  writeFile(dir + "/script.txt", script);
  return replay(dir, options + " script.txt");
}

// The raw JSON text of a top-level or nested field of a dump line.
std::string field(const std::string &json, const std::string &name) {
  size_t at = json.find("\"" + name + "\":");
  if (at == std::string::npos) return "<missing>";
  size_t start = at + name.size() + 3;
  size_t end = start;
  int depth = 0;
  while (end < json.size()) {
    char c = json[end];
    if (c == '[' || c == '{') ++depth;
    if (c == ']' || c == '}') {
      if (depth == 0) break;
      --depth;
    }
    if (c == ',' && depth == 0) break;
    ++end;
  }
  return json.substr(start, end - start);
}

struct Expect {
  size_t dump;  // index of the output line
  const char *name;
  const char *value;
};

struct ScriptCase {
  const char *script;
  size_t dumps;
  std::vector<Expect> expects;
};

class ReplayScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ReplayScriptTest, DumpsMatch) {
  const ScriptCase &c = GetParam();
  std::string dir = freshDir();
  Outcome o = replay(dir, "'" + scriptDir + c.script + "'");
  ASSERT_EQ(o.status, 0) << o.errors;
  ASSERT_EQ(o.lines.size(), c.dumps + 1) << o.errors;
  EXPECT_EQ(o.lines.back(), "{\"exit\": 0}");
  for (const Expect &e : c.expects) {
    EXPECT_EQ(field(o.lines[e.dump], e.name), e.value) << c.script << " dump " << e.dump;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replay, ReplayScriptTest,
    ::testing::Values(
        // Menu key spacing across the clock's wrap: 199 ms ignored, 200 ms taken.
        ScriptCase{"replay_wrap.txt",
                   3,
                   {{0, "inputDebounceTime", "4294967168"},
                    {0, "menuCursor", "0"},
                    {1, "menuCursor", "0"},
                    {1, "inputDebounceTime", "4294967168"},
                    {2, "menuCursor", "1"},
                    {2, "inputDebounceTime", "72"},
                    {2, "pass", "3"}}},
        // Activation changes keep frames going; minimising ends the program
        // and later run and wait run nothing.
        ScriptCase{"replay_minimize.txt",
                   3,
                   {{0, "framesEnabled", "1"},
                    {0, "pass", "6"},
                    {0, "clock", "96"},
                    {1, "framesEnabled", "0"},
                    {1, "pass", "8"},
                    {2, "pass", "8"},
                    {2, "clock", "128"}}},
        // Held Button A is polled by the match: 200 ms not enough, 201 taken;
        // released it is not seen.
        ScriptCase{"replay_match_hold.txt",
                   6,
                   {{0, "scene", "\"MatchScene\""},
                    {0, "sceneStep", "0"},
                    {1, "sceneStep", "1"},
                    {1, "inputDebounceTime", "500000"},
                    {2, "sceneStep", "1"},
                    {3, "inputDebounceTime", "500201"},
                    {4, "sceneStep", "3"},
                    {4, "pass", "164"},
                    {5, "sceneStep", "4"},
                    {5, "inputDebounceTime", "501000"}}},
        // A tap confirms OPTION: the confirmation sound once, one effect.
        ScriptCase{"replay_option_tap.txt",
                   3,
                   {{0, "scene", "\"TitleScene\""},
                    {0, "menuChoice", "1"},
                    {0, "sounds", "[1]"},
                    {0, "effects", "1"},
                    {1, "scene", "\"OptionScene\""},
                    {1, "sceneStep", "0"},
                    {1, "sounds", "[]"},
                    {2, "sound", "0"}}}),
    [](const ::testing::TestParamInfo<ScriptCase> &info) {
      std::string name = info.param.script;
      name = name.substr(7, name.size() - 11);  // between "replay_" and ".txt"
      return name;
    });

TEST(Replay, DumpHasEveryField) {
  std::string dir = freshDir();
  Outcome o = replayText(dir, "dump\n");
  ASSERT_EQ(o.status, 0) << o.errors;
  ASSERT_EQ(o.lines.size(), 2u);
  const std::string &d = o.lines[0];
  EXPECT_EQ(d.front(), '{');
  EXPECT_EQ(d.back(), '}');
  for (const char *name : {"pass",
                           "clock",
                           "scene",
                           "sceneStep",
                           "menuCursor",
                           "menuChoice",
                           "inputDebounceTime",
                           "framesEnabled",
                           "sound",
                           "keys",
                           "sounds",
                           "effects",
                           "gameMode",
                           "playerCount",
                           "match",
                           "KeyUp",
                           "KeyDown",
                           "KeyLeft",
                           "KeyRight",
                           "ButtonA",
                           "ButtonB",
                           "ButtonC",
                           "ButtonStart",
                           "currentPlayer",
                           "roundIndex",
                           "dartIndex",
                           "playerScores",
                           "winner",
                           "dartMarkX",
                           "dartMarkY",
                           "aimX",
                           "aimDirection",
                           "gaugeIndex",
                           "gaugePeak",
                           "gaugeRelease",
                           "throwTime",
                           "hitDistance",
                           "hitAngle",
                           "hitQuadrant",
                           "hitSector",
                           "throwScore",
                           "popupRise"}) {
    EXPECT_NE(field(d, name), "<missing>") << name;
  }
  EXPECT_EQ(field(d, "pass"), "0");
  EXPECT_EQ(field(d, "scene"), "\"TitleScene\"");
  EXPECT_EQ(field(d, "playerScores"), "[0,0,0,0]");
  EXPECT_EQ(field(d, "dartMarkX"), "[0,0,0]");
}

TEST(Replay, SettingsPersistOnlyWithARegistryFolder) {
  std::string dir = freshDir();
  std::string first = "--registry reg '" + scriptDir + "replay_option_tap.txt'";
  std::string check = "'" + scriptDir + "replay_registry_check.txt'";
  std::system(("mkdir -p '" + dir + "/reg'").c_str());

  ASSERT_EQ(replay(dir, first).status, 0);
  Outcome kept = replay(dir, "--registry reg " + check);
  ASSERT_EQ(kept.status, 0) << kept.errors;
  ASSERT_EQ(kept.lines.size(), 3u);
  EXPECT_EQ(field(kept.lines[0], "sound"), "0");
  // Sound off: the confirmation plays nothing.
  EXPECT_EQ(field(kept.lines[1], "menuChoice"), "1");
  EXPECT_EQ(field(kept.lines[1], "sounds"), "[]");

  Outcome memory = replay(dir, check);
  ASSERT_EQ(memory.status, 0);
  EXPECT_EQ(field(memory.lines[0], "sound"), "1");
  EXPECT_EQ(field(memory.lines[1], "sounds"), "[1]");
}

TEST(Replay, ShotWritesA240By320Png) {
  std::string dir = freshDir();
  ASSERT_EQ(replayText(dir, "run 2\nshot title.png\n").status, 0);
  std::string png = readAll(dir + "/title.png");
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  auto be32 = [&](size_t at) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(png[at])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(png[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(png[at + 2])) << 8) |
           static_cast<uint8_t>(png[at + 3]);
  };
  EXPECT_EQ(be32(16), 240u);
  EXPECT_EQ(be32(20), 320u);

  Outcome bad = replayText(dir, "run 1\nshot no/such/folder/x.png\n");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.errors.find("script.txt:2:"), std::string::npos) << bad.errors;
}

TEST(Replay, EndOfScriptClosesTheProgram) {
  std::string dir = freshDir();
  for (const char *script : {"", "# only a comment\n\n", "run 2\n", "step 1\nrun 100\n"}) {
    Outcome o = replayText(dir, script);
    EXPECT_EQ(o.status, 0) << script;
    ASSERT_EQ(o.lines.size(), 1u) << script;
    EXPECT_EQ(o.lines[0], "{\"exit\": 0}");
  }
}

TEST(Replay, ReadsStandardInputCrlfAndComments) {
  std::string dir = freshDir();
  writeFile(dir + "/in.txt", "  run 3   # three passes\r\n\tdump\r\n# done\r\n");
  Outcome o = replay(dir, "- < in.txt");
  ASSERT_EQ(o.status, 0) << o.errors;
  ASSERT_EQ(o.lines.size(), 2u);
  EXPECT_EQ(field(o.lines[0], "pass"), "3");
  EXPECT_EQ(field(o.lines[0], "clock"), "48");
}

TEST(Replay, WaitNotReachedNamesTheLine) {
  std::string dir = freshDir();
  Outcome o = replayText(dir, "run 1\n\nwait 77 5\ndump\n");
  EXPECT_EQ(o.status, 2);
  EXPECT_TRUE(o.lines.empty());
  EXPECT_EQ(o.errors.rfind("tobelyn-replay: script.txt:3: ", 0), 0u) << o.errors;

  // Reached: stops at the first pass after which the step matches.
  Outcome ok = replayText(dir, "wait 1\ndump\n");
  ASSERT_EQ(ok.status, 0) << ok.errors;
  EXPECT_EQ(field(ok.lines[0], "pass"), "1");
}

TEST(Replay, TimedemoPrintsOnlyThePassRate) {
  std::string dir = freshDir();
  Outcome o = replayText(dir, "run 500\ndump\n", "--timedemo");
  ASSERT_EQ(o.status, 0) << o.errors;
  ASSERT_EQ(o.lines.size(), 1u);
  char *end = nullptr;
  double rate = std::strtod(o.lines[0].c_str(), &end);
  EXPECT_EQ(*end, '\0') << o.lines[0];
  EXPECT_GT(rate, 0.0);
}

struct BadLine {
  const char *text;
  const char *message;  // part of the error
};

TEST(Replay, BadLinesStopBeforeRunningAndNameTheLine) {
  const BadLine cases[] = {
      {"frobnicate", "unknown command 'frobnicate'"},
      {"run", "expected 'run N'"},
      {"run -1", "bad pass count"},
      {"dump now", "expected 'dump'"},
      {"clock 0x100000000", "bad time"},
      {"clock 0x", "bad time"},
      {"clock 12abc", "bad time"},
      {"clock -5", "bad time"},
      {"step 1.5", "bad step"},
      {"key 0x10000", "bad key code"},
      {"hold A", "bad key code"},
      {"tap 1", "expected 'tap X Y'"},
      {"tap 1 2 3", "expected 'tap X Y'"},
      {"tap -1 2", "bad x"},
      {"tap 1 65536", "bad y"},
      {"activate 2", "bad activation"},
      {"wait", "expected 'wait S [N]'"},
      {"wait x", "bad scene step"},
      {"wait 1 -2", "bad pass limit"},
      {"wait 2147483648", "bad scene step"},
      {"wait -2147483649", "bad scene step"},
      {"shot a b", "expected 'shot FILE'"},
  };
  std::string dir = freshDir();
  for (const BadLine &c : cases) {
    // Two good lines, a comment and a blank line before the bad one.
    Outcome o = replayText(dir, std::string("run 1\n# comment\n\ndump\n") + c.text + "\nrun 1\n");
    EXPECT_EQ(o.status, 2) << c.text;
    EXPECT_TRUE(o.lines.empty()) << c.text;
    EXPECT_EQ(o.errors.rfind("tobelyn-replay: script.txt:5: ", 0), 0u) << o.errors;
    EXPECT_NE(o.errors.find(c.message), std::string::npos) << c.text << " -> " << o.errors;
  }
}

TEST(Replay, BadCommandLines) {
  std::string dir = freshDir();
  for (const char *arguments :
       {"", "--registry", "--bogus script.txt", "a.txt b.txt", "missing-file.txt"}) {
    Outcome o = replay(dir, arguments);
    EXPECT_EQ(o.status, 2) << arguments;
    EXPECT_EQ(o.errors.rfind("tobelyn-replay: ", 0), 0u) << arguments << ": " << o.errors;
  }
}

}  // namespace
