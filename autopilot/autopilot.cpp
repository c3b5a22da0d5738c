#include "autopilot/autopilot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "autopilot/messages.h"
#include "autopilot/parallel.h"
#include "autopilot/weights_file.h"
#include "net/default_weights.h"
#include "sim/trunc.h"

namespace korvane {
namespace {

int PerceivedCount(const SimParams& p) { return std::clamp(p.PerceivedMeteors(), 0, MaxPerceived); }

// The settings a run works with: the current ones, except for what the run
// captured when it started (sizes of its lists and of its network).
SimParams Refresh(IHost& host, const SimParams& captured) {
  SimParams p = host.Params();
  p.PopulationSize = captured.PopulationSize;
  p.ChromosomeLength = captured.ChromosomeLength;
  p.NetPopulationSize = captured.NetPopulationSize;
  p.NetInputCount = captured.NetInputCount;
  p.HiddenLayerCount = captured.HiddenLayerCount;
  p.NeuronsPerHiddenLayer = captured.NeuronsPerHiddenLayer;
  return p;
}

void SetMarker(CLifeboat& boat, int code) {
  if (code >= 1 && code <= 4) boat.m_thrustMarker = code + 1;
}

FrameSnapshot Frame(const FlightState& fs, const MeteorField& field) {
  FrameSnapshot f;
  f.boat = fs.boat;
  f.field = field;
  f.perception = fs.per;
  return f;
}

// The on-screen flights' way through a plan: stay on gene i until k reaches
// its duration, then move to the next gene (whose own duration is not looked
// at). False once the plan, or the length setting, is used up.
bool NextShownGene(const CPlanGenome& plan, int chromosomeLength, int& i, int& k) {
  const int len = plan.Length();
  if (i < len && k >= plan.m_durations[i]) {
    ++i;
    k = 1;
  } else {
    ++k;
  }
  return i < chromosomeLength && i < len;
}

// The on-screen demonstration flights are paced like the replay so that they
// can be watched.
constexpr int kDemoTickMs = 20;
constexpr int kNetworkTickMs = 30;

}  // namespace

CAutoPilot::CAutoPilot()
    : m_threads(DefaultThreadCount()), m_weight(DefaultWeights.begin(), DefaultWeights.end()) {}

// ---------------------------------------------------------------- flights --

PlanFlightResult CAutoPilot::FlyPlan(FlightState& fs, CPlanGenome& plan, FlyVariant variant,
                                     const SimParams& p, const MeteorField& field, CNeuralNet* net) {
  PlanFlightResult result;
  fs.per.m_minClearance = NoMeteor;
  fs.m_thrustCount = 0;
  fs.m_tickCount = 0;
  fs.boat.ResetToStart(p);
  const int k = PerceivedCount(p);
  const bool heuristic = variant == FlyVariant::Heuristic;
  if (heuristic) {
    // The first suggestion must see the start position, not the table the
    // previous plan left behind; the clearance stays untouched.
    CheckCollision(fs.per, fs.boat, field, k);
    fs.per.m_minClearance = NoMeteor;
  }

  const int genes = std::min(plan.Length(), p.ChromosomeLength);
  for (int i = 0; i < genes; ++i) {
    const double d = plan.m_durations[i];
    const int a = plan.m_actions[i];
    if (d <= 0) continue;
    int tick = 0;
    for (;;) {
      if (!fs.boat.ApplyThrust(a, p)) {
        result.outcome = FlyOutcome::InvalidCode;
        result.badCode = a;
        result.badGene = i;
        return result;
      }
      if (a != 0) ++fs.m_thrustCount;
      if (heuristic && tick == 0 && net) {
        NetworkInputs in = BuildNetworkInputs(fs.boat, fs.per, p);
        std::span<const double> out = net->Evaluate(in.View(), p.SigmoidParam);
        if (out.size() < static_cast<size_t>(SimParams::NetOutputCount)) {
          result.outcome = FlyOutcome::NetworkMismatch;
          return result;
        }
        if (i < MaxSuggestions) fs.m_suggestion[i] = PickAction(out);
      }
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      if (variant == FlyVariant::StepByStep) {
        if (HasEscaped(fs.boat)) {
          result.escaped = true;
          goto score;
        }
        if (CheckCollision(fs.per, fs.boat, field, k)) {
          result.crashGene = i;
          goto score;
        }
      } else {
        if (CheckCollision(fs.per, fs.boat, field, k)) {
          result.crashGene = i;
          if (heuristic && i < MaxSuggestions) result.crashSuggestion = fs.m_suggestion[i];
          goto score;
        }
        if (HasEscaped(fs.boat)) {
          result.outcome = FlyOutcome::Escaped;
          result.escaped = true;
          return result;
        }
      }
      ++fs.m_tickCount;
      ++tick;
      if (!(static_cast<double>(tick) < d)) break;
    }
  }
score:
  ScorePlan(fs, plan, p);
  return result;
}

void CAutoPilot::Repair(CPlanGenome& plan, const PlanFlightResult& r, CRand& rng) {
  if (r.crashGene < 0) return;
  const int draw = rng();
  if (draw > 8191 && r.crashGene < plan.Length() && r.crashGene < MaxSuggestions)
    plan.m_actions[r.crashGene] = r.crashSuggestion;
}

void CAutoPilot::ScorePlan(const FlightState& fs, CPlanGenome& plan, const SimParams& p) {
  plan.m_energyScore = fs.m_thrustCount * p.EnergyWeight;
  plan.m_safetyScore = std::sqrt(fs.per.m_minClearance) * p.SafetyWeight;
  plan.m_timeScore = fs.m_tickCount * p.TimeWeight;
  plan.m_fitness = fs.boat.m_position.x > 0 ? fs.boat.m_position.x : 0.0;
}

NetworkInputs CAutoPilot::BuildNetworkInputs(const CLifeboat& boat, const Perception& per, const SimParams& p) {
  NetworkInputs in;
  const double n = p.NormalizeParam;
  const double y = boat.m_position.y;
  in.values[0] = n / (PlayfieldHeight - y);
  in.values[1] = n / y;
  in.values[2] = boat.m_velocity.x;
  in.values[3] = boat.m_velocity.y;
  const int k = PerceivedCount(p);
  for (int j = 0; j < k; ++j) {
    in.values[4 + 2 * j] = n / per.m_perceivedDx[j];
    in.values[5 + 2 * j] = n / per.m_perceivedDy[j];
  }
  in.count = 4 + 2 * k;
  return in;
}

int CAutoPilot::PickAction(std::span<const double> outputs) {
  const int n = std::min<int>(static_cast<int>(outputs.size()), SimParams::NetOutputCount);
  int best = 0;
  for (int i = 1; i < n; ++i)
    if (outputs[i] > outputs[best]) best = i;
  return best;
}

CAutoPilot::NetFlightResult CAutoPilot::FlyNetworkScored(FlightState& fs, CNeuralNet& net, const SimParams& p,
                                                         const MeteorField& field) {
  NetFlightResult r;
  const int k = PerceivedCount(p);
  fs.boat.ResetToStart(p);
  int t = 0;
  auto scoreB = [&](NetFlightEnd end) {
    const int vxi = TruncToInt(fs.boat.m_velocity.x);
    const int vyi = TruncToInt(fs.boat.m_velocity.y);
    r.end = end;
    r.ticks = t;
    r.score = t + (fs.boat.m_position.x + 1000.0 - 50 * std::abs(vxi) - 20 * std::abs(vyi));
    return r;
  };
  if (CheckCollision(fs.per, fs.boat, field, k)) return scoreB(NetFlightEnd::Crashed);
  for (;;) {
    NetworkInputs in = BuildNetworkInputs(fs.boat, fs.per, p);
    std::span<const double> out = net.Evaluate(in.View(), p.SigmoidParam);
    if (out.size() < static_cast<size_t>(SimParams::NetOutputCount)) {
      r.end = NetFlightEnd::NetworkMismatch;
      r.ticks = t;
      return r;
    }
    const int a = PickAction(out);
    for (int d = 0; d < SimParams::TicksPerDecision; ++d) {
      fs.boat.ApplyThrust(a, p);
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      ++t;
    }
    const double x = fs.boat.m_position.x;
    if (HasEscaped(fs.boat)) {
      r.end = NetFlightEnd::Escaped;
      r.ticks = t;
      r.score = fs.boat.m_velocity.x * 60.0 + (t + 3000);
      return r;
    }
    if ((t > 80 && x < 80.0) || (t > 240 && x < 400.0)) return scoreB(NetFlightEnd::Stalled);
    if (t > 900) return scoreB(NetFlightEnd::Timeout);
    if (CheckCollision(fs.per, fs.boat, field, k)) return scoreB(NetFlightEnd::Crashed);
  }
}

// ------------------------------------------------------------ plan search --

std::string InvalidCodeMessage(const PlanFlightResult& r, int planIndex, FlyVariant variant) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "action%d i%d j%d 你的行动数不对!!!(%s)", r.badCode, planIndex, r.badGene,
                variant == FlyVariant::StepByStep ? "StepByStep" : "OnStartGenAlg");
  return buf;
}

