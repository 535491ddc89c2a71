// Playing a friend far away by codes, in this process with the host on: two
// sides, each with its own folder (host file, store of codes, book), pass a
// match back and forth turn by turn until it ends; it ends the same on both
// sides and both books keep it with the friend apart; an older code opened
// after a newer one is refused and changes nothing; the friend's seat is a
// player of its own in the book even under a local person's name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "host/book.h"
#include "host/correspondence.h"
#include "host/match_code.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host_driver.h"
#include "platform/common/code_link.h"
#include "platform/headless/clipboard.h"
#include "scripted_person.h"

namespace {

int64_t fixedClock() { return 1796601600; }  // 2026-12-07

// A fresh, empty folder of the test's own (the Windows test build runs
// these too, so no shell).
std::string freshFolder(const std::string &name) {
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) / "tobelyn_friend" / name;
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  std::filesystem::create_directories(dir, ignored);
  return dir.generic_string();
}

// One side of the match: its folder and book.
struct Side {
  std::string dir;
  std::string book;
};

Side sideIn(const std::string &test, const char *name) {
  const std::string dir = freshFolder(test + "-" + name);
  return {dir, dir + "/book"};
}

void openSide(HostDriver &d, const Side &side) {
  d.start();
  headlessSetRegistryDir(side.dir.c_str());
  hostResetForTests();
  hostBookOpen(side.book.c_str(), fixedClock);
}

// A person presses only while the throw is theirs: never during a friend's
// darts played back, nor under the menu.
bool throwIsTheirs() {
  return hostLastView().scene == HostScene::kMatch && hostPlayback() == HostPlayback::kNone &&
         !hostMenuOpen();
}

struct Person : ScriptedPerson {
  Person() : ScriptedPerson{{20, 40, 9, 15, 52, 12, 14, 10, 20}, throwIsTheirs} {}
};

bool matchOver() {
  return hostLastView().scene == HostScene::kMatch && sceneStep >= kMatchFinished;
}

// Plays this side's turn until the code for the friend is shown or the
// match is over: the code to send (the friend's turn's, or the final one).
std::string throwTurn(HostDriver &d, Person &person) {
  for (int i = 0; i < 300000 && d.running; ++i) {
    if (!hostFriendTurnCode().empty() && hostMenuOpen()) return hostFriendTurnCode();
    if (matchOver()) return hostMatchCode();
    d.pass();
    person.afterPass();
  }
  ADD_FAILURE() << "the turn never ended";
  return {};
}

std::string scoresNow() {
  std::string s;
  for (int32_t i = 0; i < playerCount; ++i) s += std::to_string(match.playerScores[i]) + " ";
  return s + "winner " + std::to_string(match.winner);
}

std::string fileText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// How one match went: every code passed, and each side's end.
struct Played {
  std::vector<std::string> codes;
  std::string endHere[2];
  int32_t handOvers = 0;
};

// Side 0 sets up the match (seat 2 a friend) and throws first; then each
// side in turn opens the newest code through a link, as the friend would,
// and answers it; the side that did not throw the last dart opens the
// final code to see the end.
Played playByCodes(const Side (&sides)[2], const char *names[2], uint64_t seed) {
  Played out;
  HostDriver d;
  openSide(d, sides[0]);
  std::snprintf(hostSeat(0).name, sizeof hostSeat(0).name, "%s", names[0]);
  std::snprintf(hostSeat(1).name, sizeof hostSeat(1).name, "%s", names[1]);
  hostSeat(1).friendSeat = true;
  hostSetNextMatchSeed(seed);
  startMatchOf(kGameHighScore, 2);
  Person first;
  std::string code = throwTurn(d, first);
  int32_t side = 0;
  bool over = matchOver();
  if (over) out.endHere[0] = scoresNow();
  d.finish();
  while (!code.empty() && out.handOvers < 40) {
    out.codes.push_back(code);
    side = 1 - side;
    openSide(d, sides[side]);
    platformReceiveCode(("tobelyn:" + code).c_str());
    // The second side throws other darts than the first.
    Person person;
    person.darts = side;
    if (over) {
      // The end, played back.
      for (int i = 0; i < 400000 && !matchOver(); ++i) d.pass();
      d.run(10);
      out.endHere[side] = scoresNow();
      d.finish();
      break;
    }
    d.run(3);
    EXPECT_EQ(hostPlayback(), HostPlayback::kCatchingUp) << "the friend's darts played back";
    ++out.handOvers;
    code = throwTurn(d, person);
    over = matchOver();
    if (over) out.endHere[side] = scoresNow();
    d.finish();
  }
  return out;
}

