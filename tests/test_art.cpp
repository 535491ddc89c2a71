// The generated resources in res/: bitmap and wave layouts, the shared
// palette, the sprite sheet against the sprite table, a dartboard that
// scores what it shows, the title picture's menu words and the icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "game/match.h"
#include "gfx/surface.h"
#include "platform/resources.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readRes(const std::string &name) {
  std::ifstream in(std::string(TOBELYN_SOURCE_DIR) + "/res/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t u16(const Bytes &b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t u32(const Bytes &b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
int32_t s32(const Bytes &b, size_t at) { return static_cast<int32_t>(u32(b, at)); }

struct Rgb {
  int r, g, b;
};

// An 8-bit bitmap as the game reads it: palette at 40 and pixels at 1064 of
// the resource (the file without its 14-byte header), top row first.
struct Bitmap {
  Bytes file;
  int32_t w = 0, h = 0;
  explicit Bitmap(const std::string &name) : file(readRes(name)) {
    if (file.size() >= 54) {
      w = s32(file, 18);
      h = s32(file, 22);
    }
  }
  uint8_t at(int32_t x, int32_t y) const {
    return file.at(14 + 1064 + static_cast<size_t>(y) * w + x);
  }
  Rgb colour(int index) const {
    size_t p = 14 + 40 + 4 * static_cast<size_t>(index);
    return {file.at(p + 2), file.at(p + 1), file.at(p)};
  }
};

const ResourceEntry *findLinked(uint16_t typeId, const wchar_t *typeName, uint16_t id) {
  for (int i = 0; i < resourceCount; ++i) {
    const ResourceEntry &e = resourceTable[i];
    if (e.id != id) continue;
    if (typeName ? (e.typeName && std::wstring(e.typeName) == typeName) : e.typeId == typeId)
      return &e;
  }
  return nullptr;
}

TEST(ArtBitmaps, HeadersPaletteAndLinkedBytes) {
  struct Case {
    const char *file;
    uint16_t id;
    int32_t w, h;
    size_t resourceBytes;
  };
  const Case cases[] = {{"title.bmp", 119, 240, 320, 77864},
                        {"sprites.bmp", 120, 832, 825, 687464}};
  Bytes firstPalette;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    Bitmap bmp(c.file);
    const Bytes &f = bmp.file;
    ASSERT_EQ(f.size(), c.resourceBytes + 14);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(u32(f, 2), f.size());
    EXPECT_EQ(u32(f, 10), 14u + 40 + 1024);
    const uint32_t info[] = {40, static_cast<uint32_t>(c.w), static_cast<uint32_t>(c.h)};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(u32(f, 14 + 4 * i), info[i]);
    EXPECT_EQ(u16(f, 26), 1u);  // planes
    EXPECT_EQ(u16(f, 28), 8u);  // bits per pixel
    EXPECT_EQ(u32(f, 30), 0u);  // BI_RGB
    EXPECT_EQ(u32(f, 34), 0u);  // image size
    EXPECT_EQ(u32(f, 38), 0u);  // resolutions
    EXPECT_EQ(u32(f, 42), 0u);
    EXPECT_EQ(u32(f, 46), 256u);  // colours used
    EXPECT_EQ(u32(f, 50), 0u);    // colours important

    struct Fixed {
      int index;
      Rgb rgb;
    };
    const Fixed fixed[] = {
        {0, {0, 0, 0}}, {86, {0, 102, 0}}, {240, {255, 0, 114}}, {255, {255, 255, 255}}};
    for (const Fixed &e : fixed) {
      Rgb got = bmp.colour(e.index);
      EXPECT_TRUE(got.r == e.rgb.r && got.g == e.rgb.g && got.b == e.rgb.b) << "index " << e.index;
    }
    Bytes pal(f.begin() + 54, f.begin() + 54 + 1024);
    for (size_t i = 3; i < pal.size(); i += 4) EXPECT_EQ(pal[i], 0) << "reserved byte " << i;
    if (firstPalette.empty()) firstPalette = pal;
    EXPECT_EQ(pal, firstPalette) << "both pictures share one palette";

    // The executable carries the file without its 14-byte header.
    const ResourceEntry *r = findLinked(2, nullptr, c.id);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->size, c.resourceBytes);
    EXPECT_TRUE(std::equal(f.begin() + 14, f.end(), static_cast<const uint8_t *>(r->data)));
  }
}

