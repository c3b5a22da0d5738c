#include <gtest/gtest.h>

#include <algorithm>

#include "engine/autopilot.h"
#include "recording_host.h"

using namespace korvane;
using korvane::test::EmptyField;
using korvane::test::RecordingHost;

namespace {

struct Outcome {
  RunOutcome result;
  std::vector<CPlanGenome> workList;
  CPlanGenome best;
  std::vector<std::string> messages;
  std::vector<double> trace;
  std::vector<double> frames;  // the flight shown between generations
  int bred = 0;                // frames that showed how a generation was bred
};

bool SamePlans(const std::vector<CPlanGenome>& a, const std::vector<CPlanGenome>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].m_actions != b[i].m_actions || a[i].m_durations != b[i].m_durations) return false;
    if (a[i].m_fitness != b[i].m_fitness || a[i].m_energyScore != b[i].m_energyScore ||
        a[i].m_safetyScore != b[i].m_safetyScore || a[i].m_timeScore != b[i].m_timeScore)
      return false;
  }
  return true;
}

Outcome Search(int threads, bool heuristic, int level, std::uint32_t seed, SimParams params, Pace pace = Pace::Fastest,
               bool paths = false, bool breeding = false) {
  RecordingHost host;
  host.params = params;
  host.pace = pace;
  host.paths = paths;
  host.breeding = breeding;
  PilotResults results;
  CPlanGA ga;
  CNeuralNet net;
  CRand rng(5);
  net.Build(params, rng);
  Outcome o;
  MeteorField field = level ? BuiltInLevel(level) : EmptyField();
  // Every generation on every thread: the default searches' short
  // generations would otherwise fly on one.
  PlanSearchRun run({host, host, results}, {host.params, field, seed, threads, true}, ga, heuristic ? &net : nullptr);
  o.result = RunToEnd(run, host);
  o.workList = run.WorkList();
  o.best = results.BestPlan();
  o.messages = host.messages;
  for (const auto& f : host.frames) o.bred += f.breeding != nullptr;
  // The generations as the run painted them, once each, with the flight
  // shown between them.
  int shown = 0;
  for (const auto& f : host.frames)
    if (f.planPanel->generation > shown) {
      shown = f.planPanel->generation;
      o.trace.push_back(f.planPanel->best * 7 + f.planPanel->average);
      o.frames.insert(o.frames.end(), {f.boat.m_position.x, f.boat.m_velocity.y, f.perception.m_perceivedDx[0],
                                       f.perception.m_minClearance});
    }
  return o;
}

// Every SIMD path (the scalar one flies plans one by one, the others in
// lanes) with each thread count: the same as one thread one by one.
template <class Run>
void ExpectSameOnEveryPath(const Run& run, std::initializer_list<int> threads) {
  const vecmath::SimdPath before = vecmath::ActivePath();
  ASSERT_TRUE(vecmath::SelectPath(vecmath::SimdPath::Scalar));
  const auto one = run(1);
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    ASSERT_TRUE(vecmath::SelectPath(path));
    for (int t : threads) {
      SCOPED_TRACE(std::string(vecmath::PathName(path)) + " threads " + std::to_string(t));
      ExpectSame(one, run(t), true);
    }
  }
  vecmath::SelectPath(before);
}

// The numbers, and with `frames` the flights shown between generations too.
void ExpectSame(const Outcome& a, const Outcome& b, bool frames = false) {
  if (frames) {
    EXPECT_EQ(a.frames, b.frames);
  }
  EXPECT_EQ(a.result.end, b.result.end);
  EXPECT_EQ(a.result.generation, b.result.generation);
  EXPECT_EQ(a.result.plan, b.result.plan);
  EXPECT_TRUE(SamePlans(a.workList, b.workList));
  EXPECT_EQ(a.best.m_actions, b.best.m_actions);
  EXPECT_EQ(a.best.m_durations, b.best.m_durations);
  EXPECT_EQ(a.messages, b.messages);
  EXPECT_EQ(a.trace, b.trace);
}

}  // namespace

TEST(Parallel, PlainSearchIsBitIdenticalOnEveryPathAndThreadCount) {
  SimParams p;
  p.MaxGenerations = 12;
  p.PopulationSize = 120;
  for (int level : {1, 3})
    ExpectSameOnEveryPath([&](int t) { return Search(t, false, level, 17, p, Pace::Fastest, level == 3); },
                          {1, 2, 3, 8});
  // Fewer plans than workers, one of them past the population (odd): the
  // workers make the plans they fly, the one no one flies is made as well.
  p.PopulationSize = 3;
  p.EliteCount = 0;
  for (bool heuristic : {false, true})
    ExpectSameOnEveryPath([&](int t) { return Search(t, heuristic, 2, 19, p); }, {2, 3, 8});
}

TEST(Parallel, HeuristicRepairsDrawInPlanOrder) {
  SimParams p;
  p.MaxGenerations = 8;
  p.PopulationSize = 100;
  for (int level : {2, 4}) ExpectSameOnEveryPath([&](int t) { return Search(t, true, level, 23, p); }, {1, 2, 5});
  p.SetPerceivedMeteors(3);  // a network of its own shape
  p.HiddenLayerCount = 3;
  ExpectSameOnEveryPath([&](int t) { return Search(t, true, 3, 29, p, Pace::Fastest, true); }, {1, 2});
}

