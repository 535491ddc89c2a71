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

constexpr int32_t OPTION_FADE_STEP = 8;

constexpr int32_t ROW_LEFT = 16;
constexpr int32_t ROW_TOP = 64;
constexpr int32_t ROW_HEIGHT = 32;
constexpr int32_t NUMBER_X = 160;
constexpr int32_t NUMBER_DIGITS = 3;

// The redefinable rows, item 1 to 7: the binding each stores, its caption
// and the caption's width, which is also the width of its tap area.
struct OptionRow {
  KeyBinding binding;
  SpriteId caption;
  int32_t captionWidth;
};
constexpr int32_t OPTION_ROW_COUNT = 7;
constexpr OptionRow optionRows[OPTION_ROW_COUNT] = {
    {.binding = KEY_UP, .caption = kSpriteUp, .captionWidth = 32},
    {.binding = KEY_DOWN, .caption = kSpriteDown, .captionWidth = 64},
    {.binding = KEY_LEFT, .caption = kSpriteLeft, .captionWidth = 64},
    {.binding = KEY_RIGHT, .caption = kSpriteRight, .captionWidth = 64},
    {.binding = BUTTON_A, .caption = kSpriteButtonA, .captionWidth = 128},
    {.binding = BUTTON_B, .caption = kSpriteButtonB, .captionWidth = 128},
    {.binding = BUTTON_C, .caption = kSpriteButtonC, .captionWidth = 128},
};

void drawOptionPicture() {
  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteSound, kBackSurface, 16, 16, COLOR_KEY);
  drawSprite(isSoundEnabled() != 0 ? kSpriteOn : kSpriteOff, kBackSurface, 160, 16, COLOR_KEY);
  for (int32_t k = 0; k < OPTION_ROW_COUNT; ++k) {
    drawSprite(optionRows[k].caption, kBackSurface, ROW_LEFT, ROW_TOP + ROW_HEIGHT * k, COLOR_KEY);
  }
  for (int32_t k = 0; k < OPTION_ROW_COUNT; ++k) {
    // Shown as the unsigned 16-bit code: a code of 0x8000 or more would be
    // negative as a signed number, which the digit drawing cannot show.
    const int32_t code = static_cast<uint16_t>(keyBindings[optionRows[k].binding]);
    drawBigNumber(NUMBER_X, ROW_TOP + ROW_HEIGHT * k, NUMBER_DIGITS, code);
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
      if (fadeToward(kBackSurface, optionSavedPalette, OPTION_FADE_STEP) == kFadeDone) {
        sceneStep = kOptionIdle;
      }
      break;
    case kOptionFadingOut:
      if (fadeToWhiteOrBlack(kBackSurface, 0, OPTION_FADE_STEP) == kFadeDone) {
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
  present(kBackSurface, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void optionSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (menuKeyTooSoon(now)) return;

  if (sceneStep == kOptionWaitingForKey) {
    const int32_t code = key & 0xFFFF;
    // The left Windows key and the input method's processing key never
    // answer the panel.
    if (code == VK_LWIN || code == VK_PROCESSKEY) return;
    if (keyConfigItem >= 1 && keyConfigItem <= OPTION_ROW_COUNT) {
      keyBindings[optionRows[keyConfigItem - 1].binding] = static_cast<int16_t>(code);
    }
    inputDebounceTime = now;
    sceneStep = kOptionIdle;
    return;
  }

  if (keyIs(key, KEY_LEFT)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) setSoundEnabled(0);
  }
  if (keyIs(key, KEY_RIGHT)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) setSoundEnabled(1);
  }
  if (keyIs(key, BUTTON_A)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) sceneStep = kOptionFadingOut;
  }
  if (keyIs(key, BUTTON_B)) {
    inputDebounceTime = now;
    if (sceneStep == kOptionIdle) sceneStep = kOptionFadingOut;
  }
}

void optionSceneTap(int32_t x, int32_t y) {
  if (sceneStep != kOptionIdle) return;
  keyConfigItem = 0;
  for (int32_t k = 0; k < OPTION_ROW_COUNT; ++k) {
    const int32_t top = ROW_TOP + ROW_HEIGHT * k;
    if (x >= ROW_LEFT && x < ROW_LEFT + optionRows[k].captionWidth && y >= top &&
        y < top + ROW_HEIGHT) {
      keyConfigItem = k + 1;
      sceneStep = kOptionWaitingForKey;
      return;
    }
  }
}