TEST(ArtSheet, EverySpriteInsideItsRectangleOnTheKey) {
  Bitmap sheet("sprites.bmp");
  ASSERT_EQ(sheet.w, 832);
  ASSERT_EQ(sheet.h, 825);
  std::vector<int> owner(static_cast<size_t>(sheet.w) * sheet.h, -1);
  for (int n = 0; n < DEFINED_SPRITES; ++n) {
    const SpriteRect &r = spriteSheetTable[n];
    ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= sheet.w && r.y + r.h <= sheet.h) << n;
    int figure = 0, key = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        int &o = owner[static_cast<size_t>(y) * sheet.w + x];
        ASSERT_EQ(o, -1) << "sprites " << o << " and " << n << " overlap";
        o = n;
        (sheet.at(x, y) == COLOR_KEY ? key : figure)++;
      }
    }
    EXPECT_GT(figure, 0) << "sprite " << n << " is empty";
    EXPECT_GT(key, 0) << "sprite " << n << " has no transparent ground";
  }
  int stray = 0;
  for (int y = 0; y < sheet.h; ++y)
    for (int x = 0; x < sheet.w; ++x)
      if (owner[static_cast<size_t>(y) * sheet.w + x] < 0 && sheet.at(x, y) != COLOR_KEY) ++stray;
  EXPECT_EQ(stray, 0) << "pixels outside every sprite rectangle";
}

// The ring and sector a dart landing dx, dy from the centre scores, by the
// match's rule: rank 0 bull, 1 outer bull, 2 inner single, 3 triple, 4 outer
// single, 5 double, 6 miss; the sector is 0 where the ring has none.
struct Region {
  int rank, sector;
  bool operator!=(const Region &o) const { return rank != o.rank || sector != o.sector; }
};

Region scoreAt(int dx, int dy) {
  int dist = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
  const int firsts[] = {0, 4, 9, 45, 53, 80, 88};
  int rank = 0;
  for (int i = 0; i < 7; ++i)
    if (dist >= firsts[i]) rank = i;
  if (rank <= 1 || rank == 6) return {rank, 0};
  int angle = dx == 0 ? 89
                      : std::abs(static_cast<int>(std::atan(-static_cast<double>(dy) / dx) *
                                                  57.29577319531843));
  int quadrant = dx >= 0 ? (dy <= 0 ? 0 : 3) : (dy <= 0 ? 1 : 2);
  const int limits[] = {10, 29, 47, 65, 83, 91};
  int band = 0;
  while (angle >= limits[band]) ++band;
  return {rank, sectorTable[band * 4 + quadrant]};
}

enum Look { DARK, CREAM, RED, GREEN, LIGHT, OTHER };

Look lookOf(Rgb c) {
  if (c.r < 80 && c.g < 80 && c.b < 80) return DARK;
  if (c.r >= 150 && c.g < 100 && c.b < 100) return RED;
  if (c.g >= 100 && c.r < 100) return GREEN;
  if (c.r > 200 && c.b < c.r - 40) return CREAM;
  if (c.r >= 150 && std::abs(c.r - c.g) < 30 && std::abs(c.g - c.b) < 30) return LIGHT;
  return OTHER;
}

