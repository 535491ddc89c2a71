// PROVISIONAL STUB: replaced by the real implementation.
#include "platform/backend.h"
#include "platform/gx.h"
#include "platform/winapi.h"

void backendCreateWindow(LPCWSTR, HICON) {}
void backendShowWindow(int) {}
void backendDestroyWindow() {}
void backendPumpEvents() {}
HWND backendFindRunningInstance(LPCWSTR, LPCWSTR) { return nullptr; }
BOOL backendBringForward(HWND) { return 0; }
const char *backendRegistryPath() { return nullptr; }

DWORD timeGetTime() { return 0; }
SHORT GetAsyncKeyState(int) { return 0; }
BOOL sndPlaySoundW(LPCWSTR, UINT) { return 0; }

int GXOpenDisplay(HWND, DWORD) { return 0; }
int GXCloseDisplay() { return 0; }
void *GXBeginDraw() { return nullptr; }
int GXEndDraw() { return 0; }
int GXOpenInput() { return 0; }
int GXCloseInput() { return 0; }
GXDisplayProperties GXGetDisplayProperties() { return {}; }
GXKeyList GXGetDefaultKeys(int) { return {}; }
int GXSuspend() { return 0; }
int GXResume() { return 0; }
