// The eight key bindings and the Settings kept in the registry key.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

enum KeyBinding : int32_t {
  KEY_UP,
  KEY_DOWN,
  KEY_LEFT,
  KEY_RIGHT,
  BUTTON_A,
  BUTTON_B,
  BUTTON_C,
  BUTTON_START,
  KEY_BINDING_COUNT
};

// Signed 16-bit virtual-key codes, in the order of the registry values.
extern int16_t keyBindings[KEY_BINDING_COUNT];

// Registry value names: "Sound", then the eight bindings in order.
extern const wchar_t *const settingValueNames[1 + KEY_BINDING_COUNT];
extern const wchar_t *const settingsKeyPath;  // SOFTWARE\Qen\Tobelyn

// True when the low 16 bits of a key code, as a signed 16-bit number, equal
// the binding.
bool keyIs(int32_t key, KeyBinding binding);

// Opens the buttons and takes the device's default bindings.
void takeDefaultKeys();
// Reads the stored settings over the defaults and sets the sound flag.
void loadSettings();
// Writes all nine values.
void saveSettings();
