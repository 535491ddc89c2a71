// End-to-end walks through the menus and screens: scripts under
// tests/scripts/ run by tobelyn-replay, checked against their dump lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// Runs a script; returns its output lines with the spaces removed, the exit
// status of the runner last.
std::vector<std::string> runScript(const std::string &name, const std::string &registry = "") {
  const std::string command = std::string(TOBELYN_REPLAY) +
                              (registry.empty() ? "" : " --registry " + registry) + " " +
                              TOBELYN_SOURCE_DIR + "/tests/scripts/" + name;
  std::vector<std::string> lines;
  FILE *out = popen(command.c_str(), "r");
  if (out == nullptr) return lines;
  char buffer[8192];
  while (fgets(buffer, sizeof buffer, out) != nullptr) {
    std::string line;
    for (const char *c = buffer; *c != '\0' && *c != '\n'; ++c) {
      if (*c != ' ') line += *c;
    }
    lines.push_back(line);
  }
  const int status = pclose(out);
  lines.push_back("status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
  return lines;
}

// A field of a dump line as written: up to the next comma or closing brace
// outside brackets.
std::string field(const std::string &line, const std::string &name) {
  const std::string key = "\"" + name + "\":";
  size_t at = line.find(key);
  if (at == std::string::npos) return "<missing>";
  at += key.size();
  size_t end = at;
  for (int depth = 0; end < line.size(); ++end) {
    const char c = line[end];
    if ((c == ',' || c == '}' || c == ']') && depth == 0) break;
    if (c == '[' || c == '{') ++depth;
    if (c == ']' || c == '}') --depth;
  }
  return line.substr(at, end - at);
}

using Expect = std::vector<std::pair<std::string, std::string>>;

// Each dump line against its expected fields; the program must have ended
// with exit code 0 and the runner with status 0.
void check(const std::vector<std::string> &lines, const std::vector<Expect> &dumps) {
  ASSERT_EQ(lines.size(), dumps.size() + 2);
  for (size_t i = 0; i < dumps.size(); ++i) {
    for (const auto &[name, value] : dumps[i]) {
      EXPECT_EQ(field(lines[i], name), value) << "dump " << i + 1 << ": " << lines[i];
    }
  }
  EXPECT_EQ(lines[dumps.size()], "{\"exit\":0}");
  EXPECT_EQ(lines.back(), "status 0");
}

// clang-format off
TEST(ScreensScripts, SetupChainForwardAndBack) {
  check(runScript("screens_setup_chain.txt"), {
      {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"menuChoice", "-1"}},
      {{"scene", "\"GameSelectScene\""}, {"sceneStep", "1"}, {"sounds", "[1]"}},
      {{"scene", "\"PlayerSelectScene\""}, {"gameMode", "3"}, {"sounds", "[1]"}},
      {{"scene", "\"ReadyScene\""}, {"playerCount", "4"}, {"menuCursor", "0"}},
      {{"scene", "\"PlayerSelectScene\""}, {"menuCursor", "0"}, {"sounds", "[2]"},
       {"playerCount", "4"}},
      {{"scene", "\"GameSelectScene\""}, {"sounds", "[2]"}, {"gameMode", "3"}},
      {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"sounds", "[2]"}},
      {{"scene", "\"MatchScene\""}, {"sceneStep", "0"}, {"gameMode", "0"}, {"playerCount", "1"},
       {"sounds", "[1,1,1,1]"}},
  });
}

TEST(ScreensScripts, OptionChangesSurviveARestart) {
  char dir[] = "/tmp/tobelyn-screens-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  check(runScript("screens_option_first_run.txt", dir), {
      {{"scene", "\"OptionScene\""}, {"sceneStep", "2"}, {"sound", "1"}},
      {{"sceneStep", "2"}, {"sound", "0"}, {"ButtonA", "49"}, {"KeyUp", "87"}},
      {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"sounds", "[]"}},
  });
  check(runScript("screens_option_second_run.txt", dir), {
      {{"sound", "0"}, {"ButtonA", "49"}, {"KeyUp", "87"}, {"ButtonB", "27"}},
      {{"scene", "\"GameSelectScene\""}, {"sounds", "[]"}},
  });
  EXPECT_EQ(std::system((std::string("rm -rf ") + dir).c_str()), 0);
}

TEST(ScreensScripts, AboutRoundTrip) {
  check(runScript("screens_about.txt"), {
      {{"scene", "\"AboutScene\""}, {"sceneStep", "1"}},
      {{"scene", "\"AboutScene\""}, {"sceneStep", "2"}},
      {{"scene", "\"AboutScene\""}, {"sceneStep", "2"}},
      {{"scene", "\"TitleScene\""}, {"sceneStep", "1"}, {"sounds", "[]"}},
  });
}

TEST(ScreensScripts, QuitEndsAfterTheFlash) {
  check(runScript("screens_quit.txt"), {
      {{"sceneStep", "5"}, {"menuChoice", "3"}, {"framesEnabled", "1"}, {"sounds", "[1]"}},
      {{"sceneStep", "5"}, {"framesEnabled", "1"}, {"effects", "1"}},
      {{"framesEnabled", "0"}, {"effects", "0"}},
  });
}
// clang-format on

}  // namespace
