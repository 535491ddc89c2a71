// The match code's bytes and letters (see host/match_code.h).
#include "host/match_code.h"

#include <cstring>

#include "host/book.h"
#include "host/games.h"
#include "platform/common/checksum.h"

namespace {

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int32_t kColumns = (kAimRight - kAimLeft) / kAimStep + 1;
constexpr int32_t kTopPeak = kGaugePoints - 1;  // the peak nobody pressed
constexpr int32_t kTopPeakIndex = kTopPeak / kGaugeStep + 1;

static_assert(kColumns <= 64 && kTopPeakIndex < 128, "a dart fits its bits");
static_assert(6 + 7 + 7 == kCodeDartBits, "column, peak and release");
static_assert(kCodeNameMax == kPlayerNameMax, "a seat's name is a book name");

CodeOptionsCheck optionsCheck;

// The most bytes a code can take: every field at its longest.
constexpr int32_t kVarintMax = 5;
constexpr int32_t kBytesMax = 1 + kVarintMax + kVarintMax + 1 + kCodeOptionsMax + 1 +
                              kMaxPlayers * (2 + kCodeNameMax) + 8 + kVarintMax +
                              (kCodeDartsMax * kCodeDartBits + 7) / 8 + 4;
constexpr int32_t kBytesMin = 1 + 1 + 1 + 1 + 1 + 2 + 8 + 1 + 4;

// --- A dart's three numbers as 20 bits.

uint32_t packDart(const CodeDart &d) {
  const uint32_t column = static_cast<uint32_t>((d.aimX - kAimLeft) / kAimStep);
  const uint32_t peak = static_cast<uint32_t>((d.peak + 1) / kGaugeStep);
  const uint32_t release = static_cast<uint32_t>((d.release + 1) / kGaugeStep);
  return column | peak << 6 | release << 13;
}

// The dart of 20 bits, or false when they name none.
bool unpackDart(uint32_t bits, CodeDart *d) {
  const int32_t column = static_cast<int32_t>(bits & 63u);
  const int32_t peak = static_cast<int32_t>(bits >> 6 & 127u);
  const int32_t release = static_cast<int32_t>(bits >> 13 & 127u);
  if (column >= kColumns || peak < 1 || peak > kTopPeakIndex) return false;
  d->aimX = kAimLeft + column * kAimStep;
  d->peak = peak == kTopPeakIndex ? kTopPeak : peak * kGaugeStep;
  const bool top = d->peak == kTopPeak;
  d->release = release == 0 ? 0 : (top ? release * kGaugeStep - 1 : release * kGaugeStep);
  return codeDartValid(*d);
}

// --- Bytes.

void putVarint(std::string &out, uint32_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

struct Reader {
  const uint8_t *at;
  const uint8_t *end;
  bool ok = true;

  uint32_t byte() {
    if (at == end) {
      ok = false;
      return 0;
    }
    return *at++;
  }
  uint32_t varint() {
    uint32_t value = 0;
    for (int shift = 0; shift < 7 * kVarintMax; shift += 7) {
      const uint32_t b = byte();
      if (shift == 28 && b > 0x0F) ok = false;
      value |= (b & 0x7F) << shift;
      if ((b & 0x80) == 0) return value;
    }
    ok = false;
    return 0;
  }
  std::string text(size_t length) {
    if (static_cast<size_t>(end - at) < length) {
      ok = false;
      return {};
    }
    std::string s(reinterpret_cast<const char *>(at), length);
    at += length;
    return s;
  }
};

bool optionsLettersValid(std::string_view options) {
  if (options.size() > static_cast<size_t>(kCodeOptionsMax)) return false;
  for (char c : options) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letter && c != ' ' && c != '=' && c != '-' && c != '_' && c != '.') return false;
  }
  return true;
}

// The game and its options: one of the four with no options, or a game
// the host adds with options it can play.
bool gameValid(int32_t game, const std::string &options) {
  if (game >= kGame301 && game < kHostGameFirst) return options.empty();
  if (game < kHostGameFirst || hostGameShortName(game) == nullptr) return false;
  if (!optionsLettersValid(options)) return false;
  return optionsCheck == nullptr || optionsCheck(game, options);
}

