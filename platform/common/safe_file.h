// Small files of the game's own (the settings, the window's place), read and
// written so that whatever stands at their names - a FIFO, a device node, a
// hard or symbolic link to someone else's file, a folder - can neither
// stall the game nor be written through. Paths are UTF-8 (on Windows too,
// where safe_file_win32.cpp takes them to the system as wide paths).
#pragma once

#include <cstddef>

enum class SafeReadResult {
  kRead,     // a regular file, read whole
  kMissing,  // nothing at the name (or a folder on the way is missing)
  kRefused,  // something else: not a regular file, too large, unreadable
};

enum class SafeLinks {
  kFollow,  // a symbolic link to a regular file is read through
  kRefuse,  // a symbolic link is refused
};

// Reads the regular file at path into buffer, at most capacity bytes. Never
// waits: the file is opened non-blocking and anything that is not a regular
// file (FIFO, device, socket, folder) is refused before a byte is read. A
// file larger than capacity is refused, not cut. *size is the number of
// bytes read (0 unless kRead).
SafeReadResult safeFileRead(const char *path, void *buffer, size_t capacity, size_t *size,
                            SafeLinks links = SafeLinks::kRefuse);

// How safeFileWrite goes about it.
enum SafeWriteFlags : unsigned {
  kSafeWriteMakeFolders = 1,       // create the missing folders on the way (mode 0755)
  kSafeWriteDurable = 2,           // flush the file and its folder to the disk
  kSafeWriteReplaceOnlyFiles = 4,  // refuse a path where something not a regular file is
  // A symbolic link at path is written through: the regular file it names
  // is replaced, from a temporary file in that file's own folder, and the
  // link stays. A link that names nothing, or anything but a regular file,
  // fails the write with one message on the standard error. POSIX only.
  kSafeWriteThroughLinks = 8,
};

// Replaces the file at path with these bytes, atomically: they go to
// path + ".tmp", created new and exclusively (a stale one is removed first,
// so an existing inode - a hard link to another file, a FIFO, a device - is
// never opened, let alone truncated), non-blocking and without following a
// link; the file is written whole (flushed, with kSafeWriteDurable), renamed
// over path and (durable) the folder flushed. A crash leaves the old file or
// the new one, and at most the temporary file. Returns false on any failure;
// path is then untouched and no temporary file is left.
bool safeFileWrite(const char *path, const void *data, size_t size,
                   unsigned flags = kSafeWriteMakeFolders | kSafeWriteDurable);

// The size of the file at path (links followed); false when there is none
// or it is a folder.
bool safeFileSize(const char *path, unsigned long long *size);

// Creates each missing folder on the way to the file at path, with mode.
bool safeMakeParentFolders(const char *path, unsigned mode);
