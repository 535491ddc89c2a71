// The option screen: sound on and off with Left and Right, seven buttons
// redefined by tapping a caption and pressing the new key, Button A or B to
// leave. Fades in from black and out to black by 8 per frame.
#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "screens/screens.h"

Palette optionSavedPalette;
int32_t keyConfigItem;

namespace {

constexpr int32_t kOptionFadeStep = 8;

constexpr int32_t kRowLeft = 16;
constexpr int32_t kRowTop = 64;
constexpr int32_t kRowHeight = 32;
constexpr int32_t kNumberX = 160;
constexpr int32_t kNumberDigits = 3;

// The redefinable rows, item 1 to 7: the binding each stores, its caption
// and the caption's width, which is also the width of its tap area.
struct OptionRow {
  KeyBinding binding;
  SpriteId caption;
  int32_t captionWidth;
};
constexpr int32_t kOptionRowCount = 7;
constexpr OptionRow optionRows[kOptionRowCount] = {
    {.binding = kKeyUp, .caption = kSpriteUp, .captionWidth = 32},
    {.binding = kKeyDown, .caption = kSpriteDown, .captionWidth = 64},
    {.binding = kKeyLeft, .caption = kSpriteLeft, .captionWidth = 64},
    {.binding = kKeyRight, .caption = kSpriteRight, .captionWidth = 64},
    {.binding = kButtonA, .caption = kSpriteButtonA, .captionWidth = 128},
    {.binding = kButtonB, .caption = kSpriteButtonB, .captionWidth = 128},
    {.binding = kButtonC, .caption = kSpriteButtonC, .captionWidth = 128},
};

void drawOptionPicture() {
  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteSound, kBackSurface, 16, 16, COLOR_KEY);
  drawSprite(isSoundEnabled() != 0 ? kSpriteOn : kSpriteOff, kBackSurface, 160, 16, COLOR_KEY);
  for (int32_t k = 0; k < kOptionRowCount; ++k) {
    drawSprite(optionRows[k].caption, kBackSurface, kRowLeft, kRowTop + kRowHeight * k, COLOR_KEY);
  }
  for (int32_t k = 0; k < kOptionRowCount; ++k) {
    // Shown as the unsigned 16-bit code: a code of 0x8000 or more would be
    // negative as a signed number, which the digit drawing cannot show.
    const int32_t code = static_cast<uint16_t>(keyBindings[optionRows[k].binding]);
    drawBigNumber(kNumberX, kRowTop + kRowHeight * k, kNumberDigits, code);
  }
  if (sceneStep == kOptionWaitingForKey) {
    drawSprite(kSpritePressTheButton, kBackSurface, 48, 128, COLOR_KEY);
  }
}

}  // namespace

void optionSceneFrame() {
  switch (sceneStep) {
    case kOptionEntering:
      getPalette(kBackSurface, optionSavedPalette);
      fillPalette(kBackSurface, 0, 0, 0);
      inputDebounceTime = timeGetTime();
      sceneStep = kOptionFadingIn;
      break;
    case kOptionFadingIn:
      if (fadeToward(kBackSurface, optionSavedPalette, kOptionFadeStep) == kFadeDone) {
        sceneStep = kOptionIdle;
      }
      break;
    case kOptionFadingOut:
      if (fadeToWhiteOrBlack(kBackSurface, 0, kOptionFadeStep) == kFadeDone) {
        sceneStep = kOptionLeaving;
      }
      break;
    case kOptionLeaving:
      // The title draws its first frame on the next pass; nothing is shown
      // from this one.
      clearSurface(kBackSurface, 0);
      setPalette(kBackSurface, optionSavedPalette);
      installTitleScene();
      return;
    default:
      break;
  }

  drawOptionPicture();
  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}

void optionSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (menuKeyTooSoon(now)) return;

  if (sceneStep == kOptionWaitingForKey) {
    const int32_t code = key & 0xFFFF;
    // The left Windows key and the input method's processing key never
    // answer the panel.
    if (code == VK_LWIN || code == VK_PROCESSKEY) return;
    if (keyConfigItem >= 1 && keyConfigItem <= kOptionRowCount) {
      keyBindings[optionRows[keyConfigItem - 1].binding] = static_cast<int16_t>(code);
    }
    inputDebounceTime = now;
    sceneStep = kOptionIdle;
    return;
  }

  if (keyIs(key, kKeyLeft)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) setSoundEnabled(0);
  }
  if (keyIs(key, kKeyRight)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) setSoundEnabled(1);
  }
  if (keyIs(key, kButtonA)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) sceneStep = kOptionFadingOut;
  }
  if (keyIs(key, kButtonB)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) sceneStep = kOptionFadingOut;
  }
}

void optionSceneTap(int32_t x, int32_t y) {
  if (sceneStep != kOptionIdle) return;
  keyConfigItem = 0;
  for (int32_t k = 0; k < kOptionRowCount; ++k) {
    const int32_t top = kRowTop + kRowHeight * k;
    if (x >= kRowLeft && x < kRowLeft + optionRows[k].captionWidth && y >= top &&
        y < top + kRowHeight) {
      keyConfigItem = k + 1;
      sceneStep = kOptionWaitingForKey;
      return;
    }
  }
}