bool seatValid(const CodeSeat &s) {
  const int32_t kind = static_cast<int32_t>(s.kind);
  if (kind < 0 || kind >= kCodeSeatKinds) return false;
  const bool computer = s.kind == CodeSeatKind::kComputer;
  if (computer ? s.level < 1 || s.level > kCodeCpuLevelMax : s.level != 0) return false;
  return s.name.size() <= static_cast<size_t>(kCodeNameMax) && validPlayerName(s.name);
}

// Which field is out of range, or null when none is.
const char *badField(const MatchCode &code) {
  if (!gameValid(code.game, code.options)) return "game";
  if (code.players < 1 || code.players > kMaxPlayers) return "number of players";
  for (int32_t i = 0; i < code.players; ++i)
    if (!seatValid(code.seats[i])) return "seat";
  if (code.darts.size() > static_cast<size_t>(kCodeDartsMax)) return "number of darts";
  for (const CodeDart &d : code.darts)
    if (!codeDartValid(d)) return "dart";
  return nullptr;
}

std::string lettersOf(const std::string &bytes) {
  std::string out;
  uint32_t bits = 0;
  int32_t held = 0;
  for (unsigned char b : bytes) {
    bits = bits << 8 | b;
    held += 8;
    while (held >= 6) {
      held -= 6;
      out += kLetters[bits >> held & 63u];
    }
  }
  if (held > 0) out += kLetters[bits << (6 - held) & 63u];
  return out;
}

int32_t letterValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

bool fromLetters(std::string_view text, std::string *bytes) {
  uint32_t bits = 0;
  int32_t held = 0;
  for (char c : text) {
    const int32_t v = letterValue(c);
    if (v < 0) return false;
    bits = (bits << 6 | static_cast<uint32_t>(v)) & 0xFFFFu;
    held += 6;
    if (held >= 8) {
      held -= 8;
      *bytes += static_cast<char>(bits >> held & 0xFFu);
    }
  }
  // What is left over pads the last byte: a clean text leaves it zero and
  // shorter than a letter.
  return held < 6 && (bits & ((1u << held) - 1)) == 0;
}

CodeRefusal refuse(CodeRefusal why, std::string *message, const std::string &words) {
  if (message != nullptr) *message = words;
  return why;
}

}  // namespace

bool codeDartValid(const CodeDart &d) {
  if (d.aimX < kAimLeft || d.aimX > kAimRight || (d.aimX - kAimLeft) % kAimStep != 0) return false;
  if (d.peak == kTopPeak) return d.release == 0 || (d.release >= 1 && d.release % 2 == 1);
  if (d.peak < kGaugeStep || d.peak >= kTopPeak || d.peak % kGaugeStep != 0) return false;
  return d.release == 0 || (d.release >= kGaugeStep && d.release < d.peak && d.release % 2 == 0);
}

int32_t matchCodeTextMax() { return (kBytesMax * 8 + 5) / 6; }

void matchCodeSetOptionsCheck(CodeOptionsCheck check) { optionsCheck = check; }

bool matchCodeWrite(const MatchCode &code, std::string *text) {
  if (badField(code) != nullptr) return false;
  std::string bytes;
  bytes += static_cast<char>(kCodeVersion);
  putVarint(bytes, code.sequence);
  putVarint(bytes, static_cast<uint32_t>(code.game));
  bytes += static_cast<char>(code.options.size());
  bytes += code.options;
  bytes += static_cast<char>(code.players);
  for (int32_t i = 0; i < code.players; ++i) {
    const CodeSeat &s = code.seats[i];
    bytes += static_cast<char>(static_cast<int32_t>(s.kind) * 8 + s.level);
    bytes += static_cast<char>(s.name.size());
    bytes += s.name;
  }
  for (int shift = 0; shift < 64; shift += 8) bytes += static_cast<char>(code.seed >> shift & 0xFF);
  putVarint(bytes, static_cast<uint32_t>(code.darts.size()));
  uint64_t bits = 0;
  int32_t held = 0;
  for (const CodeDart &d : code.darts) {
    bits |= static_cast<uint64_t>(packDart(d)) << held;
    held += kCodeDartBits;
    for (; held >= 8; held -= 8, bits >>= 8) bytes += static_cast<char>(bits & 0xFF);
  }
  if (held > 0) bytes += static_cast<char>(bits & 0xFF);
  const uint32_t crc = crc32Update(0, bytes.data(), bytes.size());
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(crc >> shift & 0xFF);
  *text = matchCodeLetters(bytes);
  return true;
}

