// The desktop backend's sound: one wave at a time from the executable's
// resources, at the host's volume, and the host's own voice beside it, mixed
// on a stereo device (the game's mono waves in both ears alike).
//
// The device is opened on a thread of its own so that a slow, missing or
// stuck sound server (one that takes the connection and never answers, a
// file output nobody reads) never delays the first frame, and the exit does
// not wait for it: an opening still under way when the game ends is left
// behind, and the game has played silently meanwhile.
#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/common/host_link.h"
#include "platform/common/host_voice.h"
#include "platform/sdl/backend_state.h"

namespace sdlb {
namespace {

enum AudioState : int { kAudioNotStarted, kAudioOpening, kAudioOpen, kAudioUnavailable };
std::mutex audioMutex;
SDL_AudioDeviceID audioDevice = 0;
std::atomic<int> audioState{kAudioNotStarted};
// How long the exit waits for an opening under way.
constexpr int64_t kAudioExitWaitNs = 500000000;
const uint8_t *playData = nullptr;
uint32_t playBytes = 0;
uint32_t playPos = 0;
uint32_t playGain = 65536;  // the host's volume as a gain (1/65536) when the sound started

constexpr int kAudioRate = 44100;
constexpr int kAudioChannels = 2;
constexpr int kFrameBytes = 2 * kAudioChannels;
constexpr uint32_t kChunkFrames = 512;

// One chunk: the game's wave (its samples as recorded, at the volume it
// started at) in both ears, plus the host's voice, clipped to 16 bits.
void mixChunk(Uint8 *stream, uint32_t frames) {
  int32_t mix[2 * kChunkFrames] = {};
  for (uint32_t i = 0; i < frames && playData != nullptr; ++i) {
    const uint8_t *b = playData + playPos;
    const int16_t sample = static_cast<int16_t>(b[0] | (b[1] << 8));
    const auto played = static_cast<int32_t>(sample * static_cast<int64_t>(playGain) / 65536);
    mix[2 * i] = played;
    mix[2 * i + 1] = played;
    playPos += 2;
    if (playPos + 1 >= playBytes) playData = nullptr;
  }
  platformVoiceMix(mix, static_cast<int32_t>(frames), kAudioRate, platformVolumeGain());
  for (uint32_t i = 0; i < 2 * frames; ++i) {
    const int32_t v = mix[i] > 32767 ? 32767 : mix[i] < -32768 ? -32768 : mix[i];
    stream[2 * i] = static_cast<Uint8>(v & 0xFF);
    stream[2 * i + 1] = static_cast<Uint8>((v >> 8) & 0xFF);
  }
}

void SDLCALL audioCallback(void *, Uint8 *stream, int len) {
  std::lock_guard<std::mutex> lock(audioMutex);
  uint32_t frames = static_cast<uint32_t>(len) / kFrameBytes;
  while (frames > 0) {
    const uint32_t n = frames < kChunkFrames ? frames : kChunkFrames;
    mixChunk(stream, n);
    stream += n * kFrameBytes;
    frames -= n;
  }
}

// The ALSA library prints its own complaints to stderr when a machine has no
// sound card; the game plays silently then, so those lines only alarm the
// player. Where the library is present, its messages are turned off before
// SDL opens it (SDL loads the same library).
void quietAlsa(const char *, int, const char *, int, const char *, ...) {}

void silenceAlsaMessages() {
  void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (alsa == nullptr) return;
  using Handler = void (*)(const char *, int, const char *, int, const char *, ...);
  using SetHandler = int (*)(Handler);
  auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set != nullptr) set(quietAlsa);
  // Kept loaded for the life of the program, as SDL keeps it.
}

void openAudio() {
  silenceAlsaMessages();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    audioState = kAudioUnavailable;
    return;
  }
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = kAudioRate;
  want.format = AUDIO_S16LSB;
  want.channels = kAudioChannels;
  want.samples = 512;
  want.callback = audioCallback;
  SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (dev == 0) {
    audioState = kAudioUnavailable;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(audioMutex);
    audioDevice = dev;
  }
  SDL_PauseAudioDevice(dev, 0);
  audioState = kAudioOpen;
}

}  // namespace

void startAudio() {
  if (audioState.load() != kAudioNotStarted) return;
  audioState = kAudioOpening;
  // Detached: nothing ever waits for it without a time limit.
  std::thread(openAudio).detach();
}

// The audio thread is inside SDL while the opening is under way, and SDL
// must then be left alone.
bool stopAudio() {
  int64_t giveUp = monoNs() + kAudioExitWaitNs;
  while (audioState.load() == kAudioOpening && monoNs() < giveUp) sleepUntil(monoNs() + 10000000);
  if (audioState.load() == kAudioOpening) return false;
  SDL_AudioDeviceID dev;
  {
    std::lock_guard<std::mutex> lock(audioMutex);
    dev = audioDevice;
    audioDevice = 0;
    playData = nullptr;
  }
  if (dev != 0) SDL_CloseAudioDevice(dev);
  return true;
}

}  // namespace sdlb

using namespace sdlb;

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
  if (sound == nullptr) {
    // No sound: stop the one playing.
    std::lock_guard<std::mutex> lock(audioMutex);
    playData = nullptr;
    return TRUE;
  }
  // Only images in memory are played; every play returns at once.
  if ((flags & SND_MEMORY) == 0) return FALSE;
  const uint8_t *image = reinterpret_cast<const uint8_t *>(sound);
  size_t size = waveImageSize(image);
  WaveData wave;
  if (size == 0 || !parseWave(image, size, &wave)) return FALSE;
  if (audioState.load() == kAudioUnavailable) return FALSE;
  std::lock_guard<std::mutex> lock(audioMutex);
  // The new sound replaces the one playing. The samples stay where they
  // are: the image lives in the executable.
  playData = wave.bytes > 0 ? wave.samples : nullptr;
  playBytes = wave.bytes;
  playPos = 0;
  playGain = platformVolumeGain();
  return TRUE;
}
