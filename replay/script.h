// The replay script language, one line at a time. Parsing is a pure
// function of the line's text: no state, no input or output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class CommandKind {
  Empty,  // blank line or comment only
  Clock,
  Step,
  Key,
  Hold,
  Release,
  Tap,
  Activate,
  Minimize,
  Close,
  Run,
  Wait,
  Dump,
  Shot,
  Host,
  Seat,
  Seed,
};

// `host` arguments: the host off (the game alone), on, on with its hints
// shown, or on with the match summary card shown over the end screen.
// `host play GAME PLAYERS [OPTION=VALUE ...]` starts one of the host's games
// from the title (kHostPlay: the game's words in file, players in seat).
// `host watch CODE` plays a match code again (the code in `file`), `host
// resume` the match kept when one was cut off; both turn the host on.
enum HostMode : uint32_t {
  kHostOff = 0,
  kHostOn = 1,
  kHostHints = 2,
  kHostSummary = 3,
  kHostEffects = 4,  // on, with "Effects: Lively"
  kHostPlay = 5,     // one of the host's games, from the title
  kHostWatch = 6,
  kHostResume = 7,
};

struct ScriptCommand {
  CommandKind kind = CommandKind::Empty;
  // clock/step/run: value; key/hold/release: key code; activate: 0 or 1;
  // wait: the awaited sceneStep (as a signed number) and the pass limit;
  // host: a HostMode.
  uint32_t value = 0;
  uint64_t seed = 0;  // seed: the matches' seed, all 64 bits
  int32_t sceneStep = 0;
  uint32_t limit = 0;
  int32_t x = 0;  // tap
  int32_t y = 0;
  std::string file;  // shot; host watch: the code
  // seat: the seat (1 to 4) and, in value, its computer level (0: a person).
  int32_t seat = 0;
  // seat N assist / seat N auto: which setting value holds (the pace 1 to
  // 3, or auto-continue 0 or 1); kSeatKind for the kind above.
  int32_t seatSetting = 0;
};
enum SeatSetting : int32_t { kSeatKind = 0, kSeatAssist = 1, kSeatAuto = 2, kSeatCues = 3 };

constexpr uint32_t kSeatCpuLevelMax = 5;

constexpr uint32_t kDefaultWaitLimit = 10000;

struct ParseResult {
  bool ok = false;
  ScriptCommand command;
  std::string error;  // why the line is bad, when !ok
};

// Parses one line (without its line break). `#` starts a comment.
ParseResult parseScriptLine(std::string_view line);
