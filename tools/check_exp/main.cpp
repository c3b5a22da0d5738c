// Holds exp and the sigmoid, one at a time and on every SIMD path this
// machine runs, to MPFR's correctly rounded exp on many inputs and the edges,
// and measures each path's fast evaluation's error against its bound.
//   check_exp [count [threads]]   default 10000000 inputs, every core
// Exits 1 if a single result is misrounded.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "vecmath/simd_targets.h"

#include "tools/check_exp/exp_reference.h"
#include "vecmath/exact_exp.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tools/check_exp/main.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "vecmath/exact_exp-inl.h"

#ifndef KORVANE_CHECK_EXP_FAST_SUM_
#define KORVANE_CHECK_EXP_FAST_SUM_
// The fast path's unrounded sum for one x, hi + lo (s + l with fused
// multiply-adds), and 2^m.
struct FastSum {
  double hi, lo;
  int m;
};
#endif

HWY_BEFORE_NAMESPACE();
namespace korvane::vecmath::HWY_NAMESPACE {

FastSum FastPath(double x) {
  const hn::CappedTag<double, 1> d;
  auto v = hn::Set(d, x);
  decltype(v) hi, lo;
  hn::Vec<hn::RebindToUnsigned<decltype(d)>> m52;
#if HWY_NATIVE_FMA
  exact_exp_detail::ExpSum<1>(d, &v, &hi, &lo, &m52);
#else
  exact_exp_detail::ExpParts<1>(d, &v, &hi, &lo, &m52);
#endif
  return {hn::GetLane(hi), hn::GetLane(lo), static_cast<int>(static_cast<int64_t>(hn::GetLane(m52)) >> 52)};
}

double FastPathBound() { return exact_exp_detail::kErrorBound; }

}  // namespace korvane::vecmath::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
using namespace korvane::vecmath;
namespace ref = korvane::exp_reference;

