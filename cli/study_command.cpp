// study: every run of the grid that the runs file does not hold yet, flown
// on as many threads at once and appended line by line as each finishes.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/inputs.h"
#include "cli/output.h"
#include "cli/runs_appender.h"
#include "cli/study_runner.h"
#include "engine/autopilot.h"
#include "study/runs_file.h"
#include "texts/cli_texts.h"
#include "texts/study_texts.h"

namespace korvane::cli {
namespace {

// The weights each heuristic method flies with, loaded as `ga --weights`
// loads them, and fitting the network of every varied combination.
std::vector<std::vector<double>> LoadMethodWeights(const Options& o, const std::vector<study::Run>& pending) {
  const StudyPlan& plan = o.study;
  std::vector<std::vector<double>> weights(plan.methods.size());
  std::map<std::uint32_t, std::vector<double>> trained;
  for (std::size_t m = 0; m < plan.methods.size(); ++m) {
    const study::Method& method = plan.methods[m];
    using Kind = study::Method::Kind;
    // Weights are read, or trained, only when a run needs them.
    const bool needed = std::any_of(pending.begin(), pending.end(), [&](auto& r) { return r.method == int(m); });
    if (method.kind == Kind::Ga || !needed) continue;
    if (method.kind == Kind::Train) {
      // Once per seed, under the study's settings.
      if (!trained.contains(method.trainSeed)) {
        if (!o.quiet) std::fprintf(stderr, "%s\n", text::StudyTraining(method.trainSeed).c_str());
        CAutoPilot pilot;
        pilot.SetThreads(o.threads);
        CNeuralNet net;
        CWeightGA weightGA;
        const int gens = std::min(o.params.TrainingGenerations, CWeightGA::MaxHistory);
        CliHost host({"train", gens, !o.quiet, false, false});
        pilot.TrainNetwork(host, o.params, weightGA, net, method.trainSeed);
        host.EndProgress();
        trained[method.trainSeed] = pilot.Weights();
      }
      weights[m] = trained[method.trainSeed];
    } else {
      Options w = o;
      w.weights = method.kind == Kind::Table     ? Options::Weights::Table
                  : method.kind == Kind::Builtin ? Options::Weights::Builtin
                                                 : Options::Weights::File;
      w.weightsFile = method.file;
      weights[m] = LoadWeightsFor(w, NetworkFor(o.params));
    }
  }
  for (const study::Run& r : pending) {
    const auto& w = weights[r.method];
    if (plan.methods[r.method].kind == study::Method::Kind::Ga) continue;
    const int need = NetworkFor(WithVaried(o.params, r.varied)).WeightCount();
    if (w.size() != static_cast<std::size_t>(need))
      Refuse(text::RunRefused(r.key, text::WeightsDoNotFit(plan.methods[r.method].Name(), w.size(), need)));
  }
  return weights;
}

std::vector<MeteorField> LoadFields(const Options& o) {
  std::vector<MeteorField> fields;
  for (const study::Field& f : o.study.fields) {
    Options at = o;
    at.level = f.level;
    at.mapFile = f.map;
    at.mapIndex = f.mapIndex;
    fields.push_back(LoadField(at));
  }
  return fields;
}

}  // namespace

int RunStudy(const Options& o) {
  const StudyPlan& plan = o.study;
  std::vector<study::Run> grid =
      study::ExpandGrid(plan.methods, plan.fields, plan.vary, plan.firstSeed, plan.lastSeed);
  std::erase_if(grid, [&](const study::Run& r) { return !study::InShard(r.key, plan.shard, plan.shards); });
  const std::vector<MeteorField> fields = LoadFields(o);

  // What the file holds already: those runs are not flown again, unless
  // they were flown with other settings, which is refused.
  // Only a regular file is read back: /dev/null or a pipe holds no runs.
  study::RunsFile file;
  std::error_code ec;
  try {
    if (std::filesystem::is_regular_file(plan.out, ec)) file = study::ReadRunsFile(plan.out);
  } catch (const study::InputError& e) {
    Refuse(e.text);
  }
  std::map<std::string_view, std::size_t> inFile;
  for (std::size_t i = 0; i < file.runs.size(); ++i) inFile.emplace(file.runs[i].key, i);
  std::vector<study::Run> pending;
  for (study::Run& r : grid) {
    const auto it = inFile.find(r.key);
    if (it == inFile.end()) {
      pending.push_back(std::move(r));
    } else if (file.runs[it->second].settings != study::ChangedSettings(WithVaried(o.params, r.varied))) {
      Refuse(text::OtherSettings(r.key, plan.out, file.lines[it->second]));
    }
  }
  const std::vector<std::vector<double>> weights = LoadMethodWeights(o, pending);

  RunsAppender out(plan.out);
  if (file.damagedLastLine) {
    Complain(text::LastLineCut(plan.out, file.damagedLastLine));
    out.CutTo(file.goodBytes);
  }
  if (!o.quiet) std::fprintf(stderr, "%s\n", text::StudyStart(grid.size(), grid.size() - pending.size(), plan.out).c_str());
  const StudyTally tally = FlyStudy(o, pending, fields, weights, out);
  Json summary;
  summary["out"] = plan.out;
  summary["runs"] = grid.size();
  summary["already"] = grid.size() - pending.size();
  summary["flown"] = tally.flown;
  summary["escaped"] = tally.escaped;
  WriteJsonLine(summary);
  return kExitOk;
}

}  // namespace korvane::cli
