// The eight key bindings, their device defaults, and the sound flag and
// bindings kept in the registry between runs.
#include "app/settings.h"

#include "gfx/surface.h"
#include "platform/gx.h"

int16_t keyBindings[KEY_BINDING_COUNT];
const wchar_t *const settingValueNames[1 + KEY_BINDING_COUNT] = {
    L"Sound",   L"KeyUp",   L"KeyDown", L"KeyLeft",    L"KeyRight",
    L"ButtonA", L"ButtonB", L"ButtonC", L"ButtonStart"};
const wchar_t *const settingsKeyPath = L"SOFTWARE\\Qen\\Tobelyn";

namespace {

constexpr DWORD QUERY_BUFFER_BYTES = 520;
constexpr DWORD VALUE_BYTES = 2;

// Opens the key, creating it when it is missing.
bool openSettingsKey(HKEY *key, DWORD *disposition) {
  return RegCreateKeyExW(SETTINGS_ROOT_KEY, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                         key, disposition) == ERROR_SUCCESS;
}

}  // namespace

bool keyIs(int32_t key, KeyBinding binding) {
  return static_cast<int16_t>(key & 0xFFFF) == keyBindings[binding];
}

void takeDefaultKeys() {
  GXOpenInput();
  GXKeyList keys = GXGetDefaultKeys(GX_NORMALKEYS);
  keyBindings[KEY_UP] = keys.vkUp;
  keyBindings[KEY_DOWN] = keys.vkDown;
  keyBindings[KEY_LEFT] = keys.vkLeft;
  keyBindings[KEY_RIGHT] = keys.vkRight;
  keyBindings[BUTTON_A] = keys.vkA;
  keyBindings[BUTTON_B] = keys.vkB;
  keyBindings[BUTTON_C] = keys.vkC;
  keyBindings[BUTTON_START] = keys.vkStart;
}

void loadSettings() {
  // Sound is on at the first start and whenever the stored value is absent.
  int16_t soundValue = 1;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (openSettingsKey(&key, &disposition)) {
    if (disposition == REG_OPENED_EXISTING_KEY) {
      BYTE buffer[QUERY_BUFFER_BYTES];
      for (int32_t i = 0; i < 1 + KEY_BINDING_COUNT; ++i) {
        DWORD size = QUERY_BUFFER_BYTES;
        if (RegQueryValueExW(key, settingValueNames[i], nullptr, nullptr, buffer, &size) !=
            ERROR_SUCCESS) {
          continue;
        }
        // A value too short to hold a number counts as missing; only the
        // bytes actually read are looked at.
        if (size < VALUE_BYTES) continue;
        int16_t value = static_cast<int16_t>(buffer[0] | (buffer[1] << 8));
        if (i == 0) {
          soundValue = value;
        } else {
          keyBindings[i - 1] = value;
        }
      }
    }
    RegCloseKey(key);
  }
  setSoundEnabled(soundValue != 0 ? 1 : 0);
}

void saveSettings() {
  int16_t values[1 + KEY_BINDING_COUNT];
  values[0] = isSoundEnabled() == 1 ? 1 : 0;
  for (int32_t i = 0; i < KEY_BINDING_COUNT; ++i) values[1 + i] = keyBindings[i];

  HKEY key = nullptr;
  DWORD disposition = 0;
  if (!openSettingsKey(&key, &disposition)) return;
  for (int32_t i = 0; i < 1 + KEY_BINDING_COUNT; ++i) {
    uint16_t bits = static_cast<uint16_t>(values[i]);
    BYTE bytes[VALUE_BYTES] = {static_cast<BYTE>(bits & 0xFF), static_cast<BYTE>(bits >> 8)};
    RegSetValueExW(key, settingValueNames[i], 0, REG_BINARY, bytes, VALUE_BYTES);
  }
  RegCloseKey(key);
}
