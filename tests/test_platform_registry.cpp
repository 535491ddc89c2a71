// The registry key: its values in memory and in the settings file, and the
// settings file reader, which must turn anything but a whole file it wrote
// itself into "no values".
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/common/checksum.h"
#include "platform/common/registry_file.h"
#include "platform/headless/headless.h"
#include "platform/winapi.h"

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Qen\\Tobelyn";

// A settings file with a correct checksum around the given value lines.
std::string sealed(const std::string &lines) {
  std::string body = "tobelyn-settings 1\n" + lines;
  char crc[32];
  std::snprintf(crc, sizeof crc, "crc32 %08x\n",
                static_cast<unsigned>(crc32Update(0, body.data(), body.size())));
  return body + crc;
}

int parsedCount(const std::string &file) {
  static RegistryValues values;
  values.count = -1;
  bool ok = registryParse(reinterpret_cast<const uint8_t *>(file.data()), file.size(), &values);
  if (!ok) {
    EXPECT_EQ(values.count, 0);  // a rejected file leaves no values behind
  }
  return ok ? values.count : -1;
}

TEST(PlatformRegistryFile, AcceptsWhatItWritesAndNothingElse) {
  std::string many;
  for (int i = 0; i < kRegistryValuesMax; ++i) many += "v" + std::to_string(i) + " 3 00\n";
  const struct {
    const char *what;
    std::string file;
    int count;  // -1: rejected
  } cases[] = {
      {"two values", sealed("Sound 3 0100\nKeyUp 3 2600\n"), 2},
      {"no values", sealed(""), 0},
      {"empty name, no data, escaped name", sealed("= 0 -\na%00000020b 4 ff\n"), 2},
      {"most values", sealed(many), kRegistryValuesMax},
      {"one value too many", sealed(many + "w 3 00\n"), -1},
      {"longest data", sealed("d 3 " + std::string(2 * kRegistryDataMax, 'a') + "\n"), 1},
      {"data too long", sealed("d 3 " + std::string(2 * kRegistryDataMax + 2, 'a') + "\n"), -1},
      {"longest name", sealed(std::string(kRegistryNameMax, 'n') + " 3 00\n"), 1},
      {"name too long", sealed(std::string(kRegistryNameMax + 1, 'n') + " 3 00\n"), -1},
      {"empty file", "", -1},
      {"foreign file", "\x89PNG\r\n\x1a\n0000000000000000000000000000", -1},
      {"other magic", "tobelyn-settings 2\ncrc32 00000000\n", -1},
      {"wrong checksum", "tobelyn-settings 1\nSound 3 0100\ncrc32 00000000\n", -1},
      {"bytes after the checksum", sealed("Sound 3 0100\n") + "x", -1},
      {"duplicate name, other case", sealed("Sound 3 01\nSOUND 3 00\n"), -1},
      {"odd hex length", sealed("Sound 3 010\n"), -1},
      {"capital hex", sealed("Sound 3 0A\n"), -1},
      {"type with leading zero", sealed("Sound 03 01\n"), -1},
      {"NUL in a name", sealed("a%00000000 3 01\n"), -1},
      {"fourth field", sealed("Sound 3 01 02\n"), -1},
      {"empty line", sealed("\n"), -1},
      {"carriage returns", sealed("Sound 3 01\r\n"), -1},
  };
  for (const auto &c : cases) EXPECT_EQ(parsedCount(c.file), c.count) << c.what;
}

TEST(PlatformRegistryFile, EveryTruncationAndByteFlipIsRejected) {
  RegistryValues values{};
  const wchar_t *names[] = {L"Sound", L"KeyUp", L"ButtonStart", L"odd name%="};
  for (const wchar_t *n : names) {
    RegistryValue &v = values.values[values.count++];
    std::wcsncpy(v.name, n, kRegistryNameMax);
    v.type = 3;
    v.size = 2;
    v.data[0] = static_cast<uint8_t>(values.count);
    v.data[1] = 0x80;
  }
  static char buffer[kRegistryFileMax];
  size_t size = registryFormat(values, buffer, sizeof buffer);
  ASSERT_GT(size, 0u);
  std::string file(buffer, size);
  static RegistryValues back;
  ASSERT_TRUE(registryParse(reinterpret_cast<const uint8_t *>(file.data()), size, &back));
  ASSERT_EQ(back.count, values.count);
  for (int i = 0; i < values.count; ++i) {
    EXPECT_STREQ(back.values[i].name, values.values[i].name);
    EXPECT_EQ(back.values[i].size, 2u);
    EXPECT_EQ(back.values[i].data[0], values.values[i].data[0]);
  }
  for (size_t len = 0; len < size; ++len)
    EXPECT_EQ(parsedCount(file.substr(0, len)), -1) << "cut at " << len;
  for (size_t i = 0; i < size; ++i) {
    std::string damaged = file;
    damaged[i] ^= 0x01;
    EXPECT_EQ(parsedCount(damaged), -1) << "flip at " << i;
  }
}

