// The program's top: start-up, one pass of the main loop, the end.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

// The window procedure of the game window.
LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Start-up up to the main loop. Returns false when the program is already
// over (another instance runs, or the window cannot be made); *exitCode is
// then the code to return.
bool appStart(HINSTANCE instance, int showCommand, int *exitCode);
// One pass of the main loop: at most one message, then at most one frame.
// Returns false once WM_QUIT has been taken; *exitCode is then its wParam.
bool appPass(int *exitCode);
// After the main loop: saves the settings (the host's too).
void appFinish();
// What the host may read of the game after a pass.
struct HostView;
HostView gameView();

// The whole program: start-up, main loop, end. Returns the exit code.
int tobelynMain(HINSTANCE instance, int showCommand);
