#include "cli/commands.h"

#include <cstdio>

#include "cli/cli_host.h"
#include "cli/exit_codes.h"
#include "cli/inputs.h"
#include "cli/output.h"
#include "cli/search_run.h"
#include "engine/autopilot.h"
#include "ui_model/trained_weights_save.h"
#include "texts/cli_texts.h"

namespace korvane::cli {
namespace {

CliHost::Setup HostSetup(const Options& o, int totalGenerations) {
  return {o.commandName, totalGenerations, !o.quiet, o.stream, !o.quiet};
}

Json GenerationsJson(const CliHost& host) {
  Json list = Json::array();
  for (const GenerationRecord& g : host.Generations())
    list.push_back(Json{{"generation", g.generation}, {"best", g.best}, {"average", g.average}});
  return list;
}

// The final object; a stream that failed on the way ends the call instead.
void Finish(CliHost& host, const Json& result) {
  host.EndProgress();
  if (host.StreamFailure()) throw WriteFailure{*host.StreamFailure()};
  WriteJsonLine(result);
}

int RunGa(const Options& o) {
  const std::vector<double> weights = o.heuristic ? LoadWeightsFor(o, NetworkFor(o.params)) : std::vector<double>();
  const MeteorField field = LoadField(o);
  CliHost host(HostSetup(o, o.params.MaxGenerations + 1));
  const SearchRun run = RunSearch(host, o.params, field, o.seed, o.heuristic ? &weights : nullptr, o.threads);
  const RunOutcome& r = run.outcome;
  const CPlanGenome& best = run.best;
  const bool escaped = r.end == RunEnd::Escaped;
  Json out;
  out["escaped"] = escaped;
  out["escape_generation"] = escaped ? Json(r.generation) : Json(nullptr);
  out["escape_plan"] = escaped ? Json(r.plan) : Json(nullptr);
  out["generations"] = GenerationsJson(host);
  out["best_plan"] = Json{{"actions", best.m_actions}, {"durations", best.m_durations}, {"fitness", best.m_fitness}};
  out["messages"] = host.Messages();
  Finish(host, out);
  return kExitOk;
}

int RunTrain(const Options& o) {
  PilotResults results;
  CNeuralNet net;
  CWeightGA weightGA;
  CliHost host(HostSetup(o, std::min(o.params.TrainingGenerations, CWeightGA::MaxHistory)));
  const TrainedAndSaved t = TrainAndSave(host, results, {o.params, o.seed, o.threads}, weightGA, net, o.weightsOut);
  const RunOutcome& r = t.outcome;
  const bool saved = t.saved == SaveResult::Ok;
  Json out;
  out["generations"] = GenerationsJson(host);
  out["best_fitness"] = r.best;
  out["weights"] = results.Weights();
  out["messages"] = host.Messages();
  Finish(host, out);
  // The weights are printed all the same, so the training time is not lost.
  if (!o.weightsOut.empty() && !saved) {
    Complain(text::En<Tx::WeightsNotWritten>(o.weightsOut));
    return kExitFailed;
  }
  return kExitOk;
}

const char* NetOutcome(NetFlightEnd end) {
  switch (end) {
    case NetFlightEnd::Escaped: return "escaped";
    case NetFlightEnd::Crashed: return "crashed";
    case NetFlightEnd::Stalled: return "stalled";
    case NetFlightEnd::Timeout: return "timeout";
    case NetFlightEnd::NetworkMismatch: break;
  }
  Refuse(text::En<Tx::NetworkDoesNotFit>());
}

int RunFlyNet(const Options& o) {
  CNeuralNet net = NetworkFor(o.params);
  net.LoadWeights(LoadWeightsFor(o, net));
  const MeteorField field = LoadField(o);
  FlightState fs;
  const NetFlightResult r = CAutoPilot::FlyNetworkScored(fs, net, o.params, field);
  Json out;
  out["outcome"] = NetOutcome(r.end);
  out["ticks"] = r.ticks;
  out["x"] = fs.boat.m_position.x;
  out["y"] = fs.boat.m_position.y;
  out["vx"] = fs.boat.m_velocity.x;
  out["vy"] = fs.boat.m_velocity.y;
  out["score"] = r.score;
  WriteJsonLine(out);
  return kExitOk;
}

int RunFlyPlan(const Options& o) {
  CPlanGenome plan = LoadPlan(o);
  CNeuralNet net = NetworkFor(o.params);
  if (o.variant == FlyVariant::Heuristic) net.LoadWeights(LoadWeightsFor(o, net));
  const MeteorField field = LoadField(o);
  FlightState fs;
  const PlanFlightResult r = CAutoPilot::FlyPlan(fs, plan, o.variant, o.params, field, &net);
  const char* outcome = "finished";
  if (r.outcome == FlyOutcome::InvalidCode) {
    outcome = "invalid";
    std::fprintf(stderr, "%s\n", text::En<Tx::SaidInvalidCode>(0, r.badGene, r.badCode).c_str());
  } else if (r.outcome == FlyOutcome::Escaped) {
    outcome = "escaped";
    // The search stops here without scoring; report the flight as it stands.
    CAutoPilot::ScorePlan(fs, plan, o.params);
  } else if (r.outcome == FlyOutcome::NetworkMismatch) {
    Refuse(text::En<Tx::NetworkDoesNotFit>());
  }
  Json out;
  out["outcome"] = outcome;
  out["fitness"] = plan.m_fitness;
  out["energy"] = plan.m_energyScore;
  out["safety"] = plan.m_safetyScore;
  out["time"] = plan.m_timeScore;
  out["ticks"] = fs.m_tickCount;
  out["thrusts"] = fs.m_thrustCount;
  out["x"] = fs.boat.m_position.x;
  out["y"] = fs.boat.m_position.y;
  WriteJsonLine(out);
  return kExitOk;
}

}  // namespace

int RunCommand(const Options& o) {
  switch (o.command) {
    case Command::Ga: return RunGa(o);
    case Command::Train: return RunTrain(o);
    case Command::FlyNet: return RunFlyNet(o);
    case Command::FlyPlan: return RunFlyPlan(o);
    case Command::Settings: return RunSettings(o);
    case Command::Study: return RunStudy(o);
    case Command::Report: return RunReport(o);
  }
  return kExitRefused;
}

}  // namespace korvane::cli
