// The sound cues as a setting: a seat's line in the host's file, the
// runner's `seat N cues on|off` and each dumped seat's `cues`, a computer
// seat never sounded, and the voice under the host's volume.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ear_listener.h"
#include "game/match.h"
#include "host/ear_cues.h"
#include "host/seats.h"
#include "host_driver.h"
#include "replay/script.h"
// The runner is driven through a POSIX shell: its case runs on Linux only.
#if !defined(_WIN32)
#include "replay_runner.h"
#endif
#include "screens/screens.h"

namespace {

TEST(EarCuesSettings, EachSeatsCuesAreReadBackAndWrittenOnlyWhenOn) {
  struct Case {
    const char *name;
    const char *line;
    int32_t seat;
    bool on;
  };
  const Case cases[] = {
      {"seat 2 on", "seat2Cues 1", 1, true},
      {"seat 4 on", "seat4Cues 1", 3, true},
      {"0 is off", "seat1Cues 0", 0, false},
      {"no such seat", "seat5Cues 1", 0, false},
      {"not a number", "seat3Cues yes", 2, false},
      {"another seat's key is not this one", "seat1CuesX 1", 0, false},
  };
  hostStart();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    hostResetForTests();
    for (int i = 0; i < hostFeatureCount(); ++i)
      if (hostFeatureAt(i)->readSetting != nullptr) hostFeatureAt(i)->readSetting(c.line);
    EXPECT_EQ(hostSeatCues(c.seat), c.on);
  }
  hostResetForTests();
  hostSetSeatCues(2, true);
  std::string text;
  for (int i = 0; i < hostFeatureCount(); ++i)
    if (hostFeatureAt(i)->writeSettings != nullptr) hostFeatureAt(i)->writeSettings(text);
  EXPECT_NE(text.find("seat3Cues 1\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("seat1Cues"), std::string::npos) << "cues off are not written";
  EXPECT_LT(text.find("seat4Level"), text.find("seat3Cues")) << "appended after the seats";
  hostResetForTests();
}

TEST(EarCuesSettings, TheRunnersSeatLineSetsTheCuesAndTheDumpShowsThem) {
  struct Case {
    const char *name;
    const char *line;
    bool ok;
    uint32_t value;
  };
  const Case cases[] = {
      {"on", "seat 2 cues on", true, 1},
      {"off", "seat 4 cues off", true, 0},
      {"needs on or off", "seat 1 cues yes", false, 0},
      {"needs a word", "seat 1 cues", false, 0},
      {"no seat 5", "seat 5 cues on", false, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ParseResult r = parseScriptLine(c.line);
    ASSERT_EQ(r.ok, c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(r.command.seatSetting, kSeatCues);
    EXPECT_EQ(r.command.value, c.value);
  }
#if !defined(_WIN32)
  expectDumps(runScriptIn("ear-cues", "seat-lines", "host on\nseat 2 cues on\ndump\n"),
              {"seats=[{name:PLAYER1,cpuLevel:0,assist:off,autoContinue:0,cues:0},"
               "{name:PLAYER2,cpuLevel:0,assist:off,autoContinue:0,cues:1},"
               "{name:PLAYER3,cpuLevel:0,assist:off,autoContinue:0,cues:0},"
               "{name:PLAYER4,cpuLevel:0,assist:off,autoContinue:0,cues:0}]"});
#endif
}

// The match's pointer sliding for seat 1 (as given), the mixer recording
// from there; what 20 passes sounded like, leaving out the centre's tick.
Heard slidingHeard(bool cues, int32_t cpuLevel, int32_t volume) {
  HostDriver d;
  d.start();
  hostSetSeatCues(0, cues);
  hostSeat(0).cpuLevel = cpuLevel;
  hostSettings().volume = volume;
  EXPECT_TRUE(d.toReady());
  d.press(VK_RETURN, 0);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  d.run(14);
  d.press(VK_RETURN, 0);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  d.run(40);
  headlessMixerRecord(true);
  Heard heard;
  int passes = 0;
  for (int i = 0; i < 20; ++i) {
    d.pass();
    const Heard h = hear(takeMix());
    if (h.mark) continue;
    heard.left += h.left * h.left;
    heard.right += h.right * h.right;
    ++passes;
  }
  heard.left = passes > 0 ? std::sqrt(heard.left / passes) : 0;
  heard.right = passes > 0 ? std::sqrt(heard.right / passes) : 0;
  d.finish();
  return heard;
}

TEST(EarCuesSettings, TheVoiceSoundsForAPersonWithCuesAtTheHostsVolume) {
  const Heard full = slidingHeard(true, kSeatPerson, 10);
  ASSERT_TRUE(full.tone()) << "a person with cues on hears the pointer";
  struct Case {
    const char *name;
    bool cues;
    int32_t cpuLevel;
    int32_t volume;
    double share;  // of the loudness at full volume
  };
  const Case cases[] = {
      {"cues off: nothing", false, kSeatPerson, 10, 0.0},
      {"a computer's throw is never sounded", true, 2, 10, 0.0},
      {"volume 0 is silent", true, kSeatPerson, 0, 0.0},
      {"volume 5 is 15 dB down", true, kSeatPerson, 5, std::pow(10.0, -15.0 / 20.0)},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Heard h = slidingHeard(c.cues, c.cpuLevel, c.volume);
    // Equal-power panning keeps the sum of the squares whatever the side,
    // wherever the pointer happens to be.
    EXPECT_NEAR(std::hypot(h.left, h.right) / std::hypot(full.left, full.right), c.share, 0.01);
  }
}

TEST(EarCuesSettings, TheAssistsPagesCueRowsChangeAPersonsSeatAndNeverAComputers) {
  struct Case {
    const char *name;
    std::vector<int> keys;  // after the page opens on seat 1's assist
    int32_t seat;
    bool on;
    const char *row;  // the chosen row as the page gives it
  };
  const Case cases[] = {
      {"A on seat 1's cues, after the other rows",
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN},
       0,
       true,
       "Seat 1 cues: on"},
      {"Left on seat 3's cues, reached by Up", {VK_UP, VK_UP, VK_LEFT}, 2, true, "Seat 3 cues: on"},
      {"Right then Left is off again",
       {VK_UP, VK_UP, VK_RIGHT, VK_LEFT},
       2,
       false,
       "Seat 3 cues: off"},
      {"a computer's cues do not change", {VK_UP, VK_RETURN}, 3, false, "Seat 4 cues: -"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    hostSeat(3).cpuLevel = 2;
    for (int vk : {VK_F1, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN,
                   VK_RETURN})
      d.press(vk, 1);
    ASSERT_STREQ(hostPageName(), "assists");
    for (int vk : c.keys) d.press(vk, 1);
    EXPECT_EQ(hostSeatCues(c.seat), c.on);
    HostRow rows[kHostRowsMax];
    const int32_t n = hostPageRows(rows, kHostRowsMax);
    std::string chosen;
    for (int32_t i = 0; i < n; ++i)
      if (rows[i].chosen) chosen = std::string(rows[i].label) + ": " + rows[i].value;
    EXPECT_EQ(chosen, c.row);
    d.press(VK_ESCAPE, 1);
    d.finish();
  }
}

TEST(EarCuesSettings, TheMenuHushesTheVoiceAndClosingItBringsItBack) {
  HostDriver d;
  d.start();
  hostSetSeatCues(0, true);
  ASSERT_TRUE(d.toReady());
  d.press(VK_RETURN, 0);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  d.run(14);
  d.press(VK_RETURN, 0);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  d.run(40);
  headlessMixerRecord(true);
  struct Case {
    const char *name;
    int key;  // pressed first; 0 for none
    bool tone;
  };
  const Case cases[] = {
      {"the pointer sliding sounds", 0, true},
      {"the menu open hushes it", VK_F1, false},
      {"the menu closed brings it back", VK_F1, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    if (c.key != 0) d.press(c.key, 4);
    takeMix();
    d.run(10);
    EXPECT_EQ(hear(takeMix()).tone(), c.tone);
  }
  d.finish();
}

}  // namespace
