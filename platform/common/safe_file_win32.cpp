// The small-file reads and replacements of safe_file.h on Windows (the
// native game and the headless build cross-compiled for the tests under
// Wine). Paths arrive as UTF-8 and reach the system only as wide paths, so
// that a user folder whose name the ANSI code page cannot spell (Cyrillic,
// CJK) works like any other: the narrow C library calls would turn it into
// question marks. Windows has no links, pipes or devices to meet at a
// settings path, so a path is read when it is a plain file and replaced
// through a temporary file beside it.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/common/safe_file.h"
#include "platform/common/wide_path.h"

// --- UTF-8 and the system's wide text.

bool widePathFromUtf8(const char *utf8, std::wstring *out) {
  out->clear();
  if (utf8 == nullptr) return false;
  if (utf8[0] == 0) return true;
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (n <= 0) return false;
  out->resize(static_cast<size_t>(n));
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out->data(), n) != n)
    return false;
  out->resize(static_cast<size_t>(n - 1));
  return true;
}

std::string utf8FromWidePath(const wchar_t *wide) {
  if (wide == nullptr || wide[0] == 0) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

bool environmentUtf8(const wchar_t *name, std::string *out) {
  const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n <= 1) return false;
  std::wstring value(n, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
  if (got == 0 || got >= n) return false;
  value.resize(got);
  *out = utf8FromWidePath(value.c_str());
  return !out->empty();
}

namespace {

bool isFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates each missing folder along `folder` (separated by '/' or '\\'),
// itself included; true when the whole path is a folder afterwards. A drive
// ("C:") is never made, only passed.
bool makeWideFolders(const std::wstring &folder) {
  if (folder.empty()) return false;
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != L'/' && folder[i] != L'\\') continue;
    const std::wstring part = folder.substr(0, i);
    if (part.size() == 2 && part[1] == L':') continue;
    if (part.back() == L'/' || part.back() == L'\\') continue;
    // A part that cannot be made but is there goes on; so does one that
    // cannot be seen (a share's server), the last part's check deciding.
    (void)CreateDirectoryW(part.c_str(), nullptr);
  }
  return isFolder(GetFileAttributesW(folder.c_str()));
}

// The folder part of a path, up to its last separator; empty when it has
// none.
std::wstring folderOf(const std::wstring &path) {
  const size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos || slash == 0 ? std::wstring() : path.substr(0, slash);
}

bool writeAll(HANDLE file, const char *data, size_t size) {
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

bool safeFileSize(const char *path, unsigned long long *size) {
  std::wstring wide;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!widePathFromUtf8(path, &wide) || wide.empty() ||
      !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
  *size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

SafeReadResult safeFileRead(const char *path, void *buffer, size_t capacity, size_t *size,
                            SafeLinks) {
  *size = 0;
  std::wstring wide;
  if (!widePathFromUtf8(path, &wide) || wide.empty()) return SafeReadResult::kRefused;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? SafeReadResult::kMissing
               : SafeReadResult::kRefused;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return SafeReadResult::kRefused;
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SafeReadResult::kRefused;
  LARGE_INTEGER length;
  bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length) &&
            static_cast<unsigned long long>(length.QuadPart) <= capacity;
  size_t got = 0;
  char *bytes = static_cast<char *>(buffer);
  while (ok) {
    // A byte beyond capacity is asked for, so that a file that grew since
    // its size was seen is refused rather than cut.
    char probe;
    const bool full = got >= capacity;
    DWORD want =
        full ? 1 : static_cast<DWORD>(capacity - got > (1u << 30) ? (1u << 30) : capacity - got);
    DWORD n = 0;
    if (!ReadFile(file, full ? &probe : bytes + got, want, &n, nullptr)) {
      ok = false;
    } else if (n == 0) {
      break;
    } else if (full) {
      ok = false;
    } else {
      got += n;
    }
  }
  CloseHandle(file);
  if (!ok) return SafeReadResult::kRefused;
  *size = got;
  return SafeReadResult::kRead;
}

bool safeMakeParentFolders(const char *path, unsigned) {
  std::wstring wide;
  if (!widePathFromUtf8(path, &wide)) return false;
  const std::wstring folder = folderOf(wide);
  return folder.empty() || makeWideFolders(folder);
}

bool safeFileWrite(const char *path, const void *data, size_t size, unsigned flags) {
  std::wstring wide;
  if (!widePathFromUtf8(path, &wide) || wide.empty()) return false;
  if ((flags & kSafeWriteMakeFolders) != 0) {
    const std::wstring folder = folderOf(wide);
    if (!folder.empty() && !makeWideFolders(folder)) return false;
  }
  if ((flags & kSafeWriteReplaceOnlyFiles) != 0) {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      return false;
  }
  // One fixed temporary name beside the file: a save cut short leaves at
  // most this one behind, and the next save removes it first.
  const std::wstring tmp = wide + L".tmp";
  if (!DeleteFileW(tmp.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
      GetLastError() != ERROR_PATH_NOT_FOUND)
    return false;
  HANDLE file = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool durable = (flags & kSafeWriteDurable) != 0;
  bool ok = writeAll(file, static_cast<const char *>(data), size) &&
            (!durable || FlushFileBuffers(file) != 0);
  ok = CloseHandle(file) != 0 && ok;
  DWORD move = MOVEFILE_REPLACE_EXISTING;
  if (durable) move |= MOVEFILE_WRITE_THROUGH;
  if (!ok || !MoveFileExW(tmp.c_str(), wide.c_str(), move)) {
    DeleteFileW(tmp.c_str());
    return false;
  }
  return true;
}
#endif
