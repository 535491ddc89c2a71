// The headless stereo mixer: what the desktop's speakers would play, worked
// out on demand from the scripted clock. The game's sound (one at a time, a
// new one cutting the last, at the host's volume, in both ears) and the
// host's voice are summed into 44,100 stereo frames a second. Nothing is
// rendered until a test asks for the output, so that the runner and the
// benchmarks pay nothing for it; from then on, every change of a sound first
// renders up to the present with the sounds as they were, so that each one
// starts at the moment of the clock it was asked for.
#include "platform/headless/mixer.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/common/host_link.h"
#include "platform/common/host_voice.h"
#include "platform/common/test_clock.h"
#include "platform/common/wave.h"
#include "platform/headless/headless.h"

namespace {

// At most this much waits to be taken; older frames are dropped.
constexpr size_t kKeptFramesMax = 60 * kHeadlessMixRate;
// A clock that jumps further than this (a script setting it) starts the
// output afresh rather than rendering the gap.
constexpr uint32_t kLongestGapMs = 60000;

struct Mixer {
  bool recording = false;
  uint32_t anchorMs = 0;  // the clock the rendering counts from
  uint64_t rendered = 0;  // frames rendered since the anchor
  const uint8_t *wave = nullptr;
  uint32_t waveBytes = 0;
  uint32_t wavePos = 0;
  uint32_t waveGain = 65536;
  uint32_t waveStartMs = 0;  // the clock it started at, for a recording begun meanwhile
  std::vector<int16_t> out;  // left, right, ...
  std::vector<int32_t> sum;
};
Mixer mixer;

void render(uint32_t frames) {
  Mixer &m = mixer;
  m.sum.assign(2 * static_cast<size_t>(frames), 0);
  for (uint32_t i = 0; i < frames && m.wave != nullptr; ++i) {
    const uint8_t *b = m.wave + m.wavePos;
    const int16_t sample = static_cast<int16_t>(b[0] | (b[1] << 8));
    const int32_t played = static_cast<int32_t>(sample * static_cast<int64_t>(m.waveGain) / 65536);
    m.sum[2 * i] += played;
    m.sum[2 * i + 1] += played;
    m.wavePos += 2;
    if (m.wavePos + 1 >= m.waveBytes) m.wave = nullptr;
  }
  platformVoiceMix(m.sum.data(), static_cast<int32_t>(frames), kHeadlessMixRate,
                   platformVolumeGain());
  for (int32_t v : m.sum)
    m.out.push_back(static_cast<int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v));
  if (m.out.size() > 2 * kKeptFramesMax)
    m.out.erase(m.out.begin(),
                m.out.begin() + static_cast<long>(m.out.size() - 2 * kKeptFramesMax));
}

void renderToNow() {
  Mixer &m = mixer;
  if (!m.recording) return;
  const uint32_t now = shared::testClockNow();
  const uint64_t due = static_cast<uint64_t>(now - m.anchorMs) * kHeadlessMixRate / 1000;
  if (due < m.rendered || due - m.rendered > uint64_t{kLongestGapMs} * kHeadlessMixRate / 1000) {
    m.anchorMs = now;
    m.rendered = 0;
    return;
  }
  if (due > m.rendered) {
    render(static_cast<uint32_t>(due - m.rendered));
    m.rendered = due;
  }
}

}  // namespace

void headlessMixerPlay(const void *image) {
  renderToNow();
  Mixer &m = mixer;
  m.wave = nullptr;
  if (image == nullptr) return;
  const auto *bytes = static_cast<const uint8_t *>(image);
  shared::WaveData wave;
  const size_t size = shared::waveImageSize(bytes);
  if (size == 0 || !shared::parseWave(bytes, size, &wave) || wave.bytes < 2) return;
  m.wave = wave.samples;
  m.waveBytes = wave.bytes;
  m.wavePos = 0;
  m.waveGain = platformVolumeGain();
  m.waveStartMs = shared::testClockNow();
}

void headlessMixerReset() {
  platformSetVoiceFlush(nullptr);
  mixer = Mixer{};
}

void headlessMixerRecord(bool on) {
  Mixer &m = mixer;
  m.recording = on;
  m.out.clear();
  m.anchorMs = shared::testClockNow();
  m.rendered = 0;
  // A sound started before the recording is heard from where it has got to.
  if (m.wave != nullptr) {
    const uint64_t played =
        uint64_t{m.anchorMs - m.waveStartMs} * kHeadlessMixRate / 1000 * 2 + m.wavePos;
    if (played + 1 >= m.waveBytes)
      m.wave = nullptr;
    else
      m.wavePos = static_cast<uint32_t>(played);
  }
  platformSetVoiceFlush(on ? renderToNow : nullptr);
  platformVoiceDropMarks();
}

size_t headlessTakeMix(int16_t *stereo, size_t maxFrames) {
  renderToNow();
  Mixer &m = mixer;
  size_t frames = m.out.size() / 2;
  if (frames > maxFrames) frames = maxFrames;
  if (stereo != nullptr && frames > 0)
    std::memcpy(stereo, m.out.data(), frames * 2 * sizeof(int16_t));
  m.out.erase(m.out.begin(), m.out.begin() + static_cast<long>(frames * 2));
  return frames;
}
