// The boxes every kind of run shows, in order and at their moments among the
// frames, level loads, marks and pauses: pinned for every run kind × outcome.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include <stdlib.h>

#include "engine/autopilot.h"
#include "plans.h"
#include "recording_host.h"
#include "ui_model/trained_weights_save.h"

using namespace korvane;
using korvane::test::EmptyField;
using korvane::test::RecordingHost;
using korvane::test::Uniform;

namespace {

// A thrust right escapes at once.
SimParams Slingshot() {
  SimParams p = test::Slingshot();
  p.PopulationSize = 20;
  return p;
}

SimParams Small(int generations) {
  SimParams p;
  p.PopulationSize = 20;
  p.MaxGenerations = generations;
  p.NetPopulationSize = 10;
  p.TrainingGenerations = generations;
  return p;
}

void Search(RecordingHost& h, bool heuristic, const MeteorField& field, std::uint32_t seed = 5) {
  CAutoPilot pilot;
  CPlanGA ga;
  CNeuralNet net;
  CRand rng(1);
  net.Build(h.params, rng);
  if (heuristic)
    pilot.OnStartHeuristicGenAlg(h, h.params, ga, net, field, seed);
  else
    pilot.OnStartGenAlg(h, h.params, ga, field, seed);
}

void Demo(RecordingHost& h, const MeteorField& field) {
  CAutoPilot pilot;
  CPlanGA ga;
  pilot.onTimer3(h, h.params, ga, field, 9);
}

void Replay(RecordingHost& h, std::optional<CPlanGenome> plan) {
  CAutoPilot pilot;
  if (plan) pilot.SetBestPlan(*plan);
  pilot.onTimer2(h, h.params, EmptyField());
}

void NetworkFlight(RecordingHost& h, int level, const std::vector<double>& weights) {
  CAutoPilot pilot;
  pilot.SetWeights(weights);
  CNeuralNet net;
  CRand rng(1);
  net.Build(h.params, rng);
  pilot.FlyByNetwork(h, h.params, net, BuiltInLevel(level));
}

// The desktop program's training: the run, then the weights appended to path.
void Training(RecordingHost& h, const std::string& path) {
  PilotResults results;
  CWeightGA wga;
  CNeuralNet net;
  TrainAndSave(h, results, {h.params, 3, 2}, wga, net, path);
}

struct Case {
  const char* name;
  SimParams params;
  std::function<void(RecordingHost&, const std::string& dir)> run;
  std::vector<std::string> log;
  std::function<void(RecordingHost&)> setup = {};
};

const std::string kSuccess = "box:呵呵,小事一桩，我保证我们能脱险～～";
const std::string kStopped = "box:搜索已停止，目前最好的飞行计划已保留，可以用“演示结果”观看。";
const std::string kOdd = "box:你的人口数目不是单数!!!";
const std::string kError = "box:error";
const std::string kMismatch = "box:神经网络的输入数目与当前的感知星球数目不符，请先重新训练网络。";
const std::string kStardust = "box:救生仓与你化为了星尘，难道电脑也有不可靠的时候?!";
const std::string kEscaped = "box:终于成功地逃离了陨石群，你的选择是正确的!!!";
const std::string kReplayOver = "box:演示结束";

SimParams With(SimParams p, const std::function<void(SimParams&)>& f) {
  f(p);
  return p;
}

}  // namespace

