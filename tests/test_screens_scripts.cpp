// End-to-end walks through the menus and screens: scripts under
// tests/scripts/ run by tobelyn-replay, checked against their dump lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct ReplayRun {
  std::vector<std::string> dumps;  // the dump lines, spaces removed
  std::string last;                // the final line
  int status = -1;
};

ReplayRun runScript(const std::string &name, const std::string &registry = "") {
  std::string command = std::string(TOBELYN_REPLAY);
  if (!registry.empty()) command += " --registry " + registry;
  command += std::string(" ") + TOBELYN_SOURCE_DIR + "/tests/scripts/" + name;
  ReplayRun run;
  FILE *out = popen(command.c_str(), "r");
  if (out == nullptr) return run;
  char buffer[8192];
  while (fgets(buffer, sizeof buffer, out) != nullptr) {
    std::string line;
    for (const char *c = buffer; *c != '\0' && *c != '\n'; ++c) {
      if (*c != ' ') line += *c;
    }
    if (line.rfind("{\"exit\"", 0) == 0) {
      run.last = line;
    } else if (!line.empty()) {
      run.dumps.push_back(line);
    }
  }
  const int status = pclose(out);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The value of a field of a dump line as written, up to the next comma or
// closing brace outside brackets.
std::string field(const std::string &line, const std::string &name) {
  const std::string key = "\"" + name + "\":";
  size_t at = line.find(key);
  if (at == std::string::npos) return "<missing " + name + ">";
  at += key.size();
  size_t end = at;
  int depth = 0;
  for (; end < line.size(); ++end) {
    const char c = line[end];
    if (c == '[' || c == '{') ++depth;
    if (c == ']' || c == '}') {
      if (depth == 0) break;
      --depth;
    }
    if (c == ',' && depth == 0) break;
  }
  return line.substr(at, end - at);
}

// Expected fields of one dump line.
using Expect = std::vector<std::pair<std::string, std::string>>;

void checkDumps(const ReplayRun &run, const std::vector<Expect> &expected) {
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.dumps.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    for (const auto &[name, value] : expected[i]) {
      EXPECT_EQ(field(run.dumps[i], name), value) << "dump " << i + 1 << ": " << run.dumps[i];
    }
  }
}

TEST(ScreensScripts, SetupChainForwardAndBack) {
  const ReplayRun run = runScript("screens_setup_chain.txt");
  checkDumps(run, {
                      {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"menuChoice", "-1"}},
                      {{"scene", "\"GameSelectScene\""}, {"sceneStep", "1"}, {"sounds", "[1]"}},
                      {{"scene", "\"PlayerSelectScene\""}, {"gameMode", "3"}, {"sounds", "[1]"}},
                      {{"scene", "\"ReadyScene\""}, {"playerCount", "4"}, {"menuCursor", "0"}},
                      {{"scene", "\"PlayerSelectScene\""},
                       {"sceneStep", "1"},
                       {"menuCursor", "0"},
                       {"sounds", "[2]"},
                       {"playerCount", "4"}},
                      {{"scene", "\"GameSelectScene\""}, {"sounds", "[2]"}, {"gameMode", "3"}},
                      {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"sounds", "[2]"}},
                      {{"scene", "\"MatchScene\""},
                       {"sceneStep", "0"},
                       {"gameMode", "0"},
                       {"playerCount", "1"},
                       {"sounds", "[1,1,1,1]"}},
                  });
  EXPECT_EQ(run.last, "{\"exit\":0}");
}

TEST(ScreensScripts, OptionChangesSurviveARestart) {
  char dir[] = "/tmp/tobelyn-screens-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const ReplayRun first = runScript("screens_option_first_run.txt", dir);
  checkDumps(first, {
                        {{"scene", "\"OptionScene\""}, {"sceneStep", "2"}, {"sound", "1"}},
                        {{"sceneStep", "2"}, {"sound", "0"}, {"ButtonA", "49"}, {"KeyUp", "87"}},
                        {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"sounds", "[]"}},
                    });
  const ReplayRun second = runScript("screens_option_second_run.txt", dir);
  checkDumps(second, {
                         {{"sound", "0"}, {"ButtonA", "49"}, {"KeyUp", "87"}, {"ButtonB", "27"}},
                         {{"scene", "\"GameSelectScene\""}, {"sounds", "[]"}},
                     });
  std::system((std::string("rm -rf ") + dir).c_str());
}

TEST(ScreensScripts, AboutRoundTrip) {
  checkDumps(runScript("screens_about.txt"),
             {
                 {{"scene", "\"AboutScene\""}, {"sceneStep", "1"}},
                 {{"scene", "\"AboutScene\""}, {"sceneStep", "2"}},
                 {{"scene", "\"AboutScene\""}, {"sceneStep", "2"}},
                 {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"sounds", "[]"}},
             });
}

TEST(ScreensScripts, QuitEndsAfterTheFlash) {
  const ReplayRun run = runScript("screens_quit.txt");
  checkDumps(run, {
                      {{"sceneStep", "5"}, {"menuChoice", "3"}, {"framesEnabled", "1"}},
                      {{"sceneStep", "5"}, {"framesEnabled", "1"}, {"effects", "1"}},
                      {{"framesEnabled", "0"}, {"effects", "0"}},
                  });
  EXPECT_EQ(run.last, "{\"exit\":0}");
}

}  // namespace
