// The resources linked into the executable, generated at build time from the
// one resource script in res/. The strings are linked as text; every other
// resource is linked packed and unpacked into its place once, at its first
// lookup (or by unpackResources), before anything reads it.
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

// A packed resource and the place its bytes are unpacked to.
struct PackedResource {
  unsigned char *place;  // the entry's data
  uint32_t size;
  const unsigned char *packed;  // platform/common/resource_codec.h
  uint32_t packedSize;
};

extern const PackedResource packedResources[];
extern const int packedResourceCount;

// Unpacks every packed resource not unpacked yet into its place. A lookup
// (FindResourceW, LoadIconW) unpacks the one it finds; code that reads
// resourceTable's bytes itself calls this first. A resource whose packed
// bytes are damaged is left zeroed and is never found.
void unpackResources();
