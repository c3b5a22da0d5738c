// Counts heap allocations around the hot paths: a flight must not allocate
// per tick or per evaluation. Its own executable, since it replaces the
// global operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// GCC 12 under -fsanitize=thread takes the replaced new/delete below, built
// on malloc/free, for a mismatched pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include "engine/autopilot.h"
#include "engine/lockstep.h"
#include "engine/plan_lanes.h"
#include "net/default_weights.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace korvane;

namespace {

long AllocationsDuring(const auto& fn) {
  const long before = g_allocations.load();
  fn();
  return g_allocations.load() - before;
}

}  // namespace

TEST(NoAllocation, PlanFlights) {
  SimParams p;
  CPlanGA ga;
  CRand rng(3);
  ga.Init(50, 0.5, 30, p, rng);
  std::vector<CPlanGenome> plans = ga.Genomes();
  CNeuralNet net;
  net.Build(p, rng);
  net.LoadWeights(std::vector<double>(DefaultWeights.begin(), DefaultWeights.end()));
  const MeteorField field = BuiltInLevel(3);
  FlightState fs;
  long ticks = 0;
  for (FlyVariant v : {FlyVariant::GA, FlyVariant::Heuristic, FlyVariant::StepByStep}) {
    EXPECT_EQ(AllocationsDuring([&] {
                for (CPlanGenome& plan : plans) {
                  CAutoPilot::FlyPlan(fs, plan, v, p, field, &net);
                  ticks += fs.m_tickCount;
                }
              }),
              0);
  }
  EXPECT_GT(ticks, 1000);
}

TEST(NoAllocation, NetworkFlightsAndEvaluations) {
  SimParams p;
  CRand rng(9);
  CNeuralNet net;
  net.Build(p, rng);
  FlightState fs;
  const MeteorField levels[4] = {BuiltInLevel(1), BuiltInLevel(2), BuiltInLevel(3), BuiltInLevel(4)};
  net.LoadWeights(std::vector<double>(DefaultWeights.begin(), DefaultWeights.end()));
  CAutoPilot::FlyNetworkScored(fs, net, p, levels[0]);  // the first evaluation may size its buffers
  int ticks = 0;
  EXPECT_EQ(AllocationsDuring([&] {
              for (const MeteorField& f : levels) ticks += CAutoPilot::FlyNetworkScored(fs, net, p, f).ticks;
            }),
            0);
  EXPECT_GT(ticks, 100);
  const double inputs[6] = {0.25, 0.25, 0.0, 0.0, 0.5, 0.1};
  EXPECT_EQ(AllocationsDuring([&] {
              for (int i = 0; i < 1000; ++i) net.Evaluate(inputs, 0.5);
            }),
            0);
}

TEST(NoAllocation, FlightsInLanes) {
  SimParams p;
  CRand rng(4);
  CNeuralNet net;
  std::vector<WeightGenome> genomes;
  for (int n = 0; n < 40; ++n) {
    net.Build(p, rng);
    genomes.push_back({net.CollectWeights(), 0.0});
  }
  const MeteorField fields[4] = {BuiltInLevel(1), BuiltInLevel(2), BuiltInLevel(3), BuiltInLevel(4)};
  std::vector<LaneLevel> levels;
  for (const MeteorField& f : fields) levels.push_back(MakeLaneLevel(f, p));
  std::vector<double> scores(genomes.size() * levels.size());
  const LaneJob job{&p, net.Layers(), net.WeightCount(), levels, genomes, scores.data()};
  LaneBuffers buffers;
  buffers.SizeFor(net.WeightCount());
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    if (LaneCount(path) == 0) continue;
    InOrderFeed feed(static_cast<int>(scores.size()));
    EXPECT_EQ(AllocationsDuring([&] { FlyInLanes(path, job, feed, buffers); }), 0) << vecmath::PathName(path);
  }
}

TEST(NoAllocation, PlanFlightsInLanes) {
  SimParams p;
  CPlanGA ga;
  CRand rng(5);
  ga.Init(60, 0.5, 30, p, rng);
  std::vector<CPlanGenome> plans = ga.Genomes();
  std::vector<PlanFlightResult> results(plans.size());
  std::vector<PlanPath> paths(plans.size());
  CNeuralNet net;
  net.Build(p, rng);
  const MeteorField field = BuiltInLevel(3);
  const LaneLevel level = MakeLaneLevel(field, p);
  PlanLaneBuffers buffers;
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    if (LaneCount(path) == 0) continue;
    for (FlyVariant v : {FlyVariant::GA, FlyVariant::Heuristic, FlyVariant::StepByStep}) {
      const PlanLaneJob job{v, &p, &level, plans, results.data(), paths.data(), net.Layers(), net.Weights()};
      InOrderFeed warm(1);  // the suggestions' lanes size their weights once
      FlyPlansInLanes(path, job, warm, buffers);
      InOrderFeed feed(static_cast<int>(plans.size()));
      EXPECT_EQ(AllocationsDuring([&] { FlyPlansInLanes(path, job, feed, buffers); }), 0) << vecmath::PathName(path);
    }
  }
}
