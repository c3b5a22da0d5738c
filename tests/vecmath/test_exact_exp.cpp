// The vector exp and sigmoid must give glibc's bits on every path this
// machine runs, through the array functions and through the per-vector ones a
// kernel calls; the scalar sigmoid's shortcut must not change a single result.
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS (HWY_SSSE3 | HWY_SSE4)
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "vecmath/exact_exp.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tests/vecmath/test_exact_exp.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "vecmath/exact_exp-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::vecmath::HWY_NAMESPACE {

// ExactExp and ExactSigmoid, one vector at a time; the tail is padded with
// lanes (x = 0, slope = 0) that never need the library.
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

// Same bits; any NaN counts as the same NaN.
bool Same(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

double LiteralSigmoid(double slope, double sum) {
  const double x = -slope * sum;
  if (x > 710.0) return 0.0;
  if (x < -746.0) return 1.0;
  return 1.0 / (1.0 + std::exp(x));
}

// Points where exp changes character, each with neighbours a few ulps away.
std::vector<double> EdgeInputs() {
  std::vector<double> base = {
      0.0, 1e-300, 4.9e-324, 0x1p-60, 0x1p-55, 0x1p-54, 0x1p-53, 0x1p-52, 1e-10, 0.5, 1.0,
      -kSigmoidOneBelow, 36.7368005696771, 100.0,
      709.77, 709.78, 709.782712893384, 709.79, 710.0, 745.13321910194111, 746.0, 1e300,
      708.39, 708.3964185322641, 708.4, 720.0, 744.44007192138122, 745.2, 750.0};
  for (int k = -1075; k <= 1024; ++k) base.push_back(k * 0.6931471805599453);  // k ln2
  for (int k = 1; k < 64; ++k) base.push_back(k * 0.6931471805599453 / 64);
  std::vector<double> out = {kInf, -kInf, kNaN, -kNaN, std::nan("0x42")};
  for (double v : base) {
    for (double s : {v, -v}) {
      double lo = s, hi = s;
      out.push_back(s);
      for (int i = 0; i < 3; ++i) {
        lo = std::nextafter(lo, -kInf);
        hi = std::nextafter(hi, kInf);
        out.push_back(lo);
        out.push_back(hi);
      }
    }
  }
  return out;
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

// Reports up to ten inputs whose result differs from `want`.
template <class Want>
void ExpectSame(const char* what, const std::vector<double>& in, const std::vector<double>& out,
                Want want) {
  int reported = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    if (Same(out[i], want(in[i])) || reported++ >= 10) continue;
    ADD_FAILURE() << std::hexfloat << what << "(" << in[i] << ") = " << out[i] << ", not "
                  << want(in[i]);
  }
}

class ExactExpPath : public ::testing::TestWithParam<SimdPath> {
 protected:
  // Checks both entry points on x; returns how many lanes asked the library.
  size_t ExpectExpMatches(const std::vector<double>& x) {
    const auto want = [](double v) { return std::exp(v); };
    std::vector<double> out(x.size());
    const size_t fallbacks = ExpExact(GetParam(), x.data(), out.data(), x.size());
    ExpectSame("ExpExact", x, out, want);
    const VectorFunctions vec = VectorFunctionsFor(GetParam());
    EXPECT_EQ(vec.exp(x.data(), out.data(), x.size()), fallbacks);
    ExpectSame("ExactExp", x, out, want);
    return fallbacks;
  }

  void ExpectSigmoidMatches(double slope, const std::vector<double>& sum) {
    const auto want = [slope](double v) { return LiteralSigmoid(slope, v); };
    std::vector<double> out(sum.size());
    const size_t fallbacks = SigmoidExact(GetParam(), slope, sum.data(), out.data(), sum.size());
    ExpectSame("SigmoidExact", sum, out, want);
    const VectorFunctions vec = VectorFunctionsFor(GetParam());
    EXPECT_EQ(vec.sigmoid(slope, sum.data(), out.data(), sum.size()), fallbacks);
    ExpectSame("ExactSigmoid", sum, out, want);
  }
};

TEST_P(ExactExpPath, ExpMatchesLibraryOnEdges) { ExpectExpMatches(EdgeInputs()); }

TEST_P(ExactExpPath, ExpMatchesLibraryOnRandomInputs) {
  ExpectExpMatches(RandomInputs(200000, 1));
}

// The library is asked only for the lanes near a midpoint or with results
// just around 1: about 7 % of ordinary inputs, not all, not none.
TEST_P(ExactExpPath, FewLanesAskTheLibrary) {
  std::mt19937_64 rng(2);
  std::uniform_real_distribution<double> dist(-700.0, 700.0);
  std::vector<double> x(100000);
  for (double& v : x) v = dist(rng);
  const double rate = static_cast<double>(ExpectExpMatches(x)) / x.size();
  EXPECT_GT(rate, 0.03);
  EXPECT_LT(rate, 0.09);
  // Zeros and the sigmoid's settled lanes never do.
  std::vector<double> zeros(37, 0.0);
  zeros[5] = -0.0;
  EXPECT_EQ(ExpectExpMatches(zeros), 0u);
}

// Every length up to a few vectors, so that tails and in-place use are covered.
TEST_P(ExactExpPath, AnyLengthAndInPlace) {
  const std::vector<double> src = RandomInputs(40, 3);
  for (size_t n = 0; n <= src.size(); ++n) {
    const std::vector<double> in(src.begin(), src.begin() + n);
    std::vector<double> x = in, s = in, nan_out(n);
    ExpExact(GetParam(), x.data(), x.data(), n);
    ExpectSame("ExpExact", in, x, [](double v) { return std::exp(v); });
    SigmoidExact(GetParam(), 0.75, s.data(), s.data(), n);
    ExpectSame("SigmoidExact", in, s, [](double v) { return LiteralSigmoid(0.75, v); });
    // A NaN slope sends every lane to the library, and only the n real ones.
    EXPECT_EQ(SigmoidExact(GetParam(), kNaN, in.data(), nan_out.data(), n), n);
    for (double v : nan_out) EXPECT_TRUE(std::isnan(v));
  }
}

TEST_P(ExactExpPath, SigmoidMatchesFormula) {
  std::vector<double> sums = EdgeInputs();
  const std::vector<double> random = RandomInputs(100000, 4);
  sums.insert(sums.end(), random.begin(), random.end());
  for (double slope : {1.0, -1.0, 0.5, 2.3, 0.0, -0.0, 1e-300, 1e300, kInf, -kInf, kNaN}) {
    ExpectSigmoidMatches(slope, sums);
  }
  // No lane needs exp where the sigmoid is settled, or for x = 0.
  std::vector<double> settled = {-40.0, -800.0, -kInf, 711.0, kInf, 0.0, -1e300, 1e300, 0.0};
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
    for (size_t i = 0; i < x.size(); ++i) ASSERT_TRUE(Same(out[i], std::exp(x[i])));
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
    const double diff = (hi * hi - scale * kExp2Hi[k]) + (cross - scale * kExp2Lo[k]) +
                        (std::fma(2.0 * hi, lo, -cross) + lo * lo);
    EXPECT_LT(std::abs(diff), 0x1p-74) << j;
  }
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
      ASSERT_TRUE(Same(ScalarSigmoid(slope, sum), LiteralSigmoid(slope, sum)))
          << std::hexfloat << slope << " " << sum;
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
