// Wide text as the system's calls take it: names compared as the system
// compares class, resource type and registry value names (without regard to
// case), and conversion to UTF-8 for the hosts that want it.
#pragma once

#include <cstddef>
#include <cwctype>

// True when the two NUL-terminated names are equal but for case.
inline bool sameNameIgnoringCase(const wchar_t *a, const wchar_t *b) {
  int i = 0;
  for (; a[i] != 0 && b[i] != 0; ++i)
    if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
      return false;
  return a[i] == 0 && b[i] == 0;
}

// Writes the NUL-terminated wide text as NUL-terminated UTF-8, cut at a
// whole character when it does not fit; code points that are not characters
// (lone surrogates, beyond U+10FFFF) become U+FFFD.
void utf8FromWide(const wchar_t *w, char *out, size_t outSize);
