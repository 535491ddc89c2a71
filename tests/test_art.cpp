// The generated resources in res/: bitmap and wave layouts, the shared
// palette, the sprite sheet against the sprite table, a dartboard that
// scores what it shows, and the linked resources equal to the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/board.h"
#include "gfx/surface.h"
#include "platform/resources.h"
#include "res/resource_ids.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readRes(const std::string &name) {
  std::ifstream in(std::string(TOBELYN_SOURCE_DIR) + "/res/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t u16(const Bytes &b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t u32(const Bytes &b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// An 8-bit bitmap file as the game reads it: its pixel (x, y), top row
// first, and the palette entry (blue, green, red) of an index.
uint8_t pixelOf(const Bytes &f, int x, int y) { return f.at(1078 + y * u32(f, 18) + x); }
const uint8_t *paletteOf(const Bytes &f, int index) { return &f.at(54 + 4 * index); }

TEST(ArtFiles, LayoutsPaletteAndLinkedBytes) {
  // File, resource type (number or name) and id, bytes the executable
  // carries (bitmaps without their 14-byte file header), width and height
  // or wave samples.
  struct Case {
    const char *file;
    uint16_t typeId = 0;
    const wchar_t *typeName = nullptr;
    uint32_t id;
    uint32_t linked = 0, w = 0, h = 0;
  } cases[] = {
      {.file = "title.bmp", .typeId = 2, .id = TITLE_BITMAP, .linked = 77864, .w = 240, .h = 320},
      {.file = "sprites.bmp",
       .typeId = 2,
       .id = SHEET_BITMAP,
       .linked = 687464,
       .w = 832,
       .h = 825},
      {.file = "confirm.wav", .typeName = L"WAVE", .id = kWaveConfirm, .w = 24696},
      {.file = "cancel.wav", .typeName = L"WAVE", .id = kWaveCancel, .w = 6615},
      {.file = "throw.wav", .typeName = L"WAVE", .id = kWaveThrow, .w = 4321},
      {.file = "bull.wav", .typeName = L"WAVE", .id = kWaveBull, .w = 33075},
      {.file = "tobelyn.ico", .typeId = 14, .id = kIconGroup},
  };
  Bytes firstPalette;
  unpackResources();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    Bytes f = readRes(c.file);
    size_t skip = c.typeId == 2 ? 14 : 0;
    const ResourceEntry *end = resourceTable + resourceCount;
    const ResourceEntry *r = std::find_if(resourceTable, end, [&](const ResourceEntry &e) {
      bool named = e.typeName && c.typeName && std::wstring(e.typeName) == c.typeName;
      return e.id == c.id && (c.typeName ? named : e.typeId == c.typeId);
    });
    ASSERT_NE(r, end);
    ASSERT_EQ(r->size, f.size() - skip);
    EXPECT_TRUE(std::equal(f.begin() + skip, f.end(), static_cast<const uint8_t *>(r->data)));
    if (c.typeId == 2) {
      // "BM", file size, reserved, pixel offset, then the info header: 40,
      // width, height, one plane, 8 bits, BI_RGB, no image size or
      // resolutions, 256 colours used.
      EXPECT_EQ(
          std::vector<uint32_t>({u16(f, 0), uint32_t(f.size()), u32(f, 2), u32(f, 6), u32(f, 10)}),
          std::vector<uint32_t>({'B' | 'M' << 8, c.linked + 14, c.linked + 14, 0, 1078}));
      const uint32_t info[] = {40, c.w, c.h, 1 | 8 << 16, 0, 0, 0, 0, 256, 0};
      for (int i = 0; i < 10; ++i) EXPECT_EQ(u32(f, 14 + 4 * i), info[i]) << "info word " << i;
      // Black, the felt green, the sprite key and white are fixed (as
      // 0xRRGGBB); both pictures share one palette with zero reserved bytes.
      const uint32_t fixed[][2] = {{0, 0x000000}, {86, 0x006600}, {240, 0xFF0072}, {255, 0xFFFFFF}};
      for (const auto &e : fixed) EXPECT_EQ(u32(f, 54 + 4 * e[0]), e[1]) << "index " << e[0];
      Bytes pal(f.begin() + 54, f.begin() + 54 + 1024);
      for (size_t i = 3; i < pal.size(); i += 4) EXPECT_EQ(pal[i], 0) << "reserved byte " << i;
      if (firstPalette.empty()) firstPalette = pal;
      EXPECT_EQ(pal, firstPalette);
    } else if (c.typeName) {
      // RIFF, PCM mono 44,100 Hz 16-bit format, one data chunk to the end,
      // its length within a tenth of the sound's.
      EXPECT_EQ(std::string(f.begin(), f.begin() + 4) + std::string(f.begin() + 8, f.begin() + 16) +
                    std::string(f.begin() + 36, f.begin() + 40),
                "RIFFWAVEfmt data");
      EXPECT_EQ(u32(f, 4), f.size() - 8);
      const uint32_t fmt[] = {16, 1 | 1 << 16, 44100, 88200, 2 | 16 << 16};
      for (int i = 0; i < 5; ++i) EXPECT_EQ(u32(f, 16 + 4 * i), fmt[i]) << "fmt word " << i;
      ASSERT_EQ(u32(f, 40) + 44, f.size());
      EXPECT_NEAR(u32(f, 40) / 2.0, c.w, c.w * 0.1);
    }
  }
}