void CAutoPilot::ReportInvalid(IHost& host, const PlanFlightResult& r, int planIndex, FlyVariant variant) {
  host.ShowMessage(InvalidCodeMessage(r, planIndex, variant));
}

void CAutoPilot::ReportMismatch(IHost& host) {
  host.ShowMessage(msg::NetworkError);
  host.ShowMessage(msg::NetworkMismatch);
}

PlanFlightResult CAutoPilot::FlyGeneration(IHost& host, FlyVariant variant, const SimParams& p,
                                           const MeteorField& field, CNeuralNet* net, CRand* rng, int count,
                                           int* escapedPlan, bool* stopped) {
  *escapedPlan = -1;
  *stopped = false;
  count = std::min<int>(count, static_cast<int>(m_workList.size()));
  const int threads = std::max(1, std::min(m_threads, count));
  m_workers.resize(threads);
  if (net) m_workerNets.assign(threads, *net);
  m_results.assign(count, PlanFlightResult{});
  // Scores as they were, for the plans a one-by-one search would not have
  // reached.
  struct Scores {
    double fitness, energy, safety, time;
  };
  std::vector<Scores> before(count);
  for (int n = 0; n < count; ++n) {
    const CPlanGenome& g = m_workList[n];
    before[n] = {g.m_fitness, g.m_energyScore, g.m_safetyScore, g.m_timeScore};
  }
  // The first plan in order that ends the generation: later ones need not fly.
  std::atomic<int> firstEnd{count};
  std::atomic<bool> stop{false};
  int lastWorker = 0;
  ParallelFor(threads, count, 4, [&](int w, int n) {
    if (w == 0 && host.StopRequested()) {
      stop.store(true);
      return false;
    }
    if (n > firstEnd.load(std::memory_order_relaxed)) return true;
    PlanFlightResult r = FlyPlan(m_workers[w], m_workList[n], variant, p, field, net ? &m_workerNets[w] : nullptr);
    const bool ends = r.outcome != FlyOutcome::Finished;
    m_results[n] = r;
    if (n == count - 1) lastWorker = w;
    if (ends) {
      int cur = firstEnd.load();
      while (n < cur && !firstEnd.compare_exchange_weak(cur, n)) {
      }
    }
    return true;
  });
  if (stop.load()) {
    *stopped = true;
    return PlanFlightResult{};
  }
  const int end = firstEnd.load();
  m_flight = m_workers[end < count ? 0 : lastWorker];
  auto restoreAfter = [&](int last) {
    for (int n = last + 1; n < count; ++n) {
      CPlanGenome& g = m_workList[n];
      g.m_fitness = before[n].fitness;
      g.m_energyScore = before[n].energy;
      g.m_safetyScore = before[n].safety;
      g.m_timeScore = before[n].time;
    }
  };
  // In plan order, as if flown one by one: the repairs draw in this order.
  for (int n = 0; n < count; ++n) {
    const PlanFlightResult& r = m_results[n];
    if (r.outcome == FlyOutcome::InvalidCode) {
      restoreAfter(n);
      ReportInvalid(host, r, n, variant);
      return r;
    }
    if (r.outcome == FlyOutcome::NetworkMismatch) {
      restoreAfter(n);
      ReportMismatch(host);
      return r;
    }
    if (variant == FlyVariant::Heuristic && rng) Repair(m_workList[n], r, *rng);
    if (r.escaped && *escapedPlan < 0) {
      *escapedPlan = n;
      if (r.outcome == FlyOutcome::Escaped) {
        restoreAfter(n);
        return r;
      }
    }
  }
  return count > 0 ? m_results[count - 1] : PlanFlightResult{};
}

