#pragma once
#include <cmath>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

// Truncation toward zero to a 32-bit int. Out-of-range values and NaN give
// INT_MIN, as the x86 conversion instruction does, instead of undefined
// behaviour.
inline int TruncToInt(double v) {
#if defined(__SSE2__)
  return _mm_cvttsd_si32(_mm_set_sd(v));
#else
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
#endif
}

}  // namespace korvane