// The samples of a wave file as the game carries it (one data chunk after
// a 44-byte header), full scale 1.0.
std::vector<double> samplesOf(const Bytes &f) {
  std::vector<double> s;
  for (size_t at = 44; at + 1 < f.size(); at += 2)
    s.push_back(static_cast<int16_t>(u16(f, at)) / 32768.0);
  return s;
}

// One biquad section over x, in place.
void biquad(std::vector<double> &x, const double b[3], const double a[3]) {
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (double &v : x) {
    const double y = b[0] * v + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2;
    x2 = x1, x1 = v, y2 = y1, y1 = y, v = y;
  }
}

// Loudness as broadcasters weigh it: a +4 dB shelf above about 1.7 kHz and a
// high-pass at about 38 Hz, then the mean power of the 10 ms blocks within
// 20 dB of the loudest, in dB of full scale.
double loudnessOf(std::vector<double> x) {
  const double pi = 3.14159265358979323846, rate = 44100;
  double k = std::tan(pi * 1681.974450955533 / rate), q = 0.7071752369554196;
  const double vh = std::pow(10.0, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1 + k / q + k * k;
  const double shelfB[3] = {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0,
                            (vh - vb * k / q + k * k) / a0};
  const double shelfA[3] = {1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
  biquad(x, shelfB, shelfA);
  k = std::tan(pi * 38.13547087602444 / rate), q = 0.5003270373238773, a0 = 1 + k / q + k * k;
  const double highB[3] = {1, -2, 1},
               highA[3] = {1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
  biquad(x, highB, highA);
  std::vector<double> power;
  for (size_t at = 0; at + 441 <= x.size(); at += 441) {
    double sum = 0;
    for (size_t i = at; i < at + 441; ++i) sum += x[i] * x[i];
    power.push_back(sum / 441);
  }
  const double loudest = *std::max_element(power.begin(), power.end());
  double sum = 0;
  int blocks = 0;
  for (double p : power)
    if (p >= loudest / 100) sum += p, ++blocks;
  return 10 * std::log10(sum / blocks);
}

// Sample positions where a note starts or stops with a step: a second
// difference over a hundredth of full scale and more than three times any
// other within a millisecond either side (a sum of smooth partials changes
// its curvature gradually; a step makes it leap at one sample).
std::vector<size_t> stepsIn(const std::vector<double> &s) {
  std::vector<double> curve(s.size(), 0.0);
  for (size_t i = 1; i + 1 < s.size(); ++i) curve[i] = std::fabs(s[i + 1] - 2 * s[i] + s[i - 1]);
  std::vector<size_t> steps;
  for (size_t i = 0; i < curve.size(); ++i) {
    if (curve[i] < 0.01) continue;
    double around = 0;
    for (size_t j = i < 44 ? 0 : i - 44; j < std::min(curve.size(), i + 45); ++j)
      if (j + 2 < i || j > i + 2) around = std::max(around, curve[j]);
    if (curve[i] > 3 * around) steps.push_back(i);
  }
  return steps;
}

// The share of a wave's energy between two frequencies, from the bins of its
// discrete Fourier transform up to the higher one; the whole energy comes
// from the samples (Parseval), half of it in the positive frequencies.
double energyShare(const std::vector<double> &s, double loHz, double hiHz) {
  const double pi = 3.14159265358979323846, rate = 44100;
  const size_t n = s.size();
  std::vector<double> cosine(n), sine(n);
  for (size_t i = 0; i < n; ++i)
    cosine[i] = std::cos(2 * pi * i / n), sine[i] = std::sin(2 * pi * i / n);
  double inBand = 0, total = 0, dc = 0;
  for (size_t i = 0; i < n; ++i) total += s[i] * s[i], dc += s[i];
  total = (n * total - dc * dc) / 2;
  for (size_t k = 1; k <= n / 2 && k * rate / n < hiHz; ++k) {
    double re = 0, im = 0;
    for (size_t i = 0, at = 0; i < n; ++i, at = (at + k) % n)
      re += s[i] * cosine[at], im -= s[i] * sine[at];
    if (k * rate / n >= loHz) inBand += re * re + im * im;
  }
  return inBand / total;
}

// The four sounds peak under -1 dBFS, begin and end at silence, and the
// tonal ones have no step where a note starts or ends. They are not equally
// loud: the bull stands out over the menu sounds, and the throw, heard on
// every dart, sits under them.
TEST(ArtSounds, LevelsAndSmoothNotes) {
  struct Case {
    const char *file;
    bool tonal;
  } cases[] = {{.file = "confirm.wav", .tonal = true},
               {.file = "cancel.wav", .tonal = false},
               {.file = "throw.wav", .tonal = false},
               {.file = "bull.wav", .tonal = true}};
  std::map<std::string, double> loudness;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<double> s = samplesOf(readRes(c.file));
    ASSERT_GT(s.size(), 441u);
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(20 * std::log10(peak), -1.0) << "peak in dBFS";
    loudness[c.file] = loudnessOf(s);
    EXPECT_LE(std::fabs(s.front()) + std::fabs(s.back()), 4 / 32768.0) << "ends away from zero";
    if (c.tonal) {
      EXPECT_EQ(stepsIn(s), std::vector<size_t>()) << "samples where a note steps";
    }
  }
  struct Louder {
    const char *name, *louder, *quieter;
    double byDb;
  } order[] = {
      {.name = "bull over confirm", .louder = "bull.wav", .quieter = "confirm.wav", .byDb = 2},
      {.name = "bull over back", .louder = "bull.wav", .quieter = "cancel.wav", .byDb = 2},
      {.name = "confirm over throw", .louder = "confirm.wav", .quieter = "throw.wav", .byDb = 0.5}};
  for (const Louder &o : order)
    EXPECT_GE(loudness[o.louder] - loudness[o.quieter], o.byDb)
        << o.name << ": " << loudness[o.louder] << " and " << loudness[o.quieter] << " dB";
}

// Sound 2 answers both "back" and every landing: a thwack whose energy lies
// mostly between 1 and 4 kHz, where a phone's small speaker plays it.
TEST(ArtSounds, BackAndLandingCarryOnASmallSpeaker) {
  const std::vector<double> s = samplesOf(readRes("cancel.wav"));
  EXPECT_GT(energyShare(s, 1000, 4000), 0.5);
  EXPECT_LT(energyShare(s, 0, 1000), 0.25);
}

TEST(ArtSheet, EverySpriteInsideItsRectangleOnTheKey) {
  Bytes sheet = readRes("sprites.bmp");
  const int W = 832, H = 825;
  std::vector<int> owner(W * H, -1);
  for (int n = 0; n < kDefinedSprites; ++n) {
    const SpriteRect &r = spriteSheetTable[n];
    ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= W && r.y + r.h <= H) << n;
    int figure = 0, key = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        ASSERT_EQ(owner[y * W + x], -1) << "sprites " << owner[y * W + x] << " and " << n;
        owner[y * W + x] = n;
        (pixelOf(sheet, x, y) == COLOR_KEY ? key : figure)++;
      }
    }
    EXPECT_TRUE(figure > 0 && key > 0) << "sprite " << n << ": figure and transparent ground";
  }
  int stray = 0;
  for (int i = 0; i < W * H; ++i)
    stray += owner[i] < 0 && pixelOf(sheet, i % W, i / W) != COLOR_KEY;
  EXPECT_EQ(stray, 0) << "pixels outside every sprite rectangle";
}

