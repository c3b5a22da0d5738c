// Choosing between two doubles without a branch, for loops whose choice is
// unpredictable (a gene or weight that mutates one time in two or four in
// five): a compiler turns a plain choice into a branch.
#pragma once
#include <cstdint>
#include <cstring>

namespace korvane {

// A double's bits and back, as std::bit_cast (which WebAssembly's C++
// library lacks) gives them.
inline std::uint64_t Bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

inline double FromBits(std::uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

// All ones when `on`, else none.
inline std::uint64_t MaskOf(bool on) { return std::uint64_t{0} - static_cast<std::uint64_t>(on); }

// a where `mask` is all ones, b where it is none.
inline double Masked(std::uint64_t mask, double a, double b) { return FromBits((Bits(a) & mask) | (Bits(b) & ~mask)); }

}  // namespace korvane
