#include "platform/common/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/common/folders.h"

namespace {

constexpr size_t kPathMax = 4096;

bool writeAll(int fd, const char *data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Flushes the folder holding path, so that a rename in it is durable.
void syncFolderOf(const char *path) {
  char dir[kPathMax];
  std::snprintf(dir, sizeof dir, "%s", path);
  char *slash = std::strrchr(dir, '/');
  if (slash == nullptr)
    std::strcpy(dir, ".");
  else if (slash == dir)
    dir[1] = 0;
  else
    *slash = 0;
  int dfd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
}

}  // namespace

bool safeMakeParentFolders(const char *path, unsigned mode) {
  char dir[kPathMax];
  size_t len = std::strlen(path);
  if (len >= kPathMax) return false;
  std::memcpy(dir, path, len + 1);
  char *slash = std::strrchr(dir, '/');
  if (slash == nullptr || slash == dir) return true;
  *slash = 0;
  return makeFolders(dir, static_cast<mode_t>(mode));
}

SafeReadResult safeFileRead(const char *path, void *buffer, size_t capacity, size_t *size,
                            SafeLinks links) {
  *size = 0;
  int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  if (links == SafeLinks::kRefuse) flags |= O_NOFOLLOW;
  // Seen before it is opened, so that a device node is never opened at all
  // (opening some devices has effects of its own).
  struct stat st;
  if ((links == SafeLinks::kRefuse ? lstat(path, &st) : stat(path, &st)) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? SafeReadResult::kMissing
                                               : SafeReadResult::kRefused;
  }
  if (!S_ISREG(st.st_mode)) return SafeReadResult::kRefused;
  int fd = open(path, flags);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR ? SafeReadResult::kMissing
                                               : SafeReadResult::kRefused;
  }
  // Checked again on what was opened: the name may have changed meanwhile.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<unsigned long long>(st.st_size) > capacity) {
    close(fd);
    return SafeReadResult::kRefused;
  }
  uint8_t *bytes = static_cast<uint8_t *>(buffer);
  size_t got = 0;
  bool ok = true;
  for (;;) {
    // One byte of room beyond capacity would be needed to see a file that
    // grew since fstat; a full buffer with more to come is refused.
    char probe;
    void *into = got < capacity ? static_cast<void *>(bytes + got) : static_cast<void *>(&probe);
    size_t want = got < capacity ? capacity - got : 1;
    ssize_t n = read(fd, into, want);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) break;
    if (n < 0 || got >= capacity) {
      ok = false;
      break;
    }
    got += static_cast<size_t>(n);
  }
  close(fd);
  if (!ok) return SafeReadResult::kRefused;
  *size = got;
  return SafeReadResult::kRead;
}

bool safeFileWrite(const char *path, const void *data, size_t size, unsigned flags) {
  if ((flags & kSafeWriteMakeFolders) != 0 && !safeMakeParentFolders(path, 0755)) return false;
  struct stat st;
  char target[kPathMax];
  const char *link = nullptr;
  if ((flags & kSafeWriteThroughLinks) != 0 && lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
    // The file the link names, wherever it lies, is replaced in its own
    // folder (a rename never crosses file systems, nor replaces the link).
    char *resolved = realpath(path, nullptr);
    const int n = resolved != nullptr ? std::snprintf(target, sizeof target, "%s", resolved) : -1;
    std::free(resolved);
    if (n < 0 || static_cast<size_t>(n) >= sizeof target || stat(target, &st) != 0 ||
        !S_ISREG(st.st_mode)) {
      std::fprintf(stderr, "tobelyn: %s links to no file that can be written; left as it is\n",
                   path);
      return false;
    }
    link = path;
    path = target;
  }
  if ((flags & kSafeWriteReplaceOnlyFiles) != 0 && lstat(path, &st) == 0 && !S_ISREG(st.st_mode))
    return false;

  // One fixed temporary name: a save cut short by a kill or a power cut
  // leaves at most this one file behind, and the next save removes it. Only
  // one game runs per user, so no two saves share it.
  char tmp[kPathMax];
  int len = std::snprintf(tmp, sizeof tmp, "%s.tmp", path);
  if (len < 0 || static_cast<size_t>(len) >= sizeof tmp) return false;
  // Whatever is there goes (unlink takes the name, never the inode another
  // name may share); then the file is made new, so that nothing existing is
  // ever opened. A name that cannot be cleared (a folder) fails the save.
  // Written through a link, a failure is told once: the player put the
  // link there and would not know why the file never changes.
  auto failed = [link, path] {
    if (link != nullptr)
      std::fprintf(stderr, "tobelyn: %s (through the link %s) cannot be written: %s\n", path, link,
                   std::strerror(errno));
    return false;
  };
  if (unlink(tmp) != 0 && errno != ENOENT) return failed();
  int fd =
      open(tmp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return failed();
  const bool durable = (flags & kSafeWriteDurable) != 0;
  bool ok = writeAll(fd, static_cast<const char *>(data), size) && (!durable || fsync(fd) == 0);
  ok = close(fd) == 0 && ok;
  if (!ok || rename(tmp, path) != 0) {
    const int error = errno;
    unlink(tmp);
    errno = error;
    return failed();
  }
  if (durable) syncFolderOf(path);
  return true;
}

bool safeFileSize(const char *path, unsigned long long *size) {
  struct stat st;
  if (stat(path, &st) != 0 || S_ISDIR(st.st_mode) || st.st_size < 0) return false;
  *size = static_cast<unsigned long long>(st.st_size);
  return true;
}
