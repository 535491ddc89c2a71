// The screen reader's mirror of the menu: the page shown, as data a
// backend can build its own controls from (its title, rows, foot bar, and
// the words of a page with no rows), and a row chosen from there as if by
// the keys. It reaches the backends only through platform/common/host_link.h.
#include <cstdio>
#include <string>

#include "host/host_internal.h"

namespace {

// The page drawn aside, never shown: only its words are read.
uint16_t scratch[kLayerWidth * kLayerHeight];

void copyText(char *to, size_t size, const char *from) { std::snprintf(to, size, "%s", from); }

bool readPage(LinkPage *out) {
  if (!hostEnabled()) return false;
  out->open = hostMenuOpen();
  if (!out->open) return true;
  copyText(out->name, sizeof out->name, hostPageName());
  std::string words;
  HostLayer layer{scratch, false};
  layerTextSink(&words);
  const bool drawn = hostDrawPage(layer);
  layerTextSink(nullptr);
  if (!drawn) return true;
  copyText(out->title, sizeof out->title, layerPanelTitle());
  copyText(out->foot, sizeof out->foot, layerFootWords());
  HostRow rows[kHostRowsMax];
  const int32_t n = hostPageRows(rows, kHostRowsMax);
  for (int32_t i = 0; i < n && i < kLinkRowsMax; ++i) {
    LinkRow &row = out->rows[out->rowCount++];
    copyText(row.label, sizeof row.label, rows[i].label);
    copyText(row.value, sizeof row.value, rows[i].value);
    row.chosen = rows[i].chosen;
  }
  // A page of words: everything it drew but its title and foot.
  if (out->rowCount == 0) {
    std::string text;
    for (size_t start = 0; start < words.size();) {
      size_t end = words.find('\n', start);
      if (end == std::string::npos) end = words.size();
      const std::string line = words.substr(start, end - start);
      start = end + 1;
      if (line.empty() || line == out->title || line == out->foot || line == "<" || line == ">")
        continue;
      text += line + "\n";
    }
    copyText(out->text, sizeof out->text, text.c_str());
  }
  return true;
}

int32_t chosenRow(HostRow *rows, int32_t *count) {
  *count = hostPageRows(rows, kHostRowsMax);
  for (int32_t i = 0; i < *count; ++i)
    if (rows[i].chosen) return i;
  return -1;
}

// The cursor goes down to the row (the page's keys skip rows that cannot
// be chosen), then the row is confirmed; a row the cursor never reaches is
// left alone.
void chooseRow(int32_t row) {
  HostRow rows[kHostRowsMax];
  int32_t count = 0;
  if (chosenRow(rows, &count) < 0 || row < 0 || row >= count) return;
  for (int32_t tries = 0; tries < 2 * kHostRowsMax && chosenRow(rows, &count) != row; ++tries)
    hostPageAction(HostAction::kDown);
  if (chosenRow(rows, &count) == row) hostPageAction(HostAction::kConfirm);
}

const HostReader kReader = {.page = readPage, .chooseRow = chooseRow};

}  // namespace

void registerReader() { platformSetHostReader(&kReader); }
