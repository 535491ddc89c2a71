// Names compared as the system compares class, resource type and registry
// value names: without regard to case.
#pragma once

#include <cwctype>

// True when the two NUL-terminated names are equal but for case.
inline bool sameNameIgnoringCase(const wchar_t *a, const wchar_t *b) {
  int i = 0;
  for (; a[i] != 0 && b[i] != 0; ++i)
    if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
      return false;
  return a[i] == 0 && b[i] == 0;
}
