// The settings file's CRC-32 is the standard one: zlib's crc32 (linked into
// the headless build with libpng) gives the same value for the same bytes,
// also when they are fed in pieces.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "platform/common/checksum.h"

namespace {

TEST(Checksum, Crc32AgreesWithZlib) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>((i * 37 + 11) & 0xFF);
  const struct {
    const char *name;
    std::string data;
  } cases[] = {
      {.name = "no bytes", .data = ""},
      {.name = "every byte value, many times", .data = bytes},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const auto *p = reinterpret_cast<const Bytef *>(c.data.data());
    const uint32_t zlib = static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(c.data.size())));
    EXPECT_EQ(crc32Update(0, c.data.data(), c.data.size()), zlib);
    const size_t half = c.data.size() / 2;
    const uint32_t first = crc32Update(0, c.data.data(), half);
    EXPECT_EQ(crc32Update(first, c.data.data() + half, c.data.size() - half), zlib)
        << "fed in two pieces";
  }
  EXPECT_EQ(crc32Update(0, "123456789", 9), 0xCBF43926u) << "the standard check value";
}

}  // namespace
