// Entry of the desktop game.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "host/book.h"
#include "platform/common/code_link.h"
#include "platform/common/safe_file.h"

#ifndef TOBELYN_VERSION
#define TOBELYN_VERSION "0"
#endif

namespace {

const char kHelp[] =
    "Usage: tobelyn [--help | --version | --records | --export FILE | --watch CODE]\n"
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
    "Player book (every dart of every finished match): $XDG_DATA_HOME/tobelyn/book\n"
    "(default ~/.local/share/tobelyn/book).\n"
    "\n"
    "  --help         show this text and exit\n"
    "  --version      show the version and exit\n"
    "  --records      show the records kept in the player book and exit\n"
    "  --export FILE  write every dart of the player book to FILE as CSV (- for the\n"
    "                 standard output) and exit\n"
    "  --watch CODE   start the game watching the match of CODE (a match code, a\n"
    "                 tobelyn: link or a page address ending in #m=CODE)\n";

// The end of an option's answer on the standard output: everything written
// and flushed, or an error named on stderr (the output closed, a full disk,
// a file-size limit) and exit status 1.
int finishOutput() {
  const bool failed = std::ferror(stdout) != 0;
  const int flushed = std::fflush(stdout);
  if (!failed && flushed == 0) return 0;
  std::fprintf(stderr, "tobelyn: cannot write the standard output: %s\n",
               errno != 0 ? std::strerror(errno) : "write error");
  return 1;
}

// The player book, read only: a running game may hold it, and never learns
// of this. False (with a message) when it cannot be read as a book.
bool readBook(Book *book) {
  std::string path;
  if (!bookPathPosix(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), &path)) {
    std::fputs("tobelyn: no folder for the player book (HOME is not set)\n", stderr);
    return false;
  }
  bookLoad(path.c_str(), book);
  const char *problem = book->file == BookFile::kForeign      ? "is not a player book"
                        : book->file == BookFile::kFuture     ? "is from a newer version"
                        : book->file == BookFile::kUnreadable ? "cannot be read"
                                                              : nullptr;
  if (problem != nullptr) {
    std::fprintf(stderr, "tobelyn: %s %s; it is left as it is\n", path.c_str(), problem);
    return false;
  }
  if (book->skippedLines > 0)
    std::fprintf(stderr, "tobelyn: %s: %d damaged lines skipped\n", path.c_str(),
                 book->skippedLines);
  return true;
}

int printRecords() {
  Book book;
  if (!readBook(&book)) return 1;
  std::fputs(bookRecordsText(book).c_str(), stdout);
  return finishOutput();
}

int exportCsv(const char *file) {
  Book book;
  if (!readBook(&book)) return 1;
  const std::string csv = bookCsv(book);
  if (std::strcmp(file, "-") == 0) {
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return finishOutput();
  }
  if (!safeFileWrite(file, csv.data(), csv.size(),
                     kSafeWriteDurable | kSafeWriteReplaceOnlyFiles)) {
    std::fprintf(stderr, "tobelyn: cannot write %s\n", file);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  // A write past a file-size limit fails with an error, as on a full disk,
  // instead of ending the program with SIGXFSZ half way through: --export
  // then removes its temporary file and says so, and the game saves.
  std::signal(SIGXFSZ, SIG_IGN);
  // The options are answered before anything else happens: no window, no
  // settings, and no request to a running game to come forward.
  if (argc > 1) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
      std::printf("tobelyn %s\n", TOBELYN_VERSION);
      return finishOutput();
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return finishOutput();
    }
    if (argc == 2 && std::strcmp(argv[1], "--records") == 0) return printRecords();
    if (argc == 3 && std::strcmp(argv[1], "--export") == 0) return exportCsv(argv[2]);
    // A tobelyn:CODE link as the desktop entry hands it over (Exec=tobelyn %u).
    if (argc == 2 && std::strncmp(argv[1], "tobelyn:", 8) == 0) {
      platformReceiveCode(argv[1]);
      return tobelynMain(GetModuleHandleW(nullptr), SW_SHOW);
    }
    if (argc == 3 && std::strcmp(argv[1], "--watch") == 0) {
      platformReceiveCode(argv[2]);
      return tobelynMain(GetModuleHandleW(nullptr), SW_SHOW);
    }
    if (argc == 2 && std::strcmp(argv[1], "--watch") == 0) {
      std::fputs("tobelyn: --watch needs a match code\nTry 'tobelyn --help'.\n", stderr);
      return 2;
    }
    if (argc == 2 && std::strcmp(argv[1], "--export") == 0) {
      std::fputs("tobelyn: --export needs a file name\nTry 'tobelyn --help'.\n", stderr);
      return 2;
    }
    std::fprintf(stderr, "tobelyn: unknown option '%s'\nTry 'tobelyn --help'.\n", argv[1]);
    return 2;
  }
  return tobelynMain(GetModuleHandleW(nullptr), SW_SHOW);
}
