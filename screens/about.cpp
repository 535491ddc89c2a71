// The about screen: four credit images, faded in from black by 4 per frame,
// shown until Button A or B, then faded out to white and back to the title.
#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

Palette aboutSavedPalette;

namespace {

constexpr int32_t kAboutFadeStep = 4;

}  // namespace

void aboutSceneFrame() {
  switch (sceneStep) {
    case kAboutEntering:
      // The picture is drawn once; from here on only the palette changes.
      getPalette(kBackSurface, aboutSavedPalette);
      fillPalette(kBackSurface, 0, 0, 0);
      clearSurface(kBackSurface, BACKGROUND_INDEX);
      drawSprite(kSpriteProductLogo, kBackSurface, 48, 16, COLOR_KEY);
      drawSprite(kSpriteCredits, kBackSurface, 16, 96, COLOR_KEY);
      drawSprite(kSpriteProducerLogo, kBackSurface, 72, 160, COLOR_KEY);
      drawSprite(kSpriteLegal, kBackSurface, 24, 272, COLOR_KEY);
      inputDebounceTime = timeGetTime();
      sceneStep = kAboutFadingIn;
      break;
    case kAboutFadingIn:
      if (fadeToward(kBackSurface, aboutSavedPalette, kAboutFadeStep) == kFadeDone) {
        sceneStep = kAboutShowing;
      }
      break;
    case kAboutFadingOut:
      if (fadeToWhiteOrBlack(kBackSurface, 1, kAboutFadeStep) == kFadeDone) {
        sceneStep = kAboutLeaving;
      }
      break;
    case kAboutLeaving:
      clearSurface(kBackSurface, 0);
      setPalette(kBackSurface, aboutSavedPalette);
      installTitleScene();
      break;
    default:
      break;
  }

  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}

void aboutSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (menuKeyTooSoon(now)) return;
  if ((keyIs(key, kButtonA) || keyIs(key, kButtonB)) && sceneStep == kAboutShowing) {
    sceneStep = kAboutFadingOut;
  }
}
