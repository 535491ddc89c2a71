// The packing half of the resource packing (platform/common/resource_codec.h),
// run by the resource linker at build time and by the tests: LZ77 runs for
// pictures and icons, linear prediction and Rice codes for waves.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/common/resource_codec.h"

namespace shared {
namespace {

using Bytes = std::vector<uint8_t>;

void putNumber(Bytes *out, uint32_t v) {
  while (v >= 0x80) {
    out->push_back(static_cast<uint8_t>(v | 0x80));
    v >>= 7;
  }
  out->push_back(static_cast<uint8_t>(v));
}

// --- Runs: greedy LZ77 over hash chains of four-byte prefixes.

constexpr size_t kMinMatch = 4;
constexpr size_t kWindow = 65535;
constexpr int kHashBits = 16;
constexpr int kChainDepth = 256;

uint32_t hash4(const uint8_t *p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return (v * 2654435761u) >> (32 - kHashBits);
}

void putLength(Bytes *out, size_t n) {
  while (n >= 255) {
    out->push_back(255);
    n -= 255;
  }
  out->push_back(static_cast<uint8_t>(n));
}

// The three streams of the runs method.
struct Runs {
  Bytes literals, distances, tokens;
};

void putSequence(Runs *out, const uint8_t *literals, size_t count, size_t distance, size_t length) {
  size_t extra = length >= kMinMatch ? length - kMinMatch : 0;
  uint8_t token = static_cast<uint8_t>((std::min<size_t>(count, 15) << 4) |
                                       (length ? std::min<size_t>(extra, 15) : 0));
  out->tokens.push_back(token);
  if (count >= 15) putLength(&out->tokens, count - 15);
  out->literals.insert(out->literals.end(), literals, literals + count);
  if (length == 0) return;
  out->distances.push_back(static_cast<uint8_t>(distance & 0xFF));
  out->distances.push_back(static_cast<uint8_t>(distance >> 8));
  if (extra >= 15) putLength(&out->tokens, extra - 15);
}

Bytes packRuns(const Bytes &in) {
  Runs runs;
  Runs *out = &runs;
  const size_t n = in.size();
  std::vector<int32_t> head(size_t(1) << kHashBits, -1);
  std::vector<int32_t> chain(n, -1);
  auto insert = [&](size_t p) {
    if (p + kMinMatch > n) return;
    uint32_t h = hash4(&in[p]);
    chain[p] = head[h];
    head[h] = static_cast<int32_t>(p);
  };
  auto longest = [&](size_t p, size_t *distance) {
    size_t best = 0;
    if (p + kMinMatch > n) return best;
    int depth = kChainDepth;
    for (int32_t c = head[hash4(&in[p])]; c >= 0 && depth-- > 0; c = chain[c]) {
      size_t d = p - static_cast<size_t>(c);
      if (d > kWindow) break;
      size_t len = 0;
      while (p + len < n && in[c + len] == in[p + len]) ++len;
      if (len > best) {
        best = len;
        *distance = d;
      }
    }
    return best >= kMinMatch ? best : 0;
  };
  size_t literalStart = 0, p = 0;
  while (p < n) {
    size_t distance = 0;
    size_t len = longest(p, &distance);
    if (len > 0) {
      // One step of lazy matching: a longer match at the next byte wins.
      size_t nextDistance = 0;
      insert(p);
      size_t next = p + 1 < n ? longest(p + 1, &nextDistance) : 0;
      bool later = next > len + 1;
      if (later) {
        ++p;
        len = next;
        distance = nextDistance;
      }
      putSequence(out, &in[literalStart], p - literalStart, distance, len);
      for (size_t k = later ? 0 : 1; k < len; ++k) insert(p + k);
      p += len;
      literalStart = p;
    } else {
      insert(p);
      ++p;
    }
  }
  if (literalStart < n) putSequence(out, &in[literalStart], n - literalStart, 0, 0);
  Bytes packed{kPackRuns};
  putNumber(&packed, static_cast<uint32_t>(runs.literals.size()));
  putNumber(&packed, static_cast<uint32_t>(runs.distances.size()));
  for (const Bytes *part : {&runs.literals, &runs.distances, &runs.tokens})
    packed.insert(packed.end(), part->begin(), part->end());
  return packed;
}

// --- Waves.

struct BitWriter {
  Bytes *out;
  uint64_t buffer = 0;
  int count = 0;

