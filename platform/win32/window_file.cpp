// The remembered window's file, %APPDATA%\Tobelyn\window, in the desktop's
// format: kept apart from the settings in the registry, which keep exactly
// the handheld's values. Wide paths throughout (a user name need not fit
// the ANSI code page); only a plain file is read, and a new one replaces
// the old through a temporary file beside it.
#include <cwchar>

#include "platform/winapi.h"
// After <windows.h>.
#include <shlobj.h>

#include "platform/win32/desktop.h"

namespace {

constexpr wchar_t kFolder[] = L"\\Tobelyn";
constexpr wchar_t kFile[] = L"\\Tobelyn\\window";
constexpr wchar_t kTemporary[] = L"\\Tobelyn\\window.new";

// %APPDATA% followed by `tail`; false when the folder is unknown or the path
// does not fit.
bool appDataPath(const wchar_t *tail, wchar_t *out, size_t size) {
  wchar_t base[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) {
    return false;
  }
  const size_t a = std::wcslen(base), b = std::wcslen(tail);
  if (a + b + 1 > size) return false;
  std::wmemcpy(out, base, a);
  std::wmemcpy(out + a, tail, b + 1);
  return true;
}

}  // namespace

bool readWindowFile(shared::WindowState *out) {
  wchar_t path[MAX_PATH + 32];
  if (!appDataPath(kFile, path, sizeof path / sizeof path[0])) return false;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return false;
  }
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char text[shared::kWindowStateMax + 1];
  DWORD got = 0;
  const bool read = GetFileType(file) == FILE_TYPE_DISK &&
                    ReadFile(file, text, sizeof text, &got, nullptr) != 0 &&
                    got <= shared::kWindowStateMax;
  CloseHandle(file);
  return read && shared::parseWindowState(text, got, out);
}

void writeWindowFile(const shared::WindowState &state) {
  char text[shared::kWindowStateMax];
  const size_t n = shared::formatWindowState(state, text, sizeof text);
  wchar_t folder[MAX_PATH + 32], path[MAX_PATH + 32], temporary[MAX_PATH + 32];
  if (n == 0 || !appDataPath(kFolder, folder, MAX_PATH + 32) ||
      !appDataPath(kFile, path, MAX_PATH + 32) ||
      !appDataPath(kTemporary, temporary, MAX_PATH + 32)) {
    return;
  }
  CreateDirectoryW(folder, nullptr);  // already there from an earlier run, most often
  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const bool whole = WriteFile(file, text, static_cast<DWORD>(n), &written, nullptr) != 0 &&
                     written == n && FlushFileBuffers(file) != 0;
  CloseHandle(file);
  if (!whole || !MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary);
  }
}
