// PROVISIONAL STUB: replaced by the real implementation.
#include "screens/screens.h"

Palette aboutSavedPalette;
void aboutSceneFrame() {}
void aboutSceneKey(int32_t) {}
