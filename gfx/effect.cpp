// Effect animations: short flashes drawn at a point for a counted number of
// calls of updateEffects (frames, not milliseconds), each animation frame
// able to start a sound on its first call.
#include "gfx/surface.h"

// Animations 0..2 differ only in their sound: the flash disc for 2 calls,
// the broken ring for 2, then 21 empty calls that keep the Effect active.
const EffectAnimation effectAnimations[kEffectCount] = {
    {{{kSpriteFlashDisc, 1, kSoundConfirm}, {kSpriteBrokenRing, 1, 0}, {-1, 20, 0}}},
    {{{kSpriteFlashDisc, 1, kSoundBull}, {kSpriteBrokenRing, 1, 0}, {-1, 20, 0}}},
    {{{kSpriteFlashDisc, 1, kSoundCancel}, {kSpriteBrokenRing, 1, 0}, {-1, 20, 0}}},
};

Effect effects[kEffectCount];

void clearEffects() {
  for (Effect &e : effects) e = Effect{};
}

void startEffect(int32_t animation, int32_t x, int32_t y) {
  // An animation outside the table would make updateEffects read past it;
  // such a request is dropped like a ninth Effect.
  if (animation < 0 || animation >= kEffectCount) return;
  for (Effect &e : effects) {
    if (e.active == 0) {
      e.active = 1;
      e.animation = animation;
      e.frame = 0;
      e.tick = 0;
      e.x = x;
      e.y = y;
      return;
    }
  }
}

void updateEffects(HINSTANCE module, int32_t destination) {
  for (Effect &e : effects) {
    if (e.active != 1) continue;
    if (e.animation < 0 || e.animation >= kEffectCount || e.frame < 0 || e.frame >= kEffectFrames) {
      e.active = 0;
      continue;
    }
    const EffectAnimation &a = effectAnimations[e.animation];
    const EffectFrame &f = a.frames[e.frame];
    if (e.tick == 0 && f.sound != 0) playSound(module, f.sound);
    if (f.sprite != -1) drawSprite(f.sprite, destination, e.x, e.y, COLOR_KEY);
    ++e.tick;
    if (e.tick > f.duration) {
      if (e.frame + 1 == kEffectFrames) {
        e.active = 0;
      } else if (a.frames[e.frame + 1].duration != 0) {
        ++e.frame;
        e.tick = 0;
      } else {
        e.active = 0;
      }
    }
  }
}

int32_t anyEffectActive() {
  for (const Effect &e : effects) {
    if (e.active == 1) return 1;
  }
  return 0;
}
