// Sound effects: four WAVE resources played from memory without waiting;
// a new sound cuts off the one still playing.
#include "gfx/surface.h"

uint32_t soundEnabled;
const int32_t soundTable[SOUND_COUNT] = {122, 127, 128, 129};

void playSound(HINSTANCE module, int32_t id) {
  if (soundEnabled == 0 || id < 1 || id > SOUND_COUNT) return;
  const int32_t resourceId = soundTable[id - 1];
  if (resourceId == 0) return;
  // Found and loaded anew on every request; the image is played in place.
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(static_cast<WORD>(resourceId)), L"WAVE");
  if (found == nullptr) return;
  HGLOBAL image = LoadResource(module, found);
  if (image == nullptr) return;
  sndPlaySoundW(static_cast<LPCWSTR>(image), SND_ASYNC | SND_MEMORY);
}

void setSoundEnabled(uint32_t value) { soundEnabled = value; }

uint32_t isSoundEnabled() { return soundEnabled; }
