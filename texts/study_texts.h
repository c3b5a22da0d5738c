#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// What `korvane-cli study` and `report` say (English): help, refusals,
// progress and the report's table.
namespace korvane::text {

// --- help ---------------------------------------------------------------
inline constexpr const char* HelpStudy =
    "Fly every method on every level or map with every seed (and every combination of --vary), one JSON line "
    "per run appended to --out; run it again to go on where it stopped.";
inline constexpr const char* HelpReport =
    "Read the runs files of studies (the shards' files together) and print escape rates, escape generations "
    "and paired comparisons; --csv and --plots write them to files too.";
inline constexpr const char* HelpMethods =
    "ga, heuristic:table, heuristic:builtin, heuristic:FILE (a weights file, its last block) or "
    "heuristic:train=S (a network the study trains with seed S), comma-separated";
inline constexpr const char* HelpLevels = "built-in levels, comma-separated (1,2,3,4); with --maps, both are flown";
inline constexpr const char* HelpMaps =
    "maps of level files saved by the program, FILE:K comma-separated (a map is known by its meteors, however its "
    "file is named); with --levels, both are flown";
inline constexpr const char* HelpSeeds = "the seeds A to B (or one seed A), 0 to 4294967295";
inline constexpr const char* HelpOut =
    "the runs file (JSON lines), locked while the study runs; runs already in it are not flown again, a last line "
    "cut short is cut off, any other file is refused";
inline constexpr const char* HelpVary =
    "fly each of these values of a setting; repeat for more settings (every combination is flown)";
inline constexpr const char* HelpShard = "fly only shard K of N (by each run's key); each shard writes its own --out";
inline constexpr const char* HelpRunsFiles = "runs files written by study";
inline constexpr const char* HelpCsv =
    "write the cells to FILE, the pairs and the mean best-fitness curves beside it (FILE.pairs.csv, "
    "FILE.fitness.csv, without FILE's .csv)";
inline constexpr const char* HelpPlots =
    "draw escape_rate, escape_generation and fitness, each as .png and .svg, into DIR";

// --- refusals of arguments ----------------------------------------------
std::string StudyNeeds(std::string_view option);
inline constexpr const char* StudyNeedsField = "study needs --levels N,..., --maps FILE:K,... or both";
std::string EmptyListItem(std::string_view option, std::string_view list);
std::string GivenTwice(std::string_view option, std::string_view item);
std::string MethodChoice(std::string_view got);
std::string TrainSeed(std::string_view got);
std::string LevelChoice(std::string_view got);
std::string MapChoice(std::string_view got);
std::string SeedsChoice(std::string_view got);
std::string ShardChoice(std::string_view got);
std::string VaryForm(std::string_view got);
std::string SameMapTwice(std::string_view a, std::string_view b);
std::string VaryBoth(std::string_view a, std::string_view b);
std::string VaryAndSet(std::string_view name);
// what: the combination of varied values ("A=1 B=2").
std::string VaryRefused(std::string_view what, std::string_view reason);
std::string StudyTooLarge(double runs);
inline constexpr const char* ReportNeedsFiles = "report needs at least one runs file";
inline constexpr const char* PlotsUnavailable = "plots are not available in this build (it was built without Qt)";
std::string NeedsDirectoryName(std::string_view option);
std::string OutputIsInput(std::string_view option, std::string_view output, std::string_view input);
std::string NotADirectory(std::string_view option, std::string_view path);

// --- runs files -----------------------------------------------------------
std::string RunsFileMissing(std::string_view path);
std::string RunsFileUnreadable(std::string_view path);
std::string RunsFileNotRegular(std::string_view path);
// why: what is wrong with the line (RunLineField and the like).
std::string RunsLineDamaged(std::string_view path, int line, std::string_view why);
std::string RunsLastLineDamaged(std::string_view path, int line, std::string_view why);
std::string RunsLineTooLong(std::string_view path, int line, std::size_t cap);
inline constexpr const char* RunLineNotObject = "it is not a JSON object";
std::string RunLineField(std::string_view field);
inline constexpr const char* RunLineKeyMismatch = "its \"key\" does not name its method, field and seed";
std::string OlderMapLine(std::string_view path, int line);
std::string OtherNetwork(std::string_view key, std::string_view path, int line, std::string_view then,
                         std::string_view now);
std::string CellNetworksDiffer(std::string_view a, std::string_view fnvA, std::string_view b, std::string_view fnvB);
std::string RunsFileInUse(std::string_view path);
std::string NoRuns(std::size_t files);
std::string LastLineCut(std::string_view path, int line);
std::string LastLineLeftOut(std::string_view path, int line);
std::string OtherSettings(std::string_view key, std::string_view path, int line);
std::string RunsDisagree(std::string_view key, std::string_view a, std::string_view b);
std::string CellSettingsDiffer(std::string_view key, std::string_view cell);
std::string CannotTruncate(std::string_view path, std::string_view why);
std::string CannotAppend(std::string_view path, std::string_view why);
std::string CannotWriteFile(std::string_view path, std::string_view why);
std::string RunStopped(std::string_view key);
std::string RunRefused(std::string_view key, std::string_view reason);

// --- progress -------------------------------------------------------------
// "study: 1200 runs, 400 already in runs.jsonl, 800 to fly"
std::string StudyStart(std::size_t runs, std::size_t done, std::string_view path);
std::string StudyTraining(unsigned seed);
// "[######........] 12/800 runs, 5 escaped"
std::string StudyBar(int done, int total, int escaped);
// "study: 12 of 800 runs flown, 5 escaped"
std::string StudyLine(int done, int total, int escaped);

// --- the report -------------------------------------------------------------
std::string ReportSummary(int runs, std::size_t cells, std::string_view common);
inline constexpr const char* ReportCellsTitle =
    "Escapes: the share of runs that escaped with its 95 % Wilson interval, the quartiles of the escape "
    "generation over the runs that escaped, and the mean best fitness after the last generation.";
inline constexpr std::array<const char*, 11> ReportCellHeader = {
    "field", "method", "settings", "runs", "escaped", "rate", "95 % interval", "q1", "median", "q3", "final best"};
inline constexpr const char* ReportPairsTitle =
    "Paired by seed: a run that escapes beats one that does not, the sooner escape beats the later; the sign "
    "test is exact and two-sided, ties left out.";
inline constexpr std::array<const char*, 9> ReportPairHeader = {
    "field", "settings", "A", "B", "pairs", "A wins", "B wins", "ties", "sign test p"};

// --- the plots ---------------------------------------------------------------
inline constexpr const char* PlotRateTitle = "Escape rate and its 95 % Wilson interval";
inline constexpr const char* PlotRateAxis = "runs that escaped";
inline constexpr const char* PlotGenerationTitle =
    "Escape generation of the runs that escaped: quartiles, median, first and last";
inline constexpr const char* PlotGenerationAxis = "generation";
inline constexpr const char* PlotFitnessAxis = "mean best fitness";
inline constexpr const char* PlotSettingsKey = "Under each field, the values of ";
inline constexpr const char* PlotNotSaved = "the picture could not be saved";

}  // namespace korvane::text
