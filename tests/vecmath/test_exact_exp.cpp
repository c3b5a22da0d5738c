// exp and the sigmoid must be correctly rounded, as MPFR rounds them, one at a
// time and on every path this machine runs, through the array functions and
// the per-vector ones a kernel calls, with C's ends; the scalar sigmoid's
// shortcut must not change a single result.
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS (HWY_SSSE3 | HWY_SSE4)
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "tools/check_exp/exp_reference.h"
#include "vecmath/exact_exp.h"
#include "vecmath/exp_accurate.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tests/vecmath/test_exact_exp.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "vecmath/exact_exp-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::vecmath::HWY_NAMESPACE {

// ExactExp and ExactSigmoid, one vector at a time; the tail is padded with
// lanes (x = 0, slope = 0) that never need the slow path.
size_t VectorExp(const double* x, double* out, size_t n) {
  const hn::ScalableTag<double> d;
  size_t fallbacks = 0;
  for (size_t i = 0; i < n; i += hn::Lanes(d)) {
    HWY_ALIGN double buf[hn::MaxLanes(d)] = {};
    const size_t count = std::min(n - i, hn::Lanes(d));
    std::copy(x + i, x + i + count, buf);
    hn::Store(ExactExp(d, hn::Load(d, buf), &fallbacks), d, buf);
    std::copy(buf, buf + count, out + i);
  }
  return fallbacks;
}

size_t VectorSigmoid(double slope, const double* sum, double* out, size_t n) {
  const hn::ScalableTag<double> d;
  size_t fallbacks = 0;
  for (size_t i = 0; i < n; i += hn::Lanes(d)) {
    HWY_ALIGN double slopes[hn::MaxLanes(d)] = {};
    HWY_ALIGN double buf[hn::MaxLanes(d)] = {};
    const size_t count = std::min(n - i, hn::Lanes(d));
    std::fill(slopes, slopes + count, slope);
    std::copy(sum + i, sum + i + count, buf);
    const auto s = ExactSigmoid(d, hn::Load(d, slopes), hn::Load(d, buf), &fallbacks);
    hn::Store(s, d, buf);
    std::copy(buf, buf + count, out + i);
  }
  return fallbacks;
}

}  // namespace korvane::vecmath::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korvane::vecmath {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using exp_reference::EdgeInputs;
using exp_reference::Same;

// The sigmoid as first written, on exp rounded by MPFR: no shortcut.
double ReferenceSigmoid(double slope, double sum) { return 1.0 / (1.0 + exp_reference::Exp(-slope * sum)); }

// The same on our exp: for the shortcut, on more inputs than MPFR has time for.
double LiteralSigmoid(double slope, double sum) {
  const double x = -slope * sum;
  if (x > 710.0) return 0.0;
  if (x < -746.0) return 1.0;
  return 1.0 / (1.0 + Exp(x));
}

// x over all the sigmoid meets: uniform, dense near 0, near the cut-offs.
std::vector<double> RandomInputs(size_t n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double spots[] = {0.0, -36.75, 709.78, -708.39, -745.13, 710.0, -746.0};
  std::vector<double> x(n);
  for (size_t i = 0; i < n; ++i) {
    const double u = unit(rng);
    const double sign = unit(rng) < 0.5 ? -1.0 : 1.0;
    switch (i % 4) {
      case 0: x[i] = sign * 750.0 * u; break;
      case 1: x[i] = sign * std::exp2(-60.0 + 70.0 * u); break;  // 2^-60 .. 1024
      case 2: x[i] = spots[i / 4 % 7] + 0.02 * (u - 0.5); break;
      default: x[i] = sign * 40.0 * u; break;
    }
  }
  return x;
}

struct VectorFunctions {
  size_t (*exp)(const double*, double*, size_t) = nullptr;
  size_t (*sigmoid)(double, const double*, double*, size_t) = nullptr;
};

// The per-vector code of `path`, built here as the library builds its own.
VectorFunctions VectorFunctionsFor(SimdPath path) {
  switch (path) {
    case SimdPath::Scalar:
#if HWY_TARGETS & HWY_EMU128
      return {N_EMU128::VectorExp, N_EMU128::VectorSigmoid};
#elif HWY_TARGETS & HWY_SCALAR
      return {N_SCALAR::VectorExp, N_SCALAR::VectorSigmoid};
#endif
      break;
    case SimdPath::Avx2:
#if HWY_TARGETS & HWY_AVX2
      return {N_AVX2::VectorExp, N_AVX2::VectorSigmoid};
#endif
      break;
    case SimdPath::Avx512:
#if HWY_TARGETS & HWY_AVX3
      return {N_AVX3::VectorExp, N_AVX3::VectorSigmoid};
#endif
      break;
  }
  return {};
}

