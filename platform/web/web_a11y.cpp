// The browser's side of the screen reader: what the host says, queued for
// the page's live region, and the menu's page as JSON for the page's mirror
// of it (platform/web/site/a11y.js builds the controls). The page asks for
// both once a frame; the host is reached only through host_link.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "platform/common/host_link.h"

namespace {

std::string pending;  // announcements not yet taken, a line each
std::string taken;
std::string pageJson;

void said(const char *text) {
  if (pending.size() < 16384) pending += std::string(text) + "\n";
}

const SpeechOut kSpeechOut = {.said = said, .speak = nullptr};

void quoted(std::string &out, const char *text) {
  out += '"';
  for (const char *p = text; *p != 0; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c >= 0x20) {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

}  // namespace

extern "C" {

// The page takes its live region's words from here.
EMSCRIPTEN_KEEPALIVE void webA11yStart() { platformSetSpeechOut(&kSpeechOut); }

// The announcements since the last call, a line each ("" for none).
EMSCRIPTEN_KEEPALIVE const char *webTakeSaid() {
  taken.swap(pending);
  pending.clear();
  return taken.c_str();
}

// The menu's page now: {"open":0} while it is closed, else its name, title,
// foot words, rows (label, value, chosen) and the words of a page of text.
EMSCRIPTEN_KEEPALIVE const char *webReaderPage() {
  static LinkPage page;
  pageJson = "{\"open\":";
  if (!platformHostPage(&page) || !page.open) return (pageJson += "0}").c_str();
  pageJson += "1,\"name\":";
  quoted(pageJson, page.name);
  pageJson += ",\"title\":";
  quoted(pageJson, page.title);
  pageJson += ",\"foot\":";
  quoted(pageJson, page.foot);
  pageJson += ",\"text\":";
  quoted(pageJson, page.text);
  pageJson += ",\"rows\":[";
  for (int32_t i = 0; i < page.rowCount; ++i) {
    if (i > 0) pageJson += ',';
    pageJson += "{\"label\":";
    quoted(pageJson, page.rows[i].label);
    pageJson += ",\"value\":";
    quoted(pageJson, page.rows[i].value);
    pageJson += page.rows[i].chosen ? ",\"chosen\":1}" : ",\"chosen\":0}";
  }
  return (pageJson += "]}").c_str();
}

// A row of the mirror was clicked.
EMSCRIPTEN_KEEPALIVE void webChooseRow(int row) { platformChooseRow(row); }

}  // extern "C"
