// The game's seam: the six system calls through which the host holds the
// game (its clock, held keys, messages, frames and sounds), declared here
// once. The game's own code (app, gfx, game, screens: every file of
// TOBELYN_GAME_SOURCES, built with TOBELYN_GAME_CODE) has its calls renamed
// to the host's wrappers (host/host.cpp), which pass straight through while
// the host is off and hold, filter or silence them while it pauses or plays
// a match back. Everything else, the platform and the host included, sees
// the system's own calls. The seam_guard test reads the game's object files
// and fails when one of them calls a raw one.
//
// Included at the end of platform/winapi.h and platform/gx.h, so that the
// renaming follows the system's own declarations in either order.
#pragma once

#include "platform/winapi.h"

DWORD hostGameTime();
SHORT hostGameKeyState(int vKey);
BOOL hostGamePeekMessage(MSG *msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
BOOL hostGamePlaySound(LPCWSTR sound, UINT flags);
void *hostGameBeginDraw();
int hostGameEndDraw();

#ifdef TOBELYN_GAME_CODE
#undef timeGetTime
#undef GetAsyncKeyState
#undef PeekMessageW
#undef sndPlaySoundW
#undef GXBeginDraw
#undef GXEndDraw
#define timeGetTime hostGameTime
#define GetAsyncKeyState hostGameKeyState
#define PeekMessageW hostGamePeekMessage
#define sndPlaySoundW hostGamePlaySound
#define GXBeginDraw hostGameBeginDraw
#define GXEndDraw hostGameEndDraw
#endif
