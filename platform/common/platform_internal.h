// Hooks between the shared platform code and the backends that go beyond the
// backend seam: what a test backend needs to find the window and to start a
// fresh run in the same process.
#pragma once

#include "platform/resources.h"
#include "platform/winapi.h"

// The live game window, or null when there is none.
HWND platformWindow();

// Forgets the window class, the window record, the message queue, a pending
// quit and a registry key left open (unwritten). The values of the registry
// are not touched.
void platformResetState();

// Number of messages waiting in the queue (a pending quit not counted).
int platformQueuedMessages();

// What a backend posts to the game window (false when there is no window or
// the message is dropped). Input - key presses and taps - is dropped while
// more than a few such messages are waiting, so that a storm of it cannot
// fill the queue. A control message - a close, a minimise, an activation
// change - is never dropped: in a full queue it takes the place of the
// oldest waiting input.
BOOL platformPostInput(UINT msg, WPARAM wParam, LPARAM lParam);
BOOL platformPostControl(UINT msg, WPARAM wParam, LPARAM lParam);

// The resource entry with this type and id, or null. typeName is compared
// case-insensitively; with typeName null the integer type is compared.
const ResourceEntry *platformFindResource(uint16_t typeId, const wchar_t *typeName, uint16_t id);

// Drops the registry key kept in memory, as if it had never been created.
void platformClearMemoryRegistry();
// Forgets an open registry key without writing it.
void platformForgetOpenRegistryKey();