// Reports up to ten inputs whose result differs from want[i].
void ExpectSame(const char* what, const std::vector<double>& in, const std::vector<double>& out,
                const std::vector<double>& want) {
  int reported = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    if (Same(out[i], want[i]) || reported++ >= 10) continue;
    ADD_FAILURE() << std::hexfloat << what << "(" << in[i] << ") = " << out[i] << ", not " << want[i];
  }
}

// The inputs everything is held to MPFR on, the edges and a sample, and the
// reference results: computed once, MPFR is slow.
struct Checked {
  std::vector<double> x, exp;
};

const Checked& EdgesAndSample() {
  static const Checked c = [] {
    Checked c{EdgeInputs(), {}};
    const std::vector<double> random = RandomInputs(40000, 1);
    c.x.insert(c.x.end(), random.begin(), random.end());
    for (double v : c.x) c.exp.push_back(exp_reference::Exp(v));
    return c;
  }();
  return c;
}

const double kSlopes[] = {1.0, -1.0, 0.5, 2.3, 0.0, -0.0, 1e-300, 1e300, kInf, -kInf, kNaN};

// ReferenceSigmoid(kSlopes[k], sum) for the sums EdgesAndSample().x.
const std::vector<double>& SigmoidReference(size_t k) {
  static std::vector<double> cache[std::size(kSlopes)];
  if (cache[k].empty())
    for (double sum : EdgesAndSample().x) cache[k].push_back(ReferenceSigmoid(kSlopes[k], sum));
  return cache[k];
}

class ExactExpPath : public ::testing::TestWithParam<SimdPath> {
 protected:
  // Checks both entry points on x; returns how many lanes took the slow path.
  size_t ExpectExpMatches(const std::vector<double>& x, const std::vector<double>& want) {
    std::vector<double> out(x.size());
    const size_t slow = ExpExact(GetParam(), x.data(), out.data(), x.size());
    ExpectSame("ExpExact", x, out, want);
    const VectorFunctions vec = VectorFunctionsFor(GetParam());
    EXPECT_EQ(vec.exp(x.data(), out.data(), x.size()), slow);
    ExpectSame("ExactExp", x, out, want);
    return slow;
  }

  void ExpectSigmoidMatches(double slope, const std::vector<double>& sum, const std::vector<double>& want) {
    std::vector<double> out(sum.size());
    const size_t slow = SigmoidExact(GetParam(), slope, sum.data(), out.data(), sum.size());
    ExpectSame("SigmoidExact", sum, out, want);
    const VectorFunctions vec = VectorFunctionsFor(GetParam());
    EXPECT_EQ(vec.sigmoid(slope, sum.data(), out.data(), sum.size()), slow);
    ExpectSame("ExactSigmoid", sum, out, want);
  }
};

TEST_P(ExactExpPath, ExpIsCorrectlyRounded) { ExpectExpMatches(EdgesAndSample().x, EdgesAndSample().exp); }

// Only lanes near a midpoint take the slow path: about 0.1 % of ordinary
// inputs, not all, not none.
TEST_P(ExactExpPath, FewLanesTakeTheSlowPath) {
  std::mt19937_64 rng(2);
  std::uniform_real_distribution<double> dist(-700.0, 700.0);
  std::vector<double> x(100000), want;
  for (double& v : x) want.push_back(Exp(v = dist(rng)));
  const double rate = static_cast<double>(ExpectExpMatches(x, want)) / x.size();
  EXPECT_GT(rate, 0.0002);
  EXPECT_LT(rate, 0.005);
  // Zeros and NaN never do.
  std::vector<double> zeros(37, 0.0), ones(37, 1.0);
  zeros[5] = -0.0;
  zeros[9] = ones[9] = kNaN;
  EXPECT_EQ(ExpectExpMatches(zeros, ones), 0u);
}

// Every length up to a few vectors, so that tails and in-place use are covered.
TEST_P(ExactExpPath, AnyLengthAndInPlace) {
  const std::vector<double> src = RandomInputs(40, 3);
  for (size_t n = 0; n <= src.size(); ++n) {
    const std::vector<double> in(src.begin(), src.begin() + n);
    std::vector<double> x = in, s = in, nan_out(n), want_x, want_s;
    for (double v : in) {
      want_x.push_back(Exp(v));
      want_s.push_back(LiteralSigmoid(0.75, v));
    }
    ExpExact(GetParam(), x.data(), x.data(), n);
    ExpectSame("ExpExact", in, x, want_x);
    SigmoidExact(GetParam(), 0.75, s.data(), s.data(), n);
    ExpectSame("SigmoidExact", in, s, want_s);
    // A NaN slope makes every lane NaN, without the slow path.
    EXPECT_EQ(SigmoidExact(GetParam(), kNaN, in.data(), nan_out.data(), n), 0u);
    for (double v : nan_out) EXPECT_TRUE(std::isnan(v));
  }
}

