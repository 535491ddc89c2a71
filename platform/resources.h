// The resources linked into the executable, generated at build time from the
// one resource script in res/.
#pragma once

#include <cstdint>

struct ResourceEntry {
  uint16_t typeId;          // integer type (2 bitmap, 6 string, 14 icon group), 0 when named
  const wchar_t *typeName;  // named type such as L"WAVE", else null
  uint16_t id;              // resource number
  const void *data;         // the bytes; for a string a NUL-terminated wchar_t text
  uint32_t size;            // bytes; for a string its length in characters
};

extern const ResourceEntry resourceTable[];
extern const int resourceCount;
