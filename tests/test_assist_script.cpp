// The seats' assists in tobelyn-replay's script language and its dumps:
// `seat N assist off|1/2|1/3` and `seat N auto on|off`, and each dumped
// seat's assist and autoContinue.
#include <gtest/gtest.h>

#include "host/assist.h"
#include "replay/script.h"
#include "replay_runner.h"

namespace {

TEST(AssistScript, SeatLinesSetTheAssistAndAutoContinue) {
  struct Case {
    const char *name;
    const char *line;
    bool ok;
    int32_t setting;
    uint32_t value;
  };
  const Case cases[] = {
      {"off", "seat 1 assist off", true, kSeatAssist, 1},
      {"a half", "seat 2 assist 1/2", true, kSeatAssist, 2},
      {"a third", "seat 4 assist 1/3", true, kSeatAssist, 3},
      {"auto on", "seat 3 auto on", true, kSeatAuto, 1},
      {"auto off", "seat 3 auto off", true, kSeatAuto, 0},
      {"a quarter is no pace", "seat 1 assist 1/4", false, 0, 0},
      {"auto needs on or off", "seat 1 auto yes", false, 0, 0},
      {"assist needs a pace", "seat 1 assist", false, 0, 0},
      {"no seat 5", "seat 5 assist 1/2", false, 0, 0},
      {"the kind still reads", "seat 2 cpu 3", true, kSeatKind, 3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ParseResult r = parseScriptLine(c.line);
    ASSERT_EQ(r.ok, c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(r.command.seatSetting, c.setting);
    EXPECT_EQ(r.command.value, c.value);
  }
  expectDumps(runScriptIn("assist-work", "seat-lines",
                          "host on\nseat 2 assist 1/2\nseat 3 auto on\nseat 4 assist 1/3\n"
                          "seat 4 cpu 2\ndump\n"),
              {"seats=[{name:PLAYER1,cpuLevel:0,assist:off,autoContinue:0,cues:0},"
               "{name:PLAYER2,cpuLevel:0,assist:1/2,autoContinue:0,cues:0},"
               "{name:PLAYER3,cpuLevel:0,assist:off,autoContinue:1,cues:0},"
               "{name:CPU45,cpuLevel:2,assist:1/3,autoContinue:0,cues:0}]"});
}

}  // namespace
