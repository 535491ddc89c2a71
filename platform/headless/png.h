// Frame snapshots as PNG files, written with libpng.
#pragma once

#include <cstdint>

// Writes width x height 5-6-5 pixels (row after row, top row first) as an
// 8-bit RGB PNG file. Each channel is widened by repeating its top bits, so
// 0xFFFF becomes white (255, 255, 255) and 0 black. Returns false when the
// file cannot be written or the size is 0; the path is then left as it was.
// Something there that is not a regular file (a device, a pipe, a link) is
// refused and left alone.
bool pngWrite565(const char *path, const uint16_t *pixels, uint32_t width, uint32_t height);
