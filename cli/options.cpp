#include "cli/options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "engine/parallel.h"
#include "sim/meteor_field.h"
#include "sim/run_memory.h"
#include "texts/cli_texts.h"
#include "texts/study_texts.h"
#include "texts/version_texts.h"

namespace korvane::cli {
namespace {

// The values as typed, before they are checked.
struct Raw {
  std::string level, map, mapIndex, seed, weights, block, weightsOut, plan, variant, threads;
  std::string methods, levels, maps, seeds, out, shard, csv, plots;
  std::vector<std::string> sets, vary, files;
  bool heuristic = false, stream = false, quiet = false, json = false;
};

enum : unsigned { kGa = 1, kTrain = 2, kFlyNet = 4, kFlyPlan = 8, kSettings = 16, kStudy = 32, kReport = 64 };
constexpr unsigned kFlights = kGa | kFlyNet | kFlyPlan;
constexpr unsigned kRuns = kFlights | kTrain | kStudy;

struct CommandDef {
  const char* name;
  Command command;
  unsigned bit;
  Tx help;
};
const CommandDef kCommands[] = {
    {"ga", Command::Ga, kGa, Tx::HelpGa},
    {"train", Command::Train, kTrain, Tx::HelpTrain},
    {"fly-net", Command::FlyNet, kFlyNet, Tx::HelpFlyNet},
    {"fly-plan", Command::FlyPlan, kFlyPlan, Tx::HelpFlyPlan},
    {"settings", Command::Settings, kSettings, Tx::HelpSettings},
    {"study", Command::Study, kStudy, Tx::HelpStudy},
    {"report", Command::Report, kReport, Tx::HelpReport},
};

// A Positional option is added only to the commands that use it, so that a
// stray word elsewhere stays an unexpected argument.
enum class Kind { Value, File, Switch, List, Positional };

// Every option and the commands that use it. Each command parses all of
// them, the ones it does not use hidden from its help, so that one given to
// the wrong command is refused by name rather than as unknown.
struct OptionDef {
  const char* flag;
  const char* value;  // the value's name in the help
  Kind kind;
  unsigned commands;
  Tx help;
  std::string Raw::*text = nullptr;
  bool Raw::*on = nullptr;
  std::vector<std::string> Raw::*list = nullptr;
};
const OptionDef kOptions[] = {
    {"--level", "N", Kind::Value, kFlights, Tx::HelpLevel, &Raw::level},
    {"--map", "FILE", Kind::File, kFlights, Tx::HelpMap, &Raw::map},
    {"--map-index", "K", Kind::Value, kFlights, Tx::HelpMapIndex, &Raw::mapIndex},
    {"--seed", "S", Kind::Value, kGa | kTrain, Tx::HelpSeed, &Raw::seed},
    {"--heuristic", "", Kind::Switch, kGa, Tx::HelpHeuristic, nullptr, &Raw::heuristic},
    {"--weights", "W", Kind::File, kFlights, Tx::HelpWeights, &Raw::weights},
    {"--block", "N", Kind::Value, kFlights, Tx::HelpBlock, &Raw::block},
    {"--weights-out", "FILE", Kind::File, kTrain, Tx::HelpWeightsOut, &Raw::weightsOut},
    {"--threads", "N", Kind::Value, kGa | kTrain | kStudy, Tx::HelpThreads, &Raw::threads},
    {"--plan", "FILE", Kind::File, kFlyPlan, Tx::HelpPlan, &Raw::plan},
    {"--variant", "V", Kind::Value, kFlyPlan, Tx::HelpVariant, &Raw::variant},
    {"--set", "Name=Value", Kind::List, kRuns, Tx::HelpSet, nullptr, nullptr, &Raw::sets},
    {"--stream", "", Kind::Switch, kGa | kTrain, Tx::HelpStream, nullptr, &Raw::stream},
    {"--quiet", "", Kind::Switch, kGa | kTrain | kStudy, Tx::HelpQuiet, nullptr, &Raw::quiet},
    {"--json", "", Kind::Switch, kSettings, Tx::HelpJson, nullptr, &Raw::json},
    {"--methods", "M,...", Kind::Value, kStudy, Tx::HelpMethods, &Raw::methods},
    {"--levels", "N,...", Kind::Value, kStudy, Tx::HelpLevels, &Raw::levels},
    {"--maps", "FILE:K,...", Kind::Value, kStudy, Tx::HelpMaps, &Raw::maps},
    {"--seeds", "A-B", Kind::Value, kStudy, Tx::HelpSeeds, &Raw::seeds},
    {"--out", "FILE", Kind::File, kStudy, Tx::HelpOut, &Raw::out},
    {"--vary", "Name=v1,v2", Kind::List, kStudy, Tx::HelpVary, nullptr, nullptr, &Raw::vary},
    {"--shard", "K/N", Kind::Value, kStudy, Tx::HelpShard, &Raw::shard},
    {"runs", "FILE", Kind::Positional, kReport, Tx::HelpRunsFiles, nullptr, nullptr, &Raw::files},
    {"--csv", "FILE", Kind::File, kReport, Tx::HelpCsv, &Raw::csv},
    {"--plots", "DIR", Kind::Value, kReport, Tx::HelpPlots, &Raw::plots},
};

[[noreturn]] void Fail(std::string text) { throw ArgumentError{std::move(text), {}}; }

long long Whole(const char* option, const std::string& s, long long lo, long long hi) {
  long long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi)
    Fail(text::En<Tx::WholeNumberFrom>(option, lo, hi, s));
  return v;
}

// Error codes rather than exceptions: a path we may not look into is
// neither a directory nor writable, not a crash.
bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

// A path that is there but is neither a regular file nor a directory (a
// FIFO, a device): reading it could wait forever, or never end.
bool IsIrregular(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool CanWrite(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(path, ec)) return ::access(path.c_str(), W_OK) == 0;
  const fs::path dir = fs::path(path).parent_path();
  return ::access(dir.empty() ? "." : dir.c_str(), W_OK | X_OK) == 0;
}

// The settings: each --set in turn, then every setting's own limits, so
// that a limit that depends on another setting sees the final value of
// both. The limits that tie settings together wait for the command
// (RunScopeOf): they apply only to what it runs.
SimParams CheckSettings(const std::vector<std::string>& sets) {
  SimParams p;
  std::map<std::string, std::string> typed;
  for (const std::string& assignment : sets) {
    if (std::string error = ApplySetting(p, assignment); !error.empty()) Fail(error);
    const auto eq = assignment.find('=');
    typed[assignment.substr(0, eq)] = assignment.substr(eq + 1);
  }
  for (const auto& [name, value] : typed)
    if (auto problem = CheckParam(p, name)) Fail(text::En<Tx::SettingGot>(problem->reason, value));
  RunScope nothing;
  nothing.planSearch = nothing.network = nothing.training = false;
  if (auto problem = CheckParams(p, nothing)) Fail(problem->reason);
  return p;
}

// KORVANE_MEMORY_LIMIT_MIB lowers the memory budget (a test measures a run
// near it); it cannot raise it.
double MemoryBudget() {
  const char* mib = std::getenv("KORVANE_MEMORY_LIMIT_MIB");
  if (!mib || !*mib) return RunMemoryBudget;
  return static_cast<double>(Whole("KORVANE_MEMORY_LIMIT_MIB", mib, 1, 2048)) * 1024 * 1024;
}

// What the command runs: a plan search, a network, training.
RunScope RunScopeOf(Command command, const Options& o) {
  RunScope scope;
  scope.paths = false;
  scope.threads = o.threads;
  scope.budget = MemoryBudget();
  scope.planSearch = command == Command::Ga || command == Command::Study;
  scope.training = command == Command::Train;
  scope.network = (command == Command::Ga && o.heuristic) || command == Command::FlyNet ||
                  (command == Command::FlyPlan && o.variant == FlyVariant::Heuristic);
  if (command == Command::Study) {
    using Kind = study::Method::Kind;
    for (const study::Method& m : o.study.methods) {
      scope.network = scope.network || m.kind != Kind::Ga;
      scope.training = scope.training || m.kind == Kind::Train;
    }
    scope.runsAtOnce = o.threads;
  }
  return scope;
}

void CheckStudy(const Raw& r, const std::set<std::string_view>& typed, Options& o) {
  StudyPlan& plan = o.study;
  plan.methods = ParseMethods(r.methods);
  plan.fields = ParseFields(r.levels, r.maps);
  for (const study::Method& m : plan.methods)
    if (m.kind == study::Method::Kind::File && IsIrregular(m.file))
      Fail(text::En<Tx::NotRegularFile>("--methods", m.file));
  for (const study::Field& f : plan.fields)
    if (!f.level && IsIrregular(f.map)) Fail(text::En<Tx::NotRegularFile>("--maps", f.map));
  ParseSeeds(r.seeds, plan);
  if (!typed.contains("--out")) Fail(text::En<Tx::StudyNeeds>("--out"));
  plan.out = r.out;
  if (!CanWrite(plan.out)) Fail(text::En<Tx::CannotWriteTo>("--out", plan.out));
  if (typed.contains("--shard")) ParseShard(r.shard, plan);
  plan.vary = ParseVary(r.vary, r.sets);
  const double runs =
      study::GridSize(plan.methods.size(), plan.fields.size(), plan.vary, plan.firstSeed, plan.lastSeed);
  if (runs > kMaxStudyRuns) Fail(text::StudyTooLarge(runs));
  RunScope scope = RunScopeOf(Command::Study, o);
  scope.runsAtOnce = static_cast<int>(std::min<double>(scope.runsAtOnce, runs));
  CheckVaried(plan.vary, o.params, scope);
}

// The one place that checks a command line. `typed` holds the options
// given, an empty value included.
Options Check(const CommandDef& cmd, const Raw& r, const std::set<std::string_view>& typed) {
  for (const OptionDef& def : kOptions) {
    if (!typed.contains(def.flag)) continue;
    if (!(def.commands & cmd.bit)) Fail(text::En<Tx::NotUsedBy>(cmd.name, def.flag));
    if (def.kind != Kind::File && def.text != &Raw::plots) continue;
    const std::string& path = r.*def.text;
    // `--weights-out --quiet`: the value was left out and the next option
    // taken for it.
    if (path.starts_with("--")) Fail(text::En<Tx::LooksLikeOption>(def.flag, path));
    if (def.kind != Kind::File) continue;
    if (path.empty()) Fail(text::En<Tx::NeedsFileName>(def.flag));
    if (IsDirectory(path)) Fail(text::En<Tx::IsDirectory>(def.flag, path));
    const bool read = def.text == &Raw::map || def.text == &Raw::plan ||
                      (def.text == &Raw::weights && path != "table" && path != "builtin");
    if (read && IsIrregular(path)) Fail(text::En<Tx::NotRegularFile>(def.flag, path));
  }
  auto number = [&](const char* flag, const std::string& s, long long lo, long long hi, long long otherwise) {
    return typed.contains(flag) ? Whole(flag, s, lo, hi) : otherwise;
  };
  Options o;
  o.command = cmd.command;
  o.commandName = cmd.name;
  o.heuristic = r.heuristic;
  o.stream = r.stream;
  o.quiet = r.quiet;
  o.json = r.json;
  o.mapFile = r.map;
  // builtin and table name the two sets; anything else is a file (./table
  // for a file of that name).
  o.weights = r.weights == "table"                          ? Options::Weights::Table
              : r.weights == "builtin" || r.weights.empty() ? Options::Weights::Builtin
                                                            : Options::Weights::File;
  if (o.weights == Options::Weights::File) o.weightsFile = r.weights;
  o.block = static_cast<int>(number("--block", r.block, 1, 2147483647, 0));
  if (o.block != 0 && o.weights != Options::Weights::File) Fail(text::En<Tx::BlockNeedsFile>());
  o.weightsOut = r.weightsOut;
  o.planFile = r.plan;
  o.level = static_cast<int>(number("--level", r.level, 1, BuiltInLevelCount, 0));
  o.mapIndex = static_cast<int>(number("--map-index", r.mapIndex, 1, 2147483647, 0));
  o.seed = static_cast<std::uint32_t>(number("--seed", r.seed, 0, 4294967295LL, std::time(nullptr)));
  o.threads = static_cast<int>(number("--threads", r.threads, 1, 256, DefaultThreadCount()));
  if (r.variant == "heuristic")
    o.variant = FlyVariant::Heuristic;
  else if (r.variant == "step")
    o.variant = FlyVariant::StepByStep;
  else if (typed.contains("--variant") && r.variant != "ga")
    Fail(text::En<Tx::VariantChoice>(r.variant));
  o.params = CheckSettings(r.sets);

  if (cmd.bit & kFlights) {
    const bool haveMap = !o.mapFile.empty() || o.mapIndex != 0;
    if (o.level != 0 && haveMap) Fail(text::En<Tx::LevelAndMap>());
    if (!haveMap && o.level == 0) Fail(text::En<Tx::NeedsField>(cmd.name));
    if (haveMap && o.mapFile.empty()) Fail(text::En<Tx::MapIndexNeedsMap>());
    if (haveMap && o.mapIndex == 0) Fail(text::En<Tx::MapNeedsIndex>());
  }
  const bool weightsGiven = typed.contains("--weights");
  if (cmd.command == Command::Ga && weightsGiven && !o.heuristic) Fail(text::En<Tx::WeightsNeedHeuristic>());
  if (cmd.command == Command::FlyPlan) {
    if (o.planFile.empty()) Fail(text::En<Tx::NeedsPlan>());
    if (weightsGiven && o.variant != FlyVariant::Heuristic) Fail(text::En<Tx::WeightsNeedHeuristicVariant>());
  }
  // Refused before the training time is spent, not after.
  if (!o.weightsOut.empty() && !CanWrite(o.weightsOut))
    Fail(text::En<Tx::CannotWriteTo>("--weights-out", o.weightsOut));
  // A study checks each combination of its settings instead (CheckVaried).
  if (cmd.command == Command::Study)
    CheckStudy(r, typed, o);
  else if (auto problem = CheckCombinations(o.params, RunScopeOf(cmd.command, o)))
    Fail(problem->reason);
  if (cmd.command == Command::Report) {
    if (r.files.empty()) Fail(text::En<Tx::ReportNeedsFiles>());
    o.runsFiles = r.files;
    o.csv = r.csv;
    o.plots = r.plots;
    if (!o.csv.empty() && !CanWrite(o.csv)) Fail(text::En<Tx::CannotWriteTo>("--csv", o.csv));
    if (typed.contains("--plots")) {
#ifndef KORVANE_HAS_PLOTS
      Fail(text::En<Tx::PlotsUnavailable>());
#endif
      if (o.plots.empty()) Fail(text::En<Tx::NeedsDirectoryName>("--plots"));
      std::error_code ec;
      if (std::filesystem::exists(o.plots, ec) && !IsDirectory(o.plots))
        Fail(text::En<Tx::NotADirectory>("--plots", o.plots));
    }
  }
  return o;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  if (argc < 2) throw ArgumentError{text::NoCommand(), {}};
  const std::string_view first = argv[1];
  if (first.empty() || first[0] != '-') {
    bool known = false;
    for (const CommandDef& c : kCommands) known = known || first == c.name;
    if (!known) throw ArgumentError{text::UnknownCommand(first), {}};
  } else if (first != "-h" && first != "--help" && first != "--version") {
    throw ArgumentError{text::OptionBeforeCommand(first), {}};
  }
  // `ga -level 1`: an option with one dash is taken for letters, then refused
  // as something else; say what it is.
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.size() < 3 || arg[0] != '-' || arg[1] == '-') continue;
    for (const OptionDef& def : kOptions)
      if (arg == std::string_view(def.flag).substr(1))
        throw ArgumentError{text::En<Tx::OneDash>(arg, def.flag), argv[1]};
  }
  Raw raw;
  CLI::App app{text::En<Tx::CliAbout>(), "korvane-cli"};
  app.footer(text::En<Tx::CliFooter>());
  app.set_version_flag("--version", text::VersionText("korvane-cli"));
  app.require_subcommand(1);
  std::vector<std::pair<CLI::App*, std::vector<CLI::Option*>>> parsed;
  for (const CommandDef& c : kCommands) {
    CLI::App* sub = app.add_subcommand(c.name, std::string(text::En(c.help)));
    std::vector<CLI::Option*> opts;
    for (const OptionDef& def : kOptions) {
      if (def.kind == Kind::Positional && !(def.commands & c.bit)) {
        opts.push_back(nullptr);
        continue;
      }
      const std::string help(text::En(def.help));
      CLI::Option* opt = def.on                         ? sub->add_flag(def.flag, raw.*def.on, help)
                         : def.kind == Kind::Positional ? sub->add_option(def.flag, raw.*def.list, help)
                         : def.list ? sub->add_option(def.flag, raw.*def.list, help)->allow_extra_args(false)
                                    : sub->add_option(def.flag, raw.*def.text, help);
      opt->type_name(def.value);
      if (!(def.commands & c.bit)) opt->group("");
      opts.push_back(opt);
    }
    parsed.emplace_back(sub, std::move(opts));
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    return {Options{}, app.help()};
  } catch (const CLI::CallForVersion& e) {
    return {Options{}, e.what()};
  } catch (const CLI::ParseError& e) {
    std::string command;
    for (const auto& [sub, opts] : parsed)
      if (sub->parsed()) command = sub->get_name();
    throw ArgumentError{e.what(), command};
  }
  for (std::size_t c = 0; c < parsed.size(); ++c) {
    if (!parsed[c].first->parsed()) continue;
    std::set<std::string_view> typed;
    for (std::size_t i = 0; i < std::size(kOptions); ++i)
      if (parsed[c].second[i] && parsed[c].second[i]->count() > 0) typed.insert(kOptions[i].flag);
    try {
      return {Check(kCommands[c], raw, typed), {}};
    } catch (ArgumentError& e) {
      e.command = kCommands[c].name;
      throw;
    }
  }
  throw ArgumentError{text::UnknownCommand(""), {}};  // require_subcommand(1) makes this unreachable
}

}  // namespace korvane::cli
