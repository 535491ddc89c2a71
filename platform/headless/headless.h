// Controls of the headless backend: a scripted clock, scripted messages and
// held keys, the registry in a folder or in memory, frames captured instead
// of shown and sounds recorded instead of played. Nothing here ever waits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winapi.h"

// Forgets everything of an earlier run in this process (window, queue, held
// keys, captured frame, recorded sounds, display state) except the registry
// kept in memory, so that a test can start the program again.
void headlessReset();

// Registry: a folder to keep the settings file in, or null for memory.
void headlessSetRegistryDir(const char *dir);
// Empties the registry kept in memory.
void headlessClearMemoryRegistry();

// Clock.
void headlessSetClock(uint32_t ms);
void headlessAdvanceClock(uint32_t ms);

// Input: queued messages are posted to the game window.
void headlessHold(int vk, bool held);
void headlessKey(int vk);
void headlessTap(int x, int y);
void headlessActivate(bool active);
void headlessMinimize();
void headlessClose();

// When true, FindWindowW reports another running instance.
void headlessSetOtherInstance(bool running);
// How often SetForegroundWindow asked another instance to come forward.
int headlessForegroundRequests();

// Display.
const uint16_t *headlessFrame();  // the 240x320 frame buffer, 5-6-5
uint32_t headlessPresentCount();  // GXEndDraw calls so far
bool headlessSuspended();
bool headlessDisplayOpen();
// Reported display properties for the next GXOpenDisplay (tests of other
// depths and formats); the default is 240x320, 16 bits, 5-6-5.
void headlessSetDisplayFormat(uint32_t width, uint32_t height, long bpp, uint32_t format);

// Sounds started since the last take: WAVE resource ids, oldest first.
int headlessTakeSounds(int *resourceIds, int max);

// The stereo mixer: what the speakers would play, the game's sounds and the
// host's voice together, at kHeadlessMixRate frames a second of the scripted
// clock. Off at first (nothing is rendered); switching it on or off empties
// its output and counts from the clock as it stands.
constexpr int kHeadlessMixRate = 44100;
void headlessMixerRecord(bool on);
// Takes up to `maxFrames` of the oldest frames rendered up to the clock
// now, left and right interleaved; how many. Null `stereo` drops them.
size_t headlessTakeMix(int16_t *stereo, size_t maxFrames);

// Writes the current frame as a PNG file. Returns false on failure.
bool headlessSavePng(const char *path);
