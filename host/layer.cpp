// Drawing the host's layer: panels, text in the host's pixel font, the dimmed
// game behind the menu, and the one-line hint.
#include <cstring>

#include "host/host_internal.h"
#include "res/host_font.h"

namespace {

const HostGlyph *glyphOf(char c) {
  const int code = static_cast<unsigned char>(c);
  if (code >= HOST_FONT_FIRST && code <= HOST_FONT_LAST && hostFont[code - HOST_FONT_FIRST].width)
    return &hostFont[code - HOST_FONT_FIRST];
  return &hostFont['?' - HOST_FONT_FIRST];
}

void plot(HostLayer &layer, int32_t x, int32_t y, uint16_t value) {
  if (x < 0 || y < 0 || x >= kLayerWidth || y >= kLayerHeight) return;
  layer.pixels[y * kLayerWidth + x] = value;
}

}  // namespace

uint16_t hostPixel(HostColour c, bool is555) {
  if (is555) return static_cast<uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
  return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

void layerFill(HostLayer &layer, int32_t x, int32_t y, int32_t w, int32_t h, HostColour c) {
  const uint16_t value = hostPixel(c, layer.is555);
  for (int32_t row = y; row < y + h; ++row)
    for (int32_t col = x; col < x + w; ++col) plot(layer, col, row, value);
}

int32_t textWidth(const char *text, int32_t scale) {
  int32_t width = 0;
  for (const char *p = text; *p != 0; ++p) width += (glyphOf(*p)->width + 1) * scale;
  return width > 0 ? width - scale : 0;
}

int32_t layerText(HostLayer &layer, int32_t x, int32_t y, const char *text, HostColour c,
                  int32_t scale) {
  const uint16_t value = hostPixel(c, layer.is555);
  const int32_t start = x;
  for (const char *p = text; *p != 0; ++p) {
    const HostGlyph *g = glyphOf(*p);
    for (int32_t row = 0; row < 9; ++row)
      for (int32_t col = 0; col < g->width; ++col)
        if (g->rows[row] & (0x80 >> col))
          for (int32_t dy = 0; dy < scale; ++dy)
            for (int32_t dx = 0; dx < scale; ++dx)
              plot(layer, x + col * scale + dx, y + row * scale + dy, value);
    x += (g->width + 1) * scale;
  }
  return x - start;
}

void layerTextCentred(HostLayer &layer, int32_t y, const char *text, HostColour c, int32_t scale) {
  layerText(layer, (kLayerWidth - textWidth(text, scale)) / 2, y, text, c, scale);
}

void layerPanel(HostLayer &layer, const char *title) {
  layerFill(layer, 8, 8, kLayerWidth - 16, kLayerHeight - 16, kEdgeColour);
  layerFill(layer, 10, 10, kLayerWidth - 20, kLayerHeight - 20, kPanelColour);
  layerTextCentred(layer, 18, title, kChosenColour, 2);
  layerFill(layer, 20, 40, kLayerWidth - 40, 1, kEdgeColour);
}

void dimFrame(uint16_t *pixels, int32_t count, bool is555) {
  // Each channel halved: its top bit dropped after the shift.
  const uint16_t keep = is555 ? 0x3DEF : 0x7BEF;
  for (int32_t i = 0; i < count; ++i) pixels[i] = static_cast<uint16_t>((pixels[i] >> 1) & keep);
}

void drawMenu(uint16_t *pixels, bool is555) {
  HostLayer layer{pixels, is555};
  const char *name = hostPageName();
  for (int i = 0; i < hostPageCount(); ++i) {
    const HostPage *page = hostPageAt(i);
    if (std::strcmp(page->name, name) == 0) {
      page->draw(layer);
      return;
    }
  }
}

void drawHint(uint16_t *pixels, bool is555, const HostView &view) {
  const char *text = hintFor(view);
  HostRect box;
  if (text == nullptr || !hintBox(view, &box)) return;
  HostLayer layer{pixels, is555};
  layerFill(layer, box.x, box.y, box.w, box.h, kPanelColour);
  layerText(layer, box.x + 3, box.y + 2, text, kTextColour);
}
