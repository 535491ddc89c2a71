// PROVISIONAL STUB: replaced by the real implementation.
#include "platform/backend.h"
#include "platform/resources.h"
#include "platform/winapi.h"

ATOM RegisterClassW(const WNDCLASSW *) { return 1; }
HWND CreateWindowExW(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                     void *) {
  return nullptr;
}
BOOL ShowWindow(HWND, int) { return 0; }
BOOL UpdateWindow(HWND) { return 0; }
BOOL DestroyWindow(HWND) { return 0; }
LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM) { return 0; }
HWND FindWindowW(LPCWSTR, LPCWSTR) { return nullptr; }
BOOL SetForegroundWindow(HWND) { return 0; }
BOOL PeekMessageW(MSG *, HWND, UINT, UINT, UINT) { return 0; }
BOOL TranslateMessage(const MSG *) { return 0; }
LRESULT DispatchMessageW(const MSG *) { return 0; }
BOOL PostMessageW(HWND, UINT, WPARAM, LPARAM) { return 0; }
void PostQuitMessage(int) {}
BOOL ClientToScreen(HWND, POINT *) { return 1; }
HGDIOBJ GetStockObject(int) { return nullptr; }
HMODULE GetModuleHandleW(LPCWSTR) { return nullptr; }
int LoadStringW(HINSTANCE, UINT, LPWSTR, int) { return 0; }
HICON LoadIconW(HINSTANCE, LPCWSTR) { return nullptr; }
HRSRC FindResourceW(HMODULE, LPCWSTR, LPCWSTR) { return nullptr; }
HGLOBAL LoadResource(HMODULE, HRSRC) { return nullptr; }
void *LockResource(HGLOBAL data) { return data; }
DWORD SizeofResource(HMODULE, HRSRC) { return 0; }
LONG RegCreateKeyExW(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, void *, PHKEY, LPDWORD) {
  return ERROR_ACCESS_DENIED;
}
LONG RegQueryValueExW(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) {
  return ERROR_FILE_NOT_FOUND;
}
LONG RegSetValueExW(HKEY, LPCWSTR, DWORD, DWORD, const BYTE *, DWORD) {
  return ERROR_ACCESS_DENIED;
}
LONG RegCloseKey(HKEY) { return ERROR_SUCCESS; }
