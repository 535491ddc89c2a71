// The settings the game keeps between runs, in one table: the sound flag and
// the eight key bindings, each a signed 16-bit number stored under its own
// name in the game's registry key. The game loads and saves them by this
// table (app/settings.cpp), the settings file keeps these names and no others
// (platform/common/registry_file.cpp), and the backends' default keys come
// from it (platform/common/default_keys.cpp).
#pragma once

#include <cstdint>

#include "platform/winapi.h"

// The buttons the game binds, in the order of GXKeyList and of the code
// table handed to platformUseButtonCodes.
enum KeyBinding : int32_t {
  kKeyUp,
  kKeyDown,
  kKeyLeft,
  kKeyRight,
  kButtonA,
  kButtonB,
  kButtonC,
  kButtonStart,
  kKeyBindingCount
};

// Where a stored value lives in the game: the key binding it holds, or this
// for the sound flag.
constexpr int32_t kSoundFlag = -1;

struct StoredSetting {
  const wchar_t *name;  // the registry value
  int16_t initial;      // before anything is stored: sound on, the device's own keys
  int32_t binding;      // a KeyBinding, or kSoundFlag
};

constexpr int32_t kStoredSettingCount = 1 + kKeyBindingCount;

// In the order they are read and written.
inline constexpr StoredSetting storedSettings[kStoredSettingCount] = {
    {.name = L"Sound", .initial = 1, .binding = kSoundFlag},
    {.name = L"KeyUp", .initial = VK_UP, .binding = kKeyUp},
    {.name = L"KeyDown", .initial = VK_DOWN, .binding = kKeyDown},
    {.name = L"KeyLeft", .initial = VK_LEFT, .binding = kKeyLeft},
    {.name = L"KeyRight", .initial = VK_RIGHT, .binding = kKeyRight},
    {.name = L"ButtonA", .initial = VK_RETURN, .binding = kButtonA},
    {.name = L"ButtonB", .initial = VK_ESCAPE, .binding = kButtonB},
    {.name = L"ButtonC", .initial = 'C', .binding = kButtonC},
    {.name = L"ButtonStart", .initial = 'S', .binding = kButtonStart},
};
