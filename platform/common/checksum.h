// CRC-32 (the polynomial of zip, PNG and zlib's crc32), for the settings
// file. Kept here rather than taken from zlib: every build needs it, and
// the browser and Windows builds have no zlib.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC-32: start with crc 0, feed the bytes in any number of
// pieces, each call returning the CRC of everything so far.
uint32_t crc32Update(uint32_t crc, const void *data, size_t size);