namespace {

// splitmix64: fast, and the same inputs on every run.
struct Rng {
  uint64_t s;
  uint64_t Next() {
    uint64_t z = (s += 0x9e3779b97f4a7c15);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
    z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }
  double Sign() { return (Next() & 1) ? -1.0 : 1.0; }
};

// Half the chunks cover everything exp and the sigmoid meet: 40 % uniform in
// +-750, 20 % log-uniform in magnitude from 2^-60 to 2^10, 20 % in +-40, 20 %
// within 0.05 of a cut-off or an end. The other half are what the network
// feeds the sigmoid: 7 in 8 within +-30, the rest within +-400.
void Fill(Rng& rng, bool typical, std::vector<double>& x) {
  static const double kSpots[] = {0.0, -36.75, 709.78, 709.77, -708.39, -745.13, 710.0, -746.0, -36.7368};
  for (double& v : x) {
    const uint64_t pick = rng.Next() % 10;
    const double u = rng.Unit();
    if (typical)
      v = rng.Sign() * u * (rng.Next() % 8 < 7 ? 30.0 : 400.0);
    else if (pick < 4)
      v = rng.Sign() * 750.0 * u;
    else if (pick < 6)
      v = rng.Sign() * std::exp2(-60.0 + 70.0 * u);
    else if (pick < 8)
      v = rng.Sign() * 40.0 * u;
    else
      v = kSpots[rng.Next() % 9] + 0.1 * (u - 0.5);
  }
}

// What is checked: Exp, ExpAccurate alone, ScalarSigmoid, then per path the
// vector exp and sigmoid; glibc's exp is counted for comparison.
enum { kExp, kAccurate, kSigmoid, kGlibc, kPaths };

struct Tally {
  uint64_t values[kPaths + 6] = {}, misrounded[kPaths + 6] = {}, slow[kPaths + 6] = {};
  uint64_t typical[kPaths + 6] = {}, typical_slow[kPaths + 6] = {};  // the network's mix alone
  uint64_t wider = 0, measured = 0;
  double worst[3] = {};  // each path's fast evaluation's largest error
  int Slot(size_t path, bool sigmoid) const { return kPaths + 2 * static_cast<int>(path) + sigmoid; }
};

void Count(Tally& t, int slot, const std::vector<double>& in, const std::vector<double>& got,
           const std::vector<double>& want, const char* what) {
  for (size_t i = 0; i < in.size(); ++i) {
    if (ref::Same(got[i], want[i])) continue;
    if (t.misrounded[slot]++ < 5 && slot != kGlibc)
      std::printf("MISROUNDED %s(%a) = %a, not %a\n", what, in[i], got[i], want[i]);
  }
  t.values[slot] += in.size();
}

struct PathCode {
  FastSum (*fast)(double) = nullptr;
  double (*bound)() = nullptr;
};

PathCode CodeFor(SimdPath path) {
  switch (path) {
    case SimdPath::Scalar:
#if HWY_TARGETS & HWY_EMU128
      return {N_EMU128::FastPath, N_EMU128::FastPathBound};
#elif HWY_TARGETS & HWY_SCALAR
      return {N_SCALAR::FastPath, N_SCALAR::FastPathBound};
#endif
      break;
    case SimdPath::Avx2:
#if HWY_TARGETS & HWY_AVX2
      return {N_AVX2::FastPath, N_AVX2::FastPathBound};
#endif
      break;
    case SimdPath::Avx512:
#if HWY_TARGETS & HWY_AVX3
      return {N_AVX3::FastPath, N_AVX3::FastPathBound};
#endif
      break;
  }
  return {};
}

void CheckChunk(uint64_t chunk, size_t n, const std::vector<SimdPath>& paths, Tally& t) {
  static const double kSlopes[] = {1.0, 0.5, -2.0, 0.731, -1.0, -0.0};
  Rng rng{12345 + chunk};
  std::vector<double> x(n), want(n), got(n), sum(n), sig(n);
  if (chunk == 0)
    x = ref::EdgeInputs();
  else
    Fill(rng, chunk % 2 == 0, x);  // even chunks: the network's mix
  n = x.size();
  for (auto* v : {&want, &got, &sum, &sig}) v->resize(n);
  for (size_t i = 0; i < n; ++i) want[i] = ref::Exp(x[i]);

  for (size_t i = 0; i < n; ++i) got[i] = std::exp(x[i]);
  Count(t, kGlibc, x, got, want, "glibc exp");
  for (size_t i = 0; i < n; ++i) got[i] = Exp(x[i]);
  Count(t, kExp, x, got, want, "Exp");
  for (size_t i = 0; i < n; ++i) {
    bool wider = false;
    got[i] = ExpAccurate(x[i], &wider);
    t.wider += wider;
  }
  Count(t, kAccurate, x, got, want, "ExpAccurate");
  const bool typical = chunk != 0 && chunk % 2 == 0;
  const auto slow = [&](int slot, size_t lanes) {
    t.slow[slot] += lanes;
    t.typical_slow[slot] += typical ? lanes : 0;
    t.typical[slot] += typical ? n : 0;
  };
  for (size_t p = 0; p < paths.size(); ++p) {
    slow(t.Slot(p, false), ExpExact(paths[p], x.data(), got.data(), n));
    Count(t, t.Slot(p, false), x, got, want, PathName(paths[p]));
  }

  // The sigmoid of x' = -slope * sum, sum = x / -slope (x itself for slope
  // -0: x' = +-0, sigmoid 0.5). x' = x but for the slope 0.731.
  const double slope = kSlopes[chunk % 6];
  for (size_t i = 0; i < n; ++i) {
    sum[i] = slope != 0.0 ? x[i] / -slope : x[i];
    const double xs = -slope * sum[i];
    sig[i] = 1.0 / (1.0 + (ref::Same(xs, x[i]) ? want[i] : ref::Exp(xs)));
  }
  for (size_t i = 0; i < n; ++i) got[i] = ScalarSigmoid(slope, sum[i]);
  Count(t, kSigmoid, sum, got, sig, "ScalarSigmoid");
  for (size_t p = 0; p < paths.size(); ++p) {
    slow(t.Slot(p, true), SigmoidExact(paths[p], slope, sum.data(), got.data(), n));
    Count(t, t.Slot(p, true), sum, got, sig, PathName(paths[p]));
  }

  for (size_t i = 0; i < n; i += 16) {  // MPFR at 256 bits is slow: a sample
    if (!(std::abs(x[i]) <= 708.39)) continue;
    ref::ExpAt256 exact(x[i]);
    for (SimdPath p : paths) {
      const FastSum f = CodeFor(p).fast(x[i]);
      double& worst = t.worst[static_cast<int>(p)];
      worst = std::max(worst, exact.Error(f.hi, f.lo, f.m));
    }
    ++t.measured;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000ull;
  const unsigned threads =
      argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : std::max(1u, std::thread::hardware_concurrency());
  const std::vector<SimdPath> paths = SupportedPaths();
  std::printf("paths:");
  for (SimdPath p : paths) std::printf(" %s", PathName(p));
  std::printf("; %llu inputs plus the edges, %u threads\n", static_cast<unsigned long long>(count), threads);

  constexpr size_t kChunk = 1 << 16;
  const uint64_t chunks = 1 + (count + kChunk - 1) / kChunk;  // chunk 0: the edges
  std::vector<Tally> tally(threads);
  std::vector<std::thread> workers;
  for (unsigned w = 0; w < threads; ++w) {
    workers.emplace_back([&, w] {
      for (uint64_t c = w; c < chunks; c += threads) {
        const uint64_t done = c == 0 ? 0 : (c - 1) * kChunk;
        CheckChunk(c, static_cast<size_t>(std::min<uint64_t>(kChunk, count - std::min(count, done))), paths, tally[w]);
      }
    });
  }
  for (std::thread& w : workers) w.join();
  Tally all;
  for (const Tally& t : tally) {
    for (int s = 0; s < kPaths + 6; ++s) {
      all.values[s] += t.values[s];
      all.misrounded[s] += t.misrounded[s];
      all.slow[s] += t.slow[s];
      all.typical[s] += t.typical[s];
      all.typical_slow[s] += t.typical_slow[s];
    }
    all.wider += t.wider;
    all.measured += t.measured;
    for (int p = 0; p < 3; ++p) all.worst[p] = std::max(all.worst[p], t.worst[p]);
  }

  uint64_t misrounded = 0;
  const auto line = [&](const char* what, int slot, bool counts) {
    const double v = static_cast<double>(all.values[slot]);
    std::printf("%-24s %llu misrounded of %llu", what, static_cast<unsigned long long>(all.misrounded[slot]),
                static_cast<unsigned long long>(all.values[slot]));
    if (slot >= kPaths)
      std::printf(", slow path %.4f %% (network's mix %.4f %%)", 100.0 * all.slow[slot] / v,
                  100.0 * all.typical_slow[slot] / static_cast<double>(all.typical[slot]));
    std::printf("\n");
    if (counts) misrounded += all.misrounded[slot];
  };
  line("Exp", kExp, true);
  line("ExpAccurate", kAccurate, true);
  line("ScalarSigmoid", kSigmoid, true);
  for (size_t p = 0; p < paths.size(); ++p) {
    line((std::string("ExpExact/") + PathName(paths[p])).c_str(), all.Slot(p, false), true);
    line((std::string("SigmoidExact/") + PathName(paths[p])).c_str(), all.Slot(p, true), true);
  }
  line("(glibc's exp)", kGlibc, false);
  std::printf("ExpAccurate needed its second precision for %llu inputs\n", static_cast<unsigned long long>(all.wider));
  bool within = true;
  for (SimdPath p : paths) {
    const double worst = all.worst[static_cast<int>(p)], bound = CodeFor(p).bound();
    std::printf("fast path %s: largest error 2^%.2f of %llu measured (bound 2^%.2f)\n", PathName(p), std::log2(worst),
                static_cast<unsigned long long>(all.measured), std::log2(bound));
    within = within && worst < bound;
  }
  const bool ok = misrounded == 0 && within;
  std::printf("%s: %llu misrounded\n", ok ? "OK" : "FAILED", static_cast<unsigned long long>(misrounded));
  return ok ? 0 : 1;
}
#endif  // HWY_ONCE
