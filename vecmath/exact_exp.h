// exp and the network's sigmoid, correctly rounded (to nearest, ties to even)
// by our own code, one value at a time or over arrays in SIMD lanes: the same
// bits on every machine, whatever its C library or processor. The vector path
// is picked at run time; KORVANE_SIMD=scalar|avx2|avx512 or SelectPath()
// forces one.
#pragma once

#include <cstddef>
#include <vector>

namespace korvane::vecmath {

// exp(x) correctly rounded, for every double. The ends as C (Annex F) and IEEE
// 754 have them: exp(+-0) = 1, exp(-inf) = +0, exp(+inf) = +inf, NaN gives
// NaN; a result past the greatest double is +inf, one below the least normal
// the nearest subnormal or +0, both with errno = ERANGE and the overflow or
// underflow flag raised.
double Exp(double x);

// The same through the slow, precise path alone, as the vector code takes it
// for the lanes it cannot settle; *wider tells whether even its first
// precision could not decide.
double ExpAccurate(double x, bool* wider = nullptr);

// 1 / (1 + exp(x)) through ExpAccurate: the sigmoid's last line for such a
// lane (x within the cut-offs below, or NaN).
double SigmoidSlow(double x);

// Below this x = -slope * sum the sigmoid is exactly 1 without calling exp.
// exp(-36.75) = 0.98689 * 2^-53 (ln 2^-53 = -36.73680), so for x < -36.75 the
// exact exp(x) is under 0.987 * 2^-53 and so is its rounding e. 1 + e then
// lies below the midpoint 1 + 2^-53 between 1 and its successor and rounds to
// 1, and 1 / 1 = 1. The formula's own cut-off at -746 lies inside this range.
inline constexpr double kSigmoidOneBelow = -36.75;
// exp overflows to +inf above 709.78, where 1 / (1 + inf) = 0 with or without
// this cut-off. Below, the sigmoid is never 0: e < 2^1024 gives 1 / (1 + e) >=
// 2^-1024, a subnormal, computed like any other value.
inline constexpr double kSigmoidZeroAbove = 710.0;

// The program's sigmoid, 1 / (1 + exp(-slope * sum)). Gives the same bits as
// the formula for every input: -inf lands in the first branch, +inf in the
// second, NaN falls through to exp(NaN) = NaN, slope 0 gives x = +-0 (0.5) or
// NaN for infinite sums, just as the formula does. Both cut-offs look at x
// alone, so a negative slope is covered as well.
inline double ScalarSigmoid(double slope, double sum) {
  const double x = -slope * sum;
  if (x < kSigmoidOneBelow) return 1.0;
  if (x > kSigmoidZeroAbove) return 0.0;
  return 1.0 / (1.0 + Exp(x));
}

// Scalar is the same code without SIMD (Highway's portable baseline): it runs
// on any x86-64 and serves tests.
enum class SimdPath { Scalar, Avx2, Avx512 };

const char* PathName(SimdPath path);

// Paths built into this binary that this CPU runs, slowest first.
std::vector<SimdPath> SupportedPaths();

// The path ExpExact and SigmoidExact use: the one set by SelectPath, else the
// one KORVANE_SIMD names (if supported), else the fastest supported.
SimdPath ActivePath();

// Returns false, changing nothing, when this machine cannot run `path`.
bool SelectPath(SimdPath path);

// out[i] = Exp(x[i]), in the default floating-point environment (round to
// nearest, no flush to zero). Returns how many lanes took ExpAccurate: results
// too close to a rounding midpoint, near or past the ends of the normal range,
// or x not finite. `out` may alias `x`.
// The overloads taking a path throw std::invalid_argument if this machine
// cannot run it.
std::size_t ExpExact(const double* x, double* out, std::size_t n);
std::size_t ExpExact(SimdPath path, const double* x, double* out, std::size_t n);

// out[i] = ScalarSigmoid(slope, sum[i]); returns as ExpExact.
std::size_t SigmoidExact(double slope, const double* sum, double* out, std::size_t n);
std::size_t SigmoidExact(SimdPath path, double slope, const double* sum, double* out, std::size_t n);

}  // namespace korvane::vecmath
