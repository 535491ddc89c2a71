// The graphics and sound library: indexed-colour Surfaces with their own
// Palettes, Sprites cut from them, blitting with clipping and a colour key,
// presenting to the 16-bit display, palette fades, point effects and the
// four sound effects. Plain functions over fixed global tables; every
// operation returns 0 for success or a small positive code (GfxResult,
// FadeResult).
#pragma once

#include <cstdint>

#include "gfx/sprite_table.h"
#include "platform/gx.h"
#include "platform/winapi.h"
#include "res/resource_ids.h"

constexpr int32_t kSurfaceCount = 8;
constexpr int32_t kSpriteCount = 256;
constexpr int32_t kEffectCount = 8;
constexpr int32_t kEffectFrames = 8;
constexpr int32_t kSoundCount = 16;

constexpr int32_t COLOR_KEY = 240;        // transparent index of every Sprite
constexpr int32_t BACKGROUND_INDEX = 86;  // dark green
constexpr int32_t kNoKey = -1;

// The surface slots the game fills at start-up; the others stay empty.
enum SurfaceSlot : int32_t {
  kBackSurface = 0,   // the back buffer every screen draws into and presents
  kTitleSurface = 1,  // the title picture
  kSheetSurface = 2,  // the sprite sheet every sprite is cut from
};

// What the surface, sprite and palette operations return.
enum GfxResult : int32_t {
  kGfxOk = 0,
  // A slot or sprite number out of range, a surface without a palette, no
  // memory for a blank surface's pixels, or no display to open or draw on.
  kGfxFailed = 1,
  kGfxNoPaletteMemory = 2,  // createSurface: the pixels were made, the palette was not
  kGfxNoSuchBitmap = 3,     // createSurface: no BITMAP resource with that number
  kGfxBitmapNotLoaded = 4,  // createSurface: the resource was found but not loaded
};

struct PaletteEntry {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t reserved;
};
constexpr int32_t kPaletteEntries = 256;
constexpr int32_t kPaletteBytes = 1024;
using Palette = PaletteEntry[kPaletteEntries];
static_assert(sizeof(PaletteEntry) == 4);

struct Surface {
  uint8_t *pixels;        // colour indices, row 0 at the top, stride bytes a row
  PaletteEntry *palette;  // 256 entries
  int32_t stride;         // bytes per row; also the width for clipping
  int32_t height;         // rows
};

extern Surface surfaceTable[kSurfaceCount];
inline bool validSurfaceSlot(int32_t slot) { return slot >= 0 && slot < kSurfaceCount; }
extern GXDisplayProperties displayProperties;

// Surfaces and palettes.
int32_t openDisplay(HWND window);
int32_t shutdownDisplay();
int32_t createSurface(int32_t slot, HINSTANCE module, int32_t resourceId, int32_t width,
                      int32_t height);
int32_t clearSurface(int32_t slot, int32_t colour);
// Fills x from left up to but not including right, y from top up to but not
// including bottom, clipped to the surface.
int32_t fillRect(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t colour);
int32_t getPalette(int32_t slot, PaletteEntry *out);
int32_t setPalette(int32_t slot, const PaletteEntry *in);
int32_t fillPalette(int32_t slot, int32_t red, int32_t green, int32_t blue);

// Sprites: five parallel columns. The first kDefinedSprites are cut from
// the sheet at start-up by the table in gfx/sprite_table.h.
extern int32_t spriteSurface[kSpriteCount];
extern int32_t spriteX[kSpriteCount];
extern int32_t spriteY[kSpriteCount];
extern int32_t spriteW[kSpriteCount];
extern int32_t spriteH[kSpriteCount];

int32_t defineSprite(int32_t index, int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
int32_t drawSprite(int32_t index, int32_t destination, int32_t x, int32_t y, int32_t key);
int32_t blit(int32_t source, int32_t sx, int32_t sy, int32_t width, int32_t height,
             int32_t destination, int32_t dx, int32_t dy, int32_t key);

// Presenting a surface rectangle to the display, converted to 16 bits.
int32_t present(int32_t source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                int32_t displayX, int32_t displayY, int32_t key);

// Palette fades: one step a call, until a call finds nothing left to change.
enum FadeResult : int32_t {
  kFadeStepped = 0,  // some channel moved; call again next frame
  kFadeFailed = 1,   // bad slot, or no palette to fade
  kFadeDone = 2,     // nothing changed: the palette has arrived
};
int32_t fadeToward(int32_t slot, const PaletteEntry *target, int32_t step);
int32_t fadeToWhiteOrBlack(int32_t slot, int32_t toWhite, int32_t step);

// Effect animations: the same flash, each with its own sound.
enum EffectAnimationId : int32_t {
  kEffectConfirm = 0,  // kSoundConfirm: a menu confirmation, a single bull
  kEffectBull = 1,     // kSoundBull: a double bull, a hit in "Round The Clock"
  kEffectLanding = 2,  // kSoundCancel: any other landing
};
struct EffectFrame {
  int32_t sprite;    // sprite drawn, or -1
  int32_t duration;  // shown for duration + 1 calls
  int32_t sound;     // sound id played on the frame's first call, or 0
};
struct EffectAnimation {
  EffectFrame frames[kEffectFrames];
};
struct Effect {
  int32_t active;
  int32_t animation;
  int32_t frame;
  int32_t tick;
  int32_t x;
  int32_t y;
};
extern const EffectAnimation effectAnimations[kEffectCount];
extern Effect effects[kEffectCount];

void clearEffects();
void startEffect(int32_t animation, int32_t x, int32_t y);
void updateEffects(HINSTANCE module, int32_t destination);
int32_t anyEffectActive();

// Sound effects, by id; 0 is no sound.
enum SoundId : int32_t {
  kSoundConfirm = 1,  // a menu choice confirmed; a single bull
  kSoundCancel = 2,   // back one screen; also an ordinary landing
  kSoundThrow = 3,    // the dart leaves the hand
  kSoundBull = 4,     // a double bull, or a hit in "Round The Clock"
};
extern uint32_t soundEnabled;
extern const int32_t soundTable[kSoundCount];  // WAVE resource of sound ids 1..16, 0 if none
void playSound(HINSTANCE module, int32_t id);
void setSoundEnabled(uint32_t value);
uint32_t isSoundEnabled();
