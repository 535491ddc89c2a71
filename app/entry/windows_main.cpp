// Entry of the native Windows game (a GUI program: no console window).
#include "app/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return tobelynMain(instance, showCommand);
}
