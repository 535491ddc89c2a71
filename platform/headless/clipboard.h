// The headless backend's clipboard, in memory: a share from the host writes
// it, Ctrl+V on the host's "Watch or answer" page reads it. Installed at the
// window's creation; kept across resets.
#pragma once

#include <string>

void headlessUseClipboard();
void headlessSetClipboard(const char *text);
const std::string &headlessClipboard();
