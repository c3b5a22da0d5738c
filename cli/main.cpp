// korvane-cli: headless runs with one JSON object on stdout.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/autopilot.h"
#include "engine/parallel.h"
#include "files/obstacle_map_file.h"
#include "files/weights_file.h"
#include "json.h"
#include "net/neural_net.h"
#include "sim/params.h"

using namespace korvane;
using korvane::cli::JsonWriter;

namespace {

const char* kUsage =
    "usage:\n"
    "  korvane-cli ga       LEVEL [--seed S] [--heuristic] [--weights FILE] [--threads N]\n"
    "                       [--set Name=Value]...\n"
    "  korvane-cli train    [--seed S] [--weights-out FILE] [--threads N] [--set Name=Value]...\n"
    "  korvane-cli fly-net  LEVEL [--weights FILE] [--set Name=Value]...\n"
    "  korvane-cli fly-plan LEVEL --plan FILE [--variant ga|heuristic|step] [--weights FILE]\n"
    "                       [--set Name=Value]...\n"
    "where LEVEL is --level N (a built-in level, 1 to 4)\n"
    "            or --map FILE --map-index K (map K of a saved ObstacleMap.txt)\n";

struct UsageError {
  std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw UsageError{text}; }

struct Options {
  std::string command;
  int level = 0;
  std::string mapFile;
  int mapIndex = 0;
  bool haveSeed = false;
  std::uint32_t seed = 0;
  bool heuristic = false;
  std::string weightsFile;
  std::string weightsOut;
  std::string planFile;
  std::string variant = "ga";
  int threads = DefaultThreadCount();
  SimParams params;
  std::vector<std::string> setNames;
};

std::uint32_t ParseSeed(const std::string& s) {
  try {
    size_t used = 0;
    long long v = std::stoll(s, &used, 10);
    if (used != s.size() || v < 0 || v > 0xffffffffLL) throw 0;
    return static_cast<std::uint32_t>(v);
  } catch (...) {
    Fail("--seed needs a whole number from 0 to 4294967295, got '" + s + "'");
  }
}

int ParseMapIndex(const std::string& s) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos || std::stoi(s) < 1)
    Fail("--map-index needs a map number from 1 on, got '" + s + "'");
  return std::stoi(s);
}

Options ParseArgs(int argc, char** argv) {
  if (argc < 2) Fail("no command given");
  Options o;
  o.command = argv[1];
  if (o.command != "ga" && o.command != "train" && o.command != "fly-net" && o.command != "fly-plan")
    Fail("unknown command '" + o.command + "'");
  auto need = [&](int& i) -> std::string {
    if (i + 1 >= argc) Fail(std::string(argv[i]) + " needs a value");
    return argv[++i];
  };
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--level") {
      std::string v = need(i);
      if (v.size() != 1 || v[0] < '1' || v[0] > '4') Fail("--level must be 1, 2, 3 or 4, got '" + v + "'");
      o.level = v[0] - '0';
    } else if (a == "--map" && o.command != "train") {
      o.mapFile = need(i);
      if (o.mapFile.empty()) Fail("--map needs a file name");
    } else if (a == "--map-index" && o.command != "train") {
      std::string v = need(i);
      o.mapIndex = ParseMapIndex(v);
    } else if (a == "--seed") {
      o.seed = ParseSeed(need(i));
      o.haveSeed = true;
    } else if (a == "--threads" && (o.command == "ga" || o.command == "train")) {
      std::string v = need(i);
      char* end = nullptr;
      long n = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || n < 1 || n > 256) Fail("--threads must be from 1 to 256, got '" + v + "'");
      o.threads = static_cast<int>(n);
    } else if (a == "--heuristic" && o.command == "ga") {
      o.heuristic = true;
    } else if (a == "--weights" && o.command != "train") {
      o.weightsFile = need(i);
    } else if (a == "--weights-out" && o.command == "train") {
      o.weightsOut = need(i);
    } else if (a == "--plan" && o.command == "fly-plan") {
      o.planFile = need(i);
    } else if (a == "--variant" && o.command == "fly-plan") {
      o.variant = need(i);
      if (o.variant != "ga" && o.variant != "heuristic" && o.variant != "step")
        Fail("--variant must be ga, heuristic or step, got '" + o.variant + "'");
    } else if (a == "--set") {
      std::string assignment = need(i);
      std::string error = ApplySetting(o.params, assignment);
      if (!error.empty()) Fail(error);
      o.setNames.push_back(assignment.substr(0, assignment.find('=')));
    } else {
      Fail("unknown option '" + a + "' for " + o.command);
    }
  }
  for (const std::string& name : o.setNames)
    if (auto problem = CheckParam(o.params, name)) Fail(problem->reason);
  if (auto problem = CheckParams(o.params)) Fail(problem->reason);
  if (o.command != "train") {
    const bool haveMap = !o.mapFile.empty() || o.mapIndex != 0;
    if (o.level != 0 && haveMap) Fail("--level and --map exclude each other");
    if (!haveMap && o.level == 0) Fail(o.command + " needs --level N (1 to 4) or --map FILE --map-index K");
    if (haveMap && o.mapFile.empty()) Fail("--map-index needs --map FILE");
    if (haveMap && o.mapIndex == 0) Fail("--map needs --map-index K");
  }
  if (o.command == "fly-plan" && o.planFile.empty()) Fail("fly-plan needs --plan FILE");
  if (!o.haveSeed) o.seed = static_cast<std::uint32_t>(std::time(nullptr));
  return o;
}