// The box round a sprite's figure (its pixels off the key): left, top,
// right, bottom, inclusive.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

Box figureOf(const Bytes &sheet, int n) {
  const SpriteRect &r = spriteSheetTable[n];
  Box b;
  for (int y = 0; y < r.h; ++y) {
    for (int x = 0; x < r.w; ++x) {
      if (pixelOf(sheet, r.x + x, r.y + y) == COLOR_KEY) continue;
      b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
    }
  }
  return b;
}

// The captions a result shows at the screen's top left.
const std::vector<int> kResultCaptions = {kSpriteTriple,     kSpriteDouble,     kSpriteMiss,
                                          kSpriteSingleBull, kSpriteDoubleBull, kSpriteSuccess,
                                          kSpriteFail};

// Captions drawn one under another at one x start their text at one left
// edge, so a list reads down a straight line.
TEST(ArtCaptions, ListsShareOneLeftEdge) {
  struct Case {
    const char *name;
    std::vector<int> sprites;
  } cases[] = {
      {.name = "game names",
       .sprites = {kSpriteGame301, kSpriteGameCountUp, kSpriteGameHighScore,
                   kSpriteGameRoundTheClock}},
      {.name = "option rows",
       .sprites = {kSpriteSound, kSpriteUp, kSpriteDown, kSpriteLeft, kSpriteRight, kSpriteButtonA,
                   kSpriteButtonB, kSpriteButtonC}},
      {.name = "set-up headings", .sprites = {kSpriteSelectGame, kSpriteSelectPlayer}},
      {.name = "result captions", .sprites = kResultCaptions},
  };
  Bytes sheet = readRes("sprites.bmp");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const int edge = figureOf(sheet, c.sprites[0]).left;
    for (int n : c.sprites) EXPECT_EQ(figureOf(sheet, n).left, edge) << "sprite " << n;
  }
}

