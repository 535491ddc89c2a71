#include "platform/common/checksum.h"

namespace {

struct CrcTable {
  uint32_t entry[256];
  constexpr CrcTable() : entry() {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entry[n] = c;
    }
  }
};

constexpr CrcTable crcTable;

}  // namespace

uint32_t crc32Update(uint32_t crc, const void *data, size_t size) {
  const uint8_t *p = static_cast<const uint8_t *>(data);
  uint32_t c = crc ^ 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = crcTable.entry[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t adler32Update(uint32_t adler, const void *data, size_t size) {
  const uint8_t *p = static_cast<const uint8_t *>(data);
  uint32_t a = adler & 0xFFFF;
  uint32_t b = adler >> 16;
  // 5552 bytes is the longest run whose sums cannot overflow 32 bits.
  while (size > 0) {
    size_t n = size < 5552 ? size : 5552;
    size -= n;
    for (size_t i = 0; i < n; ++i) {
      a += p[i];
      b += a;
    }
    p += n;
    a %= 65521;
    b %= 65521;
  }
  return (b << 16) | a;
}