// Sprite 24 drawn at (8, 16) puts its pixel (112, 112) on the board centre
// (120, 128); every pixel must show what a dart landing there scores.
TEST(ArtBoard, ShowsWhatScores) {
  Bitmap sheet("sprites.bmp");
  const SpriteRect &r = spriteSheetTable[24];
  ASSERT_EQ(r.w, 224);
  ASSERT_EQ(r.h, 224);

  // Mismatches are counted and the first one named, so a broken board
  // reports once instead of once per pixel.
  int bad = 0;
  std::string first;
  auto expect = [&](bool ok, int dx, int dy, const char *what) {
    if (ok) return;
    if (bad++ == 0)
      first = std::string(what) + " at (" + std::to_string(dx) + ", " + std::to_string(dy) + ")";
  };

  // One colour per sector for its beds and one for its rings; dark beds have
  // red rings and cream beds green ones.
  Look bed[21], band[21];
  for (int s = 0; s <= 20; ++s) bed[s] = band[s] = OTHER;
  std::set<std::pair<int, int>> seen;
  int wires = 0;
  for (int dy = -112; dy < 112; ++dy) {
    for (int dx = -112; dx < 112; ++dx) {
      int index = sheet.at(r.x + 112 + dx, r.y + 112 + dy);
      Region g = scoreAt(dx, dy);
      Look look = lookOf(sheet.colour(index));
      if (g.rank == 6) {
        expect(index == COLOR_KEY || (look != RED && look != GREEN && look != CREAM), dx, dy,
               "off-board pixel looks like a bed");
        continue;
      }
      if (look == LIGHT) {  // a wire must sit on an edge between regions
        bool edge = scoreAt(dx + 1, dy) != g || scoreAt(dx - 1, dy) != g ||
                    scoreAt(dx, dy + 1) != g || scoreAt(dx, dy - 1) != g;
        expect(edge, dx, dy, "wire inside a region");
        ++wires;
        continue;
      }
      seen.insert({g.rank, g.sector});
      if (g.rank == 0) {
        expect(look == RED, dx, dy, "bull not red");
      } else if (g.rank == 1) {
        expect(look == GREEN, dx, dy, "outer bull not green");
      } else if (g.rank == 2 || g.rank == 4) {
        expect(look == DARK || look == CREAM, dx, dy, "single bed neither dark nor cream");
        if (bed[g.sector] == OTHER) bed[g.sector] = look;
        expect(look == bed[g.sector], dx, dy, "bed colour changes within its sector");
      } else {
        expect(look == RED || look == GREEN, dx, dy, "double or triple neither red nor green");
        if (band[g.sector] == OTHER) band[g.sector] = look;
        expect(look == band[g.sector], dx, dy, "ring colour changes within its sector");
      }
    }
  }
  EXPECT_EQ(bad, 0) << "first: " << first;
  EXPECT_GT(wires, 0);
  // Every ring of every sector shows some of its own colour, so no region is
  // lost under its wires.
  EXPECT_EQ(seen.size(), 2u + 4 * 20);
  // Neighbouring sectors alternate, clockwise from the top.
  const int order[] = {20, 1, 18, 4, 13, 6, 10, 15, 2, 17, 3, 19, 7, 16, 8, 11, 14, 9, 12, 5};
  for (int i = 0; i < 20; ++i) {
    int s = order[i], next = order[(i + 1) % 20];
    EXPECT_NE(bed[s], bed[next]) << s << " and " << next;
    EXPECT_EQ(band[s], bed[s] == DARK ? RED : GREEN) << "sector " << s;
  }
}

// The pale board is the same picture in other colours: one pale index for
// each full-board index, pixel for pixel.
TEST(ArtBoard, PaleBoardLinesUp) {
  Bitmap sheet("sprites.bmp");
  const SpriteRect &full = spriteSheetTable[24], &pale = spriteSheetTable[75];
  ASSERT_EQ(pale.w, full.w);
  ASSERT_EQ(pale.h, full.h);
  int map[256];
  for (int &m : map) m = -1;
  for (int y = 0; y < full.h; ++y) {
    for (int x = 0; x < full.w; ++x) {
      int a = sheet.at(full.x + x, full.y + y), b = sheet.at(pale.x + x, pale.y + y);
      ASSERT_EQ(a == COLOR_KEY, b == COLOR_KEY) << x << ", " << y;
      if (map[a] < 0) map[a] = b;
      ASSERT_EQ(map[a], b) << "at " << x << ", " << y;
    }
  }
}

