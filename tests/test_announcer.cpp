// The announcer and the screen reader's mirror: a scripted match says a
// fixed list of words in tobelyn-replay's dump (host.said), each game words
// a score as a player expects to hear it, the system's voice is asked only
// with speech switched on, and every page of the menu reads as a title with
// rows or words, a row chosen from the mirror as if by the keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/match.h"
#include "host/announcer.h"
#include "host/host.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host_driver.h"
#include "platform/common/host_link.h"
#include "replay_runner.h"
#include "screens/screens.h"

namespace {

std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

// The strings of the dump's "said":[...] array, as written.
std::vector<std::string> saidOf(const std::string &dump) {
  std::vector<std::string> said;
  size_t at = dump.find("\"said\":[");
  if (at == std::string::npos) return said;
  at += 8;
  while (at < dump.size() && dump[at] == '"') {
    const size_t end = dump.find('"', at + 1);
    said.push_back(dump.substr(at + 1, end - at - 1));
    at = end + 1;
    if (at < dump.size() && dump[at] == ',') ++at;
  }
  return said;
}

TEST(Announcer, AScriptedMatchSaysTheFixedListInTheDump) {
  const std::string dir = replayWorkDir("announcer-work", "said-match");
  const std::string scripts = TOBELYN_SOURCE_DIR "/tests/scripts/";
  std::ofstream(dir + "/script.txt") << readAll(scripts + "said_match.txt") << "dump\n";
  const ReplayRun run = runReplay(dir, "script.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  const std::vector<std::string> out = linesOf(readAll(dir + "/out.txt"));
  ASSERT_GE(out.size(), 2u);
  const std::vector<std::string> expected = linesOf(readAll(scripts + "said_match.expected"));
  const std::vector<std::string> said = saidOf(out[out.size() - 2]);
  EXPECT_EQ(said, expected);
  // The match has what the list must show: a person, the computer, a bust,
  // a finish, the winner and the summary card.
  auto has = [&said](const std::string &part) {
    for (const std::string &s : said)
      if (s.find(part) != std::string::npos) return true;
    return false;
  };
  for (const char *part : {"PLAYER 1, round 1", "CPU 80, round 1", ", bust, ", ", finished",
                           " wins", "301: match summary"})
    EXPECT_TRUE(has(part)) << part;
}

TEST(Announcer, TheDumpHasNoSaidUntilTheHostIsOn) {
  const ReplayRun run = runScriptIn("announcer-work", "host-off", "run 5\ndump\n");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.lines[0].find("\"said\""), std::string::npos);
}

TEST(Announcer, EachGameWordsAScoreAsAPlayerHearsIt) {
  struct Case {
    const char *name;
    int32_t mode;
    int32_t score;
    const char *words;
  };
  const Case cases[] = {
      {"301 counts down to what is left", kGame301, 241, "241 left"},
      {"Count Up counts points", kGameCountUp, 57, "57 points"},
      {"one point is one point", kGameHighScore, 1, "1 point"},
      {"Round The Clock names the number to hit", kGameRoundTheClock, 7, "aiming at 7"},
      {"Round The Clock past its last number", kGameRoundTheClock, 21, "past 20"},
      {"a host game with no words of its own", kHostGameFirst + 3, 12, "12 points"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    MatchState m{};
    m.playerScores[1] = c.score;
    EXPECT_EQ(hostScoreWords(c.mode, m, 1), c.words);
  }
}

TEST(Announcer, AHostGameWordsItsScoresItself) {
  const int32_t mode = kHostGameFirst + 2;
  hostSetScoreWords(mode, [](const MatchState &m, int32_t player) {
    return std::to_string(m.playerScores[player]) + " marks";
  });
  MatchState m{};
  m.playerScores[0] = 9;
  EXPECT_EQ(hostScoreWords(mode, m, 0), "9 marks");
  hostSetScoreWords(mode, nullptr);
  EXPECT_EQ(hostScoreWords(mode, m, 0), "9 points");
}

// What reached the backend's output, by kind.
struct Heard {
  std::vector<std::string> said, spoken;
};
Heard heard;
const SpeechOut kRecording = {
    .said = [](const char *text) { heard.said.push_back(text); },
    .speak = [](const char *text) { heard.spoken.push_back(text); },
};

TEST(Announcer, TheVoiceSpeaksOnlyWithSpeechSwitchedOn) {
  struct Case {
    const char *name;
    bool speech;
    bool silenced;
    size_t said;
    size_t spoken;
  };
  const Case cases[] = {
      {"speech off (the default): text only", false, false, 2, 0},
      {"speech on: the same words spoken", true, false, 2, 2},
      {"a match played again fast (the game silenced): nothing said", true, true, 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    EXPECT_FALSE(hostSpeechOn());
    hostSetSpeech(c.speech);
    hostSilenceGame(c.silenced);
    heard = Heard{};
    platformSetSpeechOut(&kRecording);
    // Title, game select, player select, ready, into "301" for one player.
    const HostScene screens[] = {HostScene::kGameSelect, HostScene::kPlayerSelect,
                                 HostScene::kReady};
    for (HostScene screen : screens) {
      d.press(VK_RETURN);
      ASSERT_TRUE(d.reach(screen, kSetupChoosing));
      d.run(14);
    }
    d.press(VK_RETURN);
    ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
    d.run(2);
    const std::vector<std::string> start = {"301, 1 player", "PLAYER 1, round 1, 301 left"};
    EXPECT_EQ(heard.said, std::vector<std::string>(start.begin(), start.begin() + c.said));
    EXPECT_EQ(heard.spoken.size(), c.spoken);
    EXPECT_EQ(hostSaid().size(), c.said);
    hostSilenceGame(false);
    platformSetSpeechOut(nullptr);
    hostSetSpeech(false);
    d.finish();
  }
}

TEST(Announcer, SpeechIsASettingsRowAndALineOfTheHostFile) {
  HostDriver d;
  d.start();
  const HostFeature *announcer = nullptr;
  for (int32_t i = 0; i < hostFeatureCount(); ++i)
    if (std::string(hostFeatureAt(i)->name) == "announcer") announcer = hostFeatureAt(i);
  ASSERT_NE(announcer, nullptr);
  ASSERT_EQ(announcer->settingRowCount, 1);
  EXPECT_STREQ(announcer->settingRows[0].label, "Speech");
  EXPECT_STREQ(announcer->settingRows[0].value(), "off");
  announcer->settingRows[0].change(1);
  EXPECT_STREQ(announcer->settingRows[0].value(), "on");
  std::string text;
  announcer->writeSettings(text);
  EXPECT_EQ(text, "speech 1\n");
  announcer->readSetting("speech 0");
  EXPECT_FALSE(hostSpeechOn());
  d.finish();
}

// --- The mirror.

LinkPage pageNow() {
  LinkPage page;
  EXPECT_TRUE(platformHostPage(&page));
  return page;
}

int32_t chosenOf(const LinkPage &page) {
  for (int32_t i = 0; i < page.rowCount; ++i)
    if (page.rows[i].chosen) return i;
  return -1;
}

TEST(HostReader, TheMenuReadsAsItsTitleAndRowsWithTheCursorChosen) {
  HostDriver d;
  d.start();
  EXPECT_FALSE(pageNow().open);
  d.press(VK_F1);
  LinkPage page = pageNow();
  ASSERT_TRUE(page.open);
  EXPECT_STREQ(page.name, "menu");
  EXPECT_STREQ(page.title, "Menu");  // "Paused" in a match
  ASSERT_GE(page.rowCount, 4);
  EXPECT_STREQ(page.rows[0].label, "Resume");
  EXPECT_EQ(chosenOf(page), 0);
  d.press(VK_DOWN);
  EXPECT_EQ(chosenOf(pageNow()), 1);
  d.finish();
}

TEST(HostReader, EveryPageReadsAsATitleWithRowsOrWords) {
  struct Case {
    const char *page;
    const char *title;
    bool rows;
    const char *foot;  // the start of its foot bar's words
  };
  const Case cases[] = {
      {"players", "Players", true, ""},
      {"book", "Player book...", true, "B: back"},
      {"help", "", false, ""},
      {"settings", "Settings", true, "Left/Right: change"},
      {"quit", "Quit...", true, "B: back"},
      {"records", "Records", false, ""},
      {"stats", "Statistics", true, "B: back"},
      {"landing", "", false, "Left/Right: game"},
      {"quit-game", "", true, ""},
  };
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, nullptr);
  d.press(VK_F1);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.page);
    hostOpenPage(c.page);
    const LinkPage page = pageNow();
    EXPECT_STREQ(page.name, c.page);
    if (c.title[0] != 0) {
      EXPECT_STREQ(page.title, c.title);
    }
    EXPECT_EQ(page.rowCount > 0, c.rows);
    if (!c.rows) {
      EXPECT_NE(page.text[0], 0) << "a page without rows has its words";
    }
    EXPECT_EQ(std::string(page.foot).rfind(c.foot, 0), 0u) << page.foot;
  }
  d.finish();
}

TEST(HostReader, ARowChosenFromTheMirrorActsAsTheKeysWould) {
  HostDriver d;
  d.start();
  d.press(VK_F1);
  LinkPage page = pageNow();
  int32_t settings = -1;
  for (int32_t i = 0; i < page.rowCount; ++i)
    if (std::string(page.rows[i].label) == "Settings") settings = i;
  ASSERT_GE(settings, 0);
  platformChooseRow(settings);
  page = pageNow();
  EXPECT_STREQ(page.name, "settings");
  // On Settings a chosen row changes its value, as A does.
  int32_t speech = -1;
  for (int32_t i = 0; i < page.rowCount; ++i)
    if (std::string(page.rows[i].label) == "Speech") speech = i;
  ASSERT_GE(speech, 0);
  EXPECT_STREQ(page.rows[speech].value, "off");
  platformChooseRow(speech);
  page = pageNow();
  EXPECT_STREQ(page.rows[speech].value, "on");
  EXPECT_EQ(chosenOf(page), speech);
  // A row out of range does nothing.
  platformChooseRow(99);
  EXPECT_STREQ(pageNow().name, "settings");
  hostSetSpeech(false);
  d.finish();
}

}  // namespace
