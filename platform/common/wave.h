// RIFF WAVE images as the game's sounds are stored: the samples to play.
#pragma once

#include <cstddef>
#include <cstdint>

namespace shared {

struct WaveData {
  const uint8_t *samples;  // 16-bit little-endian mono samples
  uint32_t bytes;          // an even count
};
// Parses a RIFF WAVE image of at most `available` bytes. Accepts PCM,
// mono, 16 bits, 44,100 samples per second; anything else, truncated or
// malformed, is rejected (false). A data chunk that claims more bytes than
// the image holds is cut to what is there.
bool parseWave(const uint8_t *image, size_t available, WaveData *out);
// Size of the whole image as its RIFF header states it (8 + RIFF size), or
// 0 when the first 12 bytes are not a RIFF WAVE header.
size_t waveImageSize(const uint8_t *header12);

}  // namespace shared
