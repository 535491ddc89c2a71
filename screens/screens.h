// The menus and screens: title, game set-up, option and about.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// The steps of each screen, as stored in sceneStep (dumps and replay scripts
// read the numbers). Every Scene starts at 0, where it sets itself up.
enum TitleStep : int32_t {
  kTitleEntering = 0,
  kTitleChoosing = 1,  // the cursor moves; Button A or a tap confirms a row
  // A row was confirmed (START, OPTION, ABOUT, QUIT in row order): the flash
  // runs, then the chosen screen takes over.
  kTitleStartChosen = 2,
  kTitleOptionChosen = 3,
  kTitleAboutChosen = 4,
  kTitleQuitChosen = 5,
};

// "SELECT GAME", "SELECT PLAYER" and the ready screen.
enum SetupStep : int32_t {
  kSetupEntering = 0,
  kSetupChoosing = 1,   // the cursor moves; Button A confirms, Button B goes back
  kSetupConfirmed = 2,  // the flash runs, then the next screen
  kSetupCancelled = 3,  // the cancel sound, then the screen before
};

enum OptionStep : int32_t {
  kOptionEntering = 0,
  kOptionFadingIn = 1,
  kOptionIdle = 2,           // sound and buttons can be changed
  kOptionWaitingForKey = 3,  // "Press The Button": the next key is the new binding
  kOptionFadingOut = 4,
  kOptionLeaving = 5,
};

enum AboutStep : int32_t {
  kAboutEntering = 0,
  kAboutFadingIn = 1,
  kAboutShowing = 2,  // until Button A or B
  kAboutFadingOut = 3,
  kAboutLeaving = 4,
};

// Where the running menu confirmation effect was started.
extern int32_t confirmPointX;
extern int32_t confirmPointY;

// A menu's first step: the cursor on the first row, no choice, no effects,
// the input gap counted from now, and sceneStep at `choosingStep`.
void enterMenu(int32_t choosingStep);
// True when a key comes sooner than INPUT_GAP_MS after the last press a menu
// took (or the menu's start): the menus ignore it.
bool menuKeyTooSoon(uint32_t now);
// Up and Down move the cursor over a menu of `rows` rows, stopping at the
// first and last; each counts as a press taken at `now`, even when the
// cursor cannot move.
void moveMenuCursor(int32_t key, uint32_t now, int32_t rows);
// Starts the confirmation flash at (x, y), where the spark is drawn too.
void startMenuConfirmation(int32_t x, int32_t y);
// Runs the confirmation flash and draws the spark; true once the flash is
// over and the next screen may take over.
bool menuConfirmationFinished();

void titleSceneFrame();
void titleSceneKey(int32_t key);
void titleSceneTap(int32_t x, int32_t y);
// Stores the title's three handlers and sets sceneStep to 0.
void installTitleScene();

void gameSelectSceneFrame();
void gameSelectSceneKey(int32_t key);
void playerSelectSceneFrame();
void playerSelectSceneKey(int32_t key);
void readySceneFrame();
void readySceneKey(int32_t key);

extern Palette optionSavedPalette;
extern int32_t keyConfigItem;  // row chosen for redefinition, 1..7; 0 when none
void optionSceneFrame();
void optionSceneKey(int32_t key);
void optionSceneTap(int32_t x, int32_t y);

extern Palette aboutSavedPalette;
void aboutSceneFrame();
void aboutSceneKey(int32_t key);
