// PROVISIONAL STUB: replaced by the real implementation.
#include "platform/headless/headless.h"

#include "platform/backend.h"
#include "platform/gx.h"

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

void headlessReset() {}
void headlessSetRegistryDir(const char *) {}
void headlessClearMemoryRegistry() {}
void headlessSetClock(uint32_t) {}
void headlessAdvanceClock(uint32_t) {}
void headlessHold(int, bool) {}
void headlessKey(int) {}
void headlessTap(int, int) {}
void headlessActivate(bool) {}
void headlessMinimize() {}
void headlessClose() {}
void headlessSetOtherInstance(bool) {}
int headlessForegroundRequests() { return 0; }
const uint16_t *headlessFrame() { return nullptr; }
uint32_t headlessPresentCount() { return 0; }
bool headlessSuspended() { return false; }
bool headlessDisplayOpen() { return false; }
void headlessSetDisplayFormat(uint32_t, uint32_t, long, uint32_t) {}
int headlessTakeSounds(int *, int) { return 0; }
bool headlessSavePng(const char *) { return false; }
