// Array entry points of the exact exp and sigmoid, built for the portable
// baseline, AVX2 and AVX-512, and the run-time choice among them.
#include "vecmath/exact_exp.h"

#include "vecmath/simd_targets.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vecmath/exact_exp.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "vecmath/exact_exp-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::vecmath::HWY_NAMESPACE {

using Tag = hn::ScalableTag<double>;
using V = hn::Vec<Tag>;

// Values go through in blocks, and the lanes the slow path must answer are
// filled in after each block: a call inside the vector loop would spill every
// vector register around it.
constexpr size_t kBlock = 256;

// out[i] = what `core` makes of x = to_x(in[i]), except that flagged lanes get
// slow(x). Returns how many did.
template <class ToX, class Core, class Slow>
HWY_INLINE size_t Run(const double* in, double* out, size_t n, ToX to_x, Core core, Slow slow) {
  const Tag d;
  const size_t lanes = hn::Lanes(d);
  static_assert(hn::MaxLanes(Tag()) <= 8, "one byte of flags per vector");
  static_assert(kBlock % hn::MaxLanes(Tag()) == 0, "only the last block has a tail");
  HWY_ALIGN double xs[kBlock];
  uint8_t flags[kBlock];
  size_t slow_lanes = 0;
  for (size_t begin = 0; begin < n; begin += kBlock) {
    const size_t end = std::min(n, begin + kBlock);
    size_t i = begin;
    for (; i + lanes <= end; i += lanes) {
      const V x = to_x(hn::LoadU(d, in + i));
      const Flagged<Tag> r = core(x);
      hn::StoreU(r.value, d, out + i);
      hn::Store(x, d, xs + (i - begin));
      hn::StoreMaskBits(d, r.slow, &flags[(i - begin) / lanes]);
    }
    if (i < end) {  // the last few, through a buffer; lanes past n are dropped
      HWY_ALIGN double buf[hn::MaxLanes(Tag())] = {};
      std::copy(in + i, in + end, buf);
      const V x = to_x(hn::Load(d, buf));
      const Flagged<Tag> r = core(x);
      hn::Store(r.value, d, buf);
      std::copy(buf, buf + (end - i), out + i);
      hn::Store(x, d, buf);
      std::copy(buf, buf + (end - i), xs + (i - begin));
      hn::StoreMaskBits(d, r.slow, &flags[(i - begin) / lanes]);
      flags[(i - begin) / lanes] &= static_cast<uint8_t>((1u << (end - i)) - 1);
      i += lanes;
    }
    for (size_t v = 0; v < (i - begin) / lanes; ++v) {
      for (unsigned bits = flags[v]; bits != 0; bits &= bits - 1) {
        const size_t at = v * lanes + static_cast<size_t>(__builtin_ctz(bits));
        out[begin + at] = slow(xs[at]);
        ++slow_lanes;
      }
    }
  }
  return slow_lanes;
}

size_t ExpArray(const double* x, double* out, size_t n) {
  return Run(
      x, out, n, [](V v) { return v; }, [](V v) { return ExpOrFlag(Tag(), v); },
      [](double v) { return ExpAccurate(v); });
}

size_t SigmoidArray(double slope, const double* sum, double* out, size_t n) {
  const V neg_slope = hn::Neg(hn::Set(Tag(), slope));
  return Run(
      sum, out, n, [neg_slope](V v) { return neg_slope * v; },  // as -slope * sum
      [](V v) { return SigmoidOrFlag(Tag(), v); }, SigmoidSlow);
}

}  // namespace korvane::vecmath::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korvane::vecmath {
namespace {

struct Kernels {
  size_t (*exp)(const double*, double*, size_t) = nullptr;
  size_t (*sigmoid)(double, const double*, double*, size_t) = nullptr;
  int64_t target = 0;
};

// The code built for `path`, if any (a -march beyond x86-64 drops the baseline).
Kernels Built(SimdPath path) {
  switch (path) {
    case SimdPath::Scalar:
#if HWY_TARGETS & HWY_EMU128
      return {N_EMU128::ExpArray, N_EMU128::SigmoidArray, HWY_EMU128};
#elif HWY_TARGETS & HWY_SCALAR
      return {N_SCALAR::ExpArray, N_SCALAR::SigmoidArray, HWY_SCALAR};
#else
      break;
#endif
    case SimdPath::Avx2:
#if HWY_TARGETS & HWY_AVX2
      return {N_AVX2::ExpArray, N_AVX2::SigmoidArray, HWY_AVX2};
#else
      break;
#endif
    case SimdPath::Avx512:
#if HWY_TARGETS & HWY_AVX3
      return {N_AVX3::ExpArray, N_AVX3::SigmoidArray, HWY_AVX3};
#else
      break;
#endif
  }
  return {};
}

// The two Highway targets we build that this processor and its system run,
// as hwy::SupportedTargets would say: asked of the compiler's own check of
// the processor, so that the program need not load Highway's library, whose
// start measures a timer (some milliseconds at every start).
int64_t RunnableTargets() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  const bool avx2 = __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1") &&
                    __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul") &&
                    __builtin_cpu_supports("aes") && __builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2") &&
                    __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("fma") &&
                    __builtin_cpu_supports("f16c");
  const bool avx3 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                    __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw");
  return (avx2 ? int64_t{HWY_AVX2} : 0) | (avx3 ? int64_t{HWY_AVX3} : 0);
#else
  return 0;
#endif
}

