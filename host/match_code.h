// A match as a short text: everything needed to play it again exactly, in
// URL-safe characters (A-Z a-z 0-9 - _), so that it can sit in a file, a
// web storage key, a link or a chat message.
//
// A dart is a pure function of three numbers the thrower fixed: the
// pointer's column, the gauge's peak and its release. The game, its
// options and the seats say how those darts score; the computer seats'
// seed lets a computer go on throwing where a kept match stopped. So a
// code holds, in this order (bytes, then written as base64url):
//
//   version                   1 byte (kCodeVersion)
//   sequence                  varint: grows each time a code of the match
//                             is made, so that an older one is recognised
//   game                      varint mode (kGame301 ... or a host game's)
//   options                   1 byte length, then the host game's options
//                             text (empty for the handheld's four games)
//   seats                     1 byte count (1 to 4), then per seat:
//                             1 byte kind * 8 + level, 1 byte name length,
//                             the name (the player book's letters)
//   seed                      8 bytes, little-endian
//   darts                     varint count (at most kCodeDartsMax), then
//                             kCodeDartBits bits a dart, first dart in the
//                             lowest bits
//   check                     CRC-32 of every byte before it, 4 bytes
//
// Reading refuses, in this order and each with its own message: a text
// longer than any code can be, one that is no code at all, a newer
// version, a failed check, and any field out of range (which one is said).
// A refused code changes nothing: reading is a pure function.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/match.h"

constexpr int32_t kCodeVersion = 1;
constexpr int32_t kCodeDartsMax = 400;
constexpr int32_t kCodeOptionsMax = 64;
constexpr int32_t kCodeNameMax = 10;  // the player book's kPlayerNameMax
constexpr int32_t kCodeDartBits = 20;

// Who throws from a seat.
enum class CodeSeatKind : int32_t {
  kPerson = 0,
  kComputer = 1,  // level 1 to 5
  kFriend = 2,    // a person playing from another machine, turn by turn
};
constexpr int32_t kCodeSeatKinds = 3;
constexpr int32_t kCodeCpuLevelMax = 5;

struct CodeSeat {
  CodeSeatKind kind = CodeSeatKind::kPerson;
  int32_t level = 0;  // 0 unless a computer
  std::string name;
};

// A dart as the thrower fixed it: the pointer's left edge (16 to 208 in
// steps of 4), the gauge's peak (2 to 138 even when pressed, 139 when the
// marker reached the top) and its release (0 when the marker reached the
// bottom, else below the peak and of its parity).
struct CodeDart {
  int32_t aimX = kAimStart;
  int32_t peak = 0;
  int32_t release = 0;
  bool operator==(const CodeDart &) const = default;
};
bool codeDartValid(const CodeDart &dart);

struct MatchCode {
  uint32_t sequence = 0;
  int32_t game = kGame301;
  std::string options;
  int32_t players = 1;
  CodeSeat seats[kMaxPlayers];
  uint64_t seed = 0;
  std::vector<CodeDart> darts;
};

// The longest text a code of this version can be.
int32_t matchCodeTextMax();

enum class CodeRefusal : int32_t {
  kNone,
  kTooLong,
  kNotACode,
  kNewerVersion,
  kBadCheck,
  kOutOfRange,
};

// A game's options text, for the games the host adds: whether it is one
// this build can play (set by the host's games; null: a host game's options
// are taken when their letters are right).
using CodeOptionsCheck = bool (*)(int32_t game, std::string_view options);
void matchCodeSetOptionsCheck(CodeOptionsCheck check);

// The text of a code; false (and the text left alone) when the match
// cannot be a code: more than kCodeDartsMax darts, or a field out of range.
bool matchCodeWrite(const MatchCode &code, std::string *text);
// Bytes as the code's letters, six bits a letter (the last one padded).
std::string matchCodeLetters(const std::string &bytes);
// Reads a code; on a refusal *code is left alone and *message says why, in
// words a player can read.
CodeRefusal matchCodeRead(std::string_view text, MatchCode *code, std::string *message);
