// Entry of the native Windows game (a GUI program: no console window).
#include <windows.h>

#include <string>

#include "app/app.h"
#include "host/book.h"
#include "platform/common/code_link.h"
#include "platform/common/safe_file.h"
#include "platform/common/wide_path.h"

namespace {

// A GUI program has no console of its own: its text goes to where the
// standard output (or error) was sent, or else to the console of whoever
// started it. A console takes the text wide, so that a name outside its
// code page is shown as it is; anything else (a file, a pipe) gets UTF-8.
HANDLE outputHandle(DWORD which) {
  HANDLE out = GetStdHandle(which);
  if (out != nullptr && out != INVALID_HANDLE_VALUE) return out;
  static HANDLE console = INVALID_HANDLE_VALUE;
  if (console == INVALID_HANDLE_VALUE && AttachConsole(ATTACH_PARENT_PROCESS))
    console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  return console;
}

// True when every byte was written.
bool writeText(DWORD which, const std::string &text) {
  HANDLE out = outputHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    std::wstring wide;
    if (!widePathFromUtf8(text.c_str(), &wide)) return false;
    for (size_t at = 0; at < wide.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(wide.size() - at > 8192 ? 8192 : wide.size() - at);
      if (!WriteConsoleW(out, wide.data() + at, chunk, &written, nullptr) || written == 0)
        return false;
      at += written;
    }
    return true;
  }
  for (size_t at = 0; at < text.size();) {
    DWORD written = 0;
    const DWORD chunk =
        static_cast<DWORD>(text.size() - at > (1u << 20) ? (1u << 20) : text.size() - at);
    if (!WriteFile(out, text.data() + at, chunk, &written, nullptr) || written == 0) return false;
    at += written;
  }
  return true;
}

void printError(const std::string &text) {
  if (!writeText(STD_ERROR_HANDLE, text)) (void)writeText(STD_OUTPUT_HANDLE, text);
}

// The text of an option's answer on the standard output; a write that fails
// (the output closed, a full disk) is an error, as on the desktop.
int printAnswer(const std::string &text) {
  if (writeText(STD_OUTPUT_HANDLE, text)) return 0;
  printError("tobelyn: cannot write the standard output\r\n");
  return 1;
}

// --records and --export FILE, as on the desktop: only the book is read,
// before the single-instance check, so a running game is never disturbed.
// The arguments come from the wide command line and %APPDATA% is read
// wide; both go on as UTF-8 to the safe-file code, which takes them back to
// wide paths. Returns -1 when the command line asks for neither.
int bookOption(int argc, wchar_t **argv) {
  if (argc < 2) return -1;
  const std::wstring option = argv[1];
  if (option != L"--records" && option != L"--export") return -1;
  if ((option == L"--records") != (argc == 2) || argc > 3) {
    printError("tobelyn: --records takes nothing, --export a file name\r\n");
    return 2;
  }
  std::string appData, path;
  Book book;
  if (!environmentUtf8(L"APPDATA", &appData) || !bookPathWindows(appData.c_str(), &path)) {
    printError("tobelyn: no folder for the player book (APPDATA is not set)\r\n");
    return 1;
  }
  bookLoad(path.c_str(), &book);
  if (!bookWritable(book)) {
    printError("tobelyn: " + path + " cannot be read as a player book; it is left as it is\r\n");
    return 1;
  }
  if (option == L"--records") {
    std::string text = bookRecordsText(book), crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return printAnswer(crlf);
  }
  const std::string csv = bookCsv(book), file = utf8FromWidePath(argv[2]);
  if (file == "-") return printAnswer(csv);
  if (!safeFileWrite(file.c_str(), csv.data(), csv.size(),
                     kSafeWriteDurable | kSafeWriteReplaceOnlyFiles)) {
    printError("tobelyn: cannot write " + file + "\r\n");
    return 1;
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const int answered = bookOption(__argc, __wargv);
  if (answered >= 0) return answered;
  // --watch CODE: the game starts watching that match (a code is ASCII;
  // anything else is kept as a question mark, for the host to refuse).
  if (__argc == 3 && std::wstring(__wargv[1]) == L"--watch") {
    std::string code;
    for (const wchar_t *c = __wargv[2]; *c != 0 && code.size() <= kReceivedCodeMax; ++c)
      code.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
    platformReceiveCode(code.c_str());
  }
  return tobelynMain(instance, showCommand);
}
