// The unpacking half of the resource packing (resource_codec.h): what every
// build that links its resources through rc2cpp runs once at start. Every
// count read from the input is checked against what is left of both
// buffers before it is used.
#include <bit>
#include <cstring>

#include "platform/common/resource_codec.h"

namespace shared {
namespace {

struct Reader {
  const uint8_t *at;
  const uint8_t *end;

  bool byte(uint32_t *v) {
    if (at == end) return false;
    *v = *at++;
    return true;
  }

  // Unsigned LEB128, at most 32 bits.
  bool number(uint32_t *v) {
    uint64_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      if (at == end) return false;
      uint8_t b = *at++;
      value |= uint64_t(b & 0x7F) << shift;
      if (!(b & 0x80)) {
        if (value > 0xFFFFFFFFu) return false;
        *v = static_cast<uint32_t>(value);
        return true;
      }
    }
    return false;
  }

  bool copy(uint8_t *to, size_t n) {
    if (size_t(end - at) < n) return false;
    // An empty copy may have no buffer to go to, which memcpy must never see.
    if (n != 0) std::memcpy(to, at, n);
    at += n;
    return true;
  }
};

// A 4-bit count with its extension bytes; false past `limit`.
bool runLength(Reader *in, uint32_t nibble, size_t limit, size_t *length) {
  size_t n = nibble;
  if (nibble == 15) {
    uint32_t b = 255;
    while (b == 255) {
      if (!in->byte(&b)) return false;
      n += b;
      if (n > limit) return false;
    }
  }
  if (n > limit) return false;
  *length = n;
  return true;
}

bool unpackRuns(Reader in, uint8_t *out, size_t size) {
  // Three streams, for a gzip over the whole program to find more in each:
  // the literals, the distances, then the tokens with their lengths.
  uint32_t literalBytes, distanceBytes;
  if (!in.number(&literalBytes) || !in.number(&distanceBytes)) return false;
  size_t left = size_t(in.end - in.at);
  if (literalBytes > left || distanceBytes > left - literalBytes) return false;
  Reader literals{in.at, in.at + literalBytes};
  Reader distances{literals.end, literals.end + distanceBytes};
  Reader tokens{distances.end, in.end};
  size_t made = 0;
  while (made < size) {
    uint32_t token;
    if (!tokens.byte(&token)) return false;
    size_t count;
    if (!runLength(&tokens, token >> 4, size - made, &count)) return false;
    if (!literals.copy(out + made, count)) return false;
    made += count;
    if (made == size) break;
    uint32_t lo, hi;
    if (!distances.byte(&lo) || !distances.byte(&hi)) return false;
    size_t distance = lo | hi << 8;
    if (distance == 0 || distance > made) return false;
    // A match is at least four bytes.
    size_t length;
    if (size - made < 4 || !runLength(&tokens, token & 15, size - made - 4, &length)) return false;
    length += 4;
    // Byte by byte where a match overlaps what it makes (a run).
    uint8_t *to = out + made;
    const uint8_t *from = to - distance;
    if (distance >= length) {
      std::memcpy(to, from, length);
    } else {
      for (size_t i = 0; i < length; ++i) to[i] = from[i];
    }
    made += length;
  }
  return literals.at == literals.end && distances.at == distances.end && tokens.at == tokens.end;
}

// Most significant bit first.
struct Bits {
  const uint8_t *at;
  const uint8_t *end;
  uint64_t buffer = 0;
  int count = 0;

