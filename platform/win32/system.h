// The system services of the native Windows build: the system's own
// <windows.h> and <mmsystem.h>, plus the few things the game needs that
// MinGW does not declare, plus the calls whose handheld meaning differs on a
// desktop. Included through platform/winapi.h only.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00  // Windows 10
#endif

#include <windows.h>
// After <windows.h>: the multimedia header needs its types.
#include <mmsystem.h>

// The handheld's key for the settings lies under HKEY_LOCAL_MACHINE, opened
// with full access. On desktop Windows an ordinary user may not write there
// (and a 64-bit program gets no virtualisation), so the settings would never
// be saved: the same sub-key, value names, types and sizes live under
// HKEY_CURRENT_USER instead.
#define SETTINGS_ROOT_KEY HKEY_CURRENT_USER

// Calls that mean something else on a desktop than on the handheld reach the
// display stand-in's versions (platform/win32/window.cpp), which build on the
// system's own:
//  - CreateWindowExW: the handheld window is the whole screen; here it gets
//    a normal resizable frame sized to a whole multiple of the display, and
//    is painted from the display's frame (no class brush ever shows);
//  - ClientToScreen: on the handheld the client area was the whole screen,
//    so this was the identity; here a click is mapped into the 240x320
//    display through the letterbox (clicks on the bars never reach the game);
//  - GetAsyncKeyState: reads the whole desktop's keyboard, so keys read as
//    up unless the game's window is in the foreground;
//  - FindWindowW and SetForegroundWindow: the handheld's "handle | 1" is no
//    handle here; the plain handle FindWindowW found is used, and a
//    minimised window is restored first.
HWND tobelynCreateWindow(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                         int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                         void *param);
BOOL tobelynClientToScreen(HWND hwnd, POINT *point);
SHORT tobelynGetAsyncKeyState(int vKey);
HWND tobelynFindWindow(LPCWSTR className, LPCWSTR windowName);
BOOL tobelynSetForegroundWindow(HWND hwnd);

#undef CreateWindowExW
#define CreateWindowExW tobelynCreateWindow
#define ClientToScreen tobelynClientToScreen
#define GetAsyncKeyState tobelynGetAsyncKeyState
#define FindWindowW tobelynFindWindow
#define SetForegroundWindow tobelynSetForegroundWindow
