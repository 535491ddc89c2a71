// The game set-up chain: "SELECT GAME", "SELECT PLAYER" and the ready
// screen. Button A confirms with a flash and moves forward once the flash is
// over; Button B goes back one screen at once with the cancel sound.
#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "screens/screens.h"

namespace {

constexpr int32_t SETUP_STEP_CHOOSING = 1;
constexpr int32_t SETUP_STEP_CONFIRMED = 2;
constexpr int32_t SETUP_STEP_CANCELLED = 3;

constexpr int32_t CURSOR_SPRITE = 0;
constexpr int32_t SPARK_SPRITE = 5;
constexpr int32_t SELECT_GAME_SPRITE = 6;
constexpr int32_t SELECT_PLAYER_SPRITE = 7;
constexpr int32_t FIRST_GAME_NAME_SPRITE = 8;
constexpr int32_t PLAYER_SPRITE = 12;
constexpr int32_t BIG_DIGIT_ZERO_SPRITE = 13;
constexpr int32_t READY_SPRITE = 23;
constexpr int32_t LEGEND_SPRITE = 84;

constexpr int32_t CONFIRM_ANIMATION = 0;
constexpr int32_t CANCEL_SOUND = 2;

constexpr int32_t ROW_TOP = 64;
constexpr int32_t ROW_HEIGHT = 32;
constexpr int32_t ROW_COUNT = 4;

constexpr int32_t GAME_CURSOR_X = 16;
constexpr int32_t PLAYER_CURSOR_X = 48;
constexpr int32_t READY_CONFIRM_X = 112;
constexpr int32_t READY_CONFIRM_Y = 200;

// Entry step shared by the three screens.
void enterSetupScreen() {
  menuCursor = 0;
  sceneStep = SETUP_STEP_CHOOSING;
  menuChoice = -1;
  clearEffects();
  inputDebounceTime = timeGetTime();
}

void drawLegend() { drawSprite(LEGEND_SPRITE, 0, 0, 272, COLOR_KEY); }

void drawMenuCursor(int32_t x) {
  drawSprite(CURSOR_SPRITE, 0, x, ROW_TOP + ROW_HEIGHT * menuCursor, COLOR_KEY);
}

// Runs the confirmation flash and the spark; true once the flash is over
// and the next screen may be installed.
bool confirmationFinished() {
  updateEffects(appInstance, 0);
  drawSprite(SPARK_SPRITE, 0, confirmPointX, confirmPointY, COLOR_KEY);
  return anyEffectActive() == 0;
}

void startConfirmation(int32_t x, int32_t y) {
  sceneStep = SETUP_STEP_CONFIRMED;
  confirmPointX = x;
  confirmPointY = y;
  startEffect(CONFIRM_ANIMATION, x, y);
}

// Key handling shared by the two row menus. Returns the confirmed row, or -1
// when this press confirmed nothing.
int32_t menuKey(int32_t key, int32_t cursorX) {
  const uint32_t now = timeGetTime();
  if (now - inputDebounceTime < INPUT_GAP_MS) return -1;

  int32_t confirmed = -1;
  if (keyIs(key, KEY_UP)) {
    inputDebounceTime = now;
    if (--menuCursor < 0) menuCursor = 0;
  }
  if (keyIs(key, KEY_DOWN)) {
    inputDebounceTime = now;
    if (++menuCursor > ROW_COUNT - 1) menuCursor = ROW_COUNT - 1;
  }
  if (keyIs(key, BUTTON_A) && sceneStep == SETUP_STEP_CHOOSING && menuChoice == -1) {
    menuChoice = menuCursor;
    confirmed = menuCursor;
    startConfirmation(cursorX, ROW_TOP + 8 + ROW_HEIGHT * menuCursor);
  }
  if (keyIs(key, BUTTON_B) && sceneStep == SETUP_STEP_CHOOSING) {
    sceneStep = SETUP_STEP_CANCELLED;
  }
  return confirmed;
}

}  // namespace