TEST(Correspondence, AMatchPassedBackAndForthEndsTheSameOnBothSidesAndBothBooksKeepIt) {
  struct Row {
    const char *name;
    const char *folder;
    const char *names[2];
    uint64_t seed;
  };
  const Row rows[] = {
      {"two players of their own names", "own", {"ANNA", "BEN"}, 0x51},
      {"the friend under the local person's name", "same", {"SAM", "SAM"}, 0x77},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    const Side sides[2] = {sideIn(r.folder, "a"), sideIn(r.folder, "b")};
    const char *names[2] = {r.names[0], r.names[1]};
    const Played played = playByCodes(sides, names, r.seed);
    EXPECT_GE(played.handOvers, 6) << "back and forth three times at least";
    ASSERT_FALSE(played.endHere[0].empty());
    EXPECT_EQ(played.endHere[0], played.endHere[1]);
    // Each code is newer than the one before it.
    for (size_t i = 1; i < played.codes.size(); ++i) {
      MatchCode before, after;
      ASSERT_EQ(matchCodeRead(played.codes[i - 1], &before, nullptr), CodeRefusal::kNone);
      ASSERT_EQ(matchCodeRead(played.codes[i], &after, nullptr), CodeRefusal::kNone);
      EXPECT_GT(after.sequence, before.sequence);
    }
    // Both books keep the one match, the same winner, the friend apart.
    for (int32_t s = 0; s < 2; ++s) {
      SCOPED_TRACE(s == 0 ? "the first side's book" : "the second side's book");
      Book book;
      bookLoad(sides[s].book.c_str(), &book);
      ASSERT_EQ(book.matches.size(), 1u);
      const BookMatch &m = book.matches[0];
      const int32_t friendSeat = s == 0 ? 1 : 0;
      EXPECT_EQ(bookSeatKind(m, friendSeat), PlayerKind::kFriend);
      EXPECT_EQ(bookSeatKind(m, 1 - friendSeat), PlayerKind::kPerson);
      const std::vector<BookPlayer> players = bookPlayers(book);
      const BookPlayer friendPlayer{r.names[friendSeat], PlayerKind::kFriend};
      const BookPlayer local{r.names[1 - friendSeat], PlayerKind::kPerson};
      EXPECT_EQ(players.size(), 2u);
      EXPECT_NE(std::find(players.begin(), players.end(), friendPlayer), players.end());
      EXPECT_NE(std::find(players.begin(), players.end(), local), players.end());
      const PlayerStats st = bookPlayerStats(book, r.names[friendSeat], PlayerKind::kFriend);
      EXPECT_EQ(st.matches, 1);
      EXPECT_EQ(st.darts, m.seats[friendSeat].darts);
    }
    Book first, second;
    bookLoad(sides[0].book.c_str(), &first);
    bookLoad(sides[1].book.c_str(), &second);
    ASSERT_EQ(first.matches.size(), second.matches.size());
    if (!first.matches.empty()) {
      EXPECT_EQ(first.matches[0].winner, second.matches[0].winner);
      EXPECT_EQ(first.matches[0].seed, second.matches[0].seed);
      for (int32_t s = 0; s < 2; ++s) {
        EXPECT_EQ(first.matches[0].seats[s].points, second.matches[0].seats[s].points);
        EXPECT_EQ(first.matches[0].seats[s].darts, second.matches[0].seats[s].darts);
      }
    }
  }
}

