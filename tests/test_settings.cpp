// Settings: the device defaults, the load over them from the registry key
// and the save of all nine values.
#include <gtest/gtest.h>

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
  const short all[KEY_BINDING_COUNT] = {k.vkUp, k.vkDown, k.vkLeft, k.vkRight,
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
  for (int i = 0; i < KEY_BINDING_COUNT; ++i) EXPECT_EQ(keyBindings[i], defaultBinding(i)) << i;
  for (const wchar_t *name : settingValueNames) EXPECT_EQ(stored(name), Bytes{0xEE});
}

TEST_F(SettingsTest, SoundValueLoadsAndIsWrittenBackAsZeroOrOne) {
  // Values too short for a number count as absent; longer ones by their first
  // two bytes.
  // clang-format off
  const struct { bool present; Bytes value; uint32_t sound; Bytes writtenBack; } cases[] = {
      {false, {}, 1, {1, 0}}, {true, {0, 0}, 0, {0, 0}}, {true, {1, 0}, 1, {1, 0}},
      {true, {0, 1}, 1, {1, 0}}, {true, {0xFF, 0xFF}, 1, {1, 0}}, {true, {}, 1, {1, 0}},
      {true, {0}, 1, {1, 0}}, {true, {0, 0, 7, 7, 7}, 0, {0, 0}}, {true, {0, 2, 0, 0}, 1, {1, 0}},
  };
  // clang-format on
  for (const auto &c : cases) {
    SetUp();
    store(L"KeyUp", {0x26, 0});  // the key exists, so that the values are queried
    if (c.present) store(L"Sound", c.value);
    load();
    EXPECT_EQ(isSoundEnabled(), c.sound) << c.value.size();
    saveSettings();
    EXPECT_EQ(stored(L"Sound"), c.writtenBack) << c.value.size();
  }
}

TEST_F(SettingsTest, BindingReplacesTheDefaultOnlyWhenReadable) {
  // expected 0: the default stays.
  // clang-format off
  const struct { Bytes value; int16_t expected; } cases[] = {
      {{0x41, 0x00}, 0x41}, {{0xC1, 0xFF}, -63}, {{0x34, 0x12, 0x99, 0x99}, 0x1234},
      {{}, 0}, {{0x41}, 0}, {Bytes(600, 0x11), 0},  // larger than the query buffer
  };
  // clang-format on
  for (const auto &c : cases) {
    for (int i = 0; i < KEY_BINDING_COUNT; ++i) {
      SetUp();
      // The value before in query order is a full one, so that a short value
      // would expose whatever it left in the buffer.
      store(L"Sound", {0x5A, 0x5A});
      for (int j = 0; j < i; ++j) store(settingValueNames[1 + j], {0x33, 0x44});
      store(settingValueNames[1 + i], c.value);
      load();
      EXPECT_EQ(keyBindings[i], c.expected ? c.expected : defaultBinding(i))
          << "binding " << i << ", " << c.value.size() << " bytes";
    }
  }
}

TEST(KeyIs, ComparesTheLow16BitsAsSigned) {
  // clang-format off
  const struct { int16_t binding; int32_t key; bool matches; } cases[] = {
      {0x26, 0x26, true}, {0x26, 0x10026, true}, {0x26, 0x27, false},    {-2, 0xFFFE, true},
      {-2, -2, true},     {-2, 0x7FFE, false},   {0x7FFF, 0x7FFF, true}, {-32768, 0x8000, true},
      {0, 0x10000, true}, {0x0D, 0x0D00, false},
  };
  // clang-format on
  for (const auto &c : cases) {
    keyBindings[BUTTON_A] = c.binding;
    EXPECT_EQ(keyIs(c.key, BUTTON_A), c.matches) << c.binding << " vs " << c.key;
  }
}

}  // namespace