// A network of the shape the settings describe; its weights are loaded over
// the random ones before it flies.
CNeuralNet NetworkFor(const SimParams& p) {
  CNeuralNet net;
  CRand rng;
  net.Build(p, rng);
  return net;
}

// The field to fly: a built-in level, or a saved map read as the desktop
// program reads it.
MeteorField LoadField(const Options& o) {
  if (o.mapFile.empty()) return BuiltInLevel(o.level);
  MeteorField field;
  field.count = 0;
  CObstacleMapFile file(o.mapFile);
  MapLoadResult r = file.LoadMap(o.mapIndex, field);
  if (r.status != MapLoadStatus::Loaded)
    Fail("cannot use map " + std::to_string(o.mapIndex) + " of '" + o.mapFile + "': " + MapLoadReason(r, o.mapIndex));
  return field;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read '" + path + "'");
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) Fail("cannot read '" + path + "'");
  return ss.str();
}

// The weights in force: built-in, or the last block of a weights file. They
// must fit the network the settings describe.
std::vector<double> LoadWeightsFor(const Options& o, const CNeuralNet& net) {
  std::vector<double> w;
  if (o.weightsFile.empty()) {
    CAutoPilot pilot;
    w = pilot.Weights();
  } else {
    std::string error;
    auto parsed = ReadWeightsFile(o.weightsFile, &error);
    if (!parsed) Fail("cannot use '" + o.weightsFile + "': " + error);
    w = std::move(*parsed);
  }
  if (static_cast<int>(w.size()) != net.WeightCount())
    Fail((o.weightsFile.empty() ? std::string("the built-in weights") : "'" + o.weightsFile + "'") + " hold " +
         std::to_string(w.size()) + " weights but the network needs " + std::to_string(net.WeightCount()));
  return w;
}

// Records what a run reports; messages go to stderr as they come.
class CliHost : public IHost {
 public:
  explicit CliHost(const SimParams& p, int totalGenerations)
      : m_params(p), m_total(totalGenerations), m_tty(isatty(2) != 0) {}
  ~CliHost() override {
    if (m_tty && m_drewBar) std::fputs("\n", stderr);
  }
  SimParams Params() override { return m_params; }
  void ShowMessage(const std::string& text) override {
    if (m_tty && m_drewBar) std::fputs("\n", stderr);
    m_drewBar = false;
    std::fprintf(stderr, "%s\n", text.c_str());
    messages.push_back(text);
  }
  void Repaint(const FrameSnapshot& frame) override {
    if (frame.planPanel)
      Record(frame.planPanel->generation, frame.planPanel->best, frame.planPanel->average);
    else if (frame.chart && (generations.empty() || generations.back().generation != frame.chart->generation))
      Record(frame.chart->generation, frame.chart->best, frame.chart->average);
  }
  bool PauseRequested(PauseKind) override { return false; }
  void WaitWhilePaused(PauseKind) override {}
  bool StopRequested() override { return false; }
  void Sleep(int) override {}
  void LoadBuiltInLevel(int) override {}
  void ShowPerceptionMarks(bool) override {}