TEST(PlatformRegistryFile, FullestKeyStillFitsTheFileLimit) {
  static RegistryValues values{};
  for (int i = 0; i < kRegistryValuesMax; ++i) {
    RegistryValue &v = values.values[values.count++];
    for (int k = 0; k < kRegistryNameMax; ++k) v.name[k] = static_cast<wchar_t>(0x4E00 + i);
    v.name[kRegistryNameMax] = 0;
    v.type = 0xFFFFFFFFu;
    v.size = kRegistryDataMax;
  }
  static char buffer[kRegistryFileMax];
  size_t size = registryFormat(values, buffer, sizeof buffer);
  ASSERT_GT(size, 0u);
  static RegistryValues back;
  EXPECT_TRUE(registryParse(reinterpret_cast<const uint8_t *>(buffer), size, &back));
  EXPECT_EQ(back.count, kRegistryValuesMax);
  // Too small a buffer is reported, never overrun.
  EXPECT_EQ(registryFormat(values, buffer, 100), 0u);
}

class PlatformRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    headlessClearMemoryRegistry();
    char tmpl[] = "/tmp/tobelyn-registry-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    headlessSetRegistryDir(nullptr);
    headlessClearMemoryRegistry();
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }

  static DWORD open(HKEY *key) {
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key,
                              &disposition),
              ERROR_SUCCESS);
    return disposition;
  }
  static void set(HKEY key, const wchar_t *name, int16_t v) {
    BYTE bytes[2] = {static_cast<BYTE>(v & 0xFF), static_cast<BYTE>((v >> 8) & 0xFF)};
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_BINARY, bytes, 2), ERROR_SUCCESS);
  }
  static int get(HKEY key, const wchar_t *name) {  // -1: missing
    BYTE bytes[520];
    DWORD size = sizeof bytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS) return -1;
    return static_cast<int16_t>(bytes[0] | (bytes[1] << 8));
  }
  std::string settingsPath() const { return dir + "/settings"; }
  std::string read(const std::string &path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void write(const std::string &path, const std::string &text) const {
    std::ofstream(path, std::ios::binary) << text;
  }
  bool exists(const std::string &path) const { return access(path.c_str(), F_OK) == 0; }

  std::string dir;
};

