// Key state shared by the backends: held keys, and a tap shorter than one
// pass still seen by that pass's poll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/key_latch.h"

namespace {

// One pass: the events it takes ('+' press, '-' release, 'c' clear), then
// whether a poll in that pass sees the key down.
struct Pass {
  std::string events;
  bool down;
};

struct LatchCase {
  const char *name;
  std::vector<Pass> passes;
};

TEST(KeyLatch, QuickTapsReadAsHeldForOnePassAndClearingLetsGo) {
  const LatchCase cases[] = {
      {.name = "held across passes until released",
       .passes = {{"+", true}, {"", true}, {"-", false}}},
      {.name = "pressed and released within one pass", .passes = {{"+-", true}, {"", false}}},
      {.name = "two taps in one pass", .passes = {{"+-+-", true}, {"", false}}},
      {.name = "clear drops the held key and the latch", .passes = {{"+c", false}, {"", false}}},
      {.name = "release without a press", .passes = {{"-", false}}},
  };
  const int vk = 0x0D;
  for (const LatchCase &c : cases) {
    shared::KeyLatch keys{};
    int pass = 0;
    for (const Pass &p : c.passes) {
      keys.newPass();
      for (char e : p.events) {
        if (e == '+') keys.press(vk);
        if (e == '-') keys.release(vk);
        if (e == 'c') keys.clear();
      }
      EXPECT_EQ(keys.down(vk), p.down) << c.name << ", pass " << pass;
      EXPECT_FALSE(keys.down(vk + 1)) << c.name << ": another key";
      ++pass;
    }
  }
}

TEST(KeyLatch, CodesOutsideOneTo255AreNeverDown) {
  shared::KeyLatch keys{};
  for (int vk : {-1, 0, 256, 100000}) {
    keys.press(vk);
    EXPECT_FALSE(keys.down(vk)) << vk;
  }
}

}  // namespace
