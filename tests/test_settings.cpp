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

HKEY openKey(DWORD *disposition = nullptr) {
  HKEY key = nullptr;
  DWORD d = 0;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &d),
            ERROR_SUCCESS);
  if (disposition != nullptr) *disposition = d;
  return key;
}

void store(const wchar_t *name, const Bytes &bytes) {
  HKEY key = openKey();
  RegSetValueExW(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

bool stored(const wchar_t *name, Bytes *bytes, DWORD *type) {
  HKEY key = openKey();
  BYTE buffer[1024];
  DWORD size = sizeof buffer;
  LONG result = RegQueryValueExW(key, name, nullptr, type, buffer, &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  bytes->assign(buffer, buffer + size);
  return true;
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
  void load() {
    takeDefaultKeys();
    loadSettings();
  }
};

TEST_F(SettingsTest, FirstStartCreatesAnEmptyKeyThenSavesAllNineValues) {
  load();
  EXPECT_EQ(isSoundEnabled(), 1u);
  for (int i = 0; i < KEY_BINDING_COUNT; ++i) EXPECT_EQ(keyBindings[i], defaultBinding(i)) << i;
  DWORD disposition = 0;
  RegCloseKey(openKey(&disposition));
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  Bytes bytes;
  DWORD type;
  for (const wchar_t *name : settingValueNames) EXPECT_FALSE(stored(name, &bytes, &type));

  saveSettings();
  EXPECT_TRUE(stored(L"Sound", &bytes, &type));
  EXPECT_EQ(bytes, (Bytes{1, 0}));
  for (int i = 0; i < KEY_BINDING_COUNT; ++i) {
    ASSERT_TRUE(stored(settingValueNames[1 + i], &bytes, &type));
    EXPECT_EQ(type, REG_BINARY);
    uint16_t bits = static_cast<uint16_t>(defaultBinding(i));
    EXPECT_EQ(bytes, (Bytes{static_cast<BYTE>(bits & 0xFF), static_cast<BYTE>(bits >> 8)}));
  }
}

struct SoundCase {
  const char *name;
  bool present;
  Bytes value;
  uint32_t soundAfterLoad;
  Bytes writtenBack;
};

class SoundValueTest : public SettingsTest, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(SoundValueTest, LoadsAndWritesBack) {
  const SoundCase &c = GetParam();
  // The key exists (with another value) so that the values are queried.
  store(L"KeyUp", {0x26, 0});
  if (c.present) store(L"Sound", c.value);
  load();
  EXPECT_EQ(isSoundEnabled(), c.soundAfterLoad);
  saveSettings();
  Bytes bytes;
  DWORD type = 0;
  ASSERT_TRUE(stored(L"Sound", &bytes, &type));
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(bytes, c.writtenBack);
}

INSTANTIATE_TEST_SUITE_P(Settings, SoundValueTest,
                         ::testing::Values(SoundCase{"Absent", false, {}, 1, {1, 0}},
                                           SoundCase{"Zero", true, {0, 0}, 0, {0, 0}},
                                           SoundCase{"One", true, {1, 0}, 1, {1, 0}},
                                           SoundCase{"HighByteOnly", true, {0, 1}, 1, {1, 0}},
                                           SoundCase{"MinusOne", true, {0xFF, 0xFF}, 1, {1, 0}},
                                           // Too short to hold a number: as if absent.
                                           SoundCase{"EmptyValue", true, {}, 1, {1, 0}},
                                           SoundCase{"OneByteZero", true, {0}, 1, {1, 0}},
                                           // Longer values count by their first two bytes.
                                           SoundCase{"LongZero", true, {0, 0, 7, 7, 7}, 0, {0, 0}},
                                           SoundCase{"LongNonZero", true, {0, 2, 0, 0}, 1, {1, 0}}),
                         [](const ::testing::TestParamInfo<SoundCase> &info) {
                           return std::string(info.param.name);
                         });

struct BindingCase {
  const char *name;
  Bytes value;
  bool replaces;
  int16_t expected;
};

class BindingValueTest : public SettingsTest, public ::testing::WithParamInterface<BindingCase> {};

TEST_P(BindingValueTest, ReplacesTheDefaultOnlyWhenReadable) {
  const BindingCase &c = GetParam();
  for (int i = 0; i < KEY_BINDING_COUNT; ++i) {
    SetUp();
    // The value before in query order is a full one, so that a short value
    // would expose whatever it left in the buffer.
    store(L"Sound", {0x5A, 0x5A});
    for (int j = 0; j < i; ++j) store(settingValueNames[1 + j], {0x33, 0x44});
    store(settingValueNames[1 + i], c.value);
    load();
    EXPECT_EQ(keyBindings[i], c.replaces ? c.expected : defaultBinding(i))
        << "binding " << i << " " << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, BindingValueTest,
    ::testing::Values(BindingCase{"TwoBytes", {0x41, 0x00}, true, 0x41},
                      BindingCase{"Negative", {0xC1, 0xFF}, true, -63},
                      BindingCase{"Longer", {0x34, 0x12, 0x99, 0x99}, true, 0x1234},
                      BindingCase{"Empty", {}, false, 0}, BindingCase{"OneByte", {0x41}, false, 0}),
    [](const ::testing::TestParamInfo<BindingCase> &info) { return std::string(info.param.name); });

TEST_F(SettingsTest, ValueLargerThanTheQueryBufferKeepsTheDefault) {
  Bytes huge(600, 0x11);
  store(L"ButtonA", huge);
  load();
  EXPECT_EQ(keyBindings[BUTTON_A], defaultBinding(BUTTON_A));
}

TEST_F(SettingsTest, BindingsSurviveARestartUnchecked) {
  store(L"KeyUp", {0x41, 0});
  store(L"KeyDown", {0x41, 0});  // a duplicate is kept
  store(L"ButtonStart", {0x77, 0x01});
  load();
  keyBindings[BUTTON_C] = -2;  // as the option screen would
  saveSettings();

  for (int16_t &b : keyBindings) b = 0;
  load();
  const int16_t expected[KEY_BINDING_COUNT] = {0x41,
                                               0x41,
                                               defaultBinding(KEY_LEFT),
                                               defaultBinding(KEY_RIGHT),
                                               defaultBinding(BUTTON_A),
                                               defaultBinding(BUTTON_B),
                                               -2,
                                               0x177};
  for (int i = 0; i < KEY_BINDING_COUNT; ++i) EXPECT_EQ(keyBindings[i], expected[i]) << i;
}

struct KeyIsCase {
  int16_t binding;
  int32_t key;
  bool matches;
};

TEST(KeyIs, ComparesTheLow16BitsAsSigned) {
  const KeyIsCase cases[] = {
      {0x26, 0x26, true}, {0x26, 0x10026, true}, {0x26, 0x27, false},    {-2, 0xFFFE, true},
      {-2, -2, true},     {-2, 0x7FFE, false},   {0x7FFF, 0x7FFF, true}, {-32768, 0x8000, true},
      {0, 0x10000, true}, {0x0D, 0x0D00, false},
  };
  for (const KeyIsCase &c : cases) {
    keyBindings[BUTTON_A] = c.binding;
    EXPECT_EQ(keyIs(c.key, BUTTON_A), c.matches) << c.binding << " vs " << c.key;
  }
}

}  // namespace
