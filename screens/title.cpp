// The title menu: the title picture with its four items, a cursor moved by
// Up and Down, confirmation by Button A or a stylus tap, and the hand-over to
// the chosen screen once the confirmation flash has run out.
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

int32_t confirmPointX;
int32_t confirmPointY;

namespace {

constexpr int32_t TITLE_STEP_CHOOSING = 1;
constexpr int32_t TITLE_STEP_START = 2;
constexpr int32_t TITLE_STEP_OPTION = 3;
constexpr int32_t TITLE_STEP_ABOUT = 4;
constexpr int32_t TITLE_STEP_QUIT = 5;

constexpr int32_t CURSOR_SPRITE = 0;
constexpr int32_t SPARK_SPRITE = 5;
constexpr int32_t CONFIRM_ANIMATION = 0;

constexpr int32_t ROW_TOP = 112;
constexpr int32_t ROW_HEIGHT = 32;
constexpr int32_t ROW_COUNT = 4;
constexpr int32_t CURSOR_X = 128;
constexpr int32_t TAP_RIGHT = 230;

// Confirms a row: the choice is fixed and the flash starts level with the
// middle of the row's cursor position.
void confirmTitleRow(int32_t row) {
  menuChoice = row;
  sceneStep = TITLE_STEP_START + row;
  confirmPointX = CURSOR_X;
  confirmPointY = ROW_TOP + 8 + ROW_HEIGHT * row;
  startEffect(CONFIRM_ANIMATION, confirmPointX, confirmPointY);
}

}  // namespace

void installTitleScene() { switchSceneWithTap(titleSceneFrame, titleSceneKey, titleSceneTap); }

void titleSceneFrame() {
  if (sceneStep == 0) {
    menuCursor = 0;
    sceneStep = TITLE_STEP_CHOOSING;
    menuChoice = -1;
    clearEffects();
    inputDebounceTime = timeGetTime();
  }

  blit(1, 0, 0, 0, 0, 0, 0, 0, NO_KEY);

  if (sceneStep == TITLE_STEP_CHOOSING) {
    drawSprite(CURSOR_SPRITE, 0, CURSOR_X, ROW_TOP + ROW_HEIGHT * menuCursor, COLOR_KEY);
  }

  if (sceneStep >= TITLE_STEP_START && sceneStep <= TITLE_STEP_QUIT) {
    updateEffects(appInstance, 0);
    drawSprite(SPARK_SPRITE, 0, confirmPointX, confirmPointY, COLOR_KEY);
    if (anyEffectActive() == 0) {
      switch (sceneStep) {
        case TITLE_STEP_START:
          switchSceneWithTap(gameSelectSceneFrame, gameSelectSceneKey, nullptr);
          break;
        case TITLE_STEP_OPTION:
          switchSceneWithTap(optionSceneFrame, optionSceneKey, optionSceneTap);
          break;
        case TITLE_STEP_ABOUT:
          switchSceneWithTap(aboutSceneFrame, aboutSceneKey, nullptr);
          break;
        default:
          // QUIT: the window's destruction ends the main loop; this last
          // frame is not shown.
          framesEnabled = 0;
          DestroyWindow(mainWindow);
          return;
      }
    }
  }

  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void titleSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (now - inputDebounceTime < INPUT_GAP_MS) return;

  if (keyIs(key, KEY_UP)) {
    inputDebounceTime = now;
    if (--menuCursor < 0) menuCursor = 0;
  }
  if (keyIs(key, KEY_DOWN)) {
    inputDebounceTime = now;
    if (++menuCursor > ROW_COUNT - 1) menuCursor = ROW_COUNT - 1;
  }
  if (keyIs(key, BUTTON_A) && menuChoice == -1) confirmTitleRow(menuCursor);
}

void titleSceneTap(int32_t x, int32_t y) {
  if (menuChoice != -1) return;
  if (x < CURSOR_X || x > TAP_RIGHT) return;
  if (y < ROW_TOP || y >= ROW_TOP + ROW_HEIGHT * ROW_COUNT) return;
  confirmTitleRow((y - ROW_TOP) / ROW_HEIGHT);
}
