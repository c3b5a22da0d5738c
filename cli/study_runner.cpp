#include "cli/study_runner.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/cli_host.h"
#include "cli/exit_codes.h"
#include "cli/progress.h"
#include "cli/search_run.h"
#include "study/runs_file.h"
#include "texts/cli_texts.h"
#include "texts/study_texts.h"

namespace korvane::cli {
namespace {

study::RunRecord FlyOne(const Options& o, const StudyWork& work, std::uint64_t index) {
  const study::Run run = work.grid.At(index);
  const study::Method& method = work.grid.Methods()[run.method];
  const study::Field& where = work.grid.Fields()[run.field];
  const SimParams p = WithVaried(o.params, run.varied);
  const auto start = std::chrono::steady_clock::now();
  CliHost host({"study", 0, false, false, false});
  const bool heuristic = method.kind != study::Method::Kind::Ga;
  const std::vector<double>& weights = work.weights[run.method];
  const SearchRun s = RunSearch(host, p, work.fields[run.field], run.seed, heuristic ? &weights : nullptr, 1);
  const RunEnd end = s.outcome.end;
  if (end != RunEnd::Escaped && end != RunEnd::NotEscaped) throw WriteFailure{text::En<Tx::RunStopped>(run.key)};
  study::RunRecord r;
  r.key = run.key;
  r.method = method.Search();
  r.weights = method.Weights();
  r.weightsFnv = work.weightsFnv[run.method];
  r.level = where.level;
  r.map = where.map;
  r.mapIndex = where.mapIndex;
  r.mapFnv = where.mapFnv;
  r.seed = run.seed;
  r.settings = study::ChangedSettings(p);
  r.escaped = end == RunEnd::Escaped;
  if (r.escaped) r.escapeGeneration = s.outcome.generation;
  for (const GenerationRecord& g : host.Generations()) r.generations.push_back({g.generation, g.best, g.average});
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return r;
}

}  // namespace

StudyTally FlyStudy(const Options& o, const StudyWork& work, RunsAppender& out) {
  const std::vector<std::uint64_t>& runs = work.pending;
  StudyTally tally;
  Progress progress("study", static_cast<int>(runs.size()), !o.quiet);
  std::mutex mutex;  // guards the file, the tally, the progress and the failure
  std::optional<WriteFailure> failure;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  auto worker = [&] {
    for (std::size_t i; !stop && (i = next++) < runs.size();) {
      try {
        const study::RunRecord r = FlyOne(o, work, runs[i]);
        const std::string line = study::FormatRunLine(r);
        std::lock_guard lock(mutex);
        if (failure) return;
        out.Append(line);
        ++tally.flown;
        tally.escaped += r.escaped;
        progress.Runs(tally.flown, tally.escaped);
      } catch (const WriteFailure& e) {
        std::lock_guard lock(mutex);
        if (!failure) failure = e;
        stop = true;
      } catch (const std::exception& e) {
        std::lock_guard lock(mutex);
        if (!failure) failure = WriteFailure{text::En<Tx::Unexpected>() + std::string(e.what())};
        stop = true;
      }
    }
  };
  const int threads = std::max(1, std::min<int>(o.threads, static_cast<int>(runs.size())));
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();
  progress.BreakLine();
  if (failure) throw *failure;
  return tally;
}

}  // namespace korvane::cli
