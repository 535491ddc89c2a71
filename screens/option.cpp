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

constexpr int32_t OPTION_STEP_FADING_IN = 1;
constexpr int32_t OPTION_STEP_IDLE = 2;
constexpr int32_t OPTION_STEP_WAITING_FOR_KEY = 3;
constexpr int32_t OPTION_STEP_FADING_OUT = 4;
constexpr int32_t OPTION_STEP_LEAVING = 5;

constexpr int32_t OPTION_FADE_STEP = 8;

constexpr int32_t SOUND_SPRITE = 42;
constexpr int32_t ON_SPRITE = 43;
constexpr int32_t OFF_SPRITE = 44;
constexpr int32_t FIRST_CAPTION_SPRITE = 57;
constexpr int32_t PRESS_THE_BUTTON_SPRITE = 88;

constexpr int32_t ROW_LEFT = 16;
constexpr int32_t ROW_TOP = 64;
constexpr int32_t ROW_HEIGHT = 32;
constexpr int32_t NUMBER_X = 160;
constexpr int32_t NUMBER_DIGITS = 3;

// Codes that never answer the "Press The Button" panel: the left Windows key
// and the input-method processing key.
constexpr uint32_t IGNORED_CODE_WINDOWS = 91;
constexpr uint32_t IGNORED_CODE_IME = 229;

// The redefinable rows, item 1 to 7: the binding each stores and the width
// of its caption, which is also the width of its tap area.
struct OptionRow {
  KeyBinding binding;
  int32_t captionWidth;
};
constexpr int32_t OPTION_ROW_COUNT = 7;
constexpr OptionRow optionRows[OPTION_ROW_COUNT] = {
    {KEY_UP, 32},    {KEY_DOWN, 64},  {KEY_LEFT, 64},  {KEY_RIGHT, 64},
    {BUTTON_A, 128}, {BUTTON_B, 128}, {BUTTON_C, 128},
};

void drawOptionPicture() {
  clearSurface(0, BACKGROUND_INDEX);
  drawSprite(SOUND_SPRITE, 0, 16, 16, COLOR_KEY);
  drawSprite(isSoundEnabled() != 0 ? ON_SPRITE : OFF_SPRITE, 0, 160, 16, COLOR_KEY);
  for (int32_t k = 0; k < OPTION_ROW_COUNT; ++k) {
    drawSprite(FIRST_CAPTION_SPRITE + k, 0, ROW_LEFT, ROW_TOP + ROW_HEIGHT * k, COLOR_KEY);
  }
  for (int32_t k = 0; k < OPTION_ROW_COUNT; ++k) {
    // Shown as the unsigned 16-bit code: a code of 0x8000 or more would be
    // negative as a signed number, which the digit drawing cannot show.
    const int32_t code = static_cast<uint16_t>(keyBindings[optionRows[k].binding]);
    drawBigNumber(NUMBER_X, ROW_TOP + ROW_HEIGHT * k, NUMBER_DIGITS, code);
  }
  if (sceneStep == OPTION_STEP_WAITING_FOR_KEY) {
    drawSprite(PRESS_THE_BUTTON_SPRITE, 0, 48, 128, COLOR_KEY);
  }
}

}  // namespace

void optionSceneFrame() {
  switch (sceneStep) {
    case 0:
      getPalette(0, optionSavedPalette);
      fillPalette(0, 0, 0, 0);
      inputDebounceTime = timeGetTime();
      sceneStep = OPTION_STEP_FADING_IN;
      break;
    case OPTION_STEP_FADING_IN:
      if (fadeToward(0, optionSavedPalette, OPTION_FADE_STEP) == FADE_DONE) {
        sceneStep = OPTION_STEP_IDLE;
      }
      break;
    case OPTION_STEP_FADING_OUT:
      if (fadeToWhiteOrBlack(0, 0, OPTION_FADE_STEP) == FADE_DONE) {
        sceneStep = OPTION_STEP_LEAVING;
      }
      break;
    case OPTION_STEP_LEAVING:
      // The title draws its first frame on the next pass; nothing is shown
      // from this one.
      clearSurface(0, 0);
      setPalette(0, optionSavedPalette);
      installTitleScene();
      return;
    default:
      break;
  }

  drawOptionPicture();
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void optionSceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (now - inputDebounceTime < INPUT_GAP_MS) return;

  if (sceneStep == OPTION_STEP_WAITING_FOR_KEY) {
    const uint32_t code = static_cast<uint32_t>(key) & 0xFFFF;
    if (code == IGNORED_CODE_WINDOWS || code == IGNORED_CODE_IME) return;
    if (keyConfigItem >= 1 && keyConfigItem <= OPTION_ROW_COUNT) {
      keyBindings[optionRows[keyConfigItem - 1].binding] = static_cast<int16_t>(code);
    }
    inputDebounceTime = now;
    sceneStep = OPTION_STEP_IDLE;
    return;
  }

  if (keyIs(key, KEY_LEFT)) {
    inputDebounceTime = now;
    if (sceneStep == OPTION_STEP_IDLE) setSoundEnabled(0);
  }
  if (keyIs(key, KEY_RIGHT)) {
    inputDebounceTime = now;
    if (sceneStep == OPTION_STEP_IDLE) setSoundEnabled(1);
  }
  if (keyIs(key, BUTTON_A)) {
    inputDebounceTime = now;
    if (sceneStep == OPTION_STEP_IDLE) sceneStep = OPTION_STEP_FADING_OUT;
  }
  if (keyIs(key, BUTTON_B)) {
    inputDebounceTime = now;
    if (sceneStep == OPTION_STEP_IDLE) sceneStep = OPTION_STEP_FADING_OUT;
  }
}

void optionSceneTap(int32_t x, int32_t y) {
  if (sceneStep != OPTION_STEP_IDLE) return;
  keyConfigItem = 0;
  for (int32_t k = 0; k < OPTION_ROW_COUNT; ++k) {
    const int32_t top = ROW_TOP + ROW_HEIGHT * k;
    if (x >= ROW_LEFT && x < ROW_LEFT + optionRows[k].captionWidth && y >= top &&
        y < top + ROW_HEIGHT) {
      keyConfigItem = k + 1;
      sceneStep = OPTION_STEP_WAITING_FOR_KEY;
      return;
    }
  }
}
