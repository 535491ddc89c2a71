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

// --- What the host says, for players who cannot see the screen. The host
// pushes each announcement down; a backend that shows or speaks them
// installs an output (none: the text goes nowhere, harmlessly).
struct SpeechOut {
  // Every announcement as text (the browser's live region); may be null.
  void (*said)(const char *text);
  // The system's voice, asked only while the player has speech switched
  // on; may be null, and may find no speech service at all.
  void (*speak)(const char *text);
};
void platformSetSpeechOut(const SpeechOut *out);
// Called by the host: the text always, the voice when `aloud`.
void platformSay(const char *text, bool aloud);

// The menu's page as a reader of the screen is told it: its rows as data
// (label, value, which is chosen) and the words of its foot bar, so that a
// backend can mirror the page with controls of its own.
struct LinkRow {
  char label[40];
  char value[24];
  bool chosen;
};
constexpr int32_t kLinkRowsMax = 12;
struct LinkPage {
  bool open;       // the menu is open (else nothing below counts)
  char name[24];   // "menu", "settings", ...
  char title[40];  // "Paused", "Settings", ...
  char foot[48];   // the foot bar's middle words ("B: back"); empty: no bar
  LinkRow rows[kLinkRowsMax];
  int32_t rowCount;
  // The words of a page with no rows (how to play, records...), a line each.
  char text[2048];
};
// What the host answers the mirror; installed by the host.
struct HostReader {
  // The page shown now; false when the host is off.
  bool (*page)(LinkPage *out);
  // A row of the page was chosen (clicked): the host moves its cursor
  // there and confirms it.
  void (*chooseRow)(int32_t row);
};
void platformSetHostReader(const HostReader *reader);
// --- Called by backends.
bool platformHostPage(LinkPage *out);
void platformChooseRow(int32_t row);
