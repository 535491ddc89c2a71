// The 89 sprites cut from the sprite sheet (surface 2): x, y, w, h.
#include "gfx/surface.h"

const SpriteRect spriteSheetTable[DEFINED_SPRITES] = {
    {160, 224, 16, 32},  // 0: yellow arrow pointing right (menu cursor)
    {64, 224, 16, 16},   // 1: white flash disc
    {48, 224, 16, 16},   // 2: white thick ring
    {32, 224, 16, 16},   // 3: white thin ring
    {16, 224, 16, 16},   // 4: white broken ring (second frame of the effects)
    {0, 224, 16, 16},  // 5: yellow spark (the mark of a landed dart; also drawn at the confirmation
                       // point of a menu)
    {224, 0, 160, 32},     // 6: "SELECT GAME"
    {224, 32, 160, 32},    // 7: "SELECT PLAYER"
    {224, 160, 64, 32},    // 8: "301" (game 0)
    {224, 192, 128, 32},   // 9: "Count Up" (game 1)
    {224, 224, 128, 32},   // 10: "High Score" (game 2)
    {224, 256, 192, 32},   // 11: "Round The Clock" (game 3)
    {416, 256, 96, 32},    // 12: "PLAYER"
    {400, 384, 16, 32},    // 13: big digit 0
    {416, 384, 16, 32},    // 14: big digit 1
    {432, 384, 16, 32},    // 15: big digit 2
    {448, 384, 16, 32},    // 16: big digit 3
    {464, 384, 16, 32},    // 17: big digit 4
    {480, 384, 16, 32},    // 18: big digit 5
    {496, 384, 16, 32},    // 19: big digit 6
    {512, 384, 16, 32},    // 20: big digit 7
    {528, 384, 16, 32},    // 21: big digit 8
    {544, 384, 16, 32},    // 22: big digit 9
    {416, 288, 96, 32},    // 23: "READY!"
    {0, 0, 224, 224},      // 24: the dartboard, numbers 1 to 20 along the rim
    {0, 256, 224, 112},    // 25: the power gauge: a red arc, dark at one end and light at the other
    {0, 528, 160, 144},    // 26: throwing arm, pose 1: arm stretched out level
    {160, 528, 160, 144},  // 27: throwing arm, pose 2: arm slightly bent
    {320, 528, 160, 144},  // 28: throwing arm, pose 3: arm bent further
    {0, 672, 160, 144},    // 29: throwing arm, pose 4: forearm raised
    {160, 672, 160, 144},  // 30: throwing arm, pose 5: arm fully cocked, hand at the shoulder
    {80, 224, 16, 16},     // 31: yellow arrow pointing down (the aim pointer above the board)
    {0, 240, 8, 16},       // 32: small digit 0
    {8, 240, 8, 16},       // 33: small digit 1
    {16, 240, 8, 16},      // 34: small digit 2
    {24, 240, 8, 16},      // 35: small digit 3
    {32, 240, 8, 16},      // 36: small digit 4
    {40, 240, 8, 16},      // 37: small digit 5
    {48, 240, 8, 16},      // 38: small digit 6
    {56, 240, 8, 16},      // 39: small digit 7
    {64, 240, 8, 16},      // 40: small digit 8
    {72, 240, 8, 16},      // 41: small digit 9
    {224, 64, 80, 32},     // 42: "SOUND"
    {320, 64, 32, 32},     // 43: "ON"
    {352, 64, 48, 32},     // 44: "OFF"
    {224, 96, 96, 32},     // 45: "RANKING"
    {224, 128, 160, 32},   // 46: "NET RANKING"
    {224, 288, 96, 32},    // 47: "Triple!!"
    {320, 288, 96, 32},    // 48: "Bust!!"
    {224, 320, 96, 32},    // 49: "Double!"
    {224, 352, 96, 32},    // 50: "Miss!!"
    {224, 384, 128, 32},   // 51: "SingleBull!"
    {224, 416, 160, 32},   // 52: "DoubleBull!!"
    {224, 448, 64, 32},    // 53: "1st"
    {288, 448, 64, 32},    // 54: "2nd"
    {224, 480, 64, 32},    // 55: "3rd"
    {288, 480, 64, 32},    // 56: "TRY"
    {416, 0, 32, 32},      // 57: "UP"
    {448, 0, 64, 32},      // 58: "DOWN"
    {416, 32, 64, 32},     // 59: "LEFT"
    {480, 32, 64, 32},     // 60: "RIGHT"
    {416, 64, 128, 32},    // 61: "BUTTON A"
    {416, 96, 128, 32},    // 62: "BUTTON B"
    {416, 128, 128, 32},   // 63: "BUTTON C"
    {416, 160, 128, 32},   // 64: "DRAW GAME"
    {416, 192, 128, 32},   // 65: "GameOver"
    {416, 224, 64, 32},    // 66: "WIN!"
    {480, 224, 64, 32},    // 67: "LOSE"
    {416, 320, 96, 32},    // 68: "ROUND"
    {416, 352, 144, 32},   // 69: "NEXT TARGET"
    {96, 224, 16, 16},     // 70: yellow dot with a black outline (the power marker)
    {0, 384, 112, 112},    // 71: the producer logo, large (about screen)
    {352, 480, 112, 32},   // 72: the producer logo, small
    {416, 416, 128, 32},   // 73: "Success!"
    {416, 448, 64, 32},    // 74: "Fail..."
    {576, 192, 224, 224},  // 75: the dartboard in paler colours (backdrop of the dart announcement
                           // and of the match's end screen)
    {576, 0, 256, 64},     // 76: scoreboard frame: a heading row of four cells "P-1", "P-2", "P-3",
                           // "P-4" in blue over an empty row
    {576, 64, 256, 32},    // 77: the heading row with "P-1" lit in yellow
    {576, 96, 256, 32},    // 78: the heading row with "P-2" lit
    {576, 128, 256, 32},   // 79: the heading row with "P-3" lit
    {576, 160, 256, 32},   // 80: the heading row with "P-4" lit
    {128, 384, 48, 16},    // 81: small "ROUND" in blue and white
    {128, 416, 8, 16},     // 82: small "/"
    {128, 448, 32, 16},    // 83: small "TRY"
    {560, 416, 128, 48},   // 84: button legend, two lines: a green "BUTTON A" plate with "OK", a
                           // green "BUTTON B" plate with "CANCEL"
    {560, 480, 176, 64},  // 85: the product logo with the version caption beneath it (about screen)
    {560, 544, 192, 32},  // 86: a one-line legal caption (about screen)
    {560, 576, 208, 48},  // 87: the credits image: two lines of contact details (about screen)
    {560, 624, 160, 64},  // 88: "Press The Button" on an orange panel
};
