// The desktop's clipboard for match codes: a share copies the code there,
// Ctrl+V on the host's "Watch or answer" page reads it.
#include <SDL.h>

#include <string>

#include "platform/common/code_link.h"
#include "platform/sdl/backend_state.h"

namespace {

const char *share(const char *code) {
  if (SDL_SetClipboardText(code) != 0) return nullptr;
  return "Code copied to the clipboard.";
}

bool paste(std::string *text) {
  if (SDL_HasClipboardText() != SDL_TRUE) return false;
  char *got = SDL_GetClipboardText();
  if (got == nullptr) return false;
  const size_t length = SDL_strlen(got);
  text->assign(got, length < kReceivedCodeMax + 1 ? length : kReceivedCodeMax + 1);
  SDL_free(got);
  return !text->empty();
}

const CodeShareOut kShareOut = {.share = share, .paste = paste};

}  // namespace

void installClipboard() { platformSetCodeShare(&kShareOut); }