TEST_F(PlatformRegistry, MemoryKeySurvivesRestartUntilCleared) {
  HKEY key;
  EXPECT_EQ(open(&key), REG_CREATED_NEW_KEY);
  EXPECT_EQ(get(key, L"Sound"), -1);
  set(key, L"Sound", 1);
  set(key, L"KeyUp", -3);
  set(key, L"KeyUp", 0x26);  // replaces
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

  headlessReset();
  EXPECT_EQ(open(&key), REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(get(key, L"sound"), 1);  // names ignore case
  EXPECT_EQ(get(key, L"KeyUp"), 0x26);
  RegCloseKey(key);

  headlessClearMemoryRegistry();
  EXPECT_EQ(open(&key), REG_CREATED_NEW_KEY);
  EXPECT_EQ(get(key, L"Sound"), -1);
  RegCloseKey(key);
}

TEST_F(PlatformRegistry, QueryReportsTypeAndSizeAndShortBuffers) {
  HKEY key;
  open(&key);
  const BYTE four[4] = {1, 2, 3, 4};
  ASSERT_EQ(RegSetValueExW(key, L"Four", 0, REG_BINARY, four, 4), ERROR_SUCCESS);
  DWORD type = 99, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, L"Four", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(size, 4u);
  BYTE buf[4] = {9, 9, 9, 9};
  size = 2;
  EXPECT_EQ(RegQueryValueExW(key, L"Four", nullptr, nullptr, buf, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  size = 4;
  EXPECT_EQ(RegQueryValueExW(key, L"Four", nullptr, nullptr, buf, &size), ERROR_SUCCESS);
  EXPECT_EQ(buf[3], 4);
  EXPECT_EQ(RegQueryValueExW(key, L"Four", nullptr, nullptr, buf, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExW(key, L"Five", nullptr, nullptr, buf, &size), ERROR_FILE_NOT_FOUND);
  static BYTE big[kRegistryDataMax + 1];
  EXPECT_NE(RegSetValueExW(key, L"Big", 0, REG_BINARY, big, sizeof big), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegQueryValueExW(key, L"Four", nullptr, nullptr, buf, &size), ERROR_INVALID_HANDLE);
}

TEST_F(PlatformRegistry, FileRoundTripInANewFolder) {
  std::string folder = dir + "/a/b";
  headlessSetRegistryDir(folder.c_str());
  HKEY key;
  EXPECT_EQ(open(&key), REG_CREATED_NEW_KEY);
  RegCloseKey(key);
  EXPECT_FALSE(exists(folder + "/settings"));  // nothing set, nothing written

  EXPECT_EQ(open(&key), REG_CREATED_NEW_KEY);
  set(key, L"Sound", 0);
  set(key, L"ButtonStart", 0x53);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  std::string text = read(folder + "/settings");
  EXPECT_EQ(text.rfind("tobelyn-settings 1\n", 0), 0u);
  EXPECT_NE(text.find("ButtonStart 3 5300\n"), std::string::npos);
  // Only the settings file is left behind, no temporary file.
  std::string cmd = "test $(ls -A '" + folder + "' | wc -l) -eq 1";
  EXPECT_EQ(std::system(cmd.c_str()), 0);

  headlessReset();
  EXPECT_EQ(open(&key), REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(get(key, L"Sound"), 0);
  EXPECT_EQ(get(key, L"ButtonStart"), 0x53);
  RegCloseKey(key);
}

TEST_F(PlatformRegistry, UnreadableFilesAreKeysWithoutValuesAndGetRewrittenWhole) {
  const std::string good = sealed("Sound 3 0100\n");
  std::string oversized = good;
  oversized.resize(kRegistryFileMax + 1, '\n');
  const struct {
    const char *what;
    std::string text;
    bool fifo = false;
  } cases[] = {
      {"empty", ""},
      {"truncated", good.substr(0, good.size() - 3)},
      {"damaged", "tobelyn-settings 1\nSound 3 0100\ncrc32 12345678\n"},
      {"foreign", "[Settings]\nSound=1\n"},
      {"oversized", oversized},
      {"a pipe, which must not block", "", true},
  };
  headlessSetRegistryDir(dir.c_str());
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::remove(settingsPath().c_str());
    if (c.fifo) {
      ASSERT_EQ(mkfifo(settingsPath().c_str(), 0644), 0);
    } else {
      write(settingsPath(), c.text);
    }
    HKEY key;
    EXPECT_EQ(open(&key), REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(get(key, L"Sound"), -1);
    set(key, L"KeyDown", 0x28);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    std::string text = read(settingsPath());
    static RegistryValues values;
    ASSERT_TRUE(
        registryParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &values));
    EXPECT_EQ(values.count, 1);
  }
}

TEST_F(PlatformRegistry, UnwritableFolderFailsQuietly) {
  const std::string blocked = dir + "/file";
  write(blocked, "x");
  const std::string folders[] = {
      "/proc/self",      // read-only even for the superuser
      blocked + "/sub",  // a folder that cannot be made
  };
  for (const std::string &folder : folders) {
    SCOPED_TRACE(folder);
    headlessSetRegistryDir(folder.c_str());
    HKEY key;
    EXPECT_EQ(open(&key), REG_CREATED_NEW_KEY);
    set(key, L"Sound", 1);
    EXPECT_NE(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_FALSE(exists(folder + "/settings"));
    // The key can still be opened afterwards.
    EXPECT_EQ(open(&key), REG_CREATED_NEW_KEY);
    RegCloseKey(key);
  }
}

}  // namespace
