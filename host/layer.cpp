// Drawing the host's layer: panels, text in the host's pixel font, the rows
// and foot of a page, the dimmed game behind the menu.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/host_internal.h"
#include "res/host_font.h"

namespace {
// What the last page drawn said in its title and its foot bar (the screen
// reader's mirror reads them).
char panelTitle[48];
char footWords[64];
std::string *textSink;  // every text drawn goes here too while set
}  // namespace

void layerTextSink(std::string *sink) { textSink = sink; }

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
  if (textSink != nullptr) *textSink += std::string(text) + "\n";
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

const char *layerPanelTitle() { return panelTitle; }
const char *layerFootWords() { return footWords; }

void layerPanel(HostLayer &layer, const char *title) {
  std::snprintf(panelTitle, sizeof panelTitle, "%s", title);
  footWords[0] = 0;
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

namespace {

// Rows of a list page: their top, height and the room between them.
constexpr int32_t kRowTop = 52;
constexpr int32_t kRowStep = 28;
constexpr int32_t kRowHeight = 24;
constexpr int32_t kRowLeft = 16;
constexpr int32_t kRowWidth = kLayerWidth - 32;
// The bar of buttons at the foot of a page: "<", "Back", ">".
constexpr int32_t kFootTop = 282;
constexpr int32_t kFootHeight = 22;

}  // namespace

void layerRows(HostLayer &layer, const HostRow *rows, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const HostRow &row = rows[i];
    const int32_t y = kRowTop + i * kRowStep;
    if (row.label[0] == 0) continue;  // a gap: nothing drawn, the rows below keep their place
    if (row.chosen) layerFill(layer, kRowLeft, y, kRowWidth, kRowHeight, kEdgeColour);
    if (row.chosen)
      layerFill(layer, kRowLeft + 1, y + 1, kRowWidth - 2, kRowHeight - 2, kPanelColour);
    char text[sizeof row.label + sizeof row.value + 2];
    if (row.value[0] != 0)
      std::snprintf(text, sizeof text, "%s: %s", row.label, row.value);
    else
      std::snprintf(text, sizeof text, "%s", row.label);
    layerTextCentred(layer, y + 5, text, row.chosen ? kChosenColour : kTextColour, 2);
  }
}

int32_t layerRowAt(int32_t x, int32_t y) {
  if (x < kRowLeft || x >= kRowLeft + kRowWidth || y < kRowTop) return -1;
  const int32_t row = (y - kRowTop) / kRowStep;
  return (y - kRowTop) % kRowStep < kRowHeight ? row : -1;
}

void drawFoot(HostLayer &layer, const char *middle) {
  std::snprintf(footWords, sizeof footWords, "%s", middle);
  layerFill(layer, 16, kFootTop, kLayerWidth - 32, 1, kEdgeColour);
  layerText(layer, 20, kFootTop + 6, "<", kTextColour, 2);
  layerTextCentred(layer, kFootTop + 6, middle, kQuietColour);
  layerText(layer, kLayerWidth - 20 - textWidth(">", 2), kFootTop + 6, ">", kTextColour, 2);
}

FootButton footButtonAt(int32_t x, int32_t y) {
  if (y < kFootTop || y >= kFootTop + kFootHeight + 8) return FootButton::kNone;
  if (x < 72) return FootButton::kPrevious;
  if (x >= kLayerWidth - 72) return FootButton::kNext;
  return FootButton::kBack;
}
