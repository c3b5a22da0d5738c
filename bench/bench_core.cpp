// Speed of the engine's hot paths: flight ticks, generations, training.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/quiet_host.h"
#include "engine/autopilot.h"
#include "net/default_weights.h"

using namespace korvane;
using korvane::bench::QuietHost;

namespace {

// A generation of random plans, as the search starts with.
std::vector<CPlanGenome> RandomPlans(const SimParams& p, int count) {
  CPlanGA ga;
  CRand rng(12345);
  ga.Init(count, p.DurationMutationRate, p.ChromosomeLength, p, rng);
  return ga.Genomes();
}

void BM_PlanFlightTick(benchmark::State& state) {
  SimParams p;
  const MeteorField field = BuiltInLevel(static_cast<int>(state.range(0)));
  std::vector<CPlanGenome> plans = RandomPlans(p, 500);
  FlightState fs;
  long ticks = 0;
  size_t i = 0;
  for (auto _ : state) {
    CPlanGenome& plan = plans[i++ % plans.size()];
    CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, p, field, nullptr);
    ticks += fs.m_tickCount + 1;
  }
  state.counters["ns_per_tick"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlanFlightTick)->Arg(1)->Arg(3);

void BM_NetworkFlightTick(benchmark::State& state) {
  SimParams p;
  const MeteorField field = BuiltInLevel(static_cast<int>(state.range(0)));
  CNeuralNet net;
  CRand rng(1);
  net.Build(p, rng);
  net.LoadWeights(std::vector<double>(DefaultWeights.begin(), DefaultWeights.end()));
  FlightState fs;
  long ticks = 0;
  for (auto _ : state) {
    auto r = CAutoPilot::FlyNetworkScored(fs, net, p, field);
    ticks += r.ticks + 1;
  }
  state.counters["ns_per_tick"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NetworkFlightTick)->DenseRange(1, 4);

// Network ticks of trained-looking weights: random networks fly long flights.
void BM_TrainingFlightTick(benchmark::State& state) {
  SimParams p;
  MeteorField levels[4] = {BuiltInLevel(1), BuiltInLevel(2), BuiltInLevel(3), BuiltInLevel(4)};
  CRand rng(7);
  std::vector<CNeuralNet> nets(64);
  for (auto& n : nets) n.Build(p, rng);
  FlightState fs;
  long ticks = 0;
  size_t i = 0;
  for (auto _ : state) {
    auto r = CAutoPilot::FlyNetworkScored(fs, nets[i % nets.size()], p, levels[i % 4]);
    ++i;
    ticks += r.ticks + 1;
  }
  state.counters["ns_per_tick"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TrainingFlightTick);

void BM_GaGeneration(benchmark::State& state) {
  QuietHost host;
  host.params.MaxGenerations = 0;
  host.showing.paths = state.range(1) != 0;   // record every plan's path
  const MeteorField field = BuiltInLevel(4);  // nothing escapes: every generation is whole
  CAutoPilot pilot;
  pilot.SetThreads(static_cast<int>(state.range(0)));
  CPlanGA ga;
  std::uint32_t seed = 1;
  for (auto _ : state) pilot.OnStartGenAlg(host, host.params, ga, field, seed++);
}
// Arguments: threads, paths recorded (0/1).
BENCHMARK(BM_GaGeneration)->Args({1, 0})->Args({1, 1})->Args({2, 0})->Args({2, 1})->Unit(benchmark::kMillisecond);

// Ten search generations under 单步 on a level, without (0) and with (1)
// their breeding recorded; and ten training generations likewise. Runs of
// several generations, as a class steps through them: a run's first record
// has memory to find, the later ones reuse it. The seeds are the same in
// both arms (a search may escape early), so the iterations are fixed.
void BM_BreedSearchGeneration(benchmark::State& state) {
  QuietHost host;
  host.params.MaxGenerations = 9;
  host.showing.pace = Pace::Step;
  host.showing.breeding = state.range(1) != 0;
  const MeteorField field = BuiltInLevel(static_cast<int>(state.range(0)));
  CAutoPilot pilot;
  pilot.SetThreads(1);
  CPlanGA ga;
  std::uint32_t seed = 1;
  for (auto _ : state) pilot.OnStartGenAlg(host, host.params, ga, field, seed++);
}
// Arguments: level, breeding recorded (0/1).
BENCHMARK(BM_BreedSearchGeneration)
    ->Args({2, 0})
    ->Args({2, 1})
    ->Args({4, 0})
    ->Args({4, 1})
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);

void BM_BreedTrainingGeneration(benchmark::State& state) {
  QuietHost host;
  host.params.TrainingGenerations = 10;
  host.showing.pace = Pace::Step;
  host.showing.breeding = state.range(0) != 0;
  CAutoPilot pilot;
  pilot.SetThreads(1);
  CWeightGA wga;
  CNeuralNet net;
  std::uint32_t seed = 1;
  for (auto _ : state) pilot.TrainNetwork(host, host.params, wga, net, seed++);
}
BENCHMARK(BM_BreedTrainingGeneration)->Arg(0)->Arg(1)->Iterations(8)->Unit(benchmark::kMillisecond);

void BM_TrainingGeneration(benchmark::State& state) {
  QuietHost host;
  host.params.TrainingGenerations = 1;
  CAutoPilot pilot;
  pilot.SetThreads(static_cast<int>(state.range(0)));
  CWeightGA wga;
  CNeuralNet net;
  std::uint32_t seed = 1;
  for (auto _ : state) pilot.TrainNetwork(host, host.params, wga, net, seed++);
}
BENCHMARK(BM_TrainingGeneration)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Breeding one default generation: sort, statistics, roulette, mutation;
// with Arg 1 the draws are taken ahead (while a generation flies, in
// training) and only what remains is timed.
void BM_WeightEpoch(benchmark::State& state) {
  SimParams p;
  CRand rng(5);
  CNeuralNet net;
  net.Build(p, rng);
  CWeightGA ga;
  ga.Reset(p.NetPopulationSize, p.SmallMutationRate, p.NetCrossoverRate, net.WeightCount(), rng);
  std::vector<WeightGenome> scored;
  for (int n = 0; n < p.NetPopulationSize; ++n) {
    net.Build(p, rng);
    scored.push_back({net.CollectWeights(), 1000.0 + (n * 7919) % 15000});
  }
  std::vector<WeightGenome> list;
  for (auto _ : state) {
    state.PauseTiming();
    list = scored;
    if (state.range(0) == 1) ga.DrawAhead(list.size(), static_cast<std::size_t>(net.WeightCount()), p, rng);
    state.ResumeTiming();
    ga.Epoch(list, p, rng);
  }
}
BENCHMARK(BM_WeightEpoch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Breeding one generation of a large plan population: sort, statistics and
// a roulette pick per parent (each a halving search of the running sums);
// with a second argument of 1, its breeding recorded as the screen shows it.
void BM_PlanEpoch(benchmark::State& state) {
  SimParams p;
  p.PopulationSize = static_cast<int>(state.range(0));
  CRand rng(3);
  CPlanGA ga;
  ga.Init(p.PopulationSize, p.DurationMutationRate, p.ChromosomeLength, p, rng);
  std::vector<CPlanGenome> scored = ga.Genomes();
  for (std::size_t n = 0; n < scored.size(); ++n) scored[n].m_fitness = 100.0 + static_cast<double>((n * 7919) % 1500);
  std::vector<CPlanGenome> work;
  BreedingView view;
  view.plans.emplace();
  const bool recorded = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    work = scored;
    state.ResumeTiming();
    ga.Epoch(work, p, rng, recorded ? &view.plans->record : nullptr);
    if (recorded) FillPlanBreeding(view, ga, work.size());
  }
}
BENCHMARK(BM_PlanEpoch)
    ->Args({500, 0})
    ->Args({500, 1})
    ->Args({10000, 0})
    ->Args({60000, 0})
    ->Unit(benchmark::kMillisecond);

// A whole default training run (150 generations), once, on a given path.
void BM_DefaultTraining(benchmark::State& state, vecmath::SimdPath path) {
  QuietHost host;
  CAutoPilot pilot;
  pilot.SetThreads(static_cast<int>(state.range(0)));
  CWeightGA wga;
  CNeuralNet net;
  vecmath::SelectPath(path);
  for (auto _ : state) pilot.TrainNetwork(host, host.params, wga, net, 1);
}

}  // namespace

int main(int argc, char** argv) {
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    const std::string name = std::string("BM_DefaultTraining/") + vecmath::PathName(path);
    benchmark::RegisterBenchmark(name.c_str(), BM_DefaultTraining, path)
        ->Arg(1)
        ->Arg(2)
        ->Iterations(1)
        ->Unit(benchmark::kSecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
