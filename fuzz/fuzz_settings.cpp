// Fuzz target: the settings file reader, and the writer on what it accepts.
//
// Whatever the bytes, registryParse must not read or write out of bounds,
// and must either accept the file or leave no values behind. A file it
// accepts must survive a write and a second read unchanged, and the writer
// must stay inside any buffer it is given.
//
// Random bytes almost never carry a correct checksum, which would keep the
// fuzzer in front of the line reader; so every input is also tried with a
// correct checksum line appended.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "platform/common/checksum.h"
#include "platform/common/registry_file.h"

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
  check(parsed.count >= 0 && parsed.count <= kRegistryValuesMax);

  // What was read is written and read back the same; the written form is
  // its own fixed point.
  size_t n = registryFormat(parsed, text, sizeof text);
  check(n > 0 && n <= size);
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

  // The same bytes as the body of a file with a correct checksum; the heap
  // block is exactly as long as the file.
  if (size > kRegistryFileMax) return 0;
  char line[16];
  std::snprintf(line, sizeof line, "crc32 %08x\n",
                static_cast<unsigned>(crc32Update(0, data, size)));
  size_t lineLen = std::strlen(line);
  uint8_t *sealed = static_cast<uint8_t *>(std::malloc(size + lineLen));
  if (size > 0) std::memcpy(sealed, data, size);
  std::memcpy(sealed + size, line, lineLen);
  tryFile(sealed, size + lineLen);
  std::free(sealed);
  return 0;
}
