// The desktop backend's pure parts: window scale, pixel conversion, key
// codes, icon decoding, file locations and the
// single-instance lock. Nothing here calls SDL, so the unit tests link these
// directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/common/fit.h"
#include "platform/common/frame_pacer.h"
#include "platform/common/pad.h"
#include "platform/common/view.h"
#include "platform/common/wave.h"
#include "platform/common/window_state.h"

namespace sdlb {

// The picture's place in the window, pointer mapping, changed rows, wave
// parsing and frame pacing are shared with the other backends.
using shared::build565Table;
using shared::changedRows;
using shared::computeView;
using shared::frameStats;
using shared::kDisplayHeight;
using shared::kDisplayWidth;
using shared::kFramePeriodNs;
using shared::mapToDisplay;
using shared::nextDeadline;
using shared::parseWave;
using shared::View;
using shared::WaveData;
using shared::waveImageSize;

// --- Window scale and letterbox.

// Integer scale for the first window size: the largest that leaves room for
// the window frame on a desktop whose usable area is usableW x usableH, and
// never below 2.
int chooseWindowScale(int usableW, int usableH);

// Draws the 240x320 5-6-5 frame into a 32-bit destination at the view's
// place, scaled by view.scale (1 or more) with square pixels. dstPitch is in
// bytes. The letterbox bars are not touched.
void scaleFrame(const uint16_t *frame, const uint32_t *table, const View &view, uint8_t *dst,
                int dstPitch);
// The same for display rows firstRow..lastRow only (whole scales; below 1x
// the whole picture is drawn). Returns the window rows touched as
// [*top, *top + *rows).
void scaleFrameRows(const uint16_t *frame, const uint32_t *table, const View &view, uint8_t *dst,
                    int dstPitch, int firstRow, int lastRow, int *top, int *rows);

// --- Fit mode (shared with the Windows build).

using shared::buildFitTaps;
using shared::computeFitView;
using shared::fitFrameRows;
using shared::FitTap;
using shared::FitTaps;
using shared::kFitMaxSide;

// --- Keys.

// Windows virtual-key code (1..255) for an SDL key code and scan code, or 0
// when the key has none. Letters, digits and punctuation follow the key
// code (the keyboard layout); keys whose key code is not a Latin character
// fall back to the scan code position.
int virtualKeyFor(int32_t sdlKeycode, int sdlScancode);

// The keys that change the window rather than play the game (see
// shared::windowKeyFor); `mod` is SDL's modifier state.
using shared::WindowKey;
WindowKey windowKeyFor(int32_t sdlKeycode, uint16_t mod);
// Alt, and any key pressed while Alt is held, is a system key (see
// shared::isSystemKey).
bool isSystemKey(int32_t sdlKeycode, uint16_t mod);

// --- Gamepads (the table, dead zones and held state are shared).

using shared::kMaxPads;
using shared::kPadA;
using shared::kPadB;
using shared::kPadButtonCount;
using shared::kPadC;
using shared::kPadDown;
using shared::kPadLeft;
using shared::kPadRight;
using shared::kPadStart;
using shared::kPadUp;
using shared::kStickPress;
using shared::kStickRelease;
using shared::kStickSource;
using shared::PadState;
using shared::stickDirection;

// The game's button for an SDL game controller button, through the shared
// table of pad controls; -1 for the buttons the game does not use.
int padButtonFor(int sdlControllerButton);

// --- Icon.

// Finds the best 32-bit BMP image in an .ico file (48 px preferred, then
// 32, then the largest) and decodes it to top-down 0xAARRGGBB pixels.
// Returns false for anything else (PNG images, other depths, malformed).
// maxPixels bounds the output buffer.
bool decodeIcon(const uint8_t *ico, size_t size, uint32_t *argb, int maxPixels, int *width,
                int *height);

// --- Files.

// The settings file: $XDG_CONFIG_HOME/tobelyn/settings, else
// $HOME/.config/tobelyn/settings; false (memory only) when neither gives a
// usable absolute folder or the path does not fit.
bool settingsPath(const char *xdgConfigHome, const char *home, char *out, size_t outSize);
// The folder for the instance lock and socket: $XDG_RUNTIME_DIR, else the
// settings folder. False when neither is usable.
bool runtimeFolder(const char *xdgRuntimeDir, const char *xdgConfigHome, const char *home,
                   char *out, size_t outSize);

// --- The remembered window (its file's format is shared).

using shared::formatWindowState;
using shared::kWindowCoordMax;
using shared::kWindowStateMax;
using shared::parseWindowState;
using shared::WindowState;

// "window" beside the settings file; false when there is no settings file.
bool windowStatePath(const char *xdgConfigHome, const char *home, char *out, size_t outSize);

// --- Single instance.

enum class InstanceResult { kFirst, kOtherRuns, kUnavailable };
// Takes the per-user lock in `folder` (creating the folder) and, when it is
// ours, opens the listening socket beside it (a stale one from a crashed run
// is replaced). kOtherRuns when another live process holds the lock.
InstanceResult instanceAcquire(const char *folder);
// Tells the running instance in `folder` to come to the front, and hands it
// a match code when one is given. True when the request was delivered.
bool instanceSignal(const char *folder, const std::string &code = std::string());
// Non-blocking: true when a front request has arrived since the last call;
// a code one of them carried goes to *code (the newest, when several did).
bool instancePoll(std::string *code = nullptr);
// At a clean exit: removes the socket while it is still the one this
// process bound, then lets go as instanceRelease does. The lock file stays:
// removing it would let a start that has just opened it run beside the next.
void instanceFinish();
// Closes the socket and lock of this process, leaving their files as a
// crash would (tests; the end of the process does it anyway).
void instanceRelease();

}  // namespace sdlb
