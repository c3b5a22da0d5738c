#pragma once
#include <string>
#include <string_view>

// What korvane-cli says: its help, its refusals and its progress (English).
namespace korvane::text {

// --- help ---------------------------------------------------------------
inline constexpr const char* CliAbout =
    "korvane-cli: the engine of Korvane without a window. Prints one JSON object on stdout;\n"
    "messages and progress go to stderr.";
inline constexpr const char* CliFooter =
    "Exit status: 0 done; 1 a write failed (stdout or an output file) or the run failed;\n"
    "2 a bad argument or an input that cannot be used (nothing is printed on stdout).\n"
    "Numbers that are not finite are printed as null. 'korvane-cli COMMAND --help' tells\n"
    "about a command.";

inline constexpr const char* HelpGa =
    "Search a flight plan with the genetic algorithm (--heuristic: the network repairs crashed plans). "
    "escape_generation counts the generations completed before the escape, as the window's score panel does (0: a "
    "plan of the first generation escaped); the escape happens in generation escape_generation + 1, as the "
    "window's CSV export numbers it, one past the last entry of \"generations\" (which counts from 1).";
inline constexpr const char* HelpTrain = "Train the network by evolving its weights on the four built-in levels.";
inline constexpr const char* HelpFlyNet = "Fly the network once under the training rules.";
inline constexpr const char* HelpFlyPlan = "Fly a flight plan read from a JSON file.";
inline constexpr const char* HelpSettings = "List every setting with its default, limits and meaning.";

inline constexpr const char* HelpLevel = "built-in level 1 to 4";
inline constexpr const char* HelpMap = "a level file saved by the program (ObstacleMap.txt); needs --map-index";
inline constexpr const char* HelpMapIndex = "map K, from 1, of the --map file";
inline constexpr const char* HelpSeed = "seed of the run, 0 to 4294967295 (default: the time)";
inline constexpr const char* HelpHeuristic = "let the network repair crashed plans";
inline constexpr const char* HelpWeights =
    "the network's weights: builtin (the trained set in force at start, the default), table (the weight table "
    "the program was given), or a file in the format of weights.txt (its last block, or --block N)";
inline constexpr const char* HelpBlock = "block N, from 1, of the --weights file";
inline constexpr const char* HelpWeightsOut = "append the trained weights to FILE as the program appends to weights.txt";
inline constexpr const char* HelpThreads =
    "threads, 1 to 256 (default: every core): ga and train fly each generation on them, study flies as many runs "
    "at once; the numbers do not change";
inline constexpr const char* HelpPlan = "the plan: {\"actions\": [...], \"durations\": [...]}";
inline constexpr const char* HelpVariant = "ga, heuristic (flown with the network) or step (default: ga)";
inline constexpr const char* HelpSet = "change a setting; repeat for more ('korvane-cli settings' lists them)";
inline constexpr const char* HelpStream =
    "print {\"generation\", \"best\", \"average\"} as one JSON line per generation, then the result";
inline constexpr const char* HelpQuiet = "no progress on stderr";
inline constexpr const char* HelpJson = "print the list as JSON";

// "Try 'korvane-cli ga --help'." (command empty: the tool's help).
std::string HelpHint(std::string_view command);

// --- refusals of arguments ----------------------------------------------
std::string NoCommand();
std::string UnknownCommand(std::string_view name);
std::string NotUsedBy(std::string_view command, std::string_view option);
std::string OptionBeforeCommand(std::string_view option);
std::string OneDash(std::string_view given, std::string_view option);
std::string NeedsFileName(std::string_view option);
std::string LooksLikeOption(std::string_view option, std::string_view value);
std::string NotRegularFile(std::string_view option, std::string_view path);
std::string IsDirectory(std::string_view option, std::string_view path);
std::string CannotWriteTo(std::string_view option, std::string_view path);
std::string WholeNumberFrom(std::string_view option, long long lo, long long hi, std::string_view got);
std::string VariantChoice(std::string_view got);
std::string SettingGot(std::string_view reason, std::string_view got);
inline constexpr const char* LevelAndMap = "--level and --map exclude each other";
std::string NeedsField(std::string_view command);
inline constexpr const char* MapIndexNeedsMap = "--map-index needs --map FILE";
inline constexpr const char* MapNeedsIndex = "--map needs --map-index K";
inline constexpr const char* NeedsPlan = "fly-plan needs --plan FILE";
inline constexpr const char* WeightsNeedHeuristic =
    "--weights is used only with --heuristic (the plain search flies no network)";
inline constexpr const char* WeightsNeedHeuristicVariant =
    "--weights is used only with --variant heuristic (the other variants fly no network)";
inline constexpr const char* BlockNeedsFile = "--block needs --weights FILE";

// --- refusals of inputs -------------------------------------------------
std::string CannotUseMap(int k, std::string_view file, std::string_view reason);
std::string CannotUseFile(std::string_view file, std::string_view reason);
std::string WeightsDoNotFit(std::string_view source, std::size_t have, int need);
inline constexpr const char* BuiltInWeights = "the built-in weights";
inline constexpr const char* TableWeights = "the weight table";
inline constexpr const char* NetworkDoesNotFit = "the network does not fit the settings";
std::string PlanTooLong(std::size_t genes, int length, int most);
// The durations add up to more ticks than a flight can count.
std::string PlanTooManyTicks(double ticks);

// Why a plan file cannot be used.
inline constexpr const char* PlanMissing = "no such file";
inline constexpr const char* PlanUnreadable = "it cannot be read";
std::string PlanTooLarge(std::size_t cap);
std::string PlanNotJson(std::size_t byte);
inline constexpr const char* PlanNotObject = "the plan file must hold a JSON object";
inline constexpr const char* PlanNumberTooLarge = "a number is too large";
std::string PlanNotNumbers(std::string_view key);
std::string PlanUnknownKey(std::string_view key);
inline constexpr const char* PlanNeedsBoth = "the plan file needs both \"actions\" and \"durations\"";
std::string PlanUneven(std::size_t actions, std::size_t durations);
inline constexpr const char* PlanActionsWhole = "actions must be whole numbers";
// gene from 0.
std::string PlanNegativeDuration(std::size_t gene, double duration);

// --- failures -----------------------------------------------------------
std::string StdoutFailed(std::string_view why);
inline constexpr const char* NothingWritten = "nothing was written";
inline constexpr const char* ReaderGone = "the reader closed the pipe before reading all of it";
std::string WeightsNotWritten(std::string_view file);
inline constexpr const char* Unexpected = "stopped by an unexpected error: ";

// --- what a run tells (the desktop program's boxes) ------------------------
inline constexpr const char* SaidEscaped = "a plan escaped the meteor field";
inline constexpr const char* SaidStopped = "the run stopped; its best plan so far is kept";
inline constexpr const char* SaidPopulationNotEven =
    "the population minus the elites is odd: the next generation is a plan short";
// A plan being scored holds a code that is no thrust.
std::string SaidInvalidCode(int plan, int gene, int code);
inline constexpr const char* SaidNetworkMismatch =
    "the network's inputs do not fit the number of perceived meteors: train the network again";
std::string SaidTrainingStopped(int generations);
inline constexpr const char* SaidTrainingStoppedEarly = "training stopped before its first generation was complete";
std::string SaidTrainingDone(double fitness);

// --- progress -------------------------------------------------------------
// "[#########.....................]": done of total.
std::string Bar(int done, int total);
// "[#########.....................] 12/40 best 1234.5"
std::string ProgressBar(int generation, int total, double best);
// "ga: generation 12 of 201, best 1234.5, average 234.5"
std::string ProgressLine(std::string_view command, int generation, int total, double best, double average);

// --- settings -------------------------------------------------------------
inline constexpr const char* SettingsHeader = "Name, default, limits and meaning of every setting (--set Name=Value):";
inline constexpr const char* SettingsCrossLimits =
    "EliteCount and NetEliteCount are limited by their population too; NetInputCount must be even.";

}  // namespace korvane::text
