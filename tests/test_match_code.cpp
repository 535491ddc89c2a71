// The match code's text: what goes in comes out, every refusal says why,
// and no damaged text is ever read as a match.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/match_code.h"
#include "platform/common/checksum.h"

namespace {

MatchCode twoSeats() {
  MatchCode code;
  code.sequence = 7;
  code.game = kGame301;
  code.players = 2;
  code.seats[0] = {CodeSeatKind::kPerson, 0, "ANNA"};
  code.seats[1] = {CodeSeatKind::kComputer, 3, "CPU 55"};
  code.seed = 0xFEDCBA9876543210ull;
  code.darts = {{112, 128, 40}, {16, 139, 0}, {208, 139, 139}, {100, 2, 0}, {60, 138, 136}};
  return code;
}

std::string written(const MatchCode &code) {
  std::string text;
  EXPECT_TRUE(matchCodeWrite(code, &text));
  return text;
}

// Every field of the code as one line, for comparing two codes.
std::string describe(const MatchCode &c) {
  std::string s = std::to_string(c.sequence) + " " + std::to_string(c.game) + " [" + c.options +
                  "] " + std::to_string(c.players) + " " + std::to_string(c.seed);
  for (int i = 0; i < c.players; ++i)
    s += " " + std::to_string(static_cast<int>(c.seats[i].kind)) + "/" +
         std::to_string(c.seats[i].level) + "/" + c.seats[i].name;
  for (const CodeDart &d : c.darts)
    s += " " + std::to_string(d.aimX) + "," + std::to_string(d.peak) + "," +
         std::to_string(d.release);
  return s;
}

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// A code's text with one byte changed and its check made good again, so
// that only the field changed is wrong. A negative place counts back from
// the end of the bytes the check covers.
std::string withByte(const std::string &text, long at, uint8_t value) {
  std::string bytes;
  uint32_t bits = 0;
  int held = 0;
  for (char c : text) {
    bits = bits << 6 | static_cast<uint32_t>(std::strchr(kLetters, c) - kLetters);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes += static_cast<char>(bits >> held & 0xFF);
    }
  }
  bytes.resize(bytes.size() - 4);
  bytes[at >= 0 ? static_cast<size_t>(at) : bytes.size() - static_cast<size_t>(-at)] =
      static_cast<char>(value);
  const uint32_t crc = crc32Update(0, bytes.data(), bytes.size());
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(crc >> shift & 0xFF);
  return matchCodeLetters(bytes);
}

TEST(MatchCode, WhatIsWrittenReadsBackTheSame) {
  struct Case {
    const char *name;
    MatchCode code;
  };
  MatchCode alone;
  alone.seats[0] = {CodeSeatKind::kPerson, 0, "PLAYER 1"};
  MatchCode friends = twoSeats();
  friends.seats[1] = {CodeSeatKind::kFriend, 0, "BO-2"};
  MatchCode full = twoSeats();
  full.players = 4;
  full.game = kGameRoundTheClock;
  full.seats[2] = {CodeSeatKind::kComputer, 5, "CPU 80"};
  full.seats[3] = {CodeSeatKind::kPerson, 0, "ZZZZZZZZZZ"};
  full.darts.assign(kCodeDartsMax, CodeDart{208, 139, 139});
  full.sequence = 0xFFFFFFFFu;
  full.seed = ~0ull;
  const Case cases[] = {
      {"one person, no darts yet", alone},
      {"a person and a computer, darts at every edge", twoSeats()},
      {"a friend's seat", friends},
      {"four seats and the most darts", full},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = written(c.code);
    EXPECT_LE(text.size(), static_cast<size_t>(matchCodeTextMax()));
    EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                     "0123456789-_"),
              std::string::npos);
    MatchCode back;
    std::string message;
    ASSERT_EQ(matchCodeRead(text, &back, &message), CodeRefusal::kNone) << message;
    EXPECT_EQ(describe(back), describe(c.code));
  }
}

TEST(MatchCode, EveryDartAThrowCanMakeIsWrittenAndNoOther) {
  int valid = 0;
  for (int aimX = 0; aimX <= 224; ++aimX)
    for (int peak = 0; peak <= 140; ++peak)
      for (int release = 0; release <= 140; ++release) {
        const CodeDart d{aimX, peak, release};
        // What the throw can fix: a column of the pointer's lattice, a
        // pressed even peak or the top, and a release below it (or at the
        // top's first odd step), or the bottom.
        const bool column = aimX >= 16 && aimX <= 208 && aimX % 4 == 0;
        const bool pressed = peak >= 2 && peak <= 138 && peak % 2 == 0;
        const bool top = peak == 139;
        const bool release_ok = release == 0 || (pressed && release % 2 == 0 && release < peak) ||
                                (top && release % 2 == 1);
        const bool expected = column && (pressed || top) && release_ok;
        ASSERT_EQ(codeDartValid(d), expected) << aimX << " " << peak << " " << release;
        if (!expected) continue;
        ++valid;
        MatchCode code = twoSeats();
        code.darts = {d};
        MatchCode back;
        if (aimX == 16 || peak % 10 == 9 || release % 20 == 0) {
          ASSERT_EQ(matchCodeRead(written(code), &back, nullptr), CodeRefusal::kNone);
          ASSERT_EQ(back.darts.at(0), d);
        }
      }
  EXPECT_EQ(valid, 49 * (69 * 70 / 2 + 70 + 1));
}

