// The current Scene (three handler slots) and the small state every Scene
// shares, plus the shell's program-lifetime globals.
//
// How input reaches a Scene, and why there are two ways:
//  - The menus (title, set-up, option, about) take key messages: the window
//    procedure passes each WM_KEYDOWN to the key handler, and a stylus tap
//    (WM_LBUTTONDOWN) to the tap handler.
//  - The match has no key or tap handler: its frame handler polls the held
//    state of Button A once a pass (GetAsyncKeyState), so its key messages
//    are dropped. A held button counts again once more than kInputGapMs
//    have passed since the last press it took.
// Both ways are the game's behaviour; do not turn one into the other.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

using FrameHandler = void (*)();
using KeyHandler = void (*)(int32_t key);           // low 16 bits of the key code
using TapHandler = void (*)(int32_t x, int32_t y);  // screen coordinates

extern FrameHandler frameHandler;
extern KeyHandler keyHandler;
extern TapHandler tapHandler;

extern int32_t sceneStep;           // 0: the Scene has not initialised yet
extern int8_t menuCursor;           // highlighted row, 0..3
extern int32_t menuChoice;          // confirmed row, -1 while none
extern uint32_t inputDebounceTime;  // time of the last stamped press or Scene start

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern uint32_t framesEnabled;

// AS-DESIGNED: every press a screen takes, and the start of every screen,
// blocks the keys for this long; a held key repeats at this pace at most.
constexpr uint32_t kInputGapMs = 200;

// Installs a Scene's frame and key handlers and starts it at step 0. The tap
// slot is left alone on purpose: whatever tap handler was there stays.
void switchScene(FrameHandler frame, KeyHandler key);
// The same, but REPLACES the tap handler too (null empties the slot).
void switchSceneWithTap(FrameHandler frame, KeyHandler key, TapHandler tap);
