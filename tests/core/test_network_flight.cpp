#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/autopilot.h"
#include "files/weights_file.h"
#include "net/default_weights.h"
#include "recording_host.h"
#include "texts/text_table.h"
#include "ui_model/trained_weights_save.h"

using namespace korvane;
using korvane::test::EmptyField;
using korvane::test::RecordingHost;

namespace {

// A linear network (no hidden layer) over the six default inputs. Output k
// owns weights 7k..7k+6, the bias last.
CNeuralNet Linear(const SimParams& base, std::vector<double> weights) {
  SimParams p = base;
  p.HiddenLayerCount = 0;
  CNeuralNet net;
  CRand rng(1);
  net.Build(p, rng);
  weights.resize(net.WeightCount(), 0.0);
  net.LoadWeights(weights);
  return net;
}

// Thrust right while vx < c, then coast (output 0 = vx, output 4 = c).
CNeuralNet Cruise(const SimParams& p, double c) {
  std::vector<double> w(35, 0.0);
  w[2] = 1.0;
  w[34] = -c;
  return Linear(p, w);
}

// Always coast.
CNeuralNet Coast(const SimParams& p) {
  std::vector<double> w(35, 0.0);
  w[6] = -1.0;
  return Linear(p, w);
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TEST(PickAction, LargestFirstFiveTiesToTheLowerIndex) {
  EXPECT_EQ(CAutoPilot::PickAction(std::vector<double>{0.2, 0.9, 0.9, 0.1, 0.0}), 1);
  EXPECT_EQ(CAutoPilot::PickAction(std::vector<double>{0.5, 0.5, 0.5, 0.5, 0.5}), 0);
  EXPECT_EQ(CAutoPilot::PickAction(std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5}), 4);
  EXPECT_EQ(CAutoPilot::PickAction(std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 9.0}), 4);
}

TEST(NetworkInputs, OrderAndScaling) {
  SimParams p;
  p.SetPerceivedMeteors(2);
  CLifeboat b;
  b.Reset(100, 150, 2.5);
  b.m_velocity = {1.5, -0.5};
  Perception per;
  per.m_perceivedDx[0] = 25.0;
  per.m_perceivedDy[0] = -10.0;
  NetworkInputs in = CAutoPilot::BuildNetworkInputs(b, per, p);
  ASSERT_EQ(in.count, 8);
  EXPECT_DOUBLE_EQ(in.values[0], 50.0 / 250.0);
  EXPECT_DOUBLE_EQ(in.values[1], 50.0 / 150.0);
  EXPECT_EQ(in.values[2], 1.5);
  EXPECT_EQ(in.values[3], -0.5);
  EXPECT_DOUBLE_EQ(in.values[4], 2.0);
  EXPECT_DOUBLE_EQ(in.values[5], -5.0);
  EXPECT_DOUBLE_EQ(in.values[6], 50.0 / 99999.0);  // the filler is almost nothing
}

TEST(TrainingFlight, CrashAtTheStartScores1020) {
  SimParams p;
  MeteorField f = EmptyField();
  f.Add({20, 200, 30});
  FlightState fs;
  CNeuralNet net = Coast(p);
  auto r = CAutoPilot::FlyNetworkScored(fs, net, p, f);
  EXPECT_EQ(r.end, NetFlightEnd::Crashed);
  EXPECT_EQ(r.ticks, 0);
  EXPECT_EQ(r.score, 1020.0);
}

// Speeds too large for the 32-bit products: 50 x |vxi| and 20 x |vyi| are
// taken in 64 bits; a speed beyond the int range counts as 2^31.
TEST(TrainingFlight, HugeSpeedsScoreWithoutWrapping) {
  struct Case {
    double gravity;
    double score;
  };
  for (const Case& c :
       {Case{1e10, -7999998979.0}, Case{3e9, -2399998979.0}, Case{-3e9, -2399998979.0}, Case{1e300, -42949671939.0}}) {
    SimParams p;
    p.Gravity = c.gravity;
    FlightState fs;
    CNeuralNet net = Coast(p);
    auto r = CAutoPilot::FlyNetworkScored(fs, net, p, EmptyField());
    EXPECT_EQ(r.end, NetFlightEnd::Crashed) << c.gravity;
    EXPECT_EQ(r.ticks, 1) << c.gravity;
    EXPECT_EQ(r.score, c.score) << c.gravity;
  }
}

