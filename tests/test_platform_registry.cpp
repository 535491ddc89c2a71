// The registry key: its values in memory and in the settings file, and the
// settings file reader, which must turn anything but a whole file it wrote
// itself into "no values".
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>

#include "platform/common/checksum.h"
#include "platform/common/registry_file.h"
#include "platform/headless/headless.h"
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

// How many values the file holds; -1 when it is rejected.
int parsedCount(const std::string &file) {
  static RegistryValues values;
  values.count = -1;
  const bool ok =
      registryParse(reinterpret_cast<const uint8_t *>(file.data()), file.size(), &values);
  EXPECT_TRUE(ok || values.count == 0) << "a rejected file leaves no values behind";
  return ok ? values.count : -1;
}

TEST(PlatformRegistryFile, AcceptsWhatItWritesAndNothingElse) {
  std::string many;
  for (int i = 0; i < kRegistryValuesMax; ++i) many += "v" + std::to_string(i) + " 3 00\n";
  const std::string longData(2 * kRegistryDataMax, 'a'), longName(kRegistryNameMax, 'n');
  // clang-format off
  const struct { const char *what; std::string file; int count; } cases[] = {
      {"two values", sealed("Sound 3 0100\nKeyUp 3 2600\n"), 2},
      {"no values", sealed(""), 0},
      {"empty name, no data, escaped name", sealed("= 0 -\na%00000020b 4 ff\n"), 2},
      {"most values", sealed(many), kRegistryValuesMax},
      {"one value too many", sealed(many + "w 3 00\n"), -1},
      {"longest data", sealed("d 3 " + longData + "\n"), 1},
      {"data too long", sealed("d 3 " + longData + "aa\n"), -1},
      {"longest name", sealed(longName + " 3 00\n"), 1},
      {"name too long", sealed(longName + "n 3 00\n"), -1},
      {"foreign file", "\x89PNG\r\n\x1a\n0000000000000000000000000000", -1},
      {"duplicate name, other case", sealed("Sound 3 01\nSOUND 3 00\n"), -1},
      {"odd hex length", sealed("Sound 3 010\n"), -1},
      {"capital hex", sealed("Sound 3 0A\n"), -1},
      {"type with leading zero", sealed("Sound 03 01\n"), -1},
      {"NUL in a name", sealed("a%00000000 3 01\n"), -1},
      {"fourth field", sealed("Sound 3 01 02\n"), -1},
      {"empty line", sealed("\n"), -1},
      {"carriage returns", sealed("Sound 3 01\r\n"), -1},
  };
  // clang-format on
  for (const auto &c : cases) EXPECT_EQ(parsedCount(c.file), c.count) << c.what;
}

TEST(PlatformRegistryFile, RoundTripsAndRejectsEveryTruncationAndByteFlip) {
  static RegistryValues values{}, back;
  for (const wchar_t *n : {L"Sound", L"KeyUp", L"ButtonStart", L"odd name%="}) {
    RegistryValue &v = values.values[values.count++];
    std::wcsncpy(v.name, n, kRegistryNameMax);
    v.type = 3;
    v.size = 2;
    v.data[0] = static_cast<uint8_t>(values.count);
    v.data[1] = 0x80;
  }
  static char buffer[kRegistryFileMax];
  const std::string file(buffer, registryFormat(values, buffer, sizeof buffer));
  ASSERT_TRUE(registryParse(reinterpret_cast<const uint8_t *>(file.data()), file.size(), &back));
  ASSERT_EQ(back.count, values.count);
  for (int i = 0; i < values.count; ++i) {
    EXPECT_STREQ(back.values[i].name, values.values[i].name);
    EXPECT_EQ(std::make_pair(back.values[i].size, back.values[i].data[0]),
              std::make_pair(2u, values.values[i].data[0]));
  }
  for (size_t i = 0; i < file.size(); ++i) {
    EXPECT_EQ(parsedCount(file.substr(0, i)), -1) << "cut at " << i;
    std::string damaged = file;
    damaged[i] ^= 0x01;
    EXPECT_EQ(parsedCount(damaged), -1) << "flip at " << i;
  }
}

TEST(PlatformRegistryFile, FullestKeyFitsTheFileLimitAndSmallBuffersAreRefused) {
  static RegistryValues values{}, back;
  for (int i = 0; i < kRegistryValuesMax; ++i) {
    RegistryValue &v = values.values[values.count++];
    for (int k = 0; k < kRegistryNameMax; ++k) v.name[k] = static_cast<wchar_t>(0x4E00 + i);
    v.name[kRegistryNameMax] = 0;
    v.type = 0xFFFFFFFFu;
    v.size = kRegistryDataMax;
  }
  static char buffer[kRegistryFileMax];
  const size_t size = registryFormat(values, buffer, sizeof buffer);
  ASSERT_GT(size, 0u);
  EXPECT_TRUE(registryParse(reinterpret_cast<const uint8_t *>(buffer), size, &back));
  EXPECT_EQ(back.count, kRegistryValuesMax);
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
