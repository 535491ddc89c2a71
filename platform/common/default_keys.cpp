// The device's default button codes, shared by every backend (the native
// Windows build included): the initial values of the stored settings.
#include "platform/backend.h"
#include "platform/gx.h"
#include "platform/settings_values.h"

GXKeyList platformDefaultKeys() {
  short code[kKeyBindingCount] = {};
  for (const StoredSetting &s : storedSettings)
    if (s.binding != kSoundFlag) code[s.binding] = s.initial;
  GXKeyList keys{};
  keys.vkUp = code[kKeyUp];
  keys.vkDown = code[kKeyDown];
  keys.vkLeft = code[kKeyLeft];
  keys.vkRight = code[kKeyRight];
  keys.vkA = code[kButtonA];
  keys.vkB = code[kButtonB];
  keys.vkC = code[kButtonC];
  keys.vkStart = code[kButtonStart];
  return keys;
}
