// What the title menu and the set-up menus share: entering a menu, the
// cursor over its rows, and the confirmation flash with its spark.
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

int32_t confirmPointX;
int32_t confirmPointY;

void enterMenu(int32_t choosingStep) {
  menuCursor = 0;
  sceneStep = choosingStep;
  menuChoice = -1;
  clearEffects();
  inputDebounceTime = timeGetTime();
}

bool menuKeyTooSoon(uint32_t now) { return now - inputDebounceTime < kInputGapMs; }

void moveMenuCursor(int32_t key, uint32_t now, int32_t rows) {
  if (keyIs(key, kKeyUp)) {
    inputDebounceTime = now;
    if (--menuCursor < 0) menuCursor = 0;
  }
  if (keyIs(key, kKeyDown)) {
    inputDebounceTime = now;
    if (++menuCursor > rows - 1) menuCursor = rows - 1;
  }
}

void startMenuConfirmation(int32_t x, int32_t y) {
  confirmPointX = x;
  confirmPointY = y;
  startEffect(kEffectConfirm, x, y);
}

bool menuConfirmationFinished() {
  updateEffects(appInstance, kBackSurface);
  drawSprite(kSpriteSpark, kBackSurface, confirmPointX, confirmPointY, COLOR_KEY);
  return anyEffectActive() == 0;
}