TEST(Parallel, FirstEscapeInPlanOrderEndsTheGeneration) {
  SimParams p;
  p.Gravity = 0.0;
  p.SpeedScale = 30000.0;  // plans that thrust right early escape at once
  p.PopulationSize = 64;
  for (bool heuristic : {false, true}) {
    Outcome one = Search(1, heuristic, 0, 31, p);
    ASSERT_EQ(one.result.end, RunEnd::Escaped);
    // Plans after the escaping one were not flown: their scores are untouched.
    for (size_t n = one.result.plan + 1; n < one.workList.size(); ++n) EXPECT_EQ(one.workList[n].m_fitness, 0.0);
    ExpectSameOnEveryPath([&](int t) { return Search(t, heuristic, 0, 31, p); }, {1, 2, 4});
  }
}

// Any thread count and any SIMD path (the scalar one flies one genome at a
// time, the others in lanes) trains the same network and shows the same
// flight and diversity on the chart's frames.
TEST(Parallel, TrainingIsBitIdenticalOnEveryPath) {
  auto train = [](vecmath::SimdPath path, int threads) {
    EXPECT_TRUE(vecmath::SelectPath(path));
    RecordingHost host;
#ifdef KORVANE_SANITIZED
    host.params.TrainingGenerations = 2;
#else
    host.params.TrainingGenerations = 6;
#endif
    host.params.NetPopulationSize = 30;
    CAutoPilot pilot;
    pilot.SetThreads(threads);
    CWeightGA wga;
    CNeuralNet net;
    pilot.TrainNetwork(host, host.params, wga, net, 77);
    std::vector<double> trace;
    for (const auto& f : host.frames) {
      if (!f.chart) continue;
      // The diversity is worked out beside the selection on two or more threads.
      const std::vector<double>& diversity = f.chart->diversityHistory;
      trace.insert(trace.end(), {f.chart->best, f.chart->average, f.boat.m_position.x, f.boat.m_position.y,
                                 f.boat.m_velocity.x, f.perception.m_perceivedDx[0], f.perception.m_perceivedDy[0],
                                 diversity.empty() ? -1.0 : diversity.back()});
    }
    return std::tuple(pilot.Weights(), trace, net.CollectWeights(), host.messages);
  };
  const vecmath::SimdPath before = vecmath::ActivePath();
  const auto one = train(vecmath::SimdPath::Scalar, 1);
  for (vecmath::SimdPath path : vecmath::SupportedPaths())
    for (int threads : {1, 2, 7}) EXPECT_EQ(train(path, threads), one) << vecmath::PathName(path) << " " << threads;
  vecmath::SelectPath(before);
}

TEST(Parallel, StepByStepIsBitIdentical) {
  auto demo = [](int threads) {
    RecordingHost host;
    host.params.MaxGenerations = 3;
    host.params.PopulationSize = 50;
    CAutoPilot pilot;
    pilot.SetThreads(threads);
    CPlanGA ga;
    pilot.onTimer3(host, host.params, ga, BuiltInLevel(3), 12);
    std::vector<double> trace;
    for (const auto& f : host.frames) trace.push_back(f.boat.m_position.x + f.planPanel->best);
    return std::pair(trace, host.messages);
  };
  const vecmath::SimdPath before = vecmath::ActivePath();
  vecmath::SelectPath(vecmath::SimdPath::Scalar);
  const auto one = demo(1);
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    vecmath::SelectPath(path);
    EXPECT_EQ(demo(3), one) << vecmath::PathName(path);
  }
  vecmath::SelectPath(before);
}

// Watching each generation's best fly, going one generation at a time, or
// showing paths, the network or how each generation is bred never changes a
// number: the shown flights are flights of their own, and breeding is
// recorded from the draws the epoch takes anyway (only under 单步).
TEST(Pace, NeverChangesTheNumbers) {
  SimParams p;
  p.PopulationSize = 60;
  p.MaxGenerations = 8;
  struct Case {
    Pace pace;
    bool paths, breeding;
  };
  const Outcome fastest = Search(2, true, 3, 11, p);
  for (const Case c :
       {Case{Pace::Watch, false, false}, Case{Pace::Step, false, false}, Case{Pace::Fastest, true, false},
        Case{Pace::Step, true, true}, Case{Pace::Watch, false, true}, Case{Pace::Fastest, false, true}}) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.pace)) + (c.paths ? " paths" : "") +
                 (c.breeding ? " breeding" : ""));
    const Outcome o = Search(2, true, 3, 11, p, c.pace, c.paths, c.breeding);
    ExpectSame(fastest, o);
    EXPECT_EQ(o.bred > 0, c.breeding && c.pace == Pace::Step);
  }
  ExpectSame(Search(1, false, 2, 5, p), Search(2, false, 2, 5, p, Pace::Watch, true));
  SimParams t;
  t.TrainingGenerations = 3;
  t.NetPopulationSize = 12;
  struct Shown {
    Pace pace;
    bool network, breeding;
  };
  std::vector<double> weights;
  for (const Shown s : {Shown{Pace::Fastest, false, false}, Shown{Pace::Watch, true, false},
                        Shown{Pace::Step, false, true}, Shown{Pace::Step, true, true}}) {
    RecordingHost host;
    host.params = t;
    host.pace = s.pace;
    host.network = s.network;
    host.breeding = s.breeding;
    CAutoPilot pilot;
    CWeightGA wga;
    CNeuralNet net;
    pilot.TrainNetwork(host, host.params, wga, net, 4);
    if (weights.empty()) weights = pilot.Weights();
    EXPECT_EQ(pilot.Weights(), weights) << static_cast<int>(s.pace) << s.network << s.breeding;
    const bool bred = std::any_of(host.frames.begin(), host.frames.end(), [](const auto& f) { return f.breeding; });
    EXPECT_EQ(bred, s.breeding);
    if (s.pace == Pace::Watch) {
      EXPECT_GT(host.sleeps, 0);  // the best networks were flown on screen
      EXPECT_TRUE(std::any_of(host.frames.begin(), host.frames.end(), [](const auto& f) { return f.network; }));
    }
  }
}
