// The host's own voice: one soft tone that can change pitch and side, and
// short marks (a tick, a chime) over it, played beside the game's sounds and
// never instead of them. The host sets what it should sound like; a backend
// either mixes it in software with the game's sounds (platformVoiceMix: the
// desktop, the headless runner, Windows) or plays it by its own means (the
// browser's audio graph, through a VoiceOut). No backend includes the host.
#pragma once

#include <cstdint>

// A short sound: a sine gliding from `hz` to `hzEnd` over `ms` milliseconds,
// struck at `level` (0 to 1 of full scale) and fading out, at `pan`.
struct VoiceMark {
  float hz;
  float hzEnd;
  float pan;  // -1 all left, 0 centre, 1 all right
  float level;
  int32_t ms;
};

// --- Called by the host.
// The tone: `level` 0 silences it (it fades in and out over a few samples,
// so that a change never clicks).
void platformVoiceTone(float hz, float pan, float level);
void platformVoiceMark(const VoiceMark &mark);
// The tone as last set (level 0 when silent).
float platformVoiceLevel();

// --- Called by backends.
// A backend that plays the voice by its own means takes every change.
struct VoiceOut {
  void (*tone)(float hz, float pan, float level);
  void (*mark)(const VoiceMark &mark);
};
void platformSetVoiceOut(const VoiceOut *out);
// A backend that mixes on demand is told before each change takes effect,
// so that what it renders up to now keeps the voice as it was.
void platformSetVoiceFlush(void (*flush)());
// Adds `frames` stereo frames of the voice (left, right interleaved, in
// 16-bit sample units) into `mix` at `rate` samples a second and `gain`
// (1/65536, the host's volume), moving the voice on by that much. One caller
// at a time (the backend's audio thread); the changes above may come from
// another thread meanwhile.
void platformVoiceMix(int32_t *mix, int32_t frames, int32_t rate, uint32_t gain);
// Back to silence with nothing pending (start-up, tests).
void platformVoiceReset();
// The mixing side only: marks struck while nothing was mixed (a mixer that
// starts late) are let go, so that an old one never sounds now.
void platformVoiceDropMarks();
// The left and right gains of a pan, equal power (their squares add to 1).
void voicePanGains(float pan, float *left, float *right);
