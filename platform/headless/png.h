// Frame snapshots as PNG files, written with libpng (or, in the Windows
// headless build, as stored blocks).
#pragma once

#include <cstdint>

// Writes width x height 5-6-5 pixels (row after row, top row first) as an
// 8-bit RGB PNG file. Each channel is widened by repeating its top bits, so
// 0xFFFF becomes white (255, 255, 255) and 0 black. Returns false when the
// file cannot be written or the size is 0; the path is then left as it was.
// Something there that is not a regular file (a device, a pipe, a link) is
// refused and left alone.
bool pngWrite565(const char *path, const uint16_t *pixels, uint32_t width, uint32_t height);

// The RGB bytes of one 5-6-5 pixel, each channel widened by bit replication.
inline void expand565(uint16_t v, uint8_t *rgb) {
  uint32_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
  rgb[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
  rgb[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
  rgb[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}
