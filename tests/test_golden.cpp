// Golden frames: replay scripts (tests/golden/golden_*.txt) walk the real
// program to every screen a player meets and save each with `shot`; each
// frame's decoded pixels (not the file's bytes, which an encoder update may
// change) are hashed and compared with tests/golden/hashes.txt, so that any
// changed pixel shows.
//
// A differing or unrecorded frame is kept as golden-out/NAME.png beside
// tobelyn-replay in the build folder. To record the current frames, run
// tests/golden/record.sh (it sets TOBELYN_RECORD_GOLDEN=1).
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kGoldenDir = std::string(TOBELYN_SOURCE_DIR) + "/tests/golden";
const std::string kHashFile = kGoldenDir + "/hashes.txt";
const std::string kReplay = TOBELYN_REPLAY;
const std::string kBuildDir = kReplay.substr(0, kReplay.rfind('/') + 1);

const char *const kScripts[] = {"golden_menus.txt",    "golden_option_about.txt", "golden_301.txt",
                                "golden_clock.txt",    "golden_countup_win.txt",  "golden_draw.txt",
                                "golden_gameover.txt", "golden_hostgames.txt"};

// TOBELYN_RECORD_GOLDEN=1 (tests/golden/record.sh) records the frames made.
const char *const kRecordVar = std::getenv("TOBELYN_RECORD_GOLDEN");
const bool kRecording = kRecordVar != nullptr && kRecordVar[0] != 0 && kRecordVar[0] != '0';

// FNV-1a, 64 bits, of a PNG file's width, height and 8-bit RGB pixels, top
// row first ("" when the file cannot be read as a PNG): plenty to tell two
// frames apart.
std::string hashPixels(const std::string &path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return "";
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return "";
  uint64_t h = 1469598103934665603ull;
  auto feed = [&h](uint8_t byte) { h = (h ^ byte) * 1099511628211ull; };
  for (uint32_t size : {image.width, image.height})
    for (int shift = 0; shift < 32; shift += 8) feed(static_cast<uint8_t>(size >> shift));
  for (uint8_t byte : pixels) feed(byte);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

std::map<std::string, std::string> readHashes() {
  std::map<std::string, std::string> hashes;
  std::ifstream in(kHashFile);
  for (std::string name, hash; in >> name >> hash;) hashes[name] = hash;
  return hashes;
}

// The frame names (without .png) a script saves, in order.
std::vector<std::string> shotsOf(const std::string &script) {
  std::vector<std::string> shots;
  std::ifstream in(kGoldenDir + "/" + script);
  for (std::string line, command, file; std::getline(in, line);)
    if (std::istringstream(line) >> command >> file && command == "shot")
      shots.push_back(file.substr(0, file.rfind('.')));
  return shots;
}

// Runs a shell command; returns what it printed and sets *status.
std::string run(const std::string &command, int *status) {
  std::string output;
  FILE *out = popen(command.c_str(), "r");
  for (int c; out != nullptr && (c = std::fgetc(out)) != EOF;) output += static_cast<char>(c);
  int raw = out == nullptr ? -1 : pclose(out);
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

class Golden : public testing::TestWithParam<const char *> {};

// Runs a golden script, with the host turned on first when asked, and
// compares (or records) its frames.
void checkFrames(const std::string &script, bool hostOn) {
  const std::vector<std::string> shots = shotsOf(script);
  ASSERT_FALSE(shots.empty()) << script << " saves no frame";

  // Each script runs in a folder of its own, so scripts may run side by side.
  const std::string work = kBuildDir + "golden-work/" + script + (hostOn ? "-host" : ""),
                    out = kBuildDir + "golden-out";
  const std::string path = "'" + kGoldenDir + "/" + script + "'";
  const std::string replay = hostOn ? "{ echo 'host on'; cat " + path + "; } | '" + kReplay + "' -"
                                    : "'" + kReplay + "' " + path;
  int status = -1;
  const std::string output = run("rm -rf '" + work + "' && mkdir -p '" + work + "' '" + out +
                                     "' && cd '" + work + "' && " + replay + " 2>&1",
                                 &status);
  ASSERT_EQ(status, 0) << output;
  EXPECT_NE(output.find("{\"exit\": 0}"), std::string::npos) << output;

  std::map<std::string, std::string> hashes = readHashes();
  for (const std::string &name : shots) {
    const std::string png = "/" + name + ".png", hash = hashPixels(work + png);
    ASSERT_FALSE(hash.empty()) << script << " did not save a readable " << name << ".png";
    const auto recorded = hashes.find(name);
    if (kRecording) hashes[name] = hash;
    if (kRecording || (recorded != hashes.end() && recorded->second == hash)) continue;
    run("cp '" + work + png + "' '" + out + png + "'", &status);
    ADD_FAILURE() << "frame " << name << " (" << script << ") "
                  << (recorded == hashes.end() ? "has no recorded hash"
                                               : "differs from the recorded one: " + hash +
                                                     " instead of " + recorded->second)
                  << "; the new frame is " << out << png
                  << "; after a look, record it with tests/golden/record.sh";
  }
  if (!kRecording) return;
  std::ofstream record(kHashFile, std::ios::trunc);
  for (const auto &[name, hash] : hashes) record << name << ' ' << hash << '\n';
}

TEST_P(Golden, FramesMatchRecordedHashes) { checkFrames(GetParam(), false); }

// The host on but never called up (no menu key, hints off) shows exactly the
// game's frames.
TEST_P(Golden, SameFramesWithTheHostOnButUnused) {
  if (kRecording) GTEST_SKIP() << "recording";
  checkFrames(GetParam(), true);
}

INSTANTIATE_TEST_SUITE_P(Scripts, Golden, testing::ValuesIn(kScripts), [](const auto &info) {
  const std::string name = info.param;  // golden_X.txt -> X
  return name.substr(7, name.size() - 11);
});

// Every frame a script saves is recorded, and every recorded frame is still
// saved by some script: a renamed or dropped shot cannot go unnoticed.
TEST(GoldenHashes, RecordedFramesAndScriptsAgree) {
  if (kRecording) GTEST_SKIP() << "recording";
  std::map<std::string, std::string> hashes = readHashes();
  std::map<std::string, int> saved;
  for (const char *script : kScripts)
    for (const std::string &name : shotsOf(script)) ++saved[name];
  for (const auto &[name, count] : saved) {
    EXPECT_EQ(count, 1) << name << " is saved by more than one shot";
    EXPECT_TRUE(hashes.count(name)) << name << " has no recorded hash";
  }
  for (const auto &[name, hash] : hashes) EXPECT_TRUE(saved.count(name)) << name << " is stale";
}

}  // namespace