  struct Gen {
    int generation;
    double best;
    double average;
  };
  std::vector<Gen> generations;
  std::vector<std::string> messages;

 private:
  void Record(int g, double best, double avg) {
    generations.push_back({g, best, avg});
    if (m_tty) {
      int width = 30;
      int filled = m_total > 0 ? static_cast<int>(static_cast<long long>(width) * std::min(g, m_total) / m_total) : width;
      std::fprintf(stderr, "\r[%s%s] %d/%d best %.1f", std::string(filled, '#').c_str(),
                   std::string(width - filled, '.').c_str(), g, m_total, best);
      m_drewBar = true;
    }
  }
  SimParams m_params;
  int m_total;
  bool m_tty;
  bool m_drewBar = false;
};

void WriteGenerations(JsonWriter& j, const CliHost& host) {
  j.Key("generations").BeginArray();
  for (const auto& g : host.generations) {
    j.BeginObject().Key("generation").Int(g.generation).Key("best").Number(g.best);
    j.Key("average").Number(g.average).EndObject();
  }
  j.EndArray();
}

void WriteNumbers(JsonWriter& j, const std::vector<double>& v) {
  j.BeginArray();
  for (double x : v) j.Number(x);
  j.EndArray();
}

void WriteMessages(JsonWriter& j, const CliHost& host) {
  j.Key("messages").BeginArray();
  for (const auto& m : host.messages) j.String(m);
  j.EndArray();
}

int RunGa(const Options& o) {
  CAutoPilot pilot;
  pilot.SetThreads(o.threads);
  CNeuralNet net = NetworkFor(o.params);
  if (o.heuristic || !o.weightsFile.empty()) pilot.SetWeights(LoadWeightsFor(o, net));
  MeteorField field = LoadField(o);
  CliHost host(o.params, o.params.MaxGenerations + 1);
  CPlanGA ga;
  SearchResult r = o.heuristic ? pilot.OnStartHeuristicGenAlg(host, o.params, ga, net, field, o.seed)
                               : pilot.OnStartGenAlg(host, o.params, ga, field, o.seed);
  CPlanGenome best = pilot.BestPlan();
  JsonWriter j;
  j.Begin();
  j.Key("escaped").Bool(r.escaped);
  j.Key("escape_generation");
  r.escaped ? j.Int(r.escapeGeneration) : j.Null();
  j.Key("escape_plan");
  r.escaped ? j.Int(r.escapePlan) : j.Null();
  WriteGenerations(j, host);
  j.Key("best_plan").BeginObject().Key("actions").BeginArray();
  for (int a : best.m_actions) j.Int(a);
  j.EndArray().Key("durations");
  WriteNumbers(j, best.m_durations);
  j.Key("fitness").Number(best.m_fitness).EndObject();
  WriteMessages(j, host);
  j.End();
  std::printf("%s\n", j.Text().c_str());
  return 0;
}

int RunTrain(const Options& o) {
  CAutoPilot pilot;
  pilot.SetThreads(o.threads);
  CNeuralNet net;
  CWeightGA weightGA;
  CliHost host(o.params, o.params.TrainingGenerations);
  if (!o.weightsOut.empty()) {
    // Refuse an unwritable target before spending the training time.
    std::ofstream probe(o.weightsOut, std::ios::binary | std::ios::app);
    if (!probe) Fail("cannot open '" + o.weightsOut + "' for writing");
  }
  TrainingResult r = pilot.TrainNetwork(host, o.params, weightGA, net, o.seed, o.weightsOut);
  JsonWriter j;
  j.Begin();
  WriteGenerations(j, host);
  j.Key("best_fitness").Number(r.bestFitness);
  j.Key("weights");
  WriteNumbers(j, pilot.Weights());
  WriteMessages(j, host);
  j.End();
  std::printf("%s\n", j.Text().c_str());
  return r.saved || o.weightsOut.empty() ? 0 : 1;
}

