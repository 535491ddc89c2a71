// Whole matches of every game, one and four players, played by
// tobelyn-replay from the title through the set-up menus to the end screen
// and back to the title (scripts tests/scripts/match_*.txt).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct ReplayOutput {
  std::vector<std::string> dumps;  // dump lines without spaces
  int status = -1;
};

ReplayOutput replay(const std::string &script) {
  const std::string command =
      std::string(TOBELYN_REPLAY) + " " + TOBELYN_SOURCE_DIR + "/tests/scripts/" + script;
  ReplayOutput run;
  FILE *out = popen(command.c_str(), "r");
  if (out == nullptr) return run;
  char buffer[8192];
  while (fgets(buffer, sizeof buffer, out) != nullptr) {
    std::string line;
    for (const char *c = buffer; *c != '\0' && *c != '\n'; ++c)
      if (*c != ' ') line += *c;
    if (!line.empty() && line.rfind("{\"exit\"", 0) != 0) run.dumps.push_back(line);
  }
  const int status = pclose(out);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A field's value as written, up to the next comma or brace at its level.
std::string field(const std::string &line, const std::string &name) {
  const std::string key = "\"" + name + "\":";
  size_t at = line.find(key);
  if (at == std::string::npos) return "<missing>";
  at += key.size();
  size_t end = at;
  for (int depth = 0; end < line.size(); ++end) {
    const char c = line[end];
    if (c == '[' || c == '{') ++depth;
    if ((c == ']' || c == '}') && depth-- == 0) break;
    if (c == ',' && depth == 0) break;
  }
  return line.substr(at, end - at);
}

using Fields = std::vector<std::pair<std::string, std::string>>;

struct Script {
  const char *file;
  std::vector<Fields> dumps;
};

// Every match ends the same way: step 12 (over), 14 (end screen shown), the
// title installed, and the title running.
std::vector<Fields> ending(Fields over) {
  over.emplace_back("sceneStep", "12");
  return {over,
          {{"scene", "\"MatchScene\""}, {"sceneStep", "14"}},
          {{"scene", "\"TitleScene\""}, {"sceneStep", "0"}},
          {{"scene", "\"TitleScene\""}}};
}

std::vector<Fields> match(const char *startScores, std::vector<Fields> middle, Fields over) {
  std::vector<Fields> all = {
      {{"scene", "\"MatchScene\""}, {"sceneStep", "1"}, {"playerScores", startScores}}};
  all.insert(all.end(), middle.begin(), middle.end());
  for (Fields &f : ending(std::move(over))) all.push_back(std::move(f));
  return all;
}

const Script scripts[] = {
    {"match_301_1p.txt",
     match("[301,301,301,301]",
           {{{"playerScores", "[121,301,301,301]"}, {"roundIndex", "1"}, {"sceneStep", "11"}},
            // The bust on 1 left kept the point and ended the turn.
            {{"playerScores", "[1,301,301,301]"}, {"roundIndex", "2"}, {"dartIndex", "0"}}},
           {{"playerScores", "[0,301,301,301]"}, {"winner", "0"}, {"dartIndex", "1"}})},
    {"match_301_4p.txt",
     match("[301,301,301,301]",
           {{{"playerScores", "[301,301,121,301]"}, {"roundIndex", "1"}, {"currentPlayer", "0"}}},
           {{"playerScores", "[301,301,0,301]"},
            {"winner", "2"},
            {"currentPlayer", "2"},
            {"dartIndex", "3"}})},
    {"match_countup_1p.txt",
     match("[0,0,0,0]",
           {{{"playerScores", "[110,0,0,0]"}, {"sceneStep", "11"}},
            {{"playerScores", "[199,0,0,0]"}, {"sceneStep", "11"}}},
           {{"playerScores", "[200,0,0,0]"}, {"winner", "0"}, {"roundIndex", "2"}})},
    {"match_countup_4p.txt",
     match("[0,0,0,0]", {{{"playerScores", "[0,180,0,0]"}, {"currentPlayer", "0"}}},
           // Player 2 wins in round 2 before players 3 and 4 throw.
           {{"playerScores", "[0,240,0,0]"}, {"winner", "1"}, {"currentPlayer", "1"}})},
    {"match_highscore_1p.txt",
     match("[0,0,0,0]", {{{"playerScores", "[1080,0,0,0]"}, {"roundIndex", "6"}}},
           {{"playerScores", "[1260,0,0,0]"}, {"winner", "99"}, {"roundIndex", "7"}})},
    {"match_highscore_4p.txt",
     match("[0,0,0,0]", {{{"playerScores", "[0,0,0,115]"}, {"roundIndex", "1"}}},
           {{"playerScores", "[0,0,0,115]"}, {"winner", "99"}, {"roundIndex", "7"}})},
    {"match_clock_1p.txt",
     match("[1,1,1,1]",
           // 1, 2, a 5 while 3 is next, then the bull for 3.
           {{{"playerScores", "[4,1,1,1]"}, {"roundIndex", "1"}, {"dartIndex", "1"}}},
           {{"playerScores", "[21,1,1,1]"}, {"winner", "0"}, {"dartIndex", "3"}})},
    {"match_clock_4p.txt",
     match("[1,1,1,1]", {{{"playerScores", "[4,1,1,1]"}, {"roundIndex", "1"}}},
           {{"playerScores", "[4,1,1,1]"}, {"winner", "99"}, {"roundIndex", "10"}})},
};

TEST(MatchScripts, WholeMatchesToTheTitle) {
  for (const Script &s : scripts) {
    SCOPED_TRACE(s.file);
    const ReplayOutput run = replay(s.file);
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.dumps.size(), s.dumps.size());
    for (size_t i = 0; i < s.dumps.size(); ++i)
      for (const auto &[name, value] : s.dumps[i])
        EXPECT_EQ(field(run.dumps[i], name), value) << "dump " << i + 1 << " " << name;
  }
}

}  // namespace
