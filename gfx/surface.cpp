// The eight drawing surfaces and their colour tables: opening the display,
// making a surface from a linked bitmap (read where it lies) or as an empty
// buffer, and the operations on a whole surface or palette.
#include "gfx/surface.h"

#include <cstdlib>
#include <cstring>

Surface surfaceTable[kSurfaceCount];
GXDisplayProperties displayProperties;

namespace {

// Blocks this library allocated for blank surfaces, per slot. They are kept
// apart from the surface records so that emptying the table (openDisplay)
// never loses them and re-creating a blank slot can give the old ones back.
uint8_t *ownedPixels[kSurfaceCount];
PaletteEntry *ownedPalette[kSurfaceCount];

constexpr int32_t kBitmapPaletteOffset = 40;
constexpr int32_t kBitmapPixelsOffset = 1064;

int32_t readLe32(const uint8_t *p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Gives back whatever blank-surface blocks the slot still holds.
void releaseOwned(int32_t slot) {
  std::free(ownedPixels[slot]);
  std::free(ownedPalette[slot]);
  ownedPixels[slot] = nullptr;
  ownedPalette[slot] = nullptr;
}

}  // namespace

int32_t openDisplay(HWND window) {
  if (GXOpenDisplay(window, GX_FULLSCREEN) == 0) return kGfxFailed;
  displayProperties = GXGetDisplayProperties();
  std::memset(surfaceTable, 0, sizeof surfaceTable);
  std::memset(spriteSurface, 0, sizeof spriteSurface);
  std::memset(spriteX, 0, sizeof spriteX);
  std::memset(spriteY, 0, sizeof spriteY);
  std::memset(spriteW, 0, sizeof spriteW);
  std::memset(spriteH, 0, sizeof spriteH);
  return kGfxOk;
}

int32_t shutdownDisplay() {
  GXCloseDisplay();
  return kGfxOk;
}

int32_t createSurface(int32_t slot, HINSTANCE module, int32_t resourceId, int32_t width,
                      int32_t height) {
  if (!validSurfaceSlot(slot)) return kGfxFailed;
  Surface &s = surfaceTable[slot];

  if (resourceId != 0) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(static_cast<WORD>(resourceId)), RT_BITMAP);
    if (found == nullptr) return kGfxNoSuchBitmap;
    auto *data = static_cast<uint8_t *>(LockResource(LoadResource(module, found)));
    if (data == nullptr) return kGfxBitmapNotLoaded;
    int32_t bitmapWidth = readLe32(data + 4);
    int32_t bitmapHeight = readLe32(data + 8);
    s.palette = reinterpret_cast<PaletteEntry *>(data + kBitmapPaletteOffset);
    // AS-DESIGNED: the first stored row is the top row, although the header's
    // height is positive; the committed bitmaps are written that way.
    s.pixels = data + kBitmapPixelsOffset;
    s.height = bitmapHeight;
    s.stride = bitmapWidth % 4 != 0 ? (bitmapWidth / 4 + 1) * 4 : bitmapWidth;
    return kGfxOk;
  }

  int64_t stride = width;
  int64_t rows = height;
  if (width == 0) {
    stride = displayProperties.cxWidth;
    rows = displayProperties.cyHeight;
  }
  releaseOwned(slot);
  // A negative or absurd size cannot be allocated; it is refused like an
  // allocation failure and leaves an empty surface that nothing writes to.
  int64_t bytes = stride * rows;
  bool sane = stride >= 0 && rows >= 0 && stride <= INT32_MAX && rows <= INT32_MAX &&
              bytes <= (int64_t{1} << 31);
  uint8_t *pixels = sane ? static_cast<uint8_t *>(std::malloc(bytes > 0 ? bytes : 1)) : nullptr;
  if (pixels == nullptr) {
    s.pixels = nullptr;
    s.palette = nullptr;
    s.stride = 0;
    s.height = 0;
    return kGfxFailed;
  }
  ownedPixels[slot] = pixels;
  s.pixels = pixels;
  s.stride = static_cast<int32_t>(stride);
  s.height = static_cast<int32_t>(rows);
  auto *palette = static_cast<PaletteEntry *>(std::malloc(kPaletteBytes));
  ownedPalette[slot] = palette;
  s.palette = palette;
  if (palette == nullptr) return kGfxNoPaletteMemory;
  return kGfxOk;
}

int32_t clearSurface(int32_t slot, int32_t colour) {
  if (!validSurfaceSlot(slot)) return kGfxFailed;
  const Surface &s = surfaceTable[slot];
  if (s.pixels == nullptr || s.stride <= 0 || s.height <= 0) return kGfxOk;
  std::memset(s.pixels, colour & 0xFF, static_cast<size_t>(s.stride) * s.height);
  return kGfxOk;
}

int32_t fillRect(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t colour) {
  if (!validSurfaceSlot(slot)) return kGfxFailed;
  const Surface &s = surfaceTable[slot];
  if (s.pixels == nullptr) return kGfxOk;
  // Clipped to the surface, so a stray rectangle can never write outside it.
  int64_t x0 = left < 0 ? 0 : left;
  int64_t y0 = top < 0 ? 0 : top;
  int64_t x1 = right > s.stride ? s.stride : right;
  int64_t y1 = bottom > s.height ? s.height : bottom;
  if (x1 <= x0 || y1 <= y0) return kGfxOk;
  uint8_t *row = s.pixels + s.stride * y0 + x0;
  for (int64_t y = y0; y < y1; ++y, row += s.stride) {
    std::memset(row, colour & 0xFF, static_cast<size_t>(x1 - x0));
  }
  return kGfxOk;
}

int32_t getPalette(int32_t slot, PaletteEntry *out) {
  if (!validSurfaceSlot(slot)) return kGfxFailed;
  const Surface &s = surfaceTable[slot];
  if (s.palette == nullptr || out == nullptr) return kGfxFailed;
  std::memcpy(out, s.palette, kPaletteBytes);
  return kGfxOk;
}

int32_t setPalette(int32_t slot, const PaletteEntry *in) {
  if (!validSurfaceSlot(slot)) return kGfxFailed;
  const Surface &s = surfaceTable[slot];
  if (s.palette == nullptr || in == nullptr) return kGfxFailed;
  std::memmove(s.palette, in, kPaletteBytes);
  return kGfxOk;
}

int32_t fillPalette(int32_t slot, int32_t red, int32_t green, int32_t blue) {
  if (!validSurfaceSlot(slot)) return kGfxFailed;
  const Surface &s = surfaceTable[slot];
  if (s.palette == nullptr) return kGfxFailed;
  for (int32_t i = 0; i < kPaletteEntries; ++i) {
    s.palette[i].red = static_cast<uint8_t>(red);
    s.palette[i].green = static_cast<uint8_t>(green);
    s.palette[i].blue = static_cast<uint8_t>(blue);
  }
  return kGfxOk;
}