FrameSnapshot PlanProgressFrame(const CPlanGA& ga, const FlightState& fs, const MeteorField& field) {
  FrameSnapshot f = Frame(fs, field);
  PlanPanelData panel;
  panel.generation = ga.Generation();
  panel.best = ga.BestFitness();
  panel.average = ga.AverageFitness();
  if (const CPlanGenome* best = ga.Best()) {
    panel.energy = best->m_energyScore;
    panel.safety = best->m_safetyScore;
    panel.time = best->m_timeScore;
  }
  f.planPanel = panel;
  return f;
}

SearchResult CAutoPilot::RunPlanSearch(IHost& host, CPlanGA& ga, CNeuralNet* net, const MeteorField& field,
                                       std::uint32_t seed, FlyVariant variant, PauseKind pause) {
  SearchResult result;
  CRand rng(seed);
  const SimParams start = host.Params();
  SimParams p = start;
  if (net) net->LoadWeights(Weights());
  ga.Init(start.PopulationSize, start.DurationMutationRate, start.ChromosomeLength, p, rng);
  m_workList = ga.Genomes();
  auto keepBest = [&] {
    if (const CPlanGenome* best = ga.Best()) SetBestPlan(CPlanGenome(best->m_actions, best->m_durations, 0.0));
  };
  for (int g = 0; g <= p.MaxGenerations; ++g) {
    int escaped = -1;
    bool stopped = false;
    PlanFlightResult r = FlyGeneration(host, variant, p, field, net, &rng, ga.PopSize(), &escaped, &stopped);
    if (escaped >= 0) {
      const CPlanGenome& plan = m_workList[escaped];
      SetBestPlan(CPlanGenome(plan.m_actions, plan.m_durations, EscapedFitness));
      result.escaped = true;
      result.escapeGeneration = g;
      result.escapePlan = escaped;
      host.ShowMessage(msg::Success);
      return result;
    }
    if (r.outcome == FlyOutcome::InvalidCode || r.outcome == FlyOutcome::NetworkMismatch || stopped) {
      result.aborted = true;
      return result;
    }
    if (!ga.Epoch(m_workList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
    host.Repaint(PlanProgressFrame(ga, m_flight, field));
    if (host.PauseRequested(pause)) {
      keepBest();
      host.WaitWhilePaused(pause);
    }
    if (host.StopRequested()) {
      keepBest();
      result.aborted = true;
      return result;
    }
    p = Refresh(host, start);
  }
  keepBest();
  return result;
}

SearchResult CAutoPilot::OnStartGenAlg(IHost& host, CPlanGA& ga, const MeteorField& field, std::uint32_t seed) {
  return RunPlanSearch(host, ga, nullptr, field, seed, FlyVariant::GA, PauseKind::GA);
}

SearchResult CAutoPilot::OnStartHeuristicGenAlg(IHost& host, CPlanGA& ga, CNeuralNet& net, const MeteorField& field,
                                                std::uint32_t seed) {
  return RunPlanSearch(host, ga, &net, field, seed, FlyVariant::Heuristic, PauseKind::Heuristic);
}

// ---------------------------------------------------------- step by step --

int CAutoPilot::StepByStep(IHost& host, CPlanGA& ga, const MeteorField& field, const SimParams& p, CRand& rng) {
  int escaped = -1;
  bool stopped = false;
  PlanFlightResult r =
      FlyGeneration(host, FlyVariant::StepByStep, p, field, nullptr, nullptr, ga.PopSize(), &escaped, &stopped);
  if (r.outcome == FlyOutcome::InvalidCode || stopped) return 0;
  if (const CPlanGenome* best = ga.Best()) SetBestPlan(CPlanGenome(best->m_actions, best->m_durations, 0.0));
  CPlanGenome escapedPlan;
  if (escaped >= 0) escapedPlan = m_workList[escaped];
  if (!ga.Epoch(m_workList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
  if (escaped < 0) return 0;
  // A plan escaped, the event that ends the plain search: keep it for the replay.
  SetBestPlan(CPlanGenome(escapedPlan.m_actions, escapedPlan.m_durations, EscapedFitness));
  return 1;
}

void CAutoPilot::onTimer3(IHost& host, CPlanGA& ga, const MeteorField& field, std::uint32_t seed) {
  CRand rng(seed);
  const SimParams start = host.Params();
  SimParams p = start;
  ga.Init(start.PopulationSize, start.DurationMutationRate, start.ChromosomeLength, p, rng);
  m_workList = ga.Genomes();
  auto frame = [&](const FlightState& fs) {
    FrameSnapshot f = PlanProgressFrame(ga, fs, field);
    return f;
  };
  FlightState screen;
  auto succeed = [&] {
    host.ShowMessage(msg::Success);
    host.Repaint(frame(screen));
  };
  if (StepByStep(host, ga, field, p, rng)) return succeed();
  if (host.StopRequested()) return;
  screen.boat.ResetToStart(p);
  host.Repaint(frame(screen));
  bool ended = false;
  int i = 0;
  int k = 0;
  int s = 0;
  CPlanGenome plan = BestPlan();
  const int k2 = PerceivedCount(p);
  for (;;) {
    if (host.StopRequested()) return;
    if (ended) {
      ++s;
      p = Refresh(host, start);
      if (StepByStep(host, ga, field, p, rng)) return succeed();
      if (host.StopRequested()) return;
      if (s > p.MaxGenerations) {
        host.ShowMessage(msg::GiveUp);
        host.Repaint(frame(screen));
        return;
      }
      screen.boat.ResetToStart(p);
      plan = BestPlan();
      ended = false;
      host.Repaint(frame(screen));
      continue;
    }
    if (!NextShownGene(plan, p.ChromosomeLength, i, k)) {
      i = 0;
      k = 0;
      ended = true;
      continue;
    }
    const int code = plan.m_actions[i];
    if (!screen.boat.ApplyThrust(code, p)) {
      host.ShowMessage(msg::BadActionDemo);
      return;
    }
    SetMarker(screen.boat, code);
    host.Repaint(frame(screen));
    host.Sleep(kDemoTickMs);
    screen.boat.ApplyGravity(p);
    screen.boat.Step(p);
    if (HasEscaped(screen.boat)) {
      i = 0;
      k = 0;
      ended = true;
    }
    if (CheckCollision(screen.per, screen.boat, field, k2)) {
      i = 0;
      k = 0;
      ended = true;
    }
  }
}

// ---------------------------------------------------------------- replays --

void CAutoPilot::onTimer2(IHost& host, const MeteorField& field) {
  const CPlanGenome plan = BestPlan();
  const SimParams p = host.Params();
  const int k2 = PerceivedCount(p);
  FlightState fs;
  fs.boat.ResetToStart(p);
  int i = 0;
  int k = 0;
  for (;;) {
    if (host.StopRequested()) return;
    // A plan with fewer genes than the setting (or none yet) ends at its end.
    if (!NextShownGene(plan, p.ChromosomeLength, i, k)) {
      host.ShowMessage(msg::ReplayOver);
      return;
    }
    const int code = plan.m_actions[i];
    if (!fs.boat.ApplyThrust(code, p)) {
      host.ShowMessage(msg::BadActionReplay);
      return;
    }
    SetMarker(fs.boat, code);
    host.Repaint(Frame(fs, field));
    host.Sleep(static_cast<int>(10.0 / SimParams::ReplaySpeed));
    fs.boat.ApplyGravity(p);
    fs.boat.Step(p);
    if (HasEscaped(fs.boat)) {
      host.Repaint(Frame(fs, field));
      host.ShowMessage(msg::Escaped);
      return;
    }
    if (CheckCollision(fs.per, fs.boat, field, k2)) {
      host.Repaint(Frame(fs, field));
      host.ShowMessage(msg::Stardust);
      return;
    }
  }
}

void CAutoPilot::FlyByNetwork(IHost& host, CNeuralNet& net, const MeteorField& field) {
  const SimParams p = host.Params();
  const int k2 = PerceivedCount(p);
  FlightState fs;
  fs.boat.ResetToStart(p);
  net.LoadWeights(Weights());
  CheckCollision(fs.per, fs.boat, field, k2);
  auto frame = [&](FrameSnapshot::Marks marks) {
    FrameSnapshot f = Frame(fs, field);
    f.marks = marks;
    return f;
  };
  host.Repaint(frame(FrameSnapshot::Marks::Show));
  for (;;) {
    if (host.StopRequested()) return;
    NetworkInputs in = BuildNetworkInputs(fs.boat, fs.per, p);
    std::span<const double> out = net.Evaluate(in.View(), p.SigmoidParam);
    if (out.size() < static_cast<size_t>(SimParams::NetOutputCount)) {
      ReportMismatch(host);
      return;
    }
    const int a = PickAction(out);
    for (int d = 0; d < SimParams::TicksPerDecision; ++d) {
      fs.boat.ApplyThrust(a, p);
      SetMarker(fs.boat, a);
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      host.Sleep(kNetworkTickMs);
      host.Repaint(frame(FrameSnapshot::Marks::Show));
      if (CheckCollision(fs.per, fs.boat, field, k2)) {
        host.Repaint(frame(FrameSnapshot::Marks::Show));
        host.ShowMessage(msg::Stardust);
        return;
      }
    }
    if (HasEscaped(fs.boat)) {
      host.ShowMessage(msg::Escaped);
      host.Repaint(frame(FrameSnapshot::Marks::Hide));
      return;
    }
  }
}

// --------------------------------------------------------------- training --

TrainingResult CAutoPilot::TrainNetwork(IHost& host, CWeightGA& weightGA, CNeuralNet& net, std::uint32_t seed,
                                        const std::string& weightsPath) {
  TrainingResult result;
  CRand rng(seed);
  const SimParams start = host.Params();
  SimParams p = start;
  net.Build(p, rng);
  weightGA.Reset(start.NetPopulationSize, start.SmallMutationRate, start.NetCrossoverRate, net.WeightCount(), rng);
  m_weightWorkList.clear();
  for (int n = 0; n < start.NetPopulationSize; ++n) {
    net.Build(p, rng);
    m_weightWorkList.push_back(WeightGenome{net.CollectWeights(), 0.0});
  }
  MeteorField levels[BuiltInLevelCount];
  for (int l = 0; l < BuiltInLevelCount; ++l) levels[l] = BuiltInLevel(l + 1);
  MeteorField shown = levels[0];

  auto chartFrame = [&] {
    FrameSnapshot f = Frame(m_flight, shown);
    ChartData c;
    c.generation = weightGA.Generation();
    c.best = weightGA.BestFitness();
    c.average = weightGA.AverageFitness();
    auto bh = weightGA.BestHistory();
    auto ah = weightGA.AverageHistory();
    c.bestHistory.assign(bh.begin(), bh.end());
    c.averageHistory.assign(ah.begin(), ah.end());
    f.chart = std::move(c);
    return f;
  };

  for (int g = 1; g <= p.TrainingGenerations && g <= CWeightGA::MaxHistory; ++g) {
    const int count = std::min<int>(start.NetPopulationSize, static_cast<int>(m_weightWorkList.size()));
    const int threads = std::max(1, std::min(m_threads, count));
    m_workers.resize(threads);
    m_workerNets.assign(threads, net);
    std::atomic<bool> stop{false};
    int lastWorker = 0;
    // Each genome flies the four levels in order, so its fitness adds up in
    // the same order whichever worker flies it.
    ParallelFor(threads, count, 1, [&](int w, int n) {
      if (w == 0 && host.StopRequested()) {
        stop.store(true);
        return false;
      }
      CNeuralNet& wn = m_workerNets[w];
      wn.LoadWeights(m_weightWorkList[n].weights);
      for (int l = 0; l < BuiltInLevelCount; ++l)
        m_weightWorkList[n].fitness += FlyNetworkScored(m_workers[w], wn, p, levels[l]).score;
      if (n == count - 1) lastWorker = w;
      return true;
    });
    if (stop.load()) return result;
    m_flight = m_workers[lastWorker];
    net = m_workerNets[lastWorker];
    shown = levels[BuiltInLevelCount - 1];
    if (!weightGA.Epoch(m_weightWorkList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
    host.Repaint(chartFrame());
    if (host.PauseRequested(PauseKind::Training)) {
      SetWeights(weightGA.Best().weights);
      host.LoadBuiltInLevel(1);
      host.WaitWhilePaused(PauseKind::Training);
    }
    if (host.StopRequested()) return result;
    p = Refresh(host, start);
  }
  result.completed = true;
  result.bestFitness = weightGA.Best().fitness;
  SetWeights(weightGA.Best().weights);
  if (!weightsPath.empty()) {
    switch (AppendWeightsFile(weightsPath, FormatWeightsText(Weights()))) {
      case SaveResult::OpenFailed:
        host.ShowMessage(msg::FileOpenError);
        return result;
      case SaveResult::WriteFailed:
        host.ShowMessage(msg::FileWriteError);
        return result;
      case SaveResult::Ok:
        result.saved = true;
        break;
    }
  }
  host.LoadBuiltInLevel(1);
  shown = levels[0];
  m_flight.boat.ResetToStart(p);
  host.Repaint(chartFrame());
  char buf[128];
  std::snprintf(buf, sizeof buf, "训练完成,得分为%lf!", result.bestFitness);
  host.ShowMessage(buf);
  return result;
}

// ---------------------------------------------------------------- results --

CPlanGenome CAutoPilot::BestPlan() const {
  std::lock_guard<std::mutex> lock(m_resultMutex);
  return m_bestPlan;
}

void CAutoPilot::SetBestPlan(const CPlanGenome& plan) {
  std::lock_guard<std::mutex> lock(m_resultMutex);
  m_bestPlan = plan;
}

std::vector<double> CAutoPilot::Weights() const {
  std::lock_guard<std::mutex> lock(m_resultMutex);
  return m_weight;
}

void CAutoPilot::SetWeights(std::vector<double> w) {
  std::lock_guard<std::mutex> lock(m_resultMutex);
  m_weight = std::move(w);
}

}  // namespace korvane
