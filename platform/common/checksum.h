// CRC-32 (the polynomial of zip and PNG) and Adler-32 (zlib), for the
// settings file and the frame snapshots.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC-32: start with crc 0, feed the bytes in any number of
// pieces, each call returning the CRC of everything so far.
uint32_t crc32Update(uint32_t crc, const void *data, size_t size);

// Continues an Adler-32: start with 1.
uint32_t adler32Update(uint32_t adler, const void *data, size_t size);
