// The device's default button codes, shared by every backend (the native
// Windows build included): the initial values of the stored settings.
#include "platform/backend.h"
#include "platform/gx.h"
#include "platform/settings_values.h"

GXKeyList platformDefaultKeys() {
  short code[KEY_BINDING_COUNT] = {};
  for (const StoredSetting &s : storedSettings)
    if (s.binding != kSoundFlag) code[s.binding] = s.initial;
  GXKeyList keys{};
  keys.vkUp = code[KEY_UP];
  keys.vkDown = code[KEY_DOWN];
  keys.vkLeft = code[KEY_LEFT];
  keys.vkRight = code[KEY_RIGHT];
  keys.vkA = code[BUTTON_A];
  keys.vkB = code[BUTTON_B];
  keys.vkC = code[BUTTON_C];
  keys.vkStart = code[BUTTON_START];
  return keys;
}