bool Runs(SimdPath path) {
  // Asked once: cpuid is slow under a virtual machine.
  static const std::array<bool, 3> runs = [] {
    std::array<bool, 3> r{};
    const int64_t cpu = RunnableTargets();
    for (SimdPath p : {SimdPath::Scalar, SimdPath::Avx2, SimdPath::Avx512}) {
      const Kernels k = Built(p);
      // The baseline is plain C++ and runs anywhere.
      r[static_cast<int>(p)] = k.exp != nullptr && (p == SimdPath::Scalar || (cpu & k.target));
    }
    return r;
  }();
  return runs[static_cast<int>(path)];
}

SimdPath FromEnvironmentOrBest() {
  const std::vector<SimdPath> paths = SupportedPaths();
  const SimdPath best = paths.back();
  const char* env = std::getenv("KORVANE_SIMD");
  if (env == nullptr || *env == '\0') return best;
  for (SimdPath p : {SimdPath::Scalar, SimdPath::Avx2, SimdPath::Avx512}) {
    if (std::strcmp(env, PathName(p)) != 0) continue;
    if (Runs(p)) return p;
    std::fprintf(stderr, "KORVANE_SIMD=%s: this machine cannot run it; using %s\n", env, PathName(best));
    return best;
  }
  std::fprintf(stderr, "KORVANE_SIMD=%s: expected scalar, avx2 or avx512; using %s\n", env, PathName(best));
  return best;
}

std::atomic<int> g_selected{-1};

Kernels KernelsOrThrow(SimdPath path) {
  if (!Runs(path)) throw std::invalid_argument("SIMD path not available on this machine");
  return Built(path);
}

}  // namespace

const char* PathName(SimdPath path) {
  switch (path) {
    case SimdPath::Scalar: return "scalar";
    case SimdPath::Avx2: return "avx2";
    case SimdPath::Avx512: return "avx512";
  }
  return "?";
}

std::vector<SimdPath> SupportedPaths() {
  std::vector<SimdPath> paths;
  for (SimdPath p : {SimdPath::Scalar, SimdPath::Avx2, SimdPath::Avx512}) {
    if (Runs(p)) paths.push_back(p);
  }
  return paths;
}

SimdPath ActivePath() {
  static const SimdPath kDefault = FromEnvironmentOrBest();
  const int selected = g_selected.load(std::memory_order_relaxed);
  return selected >= 0 ? static_cast<SimdPath>(selected) : kDefault;
}

bool SelectPath(SimdPath path) {
  if (!Runs(path)) return false;
  g_selected.store(static_cast<int>(path), std::memory_order_relaxed);
  return true;
}

size_t ExpExact(const double* x, double* out, size_t n) { return Built(ActivePath()).exp(x, out, n); }

size_t ExpExact(SimdPath path, const double* x, double* out, size_t n) { return KernelsOrThrow(path).exp(x, out, n); }

size_t SigmoidExact(double slope, const double* sum, double* out, size_t n) {
  return Built(ActivePath()).sigmoid(slope, sum, out, n);
}

size_t SigmoidExact(SimdPath path, double slope, const double* sum, double* out, size_t n) {
  return KernelsOrThrow(path).sigmoid(slope, sum, out, n);
}

}  // namespace korvane::vecmath
#endif  // HWY_ONCE
