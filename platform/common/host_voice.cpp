// The host's voice: its settings are plain atomics written by the host's
// thread, and the synthesis state is the mixing thread's alone, so that the
// desktop's audio callback never waits on the game.
#include "platform/common/host_voice.h"

#include <atomic>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int32_t kMarksKept = 8;
// How quickly the tone's level and side follow a change, in straight ramps
// that end exactly where they aim: the whole level in about 8 ms, the whole
// width of the stereo field in 4 ms. Short enough to follow the pointer and
// to leave nothing behind a release, long enough not to click.
constexpr float kLevelPerSecond = 125.0f;
constexpr float kPanPerSecond = 500.0f;

float toward(float value, float target, float most) {
  if (value < target) return value + most < target ? value + most : target;
  return value - most > target ? value - most : target;
}

std::atomic<float> toneHz{440.0f};
std::atomic<float> tonePan{0.0f};
std::atomic<float> toneLevel{0.0f};
VoiceMark marks[kMarksKept];
std::atomic<uint32_t> marksWritten{0};

const VoiceOut *voiceOut;
void (*voiceFlush)();

// The mixing thread's own.
struct Synth {
  double tonePhase = 0;
  float level = 0;
  float pan = 0;
  uint32_t marksSeen = 0;
  bool marking = false;
  VoiceMark mark{};
  double markPhase = 0;
  int32_t markAt = 0;
  int32_t markLength = 0;
};
Synth synth;

void flush() {
  if (voiceFlush != nullptr) voiceFlush();
}

}  // namespace

void voicePanGains(float pan, float *left, float *right) {
  const float p = pan < -1 ? -1 : pan > 1 ? 1 : pan;
  const float angle = (p + 1) * kPi / 4;
  *left = std::cos(angle);
  *right = std::sin(angle);
}

void platformVoiceTone(float hz, float pan, float level) {
  if (hz == toneHz.load() && pan == tonePan.load() && level == toneLevel.load()) return;
  flush();
  toneHz = hz;
  tonePan = pan;
  toneLevel = level < 0 ? 0 : level > 1 ? 1 : level;
  if (voiceOut != nullptr && voiceOut->tone != nullptr) voiceOut->tone(hz, pan, toneLevel.load());
}

void platformVoiceMark(const VoiceMark &mark) {
  flush();
  const uint32_t n = marksWritten.load();
  marks[n % kMarksKept] = mark;
  marksWritten.store(n + 1, std::memory_order_release);
  if (voiceOut != nullptr && voiceOut->mark != nullptr) voiceOut->mark(mark);
}

float platformVoiceLevel() { return toneLevel.load(); }

void platformSetVoiceOut(const VoiceOut *out) { voiceOut = out; }
void platformSetVoiceFlush(void (*f)()) { voiceFlush = f; }

void platformVoiceReset() {
  toneLevel = 0;
  tonePan = 0;
  toneHz = 440.0f;
  synth = Synth{};
  synth.marksSeen = marksWritten.load();
}

void platformVoiceDropMarks() {
  synth.marksSeen = marksWritten.load(std::memory_order_acquire);
  synth.marking = false;
}

void platformVoiceMix(int32_t *mix, int32_t frames, int32_t rate, uint32_t gain) {
  if (rate <= 0 || frames <= 0) return;
  Synth &s = synth;
  const uint32_t written = marksWritten.load(std::memory_order_acquire);
  if (written != s.marksSeen) {
    // A newer mark cuts the one sounding: marks are short, and the latest
    // is the one that tells what happens now.
    s.mark = marks[(written - 1) % kMarksKept];
    s.marksSeen = written;
    s.marking = true;
    s.markAt = 0;
    s.markPhase = 0;
    s.markLength = s.mark.ms * rate / 1000;
    if (s.markLength < 1) s.marking = false;
  }
  const double hz = toneHz.load();
  const float targetLevel = toneLevel.load();
  const float targetPan = tonePan.load();
  const float levelStep = kLevelPerSecond / static_cast<float>(rate);
  const float panStep = kPanPerSecond / static_cast<float>(rate);
  const float scale = 32767.0f * static_cast<float>(gain) / 65536.0f;
  const double step = 2.0 * 3.141592653589793 / rate;
  for (int32_t i = 0; i < frames; ++i) {
    s.level = toward(s.level, targetLevel, levelStep);
    s.pan = toward(s.pan, targetPan, panStep);
    float left = 0;
    float right = 0;
    if (s.level > 0) {
      const float v = s.level * static_cast<float>(std::sin(s.tonePhase));
      float gl = 0;
      float gr = 0;
      voicePanGains(s.pan, &gl, &gr);
      left += v * gl;
      right += v * gr;
    }
    s.tonePhase += hz * step;
    if (s.tonePhase > 2 * 3.141592653589793) s.tonePhase -= 2 * 3.141592653589793;
    if (s.marking) {
      const float t = static_cast<float>(s.markAt) / static_cast<float>(s.markLength);
      const float markHz = s.mark.hz + (s.mark.hzEnd - s.mark.hz) * t;
      // Struck, then fading to nothing by its end.
      const float fade = (1 - t) * (1 - t);
      const float v = s.mark.level * fade * static_cast<float>(std::sin(s.markPhase));
      float gl = 0;
      float gr = 0;
      voicePanGains(s.mark.pan, &gl, &gr);
      left += v * gl;
      right += v * gr;
      s.markPhase += markHz * step;
      if (++s.markAt >= s.markLength) s.marking = false;
    }
    mix[2 * i] += static_cast<int32_t>(std::lround(left * scale));
    mix[2 * i + 1] += static_cast<int32_t>(std::lround(right * scale));
  }
}
