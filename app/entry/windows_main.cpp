// Entry of the native Windows game (a GUI program: no console window).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/app.h"
#include "host/book.h"
#include "platform/common/safe_file.h"

namespace {

// A GUI program has no console of its own: its text goes to where the
// standard output was sent, or else to the console of whoever started it.
void printText(const std::string &text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
    out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string narrow(const wchar_t *text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n) : 1, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

// --records and --export FILE, as on the desktop: only the book is read,
// before the single-instance check, so a running game is never disturbed.
// Returns -1 when the command line asks for neither.
int bookOption(int argc, wchar_t **argv) {
  if (argc < 2) return -1;
  const std::wstring option = argv[1];
  if (option != L"--records" && option != L"--export") return -1;
  if ((option == L"--records") != (argc == 2) || argc > 3) {
    printText("tobelyn: --records takes nothing, --export a file name\r\n");
    return 2;
  }
  std::string path;
  Book book;
  const char *appData = std::getenv("APPDATA");
  if (!bookPathWindows(appData, &path)) {
    printText("tobelyn: no folder for the player book (APPDATA is not set)\r\n");
    return 1;
  }
  bookLoad(path.c_str(), &book);
  if (!bookWritable(book)) {
    printText("tobelyn: " + path + " cannot be read as a player book; it is left as it is\r\n");
    return 1;
  }
  if (option == L"--records") {
    std::string text = bookRecordsText(book), crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    printText(crlf);
    return 0;
  }
  const std::string csv = bookCsv(book), file = narrow(argv[2]);
  if (file == "-") {
    printText(csv);
    return 0;
  }
  if (!safeFileWrite(file.c_str(), csv.data(), csv.size(),
                     kSafeWriteDurable | kSafeWriteReplaceOnlyFiles)) {
    printText("tobelyn: cannot write " + file + "\r\n");
    return 1;
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const int answered = bookOption(__argc, __wargv);
  if (answered >= 0) return answered;
  return tobelynMain(instance, showCommand);
}
