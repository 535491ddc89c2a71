// The packing of linked resources (platform/common/resource_codec.h): every
// picture, sound and icon in res/ comes back byte for byte by each method
// that applies, the made-up edge cases too, and damaged or truncated packed
// bytes are refused without a read or write outside the two buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/common/resource_codec.h"
#include "platform/resources.h"

namespace {

using Bytes = std::vector<uint8_t>;
using shared::kPackRuns;
using shared::kPackStored;
using shared::kPackWave;

Bytes readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pictures, sounds and icons the resource script names, whatever res/
// holds (read as test_art reads the files, which works under Wine too).
std::vector<std::string> resourceFiles() {
  const std::string res = std::string(TOBELYN_SOURCE_DIR) + "/res/";
  std::ifstream script(res + "tobelyn.rc");
  std::vector<std::string> files;
  std::string line;
  while (std::getline(script, line)) {
    size_t open = line.find('"'), close = line.rfind('"');
    if (open == std::string::npos || close <= open) continue;
    std::string name = line.substr(open + 1, close - open - 1);
    for (const char *ext : {".wav", ".bmp", ".ico"})
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ext) == 0)
        files.push_back(res + name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string extensionOf(const std::string &path) { return path.substr(path.size() - 4); }
std::string nameOf(const std::string &path) { return path.substr(path.find_last_of('/') + 1); }

Bytes smallestPicture() {
  Bytes smallest;
  for (const std::string &path : resourceFiles()) {
    Bytes b = readFile(path);
    if (extensionOf(path) == ".bmp" && (smallest.empty() || b.size() < smallest.size()))
      smallest = b;
  }
  return smallest;
}

// Unpacks into a buffer with guard bytes on both sides, and fails the test
// when a guard changed.
bool unpackGuarded(const Bytes &packed, size_t size, Bytes *out = nullptr) {
  constexpr size_t kGuard = 64;
  Bytes buffer(size + 2 * kGuard, 0xA5);
  bool ok = shared::unpackResource(packed.data(), packed.size(), buffer.data() + kGuard, size);
  for (size_t i = 0; i < kGuard; ++i) {
    EXPECT_EQ(buffer[i], 0xA5) << "wrote before the output, at " << i;
    EXPECT_EQ(buffer[kGuard + size + i], 0xA5) << "wrote after the output, at " << i;
  }
  if (out) out->assign(buffer.begin() + kGuard, buffer.begin() + kGuard + size);
  return ok;
}

void put16(Bytes *b, uint32_t v) {
  b->push_back(v & 0xFF);
  b->push_back((v >> 8) & 0xFF);
}
void put32(Bytes *b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// A RIFF WAVE image of 16-bit samples, with an extra chunk after the data
// when `trailer` is set.
Bytes wave(const std::vector<int> &samples, int channels = 1, int bits = 16, bool trailer = false) {
  Bytes data;
  for (int s : samples) bits == 16 ? put16(&data, static_cast<uint16_t>(s)) : data.push_back(s);
  Bytes b = {'R', 'I', 'F', 'F'};
  put32(&b, 36 + data.size() + (trailer ? 10 : 0));
  for (char c : std::string("WAVEfmt ")) b.push_back(c);
  put32(&b, 16);
  put16(&b, 1);
  put16(&b, channels);
  put32(&b, 44100);
  put32(&b, 44100 * channels * bits / 8);
  put16(&b, channels * bits / 8);
  put16(&b, bits);
  for (char c : std::string("data")) b.push_back(c);
  put32(&b, data.size());
  b.insert(b.end(), data.begin(), data.end());
  if (trailer) {
    for (char c : std::string("LIST")) b.push_back(c);
    put32(&b, 2);
    b.push_back('o');
    b.push_back('k');
  }
  return b;
}

std::vector<int> tone(int count, double amplitude, double noise, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> jitter(-noise, noise);
  std::vector<int> s;
  for (int i = 0; i < count; ++i) {
    double v = amplitude * std::sin(i * 0.07) + jitter(random);
    s.push_back(std::clamp(static_cast<int>(v), -32768, 32767));
  }
  return s;
}

TEST(ResourceCodec, EveryResourceInResComesBackByteForByteByEachMethod) {
  std::vector<std::string> files = resourceFiles();
  ASSERT_FALSE(files.empty());
  for (const auto &path : files) {
    SCOPED_TRACE(nameOf(path));
    Bytes raw = readFile(path);
    ASSERT_FALSE(raw.empty());
    for (auto method : {kPackStored, kPackRuns, kPackWave}) {
      SCOPED_TRACE("method " + std::to_string(method));
      Bytes packed = shared::packResourceWith(method, raw);
      if (packed.empty()) {
        EXPECT_EQ(method, kPackWave) << "only the wave method may not apply";
        continue;
      }
      Bytes back;
      EXPECT_TRUE(unpackGuarded(packed, raw.size(), &back));
      EXPECT_TRUE(back == raw);
    }
    // The linker's choice: sounds by prediction, pictures and icons by
    // runs, each smaller than the file.
    Bytes chosen = shared::packResource(raw);
    EXPECT_EQ(chosen[0], extensionOf(path) == ".wav" ? kPackWave : kPackRuns);
    EXPECT_LT(chosen.size(), raw.size());
  }
}

TEST(ResourceCodec, TheLinkedResourcesUnpackToTheirFiles) {
  // Each packed entry of the program's own table, unpacked afresh, is one of
  // the files in res/ (a bitmap without its 14-byte file header).
  std::vector<Bytes> files;
  for (const auto &path : resourceFiles()) {
    Bytes raw = readFile(path);
    if (extensionOf(path) == ".bmp") raw.erase(raw.begin(), raw.begin() + 14);
    files.push_back(raw);
  }
  ASSERT_EQ(packedResourceCount, static_cast<int>(files.size()));
  for (int i = 0; i < packedResourceCount; ++i) {
    const PackedResource &p = packedResources[i];
    Bytes packed(p.packed, p.packed + p.packedSize);
    Bytes back;
    EXPECT_TRUE(unpackGuarded(packed, p.size, &back)) << "entry " << i;
    EXPECT_NE(std::find(files.begin(), files.end(), back), files.end()) << "entry " << i;
  }
}

TEST(ResourceCodec, MadeUpBytesComeBackByteForByte) {
  std::mt19937 random(7);
  Bytes noise(5000);
  for (auto &b : noise) b = static_cast<uint8_t>(random());
  Bytes farRepeat(70000);
  for (size_t i = 0; i < farRepeat.size(); ++i) farRepeat[i] = static_cast<uint8_t>(random() % 3);
  std::copy(noise.begin(), noise.begin() + 100, farRepeat.begin());
  std::copy(noise.begin(), noise.begin() + 100, farRepeat.begin() + 65535);
  std::vector<int> swings;
  for (int i = 0; i < 3000; ++i) swings.push_back(i % 2 ? 32767 : -32768);
  const struct {
    const char *name;
    Bytes bytes;
    int method;  // the one the linker should choose
  } cases[] = {
      {.name = "nothing", .bytes = {}, .method = kPackStored},
      {.name = "one byte", .bytes = {42}, .method = kPackStored},
      {.name = "random bytes stay stored", .bytes = noise, .method = kPackStored},
      {.name = "a run of 100000 equal bytes", .bytes = Bytes(100000, 7), .method = kPackRuns},
      {.name = "a repeat exactly 65535 bytes back", .bytes = farRepeat, .method = kPackRuns},
      {.name = "a tone", .bytes = wave(tone(5000, 9000, 40, 1)), .method = kPackWave},
      {.name = "silence", .bytes = wave(std::vector<int>(3000, 0)), .method = kPackRuns},
      {.name = "full-scale swings every sample", .bytes = wave(swings), .method = kPackRuns},
      {.name = "a tone with a chunk after the samples",
       .bytes = wave(tone(2500, 12000, 3, 2), 1, 16, true),
       .method = kPackWave},
      {.name = "a stereo tone", .bytes = wave(tone(4000, 8000, 10, 3), 2), .method = kPackWave},
      {.name = "an 8-bit wave is not predicted",
       .bytes = wave(std::vector<int>(2000, 128), 1, 8),
       .method = kPackRuns},
      {.name = "a block and one sample",
       .bytes = wave(tone(shared::kWaveBlock + 1, 20000, 500, 4)),
       .method = kPackWave},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    for (auto method : {kPackStored, kPackRuns, kPackWave}) {
      Bytes packed = shared::packResourceWith(method, c.bytes);
      if (packed.empty()) continue;
      Bytes back;
      EXPECT_TRUE(unpackGuarded(packed, c.bytes.size(), &back)) << "method " << int(method);
      EXPECT_TRUE(back == c.bytes) << "method " << int(method);
    }
    EXPECT_EQ(shared::packResource(c.bytes)[0], c.method);
  }
}

// An empty resource has no buffer to unpack into: the unpacker must take the
// null pointer without handing it to memcpy (the sanitizer's nonnull check).
TEST(ResourceCodec, AnEmptyStoredResourceUnpacksIntoNoBuffer) {
  const Bytes packed = {kPackStored};
  EXPECT_TRUE(shared::unpackResource(packed.data(), packed.size(), nullptr, 0));
}

// A packed wave of a few samples, built by hand: the header counts and the
// bit stream are given separately.
Bytes handWave(uint32_t before, uint32_t samples, uint32_t after, const Bytes &stream) {
  Bytes b = {kPackWave, static_cast<uint8_t>(before)};
  b.insert(b.end(), before, 0);
  b.push_back(static_cast<uint8_t>(samples));
  b.push_back(static_cast<uint8_t>(after));
  b.insert(b.end(), after, 0);
  b.insert(b.end(), stream.begin(), stream.end());
  return b;
}

TEST(ResourceCodec, DamagedPackedBytesAreRefused) {
  Bytes tonePacked = shared::packResourceWith(kPackWave, wave(tone(3000, 9000, 40, 5)));
  const size_t toneSize = wave(tone(3000, 9000, 40, 5)).size();
  Bytes runsPacked = shared::packResourceWith(kPackRuns, Bytes(5000, 9));
  auto with = [](Bytes b, const std::function<void(Bytes *)> &change) {
    change(&b);
    return b;
  };
  const struct {
    const char *name;
    Bytes packed;
    size_t size;  // the size the table promises
  } cases[] = {
      {.name = "no bytes at all", .packed = {}, .size = 4},
      {.name = "an unknown method", .packed = {3, 1, 2, 3, 4}, .size = 4},
      {.name = "stored, one byte short", .packed = {kPackStored, 1, 2, 3}, .size = 4},
      {.name = "stored, one byte over", .packed = {kPackStored, 1, 2, 3, 4, 5}, .size = 4},
      // Runs: literal and distance byte counts, literals, distances, tokens.
      {.name = "runs: literals past the output",
       .packed = {kPackRuns, 5, 0, 1, 2, 3, 4, 5, 0x50},
       .size = 4},
      {.name = "runs: more literals than their stream holds",
       .packed = {kPackRuns, 2, 0, 1, 2, 0x40},
       .size = 4},
      {.name = "runs: stream counts past the input", .packed = {kPackRuns, 9, 0, 1, 2}, .size = 2},
      {.name = "runs: a distance of zero", .packed = {kPackRuns, 1, 2, 7, 0, 0, 0x10}, .size = 5},
      {.name = "runs: a distance before the start",
       .packed = {kPackRuns, 1, 2, 7, 2, 0, 0x10},
       .size = 5},
      {.name = "runs: a match past the output",
       .packed = {kPackRuns, 1, 2, 7, 1, 0, 0x11},
       .size = 5},
      {.name = "runs: a match of four with three bytes left",
       .packed = {kPackRuns, 1, 2, 7, 1, 0, 0x10},
       .size = 4},
      {.name = "runs: a length whose extension never ends",
       .packed = {kPackRuns, 0, 0, 0xF0, 255, 255, 255},
       .size = 100000},
      {.name = "runs: a distance left over in its stream",
       .packed = {kPackRuns, 1, 3, 7, 1, 0, 9, 0x10},
       .size = 5},
      {.name = "runs: a literal left over in its stream",
       .packed = {kPackRuns, 2, 2, 7, 8, 1, 0, 0x10},
       .size = 5},
      {.name = "runs: a byte left over",
       .packed = with(runsPacked, [](Bytes *b) { b->push_back(0); }),
       .size = 5000},
      {.name = "runs: the last byte missing",
       .packed = with(runsPacked, [](Bytes *b) { b->pop_back(); }),
       .size = 5000},
      {.name = "runs: promised one byte more than packed", .packed = runsPacked, .size = 5001},
      {.name = "wave: predictor six", .packed = handWave(0, 1, 0, {0xC0, 0x00}), .size = 2},
      {.name = "wave: its own predictor cut in its coefficients",
       // kind 5, order 32, shift 0, 16-bit coefficients, then three bytes
       .packed = handWave(0, 1, 0, {0xBF, 0x0F, 0xC0, 0x00, 0x00}),
       .size = 2},
      {.name = "wave: Rice parameter 21",
       .packed = handWave(0, 1, 0, {0x15, 0x00, 0x00}),
       .size = 2},
      {.name = "wave: a unary code that never ends",
       .packed = handWave(0, 1, 0, Bytes(64, 0xFF)),
       .size = 2},
      {.name = "wave: a sample above 16 bits",
       // order 0, Rice 20, quotient 0, remainder 2 * 40000
       .packed = handWave(0, 1, 0, {0x14, 0x09, 0xC4, 0x00}),
       .size = 2},
      {.name = "wave: padding that is not zero",
       .packed = handWave(0, 1, 0, {0x00, 0x01}),
       .size = 2},
      {.name = "wave: a whole byte left over",
       .packed = handWave(0, 1, 0, {0x00, 0x00, 0x00}),
       .size = 2},
      {.name = "wave: the bits stop mid-sample", .packed = handWave(0, 1, 0, {0x08}), .size = 2},
      {.name = "wave: a header longer than the output", .packed = handWave(6, 0, 0, {}), .size = 4},
      {.name = "wave: counts that do not add up to the size",
       .packed = handWave(2, 1, 0, {0x00, 0x00}),
       .size = 5},
      {.name = "wave: more samples than the output holds",
       .packed = handWave(0, 3, 0, {0x00, 0x00}),
       .size = 4},
      {.name = "wave: a count of more than 32 bits",
       .packed = {kPackWave, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
       .size = 4},
      {.name = "wave: a count that never ends",
       .packed = {kPackWave, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},
       .size = 4},
      {.name = "wave: the last byte missing",
       .packed = with(tonePacked, [](Bytes *b) { b->pop_back(); }),
       .size = toneSize},
      {.name = "wave: promised two bytes more than packed",
       .packed = tonePacked,
       .size = toneSize + 2},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(unpackGuarded(c.packed, c.size));
  }
  // The hand-made streams above are each one step from a good one.
  EXPECT_TRUE(unpackGuarded({kPackRuns, 1, 2, 7, 1, 0, 0x10}, 5));
  EXPECT_TRUE(unpackGuarded(handWave(0, 1, 0, {0x00, 0x00}), 2));
  EXPECT_TRUE(unpackGuarded(handWave(0, 1, 0, {0x14, 0x04, 0xE2, 0x00}), 2));  // 20000
  // Kind 5, order 1, shift 0, 2-bit coefficient 1, Rice 0, one zero sample.
  EXPECT_TRUE(unpackGuarded(handWave(0, 1, 0, {0xA0, 0x01, 0x40}), 2));
}

TEST(ResourceCodec, EveryTruncationIsRefusedAndNoDamageReachesOutside) {
  // The real sheet's runs and a sound's prediction: cut at every length
  // near both ends and at steps between; every byte changed in turn, some
  // of which still unpack (a changed literal), none out of bounds.
  const struct {
    const char *name;
    Bytes raw;
  } cases[] = {
      {.name = "the smallest picture in res/", .raw = smallestPicture()},
      {.name = "a sound", .raw = wave(tone(6000, 15000, 200, 6))},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    Bytes packed = shared::packResource(c.raw);
    ASSERT_NE(packed[0], kPackStored);
    for (size_t cut = 0; cut < packed.size();
         cut += (cut < 64 || packed.size() - cut < 64) ? 1 : 97)
      EXPECT_FALSE(unpackGuarded(Bytes(packed.begin(), packed.begin() + cut), c.raw.size()))
          << "cut to " << cut;
    std::mt19937 random(11);
    for (size_t at = 0; at < packed.size(); at += 1 + packed.size() / 400) {
      Bytes damaged = packed;
      damaged[at] ^= static_cast<uint8_t>(1 + random() % 255);
      unpackGuarded(damaged, c.raw.size());
    }
  }
}

}  // namespace
