// Internals of ExpAccurate, for the tests.
#pragma once

#include <cstdint>

namespace korvane::vecmath::detail {

// ln 2 = sum kLn2[i] 2^(-64 (i + 1)), truncated.
inline constexpr std::uint64_t kLn2[5] = {0xb17217f7d1cf79abull, 0xc9e3b39803f2f6afull, 0x40f343267298b62dull,
                                          0x8a0d175b8baafa2bull, 0xe7b876206debac98ull};

// One precision of ExpAccurate alone, 2 or 4 limbs, for 2^-54 < |x| and x in
// [-745.2, 709.79]: false where it cannot decide.
bool ExpFixedPoint(double x, int limbs, double& out);

}  // namespace korvane::vecmath::detail
