// Wide text to UTF-8.
#include "platform/common/wide_text.h"

#include <cstdint>
#include <cstring>

void utf8FromWide(const wchar_t *w, char *out, size_t outSize) {
  size_t n = 0;
  for (; w != nullptr && *w != 0; ++w) {
    uint32_t c = static_cast<uint32_t>(*w);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    char buf[4];
    size_t k;
    if (c < 0x80) {
      buf[0] = static_cast<char>(c);
      k = 1;
    } else if (c < 0x800) {
      buf[0] = static_cast<char>(0xC0 | (c >> 6));
      buf[1] = static_cast<char>(0x80 | (c & 0x3F));
      k = 2;
    } else if (c < 0x10000) {
      buf[0] = static_cast<char>(0xE0 | (c >> 12));
      buf[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buf[2] = static_cast<char>(0x80 | (c & 0x3F));
      k = 3;
    } else {
      buf[0] = static_cast<char>(0xF0 | (c >> 18));
      buf[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      buf[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buf[3] = static_cast<char>(0x80 | (c & 0x3F));
      k = 4;
    }
    if (n + k + 1 > outSize) break;
    std::memcpy(out + n, buf, k);
    n += k;
  }
  if (outSize > 0) out[n] = 0;
}
