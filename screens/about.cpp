// The about screen: four credit images, faded in from black by 4 per frame,
// shown until Button A or B, then faded out to white and back to the title.
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

Palette aboutSavedPalette;

namespace {

constexpr int32_t ABOUT_STEP_FADING_IN = 1;
constexpr int32_t ABOUT_STEP_SHOWING = 2;
constexpr int32_t ABOUT_STEP_FADING_OUT = 3;
constexpr int32_t ABOUT_STEP_LEAVING = 4;

constexpr int32_t ABOUT_FADE_STEP = 4;

constexpr int32_t PRODUCT_LOGO_SPRITE = 85;
constexpr int32_t CREDITS_SPRITE = 87;
constexpr int32_t PRODUCER_LOGO_SPRITE = 71;
constexpr int32_t LEGAL_SPRITE = 86;

}  // namespace

void aboutSceneFrame() {
  switch (sceneStep) {
    case 0:
      // The picture is drawn once; from here on only the palette changes.
      getPalette(0, aboutSavedPalette);
      fillPalette(0, 0, 0, 0);
      clearSurface(0, BACKGROUND_INDEX);
      drawSprite(PRODUCT_LOGO_SPRITE, 0, 48, 16, COLOR_KEY);
      drawSprite(CREDITS_SPRITE, 0, 16, 96, COLOR_KEY);
      drawSprite(PRODUCER_LOGO_SPRITE, 0, 72, 160, COLOR_KEY);
      drawSprite(LEGAL_SPRITE, 0, 24, 272, COLOR_KEY);
      inputDebounceTime = timeGetTime();
      sceneStep = ABOUT_STEP_FADING_IN;
      break;
    case ABOUT_STEP_FADING_IN:
      if (fadeToward(0, aboutSavedPalette, ABOUT_FADE_STEP) == FADE_DONE) {
        sceneStep = ABOUT_STEP_SHOWING;
      }
      break;
    case ABOUT_STEP_FADING_OUT:
      if (fadeToWhiteOrBlack(0, 1, ABOUT_FADE_STEP) == FADE_DONE) {
        sceneStep = ABOUT_STEP_LEAVING;
      }
      break;
    case ABOUT_STEP_LEAVING:
      clearSurface(0, 0);
      setPalette(0, aboutSavedPalette);
      installTitleScene();
      break;
    default:
      break;
  }

  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void aboutSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (now - inputDebounceTime < INPUT_GAP_MS) return;
  if ((keyIs(key, BUTTON_A) || keyIs(key, BUTTON_B)) && sceneStep == ABOUT_STEP_SHOWING) {
    sceneStep = ABOUT_STEP_FADING_OUT;
  }
}