// Which code a side opens after the match has moved on, and what it says.
TEST(Correspondence, AnOlderCodeOrTheCodeThisSideSentIsRefusedAndChangesNothing) {
  const Side sides[2] = {sideIn("older", "a"), sideIn("older", "b")};
  const char *names[2] = {"ANNA", "BEN"};
  const Played played = playByCodes(sides, names, 0x99);
  ASSERT_GE(played.codes.size(), 4u);
  struct Row {
    const char *name;
    int32_t side;
    size_t code;  // index into the codes passed
    const char *message;
  };
  const size_t n = played.codes.size();
  // Codes 0, 2, 4 ... were made by the first side, 1, 3 ... by the second.
  const Row rows[] = {
      {"the first code, opened by the friend after newer ones", 1, 0,
       "This code is older than one you have already opened."},
      {"a code this side made, long after", 0, 2,
       "This code is older than one you have already opened."},
      {"the second-newest code", static_cast<int32_t>((n - 1) % 2), n - 2,
       "This code is older than one you have already opened."},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    const Side &side = sides[r.side];
    const std::string bookBefore = fileText(side.book);
    const std::string storeBefore = fileText(side.dir + "/friends");
    HostDriver d;
    openSide(d, side);
    platformReceiveCode(played.codes[r.code].c_str());
    d.run(5);
    EXPECT_EQ(hostPlayback(), HostPlayback::kNone);
    EXPECT_NE(hostLastView().scene, HostScene::kMatch);
    EXPECT_TRUE(hostMenuOpen());
    HostRow shown[kHostRowsMax];
    const int32_t count = hostPageRows(shown, kHostRowsMax);
    std::string words;
    for (int32_t i = 0; i < count; ++i) words += shown[i].label + std::string(" ");
    EXPECT_NE(words.find(r.message), std::string::npos) << words;
    d.finish();
    EXPECT_EQ(fileText(side.book), bookBefore);
    EXPECT_EQ(fileText(side.dir + "/friends"), storeBefore);
  }
}

TEST(Correspondence, TheCodeJustSentIsNotTheSenderSToAnswer) {
  const Side side = sideIn("sent", "a");
  HostDriver d;
  openSide(d, side);
  hostSeat(1).friendSeat = true;
  hostSetNextMatchSeed(0x42);
  startMatchOf(kGameCountUp, 2);
  Person person;
  const std::string code = throwTurn(d, person);
  ASSERT_FALSE(code.empty());
  // The page's A copies it, as Share does.
  d.press(static_cast<int>(keyBindings[kButtonA]));
  EXPECT_EQ(headlessClipboard(), code);
  d.press(static_cast<int>(keyBindings[kButtonB]));
  EXPECT_FALSE(hostMenuOpen());
  std::string message;
  EXPECT_FALSE(hostAnswerOrWatch(code, &message));
  EXPECT_EQ(message, "This is the code you sent: the next turn is your friend's.");
  d.finish();
}

}  // namespace

// --- The book: a friend's seat is a player of its own.

// A match of two seats named as given, the second marked a friend's when
// asked, six darts a seat.
void addFriendMatch(Book *book, const char *local, const char *far, bool marked) {
  BookMatch m;
  m.time = 1000 + static_cast<int64_t>(book->matches.size());
  m.game = kGameCountUp;
  m.players = 2;
  m.seats[0].name = local;
  m.seats[1].name = far;
  std::vector<BookDart> darts;
  for (int i = 0; i < 12; ++i) {
    BookDart d;
    d.seat = i / 3 % 2;
    d.name = m.seats[d.seat].name;
    d.round = i / 6 + 1;
    d.dart = i % 3 + 1;
    d.aimX = 112;
    d.x = 120;
    d.y = 100;
    d.ring = kDartSingle;
    d.sector = 20;
    d.score = d.counted = 20;
    m.seats[d.seat].darts += 1;
    m.seats[d.seat].points += 20;
    m.seats[d.seat].final += 20;
    m.rounds = d.round;
    darts.push_back(d);
  }
  if (marked) bookMarkMatchFriend(&m, 1);
  bookAddMatch(book, m, darts);
}

