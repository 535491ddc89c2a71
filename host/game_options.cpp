// A host game and its options as words, and back. Pure text: the replay
// script's parser uses it too.
#include <cstring>

#include "host/book.h"
#include "host/games.h"

namespace {

struct Word {
  const char *text;
  int32_t value;
};
constexpr Word kStarts[] = {{"301", 301}, {"501", 501}, {"701", 701}};
constexpr Word kIns[] = {{"straight", static_cast<int32_t>(X01In::kStraight)},
                         {"double", static_cast<int32_t>(X01In::kDouble)}};
constexpr Word kOuts[] = {{"straight", static_cast<int32_t>(X01Out::kStraight)},
                          {"double", static_cast<int32_t>(X01Out::kDouble)},
                          {"master", static_cast<int32_t>(X01Out::kMaster)}};
constexpr Word kLegs[] = {{"1", 1}, {"3", 3}, {"5", 5}};

template <size_t N>
const char *wordOf(const Word (&words)[N], int32_t value) {
  for (const Word &w : words)
    if (w.value == value) return w.text;
  return "?";
}

template <size_t N>
bool valueOf(const Word (&words)[N], std::string_view text, int32_t *value) {
  for (const Word &w : words) {
    if (text == w.text) {
      *value = w.value;
      return true;
    }
  }
  return false;
}

std::string_view nextWord(std::string_view &rest) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  size_t end = 0;
  while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

// A word of the text as a message may show it: printable ASCII as it is,
// any other byte as \xHH, at most 24 characters. The text may come from a
// stranger's match code, and the font has no glyph for the rest.
std::string shown(std::string_view word) {
  static const char digits[] = "0123456789abcdef";
  constexpr size_t kLongest = 24;
  std::string out = "'";
  for (size_t i = 0; i < word.size() && i < kLongest; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  if (word.size() > kLongest) out += "...";
  return out + "'";
}

bool refuse(std::string *error, const std::string &why) {
  if (error != nullptr) *error = why;
  return false;
}

}  // namespace

const char *hostGameShortName(int32_t mode) {
  if (mode == kHostGameX01) return "x01";
  if (mode == kHostGameCricket) return "cricket";
  if (mode == kHostGameShanghai) return "shanghai";
  if (mode == kHostGameBobs27) return "bobs27";
  return nullptr;
}

std::string hostGameText(const HostGameChoice &choice) {
  const char *name = hostGameShortName(choice.mode);
  if (name == nullptr) return "?";
  std::string text = name;
  if (choice.mode == kHostGameX01) {
    const X01Options &o = choice.x01;
    text += std::string(" start=") + wordOf(kStarts, o.start) +
            " in=" + wordOf(kIns, static_cast<int32_t>(o.in)) +
            " out=" + wordOf(kOuts, static_cast<int32_t>(o.out)) + " legs=" + wordOf(kLegs, o.legs);
  }
  return text;
}

bool hostGameFromText(std::string_view text, HostGameChoice *choice, std::string *error) {
  std::string_view rest = text;
  const std::string_view name = nextWord(rest);
  HostGameChoice c;
  if (name == "x01") {
    c.mode = kHostGameX01;
  } else if (name == "cricket") {
    c.mode = kHostGameCricket;
  } else if (name == "shanghai") {
    c.mode = kHostGameShanghai;
  } else if (name == "bobs27") {
    c.mode = kHostGameBobs27;
  } else {
    return refuse(error, "unknown game " + shown(name) + " (x01, cricket, shanghai or bobs27)");
  }
  bool seen[4] = {};
  for (std::string_view word = nextWord(rest); !word.empty(); word = nextWord(rest)) {
    const size_t equals = word.find('=');
    const std::string_view key = word.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : word.substr(equals + 1);
    int32_t v = 0;
    int which = -1;
    bool ok = false;
    if (c.mode == kHostGameX01 && key == "start") {
      which = 0;
      ok = valueOf(kStarts, value, &v);
      c.x01.start = v;
    } else if (c.mode == kHostGameX01 && key == "in") {
      which = 1;
      ok = valueOf(kIns, value, &v);
      c.x01.in = static_cast<X01In>(v);
    } else if (c.mode == kHostGameX01 && key == "out") {
      which = 2;
      ok = valueOf(kOuts, value, &v);
      c.x01.out = static_cast<X01Out>(v);
    } else if (c.mode == kHostGameX01 && key == "legs") {
      which = 3;
      ok = valueOf(kLegs, value, &v);
      c.x01.legs = v;
    } else {
      return refuse(error, "unknown option " + shown(word) + " for " + std::string(name));
    }
    if (!ok || equals == std::string_view::npos)
      return refuse(error, "bad value in " + shown(word));
    if (seen[which]) return refuse(error, "option " + shown(key) + " given twice");
    seen[which] = true;
  }
  *choice = c;
  return true;
}

const HostOwnGameRow kHostOwnGames[kHostOwnGameCount] = {
    {.mode = kHostGameX01,
     .name = "X01",
     .rules = {"Start at 301, 501 or 701 and count down to exactly 0.",
               "Double in: nothing counts before a double. Double out: finish on a double (the "
               "bull is one); master out: on a double or a triple.",
               "Below 0, or 1 left when a double is needed, is a bust: back to the score the "
               "turn began with, and the turn is over.",
               "Legs: best of 1, 3 or 5, each begun by the next player. After 20 rounds a leg "
               "goes to the lowest score."},
     .records = {{kRecordX01FewestDarts, true, "fewest darts in a leg of 501"},
                 {kRecordX01HighestCheckout, false, "highest checkout"}},
     .recordCount = 2},
    {.mode = kHostGameCricket,
     .name = "Cricket",
     .rules = {"Close 15 to 20 and the bull with three marks each: a single is one mark, a "
               "double two, a triple three; the outer bull one, the bull two.",
               "Marks past three score the number (25 for the bull) while someone else still "
               "has it open.",
               "All seven closed and no fewer points than anyone: you win.",
               "After 20 rounds the most points win, then the most marks. Alone: close all "
               "seven in as few darts as you can."},
     .records = {{kRecordCricketBestMarks, false, "best marks per round"}, {}},
     .recordCount = 1},
    {.mode = kHostGameShanghai,
     .name = "Shanghai",
     .rules = {"Seven rounds: in round 1 only 1 scores, in round 2 only 2, and so on up to 7.",
               "A single scores the number, a double twice it, a triple three times.",
               "A single, a double and a triple of the number in one turn is a Shanghai: it "
               "wins at once.",
               "Otherwise the highest total after round 7 wins; equal totals are a draw."},
     .records = {{kRecordShanghaiBestTotal, false, "best total"}, {}},
     .recordCount = 1},
    {.mode = kHostGameBobs27,
     .name = "Bob's 27",
     .rules = {"Practice at the doubles. Everyone starts on 27 and throws at double 1, then "
               "double 2, up to double 20, then the bull.",
               "Each hit adds the double's value (the bull 50). A turn without a hit takes the "
               "value away.",
               "At 0 or below you are out, and your turns are skipped from then on.",
               "The highest score at the end wins; alone, your score is the result."},
     .records = {{kRecordBobs27BestScore, false, "best score"}, {}},
     .recordCount = 1},
};
