// The small-file reads and replacements of safe_file.h for the headless
// build cross-compiled for Windows (the tests under Wine), on the C library
// and the system's own MoveFileExW: Windows has no links, pipes or devices
// to meet at a settings path, so a path is read when it is a regular file
// and replaced through a temporary file beside it.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After <windows.h>.
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/common/folders.h"
#include "platform/common/safe_file.h"

SafeReadResult safeFileRead(const char *path, void *buffer, size_t capacity, size_t *size,
                            SafeLinks) {
  *size = 0;
  struct stat st;
  if (stat(path, &st) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? SafeReadResult::kMissing
                                               : SafeReadResult::kRefused;
  }
  if (!S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) > capacity)
    return SafeReadResult::kRefused;
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr) return SafeReadResult::kRefused;
  size_t n = std::fread(buffer, 1, capacity, file);
  bool more = std::fgetc(file) != EOF;
  std::fclose(file);
  if (more) return SafeReadResult::kRefused;
  *size = n;
  return SafeReadResult::kRead;
}

bool safeMakeParentFolders(const char *path, unsigned mode) {
  char dir[4096];
  size_t len = std::strlen(path);
  if (len >= sizeof dir) return false;
  std::memcpy(dir, path, len + 1);
  char *slash = std::strrchr(dir, '/');
  if (slash == nullptr || slash == dir) return true;
  *slash = 0;
  return makeFolders(dir, static_cast<mode_t>(mode));
}

bool safeFileWrite(const char *path, const void *data, size_t size, unsigned flags) {
  if ((flags & kSafeWriteMakeFolders) != 0 && !safeMakeParentFolders(path, 0755)) return false;
  struct stat st;
  if ((flags & kSafeWriteReplaceOnlyFiles) != 0 && stat(path, &st) == 0 && !S_ISREG(st.st_mode))
    return false;
  char tmp[4096];
  int len = std::snprintf(tmp, sizeof tmp, "%s.tmp", path);
  if (len < 0 || static_cast<size_t>(len) >= sizeof tmp) return false;
  FILE *file = std::fopen(tmp, "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(data, 1, size, file) == size && std::fflush(file) == 0;
  if (ok && (flags & kSafeWriteDurable) != 0) ok = _commit(_fileno(file)) == 0;
  ok = std::fclose(file) == 0 && ok;
  DWORD move = MOVEFILE_REPLACE_EXISTING;
  if ((flags & kSafeWriteDurable) != 0) move |= MOVEFILE_WRITE_THROUGH;
  if (!ok || MoveFileExA(tmp, path, move) == 0) {
    std::remove(tmp);
    return false;
  }
  return true;
}
#endif