TEST(TrainingFlight, StallAndTimeLimits) {
  SimParams p;
  p.Gravity = 0.0;
  FlightState fs;
  {
    CNeuralNet net = Coast(p);  // stays at x = 20
    auto r = CAutoPilot::FlyNetworkScored(fs, net, p, EmptyField());
    EXPECT_EQ(r.end, NetFlightEnd::Stalled);
    EXPECT_EQ(r.ticks, 81);
    EXPECT_EQ(r.score, 81 + 1020.0);
  }
  {
    CNeuralNet net = Cruise(p, 1.0);  // past 80 in time, short of 400 by tick 241
    auto r = CAutoPilot::FlyNetworkScored(fs, net, p, EmptyField());
    EXPECT_EQ(r.end, NetFlightEnd::Stalled);
    EXPECT_EQ(r.ticks, 241);
    const int vxi = static_cast<int>(fs.boat.m_velocity.x);
    EXPECT_EQ(r.score, 241 + (fs.boat.m_position.x + 1000.0 - 50 * vxi));
  }
  {
    CNeuralNet net = Cruise(p, 1.5);  // never stalls, never arrives
    auto r = CAutoPilot::FlyNetworkScored(fs, net, p, EmptyField());
    EXPECT_EQ(r.end, NetFlightEnd::Timeout);
    EXPECT_EQ(r.ticks, 901);
  }
  {
    CNeuralNet net = Cruise(p, 4.0);
    auto r = CAutoPilot::FlyNetworkScored(fs, net, p, EmptyField());
    EXPECT_EQ(r.end, NetFlightEnd::Escaped);
    EXPECT_EQ(r.score, fs.boat.m_velocity.x * 60.0 + (r.ticks + 3000));
  }
}

TEST(NetworkFlight, EndsWithItsMessagesAndMarks) {
  {
    RecordingHost host;
    CAutoPilot pilot;
    CNeuralNet net = Coast(host.params);
    pilot.SetWeights(net.CollectWeights());
    pilot.FlyByNetwork(host, host.params, net, EmptyField());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], text::Ui(Tx::Stardust));
    EXPECT_TRUE(host.marks.empty());  // a crash leaves the marks on
    EXPECT_EQ(host.sleeps, 63);
  }
  {
    RecordingHost host;
    host.params.Gravity = 0;
    CAutoPilot pilot;
    CNeuralNet net = Cruise(host.params, 4.0);
    pilot.SetWeights(net.CollectWeights());
    pilot.FlyByNetwork(host, host.params, net, EmptyField());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], text::Ui(Tx::Escaped));
    EXPECT_EQ(host.marks, std::vector<bool>{false});
    // A frame shows its own tick's thrust: right while speeding up, none
    // once it coasts (the screen had set the marker back by then).
    EXPECT_EQ(host.frames[1].boat.m_thrustMarker, 5);
    EXPECT_EQ(host.frames.back().boat.m_thrustMarker, 1);
  }
}

// Flights shown on screen follow the physics settings tick by tick: a time
// step of 0 at the start holds the lifeboat only until it is changed.
TEST(NetworkFlight, ShownFlightsReadThePhysicsEveryTick) {
  for (bool network : {true, false}) {
    RecordingHost host;
    host.params.TimeStep = 0;
    host.stopHook = [&] {
      if (host.sleeps == 5) host.params.TimeStep = 0.04;
      return host.sleeps > 100000;  // a frozen flight would never end
    };
    CAutoPilot pilot;
    if (network) {
      CNeuralNet net = Coast(host.params);
      pilot.SetWeights(net.CollectWeights());
      pilot.FlyByNetwork(host, host.params, net, EmptyField());
    } else {
      pilot.SetBestPlan(CPlanGenome(std::vector<int>(30, 0), std::vector<double>(30, 9.0)));
      pilot.onTimer2(host, host.params, EmptyField());
    }
    EXPECT_EQ(host.messages, std::vector<std::string>{std::string(text::Ui(Tx::Stardust))}) << network;
    EXPECT_LT(host.sleeps, 100) << network;
  }
}

