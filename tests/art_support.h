// Reading the generated resources in res/ as the game carries them, for
// the art and sound tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace art {

using Bytes = std::vector<uint8_t>;

inline Bytes readRes(const std::string &name) {
  std::ifstream in(std::string(TOBELYN_SOURCE_DIR) + "/res/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t u16(const Bytes &b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
inline uint32_t u32(const Bytes &b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// An 8-bit bitmap file as the game reads it: its pixel (x, y), top row
// first, and the palette entry (blue, green, red) of an index.
inline uint8_t pixelOf(const Bytes &f, int x, int y) { return f.at(1078 + y * u32(f, 18) + x); }
inline const uint8_t *paletteOf(const Bytes &f, int index) { return &f.at(54 + 4 * index); }
}  // namespace art
