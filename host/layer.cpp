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
  // Its top edge below the aim pointer's strip (y 0 to 15), which stays
  // whole above it, dimmed with the rest of the game.
  layerFill(layer, 7, kPanelTop - 1, kLayerWidth - 14, kLayerHeight - kPanelTop - 6, {0, 0, 0});
  layerFill(layer, 8, kPanelTop, kLayerWidth - 16, kLayerHeight - kPanelTop - 8, kEdgeColour);
  layerFill(layer, 10, kPanelTop + 2, kLayerWidth - 20, kLayerHeight - kPanelTop - 12,
            kPanelColour);
  layerTextCentred(layer, kPanelTop + 4, title, kChosenColour, 2);
  layerFill(layer, 20, 40, kLayerWidth - 40, 1, kEdgeColour);
}

void dimFrame(uint16_t *pixels, int32_t count, bool is555) {
  // Each channel halved: its top bit dropped after the shift.
  const uint16_t keep = is555 ? 0x3DEF : 0x7BEF;
  for (int32_t i = 0; i < count; ++i) pixels[i] = static_cast<uint16_t>((pixels[i] >> 1) & keep);
}

namespace {

// A row whose value is a bar: the label, then a step a cell, each cell a
// little taller than the one before, lit up to the value.
constexpr int32_t kMeterCell = 6;
void drawMeterRow(HostLayer &layer, const HostRowBox &box, int32_t y, const char *label,
                  const HostRow &row) {
  const int32_t barWidth = row.meterSteps * kMeterCell - 1;
  const int32_t x = box.x + (box.w - textWidth(label) - 6 - barWidth) / 2;
  const int32_t textY = y + (box.h - kTextHeight) / 2;
  const HostColour c = row.chosen ? kChosenColour : kTextColour;
  layerText(layer, x, textY, label, c);
  const int32_t barX = x + textWidth(label) + 6;
  for (int32_t i = 0; i < row.meterSteps; ++i) {
    const int32_t h = 3 + i * (kTextHeight + 2 - 3) / (row.meterSteps > 1 ? row.meterSteps - 1 : 1);
    const int32_t cellY = textY + kTextHeight + 1 - h;
    const bool lit = i < row.meterFilled;
    layerFill(layer, barX + i * kMeterCell, cellY, kMeterCell - 1, h, lit ? c : kMeterOff);
  }
}

}  // namespace

namespace {

// A row's words never leave its box: a text too wide loses its end to "...".
void fitWidth(char *text, size_t size, int32_t width) {
  if (textWidth(text) <= width) return;
  std::string kept(text);
  while (!kept.empty() && textWidth((kept + "...").c_str()) > width) kept.pop_back();
  std::snprintf(text, size, "%s...", kept.c_str());
}

}  // namespace

void layerRows(HostLayer &layer, const HostRow *rows, int32_t count, const HostRowBox &box) {
  for (int32_t i = 0; i < count; ++i) {
    const HostRow &row = rows[i];
    const int32_t y = box.y + i * box.step;
    if (row.label[0] == 0) continue;  // a gap: nothing drawn, the rows below keep their place
    if (row.chosen) {
      layerFill(layer, box.x, y, box.w, box.h, kEdgeColour);
      layerFill(layer, box.x + 1, y + 1, box.w - 2, box.h - 2, kChosenFill);
    }
    char text[sizeof row.label + sizeof row.value + 2];
    if (row.meterSteps > 0) {
      std::snprintf(text, sizeof text, "%s:", row.label);
      drawMeterRow(layer, box, y, text, row);
      continue;
    }
    if (row.value[0] != 0)
      std::snprintf(text, sizeof text, "%s: %s", row.label, row.value);
    else
      std::snprintf(text, sizeof text, "%s", row.label);
    fitWidth(text, sizeof text, box.w - 4);
    const int32_t textY = y + (box.h - kTextHeight) / 2;
    layerText(layer, box.x + (box.w - textWidth(text)) / 2, textY, text,
              row.chosen ? kChosenColour : kTextColour);
  }
}

int32_t layerRowAt(int32_t x, int32_t y, const HostRowBox &box) {
  if (x < box.x || x >= box.x + box.w || y < box.y) return -1;
  const int32_t row = (y - box.y) / box.step;
  return (y - box.y) % box.step < box.h ? row : -1;
}

namespace {

// The menu's panel: narrow, its rows at the one text scale, centred, so
// the dimmed game shows round it (the aim pointer's strip above it stays
// clear of its edge).
constexpr int32_t kMenuPanelWidth = 156;
constexpr int32_t kMenuTitleRoom = 34;  // the heading and its rule
constexpr int32_t kMenuFootRoom = 16;   // "B: back"

}  // namespace

HostMenuPanel menuPanel(int32_t rows, bool foot) {
  HostMenuPanel p;
  const int32_t h = kMenuTitleRoom + rows * kPageRows.step + 4 + (foot ? kMenuFootRoom : 0);
  p.rect = {(kLayerWidth - kMenuPanelWidth) / 2, (kLayerHeight - h) / 2, kMenuPanelWidth, h};
  p.rows = {p.rect.x + 8, p.rect.y + kMenuTitleRoom, kMenuPanelWidth - 16, kPageRows.step,
            kPageRows.h};
  p.footY = foot ? p.rect.y + h - kMenuFootRoom + 2 : -1;
  return p;
}

void drawMenuPanel(HostLayer &layer, const HostMenuPanel &p, const char *title) {
  std::snprintf(panelTitle, sizeof panelTitle, "%s", title);
  std::snprintf(footWords, sizeof footWords, "%s", p.footY >= 0 ? "B: back" : "");
  const HostRect &r = p.rect;
  layerFill(layer, r.x - 1, r.y - 1, r.w + 2, r.h + 2, {0, 0, 0});
  layerFill(layer, r.x, r.y, r.w, r.h, kEdgeColour);
  layerFill(layer, r.x + 2, r.y + 2, r.w - 4, r.h - 4, kPanelColour);
  layerTextCentred(layer, r.y + 8, title, kChosenColour, 2);
  layerFill(layer, r.x + 8, r.y + 28, r.w - 16, 1, kEdgeColour);
  if (p.footY >= 0) layerTextCentred(layer, p.footY + 2, "B: back", kQuietColour);
}

namespace {

// The bar of buttons at the foot of a page: "<", "Back", ">".
constexpr int32_t kFootTop = 282;
constexpr int32_t kFootHeight = 22;

}  // namespace

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
