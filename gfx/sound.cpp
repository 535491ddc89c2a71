// Sound effects: four WAVE resources played from memory without waiting;
// a new sound cuts off the one still playing.
#include "gfx/surface.h"

uint32_t soundEnabled;
// In the order of the ids, kSoundConfirm first.
const int32_t soundTable[kSoundCount] = {kWaveConfirm, kWaveCancel, kWaveThrow, kWaveBull};
static_assert(kSoundConfirm == 1 && kSoundCancel == 2 && kSoundThrow == 3 && kSoundBull == 4);

void playSound(HINSTANCE module, int32_t id) {
  if (soundEnabled == 0 || id < 1 || id > kSoundCount) return;
  const int32_t resourceId = soundTable[id - 1];
  if (resourceId == 0) return;
  // Looked up each time it is asked for, and played straight from the
  // linked image, which is never copied.
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(static_cast<WORD>(resourceId)), L"WAVE");
  if (found == nullptr) return;
  const void *image = LockResource(LoadResource(module, found));
  if (image == nullptr) return;
  sndPlaySoundW(static_cast<LPCWSTR>(image), SND_ASYNC | SND_MEMORY);
}

void setSoundEnabled(uint32_t value) { soundEnabled = value; }

uint32_t isSoundEnabled() { return soundEnabled; }