// A result caption is drawn at the screen's top left over the board (drawn
// at 8, 16): none of its pixels may touch a rim number, nor come within a
// pixel of one.
TEST(ArtCaptions, ResultsClearOfTheRimNumbers) {
  Bytes sheet = readRes("sprites.bmp");
  const SpriteRect &board = spriteSheetTable[kSpriteBoard];
  auto isNumber = [&](int sx, int sy) {
    int bx = sx - 8, by = sy - 16;
    if (bx < 0 || by < 0 || bx >= board.w || by >= board.h) return false;
    const uint8_t *c = paletteOf(sheet, pixelOf(sheet, board.x + bx, board.y + by));
    return c[0] == 250 && c[1] == 250 && c[2] == 250;
  };
  int numbers = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 240; ++x) numbers += isNumber(x, y);
  ASSERT_GT(numbers, 0) << "no rim number found near the top of the board";
  for (int n : kResultCaptions) {
    const SpriteRect &r = spriteSheetTable[n];
    int touching = 0;
    for (int y = 0; y < r.h; ++y)
      for (int x = 0; x < r.w; ++x)
        if (pixelOf(sheet, r.x + x, r.y + y) != COLOR_KEY)
          for (int k = 0; k < 9; ++k) touching += isNumber(x + k % 3 - 1, y + k / 3 - 1);
    EXPECT_EQ(touching, 0) << "caption sprite " << n;
  }
}

// The spark marks where a dart's point landed, its pixel (8, 8): it is
// centred there and smaller than the flash disc under it, so the flash
// shows all round it.
TEST(ArtSprites, SparkCentredInsideTheFlash) {
  Bytes sheet = readRes("sprites.bmp");
  const Box spark = figureOf(sheet, kSpriteSpark), flash = figureOf(sheet, kSpriteFlashDisc);
  EXPECT_EQ(spark.left + spark.right, 16);
  EXPECT_EQ(spark.top + spark.bottom, 16);
  EXPECT_TRUE(flash.left < spark.left && flash.top < spark.top && flash.right > spark.right &&
              flash.bottom > spark.bottom);
}

