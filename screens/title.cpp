// The title menu: the title picture with its four items, a cursor moved by
// Up and Down, confirmation by Button A or a stylus tap, and the hand-over to
// the chosen screen once the confirmation flash has run out.
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

namespace {

constexpr int32_t kRowTop = 112;
constexpr int32_t kRowHeight = 32;
constexpr int32_t kCursorX = 128;
constexpr int32_t kTapRight = 230;
// START, OPTION, ABOUT and QUIT, each confirmed into its own step.
constexpr int32_t kTitleRows = kTitleQuitChosen - kTitleStartChosen + 1;

// Confirms a row: the choice is fixed and the flash starts level with the
// middle of the row's cursor position.
void confirmTitleRow(int32_t row) {
  menuChoice = row;
  sceneStep = kTitleStartChosen + row;
  startMenuConfirmation(kCursorX, kRowTop + 8 + kRowHeight * row);
}

}  // namespace

void installTitleScene() { switchSceneWithTap(titleSceneFrame, titleSceneKey, titleSceneTap); }

void titleSceneFrame() {
  if (sceneStep == kTitleEntering) enterMenu(kTitleChoosing);

  blit(kTitleSurface, 0, 0, 0, 0, kBackSurface, 0, 0, kNoKey);

  if (sceneStep == kTitleChoosing) {
    drawSprite(kSpriteMenuCursor, kBackSurface, kCursorX, kRowTop + kRowHeight * menuCursor,
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

  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}

void titleSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (menuKeyTooSoon(now)) return;
  moveMenuCursor(key, now, kTitleRows);
  if (keyIs(key, kButtonA) && menuChoice == -1) confirmTitleRow(menuCursor);
}

// AS-DESIGNED: a tap is taken at once, however soon after a key: the input
// gap only spaces key presses.
void titleSceneTap(int32_t x, int32_t y) {
  if (menuChoice != -1) return;
  if (x < kCursorX || x > kTapRight) return;
  if (y < kRowTop || y >= kRowTop + kRowHeight * kTitleRows) return;
  confirmTitleRow((y - kRowTop) / kRowHeight);
}
