#pragma once
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvane::text {

// The shortest decimal form that reads back as the same double.
inline std::string ShortestDouble(double v) {
  char buf[32];
#if defined(__cpp_lib_to_chars)
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
#else
  // A C++ library without floating-point to_chars (WebAssembly's) has a C
  // library without locales: printf writes what to_chars would.
  for (int precision = 1; precision < 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, v);
    if (std::strtod(buf, nullptr) == v) return buf;
  }
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
#endif
}

}  // namespace korvane::text