  void put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      buffer = buffer << 1 | ((value >> i) & 1);
      if (++count == 8) {
        out->push_back(static_cast<uint8_t>(buffer));
        buffer = 0;
        count = 0;
      }
    }
  }
  void flush() {
    if (count > 0) put(0, 8 - count);
  }
};

uint32_t le32(const Bytes &b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// Where the 16-bit PCM samples of a RIFF WAVE image lie: false when it is
// not one.
bool findSamples(const Bytes &b, size_t *start, size_t *count) {
  if (b.size() < 12 || std::memcmp(&b[0], "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0)
    return false;
  bool pcm16 = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    uint32_t length = le32(b, at + 4);
    size_t body = at + 8;
    if (std::memcmp(&b[at], "fmt ", 4) == 0) {
      if (length < 16 || body + 16 > b.size()) return false;
      pcm16 = (b[body] | b[body + 1] << 8) == 1 && (b[body + 14] | b[body + 15] << 8) == 16;
    } else if (std::memcmp(&b[at], "data", 4) == 0) {
      if (!pcm16) return false;
      size_t bytes = std::min<size_t>(length, b.size() - body) & ~size_t(1);
      *start = body;
      *count = bytes / 2;
      return true;
    }
    at = body + length + (length & 1);
  }
  return false;
}

// Linear prediction coefficients of orders 1 to kWaveMaxLpc for a block:
// the autocorrelation of the block under a Welch window, solved by the
// Levinson-Durbin recursion. lpc[k - 1] holds the order-k set.
std::vector<std::vector<double>> blockLpc(const int32_t *x, size_t n) {
  std::vector<double> w(n);
  for (size_t i = 0; i < n; ++i) {
    double t = (2.0 * i - (n - 1)) / (n + 1);
    w[i] = x[i] * (1.0 - t * t);
  }
  double r[kWaveMaxLpc + 1] = {};
  for (uint32_t lag = 0; lag <= kWaveMaxLpc; ++lag)
    for (size_t i = lag; i < n; ++i) r[lag] += w[i] * w[i - lag];
  std::vector<std::vector<double>> out;
  if (r[0] <= 0) return out;
  std::vector<double> a(kWaveMaxLpc + 1, 0.0), previous;
  double error = r[0] * (1.0 + 1e-9);
  for (uint32_t k = 1; k <= kWaveMaxLpc; ++k) {
    double acc = r[k];
    for (uint32_t j = 1; j < k; ++j) acc -= a[j] * r[k - j];
    double reflection = acc / error;
    previous = a;
    a[k] = reflection;
    for (uint32_t j = 1; j < k; ++j) a[j] = previous[j] - reflection * previous[k - j];
    error *= 1.0 - reflection * reflection;
    out.emplace_back(a.begin() + 1, a.begin() + 1 + k);
    if (error <= 0) break;
  }
  return out;
}

// The coefficients as integers of `precision` bits with the largest shift
// that keeps them in range.
bool quantise(const std::vector<double> &c, uint32_t precision, WavePredictor *p) {
  double largest = 0;
  for (double v : c) largest = std::max(largest, std::fabs(v));
  const double limit = double(1 << (precision - 1)) - 1;
  int shift = 15;
  while (shift > 0 && largest * double(1 << shift) > limit) --shift;
  if (largest * double(1 << shift) > limit) return false;
  p->order = static_cast<uint32_t>(c.size());
  p->shift = static_cast<uint32_t>(shift);
  for (size_t i = 0; i < c.size(); ++i)
    p->coefficients[i] = static_cast<int32_t>(std::lround(c[i] * double(1 << shift)));
  return true;
}

struct Choice {
  uint32_t kind = 0;
  WavePredictor predictor;
  uint32_t rice = 0;
  uint64_t bits = ~uint64_t(0);
  std::vector<uint32_t> folded;
};

// The residuals of a predictor over a block and the cheapest Rice
// parameter for them; false when no parameter keeps every quotient short.
void tryPredictor(const std::vector<int32_t> &s, size_t from, size_t n, uint32_t kind,
                  const WavePredictor &p, uint64_t headerBits, Choice *best) {
  std::vector<uint32_t> folded(n);
  uint32_t largest = 0;
  int32_t recent[kWaveMaxLpc];
  for (size_t i = 0; i < n; ++i) {
    for (uint32_t k = 0; k < kWaveMaxLpc; ++k) {
      size_t back = k + 1;
      recent[k] = from + i >= back ? s[from + i - back] : 0;
    }
    int64_t r = s[from + i] - p.predict(recent);
    if (r > (1 << 26) || r < -(1 << 26)) return;
    int32_t r32 = static_cast<int32_t>(r);
    folded[i] = (static_cast<uint32_t>(r32) << 1) ^ static_cast<uint32_t>(r32 >> 31);
    largest = std::max(largest, folded[i]);
  }
  for (uint32_t rice = 0; rice <= kWaveMaxRice; ++rice) {
    if ((largest >> rice) > kWaveMaxQuotient) continue;
    uint64_t total = headerBits;
    for (size_t i = 0; i < n; ++i) total += (folded[i] >> rice) + 1 + rice;
    if (total < best->bits) {
      best->bits = total;
      best->kind = kind;
      best->predictor = p;
      best->rice = rice;
      best->folded = folded;
    }
  }
}

Bytes packWave(const Bytes &in) {
  size_t start, samples;
  if (!findSamples(in, &start, &samples) || samples > 0xFFFFFFFFu) return {};
  Bytes out{kPackWave};
  size_t tail = start + samples * 2;
  putNumber(&out, static_cast<uint32_t>(start));
  out.insert(out.end(), in.begin(), in.begin() + static_cast<long>(start));
  putNumber(&out, static_cast<uint32_t>(samples));
  putNumber(&out, static_cast<uint32_t>(in.size() - tail));
  out.insert(out.end(), in.begin() + static_cast<long>(tail), in.end());

  std::vector<int32_t> s(samples);
  for (size_t i = 0; i < samples; ++i)
    s[i] = static_cast<int16_t>(in[start + 2 * i] | in[start + 2 * i + 1] << 8);
  BitWriter bits{&out};
  constexpr uint32_t kPrecision = 14;
  for (size_t done = 0; done < samples;) {
    size_t block = std::min<size_t>(kWaveBlock, samples - done);
    Choice best;
    for (uint32_t order = 0; order <= kWaveMaxOrder; ++order)
      tryPredictor(s, done, block, order, fixedPredictor(order), 8, &best);
    std::vector<std::vector<double>> lpc = blockLpc(&s[done], block);
    for (uint32_t order : {2u, 4u, 6u, 8u, 10u, 12u, 16u, 20u, 24u, 32u}) {
      WavePredictor p;
      if (order > lpc.size() || !quantise(lpc[order - 1], kPrecision, &p)) continue;
      tryPredictor(s, done, block, kWaveCoded, p, 8 + 13 + order * kPrecision, &best);
    }
    if (best.bits == ~uint64_t(0)) return {};  // cannot happen for 16-bit samples
    bits.put(best.kind, 3);
    if (best.kind == kWaveCoded) {
      const WavePredictor &p = best.predictor;
      bits.put(p.order - 1, 5);
      bits.put(p.shift, 4);
      bits.put(kPrecision - 1, 4);
      for (uint32_t i = 0; i < p.order; ++i)
        bits.put(static_cast<uint32_t>(p.coefficients[i]) & ((1u << kPrecision) - 1),
                 static_cast<int>(kPrecision));
    }
    bits.put(best.rice, 5);
    for (size_t i = 0; i < block; ++i) {
      uint32_t q = best.folded[i] >> best.rice;
      for (uint32_t k = 0; k < q; ++k) bits.put(1, 1);
      bits.put(0, 1);
      bits.put(best.folded[i] & ((1u << best.rice) - 1), static_cast<int>(best.rice));
    }
    done += block;
  }
  bits.flush();
  return out;
}

}  // namespace

std::vector<uint8_t> packResourceWith(ResourceMethod method, const std::vector<uint8_t> &bytes) {
  switch (method) {
    case kPackStored: {
      Bytes out{kPackStored};
      out.insert(out.end(), bytes.begin(), bytes.end());
      return out;
    }
    case kPackRuns:
      return packRuns(bytes);
    case kPackWave:
      return packWave(bytes);
  }
  return {};
}

std::vector<uint8_t> packResource(const std::vector<uint8_t> &bytes) {
  Bytes best = packResourceWith(kPackStored, bytes);
  for (ResourceMethod m : {kPackRuns, kPackWave}) {
    Bytes candidate = packResourceWith(m, bytes);
    if (candidate.empty() || candidate.size() >= best.size()) continue;
    Bytes back(bytes.size());
    if (unpackResource(candidate.data(), candidate.size(), back.data(), back.size()) &&
        back == bytes)
      best = std::move(candidate);
  }
  return best;
}

}  // namespace shared
