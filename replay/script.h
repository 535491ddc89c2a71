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
};

struct ScriptCommand {
  CommandKind kind = CommandKind::Empty;
  // clock/step/run: value; key/hold/release: key code; activate: 0 or 1;
  // wait: the awaited sceneStep (as a signed number) and the pass limit.
  uint32_t value = 0;
  int32_t sceneStep = 0;
  uint32_t limit = 0;
  int32_t x = 0;  // tap
  int32_t y = 0;
  std::string file;  // shot
};

constexpr uint32_t DEFAULT_WAIT_LIMIT = 10000;

struct ParseResult {
  bool ok = false;
  ScriptCommand command;
  std::string error;  // why the line is bad, when !ok
};

// Parses one line (without its line break). `#` starts a comment.
ParseResult parseScriptLine(std::string_view line);
