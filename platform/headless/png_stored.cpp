// Frame snapshots of the headless build for Windows, which has no libpng
// or zlib: the image data goes into one IDAT chunk as a zlib stream of
// stored (uncompressed) deflate blocks, every row filter byte 0 and the RGB
// bytes. Larger files than libpng's, the same pixels.
#include <cstdio>

#include "platform/common/checksum.h"
#include "platform/headless/png.h"

namespace {

constexpr uint32_t kStoredBlockMax = 65535;

// Continues an Adler-32 (zlib's stream checksum), starting from 1.
uint32_t adler32Update(uint32_t adler, const uint8_t *p, size_t size) {
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

void putBe32(uint8_t *p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Writes a chunk's payload piece by piece while keeping its CRC.
struct ChunkWriter {
  FILE *file;
  uint32_t crc;
  bool ok;

  void begin(const char *type, uint32_t length) {
    uint8_t head[8];
    putBe32(head, length);
    for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<uint8_t>(type[i]);
    ok = ok && std::fwrite(head, 1, 8, file) == 8;
    crc = crc32Update(0, head + 4, 4);
  }
  void put(const void *data, size_t size) {
    ok = ok && std::fwrite(data, 1, size, file) == size;
    crc = crc32Update(crc, data, size);
  }
  void end() {
    uint8_t tail[4];
    putBe32(tail, crc);
    ok = ok && std::fwrite(tail, 1, 4, file) == 4;
  }
};

}  // namespace

bool pngWrite565(const char *path, const uint16_t *pixels, uint32_t width, uint32_t height) {
  if (path == nullptr || pixels == nullptr || width == 0 || height == 0) return false;
  const uint64_t rowBytes = 1 + 3 * static_cast<uint64_t>(width);
  const uint64_t raw = rowBytes * height;
  const uint64_t blocks = (raw + kStoredBlockMax - 1) / kStoredBlockMax;
  const uint64_t idatLength = 2 + raw + 5 * blocks + 4;
  if (idatLength > 0x7FFFFFFFu) return false;

  FILE *file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  ChunkWriter w{file, 0, true};
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  w.ok = std::fwrite(signature, 1, 8, file) == 8;

  uint8_t ihdr[13];
  putBe32(ihdr, width);
  putBe32(ihdr + 4, height);
  ihdr[8] = 8;   // bits per channel
  ihdr[9] = 2;   // colour type: RGB
  ihdr[10] = 0;  // deflate
  ihdr[11] = 0;  // adaptive filtering
  ihdr[12] = 0;  // no interlace
  w.begin("IHDR", 13);
  w.put(ihdr, 13);
  w.end();

  w.begin("IDAT", static_cast<uint32_t>(idatLength));
  const uint8_t zlibHeader[2] = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  w.put(zlibHeader, 2);
  uint32_t adler = 1;
  uint64_t left = raw;     // stream bytes not yet written
  uint32_t blockLeft = 0;  // bytes still to go in the current stored block
  auto emit = [&](const uint8_t *data, size_t size) {
    while (size > 0) {
      if (blockLeft == 0) {
        blockLeft = left > kStoredBlockMax ? kStoredBlockMax : static_cast<uint32_t>(left);
        uint8_t head[5];
        head[0] = left == blockLeft ? 1 : 0;  // last block flag, stored type
        head[1] = static_cast<uint8_t>(blockLeft);
        head[2] = static_cast<uint8_t>(blockLeft >> 8);
        head[3] = static_cast<uint8_t>(~blockLeft);
        head[4] = static_cast<uint8_t>(~blockLeft >> 8);
        w.put(head, 5);
      }
      size_t n = size < blockLeft ? size : blockLeft;
      w.put(data, n);
      adler = adler32Update(adler, data, n);
      data += n;
      size -= n;
      blockLeft -= static_cast<uint32_t>(n);
      left -= n;
    }
  };
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t filter = 0;
    emit(&filter, 1);
    const uint16_t *row = pixels + static_cast<uint64_t>(y) * width;
    uint8_t rgb[3 * 64];
    for (uint32_t x = 0; x < width; x += 64) {
      uint32_t n = width - x < 64 ? width - x : 64;
      for (uint32_t k = 0; k < n; ++k) expand565(row[x + k], rgb + 3 * k);
      emit(rgb, 3 * n);
    }
  }
  uint8_t adlerBytes[4];
  putBe32(adlerBytes, adler);
  w.put(adlerBytes, 4);
  w.end();

  w.begin("IEND", 0);
  w.end();
  bool ok = w.ok;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::remove(path);
  return ok;
}
