// The headless mixer on its own: the host's voice rendered against the
// scripted clock, each change from the moment it is made, nothing from
// before the recording began.
#include <gtest/gtest.h>

#include <vector>

#include "ear_listener.h"
#include "platform/common/host_link.h"
#include "platform/common/host_voice.h"
#include "platform/headless/headless.h"

namespace {

constexpr VoiceMark kLoudMark = {.hz = 2000, .hzEnd = 2000, .pan = 0, .level = 0.5f, .ms = 200};

TEST(HeadlessMixer, TheVoiceIsHeardFromTheMomentOfEachChange) {
  struct Case {
    const char *name;
    bool markBefore;  // a mark struck before the recording starts
    float pan;
    float level;
    bool markAfter;  // a mark struck 10 ms into the recording
    double left;     // expected RMS of the first 10 ms, 16-bit units
    double right;
    bool marked;  // a mark heard in the 20 ms after that
  };
  constexpr double kFull = 0.2 * 32767 / 1.41421356;  // a sine's RMS at level 0.2
  const Case cases[] = {
      {"silence is silence", false, 0, 0, false, 0, 0, false},
      {"all left is heard on the left only", false, -1, 0.2f, false, kFull, 0, false},
      {"all right on the right only", false, 1, 0.2f, false, 0, kFull, false},
      {"the middle in both ears, at equal power", false, 0, 0.2f, false, kFull / 1.41421356,
       kFull / 1.41421356, false},
      {"a mark struck before the recording is never heard", true, 0, 0, false, 0, 0, false},
      {"a mark struck during it is heard from then", false, 0, 0, true, 0, 0, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    headlessReset();
    platformVoiceReset();
    platformSetVolume(10);
    headlessSetClock(5000);
    if (c.markBefore) platformVoiceMark(kLoudMark);
    platformVoiceTone(440, c.pan, c.level);
    headlessAdvanceClock(5);
    headlessMixerRecord(true);
    headlessAdvanceClock(10);
    // The tone's level and side ease in over the first milliseconds: left out.
    std::vector<int16_t> first = takeMix();
    first.erase(first.begin(), first.begin() + 2 * 3 * kSettleFrames);
    double l2 = 0;
    double r2 = 0;
    for (size_t i = 0; i + 1 < first.size(); i += 2) {
      l2 += double(first[i]) * first[i];
      r2 += double(first[i + 1]) * first[i + 1];
    }
    const double frames = first.size() / 2.0;
    EXPECT_NEAR(std::sqrt(l2 / frames), c.left, kFull * 0.02);
    EXPECT_NEAR(std::sqrt(r2 / frames), c.right, kFull * 0.02);
    if (c.markAfter) platformVoiceMark(kLoudMark);
    headlessAdvanceClock(20);
    EXPECT_EQ(hear(takeMix()).mark, c.marked);
    headlessMixerRecord(false);
    platformVoiceReset();
  }
}

}  // namespace
