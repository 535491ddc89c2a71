// Fuzz target: the settings file reader, and the writer on what it accepts.
//
// Whatever the bytes, registryParse must not read or write out of bounds,
// and must either accept the file or leave no values behind; what it keeps
// are only the game's own values, each name once. A file it accepts must
// survive a write and a second read unchanged, and the writer must stay
// inside any buffer it is given.
//
// Every input is tried as it is and behind the settings file's first line,
// so that the fuzzer reaches the value reader at once.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "platform/common/registry_file.h"
#include "platform/settings_values.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool sameValues(const RegistryValues &a, const RegistryValues &b) {
  if (a.count != b.count) return false;
  for (int i = 0; i < a.count; ++i) {
    const RegistryValue &x = a.values[i];
    const RegistryValue &y = b.values[i];
    if (std::wcscmp(x.name, y.name) != 0 || x.type != y.type || x.size != y.size) return false;
    if (std::memcmp(x.data, y.data, x.size) != 0) return false;
  }
  return true;
}

RegistryValues parsed;
RegistryValues reparsed;
char text[kRegistryFileMax];
char again[kRegistryFileMax];

void tryFile(const uint8_t *data, size_t size) {
  parsed.count = -1;
  if (!registryParse(data, size, &parsed)) {
    check(parsed.count == 0);
    return;
  }
  check(parsed.count >= 0 && parsed.count <= kStoredSettingCount);
  for (int i = 0; i < parsed.count; ++i) {
    bool kept = false;
    for (const StoredSetting &setting : storedSettings) {
      RegistryValues one{};
      one.count = 1;
      std::wcscpy(one.values[0].name, setting.name);
      kept = kept || registryFind(one, parsed.values[i].name) == 0;
    }
    check(kept && registryFind(parsed, parsed.values[i].name) == i);
  }

  // What was read is written and read back the same; the written form is
  // its own fixed point.
  size_t n = registryFormat(parsed, text, sizeof text);
  check(n > 0);
  check(registryParse(reinterpret_cast<const uint8_t *>(text), n, &reparsed));
  check(sameValues(parsed, reparsed));
  check(registryFormat(reparsed, again, sizeof again) == n);
  check(std::memcmp(text, again, n) == 0);

  // One byte too little room: nothing is returned and nothing is written
  // past the end (a heap block of exactly that size lets the address
  // checker see any overrun).
  char *tight = static_cast<char *>(std::malloc(n > 1 ? n - 1 : 1));
  check(registryFormat(parsed, tight, n - 1) == 0);
  std::free(tight);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tryFile(data, size);

  // The same bytes after the first line of a settings file; the heap block
  // is exactly as long as the file.
  static const char magic[] = "tobelyn-settings 1\n";
  const size_t magicLen = sizeof magic - 1;
  if (size > kRegistryFileMax) return 0;
  uint8_t *file = static_cast<uint8_t *>(std::malloc(magicLen + size));
  std::memcpy(file, magic, magicLen);
  if (size > 0) std::memcpy(file + magicLen, data, size);
  tryFile(file, magicLen + size);
  std::free(file);
  return 0;
}
