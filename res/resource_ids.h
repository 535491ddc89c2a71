// The numbers of the resources in res/tobelyn.rc, named once for the code
// that loads them (the test of the art files checks each number against the
// file the script links under it).
#pragma once

#include <cstdint>

// Strings.
constexpr uint16_t kStringWindowTitle = 1;
constexpr uint16_t kStringWindowClass = 3;

constexpr uint16_t kIconGroup = 101;

// Bitmaps.
constexpr int32_t TITLE_BITMAP = 119;
constexpr int32_t SHEET_BITMAP = 120;

// Waves: the sounds of the game (SoundId) in the order of their ids.
constexpr int32_t kWaveConfirm = 122;
constexpr int32_t kWaveCancel = 127;
constexpr int32_t kWaveThrow = 128;
constexpr int32_t kWaveBull = 129;
