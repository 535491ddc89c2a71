// The settings file: the values of the one registry key as a small text
// file, and back. Pure functions over bytes, with no file access, so that
// they can be fed anything.
//
// Layout (UTF-8 free: every byte is printable ASCII or a line feed):
//
//   tobelyn-settings 1
//   <name> <type> <data>        one line per value
//   crc32 <8 lowercase hex digits>
//
// <name>: the value name; printable ASCII other than space, '%' and '=' as
// itself, any other character as '%' and 8 hex digits; a lone '=' is the
// empty name. <type>: decimal. <data>: the bytes in lowercase hex, or '-'
// when there are none. The CRC-32 covers every byte before the "crc32" line.
//
// Reading takes each value line on its own, as the registry keeps each value
// on its own: a line that cannot be read (a typo, a cut, a stray byte), a
// second line of the same name, or a value the game does not keep (a name
// outside storedSettings, compared without regard to case) is skipped and
// the other values are kept. A carriage return before a line feed and a
// missing last line feed are accepted, for files edited by hand. The
// checksum is written but not checked: a hand edit that changes one value
// keeps the others. Only a file that is not a settings file at all - a wrong
// first line, or more than kRegistryFileMax bytes - reads as no values.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kRegistryFileMax = 64 * 1024;
constexpr int kRegistryValuesMax = 32;
constexpr int kRegistryNameMax = 64;   // characters, without the NUL
constexpr int kRegistryDataMax = 512;  // bytes per value

struct RegistryValue {
  wchar_t name[kRegistryNameMax + 1];
  uint32_t type;
  uint32_t size;
  uint8_t data[kRegistryDataMax];
};

struct RegistryValues {
  int count;
  RegistryValue values[kRegistryValuesMax];
};

// Reads a settings file: true with the values it keeps, or false (and no
// values) when it is not a settings file.
bool registryParse(const uint8_t *bytes, size_t size, RegistryValues *out);

// Writes the values in the layout above into buffer. Returns the number of
// bytes, or 0 when they do not fit (never the case within the limits above
// and kRegistryFileMax bytes of buffer).
size_t registryFormat(const RegistryValues &values, char *buffer, size_t bufferSize);

// Index of the value with this name (compared without regard to case, as
// the registry does), or -1.
int registryFind(const RegistryValues &values, const wchar_t *name);