TEST(NetworkFlight, InputCountThatNoLongerFitsEndsCleanly) {
  RecordingHost host;
  CAutoPilot pilot;
  CNeuralNet net;
  CRand rng(1);
  net.Build(host.params, rng);  // six inputs
  host.params.SetPerceivedMeteors(3);
  pilot.FlyByNetwork(host, host.params, net, BuiltInLevel(1));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0], text::Ui(Tx::NetworkError));
  EXPECT_EQ(host.messages[1], text::Ui(Tx::NetworkMismatch));

  RecordingHost search;
  search.params.PopulationSize = 10;
  search.params.SetPerceivedMeteors(3);
  CPlanGA ga;
  const RunOutcome r = pilot.OnStartHeuristicGenAlg(search, search.params, ga, net, BuiltInLevel(1), 1);
  EXPECT_EQ(r.end, RunEnd::NetworkMismatch);
  ASSERT_EQ(search.messages.size(), 2u);
  EXPECT_EQ(search.messages[0], text::Ui(Tx::NetworkError));
}

TEST(Heuristic, RepairTakesTheSuggestionThreeTimesInFour) {
  PlanFlightResult crashed;
  crashed.crashGene = 5;
  crashed.crashSuggestion = 3;
  int repaired = 0;
  CRand rng(2024);
  CRand peek(2024);
  for (int i = 0; i < 4000; ++i) {
    CPlanGenome plan(std::vector<int>(30, 0), std::vector<double>(30, 4.0));
    const bool expect = peek() > 8191;
    CAutoPilot::Repair(plan, crashed, rng);
    EXPECT_EQ(plan.m_actions[5] == 3, expect);
    EXPECT_EQ(plan.m_durations[5], 4.0);
    repaired += expect;
  }
  EXPECT_NEAR(repaired / 4000.0, 0.75, 0.03);
  // No crash, no draw.
  CRand quiet(1);
  CPlanGenome plan(std::vector<int>(30, 0), std::vector<double>(30, 4.0));
  CAutoPilot::Repair(plan, PlanFlightResult{}, quiet);
  EXPECT_EQ(quiet.State(), 1u);
}

TEST(Heuristic, SuggestionsAtTheFirstTickOfEachFlownGene) {
  SimParams p;
  CNeuralNet net;
  CRand rng(1);
  net.Build(p, rng);
  net.LoadWeights(std::vector<double>(DefaultWeights.begin(), DefaultWeights.end()));
  FlightState fs;
  for (int& s : fs.m_suggestion) s = 99;
  CPlanGenome plan({0, 1, 2, 0}, {1, 0, 1, 1});
  CAutoPilot::FlyPlan(fs, plan, FlyVariant::Heuristic, p, BuiltInLevel(1), &net);
  EXPECT_NE(fs.m_suggestion[0], 99);
  EXPECT_EQ(fs.m_suggestion[1], 99);  // duration 0: never flown, never asked
  EXPECT_NE(fs.m_suggestion[2], 99);
  EXPECT_EQ(fs.m_suggestion[4], 99);
}

TEST(Heuristic, FirstSuggestionSeesTheStartNotThePreviousPlan) {
  SimParams p;
  CNeuralNet net;
  CRand rng(1);
  net.Build(p, rng);
  net.LoadWeights(std::vector<double>(DefaultWeights.begin(), DefaultWeights.end()));
  MeteorField field = BuiltInLevel(3);
  CPlanGenome probe({0}, {1});
  FlightState fresh;
  CAutoPilot::FlyPlan(fresh, probe, FlyVariant::Heuristic, p, field, &net);
  for (int code = 0; code < 5; ++code) {
    FlightState fs;
    CPlanGenome before(std::vector<int>(30, code), std::vector<double>(30, 5.0));
    CAutoPilot::FlyPlan(fs, before, FlyVariant::Heuristic, p, field, &net);
    CPlanGenome plan({0}, {1});
    CAutoPilot::FlyPlan(fs, plan, FlyVariant::Heuristic, p, field, &net);
    EXPECT_EQ(fs.m_suggestion[0], fresh.m_suggestion[0]);
    // The start-position pass leaves the safety score as a plain flight has it.
    CPlanGenome plain({0}, {1});
    FlightState other;
    CAutoPilot::FlyPlan(other, plain, FlyVariant::GA, p, field, nullptr);
    EXPECT_EQ(plan.m_safetyScore, plain.m_safetyScore);
  }
}

