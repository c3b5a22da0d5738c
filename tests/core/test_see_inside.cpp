// What the screen is shown of a run: the population's paths and the
// network at work.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/autopilot.h"
#include "engine/flight_path.h"
#include "recording_host.h"

namespace korvane {
namespace {

// The points a path must keep after ticks 1..n: every s-th tick from 0,
// with s the smallest power of two that fits them in, and the last tick.
std::vector<int> KeptTicks(int n) {
  int s = 1;
  while (n / s + 1 > MaxPathPoints) s *= 2;
  std::vector<int> kept;
  for (int t = 0; t <= n; t += s) kept.push_back(t);
  if (kept.back() != n) {
    if (static_cast<int>(kept.size()) == MaxPathPoints) kept.pop_back();
    kept.push_back(n);
  }
  return kept;
}

TEST(PlanPath, KeepsEveryStrideAndTheEndWithinItsPoints) {
  for (int n : {0, 1, 2, 62, 63, 64, 65, 127, 128, 129, 200, 1000, 4097}) {
    PlanPath path;
    path.Start(0, 0);
    for (int t = 1; t <= n; ++t) path.Tick(t, -t);
    path.Finish(PathEnd::Crashed);
    const std::vector<int> want = KeptTicks(n);
    ASSERT_EQ(path.Count(), static_cast<int>(want.size())) << n;
    for (int i = 0; i < path.Count(); ++i) {
      EXPECT_EQ(path.Point(i).x, static_cast<float>(want[i])) << n << " " << i;
      EXPECT_EQ(path.Point(i).y, static_cast<float>(-want[i])) << n << " " << i;
    }
    EXPECT_EQ(path.End(), PathEnd::Crashed);
  }
}

TEST(PlanPath, AFlightsPathStartsAtTheStartAndEndsWhereItEnded) {
  test::RecordingHost host;
  CRand rng(9);
  for (int level = 1; level <= 4; ++level) {
    CPlanGA ga;
    ga.Init(20, 0.5, 30, host.params, rng);
    for (CPlanGenome plan : ga.Genomes()) {
      FlightState fs;
      PlanPath path;
      CPlanGenome copy = plan;
      const PlanFlightResult r =
          CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, host.params, BuiltInLevel(level), nullptr, &path);
      FlightState again;
      CAutoPilot::FlyPlan(again, copy, FlyVariant::GA, host.params, BuiltInLevel(level), nullptr);
      EXPECT_EQ(plan.m_fitness, copy.m_fitness);  // recording changes nothing
      EXPECT_EQ(path.Point(0).x, 20.0f);
      EXPECT_EQ(path.Point(0).y, 200.0f);
      EXPECT_EQ(path.Last().x, static_cast<float>(fs.boat.m_position.x));
      EXPECT_EQ(path.Last().y, static_cast<float>(fs.boat.m_position.y));
      EXPECT_EQ(path.End(), r.outcome == FlyOutcome::Escaped ? PathEnd::Escaped
                            : r.crashGene >= 0               ? PathEnd::Crashed
                                                             : PathEnd::Finished);
    }
  }
}

// The panel draws the network's own evaluation, layer by layer.
TEST(NetworkView, ActivationsAreTheNetworksEvaluation) {
  CRand rng(3);
  for (int hidden : {0, 1, 2, 4}) {
    SimParams p;
    p.HiddenLayerCount = hidden;
    p.NeuronsPerHiddenLayer = 3 + hidden;
    p.SetPerceivedMeteors(hidden);
    p.InitWeightRange = 30;
    CNeuralNet net;
    net.Build(p, rng);
    for (int trial = 0; trial < 50; ++trial) {
      std::vector<double> in(static_cast<std::size_t>(p.NetInputCount));
      for (double& v : in) v = (rng() - 16384) / 100.0;
      if (trial == 7) in[1] = INFINITY;
      const auto layers = net.Trace(in, p.SigmoidParam);
      ASSERT_EQ(layers.size(), static_cast<std::size_t>(hidden + 2));
      EXPECT_EQ(layers.front(), in);
      const auto out = net.Evaluate(in, p.SigmoidParam);
      ASSERT_EQ(layers.back().size(), out.size());
      for (std::size_t k = 0; k < out.size(); ++k) {
        if (std::isnan(out[k]))
          EXPECT_TRUE(std::isnan(layers.back()[k]));
        else
          EXPECT_EQ(layers.back()[k], out[k]) << hidden << " " << trial;
      }
    }
  }
  // In a flight: the view picks what the flight picks.
  test::RecordingHost host;
  CNeuralNet net;
  net.Build(host.params, rng);
  FlightState fs;
  fs.boat.ResetToStart(host.params);
  CheckCollision(fs.per, fs.boat, BuiltInLevel(1), 1);
  const auto view = CAutoPilot::ViewNetwork(net, fs, host.params);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->chosen, *CAutoPilot::NetworkChoice(net, fs, host.params));
  EXPECT_EQ(view->weights->size(), 95u);
  host.params.SetPerceivedMeteors(2);
  EXPECT_FALSE(CAutoPilot::ViewNetwork(net, fs, host.params));  // six inputs only
}

// 演示训练结果 with the panel on: each frame's ringed output is the thrust the
// lifeboat shows, a coasting tick showing none, and the inputs are what the
// network saw when it took that thrust.
TEST(NetworkView, TheRingedOutputIsTheThrustOfTheSameTick) {
  test::RecordingHost host;
  host.network = true;
  CAutoPilot pilot;  // the built-in trained network
  CNeuralNet net;
  CRand rng;
  net.Build(host.params, rng);
  pilot.FlyByNetwork(host, host.params, net, BuiltInLevel(1));
  FlightState fs;  // the flight again, decision by decision, beside its frames
  fs.boat.ResetToStart(host.params);
  CheckCollision(fs.per, fs.boat, BuiltInLevel(1), PerceivedCount(host.params));
  std::vector<const FrameSnapshot*> ticks;
  for (const FrameSnapshot& f : host.frames)
    if (f.network) ticks.push_back(&f);
  // The escape's last frame comes again without the marks.
  ASSERT_EQ(ticks.size(), 728u);
  EXPECT_EQ(ticks[726]->boat.m_position.x, ticks[727]->boat.m_position.x);
  ticks.pop_back();
  int changes = 0, coasting = 0, previous = -1, shown = 0;
  for (const FrameSnapshot* f : ticks) {
    const int chosen = f->network->chosen;
    EXPECT_EQ(f->boat.m_thrustMarker, chosen == 0 ? 1 : chosen + 1) << "tick " << shown;
    const NetworkInputs in = CAutoPilot::BuildNetworkInputs(fs.boat, fs.per, host.params);
    EXPECT_EQ(f->network->layers.front(), std::vector<double>(in.View().begin(), in.View().end())) << "tick " << shown;
    fs.boat.ApplyThrust(chosen, host.params);
    fs.boat.ApplyGravity(host.params);
    fs.boat.Step(host.params);
    CheckCollision(fs.per, fs.boat, BuiltInLevel(1), PerceivedCount(host.params));
    changes += previous >= 0 && chosen != previous;
    coasting += chosen == 0;
    previous = chosen;
    ++shown;
  }
  EXPECT_GT(changes, 50);  // the thrust changes often: a tick's shift would show
  EXPECT_GT(coasting, 0);
}

}  // namespace
}  // namespace korvane
