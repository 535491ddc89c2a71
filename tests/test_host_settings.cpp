// The host's settings file, both halves in one suite: the core's lines
// (volume, hints, matches finished) and the seats' (names, levels, the fast
// switch), read back from damaged, foreign or long files, and written in the
// same bytes as ever whichever feature writes which line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "host/host.h"
#include "host/host_internal.h"
#include "host/seats.h"
#include "platform/headless/headless.h"
#include "replay_runner.h"

namespace {

struct Expected {
  int32_t volume = 10, hints = 1, hintsChosen = 0, matchesFinished = 0;
  const char *seat1 = "PLAYER 1";
  int32_t level1 = 0;
  bool fast = false;
};

struct Case {
  const char *name;
  std::string text;
  Expected expected;
};

std::string notes() {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "note " + std::to_string(i) + "\n";
  return text;
}

// The features register once; each row then reads its file afresh.
class HostSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = replayWorkDir("host-work", "settings-file");
    headlessSetRegistryDir(dir.c_str());
    hostResetForTests();
    hostStart();
  }
  void TearDown() override {
    headlessSetRegistryDir(nullptr);
    hostResetForTests();
  }
  void read(const std::string &text) {
    std::ofstream(dir + "/host", std::ios::binary | std::ios::trunc) << text;
    hostResetForTests();
    hostReadSettings();
  }
  std::string dir;
};

TEST_F(HostSettingsFile, EachLineIsReadAndAnythingDamagedKeepsItsDefault) {
  const Case cases[] = {
      {"the core's lines whole",
       "volume 4\nhints 0\nhintsChosen 1\nmatchesFinished 7\n",
       {.volume = 4, .hints = 0, .hintsChosen = 1, .matchesFinished = 7}},
      {"a volume past 10 is 10", "volume 99\n", {.volume = 10}},
      {"negative numbers are 0", "volume -3\nmatchesFinished -8\n", {.volume = 0}},
      {"unknown names and words are skipped", "colour 3\nvolume loud\nhints\n", {}},
      {"no line feed at the end", "volume 2", {.volume = 2}},
      {"a NUL byte costs its own line only",
       std::string("volume 4\nhin\0ts 0\nmatchesFinished 7\n", 36),
       {.volume = 4, .matchesFinished = 7}},
      {"a file of a few kilobytes is read to its end",
       "volume 4\n" + notes() + "matchesFinished 7\n",
       {.volume = 4, .matchesFinished = 7}},
      {"a line far too long is skipped alone",
       "volume 4\n" + std::string(3000, 'x') + "\nmatchesFinished 7\n",
       {.volume = 4, .matchesFinished = 7}},
      {"a file past 16 KB is no host file", "volume 4\n" + std::string(17000, '#') + "\n", {}},
      {"a seat's name with a space, its level and the fast switch",
       "seat1Name JO ANN\nseat1Level 3\nfastCpu 1\n",
       {.seat1 = "JO ANN", .level1 = 3, .fast = true}},
      {"an old file without seats", "volume 4\nhints 0\n", {.volume = 4, .hints = 0}},
      {"a name the rules refuse", "seat1Name jo!\n", {}},
      {"a name too long", "seat1Name ABCDEFGHIJK\n", {}},
      {"a level past the last is a person", "seat1Level 9\n", {}},
      {"a seat past the fourth is skipped", "seat5Name ZED\nseat0Level 2\n", {}},
      {"a Windows line end", "seat1Name ZED\r\n", {.seat1 = "ZED"}},
      {"both halves in one file",
       "volume 3\nseat1Name ZED\nhints 0\nseat1Level 2\n",
       {.volume = 3, .hints = 0, .seat1 = "ZED", .level1 = 2}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    read(c.text);
    const HostSettings &s = hostSettings();
    EXPECT_EQ(s.volume, c.expected.volume);
    EXPECT_EQ(s.hints, c.expected.hints);
    EXPECT_EQ(s.hintsChosen, c.expected.hintsChosen);
    EXPECT_EQ(s.matchesFinished, c.expected.matchesFinished);
    EXPECT_STREQ(hostSeatName(0), c.expected.seat1);
    EXPECT_EQ(hostSeat(0).cpuLevel, c.expected.level1);
    EXPECT_EQ(hostCpuFast(), c.expected.fast);
  }
}

TEST_F(HostSettingsFile, WrittenInTheSameBytesAndReadBackWhole) {
  hostResetForTests();
  hostSettings().volume = 6;
  hostSettings().matchesFinished = 2;
  hostSeat(3).cpuLevel = 5;
  std::snprintf(hostSeat(3).name, sizeof hostSeat(3).name, "%s", "RED 1");
  hostSetCpuFast(true);
  hostWriteSettings();
  EXPECT_EQ(readAll(dir + "/host"),
            "volume 6\nhints 1\nhintsChosen 0\nmatchesFinished 2\nfastCpu 1\n"
            "seat1Name PLAYER 1\nseat1Level 0\nseat2Name PLAYER 2\nseat2Level 0\n"
            "seat3Name PLAYER 3\nseat3Level 0\nseat4Name RED 1\nseat4Level 5\n"
            "speech 0\n");
  hostResetForTests();
  hostReadSettings();
  EXPECT_EQ(hostSettings().volume, 6);
  EXPECT_EQ(hostSettings().matchesFinished, 2);
  EXPECT_STREQ(hostSeatName(3), "RED 1");
  EXPECT_EQ(hostSeat(3).cpuLevel, 5);
  EXPECT_TRUE(hostCpuFast());
}

}  // namespace
