// study: every run of the grid that the runs file does not hold yet, flown
// on as many threads at once and appended line by line as each finishes.
#include <algorithm>
#include <cstdio>
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

// The fields as the runs fly them, and the study's fields named by them:
// a map by its contents, so that one map spelled two ways is one field.
std::vector<MeteorField> LoadFields(const Options& o, std::vector<study::Field>& where) {
  std::vector<MeteorField> fields;
  where = o.study.fields;
  std::map<std::string, std::string> named;  // key part → the map as given
  for (study::Field& f : where) {
    Options at = o;
    at.level = f.level;
    at.mapFile = f.map;
    at.mapIndex = f.mapIndex;
    fields.push_back(LoadField(at));
    if (f.level) continue;
    f.mapFnv = study::MapFnv(fields.back());
    const std::string given = f.map + ":" + std::to_string(f.mapIndex);
    if (const auto [seen, added] = named.emplace(f.KeyPart(), given); !added)
      Refuse(text::En<Tx::SameMapTwice>(seen->second, given));
  }
  return fields;
}

// The weights each heuristic method flies with, loaded as `ga --weights`
// loads them, and fitting the network of every varied combination. A
// method is loaded when a run needs it, or (but for a network trained
// here) to compare with the runs of it the file holds.
void LoadMethodWeights(const Options& o, const study::Grid& grid, const study::RunsFile& file, StudyWork& work) {
  const std::vector<study::Method>& methods = grid.Methods();
  work.weights.assign(methods.size(), {});
  work.weightsFnv.assign(methods.size(), std::nullopt);
  std::vector<bool> flown(methods.size(), false);
  for (const std::uint64_t i : work.pending) flown[grid.MethodOf(i)] = true;
  std::map<std::uint32_t, std::vector<double>> trained;
  using Kind = study::Method::Kind;
  for (std::size_t m = 0; m < methods.size(); ++m) {
    const study::Method& method = methods[m];
    const std::string name = method.Name();
    const bool inFile =
        std::any_of(file.runs.begin(), file.runs.end(), [&](auto& r) { return r.MethodName() == name; });
    if (method.kind == Kind::Ga || !(flown[m] || (inFile && method.kind != Kind::Train))) continue;
    if (method.kind == Kind::Train) {
      // Once per seed, under the study's settings.
      if (!trained.contains(method.trainSeed)) {
        if (!o.quiet) std::fprintf(stderr, "%s\n", text::En<Tx::StudyTraining>(method.trainSeed).c_str());
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
      work.weights[m] = trained[method.trainSeed];
    } else {
      Options w = o;
      w.weights = method.kind == Kind::Table     ? Options::Weights::Table
                  : method.kind == Kind::Builtin ? Options::Weights::Builtin
                                                 : Options::Weights::File;
      w.weightsFile = method.file;
      try {
        work.weights[m] = LoadWeightsFor(w, NetworkFor(o.params));
      } catch (const Refusal&) {
        if (flown[m]) throw;
        continue;  // nothing to fly with them: the file's runs stay unchecked
      }
    }
    work.weightsFnv[m] = study::WeightsFnv(work.weights[m]);
    if (!flown[m]) continue;
    for (std::uint64_t c = 0; c < grid.CombinationCount(); ++c) {
      const std::vector<study::Setting> varied = grid.Combination(c);
      const int need = CNeuralNet::WeightCountFor(WithVaried(o.params, varied));
      if (work.weights[m].size() != static_cast<std::size_t>(need))
        Refuse(text::En<Tx::RunRefused>(study::RunKey(method, grid.Fields().front(), varied, o.study.firstSeed),
                                        text::En<Tx::WeightsDoNotFit>(name, work.weights[m].size(), need)));
    }
  }
  // The file's runs of a method were flown with the network it names now.
  for (std::size_t i = 0; i < file.runs.size(); ++i) {
    const study::RunRecord& r = file.runs[i];
    for (std::size_t m = 0; m < methods.size(); ++m)
      if (r.weightsFnv && work.weightsFnv[m] && r.MethodName() == methods[m].Name() &&
          *r.weightsFnv != *work.weightsFnv[m])
        Refuse(text::En<Tx::OtherNetwork>(r.key, o.study.out, file.lines[i], study::FnvText(*r.weightsFnv),
                                          study::FnvText(*work.weightsFnv[m])));
  }
}

struct Counts {
  std::uint64_t runs = 0, already = 0, escapedAlready = 0;
};

// The runs of this shard the file does not hold, refusing those it holds
// with other settings, and what it holds of them.
Counts FindPending(const Options& o, const study::Grid& grid, const study::RunsFile& file, StudyWork& work) {
  const StudyPlan& plan = o.study;
  const bool maps = std::any_of(plan.fields.begin(), plan.fields.end(), [](auto& f) { return f.level == 0; });
  std::map<std::string_view, std::size_t> inFile;
  for (std::size_t i = 0; i < file.runs.size(); ++i) {
    const study::RunRecord& r = file.runs[i];
    // Keyed by the map's path: the same runs would be flown again under keys
    // of the map's contents.
    if (maps && r.level == 0 && !r.mapFnv) Refuse(text::En<Tx::OlderMapLine>(plan.out, file.lines[i]));
    inFile.emplace(r.key, i);
  }
  Counts counts;
  for (std::uint64_t i = 0; i < grid.Size(); ++i) {
    const study::Run r = grid.At(i);
    if (!study::InShard(r.key, plan.shard, plan.shards)) continue;
    ++counts.runs;
    const auto it = inFile.find(r.key);
    if (it == inFile.end()) {
      work.pending.push_back(i);
      continue;
    }
    const study::RunRecord& held = file.runs[it->second];
    if (held.settings != study::ChangedSettings(WithVaried(o.params, r.varied)))
      Refuse(text::En<Tx::OtherSettings>(r.key, plan.out, file.lines[it->second]));
    ++counts.already;
    counts.escapedAlready += held.escaped;
  }
  return counts;
}

}  // namespace

