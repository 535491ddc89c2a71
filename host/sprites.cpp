// The game's own sprites drawn into the host's layer, as the game loaded
// them (its sheet and palette): whole, a part of one, or at half size.
#include "gfx/surface.h"
#include "host/host_internal.h"

bool layerSprite(HostLayer &layer, int32_t sprite, int32_t x, int32_t y, const HostRect *part,
                 int32_t shrink) {
  if (sprite < 0 || sprite >= kSpriteCount || shrink < 1) return false;
  const int32_t slot = spriteSurface[sprite];
  if (!validSurfaceSlot(slot)) return false;
  const Surface &sheet = surfaceTable[slot];
  HostRect r = {0, 0, spriteW[sprite], spriteH[sprite]};
  if (part != nullptr) r = *part;
  const int32_t sx = spriteX[sprite] + r.x, sy = spriteY[sprite] + r.y;
  if (sheet.pixels == nullptr || sheet.palette == nullptr || sx < 0 || sy < 0 ||
      sx + r.w > sheet.stride || sy + r.h > sheet.height)
    return false;
  for (int32_t row = 0; row < r.h; row += shrink)
    for (int32_t col = 0; col < r.w; col += shrink) {
      const uint8_t index = sheet.pixels[(sy + row) * sheet.stride + sx + col];
      if (index == COLOR_KEY) continue;
      const PaletteEntry &p = sheet.palette[index];
      layerFill(layer, x + col / shrink, y + row / shrink, 1, 1, {p.red, p.green, p.blue});
    }
  return true;
}
