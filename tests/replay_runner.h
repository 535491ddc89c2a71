// Runs the built tobelyn-replay and reads fields out of its dump lines.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

struct ReplayRun {
  int status = -1;                 // the runner's exit status
  std::vector<std::string> lines;  // standard output, spaces removed
  std::string errors;              // standard error
};

inline std::string readAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs tobelyn-replay with the arguments inside the folder.
inline ReplayRun runReplay(const std::string &dir, const std::string &arguments) {
  const int raw = std::system(
      ("cd '" + dir + "' && '" TOBELYN_REPLAY "' " + arguments + " >out.txt 2>err.txt").c_str());
  ReplayRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}, readAll(dir + "/err.txt")};
  std::string out = readAll(dir + "/out.txt");
  out.erase(std::remove(out.begin(), out.end(), ' '), out.end());
  std::stringstream lines(out);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  return run;
}

// A fresh, empty folder for one run, under `area` beside the runner.
inline std::string replayWorkDir(const std::string &area, const std::string &name) {
  const std::string runner = TOBELYN_REPLAY;
  const std::string dir = runner.substr(0, runner.rfind('/')) + "/" + area + "/" + name;
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
  return dir;
}

// The script written into a fresh folder and run there.
inline ReplayRun runScriptIn(const std::string &area, const std::string &name,
                             const std::string &script, const std::string &options = "") {
  const std::string dir = replayWorkDir(area, name);
  std::ofstream(dir + "/script.txt") << script;
  return runReplay(dir, options + " script.txt");
}

// A field of a dump line up to the next comma or brace at its level,
// quotes removed.
inline std::string field(const std::string &line, const std::string &name) {
  size_t at = line.find("\"" + name + "\":");
  if (at == std::string::npos) return "<missing>";
  std::string value;
  int depth = 0;
  for (at += name.size() + 3; at < line.size(); ++at) {
    const char c = line[at];
    if ((c == ',' || c == '}' || c == ']') && depth == 0) break;
    depth += (c == '[' || c == '{') - (c == ']' || c == '}');
    if (c != '"') value += c;
  }
  return value;
}

// Each dump line against its "name=value ..." checks; the program must end
// with exit code 0 after the last one.
inline void expectDumps(const ReplayRun &run, const std::vector<const char *> &dumps) {
  ASSERT_EQ(run.status, 0) << run.errors;
  ASSERT_EQ(run.lines.size(), dumps.size() + 1);
  EXPECT_EQ(run.lines.back(), "{\"exit\":0}");
  for (size_t i = 0; i < dumps.size(); ++i) {
    std::istringstream want(dumps[i]);
    for (std::string pair; want >> pair;) {
      const size_t eq = pair.find('=');
      EXPECT_EQ(field(run.lines[i], pair.substr(0, eq)), pair.substr(eq + 1)) << "dump " << i;
    }
  }
}
