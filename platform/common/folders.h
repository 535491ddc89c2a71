// Creating a folder with every missing folder above it (POSIX), shared by
// the settings file and the desktop's single-instance lock.
#pragma once

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

#include <cerrno>
#include <cstring>

#ifdef _WIN32
// The headless build for Windows: folders there have no mode, and a drive
// such as "C:" cannot be made but exists.
inline int makeOneFolder(const char *folder, mode_t) {
  // A bare drive ("C:") is neither made nor seen by stat: it is taken as there.
  if (std::strlen(folder) == 2 && folder[1] == ':') {
    errno = EEXIST;
    return -1;
  }
  if (_mkdir(folder) == 0) return 0;
  struct stat st;
  if (stat(folder, &st) == 0 && (st.st_mode & S_IFDIR) != 0) errno = EEXIST;
  return -1;
}
#else
inline int makeOneFolder(const char *folder, mode_t mode) { return mkdir(folder, mode); }
#endif

// Creates each missing folder along `folder`, itself included; new folders
// get `mode`. True when the whole path exists as folders afterwards (as far
// as mkdir can tell). A path of 4096 bytes or more is refused.
inline bool makeFolders(const char *folder, mode_t mode) {
  char buf[4096];
  const size_t len = std::strlen(folder);
  if (len == 0 || len >= sizeof buf) return false;
  std::memcpy(buf, folder, len + 1);
  for (size_t i = 1; i <= len; ++i) {
    if (buf[i] != '/' && buf[i] != '\0') continue;
    const char saved = buf[i];
    buf[i] = '\0';
    if (makeOneFolder(buf, mode) != 0 && errno != EEXIST) return false;
    buf[i] = saved;
  }
  return true;
}
