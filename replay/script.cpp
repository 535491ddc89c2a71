// Parser of the replay script language.
#include "replay/script.h"

#include <cstddef>
#include <cstdint>

#include "host/games.h"

namespace {

constexpr size_t kMaxTokens = 8;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Splits the line, up to its comment, into at most kMaxTokens words; one more
// word than that is reported through *tooMany.
size_t splitWords(std::string_view line, std::string_view *words, bool *tooMany) {
  size_t hash = line.find('#');
  if (hash != std::string_view::npos) line = line.substr(0, hash);
  size_t count = 0;
  *tooMany = false;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (count == kMaxTokens) {
      *tooMany = true;
      break;
    }
    words[count++] = line.substr(start, i - start);
  }
  return count;
}

// Shows a word in a message: printable ASCII as it is, other bytes as \xHH,
// and at most 40 characters of it.
std::string quoted(std::string_view word) {
  static const char digits[] = "0123456789abcdef";
  std::string out = "'";
  size_t shown = word.size() < 40 ? word.size() : 40;
  for (size_t i = 0; i < shown; ++i) {
    unsigned char c = static_cast<unsigned char>(word[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  if (shown < word.size()) out += "...";
  out += "'";
  return out;
}

// Reads an unsigned number, decimal or 0x hexadecimal, of at most 64 bits.
bool parseUnsigned64(std::string_view word, uint64_t *out) {
  uint64_t value = 0;
  uint32_t base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    word = word.substr(2);
  }
  if (word.empty()) return false;
  for (char c : word) {
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return false;
    }
    if (value > (UINT64_MAX - digit) / base) return false;
    value = value * base + digit;
  }
  *out = value;
  return true;
}

// Reads an unsigned number, decimal or 0x hexadecimal, of at most 32 bits.
bool parseUnsigned(std::string_view word, uint32_t *out) {
  uint64_t value = 0;
  if (!parseUnsigned64(word, &value) || value > 0xFFFFFFFFull) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

// Reads a signed 32-bit number: an optional minus sign before a decimal or
// hexadecimal magnitude.
bool parseSigned(std::string_view word, int32_t *out) {
  bool negative = !word.empty() && word[0] == '-';
  if (negative) word = word.substr(1);
  uint32_t magnitude;
  if (!parseUnsigned(word, &magnitude)) return false;
  if (negative) {
    if (magnitude > 0x80000000u) return false;
    *out = static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  } else {
    if (magnitude > 0x7FFFFFFFu) return false;
    *out = static_cast<int32_t>(magnitude);
  }
  return true;
}

ParseResult failure(std::string message) {
  ParseResult result;
  result.error = std::move(message);
  return result;
}

ParseResult success(const ScriptCommand &command) {
  ParseResult result;
  result.ok = true;
  result.command = command;
  return result;
}

// A number argument with an upper bound, named in the message when bad.
bool boundedArgument(std::string_view word, uint32_t max, const char *what, uint32_t *out,
                     std::string *error) {
  if (!parseUnsigned(word, out) || *out > max) {
    *error = std::string("bad ") + what + " " + quoted(word);
    return false;
  }
  return true;
}

struct CommandName {
  const char *name;
  CommandKind kind;
  size_t minArgs;
  size_t maxArgs;
  const char *usage;
  // For a command of one unsigned number: its largest value and its name in
  // error messages; null when the command takes something else.
  uint32_t valueMax;
  const char *valueName;
};

const CommandName commandNames[] = {
    {"clock", CommandKind::Clock, 1, 1, "clock T", 0xFFFFFFFFu, "time"},
    {"step", CommandKind::Step, 1, 1, "step MS", 0xFFFFFFFFu, "step"},
    // A key message carries 16 bits of key code.
    {"key", CommandKind::Key, 1, 1, "key VK", 0xFFFF, "key code"},
    {"hold", CommandKind::Hold, 1, 1, "hold VK", 0xFFFF, "key code"},
    {"release", CommandKind::Release, 1, 1, "release VK", 0xFFFF, "key code"},
    {"tap", CommandKind::Tap, 2, 2, "tap X Y", 0, nullptr},
    {"activate", CommandKind::Activate, 1, 1, "activate 0|1", 1, "activation (0 or 1)"},
    {"minimize", CommandKind::Minimize, 0, 0, "minimize", 0, nullptr},
    {"close", CommandKind::Close, 0, 0, "close", 0, nullptr},
    {"run", CommandKind::Run, 1, 1, "run N", 0xFFFFFFFFu, "pass count"},
    {"wait", CommandKind::Wait, 1, 2, "wait S [N]", 0, nullptr},
    {"dump", CommandKind::Dump, 0, 0, "dump", 0, nullptr},
    {"shot", CommandKind::Shot, 1, 1, "shot FILE", 0, nullptr},
    {"host", CommandKind::Host, 1, 7, "host on|off|hints|summary|effects", 0, nullptr},
    {"seat", CommandKind::Seat, 2, 3, "seat N human|cpu L", 0, nullptr},
    {"seed", CommandKind::Seed, 1, 1, "seed S", 0, nullptr},
};

}  // namespace

ParseResult parseScriptLine(std::string_view line) {
  std::string_view words[kMaxTokens];
  bool tooMany = false;
  size_t count = splitWords(line, words, &tooMany);
  if (count == 0) return success(ScriptCommand{});

  const CommandName *found = nullptr;
  for (const CommandName &c : commandNames) {
    if (words[0] == c.name) found = &c;
  }
  if (found == nullptr) return failure("unknown command " + quoted(words[0]));
  size_t args = count - 1;
  if (tooMany || args < found->minArgs || args > found->maxArgs) {
    return failure(std::string("expected '") + found->usage + "'");
  }

  ScriptCommand command;
  command.kind = found->kind;
  std::string error;
  if (found->valueName != nullptr) {
    if (!boundedArgument(words[1], found->valueMax, found->valueName, &command.value, &error)) {
      return failure(error);
    }
    return success(command);
  }
  switch (found->kind) {
    case CommandKind::Tap: {
      // A tap's client point travels as two unsigned 16-bit halves.
      uint32_t x, y;
      if (!boundedArgument(words[1], 0xFFFF, "x", &x, &error) ||
          !boundedArgument(words[2], 0xFFFF, "y", &y, &error)) {
        return failure(error);
      }
      command.x = static_cast<int32_t>(x);
      command.y = static_cast<int32_t>(y);
      break;
    }
    case CommandKind::Wait:
      if (!parseSigned(words[1], &command.sceneStep)) {
        return failure("bad scene step " + quoted(words[1]));
      }
      command.limit = kDefaultWaitLimit;
      if (args == 2 &&
          !boundedArgument(words[2], 0xFFFFFFFFu, "pass limit", &command.limit, &error)) {
        return failure(error);
      }
      break;
    case CommandKind::Shot:
      command.file = std::string(words[1]);
      break;
    case CommandKind::Seed:
      // The whole 64 bits of the seed a match keeps in the player book.
      if (!parseUnsigned64(words[1], &command.seed)) return failure("bad seed " + quoted(words[1]));
      break;
    case CommandKind::Host:
      if (words[1] == "play") {
        // host play GAME PLAYERS [OPTION=VALUE ...]: the game's words checked
        // here, so that a bad line is refused before anything runs.
        uint32_t players = 0;
        if (args < 3) return failure("expected 'host play GAME PLAYERS [OPTION=VALUE ...]'");
        if (!boundedArgument(words[3], 4, "players", &players, &error) || players == 0)
          return failure("bad players " + quoted(words[3]) + " (1 to 4)");
        std::string text(words[2]);
        for (size_t i = 4; i <= args; ++i) text += " " + std::string(words[i]);
        HostGameChoice choice;
        if (!hostGameFromText(text, &choice, &error)) return failure(error);
        command.value = kHostPlay;
        command.seat = static_cast<int32_t>(players);
        command.file = hostGameText(choice);
        break;
      }
      if (words[1] == "watch") {
        if (args != 2) return failure("expected 'host watch CODE'");
        command.value = kHostWatch;
        command.file = std::string(words[2]);
        break;
      }
      if (args != 1) return failure("expected 'host on|off|hints|summary'");
      if (words[1] == "resume") {
        command.value = kHostResume;
      } else if (words[1] == "off") {
        command.value = kHostOff;
      } else if (words[1] == "on") {
        command.value = kHostOn;
      } else if (words[1] == "hints") {
        command.value = kHostHints;
      } else if (words[1] == "summary") {
        command.value = kHostSummary;
      } else if (words[1] == "effects") {
        command.value = kHostEffects;
      } else {
        return failure("expected 'host on|off|hints|summary|effects'");
      }
      break;
    case CommandKind::Seat: {
      uint32_t seat = 0;
      if (!boundedArgument(words[1], 4, "seat", &seat, &error) || seat == 0) {
        return failure("bad seat " + quoted(words[1]));
      }
      command.seat = static_cast<int32_t>(seat);
      if (words[2] == "human" && args == 2) {
        command.value = 0;
      } else if (words[2] == "cpu" && args == 3) {
        if (!boundedArgument(words[3], kSeatCpuLevelMax, "level", &command.value, &error) ||
            command.value == 0) {
          return failure("bad level " + quoted(words[3]));
        }
      } else if (words[2] == "assist" && args == 3) {
        command.seatSetting = kSeatAssist;
        const char *const paces[] = {"off", "1/2", "1/3"};
        for (uint32_t i = 0; i < 3; ++i)
          if (words[3] == paces[i]) command.value = i + 1;
        if (command.value == 0) return failure("expected 'seat N assist off|1/2|1/3'");
      } else if (words[2] == "auto" && args == 3 && (words[3] == "on" || words[3] == "off")) {
        command.seatSetting = kSeatAuto;
        command.value = words[3] == "on" ? 1 : 0;
      } else if (words[2] == "cues" && args == 3 && (words[3] == "on" || words[3] == "off")) {
        command.seatSetting = kSeatCues;
        command.value = words[3] == "on" ? 1 : 0;
      } else {
        return failure("expected 'seat N human|cpu L'");
      }
      break;
    }
    default:
      // Commands of one number were read above; the rest take nothing.
      break;
  }
  return success(command);
}
