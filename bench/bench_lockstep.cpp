// The training flights of one generation (400 genomes of a seed-1 run after 40
// generations, on the four levels) flown one by one through FlyNetworkScored
// and in SIMD lanes on each path the machine has: ns per genome-tick. Run
// with --benchmark_enable_random_interleaving=true to alternate the paths.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/quiet_host.h"
#include "engine/autopilot.h"
#include "engine/lockstep.h"

using namespace korvane;
using korvane::bench::QuietHost;

namespace {

struct Workload {
  SimParams p;
  std::vector<WeightGenome> genomes;
  MeteorField levels[BuiltInLevelCount];
  CNeuralNet net;
  long ticks = 0;  // summed over the flights
};

const Workload& Flights() {
  static const Workload w = [] {
    Workload w;
    QuietHost host;
    host.params.TrainingGenerations = 40;
    PilotResults results;
    CWeightGA ga;
    TrainingRun run({host, host, results}, {host.params, 1, 1}, ga, w.net);
    RunToEnd(run, host);
    w.genomes = run.WorkList();
    for (int l = 0; l < BuiltInLevelCount; ++l) w.levels[l] = BuiltInLevel(l + 1);
    FlightState fs;
    CNeuralNet net = w.net;
    for (const MeteorField& level : w.levels) {
      for (const WeightGenome& g : w.genomes) {
        net.LoadWeights(g.weights);
        w.ticks += CAutoPilot::FlyNetworkScored(fs, net, w.p, level).ticks;
      }
    }
    return w;
  }();
  return w;
}

void PerTick(benchmark::State& state, long ticksPerIteration) {
  state.counters["ns_per_genome_tick"] = benchmark::Counter(
      static_cast<double>(ticksPerIteration),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FlightsOneByOne(benchmark::State& state) {
  const Workload& w = Flights();
  CNeuralNet net = w.net;
  FlightState fs;
  for (auto _ : state) {
    double sum = 0.0;
    for (const MeteorField& level : w.levels) {
      for (const WeightGenome& g : w.genomes) {
        net.LoadWeights(g.weights);
        sum += CAutoPilot::FlyNetworkScored(fs, net, w.p, level).score;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  PerTick(state, w.ticks);
}

void BM_FlightsInLanes(benchmark::State& state, vecmath::SimdPath path) {
  const Workload& w = Flights();
  std::vector<LaneLevel> levels;
  for (const MeteorField& level : w.levels) levels.push_back(MakeLaneLevel(level, w.p));
  const int flights = static_cast<int>(w.genomes.size()) * BuiltInLevelCount;
  std::vector<double> scores(static_cast<std::size_t>(flights));
  const LaneJob job{&w.p, w.net.Layers(), w.net.WeightCount(), levels, w.genomes, scores.data()};
  LaneBuffers buffers;
  buffers.SizeFor(w.net.WeightCount());
  for (auto _ : state) {
    InOrderFeed feed(flights);
    FlyInLanes(path, job, feed, buffers);
    benchmark::DoNotOptimize(scores.data());
  }
  PerTick(state, w.ticks);
  state.counters["lanes"] = LaneCount(path);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("BM_FlightsOneByOne", BM_FlightsOneByOne)->Unit(benchmark::kMillisecond);
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    if (LaneCount(path) == 0) continue;
    const std::string name = std::string("BM_FlightsInLanes/") + vecmath::PathName(path);
    benchmark::RegisterBenchmark(name.c_str(), BM_FlightsInLanes, path)->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
