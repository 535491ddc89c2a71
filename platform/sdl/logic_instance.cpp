// File locations and the single-instance lock with its front-request
// socket. POSIX only: flock on a lock file keeps one running game per user
// (the kernel drops the lock with the process, so a crash leaves nothing
// that blocks the next start), and a UNIX socket beside it carries a
// second start's request to come to the front.
//
// The folder may be shared or prepared by someone else (a runtime folder
// made by hand, a game run as root): nothing is created, opened or removed
// through a symbolic link, and a lock file or socket that is not a plain
// file or socket of this user's is left alone and not used.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/common/code_link.h"
#include "platform/common/folders.h"
#include "platform/sdl/logic.h"

namespace sdlb {

namespace {

int lockFd = -1;
int listenFd = -1;
// The socket this process bound, known by its file, so that at exit it is
// removed only while it is still the one at its name.
char socketPath[sizeof(sockaddr_un::sun_path)] = "";
dev_t socketDevice = 0;
ino_t socketInode = 0;

bool usableFolder(const char *s) { return s != nullptr && s[0] == '/'; }

bool join(char *out, size_t outSize, const char *a, const char *b) {
  int n = std::snprintf(out, outSize, "%s%s", a, b);
  return n > 0 && static_cast<size_t>(n) < outSize;
}

// The thing at path, not following a link: true when it is of this type and
// this user's (a lock file also has no second name). *missing tells an
// empty name from something else.
bool oursAt(const char *path, mode_t type, bool *missing) {
  struct stat st;
  *missing = false;
  if (lstat(path, &st) != 0) {
    *missing = errno == ENOENT;
    return false;
  }
  return (st.st_mode & S_IFMT) == type && st.st_uid == geteuid() &&
         (type != S_IFREG || st.st_nlink == 1);
}

bool socketAddress(const char *folder, sockaddr_un *addr) {
  std::memset(addr, 0, sizeof *addr);
  addr->sun_family = AF_UNIX;
  return join(addr->sun_path, sizeof addr->sun_path, folder, "/tobelyn.sock");
}

}  // namespace

bool settingsPath(const char *xdgConfigHome, const char *home, char *out, size_t outSize) {
  if (usableFolder(xdgConfigHome)) return join(out, outSize, xdgConfigHome, "/tobelyn/settings");
  if (usableFolder(home)) return join(out, outSize, home, "/.config/tobelyn/settings");
  return false;
}

bool windowStatePath(const char *xdgConfigHome, const char *home, char *out, size_t outSize) {
  if (!settingsPath(xdgConfigHome, home, out, outSize)) return false;
  char *slash = std::strrchr(out, '/');
  static const char kName[] = "window";
  if (slash == nullptr || static_cast<size_t>(slash + 1 - out) + sizeof kName > outSize) {
    return false;
  }
  std::memcpy(slash + 1, kName, sizeof kName);
  return true;
}

bool runtimeFolder(const char *xdgRuntimeDir, const char *xdgConfigHome, const char *home,
                   char *out, size_t outSize) {
  if (usableFolder(xdgRuntimeDir)) return join(out, outSize, xdgRuntimeDir, "");
  if (usableFolder(xdgConfigHome)) return join(out, outSize, xdgConfigHome, "/tobelyn");
  if (usableFolder(home)) return join(out, outSize, home, "/.config/tobelyn");
  return false;
}

InstanceResult instanceAcquire(const char *folder) {
  instanceRelease();
  char path[4096];
  // New folders get user-only access.
  if (!makeFolders(folder, 0700) || !join(path, sizeof path, folder, "/tobelyn.lock")) {
    return InstanceResult::kUnavailable;
  }
  // Seen before it is opened, so that a device or pipe is never opened;
  // checked again on what was opened.
  bool missing;
  if (!oursAt(path, S_IFREG, &missing) && !missing) return InstanceResult::kUnavailable;
  int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) return InstanceResult::kUnavailable;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() || st.st_nlink != 1) {
    close(fd);
    return InstanceResult::kUnavailable;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool busy = errno == EWOULDBLOCK;
    close(fd);
    return busy ? InstanceResult::kOtherRuns : InstanceResult::kUnavailable;
  }
  lockFd = fd;

  // The lock is ours, so a socket of ours left there is stale. Anything
  // else at its name stays, and this game is then just not reachable.
  sockaddr_un addr;
  if (!socketAddress(folder, &addr)) return InstanceResult::kFirst;
  // (bind never follows a link: it fails on any name already there.)
  if (oursAt(addr.sun_path, S_IFSOCK, &missing)) unlink(addr.sun_path);
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) return InstanceResult::kFirst;
  if (bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || listen(s, 4) != 0) {
    close(s);
    return InstanceResult::kFirst;  // still the only one, just not reachable
  }
  listenFd = s;
  if (lstat(addr.sun_path, &st) == 0 && S_ISSOCK(st.st_mode)) {
    std::memcpy(socketPath, addr.sun_path, sizeof socketPath);
    socketDevice = st.st_dev;
    socketInode = st.st_ino;
  }
  return InstanceResult::kFirst;
}

