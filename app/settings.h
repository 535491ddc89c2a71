// The eight key bindings and the Settings kept in the registry key.
#pragma once

#include <cstdint>

#include "platform/settings_values.h"
#include "platform/winapi.h"

// Signed 16-bit virtual-key codes, by KeyBinding.
extern int16_t keyBindings[kKeyBindingCount];

extern const wchar_t *const settingsKeyPath;  // SOFTWARE\Qen\Tobelyn

// True when the low 16 bits of a key code, as a signed 16-bit number, equal
// the binding.
bool keyIs(int32_t key, KeyBinding binding);

// Opens the buttons and takes the device's default bindings.
void takeDefaultKeys();
// Reads the stored settings over the defaults and sets the sound flag.
void loadSettings();
// Back to the first-start values: the device's keys and the initial sound
// flag (nothing is written).
void resetSettings();
// Writes every stored value.
void saveSettings();