TEST(Correspondence, AFriendIsAPlayerOfTheirOwnInTheBook) {
  struct Row {
    const char *name;
    const char *local;
    const char *far;
    bool marked;
    size_t keep;  // darts kept one by one, the rest folded into totals
    std::vector<BookPlayer> players;
  };
  const Row rows[] = {
      {"a friend of the same name as the local person",
       "SAM",
       "SAM",
       true,
       kBookDartsKept,
       {{"SAM", PlayerKind::kPerson}, {"SAM", PlayerKind::kFriend}}},
      {"the same, the darts folded into totals",
       "SAM",
       "SAM",
       true,
       0,
       {{"SAM", PlayerKind::kPerson}, {"SAM", PlayerKind::kFriend}}},
      {"a friend of another name",
       "ANNA",
       "BEN",
       true,
       kBookDartsKept,
       {{"ANNA", PlayerKind::kPerson}, {"BEN", PlayerKind::kFriend}}},
      {"a match without the mark (an older book) is two people's",
       "SAM",
       "SAM",
       false,
       kBookDartsKept,
       {{"SAM", PlayerKind::kPerson}}},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    Book written;
    addFriendMatch(&written, r.local, r.far, r.marked);
    bookFold(&written, r.keep);
    // Through the file's text and back.
    const std::string text = bookFormat(written);
    Book book;
    bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &book);
    ASSERT_EQ(book.matches.size(), 1u);
    EXPECT_EQ(bookFormat(book), text);
    EXPECT_EQ(bookPlayers(book), r.players);
    const PlayerKind far = r.marked ? PlayerKind::kFriend : PlayerKind::kPerson;
    const PlayerStats local = bookPlayerStats(book, r.local, PlayerKind::kPerson);
    const PlayerStats friendStats = bookPlayerStats(book, r.far, far);
    const bool sameName = std::string(r.local) == r.far;
    EXPECT_EQ(local.matches, r.marked || !sameName ? 1 : 2);
    EXPECT_EQ(local.ringDarts, r.marked || !sameName ? 6 : 12);
    EXPECT_EQ(friendStats.ringDarts, r.marked || !sameName ? 6 : 12);
  }
}

TEST(Correspondence, SeatTwoTurnsToAFriendOnThePlayersPageAndTheHostFileKeepsIt) {
  struct Row {
    const char *name;
    int32_t seat;      // 0: Seat 1
    int32_t rights;    // presses of Right on its kind
    const char *kind;  // as the page's row says
    bool friendSeat;
  };
  const Row rows[] = {
      {"seat 2, past the five levels: a friend", 1, 6, "Friend", true},
      {"seat 2, once more round: a person again", 1, 7, "Person", false},
      {"seat 2, left from a person: a friend", 1, -1, "Friend", true},
      {"seat 1 never has a friend: round to a person", 0, 6, "Person", false},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    const std::string dir = freshFolder("players");
    HostDriver d;
    openSide(d, {dir, dir + "/book"});
    hostOpenMenu();
    hostOpenPage("players");
    for (int32_t i = 0; i < r.seat; ++i) hostPageAction(HostAction::kDown);
    for (int32_t i = 0; i < std::abs(r.rights); ++i)
      hostPageAction(r.rights > 0 ? HostAction::kRight : HostAction::kLeft);
    HostRow shown[kHostRowsMax];
    ASSERT_GT(hostPageRows(shown, kHostRowsMax), r.seat);
    EXPECT_STREQ(shown[r.seat].value, r.kind);
    EXPECT_EQ(hostSeat(r.seat).friendSeat, r.friendSeat);
    EXPECT_EQ(hostSeat(r.seat).cpuLevel, 0);
    hostWriteSettings();
    // Read back by a fresh start.
    hostSeatsReset();
    hostReadSettings();
    EXPECT_EQ(hostSeat(kFriendSeat).friendSeat, r.friendSeat);
    d.finish();
  }
}
