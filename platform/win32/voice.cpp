// Windows' side of the host's voice: a stereo waveOut stream of its own,
// filled by the shared synthesis on a thread. The system mixes it with the
// game's sndPlaySound, so neither ever cuts or delays the other, and the
// application's volume, which the host sets (applyHostVolume), covers both:
// the voice is rendered at full gain here. Where no device opens (no sound
// card, or Wine without one) the voice is silent and nothing fails.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "desktop.h"
#include "platform/common/host_voice.h"

namespace {

constexpr DWORD kRate = 44100;
// Four buffers of 512 frames: about 46 ms queued, short enough for the
// pointer's tone to follow the pointer.
constexpr int32_t kFrames = 512;
constexpr int kBuffers = 4;

HWAVEOUT device;
HANDLE bufferDone;
WAVEHDR headers[kBuffers];
int16_t samples[kBuffers][2 * kFrames];
std::atomic<bool> started{false};

void fill(int i) {
  int32_t mix[2 * kFrames] = {};
  platformVoiceMix(mix, kFrames, static_cast<int32_t>(kRate), 65536);
  for (int32_t k = 0; k < 2 * kFrames; ++k)
    samples[i][k] = static_cast<int16_t>(mix[k] > 32767    ? 32767
                                         : mix[k] < -32768 ? -32768
                                                           : mix[k]);
  waveOutWrite(device, &headers[i], sizeof headers[i]);
}

void pump() {
  for (int i = 0; i < kBuffers; ++i) {
    headers[i] = WAVEHDR{};
    headers[i].lpData = reinterpret_cast<LPSTR>(samples[i]);
    headers[i].dwBufferLength = sizeof samples[i];
    waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
    fill(i);
  }
  // Runs for the life of the program: the exit never waits for it.
  for (;;) {
    WaitForSingleObject(bufferDone, 100);
    for (int i = 0; i < kBuffers; ++i)
      if ((headers[i].dwFlags & WHDR_DONE) != 0) fill(i);
  }
}

}  // namespace

void startVoice() {
  if (started.exchange(true)) return;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = kRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = kRate * 4;
  bufferDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (bufferDone == nullptr) return;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    device = nullptr;
    return;
  }
  std::thread(pump).detach();
}
