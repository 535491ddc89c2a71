// The seam between the shared platform code (message queue, window record,
// resources, registry) and one backend (desktop, headless, browser, ...).
// The shared code calls these; each backend defines them once. Backends also
// define timeGetTime, GetAsyncKeyState, sndPlaySoundW and the GX functions.
#pragma once

#include "platform/winapi.h"

// The native window behind the one game window. The shared code keeps the
// window record and calls the window procedure; the backend only shows it.
// Creating returns false when no native window can be made (no display):
// the backend has said why in one line on stderr, and the window creation
// fails, so that the program ends through its usual start-up path.
bool backendCreateWindow(LPCWSTR title, HICON icon);
void backendShowWindow(int cmdShow);
void backendDestroyWindow();

// Turns pending native events into posted messages (PostMessageW to the
// game window). Called by PeekMessageW before it looks at the queue. Never
// blocks.
void backendPumpEvents();

// Single instance: returns a non-null handle standing for the running
// instance's window when one runs for this user, else null (and from then
// on this process is the running instance).
HWND backendFindRunningInstance(LPCWSTR className, LPCWSTR windowName);
// Asks the running instance found above to come to the front.
BOOL backendBringForward(HWND other);

// Where the registry key lives: a file path, or null to keep it in memory
// for the life of the process.
const char *backendRegistryPath();

// The device's default button codes, shared by every backend: the initial
// values of the stored settings' table (platform/settings_values.h).
// Defined in platform/common/default_keys.cpp.
struct GXKeyList;
GXKeyList platformDefaultKeys();
