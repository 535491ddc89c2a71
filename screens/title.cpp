// The title menu: the title picture with its four items, a cursor moved by
// Up and Down, confirmation by Button A or a stylus tap, and the hand-over to
// the chosen screen once the confirmation flash has run out.
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

namespace {

constexpr int32_t ROW_TOP = 112;
constexpr int32_t ROW_HEIGHT = 32;
constexpr int32_t CURSOR_X = 128;
constexpr int32_t TAP_RIGHT = 230;
// START, OPTION, ABOUT and QUIT, each confirmed into its own step.
constexpr int32_t kTitleRows = kTitleQuitChosen - kTitleStartChosen + 1;

// Confirms a row: the choice is fixed and the flash starts level with the
// middle of the row's cursor position.
void confirmTitleRow(int32_t row) {
  menuChoice = row;
  sceneStep = kTitleStartChosen + row;
  startMenuConfirmation(CURSOR_X, ROW_TOP + 8 + ROW_HEIGHT * row);
}

}  // namespace

void installTitleScene() { switchSceneWithTap(titleSceneFrame, titleSceneKey, titleSceneTap); }

void titleSceneFrame() {
  if (sceneStep == kTitleEntering) enterMenu(kTitleChoosing);

  blit(kTitleSurface, 0, 0, 0, 0, kBackSurface, 0, 0, NO_KEY);

  if (sceneStep == kTitleChoosing) {
    drawSprite(kSpriteMenuCursor, kBackSurface, CURSOR_X, ROW_TOP + ROW_HEIGHT * menuCursor,
               COLOR_KEY);
  }

  if (sceneStep >= kTitleStartChosen && sceneStep <= kTitleQuitChosen) {
    if (menuConfirmationFinished()) {
      switch (sceneStep) {
        case kTitleStartChosen:
          switchSceneWithTap(gameSelectSceneFrame, gameSelectSceneKey, nullptr);
          break;
        case kTitleOptionChosen:
          switchSceneWithTap(optionSceneFrame, optionSceneKey, optionSceneTap);
          break;
        case kTitleAboutChosen:
          switchSceneWithTap(aboutSceneFrame, aboutSceneKey, nullptr);
          break;
        default:
          // kTitleQuitChosen: the window's destruction ends the main loop; this last
          // frame is not shown.
          framesEnabled = 0;
          DestroyWindow(mainWindow);
          return;
      }
    }
  }

  present(kBackSurface, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void titleSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (menuKeyTooSoon(now)) return;
  moveMenuCursor(key, now, kTitleRows);
  if (keyIs(key, BUTTON_A) && menuChoice == -1) confirmTitleRow(menuCursor);
}

void titleSceneTap(int32_t x, int32_t y) {
  if (menuChoice != -1) return;
  if (x < CURSOR_X || x > TAP_RIGHT) return;
  if (y < ROW_TOP || y >= ROW_TOP + ROW_HEIGHT * kTitleRows) return;
  confirmTitleRow((y - ROW_TOP) / ROW_HEIGHT);
}
