// Resources linked into the executable (resourceTable, generated from the
// resource script): found by type and number and handed out in place, never
// copied. The linker stores them packed; each is unpacked into its place
// once, at its first lookup: the pictures and the icon as the program
// starts, the sounds when first played (or when a backend calls
// unpackResources, as the browser's does after its first frame).
//
// Handles: an HRSRC and an HICON are the address of the ResourceEntry they
// stand for. A backend that shows the icon turns the HICON back into its
// entry (reinterpret_cast<const ResourceEntry *>) and decodes the .ico file
// bytes it holds.
#include "platform/resources.h"

#include <cstring>
#include <vector>

#include "platform/common/platform_internal.h"
#include "platform/common/resource_codec.h"
#include "platform/common/wide_text.h"
#include "platform/winapi.h"

namespace {

constexpr uint16_t kTypeString = 6;
constexpr uint16_t kTypeGroupIcon = 14;

enum UnpackState : uint8_t { kStillPacked, kUnpacked, kRefused };

std::vector<uint8_t> &unpackStates() {
  static std::vector<uint8_t> states(static_cast<size_t>(packedResourceCount), kStillPacked);
  return states;
}

// Unpacks the resource whose bytes live at `data` the first time it is
// asked for; false when its packed bytes are damaged (its place is then
// zeroed and it is never found). Strings are linked as they are.
bool unpacked(const void *data) {
  for (int i = 0; i < packedResourceCount; ++i) {
    const PackedResource &p = packedResources[i];
    if (p.place != data) continue;
    uint8_t &state = unpackStates()[static_cast<size_t>(i)];
    if (state == kStillPacked) {
      state =
          shared::unpackResource(p.packed, p.packedSize, p.place, p.size) ? kUnpacked : kRefused;
      if (state == kRefused) std::memset(p.place, 0, p.size);
    }
    return state == kUnpacked;
  }
  return true;
}

bool isEntry(const void *p) {
  for (int i = 0; i < resourceCount; ++i)
    if (p == &resourceTable[i]) return true;
  return false;
}

const ResourceEntry *entryOf(HRSRC resource) {
  return isEntry(resource) ? reinterpret_cast<const ResourceEntry *>(resource) : nullptr;
}

}  // namespace

void unpackResources() {
  for (int i = 0; i < packedResourceCount; ++i) unpacked(packedResources[i].place);
}

const ResourceEntry *platformFindResource(uint16_t typeId, const wchar_t *typeName, uint16_t id) {
  for (int i = 0; i < resourceCount; ++i) {
    const ResourceEntry &e = resourceTable[i];
    if (e.data == nullptr || e.id != id) continue;
    bool match = typeName != nullptr
                     ? e.typeName != nullptr && sameNameIgnoringCase(e.typeName, typeName)
                     : e.typeName == nullptr && e.typeId == typeId;
    if (match) return unpacked(e.data) ? &e : nullptr;
  }
  return nullptr;
}

HRSRC FindResourceW(HMODULE, LPCWSTR name, LPCWSTR type) {
  // Only numbered resources exist in this program.
  if (name == nullptr || !IS_INTRESOURCE(name) || type == nullptr) return nullptr;
  uint16_t id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
  const ResourceEntry *e;
  if (IS_INTRESOURCE(type)) {
    uint16_t typeId = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(type));
    // Strings are reached through LoadStringW only; their entries hold text,
    // not the system's blocks of sixteen.
    if (typeId == kTypeString) return nullptr;
    e = platformFindResource(typeId, nullptr, id);
  } else {
    e = platformFindResource(0, type, id);
  }
  return reinterpret_cast<HRSRC>(const_cast<ResourceEntry *>(e));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  const ResourceEntry *e = entryOf(resource);
  return e != nullptr ? const_cast<void *>(e->data) : nullptr;
}

void *LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE, HRSRC resource) {
  const ResourceEntry *e = entryOf(resource);
  return e != nullptr ? e->size : 0;
}

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int bufferMax) {
  if (buffer == nullptr || bufferMax <= 0) return 0;
  buffer[0] = 0;
  if (id > 0xFFFF) return 0;
  const ResourceEntry *e = platformFindResource(kTypeString, nullptr, static_cast<uint16_t>(id));
  if (e == nullptr) return 0;
  const wchar_t *text = static_cast<const wchar_t *>(e->data);
  int n = 0;
  while (n < bufferMax - 1 && static_cast<uint32_t>(n) < e->size && text[n] != 0) {
    buffer[n] = text[n];
    ++n;
  }
  buffer[n] = 0;
  return n;
}

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
  if (name == nullptr || !IS_INTRESOURCE(name)) return nullptr;
  const ResourceEntry *e = platformFindResource(
      kTypeGroupIcon, nullptr, static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name)));
  return reinterpret_cast<HICON>(const_cast<ResourceEntry *>(e));
}
