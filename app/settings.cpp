// PROVISIONAL STUB: replaced by the real implementation.
#include "app/settings.h"

int16_t keyBindings[KEY_BINDING_COUNT];
const wchar_t *const settingValueNames[1 + KEY_BINDING_COUNT] = {
    L"Sound",   L"KeyUp",   L"KeyDown", L"KeyLeft",    L"KeyRight",
    L"ButtonA", L"ButtonB", L"ButtonC", L"ButtonStart"};
const wchar_t *const settingsKeyPath = L"SOFTWARE\\Qen\\Tobelyn";

bool keyIs(int32_t key, KeyBinding binding) {
  return static_cast<int16_t>(key & 0xFFFF) == keyBindings[binding];
}
void takeDefaultKeys() {}
void loadSettings() {}
void saveSettings() {}
