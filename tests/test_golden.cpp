// Golden frames: replay scripts (tests/golden/golden_*.txt) walk the real
// program to every screen a player meets and save each with `shot`; the
// PNG bytes (written deterministically, uncompressed) are hashed and
// compared with tests/golden/hashes.txt, so that any changed pixel shows.
//
// A differing or unrecorded frame is kept as golden-out/NAME.png beside
// tobelyn-replay in the build folder. To record the current frames, run
// tests/golden/record.sh (it sets TOBELYN_RECORD_GOLDEN=1).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kGoldenDir = std::string(TOBELYN_SOURCE_DIR) + "/tests/golden";
const std::string kHashFile = kGoldenDir + "/hashes.txt";

const char *const kScripts[] = {"golden_menus.txt",   "golden_option_about.txt", "golden_301.txt",
                                "golden_clock.txt",   "golden_countup_win.txt",  "golden_draw.txt",
                                "golden_gameover.txt"};

std::string buildDir() {
  std::string replay = TOBELYN_REPLAY;
  size_t slash = replay.rfind('/');
  return slash == std::string::npos ? "." : replay.substr(0, slash);
}

bool recording() {
  const char *v = std::getenv("TOBELYN_RECORD_GOLDEN");
  return v != nullptr && v[0] != 0 && v[0] != '0';
}

// FNV-1a, 64 bits: plenty to tell two frames apart.
std::string hashFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  uint64_t h = 1469598103934665603ull;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      h ^= static_cast<unsigned char>(buffer[i]);
      h *= 1099511628211ull;
    }
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

std::map<std::string, std::string> readHashes() {
  std::map<std::string, std::string> hashes;
  std::ifstream in(kHashFile);
  std::string name, hash;
  while (in >> name >> hash) hashes[name] = hash;
  return hashes;
}

void writeHashes(const std::map<std::string, std::string> &hashes) {
  std::ofstream out(kHashFile, std::ios::trunc);
  for (const auto &[name, hash] : hashes) out << name << ' ' << hash << '\n';
}

// The frame names a script saves, in order.
std::vector<std::string> shotsOf(const std::string &script) {
  std::vector<std::string> shots;
  std::ifstream in(kGoldenDir + "/" + script);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string command, file;
    if (words >> command >> file && command == "shot") shots.push_back(file);
  }
  return shots;
}

std::string run(const std::string &command, int *status) {
  std::string output;
  FILE *out = popen(command.c_str(), "r");
  if (out == nullptr) return output;
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, out) != nullptr) output += buffer;
  int raw = pclose(out);
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

class Golden : public testing::TestWithParam<const char *> {};

TEST_P(Golden, FramesMatchRecordedHashes) {
  const std::string script = GetParam();
  const std::vector<std::string> shots = shotsOf(script);
  ASSERT_FALSE(shots.empty()) << script << " saves no frame";

  // Each script runs in a folder of its own, so scripts may run side by side.
  const std::string work = buildDir() + "/golden-work/" + script;
  const std::string out = buildDir() + "/golden-out";
  int status = -1;
  run("rm -rf '" + work + "' && mkdir -p '" + work + "' '" + out + "'", &status);
  ASSERT_EQ(status, 0);
  const std::string output =
      run("cd '" + work + "' && '" + TOBELYN_REPLAY + "' '" + kGoldenDir + "/" + script + "' 2>&1",
          &status);
  ASSERT_EQ(status, 0) << output;
  EXPECT_NE(output.find("{\"exit\": 0}"), std::string::npos) << output;

  std::map<std::string, std::string> hashes = readHashes();
  for (const std::string &shot : shots) {
    const std::string name = shot.substr(0, shot.rfind('.'));
    const std::string hash = hashFile(work + "/" + shot);
    ASSERT_FALSE(hash.empty()) << script << " did not save " << shot;
    if (recording()) {
      hashes[name] = hash;
      continue;
    }
    const auto recorded = hashes.find(name);
    if (recorded != hashes.end() && recorded->second == hash) continue;
    run("cp '" + work + "/" + shot + "' '" + out + "/" + shot + "'", &status);
    if (recorded == hashes.end()) {
      ADD_FAILURE() << "frame " << name << " (" << script << ") has no recorded hash; "
                    << "look at " << out << "/" << shot << " and run tests/golden/record.sh";
    } else {
      ADD_FAILURE() << "frame " << name << " (" << script
                    << ") differs from the recorded one: " << hash << " instead of "
                    << recorded->second << "; the new frame is " << out << "/" << shot;
    }
  }
  if (recording()) writeHashes(hashes);
}

INSTANTIATE_TEST_SUITE_P(Scripts, Golden, testing::ValuesIn(kScripts),
                         [](const testing::TestParamInfo<const char *> &info) {
                           std::string name = info.param;
                           name = name.substr(7, name.size() - 11);  // golden_X.txt -> X
                           return name;
                         });

// Every frame a script saves is recorded, and every recorded frame is still
// saved by some script: a renamed or dropped shot cannot go unnoticed.
TEST(GoldenHashes, RecordedFramesAndScriptsAgree) {
  if (recording()) GTEST_SKIP() << "recording";
  std::map<std::string, std::string> hashes = readHashes();
  std::map<std::string, int> saved;
  for (const char *script : kScripts) {
    for (const std::string &shot : shotsOf(script)) ++saved[shot.substr(0, shot.rfind('.'))];
  }
  for (const auto &[name, count] : saved) {
    EXPECT_EQ(count, 1) << name << " is saved by more than one shot";
    EXPECT_TRUE(hashes.count(name)) << name << " has no recorded hash";
  }
  for (const auto &[name, hash] : hashes) EXPECT_TRUE(saved.count(name)) << name << " is stale";
}

}  // namespace
