// The registry key: its values in memory and in the settings file, and the
// settings file reader, which keeps each readable value of the game's on its
// own and reads a file that is not a settings file as "no values".
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/common/checksum.h"
#include "platform/common/registry_file.h"
#include "platform/headless/headless.h"
#include "platform/settings_values.h"
#include "platform/winapi.h"

namespace {

// A settings file with a correct checksum around the given value lines.
std::string sealed(const std::string &lines) {
  const std::string body = "tobelyn-settings 1\n" + lines;
  char crc[32];
  std::snprintf(crc, sizeof crc, "crc32 %08x\n",
                static_cast<unsigned>(crc32Update(0, body.data(), body.size())));
  return body + crc;
}

// How many values the file holds; -1 when it is not a settings file.
int parsedCount(const std::string &file) {
  static RegistryValues values;
  values.count = -1;
  const bool ok =
      registryParse(reinterpret_cast<const uint8_t *>(file.data()), file.size(), &values);
  EXPECT_TRUE(ok || values.count == 0) << "a file that is not ours leaves no values behind";
  return ok ? values.count : -1;
}

struct FileCase {
  const char *name;
  std::string file;
  int count;  // values kept; -1 for a file that is not ours
};

TEST(PlatformRegistryFile, KeepsEachReadableValueOfTheGameAndSkipsTheRest) {
  std::string nine;
  for (const StoredSetting &s : storedSettings) {
    for (const wchar_t *c = s.name; *c != 0; ++c) nine += static_cast<char>(*c);
    nine += " 3 0100\n";
  }
  const std::string longData(2 * kRegistryDataMax, 'a'), longName(kRegistryNameMax + 1, 'n');
  const FileCase cases[] = {
      {.name = "the game's nine values", .file = sealed(nine), .count = 9},
      {.name = "no values", .file = sealed(""), .count = 0},
      {.name = "a value not ours is skipped",
       .file = sealed("Sound 3 01\nJunk 3 01\n"),
       .count = 1},
      {.name = "names in any case", .file = sealed("SOUND 3 01\nkeyup 3 2600\n"), .count = 2},
      {.name = "a second line of one name is skipped",
       .file = sealed("Sound 3 01\nSOUND 3 00\n"),
       .count = 1},
      {.name = "longest data", .file = sealed("KeyUp 3 " + longData + "\n"), .count = 1},
      {.name = "data too long",
       .file = sealed("KeyUp 3 " + longData + "aa\nSound 3 01\n"),
       .count = 1},
      {.name = "name too long", .file = sealed(longName + " 3 00\nSound 3 01\n"), .count = 1},
      {.name = "odd hex length", .file = sealed("Sound 3 010\nKeyUp 3 2600\n"), .count = 1},
      {.name = "capital hex", .file = sealed("Sound 3 0A\nKeyUp 3 2600\n"), .count = 1},
      {.name = "type with leading zero", .file = sealed("Sound 03 01\nKeyUp 3 2600\n"), .count = 1},
      {.name = "fourth field", .file = sealed("Sound 3 01 02\nKeyUp 3 2600\n"), .count = 1},
      {.name = "empty line", .file = sealed("\nKeyUp 3 2600\n"), .count = 1},
      {.name = "binary junk line", .file = sealed("\x01\xff\x80 \x7f\nKeyUp 3 2600\n"), .count = 1},
      {.name = "carriage returns",
       .file = "tobelyn-settings 1\r\nSound 3 01\r\nKeyUp 3 2600\r\n",
       .count = 2},
      {.name = "wrong checksum",
       .file = "tobelyn-settings 1\nSound 3 01\ncrc32 00000000\n",
       .count = 1},
      {.name = "no checksum, no last line feed",
       .file = "tobelyn-settings 1\nSound 3 01",
       .count = 1},
      {.name = "first line only", .file = "tobelyn-settings 1", .count = 0},
      {.name = "wrong first line", .file = "tobelyn-settings 2\nSound 3 01\n", .count = -1},
      {.name = "first line with more after it",
       .file = "tobelyn-settings 10\nSound 3 01\n",
       .count = -1},
      {.name = "foreign file",
       .file = "\x89PNG\r\n\x1a\n0000000000000000000000000000",
       .count = -1},
      {.name = "empty file", .file = "", .count = -1},
      {.name = "larger than the limit",
       .file = sealed("Sound 3 01\n" + std::string(kRegistryFileMax, '#')),
       .count = -1},
  };
  for (const FileCase &c : cases) EXPECT_EQ(parsedCount(c.file), c.count) << c.name;
}

// The file the game writes, with each of the nine values distinct.
const RegistryValues &gameValues() {
  static RegistryValues values{};
  if (values.count == 0) {
    for (const StoredSetting &s : storedSettings) {
      RegistryValue &v = values.values[values.count++];
      std::wcsncpy(v.name, s.name, kRegistryNameMax);
      v.type = 3;
      v.size = 2;
      v.data[0] = static_cast<uint8_t>(0x40 + values.count);
      v.data[1] = 0x80;
    }
  }
  return values;
}

// How many of the game's values a file gives back exactly as written.
int intactValues(const std::string &file) {
  static RegistryValues back;
  if (!registryParse(reinterpret_cast<const uint8_t *>(file.data()), file.size(), &back)) return -1;
  int intact = 0;
  for (const RegistryValue &v : gameValues().values) {
    const int i = registryFind(back, v.name);
    intact += i >= 0 && back.values[i].size == v.size && back.values[i].type == v.type &&
              std::memcmp(back.values[i].data, v.data, v.size) == 0;
  }
  return intact;
}

TEST(PlatformRegistryFile, OneChangedOrMissingByteCostsAtMostTwoValues) {
  static char buffer[kRegistryFileMax];
  const std::string file(buffer, registryFormat(gameValues(), buffer, sizeof buffer));
  ASSERT_EQ(intactValues(file), 9) << "what the game writes reads back whole";
  const size_t firstLine = file.find('\n') + 1;
  int lines = 0;
  for (size_t i = 0; i < file.size(); ++i) {
    std::string changed = file;
    changed[i] ^= 0x01;
    if (i < firstLine) {
      EXPECT_EQ(intactValues(changed), -1) << "change in the first line at " << i;
      continue;
    }
    // A changed line feed joins two lines, and a changed name may become
    // another one's: at most two values are lost, never the file.
    EXPECT_GE(intactValues(changed), 7) << "change at " << i;
    // Cut just before byte i: every value whose line is whole is kept.
    lines += i > firstLine && file[i - 1] == '\n';
    EXPECT_GE(intactValues(file.substr(0, i)), std::min(lines, 9)) << "cut at " << i;
  }
}

TEST(PlatformRegistryFile, FullestKeyFitsTheFileLimitAndSmallBuffersAreRefused) {
  static RegistryValues values{};
  for (int i = 0; i < kRegistryValuesMax; ++i) {
    RegistryValue &v = values.values[values.count++];
    for (int k = 0; k < kRegistryNameMax; ++k) v.name[k] = static_cast<wchar_t>(0x4E00 + i);
    v.name[kRegistryNameMax] = 0;
    v.type = 0xFFFFFFFFu;
    v.size = kRegistryDataMax;
  }
  static char buffer[kRegistryFileMax];
  EXPECT_GT(registryFormat(values, buffer, sizeof buffer), 0u);
  EXPECT_EQ(registryFormat(values, buffer, 100), 0u);  // reported, never overrun
}

// A folder read-only even for the superuser: the close reports the failure
// and the key still opens afterwards. Damaged files, pipes and folders that
// cannot be made are covered under the whole program in test_resilience.cpp.
TEST(PlatformRegistry, UnwritableFolderFailsQuietly) {
  headlessReset();
  headlessSetRegistryDir("/proc/self");
  for (int i = 0; i < 2; ++i) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qen\\Tobelyn", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD{REG_CREATED_NEW_KEY});
    const BYTE one[2] = {1, 0};
    EXPECT_EQ(RegSetValueExW(key, L"Sound", 0, REG_BINARY, one, 2), ERROR_SUCCESS);
    EXPECT_NE(RegCloseKey(key), ERROR_SUCCESS);
  }
  EXPECT_NE(access("/proc/self/settings", F_OK), 0);
  headlessSetRegistryDir(nullptr);
  headlessClearMemoryRegistry();
}

}  // namespace
