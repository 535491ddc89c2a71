// Settings: the device defaults, the load over them from the registry key
// and the save of all nine values.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "gfx/surface.h"
#include "platform/backend.h"
#include "platform/gx.h"
#include "platform/headless/headless.h"

namespace {

using Bytes = std::vector<BYTE>;

HKEY openKey() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  return key;
}

void store(const wchar_t *name, const Bytes &bytes) {
  HKEY key = openKey();
  RegSetValueExW(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

// A stored value's bytes, checked to be binary; {0xEE} when it is missing.
Bytes stored(const wchar_t *name) {
  HKEY key = openKey();
  BYTE buffer[1024];
  DWORD size = sizeof buffer, type = 0;
  const bool found = RegQueryValueExW(key, name, nullptr, &type, buffer, &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!found) return {0xEE};
  Bytes bytes(buffer, buffer + size);
  EXPECT_EQ(type, REG_BINARY) << bytes.size();
  return bytes;
}

int16_t defaultBinding(int i) {
  GXKeyList k = platformDefaultKeys();
  const short all[kKeyBindingCount] = {k.vkUp, k.vkDown, k.vkLeft, k.vkRight,
                                       k.vkA,  k.vkB,    k.vkC,    k.vkStart};
  return all[i];
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    headlessSetRegistryDir(nullptr);
    headlessClearMemoryRegistry();
    setSoundEnabled(0);
    for (int16_t &b : keyBindings) b = 0;
  }
  static void load() {
    takeDefaultKeys();
    loadSettings();
  }
};

// The nine values saved at exit are pinned, byte for byte, by the
// resilience tests.
TEST_F(SettingsTest, FirstStartTakesTheDefaultsAndWritesNothing) {
  load();
  EXPECT_EQ(isSoundEnabled(), 1u);
  for (int i = 0; i < kKeyBindingCount; ++i) EXPECT_EQ(keyBindings[i], defaultBinding(i)) << i;
  for (const StoredSetting &s : storedSettings) EXPECT_EQ(stored(s.name), Bytes{0xEE});
}

// The settings file written at the first exit, byte for byte: names, order,
// defaults and check line as every earlier version wrote them.
TEST_F(SettingsTest, FirstExitWritesTheKnownFile) {
  const std::string dir = ::testing::TempDir();
  headlessSetRegistryDir(dir.c_str());
  std::remove((dir + "/settings").c_str());
  load();
  saveSettings();
  headlessSetRegistryDir(nullptr);
  auto bytesOf = [](const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string written = bytesOf(dir + "/settings");
  std::remove((dir + "/settings").c_str());
  EXPECT_EQ(written, bytesOf(std::string(TOBELYN_SOURCE_DIR) + "/fuzz/corpus/settings/defaults"));
}

TEST_F(SettingsTest, SoundValueLoadsAndIsWrittenBackAsZeroOrOne) {
  // Values too short for a number count as absent; longer ones by their first
  // two bytes.
  const struct {
    const char *name;
    bool present;
    Bytes value;
    uint32_t sound;
    Bytes writtenBack;
  } cases[] = {
      {.name = "absent: on", .present = false, .value = {}, .sound = 1, .writtenBack = {1, 0}},
      {.name = "0: off", .present = true, .value = {0, 0}, .sound = 0, .writtenBack = {0, 0}},
      {.name = "-1: on", .present = true, .value = {0xFF, 0xFF}, .sound = 1, .writtenBack = {1, 0}},
      {.name = "256: on", .present = true, .value = {0, 1}, .sound = 1, .writtenBack = {1, 0}},
      {.name = "empty: as absent", .present = true, .value = {}, .sound = 1, .writtenBack = {1, 0}},
      {.name = "one byte: as absent",
       .present = true,
       .value = {0},
       .sound = 1,
       .writtenBack = {1, 0}},
      {.name = "five bytes starting with 0: off",
       .present = true,
       .value = {0, 0, 7, 7, 7},
       .sound = 0,
       .writtenBack = {0, 0}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    store(L"KeyUp", {0x26, 0});  // the key exists, so that the values are queried
    if (c.present) store(L"Sound", c.value);
    load();
    EXPECT_EQ(isSoundEnabled(), c.sound);
    saveSettings();
    EXPECT_EQ(stored(L"Sound"), c.writtenBack) << "written back";
  }
}

TEST_F(SettingsTest, BindingReplacesTheDefaultOnlyWhenReadable) {
  // expected 0: the default stays.
  const struct {
    const char *name;
    Bytes value;
    int16_t expected;
  } cases[] = {
      {.name = "two bytes", .value = {0x41, 0x00}, .expected = 0x41},
      {.name = "negative", .value = {0xC1, 0xFF}, .expected = -63},
      {.name = "longer: its first two bytes",
       .value = {0x34, 0x12, 0x99, 0x99},
       .expected = 0x1234},
      {.name = "empty: the default", .value = {}, .expected = 0},
      {.name = "one byte: the default", .value = {0x41}, .expected = 0},
      {.name = "larger than the query buffer: the default",
       .value = Bytes(600, 0x11),
       .expected = 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    for (const StoredSetting &row : storedSettings) {
      if (row.binding == kSoundFlag) continue;
      SetUp();
      // The values before in query order are full ones, so that a short value
      // would expose whatever they left in the buffer.
      for (const StoredSetting *before = storedSettings; before != &row; ++before)
        store(before->name, {0x33, 0x44});
      store(row.name, c.value);
      load();
      const int b = row.binding;
      EXPECT_EQ(keyBindings[b], c.expected ? c.expected : defaultBinding(b)) << "binding " << b;
    }
  }
}

TEST(KeyIs, ComparesTheLow16BitsAsSigned) {
  const struct {
    const char *name;
    int16_t binding;
    int32_t key;
    bool matches;
  } cases[] = {
      {.name = "the same code", .binding = VK_UP, .key = VK_UP, .matches = true},
      {.name = "high bits ignored", .binding = VK_UP, .key = 0x10000 | VK_UP, .matches = true},
      {.name = "another code", .binding = VK_UP, .key = VK_RIGHT, .matches = false},
      {.name = "a negative binding, 16 bits", .binding = -2, .key = 0xFFFE, .matches = true},
      {.name = "the sign bit counts", .binding = -2, .key = 0x7FFE, .matches = false},
      {.name = "the code shifted up is another",
       .binding = VK_RETURN,
       .key = VK_RETURN << 8,
       .matches = false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    keyBindings[kButtonA] = c.binding;
    EXPECT_EQ(keyIs(c.key, kButtonA), c.matches);
  }
}

}  // namespace
