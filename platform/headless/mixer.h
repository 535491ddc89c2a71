// The headless backend's software mixer, as headless.cpp feeds it: the
// game's sounds as they start and stop. Tests read its output through
// platform/headless/headless.h.
#pragma once

// A game sound from its RIFF WAVE image (it replaces the one playing, as on
// the desktop), or null: the sound playing stops.
void headlessMixerPlay(const void *image);
// Back to a mixer that records nothing (headlessReset).
void headlessMixerReset();
