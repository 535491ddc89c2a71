// Fuzz target: one line of the replay script language.
//
// Any bytes must parse without a fault, every rejection must say why in
// printable text, every accepted command must carry arguments within the
// ranges the runner relies on, and a trailing comment must change nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "replay/script.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool sameCommand(const ScriptCommand &a, const ScriptCommand &b) {
  return a.kind == b.kind && a.value == b.value && a.sceneStep == b.sceneStep &&
         a.limit == b.limit && a.x == b.x && a.y == b.y && a.file == b.file;
}

void checkResult(const ParseResult &r) {
  if (!r.ok) {
    check(!r.error.empty());
    for (char c : r.error) check(c >= 0x20 && c < 0x7F);
    return;
  }
  check(r.error.empty());
  const ScriptCommand &c = r.command;
  switch (c.kind) {
    case CommandKind::Key:
    case CommandKind::Hold:
    case CommandKind::Release:
      check(c.value <= 0xFFFF);
      break;
    case CommandKind::Tap:
      check(c.x >= 0 && c.x <= 0xFFFF && c.y >= 0 && c.y <= 0xFFFF);
      break;
    case CommandKind::Activate:
      check(c.value <= 1);
      break;
    case CommandKind::Shot:
      check(!c.file.empty());
      for (char ch : c.file) check(ch != ' ' && ch != '\t' && ch != '#');
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view line(reinterpret_cast<const char *>(data), size);
  ParseResult first = parseScriptLine(line);
  checkResult(first);

  if (line.find('#') == std::string_view::npos) {
    std::string commented(line);
    commented += " # note";
    ParseResult second = parseScriptLine(commented);
    check(second.ok == first.ok);
    if (first.ok) check(sameCommand(first.command, second.command));
  }
  return 0;
}
