// The eight key bindings, their device defaults, and the sound flag and
// bindings kept in the registry between runs.
#include "app/settings.h"

#include "gfx/surface.h"
#include "platform/gx.h"

int16_t keyBindings[kKeyBindingCount];
const wchar_t *const settingsKeyPath = L"SOFTWARE\\Qen\\Tobelyn";

namespace {

constexpr DWORD kQueryBufferBytes = 520;
constexpr DWORD kValueBytes = 2;

// The sound flag on its way between the registry and setSoundEnabled.
int16_t soundValue;

// The game's variable for a stored value.
int16_t &variableOf(const StoredSetting &setting) {
  return setting.binding == kSoundFlag ? soundValue : keyBindings[setting.binding];
}

int16_t initialSound() {
  for (const StoredSetting &setting : storedSettings)
    if (setting.binding == kSoundFlag) return setting.initial;
  return 0;
}

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
  keyBindings[kKeyUp] = keys.vkUp;
  keyBindings[kKeyDown] = keys.vkDown;
  keyBindings[kKeyLeft] = keys.vkLeft;
  keyBindings[kKeyRight] = keys.vkRight;
  keyBindings[kButtonA] = keys.vkA;
  keyBindings[kButtonB] = keys.vkB;
  keyBindings[kButtonC] = keys.vkC;
  // AS-DESIGNED: Start is kept and saved like the other buttons although no
  // screen reads or shows it.
  keyBindings[kButtonStart] = keys.vkStart;
}

void loadSettings() {
  // The bindings start from the device's keys (takeDefaultKeys); the sound
  // flag from its initial value, which also stands when nothing is stored.
  soundValue = initialSound();
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (openSettingsKey(&key, &disposition)) {
    if (disposition == REG_OPENED_EXISTING_KEY) {
      BYTE buffer[kQueryBufferBytes];
      for (const StoredSetting &setting : storedSettings) {
        DWORD size = kQueryBufferBytes;
        if (RegQueryValueExW(key, setting.name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) {
          continue;
        }
        // A value too short to hold a number counts as missing; only the
        // bytes actually read are looked at.
        if (size < kValueBytes) continue;
        variableOf(setting) = static_cast<int16_t>(buffer[0] | (buffer[1] << 8));
      }
    }
    RegCloseKey(key);
  }
  setSoundEnabled(soundValue != 0 ? 1 : 0);
}

void resetSettings() {
  takeDefaultKeys();
  setSoundEnabled(initialSound() != 0 ? 1 : 0);
}

void saveSettings() {
  soundValue = isSoundEnabled() == 1 ? 1 : 0;

  HKEY key = nullptr;
  DWORD disposition = 0;
  if (!openSettingsKey(&key, &disposition)) return;
  for (const StoredSetting &setting : storedSettings) {
    uint16_t bits = static_cast<uint16_t>(variableOf(setting));
    BYTE bytes[kValueBytes] = {static_cast<BYTE>(bits & 0xFF), static_cast<BYTE>(bits >> 8)};
    RegSetValueExW(key, setting.name, 0, REG_BINARY, bytes, kValueBytes);
  }
  RegCloseKey(key);
}