// Each menu word lies in its row's band (the first and last rows of a band
// stay clear, so no word crosses into the next), right of the cursor column
// and not beyond x 230.
TEST(ArtTitle, MenuWordsInTheirRows) {
  Bitmap title("title.bmp");
  ASSERT_EQ(title.w, 240);
  ASSERT_EQ(title.h, 320);
  auto isWord = [&](int x, int y) {
    Rgb c = title.colour(title.at(x, y));
    return !(c.g > c.r + 20 && c.g > c.b);  // the wall behind is green
  };
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    int top = 112 + 32 * row, minX = 240, maxX = -1;
    for (int y = top; y < top + 32; ++y) {
      for (int x = 128; x < 240; ++x) {
        if (!isWord(x, y)) continue;
        EXPECT_TRUE(y != top && y != top + 31) << "word on the band's edge at " << x << ", " << y;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
      }
    }
    EXPECT_GE(minX, 144);
    EXPECT_LE(maxX, 230);
    EXPECT_GE(maxX - minX, 30) << "a word is there";
  }
}

TEST(ArtSounds, WaveLayoutLengthAndLevel) {
  struct Case {
    const char *file;
    uint16_t id;
    uint32_t samples;
  };
  const Case cases[] = {{"confirm.wav", 122, 24696},
                        {"cancel.wav", 127, 6615},
                        {"throw.wav", 128, 4321},
                        {"bull.wav", 129, 33075}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    Bytes f = readRes(c.file);
    ASSERT_GE(f.size(), 44u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(u32(f, 4), f.size() - 8);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), "WAVEfmt ");
    const uint32_t fmt[] = {16, 1 | 1 << 16, 44100, 88200, 2 | 16 << 16};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(u32(f, 16 + 4 * i), fmt[i]) << "fmt word " << i;
    EXPECT_EQ(std::string(f.begin() + 36, f.begin() + 40), "data");
    uint32_t bytes = u32(f, 40);
    ASSERT_EQ(bytes + 44, f.size());
    uint32_t n = bytes / 2;
    EXPECT_NEAR(static_cast<double>(n), c.samples, c.samples * 0.1);

    int peak = 0;
    for (uint32_t i = 0; i < n; ++i)
      peak = std::max(peak, std::abs(static_cast<int16_t>(u16(f, 44 + 2 * i))));
    EXPECT_GE(peak, 26000) << "peaks normalised to about -1 dBFS";
    EXPECT_LE(peak, 29500);
    // Faded at both ends: no click when the sound starts or is cut off.
    for (uint32_t i : {0u, 1u, n - 2, n - 1})
      EXPECT_LE(std::abs(static_cast<int16_t>(u16(f, 44 + 2 * i))), 300) << "sample " << i;

    const ResourceEntry *r = findLinked(0, L"WAVE", c.id);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->size, f.size());
    EXPECT_TRUE(std::equal(f.begin(), f.end(), static_cast<const uint8_t *>(r->data)));
  }
}

TEST(ArtIcon, ThreeBgraImages) {
  Bytes f = readRes("tobelyn.ico");
  ASSERT_GE(f.size(), 6u + 3 * 16);
  EXPECT_EQ(u16(f, 0), 0u);
  EXPECT_EQ(u16(f, 2), 1u);
  ASSERT_EQ(u16(f, 4), 3u);
  const uint32_t sizes[] = {16, 32, 48};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(sizes[i]);
    size_t e = 6 + 16 * i;
    uint32_t s = sizes[i];
    EXPECT_EQ(f[e], s);
    EXPECT_EQ(f[e + 1], s);
    EXPECT_EQ(u16(f, e + 6), 32u);
    uint32_t len = u32(f, e + 8), off = u32(f, e + 12);
    uint32_t mask = (s + 31) / 32 * 4 * s;
    ASSERT_EQ(len, 40 + 4 * s * s + mask);
    ASSERT_LE(off + len, f.size());
    EXPECT_EQ(u32(f, off), 40u) << "a bitmap header, not PNG data";
    EXPECT_EQ(s32(f, off + 4), static_cast<int32_t>(s));
    EXPECT_EQ(s32(f, off + 8), static_cast<int32_t>(2 * s));
    EXPECT_EQ(u16(f, off + 14), 32u);
    EXPECT_EQ(u32(f, off + 16), 0u);
    // Rows bottom first: the corner is clear, the middle solid.
    auto alpha = [&](uint32_t x, uint32_t y) {
      return f[off + 40 + 4 * ((s - 1 - y) * s + x) + 3];
    };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(s / 2, s / 2), 255);
  }
  const ResourceEntry *r = findLinked(14, nullptr, 101);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->size, f.size());
}

}  // namespace