TEST(Heuristic, RunIsReproducibleAndStartsWithTheBuiltInWeights) {
  auto run = [] {
    RecordingHost host;
    host.params.MaxGenerations = 3;
    host.params.PopulationSize = 40;
    CAutoPilot pilot;
    CNeuralNet net;
    CRand rng(99);
    net.Build(host.params, rng);
    CPlanGA ga;
    pilot.OnStartHeuristicGenAlg(host, host.params, ga, net, BuiltInLevel(2), 21);
    return std::pair(pilot.BestPlan().m_actions, host.PlanFrames());
  };
  auto a = run();
  EXPECT_EQ(a, run());
  EXPECT_GT(a.second, 0);
}

class TrainingFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("korvane-train-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

TEST_F(TrainingFile, ZeroGenerationsTakeThePlaceholderAndTwoRunsAppendTwoBlocks) {
  RecordingHost host;
  host.params.TrainingGenerations = 0;
  host.params.NetPopulationSize = 6;
  CAutoPilot pilot;
  CWeightGA wga;
  CNeuralNet net;
  const std::string path = (dir / "weights.txt").string();
  TrainedAndSaved r = TrainAndSave(host, pilot.Results(), {host.params, 5, 2}, wga, net, path);
  EXPECT_EQ(r.saved, SaveResult::Ok);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "训练完成,得分为0.000000!");
  std::vector<double> w = pilot.Weights();
  ASSERT_EQ(w.size(), 95u);
  for (double v : w) EXPECT_EQ(v, std::floor(v));  // placeholder weights are whole numbers
  EXPECT_EQ(host.levelsLoaded, std::vector<int>{1});
  const std::string first = Slurp(path);
  TrainAndSave(host, pilot.Results(), {host.params, 6, 2}, wga, net, path);
  const std::string both = Slurp(path);
  ASSERT_EQ(both.substr(0, first.size()), first);
  EXPECT_EQ(both.size(), 2 * first.size());
  std::string error;
  auto last = ParseLastWeightsBlock(both, &error);
  ASSERT_TRUE(last) << error;
  EXPECT_EQ(*last, pilot.Weights());
}

TEST_F(TrainingFile, UnopenableFileKeepsTheWeightsButSkipsTheRest) {
  RecordingHost host;
  host.params.TrainingGenerations = 1;
  host.params.NetPopulationSize = 6;
  CAutoPilot pilot;
  CWeightGA wga;
  CNeuralNet net;
  TrainedAndSaved r = TrainAndSave(host, pilot.Results(), {host.params, 5, 2}, wga, net,
                                   (dir / "no" / "such" / "weights.txt").string());
  EXPECT_EQ(r.saved, SaveResult::OpenFailed);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], text::Ui(Tx::FileOpenError));
  EXPECT_TRUE(host.levelsLoaded.empty());
  EXPECT_EQ(pilot.Weights(), wga.Best().weights);
}

TEST(Training, PauseHandsOverTheBestWeightsAndShowsLevelOne) {
  RecordingHost host;
  host.params.TrainingGenerations = 3;
  host.params.NetPopulationSize = 10;
  CAutoPilot pilot;
  CWeightGA wga;
  CNeuralNet net;
  std::vector<double> inForce;
  host.pauseHook = [&](PauseKind k) { return k == PauseKind::Training && wga.Generation() == 2; };
  host.onWait = [&] {
    inForce = pilot.Weights();
    EXPECT_EQ(inForce, wga.Best().weights);
    EXPECT_EQ(host.levelsLoaded, std::vector<int>{1});
  };
  TrainedAndSaved r = TrainAndSave(host, pilot.Results(), {host.params, 8, 2}, wga, net, "");
  EXPECT_EQ(r.outcome.end, RunEnd::Trained);
  EXPECT_EQ(host.pauses, 1);
  EXPECT_EQ(host.levelsLoaded, (std::vector<int>{1, 1}));  // at the pause and at the end
  EXPECT_EQ(inForce.size(), 95u);
  int charts = 0;
  for (const auto& f : host.frames) charts += f.chart.has_value();
  EXPECT_EQ(charts, 4);  // one per generation and the final one
  EXPECT_EQ(host.frames.back().chart->bestHistory.size(), 3u);
}

TEST(Training, SameSeedSameWeights) {
  auto run = [](std::uint32_t seed) {
    RecordingHost host;
    host.params.TrainingGenerations = 2;
    host.params.NetPopulationSize = 12;
    CAutoPilot pilot;
    CWeightGA wga;
    CNeuralNet net;
    pilot.TrainNetwork(host, host.params, wga, net, seed);
    return pilot.Weights();
  };
  EXPECT_EQ(run(3), run(3));
  EXPECT_NE(run(3), run(4));
}