TEST_P(ExactExpPath, SigmoidIsTheFormulaOnCorrectlyRoundedExp) {
  for (size_t k = 0; k < std::size(kSlopes); ++k)
    ExpectSigmoidMatches(kSlopes[k], EdgesAndSample().x, SigmoidReference(k));
  // No lane needs the slow path where the sigmoid is settled, for x = 0 or NaN.
  std::vector<double> settled = {-40.0, -800.0, -kInf, 711.0, kInf, 0.0, -1e300, 1e300, kNaN};
  std::vector<double> out(settled.size());
  EXPECT_EQ(SigmoidExact(GetParam(), -1.0, settled.data(), out.data(), settled.size()), 0u);
}

INSTANTIATE_TEST_SUITE_P(SupportedPaths, ExactExpPath, ::testing::ValuesIn(SupportedPaths()),
                         [](const auto& info) { return std::string(PathName(info.param)); });

TEST(ExactExpPaths, SelectPathSwitchesTheDefault) {
  const SimdPath before = ActivePath();
  const std::vector<double> x = RandomInputs(1000, 5);
  std::vector<double> out(x.size());
  for (SimdPath p : SupportedPaths()) {
    ASSERT_TRUE(SelectPath(p));
    EXPECT_EQ(ActivePath(), p);
    ExpExact(x.data(), out.data(), x.size());
    for (size_t i = 0; i < x.size(); ++i) ASSERT_TRUE(Same(out[i], Exp(x[i])));
  }
  SelectPath(before);
}

// Squaring each entry must give the entry for 2j: a wrong low part would only
// show as a rare wrong rounding. The high parts must have 26 bits, or the
// products with them are not exact.
TEST(ExactExpTable, EntriesAreTwoToTheJOver64) {
  using detail::kExp2Hi;
  using detail::kExp2Lo;
  for (int j = 0; j < 64; ++j) {
    const double hi = kExp2Hi[j], lo = kExp2Lo[j];
    EXPECT_EQ(std::trunc(hi * 0x1p25), hi * 0x1p25) << j;
    EXPECT_LT(std::abs(lo), 0x1p-26) << j;
    // (hi + lo)^2 - 2^(2j/64): hi * hi is exact, 2 hi lo exact with its fma rest.
    const double scale = 2 * j >= 64 ? 2.0 : 1.0;
    const int k = 2 * j % 64;
    const double cross = 2.0 * hi * lo;
    const double diff =
        (hi * hi - scale * kExp2Hi[k]) + (cross - scale * kExp2Lo[k]) + (std::fma(2.0 * hi, lo, -cross) + lo * lo);
    EXPECT_LT(std::abs(diff), 0x1p-74) << j;
    // The split for fused multiply-adds: hi nearest, hi e^rest = hi + lo, so
    // hi + hi rest - (hi + lo) = (hi - kExp2Hi - kExp2Lo) + hi rest, to 2^-106.
    const double near = detail::kExp2Near.hi[j], rest = detail::kExp2Near.log_rest[j];
    EXPECT_LE(std::abs(near - hi - lo), 0x1p-53) << j;
    EXPECT_LT(std::abs(std::fma(near, rest, (near - hi) - lo)), 0x1p-100) << j;
  }
}

// One at a time, through the fast path and through the slow one alone, and
// with the slow one's each precision where it can decide (the wider always).
TEST(Exp, IsCorrectlyRounded) {
  const Checked& c = EdgesAndSample();
  std::vector<double> fast, accurate;
  for (double v : c.x) {
    fast.push_back(Exp(v));
    accurate.push_back(ExpAccurate(v));
  }
  ExpectSame("Exp", c.x, fast, c.exp);
  ExpectSame("ExpAccurate", c.x, accurate, c.exp);
  size_t undecided = 0, tried = 0;
  for (size_t i = 0; i < c.x.size(); ++i) {
    const double v = c.x[i];
    if (!(std::abs(v) > 0x1p-54 && v >= -745.2 && v <= 709.79)) continue;
    ++tried;
    for (int limbs : {2, 4}) {
      double y = 0.0;
      if (!detail::ExpFixedPoint(v, limbs, y)) {
        ++undecided;
        EXPECT_EQ(limbs, 2) << std::hexfloat << v;
      } else {
        EXPECT_TRUE(Same(y, c.exp[i])) << limbs << " limbs: " << std::hexfloat << v;
      }
    }
  }
  EXPECT_GT(tried, c.x.size() / 2);
  EXPECT_EQ(undecided, 0u);  // 2^-121 from a midpoint: none in a sample
}