TEST(MatchCode, AMatchThatCannotBeACodeIsNotWritten) {
  struct Case {
    const char *name;
    void (*spoil)(MatchCode &);
  };
  const Case cases[] = {
      {"401 darts",
       [](MatchCode &c) {
         c.darts.assign(kCodeDartsMax + 1, CodeDart{112, 2, 0});
       }},
      {"no players", [](MatchCode &c) { c.players = 0; }},
      {"five players", [](MatchCode &c) { c.players = 5; }},
      {"a computer of level 6", [](MatchCode &c) { c.seats[1].level = 6; }},
      {"a person with a level", [](MatchCode &c) { c.seats[0].level = 2; }},
      {"a name in lower case", [](MatchCode &c) { c.seats[0].name = "anna"; }},
      {"a name of eleven letters", [](MatchCode &c) { c.seats[0].name = "ABCDEFGHIJK"; }},
      {"a game nobody knows", [](MatchCode &c) { c.game = 99; }},
      {"options for a handheld game", [](MatchCode &c) { c.options = "start=501"; }},
      {"a dart off the pointer's lattice", [](MatchCode &c) { c.darts[0].aimX = 113; }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    MatchCode code = twoSeats();
    c.spoil(code);
    std::string text = "unchanged";
    EXPECT_FALSE(matchCodeWrite(code, &text));
    EXPECT_EQ(text, "unchanged");
  }
}

TEST(MatchCode, EachRefusalHasItsOwnMessageAndLeavesTheMatchAlone) {
  const std::string good = written(twoSeats());
  // Byte 0 is the version; the sequence (7) is byte 1, the game byte 2,
  // the options' length byte 3, the players byte 4, seat 1's kind byte 5.
  struct Case {
    const char *name;
    std::string text;
    CodeRefusal refusal;
    const char *message;
  };
  const Case cases[] = {
      {"longer than any code", std::string(matchCodeTextMax() + 1, 'A'), CodeRefusal::kTooLong,
       "Too long for a match code: a code holds at most 400 darts."},
      {"empty", "", CodeRefusal::kNotACode, "This is not a match code."},
      {"a letter outside the alphabet", good.substr(0, 10) + "+" + good.substr(11),
       CodeRefusal::kNotACode, "This is not a match code."},
      {"a link's text", "https://example.org/#m=abc", CodeRefusal::kNotACode,
       "This is not a match code."},
      {"the last letter cut off", good.substr(0, good.size() - 1), CodeRefusal::kBadCheck,
       "This code is damaged: its check does not match. Copy it again."},
      {"a lone letter after the last byte", good + "A", CodeRefusal::kNotACode,
       "This is not a match code."},
      {"version 2", withByte(good, 0, 2), CodeRefusal::kNewerVersion,
       "This code is from a newer Tobelyn: update the game to open it."},
      {"one letter changed", good.substr(0, 12) + (good[12] == 'A' ? "B" : "A") + good.substr(13),
       CodeRefusal::kBadCheck, "This code is damaged: its check does not match. Copy it again."},
      {"a game nobody knows", withByte(good, 2, 42), CodeRefusal::kOutOfRange,
       "This code cannot be played: its game is out of range."},
      {"five players", withByte(good, 4, 5), CodeRefusal::kOutOfRange,
       "This code cannot be played: its number of players is out of range."},
      {"a seat of a kind to come", withByte(good, 5, 3 * 8), CodeRefusal::kOutOfRange,
       "This code cannot be played: its seat is out of range."},
      {"a person with a level", withByte(good, 5, 2), CodeRefusal::kOutOfRange,
       "This code cannot be played: its seat is out of range."},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    MatchCode code = twoSeats();
    const std::string before = describe(code);
    std::string message;
    EXPECT_EQ(matchCodeRead(c.text, &code, &message), c.refusal);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(describe(code), before);
  }
}

TEST(MatchCode, ADartNoThrowCanMakeIsRefusedEvenWithAGoodCheck) {
  MatchCode code = twoSeats();
  code.darts = {{112, 128, 40}};
  const std::string good = written(code);
  ASSERT_EQ(withByte(good, 0, 1), good);  // the helper changes only what it is told
  // The dart is the last 3 bytes before the check: column 24, peak index
  // 64 and release index 20 are 0x18, 0x90, 0x02. 0x80 in the middle byte
  // leaves the release and clears the peak: index 0 names no peak.
  const std::string spoiled = withByte(good, -2, 0x80);
  MatchCode back;
  std::string message;
  EXPECT_EQ(matchCodeRead(spoiled, &back, &message), CodeRefusal::kOutOfRange);
  EXPECT_EQ(message, "This code cannot be played: its dart is out of range.");
}

}  // namespace