void gameSelectSceneFrame() {
  if (sceneStep == 0) enterSetupScreen();

  clearSurface(0, BACKGROUND_INDEX);
  drawSprite(SELECT_GAME_SPRITE, 0, 40, 16, COLOR_KEY);
  for (int32_t row = 0; row < ROW_COUNT; ++row) {
    drawSprite(FIRST_GAME_NAME_SPRITE + row, 0, 32, ROW_TOP + ROW_HEIGHT * row, COLOR_KEY);
  }
  drawLegend();

  if (sceneStep == SETUP_STEP_CHOOSING) {
    drawMenuCursor(GAME_CURSOR_X);
  } else if (sceneStep == SETUP_STEP_CONFIRMED) {
    if (confirmationFinished()) switchScene(playerSelectSceneFrame, playerSelectSceneKey);
  } else if (sceneStep == SETUP_STEP_CANCELLED) {
    playSound(appInstance, CANCEL_SOUND);
    installTitleScene();
  }

  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void gameSelectSceneKey(int32_t key) {
  const int32_t row = menuKey(key, GAME_CURSOR_X);
  if (row >= 0) gameMode = row;
}

void playerSelectSceneFrame() {
  if (sceneStep == 0) enterSetupScreen();

  clearSurface(0, BACKGROUND_INDEX);
  drawSprite(SELECT_PLAYER_SPRITE, 0, 40, 16, COLOR_KEY);
  for (int32_t row = 0; row < ROW_COUNT; ++row) {
    drawSprite(PLAYER_SPRITE, 0, 64, ROW_TOP + ROW_HEIGHT * row, COLOR_KEY);
  }
  for (int32_t row = 0; row < ROW_COUNT; ++row) {
    drawSprite(BIG_DIGIT_ZERO_SPRITE + 1 + row, 0, 160, ROW_TOP + ROW_HEIGHT * row, COLOR_KEY);
  }
  drawLegend();

  if (sceneStep == SETUP_STEP_CHOOSING) {
    drawMenuCursor(PLAYER_CURSOR_X);
  } else if (sceneStep == SETUP_STEP_CONFIRMED) {
    if (confirmationFinished()) switchScene(readySceneFrame, readySceneKey);
  } else if (sceneStep == SETUP_STEP_CANCELLED) {
    playSound(appInstance, CANCEL_SOUND);
    switchScene(gameSelectSceneFrame, gameSelectSceneKey);
  }

  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void playerSelectSceneKey(int32_t key) {
  const int32_t row = menuKey(key, PLAYER_CURSOR_X);
  if (row >= 0) playerCount = row + 1;
}

void readySceneFrame() {
  if (sceneStep == 0) enterSetupScreen();

  clearSurface(0, BACKGROUND_INDEX);
  drawSprite(SELECT_GAME_SPRITE, 0, 16, 16, COLOR_KEY);
  drawSprite(SELECT_PLAYER_SPRITE, 0, 16, 96, COLOR_KEY);
  drawSprite(READY_SPRITE, 0, 80, 192, COLOR_KEY);
  drawSprite(PLAYER_SPRITE, 0, 48, 128, COLOR_KEY);
  drawSprite(FIRST_GAME_NAME_SPRITE + gameMode, 0, 48, 48, COLOR_KEY);
  drawSprite(BIG_DIGIT_ZERO_SPRITE + playerCount, 0, 144, 128, COLOR_KEY);
  drawLegend();

  if (sceneStep == SETUP_STEP_CONFIRMED) {
    // The match polls its button itself: no key or tap handler.
    if (confirmationFinished()) switchScene(matchSceneFrame, nullptr);
  } else if (sceneStep == SETUP_STEP_CANCELLED) {
    playSound(appInstance, CANCEL_SOUND);
    switchScene(playerSelectSceneFrame, playerSelectSceneKey);
  }

  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}

void readySceneKey(int32_t key) {
  const uint32_t now = timeGetTime();
  if (now - inputDebounceTime < INPUT_GAP_MS) return;

  if (keyIs(key, BUTTON_A) && sceneStep == SETUP_STEP_CHOOSING) {
    startConfirmation(READY_CONFIRM_X, READY_CONFIRM_Y);
  }
  if (keyIs(key, BUTTON_B) && sceneStep == SETUP_STEP_CHOOSING) {
    sceneStep = SETUP_STEP_CANCELLED;
  }
}
