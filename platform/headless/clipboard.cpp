// The headless backend's clipboard: a text in memory that a share writes
// and a paste reads, so that tests see what a player would have copied.
#include "platform/headless/clipboard.h"

#include <string>

#include "platform/common/code_link.h"

namespace {

std::string clipboard;

const char *share(const char *code) {
  clipboard = code;
  return "Code copied to the clipboard.";
}

bool paste(std::string *text) {
  if (clipboard.empty()) return false;
  *text = clipboard;
  return true;
}

const CodeShareOut kShareOut = {.share = share, .paste = paste};

}  // namespace

void headlessUseClipboard() { platformSetCodeShare(&kShareOut); }
void headlessSetClipboard(const char *text) { clipboard = text; }
const std::string &headlessClipboard() { return clipboard; }
