// Entry of the desktop game.
#include <cstdio>
#include <cstring>

#include "app/app.h"

#ifndef TOBELYN_VERSION
#define TOBELYN_VERSION "0"
#endif

namespace {

const char kHelp[] =
    "Usage: tobelyn [--help | --version]\n"
    "A darts game for one to four players.\n"
    "\n"
    "Keys: arrows move (Left/Right switch the sound on the option screen), Enter is A\n"
    "(confirm, throw), Escape is B (back), C is C, S is Start; F11 or Alt+Enter full\n"
    "screen, F10 fit the window, F1 the menu (how to play, settings, quit). A\n"
    "gamepad plays too. Keys are redefined on the option screen. Minimising the\n"
    "window pauses the game; closing it ends the game.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/tobelyn/settings (default ~/.config/tobelyn/settings);\n"
    "the window's size and mode beside it in window, the menu's in host.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

}  // namespace

int main(int argc, char **argv) {
  // The options are answered before anything else happens: no window, no
  // settings, and no request to a running game to come forward.
  if (argc > 1) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
      std::printf("tobelyn %s\n", TOBELYN_VERSION);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "tobelyn: unknown option '%s'\nTry 'tobelyn --help'.\n", argv[1]);
    return 2;
  }
  return tobelynMain(GetModuleHandleW(nullptr), SW_SHOW);
}
