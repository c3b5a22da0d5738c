// exp and the sigmoid, one at a time and on each SIMD path, on 4096 values
// where the network's sigmoid mostly works; the C library's exp for scale, and
// the precise path alone, which the others take for a lane in a thousand.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "vecmath/exact_exp.h"

using namespace korvane::vecmath;

namespace {

constexpr size_t kCount = 4096;
constexpr double kSlope = 1.0;

// Sums of weighted inputs: mostly within +-30, where exp is really needed,
// and one in eight saturated far beyond it.
const std::vector<double>& Sums() {
  static const std::vector<double> sums = [] {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> near(-30.0, 30.0), far(-400.0, 400.0);
    std::vector<double> v(kCount);
    for (size_t i = 0; i < kCount; ++i) v[i] = i % 8 == 7 ? far(rng) : near(rng);
    return v;
  }();
  return sums;
}

void PerValue(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
  state.counters["per_value"] = benchmark::Counter(
      static_cast<double>(kCount), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <double (*F)(double)>
void BM_OneByOne(benchmark::State& state) {
  const std::vector<double>& x = Sums();
  std::vector<double> out(kCount);
  for (auto _ : state) {
    for (size_t i = 0; i < kCount; ++i) out[i] = F(x[i]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  PerValue(state);
}

double Library(double x) { return std::exp(x); }
double Accurate(double x) { return ExpAccurate(x); }
double Sigmoid(double sum) { return ScalarSigmoid(kSlope, sum); }

void BM_ExpExact(benchmark::State& state, SimdPath path) {
  const std::vector<double>& x = Sums();
  std::vector<double> out(kCount);
  size_t slow = 0;
  for (auto _ : state) {
    slow += ExpExact(path, x.data(), out.data(), kCount);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  PerValue(state);
  state.counters["slow"] = static_cast<double>(slow) / (state.iterations() * kCount);
}

void BM_SigmoidExact(benchmark::State& state, SimdPath path) {
  const std::vector<double>& sum = Sums();
  std::vector<double> out(kCount);
  size_t slow = 0;
  for (auto _ : state) {
    slow += SigmoidExact(path, kSlope, sum.data(), out.data(), kCount);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  PerValue(state);
  state.counters["slow"] = static_cast<double>(slow) / (state.iterations() * kCount);
}

}  // namespace

BENCHMARK(BM_OneByOne<Library>)->Name("BM_StdExp");
BENCHMARK(BM_OneByOne<Exp>)->Name("BM_Exp");
BENCHMARK(BM_OneByOne<Accurate>)->Name("BM_ExpAccurate");
BENCHMARK(BM_OneByOne<Sigmoid>)->Name("BM_ScalarSigmoid");

int main(int argc, char** argv) {
  for (SimdPath path : SupportedPaths()) {
    const std::string name = PathName(path);
    benchmark::RegisterBenchmark(("BM_ExpExact/" + name).c_str(), BM_ExpExact, path);
    benchmark::RegisterBenchmark(("BM_SigmoidExact/" + name).c_str(), BM_SigmoidExact, path);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
