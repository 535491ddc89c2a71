// Fuzz target: the match code reader, which takes codes from strangers.
//
// Whatever the text, reading stays inside it and either refuses with a
// message or gives a match every field of which is in range: such a match
// is written again, no longer than a code can be, and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/match_code.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool same(const MatchCode &a, const MatchCode &b) {
  if (a.sequence != b.sequence || a.game != b.game || a.options != b.options ||
      a.players != b.players || a.seed != b.seed || a.darts != b.darts)
    return false;
  for (int32_t i = 0; i < a.players; ++i)
    if (a.seats[i].kind != b.seats[i].kind || a.seats[i].level != b.seats[i].level ||
        a.seats[i].name != b.seats[i].name)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  MatchCode code;
  std::string message;
  const CodeRefusal refusal = matchCodeRead(text, &code, &message);
  if (refusal != CodeRefusal::kNone) {
    check(!message.empty());
    return 0;
  }
  std::string again;
  check(matchCodeWrite(code, &again));
  check(again.size() <= static_cast<size_t>(matchCodeTextMax()));
  MatchCode back;
  check(matchCodeRead(again, &back, &message) == CodeRefusal::kNone && same(back, code));
  return 0;
}
