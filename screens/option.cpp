// PROVISIONAL STUB: replaced by the real implementation.
#include "screens/screens.h"

Palette optionSavedPalette;
int32_t keyConfigItem;
void optionSceneFrame() {}
void optionSceneKey(int32_t) {}
void optionSceneTap(int32_t, int32_t) {}