CodeRefusal matchCodeRead(std::string_view text, MatchCode *code, std::string *message) {
  if (text.size() > static_cast<size_t>(matchCodeTextMax()))
    return refuse(CodeRefusal::kTooLong, message,
                  "Too long for a match code: a code holds at most 400 darts.");
  std::string bytes;
  if (!fromLetters(text, &bytes) || bytes.size() < static_cast<size_t>(kBytesMin) || bytes[0] == 0)
    return refuse(CodeRefusal::kNotACode, message, "This is not a match code.");
  if (static_cast<uint8_t>(bytes[0]) > kCodeVersion)
    return refuse(CodeRefusal::kNewerVersion, message,
                  "This code is from a newer Tobelyn: update the game to open it.");
  const size_t body = bytes.size() - 4;
  uint32_t stored = 0;
  for (int i = 0; i < 4; ++i)
    stored |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[body + i])) << (8 * i);
  if (crc32Update(0, bytes.data(), body) != stored)
    return refuse(CodeRefusal::kBadCheck, message,
                  "This code is damaged: its check does not match. Copy it again.");

  auto outOfRange = [&](const char *field) {
    return refuse(CodeRefusal::kOutOfRange, message,
                  std::string("This code cannot be played: its ") + field + " is out of range.");
  };
  const auto *start = reinterpret_cast<const uint8_t *>(bytes.data());
  Reader in{start + 1, start + body};
  MatchCode read;
  read.sequence = in.varint();
  const uint32_t game = in.varint();
  if (!in.ok || game >= static_cast<uint32_t>(INT32_MAX)) return outOfRange("game");
  read.game = static_cast<int32_t>(game);
  read.options = in.text(in.byte());
  if (!in.ok || !gameValid(read.game, read.options)) return outOfRange("game");
  read.players = static_cast<int32_t>(in.byte());
  if (!in.ok || read.players < 1 || read.players > kMaxPlayers)
    return outOfRange("number of players");
  for (int32_t i = 0; i < read.players; ++i) {
    CodeSeat &s = read.seats[i];
    const uint32_t kindLevel = in.byte();
    s.kind = static_cast<CodeSeatKind>(kindLevel / 8);
    s.level = static_cast<int32_t>(kindLevel % 8);
    s.name = in.text(in.byte());
    if (!in.ok || kindLevel / 8 >= kCodeSeatKinds || !seatValid(s)) return outOfRange("seat");
  }
  for (int shift = 0; shift < 64; shift += 8)
    read.seed |= static_cast<uint64_t>(in.byte()) << shift;
  const uint32_t count = in.varint();
  if (!in.ok || count > static_cast<uint32_t>(kCodeDartsMax)) return outOfRange("number of darts");
  const size_t dartBytes = (count * kCodeDartBits + 7) / 8;
  if (static_cast<size_t>(in.end - in.at) != dartBytes) return outOfRange("number of darts");
  uint64_t bits = 0;
  int32_t held = 0;
  for (uint32_t i = 0; i < count; ++i) {
    while (held < kCodeDartBits) {
      bits |= static_cast<uint64_t>(in.byte()) << held;
      held += 8;
    }
    CodeDart d;
    if (!unpackDart(static_cast<uint32_t>(bits & ((1u << kCodeDartBits) - 1)), &d))
      return outOfRange("dart");
    read.darts.push_back(d);
    bits >>= kCodeDartBits;
    held -= kCodeDartBits;
  }
  if (bits != 0) return outOfRange("dart");
  *code = std::move(read);
  return CodeRefusal::kNone;
}

std::string matchCodeLetters(const std::string &bytes) { return lettersOf(bytes); }
