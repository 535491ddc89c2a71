// The host's own games from outside: their options as words, the runner's
// `host play` line, and whole matches of X01 and Cricket played through the
// match's slot by computer seats to their ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/match.h"
#include "host/games.h"
#include "host/host.h"
#include "host/host_games.h"
#include "host_driver.h"
#include "replay/script.h"
#include "replay_runner.h"

TEST(HostGameText, OptionsAsWordsAndBack) {
  struct Case {
    const char *name;
    const char *text;
    const char *canonical;  // null: refused
  };
  const Case cases[] = {
      {"x01 alone: every option at its default", "x01",
       "x01 start=501 in=straight out=double legs=1"},
      {"x01 with every option", "x01 start=701 in=double out=master legs=5",
       "x01 start=701 in=double out=master legs=5"},
      {"x01 options in any order", "x01 legs=3 out=straight start=301",
       "x01 start=301 in=straight out=straight legs=3"},
      {"cricket", "cricket", "cricket"},
      {"shanghai", "shanghai", "shanghai"},
      {"bob's 27", "bobs27", "bobs27"},
      {"an option shanghai does not have", "shanghai legs=3", nullptr},
      {"an option bob's 27 does not have", "bobs27 start=501", nullptr},
      {"an unknown game", "killer", nullptr},
      {"a start out of range", "x01 start=401", nullptr},
      {"legs best of 2", "x01 legs=2", nullptr},
      {"an unknown out rule", "x01 out=triple", nullptr},
      {"an option given twice", "x01 legs=3 legs=5", nullptr},
      {"an option without a value", "x01 legs", nullptr},
      {"an option cricket does not have", "cricket legs=3", nullptr},
      {"an unknown option", "x01 sets=3", nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostGameChoice choice;
    std::string error;
    const bool ok = hostGameFromText(c.text, &choice, &error);
    EXPECT_EQ(ok, c.canonical != nullptr) << error;
    if (!ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(hostGameText(choice), c.canonical);
    HostGameChoice again;
    ASSERT_TRUE(hostGameFromText(hostGameText(choice), &again, nullptr));
    EXPECT_EQ(hostGameText(again), c.canonical) << "read back as written";
  }
}

TEST(HostGameText, RefusalsShowOnlyPrintableText) {
  struct Case {
    const char *name;
    std::string text;
    const char *shown;  // how the offending word appears in the message
  };
  const Case cases[] = {
      {"a game name of high bytes", std::string("h\xff\xff"), "'h\\xff\\xff'"},
      {"a control byte in an option", std::string("x01 le\x0bgs=3"), "'le\\x0bgs=3'"},
      {"a bad value with a zero byte", std::string("x01 legs=3\0", 11), "'legs=3\\x00'"},
      {"a very long game name", std::string(60, 'z'), "'zzzzzzzzzzzzzzzzzzzzzzzz...'"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostGameChoice choice;
    std::string error;
    ASSERT_FALSE(hostGameFromText(c.text, &choice, &error));
    for (char ch : error) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << error;
    EXPECT_NE(error.find(c.shown), std::string::npos) << error;
  }
}

TEST(HostGameText, EveryOptionRowIsInRange) {
  for (int32_t start : {301, 501, 701})
    for (int32_t legs : {1, 3, 5}) {
      HostGameChoice c;
      c.x01.start = start;
      c.x01.legs = legs;
      EXPECT_TRUE(x01OptionsValid(c.x01));
      HostGameChoice back;
      ASSERT_TRUE(hostGameFromText(hostGameText(c), &back, nullptr));
      EXPECT_EQ(back.x01.start, start);
      EXPECT_EQ(back.x01.legs, legs);
    }
}

TEST(ReplayScript, HostPlayLines) {
  struct Case {
    const char *name;
    const char *line;
    const char *game;   // the game's words kept; null: refused
    const char *error;  // part of the message when refused
  };
  const Case cases[] = {
      {"x01 with options", "host play x01 2 start=301 legs=3",
       "x01 start=301 in=straight out=double legs=1", nullptr},
      {"cricket for four", "host play cricket 4", "cricket", nullptr},
      {"shanghai for two", "host play shanghai 2", "shanghai", nullptr},
      {"bob's 27 alone", "host play bobs27 1", "bobs27", nullptr},
      {"no players", "host play x01", nullptr, "host play GAME PLAYERS"},
      {"five players", "host play x01 5", nullptr, "bad players"},
      {"no players: zero", "host play cricket 0", nullptr, "bad players"},
      {"an unknown game", "host play darts 2", nullptr, "unknown game"},
      {"a bad option", "host play x01 2 in=treble", nullptr, "bad value"},
      {"host on still takes one word", "host on x01", nullptr, "host on|off|hints|summary"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ParseResult r = parseScriptLine(c.line);
    EXPECT_EQ(r.ok, c.game != nullptr) << r.error;
    if (r.ok) {
      EXPECT_EQ(r.command.value, kHostPlay);
      if (std::string(c.line).find("legs=3") != std::string::npos) {
        EXPECT_EQ(r.command.file, "x01 start=301 in=straight out=double legs=3");
      } else {
        EXPECT_EQ(r.command.file, c.game);
      }
    } else {
      EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    }
  }
}

namespace {

// Computer seats for every player, then the game from the title, run to
// its end screen.
std::string wholeGame(const char *play, int32_t players) {
  std::string s = "host on\n";
  for (int32_t seat = 1; seat <= players; ++seat)
    s += "seat " + std::to_string(seat) + " cpu " + std::to_string(6 - seat) + "\n";
  s += "seed 7\nclock 100000\nrun 3\n";
  s += std::string(play) + "\nrun 1\ndump\nwait 12 3000000\ndump\nwait 14 10000\nrun 3000\ndump\n";
  return s;
}

// A field of the host's `game` object of a dump line.
std::string gameField(const std::string &line, const std::string &name) {
  const size_t at = line.find("\"game\":{");
  if (at == std::string::npos) return "<no game>";
  return field(line.substr(at + 7), name);
}

}  // namespace

TEST(HostGames, EachGamePlaysThroughTheRunnerToItsEnd) {
  struct Case {
    const char *name;
    const char *play;
    int32_t players;
    const char *startScores;
    const char *gameName;
  };
  const Case cases[] = {
      {"x01 301, best of 3, two computers", "host play x01 2 start=301 legs=3", 2, "[301,301]",
       "x01"},
      {"x01 501 double in, alone", "host play x01 1 in=double", 1, "[501]", "x01"},
      {"cricket, four computers", "host play cricket 4", 4, "[0,0,0,0]", "cricket"},
      {"cricket alone", "host play cricket 1", 1, "[0]", "cricket"},
      {"x01 501 master out, four computers", "host play x01 4 out=master", 4, "[501,501,501,501]",
       "x01"},
      {"shanghai, three computers", "host play shanghai 3", 3, "[0,0,0]", "shanghai"},
      {"shanghai alone", "host play shanghai 1", 1, "[0]", "shanghai"},
      {"bob's 27, two computers", "host play bobs27 2", 2, "[27,27]", "bobs27"},
      {"bob's 27 alone", "host play bobs27 1", 1, "[27]", "bobs27"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ReplayRun run = runScriptIn("hostgames-work", c.gameName + std::to_string(c.players),
                                      wholeGame(c.play, c.players));
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), 4u);
    const std::string &start = run.lines[0];
    EXPECT_EQ(field(start, "scene"), "MatchScene");
    EXPECT_EQ(gameField(start, "name"), c.gameName);
    EXPECT_EQ(gameField(start, "scores"), c.startScores);
    EXPECT_EQ(gameField(start, "finished"), "0");
    EXPECT_EQ(gameField(start, "leg"), "1");
    EXPECT_EQ(gameField(start, "round"), "1");

    const std::string &end = run.lines[1];
    EXPECT_EQ(field(end, "sceneStep"), "12");
    EXPECT_EQ(gameField(end, "finished"), "1");
    const std::string winner = gameField(end, "winner");
    const int32_t w = std::stoi(winner);
    EXPECT_TRUE(w >= -1 && w < c.players) << winner;
    // The match's own winner agrees with the game's (99: nobody).
    EXPECT_EQ(field(end, "winner"), w < 0 ? "99" : winner);

    // Back at the title, the slot is empty and the last game still shown.
    const std::string &after = run.lines[2];
    EXPECT_EQ(field(after, "scene"), "TitleScene");
    EXPECT_EQ(gameField(after, "finished"), "1");
  }
}

TEST(HostGames, ABadHostPlayLineIsAnErrorNamingTheLine) {
  const ReplayRun run =
      runScriptIn("hostgames-work", "bad", "host on\nrun 3\nhost play x01 2 legs=4\n");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.errors.find("3"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("legs=4"), std::string::npos) << run.errors;
}

namespace {

const HostFeature *gamesFeature() {
  for (int32_t i = 0; i < hostFeatureCount(); ++i)
    if (std::string(hostFeatureAt(i)->name) == "games") return hostFeatureAt(i);
  return nullptr;
}

std::string hostFileLines() {
  std::string text;
  gamesFeature()->writeSettings(text);
  return text;
}

}  // namespace

TEST(HostGamesMenu, APlayPageStartsItsGameWithTheOptionsChosenAndRemembersThem) {
  HostDriver d;
  d.start();
  ASSERT_NE(gamesFeature(), nullptr);
  EXPECT_EQ(hostFileLines(), "") << "nothing chosen yet: the host's file is as it was";
  // Play..., X01; Players up to 2, Start from 501 to 701, Legs to best of 3.
  d.press(VK_F1, 1);
  for (int vk : {VK_DOWN, VK_RETURN, VK_RETURN, VK_RIGHT, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN,
                 VK_DOWN, VK_RIGHT})
    d.press(vk, 1);
  ASSERT_STREQ(hostPageName(), "x01");
  EXPECT_EQ(hostFileLines(),
            "game x01 start=701 in=straight out=double legs=3\ngame cricket\ngame shanghai\n"
            "game bobs27\ngamePlayers 2\n");
  // Down to Play, and A.
  d.press(VK_DOWN, 1);
  d.press(VK_RETURN, 1);
  EXPECT_FALSE(hostMenuOpen());
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  EXPECT_EQ(gameMode, kHostGameX01);
  EXPECT_EQ(playerCount, 2);
  EXPECT_EQ(match.playerScores[0], 701);
  EXPECT_EQ(match.playerScores[1], 701);
  ASSERT_NE(hostGameNow(), nullptr);
  EXPECT_EQ(hostGameNow()->x01.options.legs, 3);
  // In the match, Play... is not offered.
  d.press(VK_F1, 1);
  HostRow rows[kHostRowsMax];
  const int32_t n = hostPageRows(rows, kHostRowsMax);
  for (int32_t i = 0; i < n; ++i) EXPECT_STRNE(rows[i].label, "Play...");
  d.press(VK_ESCAPE, 1);
  d.finish();

  // A fresh start reads the remembered lines back; a bad one is ignored.
  d.start();
  for (const char *line : {"game cricket", "game x01 start=301 in=double out=master legs=5",
                           "game x01 start=999", "gamePlayers 9", "gamePlayers 4"})
    gamesFeature()->readSetting(line);
  EXPECT_EQ(hostGameText(hostGameRemembered(kHostGameX01)),
            "x01 start=301 in=double out=master legs=5");
  EXPECT_EQ(hostGamePlayers(), 4);
  d.finish();
}

TEST(HostGamesSlot, AnX01BustShowsBustAndPutsTheScoreBack) {
  // The match asks the slot: the rising number is what the dart counts,
  // "Bust!!" comes from the game's rules, and the score goes back.
  HostDriver d;
  d.start();
  HostGameChoice x01;
  x01.x01.start = 301;
  hostPlayGame(x01, 1);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  ASSERT_NE(hostGameSlot.apply, nullptr);
  MatchState &m = match;
  // 40 left: a treble 20 busts, counts nothing; a double 20 finishes.
  const_cast<HostGamePlay *>(hostGameNow())->x01.left[0] = 40;
  m.playerScores[0] = 40;
  EXPECT_TRUE(hostGameSlot.busts(m, 60, 20));
  EXPECT_EQ(hostGameSlot.points(m, 60, 20), 0);
  EXPECT_FALSE(hostGameSlot.finishes(m, 60, 20));
  EXPECT_TRUE(hostGameSlot.finishes(m, 40, 20));
  m.throwScore = 60;
  m.hitSector = 20;
  EXPECT_FALSE(hostGameSlot.apply(m));
  EXPECT_EQ(m.playerScores[0], 40) << "back to the turn's start";
  EXPECT_EQ(m.dartIndex, 0) << "the bust ended the turn";
  EXPECT_EQ(m.roundIndex, 1);
  d.finish();
  EXPECT_EQ(hostGameSlot.apply, nullptr) << "the slot is empty once the host is reset";
}

TEST(HostGames, AHostGamesCodeWatchedAgainEndsAsItsMatchDid) {
  struct Case {
    const char *name;
    const char *play;
    int32_t players;
    const char *work;
  };
  const Case cases[] = {
      {"x01 301, best of 3, two computers", "host play x01 2 start=301 legs=3", 2, "x01-code"},
      {"cricket, four computers", "host play cricket 4", 4, "cricket-code"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ReplayRun played = runScriptIn("hostgames-work", c.work, wholeGame(c.play, c.players));
    ASSERT_EQ(played.status, 0) << played.errors;
    ASSERT_EQ(played.lines.size(), 4u);
    const std::string &end = played.lines[1];
    const std::string code = field(end, "code");
    ASSERT_FALSE(code.empty());
    const ReplayRun watched = runScriptIn(
        "hostgames-work", std::string(c.work) + "-watched",
        "host on\nclock 100000\nrun 3\nhost watch " + code + "\nrun 1\nwait 12 3000000\ndump\n");
    ASSERT_EQ(watched.status, 0) << watched.errors;
    ASSERT_EQ(watched.lines.size(), 2u);  // the dump and the exit
    const std::string &again = watched.lines[0];
    for (const char *name : {"name", "scores", "legsWon", "marks", "leg", "round", "winner"})
      EXPECT_EQ(gameField(again, name), gameField(end, name)) << name;
    EXPECT_EQ(field(again, "playerScores"), field(end, "playerScores"));
  }
}

TEST(HostGames, TheSameSeedPlaysTheSameMatchOfEachGame) {
  struct Case {
    const char *name;
    const char *play;
    int32_t players;
  };
  const Case cases[] = {
      {"x01 301 double out, alone", "host play x01 1 start=301", 1},
      {"shanghai, two computers", "host play shanghai 2", 2},
      {"bob's 27, alone", "host play bobs27 1", 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ReplayRun a = runScriptIn("hostgames-work", "same-a", wholeGame(c.play, c.players));
    const ReplayRun b = runScriptIn("hostgames-work", "same-b", wholeGame(c.play, c.players));
    ASSERT_EQ(a.status, 0) << a.errors;
    ASSERT_EQ(b.status, 0) << b.errors;
    ASSERT_EQ(a.lines.size(), 4u);
    ASSERT_EQ(b.lines.size(), 4u);
    EXPECT_EQ(gameField(a.lines[1], "finished"), "1");
    // The whole game object at the end screen: every score, mark and round.
    const size_t at = a.lines[1].find("\"game\":{");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(a.lines[1].substr(at), b.lines[1].substr(b.lines[1].find("\"game\":{")));
  }
}