TEST(RunBoxes, EveryRunKindAndOutcome) {
  const auto mismatched = [](SimParams& p) { p.NetInputCount = 8; };
  const std::vector<Case> cases = {
      // The plain search.
      {"ga escape", Slingshot(), [](RecordingHost& h, auto&) { Search(h, false, EmptyField()); }, {"frame", kSuccess}},
      {"ga no escape", Small(2), [](RecordingHost& h, auto&) { Search(h, false, BuiltInLevel(4)); }, {"frame"}},
      {"ga stopped",
       Small(9),
       [](RecordingHost& h, auto&) { Search(h, false, BuiltInLevel(4)); },
       {"frame", kStopped},
       [](RecordingHost& h) { h.stopHook = [&h] { return h.frames.size() >= 2; }; }},
      {"ga paused",
       Small(2),
       [](RecordingHost& h, auto&) { Search(h, false, BuiltInLevel(4)); },
       {"frame", "paused", "frame"},
       [](RecordingHost& h) {
         h.pauseHook = [&h](PauseKind k) { return k == PauseKind::GA && h.frames.size() == 1; };
       }},
      {"ga one step at a time",
       Small(1),
       [](RecordingHost& h, auto&) { Search(h, false, BuiltInLevel(4)); },
       {"frame", "ask-pause", "frame", "ask-pause", "frame"},
       [](RecordingHost& h) { h.pace = Pace::Step; }},
      {"ga odd population",
       With(Small(1), [](SimParams& p) { p.PopulationSize = 21; }),
       [](RecordingHost& h, auto&) { Search(h, false, BuiltInLevel(4)); },
       {kOdd, "frame", kOdd, "frame"}},
      // The heuristic search.
      {"heuristic escape",
       Slingshot(),
       [](RecordingHost& h, auto&) { Search(h, true, EmptyField()); },
       {"frame", kSuccess}},
      {"heuristic mismatch",
       Small(2),
       [](RecordingHost& h, auto&) {
         CAutoPilot pilot;
         CPlanGA ga;
         CNeuralNet net;
         CRand rng(1);
         net.Build(With(h.params, [](SimParams& p) { p.NetInputCount = 8; }), rng);
         pilot.SetWeights(net.CollectWeights());
         pilot.OnStartHeuristicGenAlg(h, h.params, ga, net, BuiltInLevel(2), 5);
       },
       {kError, kMismatch}},
      {"heuristic paused",
       Small(1),
       [](RecordingHost& h, auto&) { Search(h, true, BuiltInLevel(3)); },
       {"frame", "paused", "frame"},
       [](RecordingHost& h) {
         h.pauseHook = [&h](PauseKind k) { return k == PauseKind::Heuristic && h.frames.size() == 1; };
       }},
      // The demonstration.
      {"demo gives up",
       Small(0),
       [](RecordingHost& h, auto&) { Demo(h, BuiltInLevel(4)); },
       {"frame", "box:呜~~ 我投降了!!!", "frame"}},
      {"demo escape", Slingshot(), [](RecordingHost& h, auto&) { Demo(h, EmptyField()); }, {kSuccess, "frame"}},
      {"demo stopped",
       Small(5),
       [](RecordingHost& h, auto&) { Demo(h, BuiltInLevel(4)); },
       {"frame"},
       [](RecordingHost& h) { h.stopHook = [&h] { return h.frames.size() >= 3; }; }},
      {"demo step with a bad code",
       Small(0),
       [](RecordingHost& h, auto&) {
         CAutoPilot pilot;
         CPlanGA ga;
         CRand rng(1);
         ga.Init(4, 0.5, 30, h.params, rng);
         std::vector<CPlanGenome> work = ga.Genomes();
         work[2].m_actions[0] = 9;
         pilot.StepByStep(h, ga, work, EmptyField(), h.params, rng);
       },
       {"box:action9 i2 j0 你的行动数不对!!!(StepByStep)"}},
      // The replay of the kept plan.
      {"replay before any plan", Small(0), [](RecordingHost& h, auto&) { Replay(h, std::nullopt); }, {kReplayOver}},
      {"replay used up",
       With(Small(0), [](SimParams& p) { p.ChromosomeLength = 3; }),
       [](RecordingHost& h, auto&) { Replay(h, Uniform(3, 1, 1)); },
       {"frame", kReplayOver}},
      {"replay crash", Small(0), [](RecordingHost& h, auto&) { Replay(h, Uniform(30, 0, 3)); }, {"frame", kStardust}},
      {"replay escape",
       Slingshot(),
       [](RecordingHost& h, auto&) { Replay(h, Uniform(30, 4, 3)); },
       {"frame", kEscaped}},
      {"replay bad code",
       Small(0),
       [](RecordingHost& h, auto&) {
         Replay(h, CPlanGenome({0, 8}, {1, 1}));
       },
       {"frame", "box:行动数不对!!!(onTimer2)"}},
      {"replay stopped",
       Small(0),
       [](RecordingHost& h, auto&) { Replay(h, Uniform(30, 0, 3)); },
       {"frame"},
       [](RecordingHost& h) { h.stopHook = [&h] { return h.frames.size() >= 3; }; }},
      // The network's flight.
      {"network crash",
       Small(0),
       [](RecordingHost& h, auto&) { NetworkFlight(h, 1, TableWeights()); },
       {"frame", kStardust}},
      {"network escape",
       Small(0),
       [](RecordingHost& h, auto&) { NetworkFlight(h, 1, BuiltinWeights()); },
       {"frame", kEscaped, "marks:0", "frame"}},
      {"network mismatch",
       With(Small(0), mismatched),
       [](RecordingHost& h, auto&) {
         CAutoPilot pilot;
         CNeuralNet net;
         CRand rng(1);
         net.Build(SimParams{}, rng);
         pilot.SetWeights(net.CollectWeights());
         pilot.FlyByNetwork(h, h.params, net, BuiltInLevel(1));
       },
       {"frame", kError, kMismatch}},
      {"network stopped",
       Small(0),
       [](RecordingHost& h, auto&) { NetworkFlight(h, 1, BuiltinWeights()); },
       {"frame"},
       [](RecordingHost& h) { h.stopHook = [&h] { return h.frames.size() >= 3; }; }},
      // Training, and the weights appended after it.
      {"training done",
       Small(1),
       [](RecordingHost& h, auto& dir) { Training(h, dir + "/weights.txt"); },
       {"frame", "level:1", "frame", "box:训练完成,得分为5719.400000!"}},
      {"training unopenable file",
       Small(1),
       [](RecordingHost& h, auto& dir) { Training(h, dir); },
       {"frame", "box:打开文件出错!!!"}},
      {"training full disk",
       Small(1),
       [](RecordingHost& h, auto&) { Training(h, "/dev/full"); },
       {"frame", "box:写入文件出错!!!"}},
      {"training stopped",
       Small(3),
       [](RecordingHost& h, auto& dir) { Training(h, dir + "/w.txt"); },
       {"frame", "box:训练已停止，第1代的最优权重已经生效，没有写入weights.txt。"},
       [](RecordingHost& h) { h.stopHook = [&h] { return h.frames.size() >= 1; }; }},
      {"training stopped early",
       Small(3),
       [](RecordingHost& h, auto& dir) { Training(h, dir + "/w.txt"); },
       {"box:训练已停止，还没有完成一代，当前权重没有改变。"},
       [](RecordingHost& h) { h.stopHook = [] { return true; }; }},
      {"training paused",
       Small(2),
       [](RecordingHost& h, auto& dir) { Training(h, dir + "/w.txt"); },
       {"frame", "level:1", "paused", "frame", "level:1", "frame", "box:训练完成,得分为5719.400000!"},
       [](RecordingHost& h) {
         h.pauseHook = [&h](PauseKind k) { return k == PauseKind::Training && h.frames.size() == 1; };
       }},
      {"training one step at a time",
       Small(1),
       [](RecordingHost& h, auto& dir) { Training(h, dir + "/w.txt"); },
       {"frame", "ask-pause", "level:1", "frame", "box:训练完成,得分为5719.400000!"},
       [](RecordingHost& h) { h.pace = Pace::Step; }},
      {"training odd population",
       With(Small(1), [](SimParams& p) { p.NetPopulationSize = 11; }),
       [](RecordingHost& h, auto& dir) { Training(h, dir + "/w.txt"); },
       {kOdd, "frame", "level:1", "frame", "box:训练完成,得分为4358.600000!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char tmpl[] = "/tmp/korvane-boxes-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    RecordingHost h;
    h.params = c.params;
    if (c.setup) c.setup(h);
    c.run(h, std::string(tmpl));
    EXPECT_EQ(h.log, c.log);
    std::filesystem::remove_all(tmpl);
  }
}
