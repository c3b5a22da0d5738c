#pragma once
#include <charconv>
#include <string>

namespace korvane::study {

// The shortest text that reads back as the same double ("0.1", "15.5", "12").
inline std::string ShortestText(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace korvane::study
