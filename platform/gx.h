// Full-screen display and hardware buttons, in the shape of the handheld's
// game interface: one 16-bit frame buffer handed out between GXBeginDraw and
// GXEndDraw, and the device's default button codes.
#pragma once

#include "platform/winapi.h"

constexpr DWORD GX_FULLSCREEN = 0x01;
constexpr int GX_NORMALKEYS = 0x02;
constexpr int GX_LANDSCAPEKEYS = 0x03;

constexpr DWORD kfLandscape = 0x08;
constexpr DWORD kfPalette = 0x10;
constexpr DWORD kfDirect = 0x20;
constexpr DWORD kfDirect555 = 0x40;
constexpr DWORD kfDirect565 = 0x80;
constexpr DWORD kfDirect888 = 0x100;
constexpr DWORD kfDirect444 = 0x200;
constexpr DWORD kfDirectInverted = 0x400;

struct GXDisplayProperties {
  DWORD cxWidth;
  DWORD cyHeight;
  long cbxPitch;
  long cbyPitch;
  long cBPP;
  DWORD ffFormat;
};

struct GXKeyList {
  short vkUp;
  POINT ptUp;
  short vkDown;
  POINT ptDown;
  short vkLeft;
  POINT ptLeft;
  short vkRight;
  POINT ptRight;
  short vkA;
  POINT ptA;
  short vkB;
  POINT ptB;
  short vkC;
  POINT ptC;
  short vkStart;
  POINT ptStart;
};

int GXOpenDisplay(HWND hwnd, DWORD flags);
int GXCloseDisplay();
void *GXBeginDraw();
int GXEndDraw();
int GXOpenInput();
int GXCloseInput();
GXDisplayProperties GXGetDisplayProperties();
GXKeyList GXGetDefaultKeys(int options);
int GXSuspend();
int GXResume();

// The game's frames go through the host (platform/game_seam.h).
#include "platform/game_seam.h"
