// The Statistics page's sheets of the host's own games: X01's and
// Cricket's figures of the chosen player, a dash for one who never played
// the game, and the handheld "301" figures untouched by host-game darts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/book.h"
#include "host/host_game_stats.h"
#include "host/host_game_words.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host_driver.h"
#include "tests/host_game_book.h"

namespace {

struct Throw {
  int seat;
  int32_t leg, round, counted, marks;
};

// A host game of two seats, kept as the recorder keeps it; the first seat
// has won a leg.
void addHostMatch(Book *book, int32_t game, const char *options, const char *a, const char *b,
                  const std::vector<Throw> &throws) {
  std::vector<MadeThrow> made;
  for (const Throw &t : throws)
    made.push_back({t.seat, t.leg, t.round, 20, t.counted == 60 ? kDartTriple : kDartSingle,
                    t.counted, t.marks});
  const int32_t legs[kMaxPlayers] = {1, 0, 0, 0};
  addMadeTwoSeatMatch(book, game, options, a, b, -1, made, nullptr, "", legs);
}

// One "301" match of ANN alone: 20 darts of 15, not finished.
void addHandheldMatch(Book *book) {
  BookMatch m;
  m.game = kGame301;
  m.time = 1796644000;
  m.seats[0].name = "ANN";
  std::vector<BookDart> darts;
  for (int i = 0; i < 20; ++i) {
    BookDart d;
    d.name = m.seats[0].name;
    d.round = i / 3 + 1;
    d.dart = i % 3 + 1;
    d.aimX = kAimStart;
    d.sector = 15;
    d.ring = kDartSingle;
    d.score = d.counted = 15;
    darts.push_back(d);
  }
  m.seats[0].darts = 20;
  m.seats[0].points = 300;
  m.seats[0].final = 1;
  bookAddMatch(book, m, darts);
}

// ANN checks out 301 in six darts (a 180, then 121 out on the bull) while
// BOB throws three 20s; then ANN plays Cricket against CAL, who never
// played X01.
Book fixedBook(bool withHostGames) {
  Book book;
  addHandheldMatch(&book);
  if (withHostGames) {
    addHostMatch(&book, kHostGameX01, "x01 start=301 in=straight out=double legs=1", "ANN", "BOB",
                 {{0, 1, 1, 60, 0},
                  {0, 1, 1, 60, 0},
                  {0, 1, 1, 60, 0},
                  {1, 1, 1, 20, 0},
                  {1, 1, 1, 20, 0},
                  {1, 1, 1, 20, 0},
                  {0, 1, 2, 60, 0},
                  {0, 1, 2, 11, 0},
                  {0, 1, 2, 50, 0}});
    addHostMatch(&book, kHostGameCricket, "cricket", "ANN", "CAL",
                 {{0, 1, 1, 0, 3}, {0, 1, 1, 20, 2}, {0, 1, 1, 0, 0}, {1, 1, 1, 0, 1}});
  }
  return bookThroughText(book);
}

TEST(HostGameStats, EachPlayersFiguresOfEachGame) {
  const Book book = fixedBook(true);
  ASSERT_EQ(book.matches.size(), 3u);
  struct Row {
    const char *name;
    const char *player;
    int32_t game;
    const char *label;
    const char *want;
  };
  const Row rows[] = {
      {"ANN's X01 matches and darts", "ANN", kHostGameX01, "Matches / darts", "1 / 6"},
      {"ANN's 3-dart average", "ANN", kHostGameX01, "3-dart average", "150.5"},
      {"ANN's first nine (six darts thrown)", "ANN", kHostGameX01, "First-nine average", "150.5"},
      {"ANN's checkout rate (one dart at 50, in)", "ANN", kHostGameX01, "Checkout rate", "100.0%"},
      {"ANN's 121 and 180", "ANN", kHostGameX01, "100+ / 140+ / 180", "1 / 0 / 1"},
      {"ANN's best leg", "ANN", kHostGameX01, "Best leg, darts", "6"},
      {"ANN's highest checkout", "ANN", kHostGameX01, "Highest checkout", "121"},
      {"BOB's average of three 20s", "BOB", kHostGameX01, "3-dart average", "60.0"},
      {"BOB never had a dart at a finish", "BOB", kHostGameX01, "Checkout rate", "-"},
      {"BOB won no leg", "BOB", kHostGameX01, "Best leg, darts", "-"},
      {"BOB checked nothing out", "BOB", kHostGameX01, "Highest checkout", "-"},
      {"BOB played no Cricket", "BOB", kHostGameCricket, "Marks per round", "-"},
      {"BOB's Cricket matches", "BOB", kHostGameCricket, "Matches / darts", "-"},
      {"ANN's Cricket matches and darts", "ANN", kHostGameCricket, "Matches / darts", "1 / 3"},
      {"ANN's marks per round (5 in 3 darts)", "ANN", kHostGameCricket, "Marks per round", "5.0"},
      {"CAL's marks per round (1 in 1 dart)", "CAL", kHostGameCricket, "Marks per round", "3.0"},
      {"CAL played no X01", "CAL", kHostGameX01, "Matches / darts", "-"},
      {"CAL has no X01 average", "CAL", kHostGameX01, "3-dart average", "-"},
      {"CAL has no X01 tons", "CAL", kHostGameX01, "100+ / 140+ / 180", "-"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(statValue(hostGameStatLines(book, r.player, PlayerKind::kPerson, r.game), r.label),
              r.want);
  }
  // A computer of the same name is someone else.
  EXPECT_EQ(statValue(hostGameStatLines(book, "ANN", PlayerKind::kComputer, kHostGameX01),
                      "Matches / darts"),
            "-");
}

TEST(HostGameStats, LabelsAndValuesFitBesideEachOther) {
  const Book book = fixedBook(true);
  for (int32_t game : {kHostGameX01, kHostGameCricket}) {
    for (const HostGameStatLine &line : hostGameStatLines(book, "ANN", PlayerKind::kPerson, game)) {
      SCOPED_TRACE(line.label);
      // Labels start at 20 and values at 132, inside the panel's edge.
      EXPECT_LT(20 + textWidth(line.label.c_str()), 128);
      EXPECT_LT(132 + textWidth(line.value.c_str()), kLayerWidth - 16);
    }
  }
}

TEST(HostGameStats, TheHandheldFiguresIgnoreHostGames) {
  const PlayerStats without = bookPlayerStats(fixedBook(false), "ANN");
  const PlayerStats with = bookPlayerStats(fixedBook(true), "ANN");
  struct Row {
    const char *name;
    double without, with;
  };
  const Row rows[] = {
      {"301 average", without.average301, with.average301},
      {"301 average, last 10", without.average301Recent, with.average301Recent},
      {"301 matches", static_cast<double>(without.matches301),
       static_cast<double>(with.matches301)},
      {"301 finished", static_cast<double>(without.finished301),
       static_cast<double>(with.finished301)},
      {"301 trend points", static_cast<double>(without.trend301.size()),
       static_cast<double>(with.trend301.size())},
  };
  for (const Row &r : rows) EXPECT_DOUBLE_EQ(r.with, r.without) << r.name;
  EXPECT_DOUBLE_EQ(with.average301, 45.0);
}

// The text the page draws in one pass.
std::string shownText(HostDriver &d) {
  std::string text;
  layerTextSink(&text);
  d.run(1);
  layerTextSink(nullptr);
  return text;
}

TEST(HostGameStats, TheGamesRowTurnsThePageToEachGamesSheet) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, [] { return int64_t{1796644800}; });
  hostBookReplace(fixedBook(true));
  d.press(VK_F1, 1);
  // Player book... is the fourth row at the title, Statistics the second
  // in it.
  for (int vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}) d.press(vk, 1);
  ASSERT_STREQ(hostPageName(), "stats");
  for (int i = 0; i < 3 && shownText(d).find("ANN\n") == std::string::npos; ++i)
    d.press(VK_RIGHT, 1);
  std::string text = shownText(d);
  ASSERT_NE(text.find("ANN\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Games: handheld"), std::string::npos) << text;
  EXPECT_NE(text.find("301 average"), std::string::npos) << text;
  // The games row is the last (Up from the first wraps to it); A on it
  // turns the sheet.
  for (int vk : {VK_UP, VK_RETURN}) d.press(vk, 1);
  text = shownText(d);
  ASSERT_STREQ(hostPageName(), "stats");
  struct Row {
    const char *name;
    const char *shown;
    bool wanted;
  };
  const Row x01[] = {
      {"the row names the sheet", "Games: X01", true},
      {"the 3-dart average", "3-dart average\n150.5\n", true},
      {"the highest checkout", "Highest checkout\n121\n", true},
      {"no handheld average", "301 average", false},
  };
  for (const Row &r : x01)
    EXPECT_EQ(text.find(r.shown) != std::string::npos, r.wanted) << r.name << "\n" << text;
  d.press(VK_RETURN, 1);
  text = shownText(d);
  const Row cricket[] = {
      {"the row names the sheet", "Games: Cricket", true},
      {"marks per round", "Marks per round\n5.0\n", true},
      {"no X01 figure", "3-dart average", false},
  };
  for (const Row &r : cricket)
    EXPECT_EQ(text.find(r.shown) != std::string::npos, r.wanted) << r.name << "\n" << text;
  // Then Shanghai's and Bob's 27's sheets, and the handheld games again.
  const Row more[] = {
      {"Shanghai's sheet", "Games: Shanghai", true},
      {"Bob's 27's sheet", "Games: Bob's 27", true},
  };
  for (const Row &r : more) {
    d.press(VK_RETURN, 1);
    text = shownText(d);
    EXPECT_EQ(text.find(r.shown) != std::string::npos, r.wanted) << r.name << "\n" << text;
  }
  // The next player, who never played X01, shows dashes.
  d.press(VK_RETURN, 1);
  d.press(VK_RIGHT, 1);
  text = shownText(d);
  EXPECT_NE(text.find("Games: handheld"), std::string::npos) << text;
  d.press(VK_RETURN, 1);
  text = shownText(d);
  EXPECT_NE(text.find("BOB\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Highest checkout\n-\n"), std::string::npos) << text;
  d.finish();
}

}  // namespace
