// How the resource linker stores pictures, sounds and icons in the program,
// and how the program gets the file bytes back once at start.
//
// A packed resource is one method byte and what that method needs:
//
//   0 stored  the bytes as they are.
//   1 runs    LZ77 sequences, byte aligned (good on the 8-bit pictures),
//             in three streams: the count of literal bytes and of distance
//             bytes, the literals, the distances, then the tokens. A token's
//             high four bits count the next literals and its low four bits
//             a match's length less four (15: more in the token stream's
//             next bytes, each adding up to 255, the last below 255); unless
//             the output is full after the literals, a match follows, its
//             distance back two little-endian bytes (1 to 65535).
//   2 wave    a RIFF WAVE image of 16-bit samples: the bytes before the
//             samples and the bytes after them stored, then the samples in
//             blocks of kWaveBlock, each predicted from the ones before it
//             and the differences written as Rice codes, most significant
//             bit first. A block begins with three bits naming its
//             predictor: 0 to 4 the fixed polynomial of that order, 5 one
//             of its own (five bits of order less one, four of shift, four
//             of coefficient width less one, then the coefficients in two's
//             complement); then five bits of Rice parameter.
//
// Counts before the stored bytes are unsigned LEB128 numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace shared {

enum ResourceMethod : uint8_t { kPackStored = 0, kPackRuns = 1, kPackWave = 2 };

constexpr uint32_t kWaveBlock = 1024;       // samples a block
constexpr uint32_t kWaveMaxOrder = 4;       // highest fixed polynomial
constexpr uint32_t kWaveCoded = 5;          // a predictor with its own coefficients
constexpr uint32_t kWaveMaxLpc = 32;        // its highest order
constexpr uint32_t kWaveMaxRice = 20;       // highest Rice parameter
constexpr uint32_t kWaveMaxQuotient = 255;  // longest unary part of a code

// A linear prediction of a sample: the coefficients times the samples
// before it (the newest first), shifted right.
struct WavePredictor {
  uint32_t order = 0;
  uint32_t shift = 0;
  int32_t coefficients[kWaveMaxLpc] = {};
  int64_t predict(const int32_t *recent) const {
    int64_t sum = 0;
    for (uint32_t i = 0; i < order; ++i) sum += int64_t(coefficients[i]) * recent[i];
    return sum >> shift;
  }
};
// The fixed polynomial of an order from 0 to kWaveMaxOrder.
WavePredictor fixedPredictor(uint32_t order);

// Unpacks `packed` into exactly `size` bytes at `out`. False, with `out`
// partly written, when the input is damaged: an unknown method, a count or
// a distance out of range, a sample out of 16 bits, input missing, or input
// left over once `size` bytes are made. Never reads or writes outside the
// two buffers.
bool unpackResource(const uint8_t *packed, size_t packedSize, uint8_t *out, size_t size);

// The linker's side (tools/resource_pack.cpp): the smallest of the methods
// that apply, each checked by unpacking it again.
std::vector<uint8_t> packResource(const std::vector<uint8_t> &bytes);
// One method alone; empty when it does not apply to these bytes (a wave
// method for bytes that are not a 16-bit RIFF WAVE image).
std::vector<uint8_t> packResourceWith(ResourceMethod method, const std::vector<uint8_t> &bytes);

}  // namespace shared
