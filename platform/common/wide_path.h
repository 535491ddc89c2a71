// Paths on Windows. The game passes paths as UTF-8 everywhere; on Windows
// the safe-file code turns them into the system's wide paths, and the
// environment and the command line are read wide, so that no name is ever
// narrowed to the ANSI code page (where a Cyrillic or CJK user name becomes
// question marks).
#pragma once

#ifdef _WIN32
#include <string>

// UTF-8 to UTF-16; false for text that is not UTF-8.
bool widePathFromUtf8(const char *utf8, std::wstring *out);
// UTF-16 to UTF-8 (empty for null).
std::string utf8FromWidePath(const wchar_t *wide);
// An environment variable read wide, as UTF-8; false when unset or empty.
bool environmentUtf8(const wchar_t *name, std::string *out);
#endif
