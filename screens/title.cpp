// PROVISIONAL STUB: replaced by the real implementation.
#include "app/scene.h"
#include "screens/screens.h"

int32_t confirmPointX;
int32_t confirmPointY;

void titleSceneFrame() {}
void titleSceneKey(int32_t) {}
void titleSceneTap(int32_t, int32_t) {}
void installTitleScene() { switchSceneWithTap(titleSceneFrame, titleSceneKey, titleSceneTap); }
