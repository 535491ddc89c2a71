// The game's small files under folder and file names outside ASCII: a
// Cyrillic or CJK user folder must hold the settings, the host file and the
// player book like any other. On Windows the names are checked with the
// system's own wide calls, so a file written under a name narrowed to the
// ANSI code page (question marks, or mojibake) is not taken for the right
// one.
#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "host/book.h"
#include "platform/common/safe_file.h"

namespace {

struct NamedPath {
  const char *name;
  const char *folder;  // UTF-8, under the test's temporary folder
  const char *file;
  const wchar_t *wideFolder;  // the same names as the system spells them
  const wchar_t *wideFile;
};

const NamedPath kPaths[] = {
    {.name = "a Cyrillic user folder",
     .folder = "\u0420\u043e\u043c\u0430\u043d",
     .file = "book",
     .wideFolder = L"\u0420\u043e\u043c\u0430\u043d",
     .wideFile = L"book"},
    {.name = "a CJK folder and file name",
     .folder = "\u5c71\u7530\u592a\u90ce",
     .file = "\u30c0\u30fc\u30c4.csv",
     .wideFolder = L"\u5c71\u7530\u592a\u90ce",
     .wideFile = L"\u30c0\u30fc\u30c4.csv"},
    {.name = "a Cyrillic file in a CJK folder inside a Cyrillic one",
     .folder = "\u0420\u043e\u043c\u0430\u043d/\u8a18\u9332",
     .file = "\u0444\u0430\u0439\u043b.csv",
     .wideFolder = L"\u0420\u043e\u043c\u0430\u043d/\u8a18\u9332",
     .wideFile = L"\u0444\u0430\u0439\u043b.csv"},
};

std::string tempRoot() {
  std::string dir = ::testing::TempDir();
  for (char &c : dir)
    if (c == '\\') c = '/';
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + "tobelyn_safe_file/";
}

#ifdef _WIN32
std::wstring wideOf(const std::string &ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The bytes of the file at the wide name, read by the system's own call;
// false when there is no file of that name.
bool readByName(const std::wstring &path, std::string *out) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  out->clear();
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) out->append(buffer, got);
  CloseHandle(file);
  return true;
}

bool existsByName(const std::wstring &path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
#else
bool readByName(const std::string &path, std::string *out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  *out = std::string(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool existsByName(const std::string &path) {
  std::FILE *f = std::fopen(path.c_str(), "rb");
  if (f != nullptr) std::fclose(f);
  return f != nullptr;
}
#endif

TEST(SafeFileNames, WrittenReadAndReplacedUnderTheirOwnNames) {
  for (const NamedPath &c : kPaths) {
    SCOPED_TRACE(c.name);
    const std::string path = tempRoot() + c.folder + "/" + c.file;
#ifdef _WIN32
    const std::wstring byName = wideOf(tempRoot()) + c.wideFolder + L"/" + c.wideFile;
    const std::wstring temporary = byName + L".tmp";
#else
    const std::string &byName = path;
    const std::string temporary = path + ".tmp";
#endif
    const std::string first = "first version\n", second = "the second, longer version\n";
    ASSERT_TRUE(safeFileWrite(path.c_str(), first.data(), first.size()))
        << "the file and its missing folders are made";
    std::string stored;
    ASSERT_TRUE(readByName(byName, &stored)) << "the file is there under its own name";
    EXPECT_EQ(stored, first);

    unsigned long long size = 0;
    EXPECT_TRUE(safeFileSize(path.c_str(), &size));
    EXPECT_EQ(size, first.size());
    char buffer[64];
    size_t got = 0;
    ASSERT_EQ(safeFileRead(path.c_str(), buffer, sizeof buffer, &got), SafeReadResult::kRead);
    EXPECT_EQ(std::string(buffer, got), first);

    ASSERT_TRUE(safeFileWrite(path.c_str(), second.data(), second.size(),
                              kSafeWriteDurable | kSafeWriteReplaceOnlyFiles))
        << "an existing file is replaced";
    ASSERT_TRUE(readByName(byName, &stored));
    EXPECT_EQ(stored, second);
    EXPECT_FALSE(existsByName(temporary)) << "no temporary file is left";

    const std::string missing = tempRoot() + c.folder + "/absent";
    EXPECT_EQ(safeFileRead(missing.c_str(), buffer, sizeof buffer, &got), SafeReadResult::kMissing);
  }
}

TEST(SafeFileNames, ThePlayerBookIsKeptUnderAUserFolderOutsideAscii) {
  for (const NamedPath &c : kPaths) {
    SCOPED_TRACE(c.name);
    const std::string path = tempRoot() + "book-" + c.folder + "/Tobelyn/" + c.file;
    Book book;
    ASSERT_TRUE(bookSave(path.c_str(), book));
    Book loaded;
    bookLoad(path.c_str(), &loaded);
    EXPECT_EQ(loaded.file, BookFile::kOurs) << "the book written there reads back as ours";
    EXPECT_TRUE(bookWritable(loaded));
  }
}

}  // namespace
