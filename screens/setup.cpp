// The three screens between the title and a match: "SELECT GAME",
// "SELECT PLAYER", then the ready screen. A goes forward after its flash; B goes
// back straight away, with the cancel sound.
#include <iterator>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "screens/screens.h"

namespace {

constexpr int32_t kRowTop = 64;
constexpr int32_t kRowHeight = 32;
// A row for each game, and for each number of players from one up.
constexpr int32_t kGameRows = static_cast<int32_t>(std::size(kGameRules));
constexpr int32_t kPlayerRows = kMaxPlayers;

constexpr int32_t kGameCursorX = 16;
constexpr int32_t kPlayerCursorX = 48;
constexpr int32_t kReadyConfirmX = 112;
constexpr int32_t kReadyConfirmY = 200;

void drawLegend() { drawSprite(kSpriteLegend, kBackSurface, 0, 272, COLOR_KEY); }

void drawMenuCursor(int32_t x) {
  drawSprite(kSpriteMenuCursor, kBackSurface, x, kRowTop + kRowHeight * menuCursor, COLOR_KEY);
}

void startConfirmation(int32_t x, int32_t y) {
  sceneStep = kSetupConfirmed;
  startMenuConfirmation(x, y);
}

// Key handling shared by the two row menus. Returns the confirmed row, or -1
// when this press confirmed nothing.
int32_t menuKey(int32_t key, int32_t rows, int32_t cursorX) {
  const uint32_t now = timeGetTime();
  if (menuKeyTooSoon(now)) return -1;

  int32_t confirmed = -1;
  moveMenuCursor(key, now, rows);
  if (keyIs(key, kButtonA) && sceneStep == kSetupChoosing && menuChoice == -1) {
    menuChoice = menuCursor;
    confirmed = menuCursor;
    startConfirmation(cursorX, kRowTop + 8 + kRowHeight * menuCursor);
  }
  if (keyIs(key, kButtonB) && sceneStep == kSetupChoosing) {
    sceneStep = kSetupCancelled;
  }
  return confirmed;
}

}  // namespace

void gameSelectSceneFrame() {
  if (sceneStep == kSetupEntering) enterMenu(kSetupChoosing);

  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteSelectGame, kBackSurface, 40, 16, COLOR_KEY);
  for (int32_t row = 0; row < kGameRows; ++row) {
    drawSprite(kSpriteGame301 + row, kBackSurface, 32, kRowTop + kRowHeight * row, COLOR_KEY);
  }
  drawLegend();

  if (sceneStep == kSetupChoosing) {
    drawMenuCursor(kGameCursorX);
  } else if (sceneStep == kSetupConfirmed) {
    if (menuConfirmationFinished()) switchScene(playerSelectSceneFrame, playerSelectSceneKey);
  } else if (sceneStep == kSetupCancelled) {
    playSound(appInstance, kSoundCancel);
    installTitleScene();
  }

  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}

void gameSelectSceneKey(int32_t key) {
  const int32_t row = menuKey(key, kGameRows, kGameCursorX);
  if (row >= 0) gameMode = row;
}

void playerSelectSceneFrame() {
  if (sceneStep == kSetupEntering) enterMenu(kSetupChoosing);

  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteSelectPlayer, kBackSurface, 40, 16, COLOR_KEY);
  for (int32_t row = 0; row < kPlayerRows; ++row) {
    drawSprite(kSpritePlayer, kBackSurface, 64, kRowTop + kRowHeight * row, COLOR_KEY);
  }
  for (int32_t row = 0; row < kPlayerRows; ++row) {
    drawSprite(kSpriteBigDigit1 + row, kBackSurface, 160, kRowTop + kRowHeight * row, COLOR_KEY);
  }
  drawLegend();

  if (sceneStep == kSetupChoosing) {
    drawMenuCursor(kPlayerCursorX);
  } else if (sceneStep == kSetupConfirmed) {
    if (menuConfirmationFinished()) switchScene(readySceneFrame, readySceneKey);
  } else if (sceneStep == kSetupCancelled) {
    playSound(appInstance, kSoundCancel);
    switchScene(gameSelectSceneFrame, gameSelectSceneKey);
  }

  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}

void playerSelectSceneKey(int32_t key) {
  const int32_t row = menuKey(key, kPlayerRows, kPlayerCursorX);
  if (row >= 0) playerCount = row + 1;
}

void readySceneFrame() {
  if (sceneStep == kSetupEntering) enterMenu(kSetupChoosing);

  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteSelectGame, kBackSurface, 16, 16, COLOR_KEY);
  drawSprite(kSpriteSelectPlayer, kBackSurface, 16, 96, COLOR_KEY);
  drawSprite(kSpriteReady, kBackSurface, 80, 192, COLOR_KEY);
  drawSprite(kSpritePlayer, kBackSurface, 48, 128, COLOR_KEY);
  drawSprite(kSpriteGame301 + gameMode, kBackSurface, 48, 48, COLOR_KEY);
  drawSprite(kSpriteBigDigit0 + playerCount, kBackSurface, 144, 128, COLOR_KEY);
  drawLegend();

  if (sceneStep == kSetupConfirmed) {
    // The match polls its button itself: no key or tap handler.
    if (menuConfirmationFinished()) switchScene(matchSceneFrame, nullptr);
  } else if (sceneStep == kSetupCancelled) {
    playSound(appInstance, kSoundCancel);
    switchScene(playerSelectSceneFrame, playerSelectSceneKey);
  }

  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}

void readySceneKey(int32_t key) {
  if (menuKeyTooSoon(timeGetTime())) return;

  if (keyIs(key, kButtonA) && sceneStep == kSetupChoosing) {
    startConfirmation(kReadyConfirmX, kReadyConfirmY);
  }
  if (keyIs(key, kButtonB) && sceneStep == kSetupChoosing) {
    sceneStep = kSetupCancelled;
  }
}