  bool fill(int need) {
    while (count < need) {
      if (at == end) return false;
      buffer = buffer << 8 | *at++;
      count += 8;
    }
    return true;
  }
  bool read(int n, uint32_t *v) {
    if (n == 0) {
      *v = 0;
      return true;
    }
    if (!fill(n)) return false;
    count -= n;
    *v = static_cast<uint32_t>(buffer >> count) & ((1u << n) - 1);
    return true;
  }
  // Ones until a zero, many bits at a time.
  bool unary(uint32_t *q) {
    uint32_t n = 0;
    for (;;) {
      while (count <= 55 && at != end) {
        buffer = buffer << 8 | *at++;
        count += 8;
      }
      if (count == 0) return false;
      // The unread bits at the top of a word; below them zeros, so the
      // inverse has ones there and the run found is at most `count`.
      uint64_t unread = buffer << (64 - count);
      int ones = std::countl_zero(~unread);
      if (ones < count) {
        n += static_cast<uint32_t>(ones);
        count -= ones + 1;
        if (n > kWaveMaxQuotient) return false;
        *q = n;
        return true;
      }
      n += static_cast<uint32_t>(count);
      count = 0;
      if (n > kWaveMaxQuotient) return false;
    }
  }
};

// The most recent kWaveMaxLpc samples, newest first from `at`: each sample
// is written twice, kWaveMaxLpc apart, so the window never wraps.
struct History {
  int32_t ring[2 * kWaveMaxLpc] = {};
  uint32_t at = 0;
  const int32_t *recent() const { return ring + at; }
  void push(int32_t s) {
    at = at == 0 ? kWaveMaxLpc - 1 : at - 1;
    ring[at] = ring[at + kWaveMaxLpc] = s;
  }
};

bool unpackWave(Reader in, uint8_t *out, size_t size) {
  uint32_t before, samples, after;
  if (!in.number(&before) || before > size || !in.copy(out, before)) return false;
  if (!in.number(&samples) || samples > (size - before) / 2) return false;
  size_t tail = before + size_t(samples) * 2;
  if (!in.number(&after) || after != size - tail || !in.copy(out + tail, after)) return false;
  Bits bits{in.at, in.end};
  History history;
  uint8_t *to = out + before;
  for (uint32_t done = 0; done < samples;) {
    WavePredictor p;
    uint32_t kind, rice;
    if (!bits.read(3, &kind) || kind > kWaveCoded) return false;
    if (kind == kWaveCoded) {
      uint32_t order, shift, precision;
      if (!bits.read(5, &order) || !bits.read(4, &shift) || !bits.read(4, &precision)) return false;
      p.order = order + 1;
      p.shift = shift;
      for (uint32_t i = 0; i < p.order; ++i) {
        uint32_t c;
        if (!bits.read(static_cast<int>(precision + 1), &c)) return false;
        // Two's complement in precision + 1 bits.
        p.coefficients[i] = static_cast<int32_t>(c << (31 - precision)) >> (31 - precision);
      }
    } else {
      p = fixedPredictor(kind);
    }
    if (!bits.read(5, &rice) || rice > kWaveMaxRice) return false;
    uint32_t block = samples - done < kWaveBlock ? samples - done : kWaveBlock;
    for (uint32_t i = 0; i < block; ++i) {
      uint32_t q, r;
      if (!bits.unary(&q) || !bits.read(static_cast<int>(rice), &r)) return false;
      uint32_t folded = q << rice | r;
      int32_t residual = static_cast<int32_t>(folded >> 1) ^ -static_cast<int32_t>(folded & 1);
      int64_t s = p.predict(history.recent()) + residual;
      if (s < -32768 || s > 32767) return false;
      history.push(static_cast<int32_t>(s));
      to[0] = static_cast<uint8_t>(s & 0xFF);
      to[1] = static_cast<uint8_t>((s >> 8) & 0xFF);
      to += 2;
    }
    done += block;
  }
  // Only the padding of the last byte may be left, and it is zero.
  if (bits.at != bits.end) return false;
  return bits.count < 8 && (bits.buffer & ((1u << bits.count) - 1)) == 0;
}

}  // namespace

WavePredictor fixedPredictor(uint32_t order) {
  static const int32_t kPolynomials[kWaveMaxOrder + 1][kWaveMaxOrder] = {
      {}, {1}, {2, -1}, {3, -3, 1}, {4, -6, 4, -1}};
  WavePredictor p;
  p.order = order <= kWaveMaxOrder ? order : 0;
  for (uint32_t i = 0; i < p.order; ++i) p.coefficients[i] = kPolynomials[p.order][i];
  return p;
}

bool unpackResource(const uint8_t *packed, size_t packedSize, uint8_t *out, size_t size) {
  if (packed == nullptr || packedSize == 0 || (out == nullptr && size != 0)) return false;
  Reader in{packed + 1, packed + packedSize};
  switch (packed[0]) {
    case kPackStored:
      return packedSize - 1 == size && in.copy(out, size);
    case kPackRuns:
      return unpackRuns(in, out, size);
    case kPackWave:
      return unpackWave(in, out, size);
    default:
      return false;
  }
}

}  // namespace shared
