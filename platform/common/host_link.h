// The one seam between a backend and the host above it. A backend tells
// what happened outside the game (the window minimised or restored, the
// device used last, a finger on the picture, the pad's menu button as a
// message) and takes what the host decided (the volume), all through here;
// no backend includes the host. The host installs its answers at start
// (hostEnable); with no host, or the host off, every call here answers as
// the game alone would.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

// Posted by a backend for a menu button that is not a key of the game: the
// pad's Back/Select, the page's "Menu" button.
constexpr UINT WM_TOBELYN_MENU = 0x8000 + 0x22;  // WM_APP + 0x22

// The device the player used last, whose names the help and hints use.
enum class InputDevice { kKeyboard, kPad, kTouch };

// The window's own switches, offered on the host's Settings page where a
// backend has them (the desktop: full screen and fit mode).
struct WindowControls {
  bool (*fullScreen)();
  void (*toggleFullScreen)();
  bool (*fit)();
  void (*toggleFit)();
};

// What the host answers; a null member answers as the game alone.
struct HostLink {
  // The window was minimised (true) or restored: true when the host took
  // it (a pause), so that the game never learns.
  bool (*minimized)(bool minimized);
  void (*device)(InputDevice device);
  // Touch on the picture in layer pixels: true when taken (Button A held
  // while the finger is down).
  bool (*touchDown)(int32_t x, int32_t y);
  void (*touchUp)();
};
void platformSetHostLink(const HostLink *link);

// --- Called by backends.
bool platformWindowMinimized(bool minimized);
void platformDeviceUsed(InputDevice device);
bool platformTouchDown(int32_t x, int32_t y);
void platformTouchUp();
void platformSetWindowControls(const WindowControls *controls);
// The game's sounds at this volume, 0 (silent) to 10 (as recorded).
int32_t platformVolume();

// --- Called by the host.
const WindowControls *platformWindowControls();
void platformSetVolume(int32_t volume);

// The volume as the gain the backends play the game's sounds at, in 1/65536:
// equal loudness steps of kVolumeStepDb each from 10 (the samples as
// recorded, 65536) down to 1; 0 is silent.
constexpr double kVolumeStepDb = 3.0;
uint32_t platformVolumeGain();
uint32_t volumeGainOf(int32_t volume);

// A backend's own actions, offered on the host's Settings page where it has
// them (the browser: every dart kept, downloaded as a CSV file).
struct PageActions {
  void (*exportDarts)();
};
void platformSetPageActions(const PageActions *actions);
const PageActions *platformPageActions();
