#pragma once
#include <cstdio>
#include <string>

namespace korvane {

// A printf format filled in, as the C library formats it (at most 511 bytes).
template <class... Values>
std::string Formatted(const char* format, Values... values) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, values...);
  return buf;
}

// A number as the classroom additions show it: two decimals.
inline std::string Two(double v) { return Formatted("%.2f", v); }

}  // namespace korvane
