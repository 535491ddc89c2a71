// PROVISIONAL STUB: replaced by the real implementation.
#include "app/app.h"

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
bool appStart(HINSTANCE, int, int *exitCode) {
  *exitCode = 0;
  return false;
}
bool appPass(int *exitCode) {
  *exitCode = 0;
  return false;
}
void appFinish() {}
int tobelynMain(HINSTANCE instance, int showCommand) {
  int code = 0;
  if (!appStart(instance, showCommand, &code)) return code;
  while (appPass(&code)) {
  }
  appFinish();
  return code;
}
