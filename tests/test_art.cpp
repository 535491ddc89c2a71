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
#include "tests/art_support.h"

namespace {

using namespace art;

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

// Relative luminance (0 black to 1 white) of a palette entry (blue,
// green, red).
double luminanceOf(const uint8_t *bgr) {
  auto linear = [](int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(bgr[2]) + 0.7152 * linear(bgr[1]) + 0.0722 * linear(bgr[0]);
}

// A yellow letter pixel: red strongest, green not far behind, blue well
// under both (from orange to lemon, light or dull).
bool yellowish(const uint8_t *bgr) {
  const int r = bgr[2], g = bgr[1], b = bgr[0];
  return r >= 150 && g >= r * 55 / 100 && g <= r && b + 40 <= g;
}

// Every result caption, "Bust!!" included, is in tall yellow block letters:
// some column of it holds a letter at least 22 pixels from top to bottom.
// The failed ones are darker and duller than every success, yet still a
// strong yellow-orange: no letter pixel greyer than a saturation of 0.6 (a
// khaki or an ochre would be, and reads as mud at 1x). Every caption's
// letters are shaded from top to bottom over a wide range of light.
TEST(ArtCaptions, ResultLettersTallAndYellow) {
  struct Case {
    const char *name;
    int sprite;
    bool failed;
  } cases[] = {
      {.name = "Triple!!", .sprite = kSpriteTriple, .failed = false},
      {.name = "Double!", .sprite = kSpriteDouble, .failed = false},
      {.name = "SingleBull!", .sprite = kSpriteSingleBull, .failed = false},
      {.name = "DoubleBull!!", .sprite = kSpriteDoubleBull, .failed = false},
      {.name = "Success!", .sprite = kSpriteSuccess, .failed = false},
      {.name = "Miss!!", .sprite = kSpriteMiss, .failed = true},
      {.name = "Fail...", .sprite = kSpriteFail, .failed = true},
      {.name = "Bust!!", .sprite = kSpriteBust, .failed = true},
  };
  Bytes sheet = readRes("sprites.bmp");
  double dimmestSuccess = 1, brightestFailure = 0, leastSuccessChroma = 255, mostFailureChroma = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const SpriteRect &r = spriteSheetTable[c.sprite];
    int tallest = 0, count = 0;
    double light = 0, chroma = 0, greyest = 1, lightest = 0, darkest = 1;
    for (int x = 0; x < r.w; ++x) {
      int top = -1, bottom = -1;
      for (int y = 0; y < r.h; ++y) {
        const uint8_t *bgr = paletteOf(sheet, pixelOf(sheet, r.x + x, r.y + y));
        if (!yellowish(bgr)) continue;
        if (top < 0) top = y;
        bottom = y, ++count, light += luminanceOf(bgr), chroma += bgr[2] - bgr[0];
        greyest = std::min(greyest, (bgr[2] - bgr[0]) / static_cast<double>(bgr[2]));
        lightest = std::max(lightest, luminanceOf(bgr));
        darkest = std::min(darkest, luminanceOf(bgr));
      }
      if (top >= 0) tallest = std::max(tallest, bottom - top + 1);
    }
    ASSERT_GT(count, 0) << "no yellow letters";
    EXPECT_GE(tallest, 22) << "tallest letter, pixels";
    // Lit from above: the fill goes from light at the cap line to dark at
    // the foot, a failure's as well as a success's.
    EXPECT_GE(lightest - darkest, 0.3) << "luminance from the lightest letter pixel to the darkest";
    light /= count, chroma /= count;
    if (c.failed) {
      EXPECT_GE(greyest, 0.6) << "least saturated letter pixel";
      brightestFailure = std::max(brightestFailure, light);
      mostFailureChroma = std::max(mostFailureChroma, chroma);
    } else {
      dimmestSuccess = std::min(dimmestSuccess, light);
      leastSuccessChroma = std::min(leastSuccessChroma, chroma);
    }
  }
  EXPECT_LT(brightestFailure, dimmestSuccess) << "mean luminance of the letters";
  EXPECT_LT(mostFailureChroma, leastSuccessChroma) << "mean chroma of the letters";
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

// The landing's light: the flash, the broken ring and the spark drawn on
// top of both have no dark pixel (a dark edge on the spark would draw a
// cross over the flash), and the ring breaks into eight separate pieces.
TEST(ArtSprites, LandingLightHasNoDarkEdgeAndTheRingBreaksUp) {
  Bytes sheet = readRes("sprites.bmp");
  struct Case {
    const char *name;
    int sprite, pieces;
    double whiteOver;  // the share of its pixels near white exceeds this
  } cases[] = {{.name = "flash disc", .sprite = kSpriteFlashDisc, .pieces = 1, .whiteOver = 0.5},
               {.name = "broken ring", .sprite = kSpriteBrokenRing, .pieces = 8, .whiteOver = 0},
               {.name = "spark", .sprite = kSpriteSpark, .pieces = 1, .whiteOver = 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const SpriteRect &r = spriteSheetTable[c.sprite];
    std::vector<int> piece(r.w * r.h, -1);
    double darkest = 1;
    int pieces = 0, lights = 0, whites = 0;
    for (int start = 0; start < r.w * r.h; ++start) {
      const auto lit = [&](int i) {
        return pixelOf(sheet, r.x + i % r.w, r.y + i / r.w) != COLOR_KEY;
      };
      if (!lit(start)) continue;
      const uint8_t *bgr = paletteOf(sheet, pixelOf(sheet, r.x + start % r.w, r.y + start / r.w));
      darkest = std::min(darkest, luminanceOf(bgr));
      // Near white: light, and hardly coloured (a faint tint of blue at most).
      const int chroma = std::max({bgr[0], bgr[1], bgr[2]}) - std::min({bgr[0], bgr[1], bgr[2]});
      ++lights, whites += luminanceOf(bgr) >= 0.8 && chroma <= 48;
      if (piece[start] >= 0) continue;
      std::vector<int> todo = {start};
      piece[start] = pieces;
      while (!todo.empty()) {
        const int i = todo.back();
        todo.pop_back();
        const int x = i % r.w, y = i / r.w;
        const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto &n : next) {
          const int j = n[1] * r.w + n[0];
          if (n[0] < 0 || n[1] < 0 || n[0] >= r.w || n[1] >= r.h || piece[j] >= 0 || !lit(j))
            continue;
          piece[j] = pieces;
          todo.push_back(j);
        }
      }
      ++pieces;
    }
    EXPECT_GE(darkest, 0.15) << "luminance of the darkest pixel";
    EXPECT_EQ(pieces, c.pieces) << "separate pieces";
    EXPECT_GT(whites, c.whiteOver * lights) << whites << " of " << lights << " pixels near white";
  }
}

// The thrower's body fades out before the foot of every arm sprite, which
// lies on the black band's lower edge: the last row is all transparent.
TEST(ArtSprites, ThrowerNotCutByTheSpriteFoot) {
  Bytes sheet = readRes("sprites.bmp");
  for (int n = kSpriteArm1; n <= kSpriteArm5; ++n) {
    const SpriteRect &r = spriteSheetTable[n];
    int figure = 0;
    for (int x = 0; x < r.w; ++x) figure += pixelOf(sheet, r.x + x, r.y + r.h - 1) != COLOR_KEY;
    EXPECT_EQ(figure, 0) << "arm sprite " << n - kSpriteArm1 + 1 << ": pixels on its last row";
  }
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