int RunStudy(const Options& o) {
  const StudyPlan& plan = o.study;
  std::vector<study::Field> where;
  std::vector<MeteorField> fields = LoadFields(o, where);
  const study::Grid grid(plan.methods, where, plan.vary, plan.firstSeed, plan.lastSeed);
  StudyWork work{grid, {}, std::move(fields), {}, {}};

  // The lock first, then what the file holds: those runs are not flown
  // again, unless they were flown with other settings or another network,
  // which is refused, the file left as it was.
  RunsAppender out(plan.out);
  study::RunsFile file;
  Counts counts;
  try {
    try {
      file = out.Read();
    } catch (const study::InputError& e) {
      Refuse(e.text);
    }
    counts = FindPending(o, grid, file, work);
    LoadMethodWeights(o, grid, file, work);
  } catch (const Refusal&) {
    out.Abandon();
    throw;
  }
  if (file.damagedLastLine) {
    Complain(text::En<Tx::LastLineCut>(plan.out, file.damagedLastLine));
    out.CutTo(file.goodBytes);
  }
  if (!o.quiet) std::fprintf(stderr, "%s\n", text::StudyStart(counts.runs, counts.already, plan.out).c_str());
  const StudyTally tally = FlyStudy(o, work, out);
  Json summary;
  summary["out"] = plan.out;
  summary["runs"] = counts.runs;
  summary["already"] = counts.already;
  summary["flown"] = tally.flown;
  summary["escaped"] = tally.escaped;
  summary["runs_in_file"] = counts.already + static_cast<std::uint64_t>(tally.flown);
  summary["escaped_in_file"] = counts.escapedAlready + static_cast<std::uint64_t>(tally.escaped);
  WriteJsonLine(summary);
  return kExitOk;
}

}  // namespace korvane::cli
