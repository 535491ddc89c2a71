// Fuzz target: the resource unpacker, and the packer on what it is given.
//
// The first two bytes are the size to unpack to (little-endian), the rest
// the packed bytes: whatever they hold, unpacking must stay inside both
// buffers. The whole input taken as a resource must pack, by each method
// that applies to it, into bytes that unpack to it again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/common/resource_codec.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  // Copies of their exact sizes, so that the sanitizer sees any step
  // outside them.
  const std::vector<uint8_t> packed(data + 2, data + size);
  std::vector<uint8_t> out(static_cast<size_t>(data[0] | data[1] << 8));
  shared::unpackResource(packed.data(), packed.size(), out.data(), out.size());

  const std::vector<uint8_t> raw(data, data + size);
  for (auto method : {shared::kPackStored, shared::kPackRuns, shared::kPackWave}) {
    const std::vector<uint8_t> p = shared::packResourceWith(method, raw);
    if (p.empty()) continue;
    std::vector<uint8_t> back(raw.size());
    check(shared::unpackResource(p.data(), p.size(), back.data(), back.size()) && back == raw);
  }
  return 0;
}
