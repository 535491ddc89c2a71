// RIFF WAVE parsing for the sound players.
#include "platform/common/wave.h"

#include <cstring>

namespace shared {

namespace {

// Images larger than this are refused: the game's sounds are well under a
// second, and the limit keeps a corrupt header from sending the player far
// past the image.
constexpr size_t kMaxImage = 16u << 20;

uint32_t le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

size_t waveImageSize(const uint8_t *h) {
  if (h == nullptr) return 0;
  if (std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0) return 0;
  size_t size = static_cast<size_t>(le32(h + 4)) + 8;
  if (size < 12 || size > kMaxImage) return 0;
  return size;
}

bool parseWave(const uint8_t *image, size_t available, WaveData *out) {
  if (image == nullptr || available < 12) return false;
  size_t stated = waveImageSize(image);
  if (stated == 0) return false;
  size_t end = stated < available ? stated : available;
  bool haveFormat = false;
  size_t pos = 12;
  while (pos + 8 <= end) {
    const uint8_t *chunk = image + pos;
    size_t size = le32(chunk + 4);
    size_t body = pos + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16 || size > end - body) return false;
      const uint8_t *f = image + body;
      // PCM, mono, 44,100 samples a second, 16 bits.
      if (le16(f) != 1 || le16(f + 2) != 1 || le32(f + 4) != 44100 || le16(f + 12) != 2 ||
          le16(f + 14) != 16) {
        return false;
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return false;
      size_t room = end - body;
      size_t bytes = size < room ? size : room;
      bytes &= ~static_cast<size_t>(1);
      out->samples = image + body;
      out->bytes = static_cast<uint32_t>(bytes);
      return true;
    }
    if (size > end - body) return false;
    // Chunks are padded to an even size.
    pos = body + size + (size & 1);
  }
  return false;
}

}  // namespace shared
