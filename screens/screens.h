// The menus and screens: title, game set-up, option and about.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// Where the running menu confirmation effect was started.
extern int32_t confirmPointX;
extern int32_t confirmPointY;

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
