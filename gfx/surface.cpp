// PROVISIONAL STUB: replaced by the real implementation.
#include "gfx/surface.h"

Surface surfaceTable[SURFACE_COUNT];
GXDisplayProperties displayProperties;
int32_t spriteSurface[SPRITE_COUNT];
int32_t spriteX[SPRITE_COUNT];
int32_t spriteY[SPRITE_COUNT];
int32_t spriteW[SPRITE_COUNT];
int32_t spriteH[SPRITE_COUNT];
const EffectAnimation effectAnimations[EFFECT_COUNT] = {};
Effect effects[EFFECT_COUNT];
uint32_t soundEnabled;
const int32_t soundTable[SOUND_COUNT] = {122, 127, 128, 129};

int32_t openDisplay(HWND) { return 0; }
int32_t shutdownDisplay() { return 0; }
int32_t createSurface(int32_t, HINSTANCE, int32_t, int32_t, int32_t) { return 0; }
int32_t clearSurface(int32_t, int32_t) { return 0; }
int32_t fillRect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t getPalette(int32_t, PaletteEntry *) { return 0; }
int32_t setPalette(int32_t, const PaletteEntry *) { return 0; }
int32_t fillPalette(int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t defineSprite(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t drawSprite(int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t blit(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
  return 0;
}
int32_t present(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
  return 0;
}
int32_t fadeToward(int32_t, const PaletteEntry *, int32_t) { return 0; }
int32_t fadeToWhiteOrBlack(int32_t, int32_t, int32_t) { return 0; }
void clearEffects() {}
void startEffect(int32_t, int32_t, int32_t) {}
void updateEffects(HINSTANCE, int32_t) {}
int32_t anyEffectActive() { return 0; }
void playSound(HINSTANCE, int32_t) {}
void setSoundEnabled(uint32_t value) { soundEnabled = value; }
uint32_t isSoundEnabled() { return soundEnabled; }