// The ends as C and IEEE 754 have them, errno and the flags included.
TEST(Exp, EndsAsCAndIeeeHaveThem) {
  const double kMin = std::numeric_limits<double>::denorm_min();
  struct End {
    double x, want;
    int flag;  // raised, with errno = ERANGE; 0: neither
  };
  const End ends[] = {
      {0.0, 1.0, 0},
      {-0.0, 1.0, 0},
      {kInf, kInf, 0},
      {-kInf, 0.0, 0},
      {0x1.62e42fefa39efp+9, exp_reference::Exp(0x1.62e42fefa39efp+9), 0},  // the last finite one
      {0x1.62e42fefa39f0p+9, kInf, FE_OVERFLOW},
      {1000.0, kInf, FE_OVERFLOW},
      {-708.39, exp_reference::Exp(-708.39), 0},           // still normal
      {-740.0, exp_reference::Exp(-740.0), FE_UNDERFLOW},  // subnormal
      {-0x1.74910d52d3051p+9, kMin, FE_UNDERFLOW},         // just over half the least subnormal
      {-0x1.74910d52d3052p+9, 0.0, FE_UNDERFLOW},          // just under it
      {-1000.0, 0.0, FE_UNDERFLOW},
  };
  for (const End& e : ends) {
    for (double (*f)(double) : {+[](double v) { return Exp(v); }, +[](double v) { return ExpAccurate(v); }}) {
      errno = 0;
      std::feclearexcept(FE_ALL_EXCEPT);
      const double y = f(e.x);
      EXPECT_TRUE(Same(y, e.want)) << std::hexfloat << e.x << " gives " << y;
      EXPECT_FALSE(std::signbit(y)) << e.x;
      EXPECT_EQ(errno, e.flag != 0 ? ERANGE : 0) << e.x;
      EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_UNDERFLOW), e.flag) << e.x;
    }
  }
  EXPECT_TRUE(std::isnan(Exp(kNaN)));
  EXPECT_TRUE(std::isnan(Exp(-kNaN)));
}

// ExpAccurate's ln 2 to its last word: a wrong low word would only show in a
// rare misrounding.
TEST(ExpAccurate, Ln2IsLn2) {
  mpfr_t l, w;
  mpfr_init2(l, 400);
  mpfr_init2(w, 400);
  mpfr_const_log2(l, MPFR_RNDZ);
  for (int i = 0; i < 5; ++i) {
    mpfr_mul_2ui(l, l, 64, MPFR_RNDZ);
    mpfr_set_ui(w, static_cast<unsigned long>(detail::kLn2[i]), MPFR_RNDZ);
    EXPECT_TRUE(mpfr_get_ui(l, MPFR_RNDZ) == detail::kLn2[i] && mpfr_sub(l, l, w, MPFR_RNDZ) == 0) << i;
  }
  mpfr_clear(l);
  mpfr_clear(w);
}

// The shortcut below -36.75 must give what the formula gives, on both sides of
// the threshold and for everything the formula meets.
TEST(ScalarSigmoid, EqualsTheFormula) {
  std::vector<double> xs = EdgeInputs();
  double below = kSigmoidOneBelow, above = kSigmoidOneBelow;
  for (int i = 0; i < 2000; ++i) {
    xs.push_back(below = std::nextafter(below, -kInf));
    xs.push_back(above = std::nextafter(above, kInf));
  }
  for (double v = -37.0; v < -36.5; v += 1e-5) xs.push_back(v);  // up to where 1+e > 1
  const std::vector<double> random = RandomInputs(100000, 6);
  xs.insert(xs.end(), random.begin(), random.end());
  for (double slope : {1.0, 0.37, -1.0, -2.5, 0.0, -0.0, 1e-300, kInf, -kInf, kNaN}) {
    for (double sum : xs) {
      ASSERT_TRUE(Same(ScalarSigmoid(slope, sum), LiteralSigmoid(slope, sum))) << std::hexfloat << slope << " " << sum;
    }
  }
  EXPECT_EQ(ScalarSigmoid(1.0, 36.76), 1.0);  // below the threshold: settled
  EXPECT_LT(ScalarSigmoid(1.0, 36.0), 1.0);   // above 2^-53 the sum is not 1
  EXPECT_EQ(ScalarSigmoid(0.0, 5.0), 0.5);
  EXPECT_TRUE(std::isnan(ScalarSigmoid(0.0, kInf)));
  EXPECT_TRUE(std::isnan(ScalarSigmoid(1.0, kNaN)));
}

}  // namespace
}  // namespace korvane::vecmath
#endif  // HWY_ONCE
