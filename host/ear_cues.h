// Aiming by ear: for a seat that asks for them, the host sounds the throw
// on a voice of its own (platform/common/host_voice.h), over the game's
// sounds. While the pointer slides, a soft low tone sits where the pointer
// is, from the left ear to the right, and a tick marks each crossing of the
// board's centre column; from the gauge's wait to the release, a tone whose
// pitch is the gauge's height, and a chime as the peak is fixed; once the
// dart lands, a short note from where it landed, higher the higher it hit,
// or a low buzz for a miss (the announcer says the result in words).
#pragma once

#include <cstdint>

// A seat's cues (seats 0 to 3), kept in the host's file. A computer seat
// keeps the setting but is never sounded.
bool hostSeatCues(int32_t seat);
void hostSetSeatCues(int32_t seat, bool on);

// The sounds, as a player learns them.
constexpr float kCueSlideHz = 165.0f;     // the sliding pointer's tone
constexpr float kCueGaugeLowHz = 220.0f;  // the gauge at its bottom; two octaves up at its top
constexpr float kCueToneLevel = 0.12f;    // soft under the game's sounds
// The side a pointer's left edge sounds at: -1 (far left) to 1 (far right),
// 0 on the board's centre column.
float cuePan(int32_t aimX);
// The pitch of a gauge index (0 to 139).
float cueGaugeHz(int32_t gauge);
// The note of a landing on this row of the board (higher on the board,
// higher the note).
float cueLandingHz(int32_t row);

// The feature (host/features.cpp registers it).
void registerEarCues();
