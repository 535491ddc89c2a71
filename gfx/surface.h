// The graphics and sound library: indexed-colour Surfaces with their own
// Palettes, Sprites cut from them, blitting with clipping and a colour key,
// presenting to the 16-bit display, palette fades, point effects and the
// four sound effects. Plain functions over fixed global tables; every
// operation returns 0 for success or a small positive code.
#pragma once

#include <cstdint>

#include "platform/gx.h"
#include "platform/winapi.h"

constexpr int32_t SURFACE_COUNT = 8;
constexpr int32_t SPRITE_COUNT = 256;
constexpr int32_t DEFINED_SPRITES = 89;
constexpr int32_t EFFECT_COUNT = 8;
constexpr int32_t EFFECT_FRAMES = 8;
constexpr int32_t SOUND_COUNT = 16;

constexpr int32_t COLOR_KEY = 240;        // transparent index of every Sprite
constexpr int32_t BACKGROUND_INDEX = 86;  // dark green
constexpr int32_t NO_KEY = -1;

constexpr int32_t TITLE_BITMAP = 119;
constexpr int32_t SHEET_BITMAP = 120;

struct PaletteEntry {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t reserved;
};
constexpr int32_t PALETTE_ENTRIES = 256;
constexpr int32_t PALETTE_BYTES = 1024;
using Palette = PaletteEntry[PALETTE_ENTRIES];
static_assert(sizeof(PaletteEntry) == 4);

struct Surface {
  uint8_t *pixels;        // colour indices, row 0 at the top, stride bytes a row
  PaletteEntry *palette;  // 256 entries
  int32_t stride;         // bytes per row; also the width for clipping
  int32_t height;         // rows
};

extern Surface surfaceTable[SURFACE_COUNT];
extern GXDisplayProperties displayProperties;

// Surfaces and palettes.
int32_t openDisplay(HWND window);
int32_t shutdownDisplay();
int32_t createSurface(int32_t slot, HINSTANCE module, int32_t resourceId, int32_t width,
                      int32_t height);
int32_t clearSurface(int32_t slot, int32_t colour);
int32_t fillRect(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t colour);
int32_t getPalette(int32_t slot, PaletteEntry *out);
int32_t setPalette(int32_t slot, const PaletteEntry *in);
int32_t fillPalette(int32_t slot, int32_t red, int32_t green, int32_t blue);

// Sprites: five parallel columns.
extern int32_t spriteSurface[SPRITE_COUNT];
extern int32_t spriteX[SPRITE_COUNT];
extern int32_t spriteY[SPRITE_COUNT];
extern int32_t spriteW[SPRITE_COUNT];
extern int32_t spriteH[SPRITE_COUNT];

// The 89 sprites cut from the sprite sheet at start-up: x, y, w, h each.
struct SpriteRect {
  int32_t x, y, w, h;
};
extern const SpriteRect spriteSheetTable[DEFINED_SPRITES];

int32_t defineSprite(int32_t index, int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
int32_t drawSprite(int32_t index, int32_t destination, int32_t x, int32_t y, int32_t key);
int32_t blit(int32_t source, int32_t sx, int32_t sy, int32_t width, int32_t height,
             int32_t destination, int32_t dx, int32_t dy, int32_t key);

// Presenting a surface rectangle to the display, converted to 16 bits.
int32_t present(int32_t source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                int32_t displayX, int32_t displayY, int32_t key);

// Palette fades: 0 while changing, 2 once nothing changed, 1 bad slot.
constexpr int32_t FADE_DONE = 2;
int32_t fadeToward(int32_t slot, const PaletteEntry *target, int32_t step);
int32_t fadeToWhiteOrBlack(int32_t slot, int32_t toWhite, int32_t step);

// Effect animations.
struct EffectFrame {
  int32_t sprite;    // sprite drawn, or -1
  int32_t duration;  // shown for duration + 1 calls
  int32_t sound;     // sound id played on the frame's first call, or 0
};
struct EffectAnimation {
  EffectFrame frames[EFFECT_FRAMES];
};
struct Effect {
  int32_t active;
  int32_t animation;
  int32_t frame;
  int32_t tick;
  int32_t x;
  int32_t y;
};
extern const EffectAnimation effectAnimations[EFFECT_COUNT];
extern Effect effects[EFFECT_COUNT];

void clearEffects();
void startEffect(int32_t animation, int32_t x, int32_t y);
void updateEffects(HINSTANCE module, int32_t destination);
int32_t anyEffectActive();

// Sound effects.
extern uint32_t soundEnabled;
extern const int32_t soundTable[SOUND_COUNT];  // WAVE resource of sound ids 1..16
void playSound(HINSTANCE module, int32_t id);
void setSoundEnabled(uint32_t value);
uint32_t isSoundEnabled();
