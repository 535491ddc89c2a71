// Windows' clipboard for match codes: a share copies the code there as
// text, Ctrl+V on the host's "Watch or answer" page reads it. A code is
// plain ASCII, so it widens and narrows letter for letter; anything else
// pasted stays as it is, for the host to refuse.
#include <windows.h>

#include <cstring>
#include <string>

#include "desktop.h"
#include "platform/common/code_link.h"

namespace {

const char *share(const char *code) {
  const size_t length = std::strlen(code);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (length + 1) * sizeof(wchar_t));
  if (memory == nullptr) return nullptr;
  auto *wide = static_cast<wchar_t *>(GlobalLock(memory));
  for (size_t i = 0; i < length; ++i) wide[i] = static_cast<unsigned char>(code[i]);
  wide[length] = 0;
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return nullptr;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) {
    GlobalFree(memory);
    return nullptr;
  }
  return "Code copied to the clipboard.";
}

bool paste(std::string *text) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return false;
  text->clear();
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto *wide = data != nullptr ? static_cast<const wchar_t *>(GlobalLock(data)) : nullptr;
  if (wide != nullptr) {
    for (size_t i = 0; wide[i] != 0 && i <= kReceivedCodeMax; ++i)
      text->push_back(wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?');
    GlobalUnlock(data);
  }
  CloseClipboard();
  return !text->empty();
}

const CodeShareOut kShareOut = {.share = share, .paste = paste};

}  // namespace

void installClipboard() { platformSetCodeShare(&kShareOut); }
