// PROVISIONAL STUB: replaced by the real implementation.
#include "screens/screens.h"

void gameSelectSceneFrame() {}
void gameSelectSceneKey(int32_t) {}
void playerSelectSceneFrame() {}
void playerSelectSceneKey(int32_t) {}
void readySceneFrame() {}
void readySceneKey(int32_t) {}
