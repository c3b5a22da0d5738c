// The training flights of one generation (400 genomes of a seed-1 run after 40
// generations, on the four levels) flown one by one through FlyNetworkScored
// and in SIMD lanes on each path the machine has: ns per genome-tick. Then
// 500 random plans on level 4, plain and heuristic, the same way: ns per
// plan-tick; and a whole level-4 search generation per path. Run with
// --benchmark_enable_random_interleaving=true to alternate the paths.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/quiet_host.h"
#include "engine/autopilot.h"
#include "engine/lockstep.h"
#include "engine/plan_lanes.h"
#include "net/trained_weights.h"

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
  state.counters["ns_per_genome_tick"] =
      benchmark::Counter(static_cast<double>(ticksPerIteration),
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

// 500 random plans on level 4 and the heuristic's network (the weights in
// force at start), with the ticks FlyPlan takes for them.
struct PlanWorkload {
  SimParams p;
  MeteorField field = BuiltInLevel(4);
  std::vector<CPlanGenome> plans;
  CNeuralNet net;
  long ticks[2] = {0, 0};  // plain, heuristic
};

const PlanWorkload& Plans() {
  static const PlanWorkload w = [] {
    PlanWorkload w;
    CRand rng(1);
    w.net.Build(w.p, rng);
    w.net.LoadWeights(TrainedWeights);
    CPlanGA ga;
    ga.Init(500, w.p.DurationMutationRate, w.p.ChromosomeLength, w.p, rng);
    w.plans = ga.Genomes();
    FlightState fs;
    for (int h = 0; h < 2; ++h) {
      for (CPlanGenome plan : w.plans) {
        CAutoPilot::FlyPlan(fs, plan, h ? FlyVariant::Heuristic : FlyVariant::GA, w.p, w.field, &w.net);
        w.ticks[h] += fs.m_tickCount + 1;
      }
    }
    return w;
  }();
  return w;
}

FlyVariant Variant(const benchmark::State& state) { return state.range(0) ? FlyVariant::Heuristic : FlyVariant::GA; }

void PerPlanTick(benchmark::State& state, long ticksPerIteration) {
  state.counters["ns_per_plan_tick"] =
      benchmark::Counter(static_cast<double>(ticksPerIteration),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Arg: heuristic (0/1).
void BM_PlansOneByOne(benchmark::State& state) {
  const PlanWorkload& w = Plans();
  std::vector<CPlanGenome> plans = w.plans;
  CNeuralNet net = w.net;
  FlightState fs;
  for (auto _ : state) {
    for (CPlanGenome& plan : plans) CAutoPilot::FlyPlan(fs, plan, Variant(state), w.p, w.field, &net);
    benchmark::DoNotOptimize(plans.data());
  }
  PerPlanTick(state, w.ticks[state.range(0)]);
}

void BM_PlansInLanes(benchmark::State& state, vecmath::SimdPath path) {
  const PlanWorkload& w = Plans();
  std::vector<CPlanGenome> plans = w.plans;
  std::vector<PlanFlightResult> results(plans.size());
  const LaneLevel level = MakeLaneLevel(w.field, w.p);
  PlanLaneJob job;
  job.variant = Variant(state);
  job.params = &w.p;
  job.level = &level;
  job.plans = plans;
  job.results = results.data();
  job.layers = w.net.Layers();
  job.weights = w.net.Weights();
  PlanLaneBuffers buffers;
  for (auto _ : state) {
    InOrderFeed feed(static_cast<int>(plans.size()));
    FlyPlansInLanes(path, job, feed, buffers);
    benchmark::DoNotOptimize(results.data());
  }
  PerPlanTick(state, w.ticks[state.range(0)]);
}

// A level-4 search generation of 500 plans on one thread (breeding, the
// flights, the shown flight), on a given path. Arg: heuristic (0/1).
void BM_SearchGeneration(benchmark::State& state, vecmath::SimdPath path) {
  QuietHost host;
  host.params.MaxGenerations = 0;
  const MeteorField field = BuiltInLevel(4);  // nothing escapes: every generation is whole
  CAutoPilot pilot;
  pilot.SetThreads(1);
  CPlanGA ga;
  CNeuralNet net = Plans().net;
  vecmath::SelectPath(path);
  std::uint32_t seed = 1;
  for (auto _ : state) {
    if (state.range(0)) {
      pilot.OnStartHeuristicGenAlg(host, host.params, ga, net, field, seed++);
    } else {
      pilot.OnStartGenAlg(host, host.params, ga, field, seed++);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("BM_FlightsOneByOne", BM_FlightsOneByOne)->Unit(benchmark::kMillisecond);
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    if (LaneCount(path) == 0) continue;
    const std::string name = std::string("BM_FlightsInLanes/") + vecmath::PathName(path);
    benchmark::RegisterBenchmark(name.c_str(), BM_FlightsInLanes, path)->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("BM_PlansOneByOne", BM_PlansOneByOne)->Arg(0)->Arg(1);
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    const std::string name = vecmath::PathName(path);
    if (LaneCount(path) != 0) {
      benchmark::RegisterBenchmark(("BM_PlansInLanes/" + name).c_str(), BM_PlansInLanes, path)->Arg(0)->Arg(1);
    }
    benchmark::RegisterBenchmark(("BM_SearchGeneration/" + name).c_str(), BM_SearchGeneration, path)
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
