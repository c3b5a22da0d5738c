// Compares the vector exp and sigmoid with glibc on many inputs, on every
// SIMD path this machine runs, and times both against the scalar loops.
//   check_exp [count]     inputs per path and function, default 50000000
// Exits 1 if any result differs from the scalar one by a single bit.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vecmath/exact_exp.h"

using namespace korvane::vecmath;

namespace {

using Clock = std::chrono::steady_clock;

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

enum Mix { kCoverage, kTypical };
const char* const kMixNames[] = {"coverage", "typical"};

// Coverage: everything exp and the sigmoid meet. 40 % uniform in +-750, 20 %
// log-uniform in magnitude from 2^-60 to 2^10, 20 % in +-40, 20 % within 0.05
// of a cut-off. Typical: what the network feeds the sigmoid, as in bench_exp,
// 7 in 8 within +-30 and the rest within +-400.
void Fill(Rng& rng, Mix mix, std::vector<double>& x) {
  static const double kSpots[] = {0.0,     -36.75, 709.78, 709.77,  -708.39,
                                  -745.13, 710.0,  -746.0, -36.7368};
  for (double& v : x) {
    const uint64_t pick = rng.Next() % 10;
    const double u = rng.Unit();
    if (mix == kTypical) v = rng.Sign() * u * (rng.Next() % 8 < 7 ? 30.0 : 400.0);
    else if (pick < 4) v = rng.Sign() * 750.0 * u;
    else if (pick < 6) v = rng.Sign() * std::exp2(-60.0 + 70.0 * u);
    else if (pick < 8) v = rng.Sign() * 40.0 * u;
    else v = kSpots[rng.Next() % 9] + 0.1 * (u - 0.5);
  }
}

bool Same(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Tally {
  uint64_t values = 0, mismatches = 0, fallbacks = 0;
  double seconds = 0.0;
};

// Times `run` on the chunk and counts where `got` differs from `want`.
template <class Run>
void Check(Tally& t, const char* what, SimdPath path, Run run, const std::vector<double>& in,
           const std::vector<double>& want, std::vector<double>& got) {
  const auto start = Clock::now();
  t.fallbacks += run();
  t.seconds += Since(start);
  t.values += in.size();
  for (size_t i = 0; i < in.size(); ++i) {
    if (Same(got[i], want[i]) || t.mismatches++ >= 10) continue;
    std::printf("MISMATCH %s %s(%a) = %a, scalar %a\n", PathName(path), what, in[i], got[i],
                want[i]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 50000000ull;
  const std::vector<SimdPath> paths = SupportedPaths();
  std::printf("paths:");
  for (SimdPath p : paths) std::printf(" %s", PathName(p));
  std::printf(" (default %s)\n", PathName(ActivePath()));

  constexpr size_t kChunk = 1 << 16;  // 512 KiB an array: timed in cache
  const double kSlopes[] = {1.0, 0.5, 2.0, -1.0, 0.731, -0.0};
  std::vector<double> x(kChunk), sum(kChunk), want(kChunk), got(kChunk);
  // [mix][function][path]; the scalar reference is path slot paths.size().
  std::vector<Tally> tally[2][2];
  for (auto& mix : tally) for (auto& fn : mix) fn.resize(paths.size() + 1);
  Rng rng{12345};
  for (uint64_t done = 0, chunk = 0; done < count; ++chunk) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, count - done));
    const Mix mix = chunk % 2 == 0 ? kCoverage : kTypical;
    for (auto* v : {&x, &sum, &want, &got}) v->resize(n);
    Fill(rng, mix, x);

    auto start = Clock::now();
    for (size_t i = 0; i < n; ++i) want[i] = std::exp(x[i]);
    tally[mix][0][paths.size()].seconds += Since(start);
    tally[mix][0][paths.size()].values += n;
    for (size_t p = 0; p < paths.size(); ++p) {
      Check(tally[mix][0][p], "exp", paths[p],
            [&] { return ExpExact(paths[p], x.data(), got.data(), n); }, x, want, got);
    }

    // The same x through one slope per chunk (slope -0: x = +-0, sigmoid 0.5).
    const double slope = kSlopes[chunk / 2 % 6];
    for (size_t i = 0; i < n; ++i) sum[i] = slope != 0.0 ? x[i] / -slope : x[i];
    start = Clock::now();
    for (size_t i = 0; i < n; ++i) want[i] = ScalarSigmoid(slope, sum[i]);
    tally[mix][1][paths.size()].seconds += Since(start);
    tally[mix][1][paths.size()].values += n;
    for (size_t i = 0; i < n; ++i) {  // the shortcut is checked too: the formula is the truth
      const double xi = -slope * sum[i];
      const double formula = xi > 710.0 ? 0.0 : xi < -746.0 ? 1.0 : 1.0 / (1.0 + std::exp(xi));
      if (Same(want[i], formula)) continue;
      std::printf("MISMATCH ScalarSigmoid(%a, %a)\n", slope, sum[i]);
      return 1;
    }
    for (size_t p = 0; p < paths.size(); ++p) {
      Check(tally[mix][1][p], "sigmoid", paths[p],
            [&] { return SigmoidExact(paths[p], slope, sum.data(), got.data(), n); }, sum, want,
            got);
    }
    done += n;
  }

  uint64_t mismatches = 0;
  for (int mix : {kCoverage, kTypical}) {
    for (int fn : {0, 1}) {
      const Tally& ref = tally[mix][fn][paths.size()];
      const double ref_ns = 1e9 * ref.seconds / static_cast<double>(ref.values);
      std::printf("%-8s %-7s std::exp loop: %.2f ns/value\n", kMixNames[mix],
                  fn == 0 ? "exp" : "sigmoid", ref_ns);
      for (size_t p = 0; p < paths.size(); ++p) {
        const Tally& t = tally[mix][fn][p];
        const double v = static_cast<double>(t.values);
        const double ns = 1e9 * t.seconds / v;
        std::printf("  %-7s %llu mismatches of %llu, fallback %.3f %%, %.2f ns/value (%.2fx)\n",
                    PathName(paths[p]), static_cast<unsigned long long>(t.mismatches),
                    static_cast<unsigned long long>(t.values), 100.0 * t.fallbacks / v, ns,
                    ref_ns / ns);
        mismatches += t.mismatches;
      }
    }
  }
  std::printf("%s: %llu mismatches\n", mismatches == 0 ? "OK" : "FAILED",
              static_cast<unsigned long long>(mismatches));
  return mismatches == 0 ? 0 : 1;
}