// The region a dart landing dx, dy from the centre hits, by the match's own
// scoring: its ring, and its number where the ring has one (0 for the bull's
// rings and off the board).
std::pair<int, int> regionAt(int dx, int dy) {
  const BoardPoint p = boardPointAt(dx, dy);
  const bool numbered =
      p.ring != kRingDoubleBull && p.ring != kRingSingleBull && p.ring != kRingMiss;
  return {p.ring, numbered ? p.sector : 0};
}

// The twenty numbers clockwise from the top, as the match scores a circle
// through the singles.
std::vector<int> clockwiseNumbers() {
  const double pi = 3.14159265358979323846;
  std::vector<int> order;
  for (int step = 0; step < 3600; ++step) {
    const double a = step * pi / 1800;
    const int sector = regionAt(static_cast<int>(std::lround(60 * std::sin(a))),
                                static_cast<int>(std::lround(-60 * std::cos(a))))
                           .second;
    if (std::find(order.begin(), order.end(), sector) == order.end()) order.push_back(sector);
  }
  return order;
}

enum Look { DARK, CREAM, RED, GREEN, LIGHT, OTHER };

Look lookOf(const uint8_t *bgr) {
  int r = bgr[2], g = bgr[1], b = bgr[0];
  if (r < 80 && g < 80 && b < 80) return DARK;
  if (r >= 150 && g < 100 && b < 100) return RED;
  if (g >= 100 && r < 100) return GREEN;
  if (r > 200 && b < r - 40) return CREAM;
  if (r >= 150 && std::abs(r - g) < 30 && std::abs(g - b) < 30) return LIGHT;
  return OTHER;
}

// The board (kSpriteBoard) drawn at (8, 16) puts its pixel (112, 112) on the board centre
// (120, 128). Every pixel shows what a dart landing there scores: a red
// bull, a green outer bull, sectors alternating clockwise from a dark 20
// with red rings and cream with green ones, light wires only on the edges
// between regions, and no bed colour off the board.
TEST(ArtBoard, ShowsWhatScores) {
  Bytes sheet = readRes("sprites.bmp");
  const SpriteRect &r = spriteSheetTable[kSpriteBoard];
  ASSERT_EQ(std::make_pair(r.w, r.h), std::make_pair(224, 224));
  const std::vector<int> order = clockwiseNumbers();
  ASSERT_EQ(order.size(), 20u);
  std::set<std::pair<int, int>> seen;
  int bad = 0, wires = 0;
  for (int dy = -112; dy < 112; ++dy) {
    for (int dx = -112; dx < 112; ++dx) {
      const auto g = regionAt(dx, dy);
      const int ring = g.first, index = pixelOf(sheet, r.x + 112 + dx, r.y + 112 + dy);
      const Look look = lookOf(paletteOf(sheet, index));
      const bool dark = (std::find(order.begin(), order.end(), g.second) - order.begin()) % 2 == 0;
      const bool bed = ring == kRingInnerSingle || ring == kRingOuterSingle;
      Look want = bed ? (dark ? DARK : CREAM) : (dark ? RED : GREEN);
      if (ring == kRingDoubleBull) want = RED;
      if (ring == kRingSingleBull) want = GREEN;
      if (ring == kRingMiss) {
        want = index == COLOR_KEY || (look != RED && look != GREEN && look != CREAM) ? look : OTHER;
      } else if (look == LIGHT) {  // a wire, on an edge between regions
        bool edge = false;
        for (int k = 0; k < 4; ++k)
          edge |= regionAt(dx + k % 2 * (k - 2), dy + (k + 1) % 2 * (k - 1)) != g;
        want = edge ? LIGHT : OTHER;
        wires += edge;
      } else {
        seen.insert(g);
      }
      bad += look != want;
    }
  }
  EXPECT_EQ(bad, 0) << "pixels that do not show what scores there";
  EXPECT_GT(wires, 0);
  EXPECT_EQ(seen.size(), 2u + 4 * 20) << "a region lost under its wires";
}

}  // namespace