bool instanceSignal(const char *folder, const std::string &code) {
  sockaddr_un addr;
  bool missing;
  if (!socketAddress(folder, &addr) || !oursAt(addr.sun_path, S_IFSOCK, &missing)) return false;
  // Never waits: a running game that is stopped or stuck does not take its
  // connections, and once its backlog is full a blocking connect would
  // wait for ever. The caller tries again for a while.
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s < 0) return false;
  bool ok = false;
  if (connect(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) {
    // A code rides along: a few kilobytes at most, within the socket's
    // buffer, so this never waits either.
    const std::string message = code.empty() ? std::string("front\n") : "code " + code + "\n";
    ok = send(s, message.data(), message.size(), MSG_NOSIGNAL | MSG_DONTWAIT) ==
         static_cast<ssize_t>(message.size());
  }
  close(s);
  return ok;
}

namespace {

// What a client sent, read until it closed: a moment's wait at most for
// text on its way (the client sends at once, then closes), and no more
// than a code can be.
std::string readRequest(int c) {
  std::string got;
  char buf[1024];
  for (int waits = 0; got.size() <= kReceivedCodeMax + 8;) {
    const ssize_t n = recv(c, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0) {
      got.append(buf, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waits < 10) {
      pollfd p = {c, POLLIN, 0};
      (void)poll(&p, 1, 10);
      ++waits;
      continue;
    }
    break;
  }
  return got;
}

}  // namespace

bool instancePoll(std::string *code) {
  if (listenFd < 0) return false;
  bool front = false;
  for (;;) {
    int c = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (c < 0) break;
    // Any connection counts as a request, one that sent nothing too; a
    // "code" line hands its code on.
    std::string got = readRequest(c);
    close(c);
    front = true;
    if (code == nullptr || got.compare(0, 5, "code ") != 0) continue;
    got.erase(0, 5);
    while (!got.empty() && (got.back() == '\n' || got.back() == '\r')) got.pop_back();
    *code = got;
  }
  return front;
}

void instanceFinish() {
  // Still holding the lock, so no other game can have bound the name since;
  // whatever else is there now is left alone.
  struct stat st;
  if (listenFd >= 0 && socketPath[0] != 0 && lstat(socketPath, &st) == 0 && S_ISSOCK(st.st_mode) &&
      st.st_dev == socketDevice && st.st_ino == socketInode) {
    unlink(socketPath);
  }
  instanceRelease();
}

void instanceRelease() {
  socketPath[0] = 0;
  if (listenFd >= 0) {
    close(listenFd);
    listenFd = -1;
  }
  if (lockFd >= 0) {
    close(lockFd);
    lockFd = -1;
  }
}

}  // namespace sdlb
