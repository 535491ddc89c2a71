#include "platform/common/registry_file.h"

#include "platform/common/checksum.h"
#include "platform/common/wide_text.h"
#include "platform/settings_values.h"

namespace {

const char kMagic[] = "tobelyn-settings 1\n";
const char kCrcTag[] = "crc32 ";
constexpr uint32_t kCharMax = 0x10FFFF;

const char kHex[] = "0123456789abcdef";

int hexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool plainNameChar(wchar_t c) { return c > 0x20 && c < 0x7F && c != '%' && c != '='; }

// A cursor over one line's bytes.
struct Field {
  const uint8_t *p;
  const uint8_t *end;
};

// Takes the bytes up to the next space (or the line's end) as one field.
Field nextField(const uint8_t *&p, const uint8_t *end) {
  Field f{p, p};
  while (f.end < end && *f.end != ' ') ++f.end;
  p = f.end < end ? f.end + 1 : f.end;
  return f;
}

bool parseName(Field f, wchar_t *name) {
  if (f.end - f.p == 1 && *f.p == '=') {
    name[0] = 0;
    return true;
  }
  int n = 0;
  const uint8_t *p = f.p;
  if (p == f.end) return false;
  while (p < f.end) {
    if (n == kRegistryNameMax) return false;
    uint32_t c;
    if (*p == '%') {
      if (f.end - p < 9) return false;
      c = 0;
      for (int k = 1; k <= 8; ++k) {
        int d = hexDigit(p[k]);
        if (d < 0) return false;
        c = (c << 4) | static_cast<uint32_t>(d);
      }
      if (c == 0 || c > kCharMax) return false;
      p += 9;
    } else {
      if (!plainNameChar(static_cast<wchar_t>(*p))) return false;
      c = *p++;
    }
    name[n++] = static_cast<wchar_t>(c);
  }
  name[n] = 0;
  return true;
}

bool parseType(Field f, uint32_t *type) {
  if (f.p == f.end || f.end - f.p > 10) return false;
  uint64_t v = 0;
  for (const uint8_t *p = f.p; p < f.end; ++p) {
    if (*p < '0' || *p > '9') return false;
    v = v * 10 + static_cast<uint64_t>(*p - '0');
  }
  if (v > 0xFFFFFFFFu || (f.end - f.p > 1 && *f.p == '0')) return false;
  *type = static_cast<uint32_t>(v);
  return true;
}

bool parseData(Field f, RegistryValue *v) {
  if (f.end - f.p == 1 && *f.p == '-') {
    v->size = 0;
    return true;
  }
  size_t len = static_cast<size_t>(f.end - f.p);
  if (len == 0 || len % 2 != 0 || len / 2 > kRegistryDataMax) return false;
  for (size_t i = 0; i < len / 2; ++i) {
    int hi = hexDigit(f.p[2 * i]), lo = hexDigit(f.p[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    v->data[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  v->size = static_cast<uint32_t>(len / 2);
  return true;
}

bool keptName(const wchar_t *name) {
  for (const StoredSetting &kept : storedSettings)
    if (sameNameIgnoringCase(kept.name, name)) return true;
  return false;
}

// Takes one value line (without its line end) into out, when it reads as a
// value the file keeps and is the first of its name; otherwise leaves out
// as it was.
void takeLine(const uint8_t *p, const uint8_t *lineEnd, RegistryValues *out) {
  if (out->count == kRegistryValuesMax) return;
  RegistryValue &v = out->values[out->count];
  Field name = nextField(p, lineEnd);
  Field type = nextField(p, lineEnd);
  Field data = nextField(p, lineEnd);
  if (p != lineEnd || data.end != lineEnd) return;  // exactly three fields
  if (!parseName(name, v.name) || !keptName(v.name)) return;
  if (!parseType(type, &v.type) || !parseData(data, &v)) return;
  if (registryFind(*out, v.name) >= 0) return;
  ++out->count;
}

bool parseAll(const uint8_t *bytes, size_t size, RegistryValues *out) {
  const size_t magicLen = sizeof kMagic - 2;  // without its line feed
  if (size > kRegistryFileMax || size < magicLen) return false;
  for (size_t i = 0; i < magicLen; ++i)
    if (bytes[i] != static_cast<uint8_t>(kMagic[i])) return false;
  const uint8_t *end = bytes + size;
  const uint8_t *p = bytes + magicLen;
  if (p < end && *p == '\r') ++p;
  if (p < end && *p++ != '\n') return false;

  while (p < end) {
    const uint8_t *lineEnd = p;
    while (lineEnd < end && *lineEnd != '\n') ++lineEnd;
    const uint8_t *textEnd = lineEnd > p && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
    takeLine(p, textEnd, out);  // the checksum line, having two fields, is never a value
    p = lineEnd < end ? lineEnd + 1 : end;
  }
  return true;
}

}  // namespace

int registryFind(const RegistryValues &values, const wchar_t *name) {
  for (int i = 0; i < values.count; ++i)
    if (sameNameIgnoringCase(values.values[i].name, name)) return i;
  return -1;
}

bool registryParse(const uint8_t *bytes, size_t size, RegistryValues *out) {
  out->count = 0;
  if (bytes == nullptr) return false;
  if (parseAll(bytes, size, out)) return true;
  out->count = 0;
  return false;
}

size_t registryFormat(const RegistryValues &values, char *buffer, size_t bufferSize) {
  size_t n = 0;
  bool fits = true;
  auto put = [&](char c) {
    if (n < bufferSize)
      buffer[n++] = c;
    else
      fits = false;
  };
  auto putHex = [&](uint32_t v, int digits) {
    for (int k = digits - 1; k >= 0; --k) put(kHex[(v >> (4 * k)) & 0xF]);
  };
  for (const char *s = kMagic; *s != 0; ++s) put(*s);
  int count = values.count < 0 ? 0 : values.count;
  if (count > kRegistryValuesMax) count = kRegistryValuesMax;
  for (int i = 0; i < count; ++i) {
    const RegistryValue &v = values.values[i];
    if (v.name[0] == 0) put('=');
    for (int k = 0; k < kRegistryNameMax && v.name[k] != 0; ++k) {
      if (plainNameChar(v.name[k])) {
        put(static_cast<char>(v.name[k]));
      } else {
        put('%');
        putHex(static_cast<uint32_t>(v.name[k]), 8);
      }
    }
    put(' ');
    char digits[10];
    int d = 0;
    uint32_t t = v.type;
    do {
      digits[d++] = static_cast<char>('0' + t % 10);
      t /= 10;
    } while (t != 0);
    while (d > 0) put(digits[--d]);
    put(' ');
    uint32_t size = v.size > kRegistryDataMax ? kRegistryDataMax : v.size;
    if (size == 0) put('-');
    for (uint32_t k = 0; k < size; ++k) putHex(v.data[k], 2);
    put('\n');
  }
  if (!fits) return 0;
  uint32_t crc = crc32Update(0, buffer, n);
  for (const char *s = kCrcTag; *s != 0; ++s) put(*s);
  putHex(crc, 8);
  put('\n');
  return fits ? n : 0;
}
