// Fields appended to a line of the book's file or of its CSV, each after its
// separator (none for the first).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline void put(std::string &out, char separator, int64_t value) {
  if (separator != 0) out += separator;
  out += std::to_string(value);
}

inline void put(std::string &out, char separator, std::string_view text) {
  if (separator != 0) out += separator;
  out += text;
}
