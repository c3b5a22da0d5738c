#pragma once
#include <cmath>
#include <limits>

namespace korvane {

// Truncation toward zero to a 32-bit int. Out-of-range values and NaN give
// INT_MIN, as the x86 conversion instruction does, instead of undefined
// behaviour.
inline int TruncToInt(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

}  // namespace korvane
