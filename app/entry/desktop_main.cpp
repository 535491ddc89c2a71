// Entry of the desktop game.
#include "app/app.h"

int main() { return tobelynMain(GetModuleHandleW(nullptr), SW_SHOW); }