int RunFlyNet(const Options& o) {
  CAutoPilot pilot;
  CNeuralNet net = NetworkFor(o.params);
  net.LoadWeights(LoadWeightsFor(o, net));
  MeteorField field = LoadField(o);
  FlightState fs;
  NetFlightResult r = CAutoPilot::FlyNetworkScored(fs, net, o.params, field);
  const char* outcome = "crashed";
  switch (r.end) {
    case NetFlightEnd::Escaped: outcome = "escaped"; break;
    case NetFlightEnd::Crashed: outcome = "crashed"; break;
    case NetFlightEnd::Stalled: outcome = "stalled"; break;
    case NetFlightEnd::Timeout: outcome = "timeout"; break;
    case NetFlightEnd::NetworkMismatch: Fail("the network does not fit the settings");
  }
  JsonWriter j;
  j.Begin();
  j.Key("outcome").String(outcome);
  j.Key("ticks").Int(r.ticks);
  j.Key("x").Number(fs.boat.m_position.x).Key("y").Number(fs.boat.m_position.y);
  j.Key("vx").Number(fs.boat.m_velocity.x).Key("vy").Number(fs.boat.m_velocity.y);
  j.Key("score").Number(r.score);
  j.End();
  std::printf("%s\n", j.Text().c_str());
  return 0;
}

int RunFlyPlan(const Options& o) {
  std::string error;
  auto file = cli::ParsePlanJson(ReadFile(o.planFile), &error);
  if (!file) Fail("cannot use '" + o.planFile + "': " + error);
  CPlanGenome plan(file->actions, file->durations);
  FlyVariant variant = o.variant == "step" ? FlyVariant::StepByStep
                       : o.variant == "heuristic" ? FlyVariant::Heuristic
                                                  : FlyVariant::GA;
  CNeuralNet net = NetworkFor(o.params);
  if (variant == FlyVariant::Heuristic) net.LoadWeights(LoadWeightsFor(o, net));
  MeteorField field = LoadField(o);
  FlightState fs;
  PlanFlightResult r = CAutoPilot::FlyPlan(fs, plan, variant, o.params, field, &net);
  const char* outcome = "finished";
  if (r.outcome == FlyOutcome::InvalidCode) {
    outcome = "invalid";
    std::fprintf(stderr, "%s\n", InvalidCodeMessage(r, 0, variant).c_str());
  } else if (r.outcome == FlyOutcome::Escaped) {
    outcome = "escaped";
    // The search stops here without scoring; report the flight as it stands.
    CAutoPilot::ScorePlan(fs, plan, o.params);
  } else if (r.outcome == FlyOutcome::NetworkMismatch) {
    Fail("the network does not fit the settings");
  }
  JsonWriter j;
  j.Begin();
  j.Key("outcome").String(outcome);
  j.Key("fitness").Number(plan.m_fitness);
  j.Key("energy").Number(plan.m_energyScore);
  j.Key("safety").Number(plan.m_safetyScore);
  j.Key("time").Number(plan.m_timeScore);
  j.Key("ticks").Int(fs.m_tickCount);
  j.Key("thrusts").Int(fs.m_thrustCount);
  j.Key("x").Number(fs.boat.m_position.x).Key("y").Number(fs.boat.m_position.y);
  j.End();
  std::printf("%s\n", j.Text().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Options o = ParseArgs(argc, argv);
    if (o.command == "ga") return RunGa(o);
    if (o.command == "train") return RunTrain(o);
    if (o.command == "fly-net") return RunFlyNet(o);
    return RunFlyPlan(o);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "korvane-cli: %s\n%s", e.text.c_str(), kUsage);
    return 2;
  }
}
