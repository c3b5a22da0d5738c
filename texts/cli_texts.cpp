#include "texts/cli_texts.h"

#include <charconv>
#include <cstdio>

#include "texts/shortest.h"

namespace korvane::text {
namespace {

std::string S(std::string_view v) { return std::string(v); }
// Built by appending: GCC 12 warns falsely (-Wrestrict) on "x" + string.
std::string Wrapped(char mark, std::string_view v) {
  std::string out(1, mark);
  out.append(v);
  out += mark;
  return out;
}
std::string Quoted(std::string_view v) { return Wrapped('\'', v); }

}  // namespace

std::string HelpHint(std::string_view command) {
  std::string hint = "Try 'korvane-cli";
  if (!command.empty()) hint.append(" ").append(command);
  return hint + " --help'.";
}

constexpr const char* kCommandList = " (commands: ga, train, fly-net, fly-plan, settings, study, report)";

std::string NoCommand() { return std::string("no command given") + kCommandList; }

std::string UnknownCommand(std::string_view name) { return "unknown command " + Quoted(name) + kCommandList; }

std::string NotUsedBy(std::string_view command, std::string_view option) {
  return S(command) + " does not use " + S(option);
}

std::string OptionBeforeCommand(std::string_view option) {
  return "the command comes first, then its options: got " + Quoted(option) + kCommandList;
}

std::string OneDash(std::string_view given, std::string_view option) {
  return Quoted(given) + " is not an option; options take two dashes: " + S(option);
}

std::string NeedsFileName(std::string_view option) { return S(option) + " needs a file name, got an empty one"; }

std::string LooksLikeOption(std::string_view option, std::string_view value) {
  return S(option) + " needs a name, got the option " + Quoted(value) + " (a file whose name starts with -- is ./" +
         S(value) + ")";
}

std::string NotRegularFile(std::string_view option, std::string_view path) {
  return S(option) + " needs a regular file, but " + Quoted(path) + " is not one (a FIFO or a device)";
}

std::string IsDirectory(std::string_view option, std::string_view path) {
  return S(option) + " needs a file, but " + Quoted(path) + " is a directory";
}

std::string CannotWriteTo(std::string_view option, std::string_view path) {
  return S(option) + ": cannot write to " + Quoted(path);
}

std::string WholeNumberFrom(std::string_view option, long long lo, long long hi, std::string_view got) {
  return S(option) + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
         ", got " + Quoted(got);
}

std::string VariantChoice(std::string_view got) {
  return "--variant must be ga, heuristic or step, got " + Quoted(got);
}

std::string SettingGot(std::string_view reason, std::string_view got) { return S(reason) + ", got " + Quoted(got); }

std::string NeedsField(std::string_view command) {
  return S(command) + " needs --level N (1 to 4) or --map FILE --map-index K";
}

std::string CannotUseMap(int k, std::string_view file, std::string_view reason) {
  return "cannot use map " + std::to_string(k) + " of " + Quoted(file) + ": " + S(reason);
}

std::string CannotUseFile(std::string_view file, std::string_view reason) {
  return "cannot use " + Quoted(file) + ": " + S(reason);
}

std::string WeightsDoNotFit(std::string_view source, std::size_t have, int need) {
  return S(source) + " hold " + std::to_string(have) + " weights but the network needs " + std::to_string(need);
}

std::string PlanTooManyTicks(double ticks) {
  // Shortest form: a sum of 1e300 ticks is not cut off mid-number.
  return "the plan's durations add up to " + ShortestDouble(ticks) +
         " ticks, more than a flight can count (2147483647)";
}

std::string PlanNegativeDuration(std::size_t gene, double duration) {
  return "durations must not be negative: gene " + std::to_string(gene + 1) + " lasts " + ShortestDouble(duration);
}

std::string PlanTooLong(std::size_t genes, int length, int most) {
  const std::string n = std::to_string(genes);
  if (genes > static_cast<std::size_t>(most))
    return "the plan has " + n + " genes, more than ChromosomeLength allows (" + std::to_string(most) + ")";
  return "the plan has " + n + " genes but ChromosomeLength is " + std::to_string(length) +
         "; raise it with --set ChromosomeLength=" + n;
}

std::string PlanTooLarge(std::size_t cap) {
  return "the file is larger than " + std::to_string(cap / 1024) + " KiB, too large for a plan";
}

std::string PlanNotJson(std::size_t byte) {
  return "the plan file is not valid JSON (at byte " + std::to_string(byte) + ")";
}

std::string PlanNotNumbers(std::string_view key) { return Wrapped('"', key) + " must be a list of numbers"; }

std::string PlanUnknownKey(std::string_view key) { return "unknown key " + Wrapped('"', key) + " in the plan file"; }

std::string PlanUneven(std::size_t actions, std::size_t durations) {
  return "\"actions\" has " + std::to_string(actions) + " entries but \"durations\" has " +
         std::to_string(durations);
}

std::string StdoutFailed(std::string_view why) { return "cannot write the output: " + S(why); }

std::string WeightsNotWritten(std::string_view file) {
  return "the trained weights could not be written to " + Quoted(file) + " (they are in the output)";
}

std::string Bar(int done, int total) {
  constexpr int kWidth = 30;
  done = done < 0 ? 0 : done > total ? total : done;
  const int filled = total > 0 ? static_cast<int>(static_cast<long long>(kWidth) * done / total) : kWidth;
  std::string bar(1, '[');
  bar.append(static_cast<std::size_t>(filled), '#').append(static_cast<std::size_t>(kWidth - filled), '.');
  return bar + ']';
}

std::string ProgressBar(int generation, int total, double best) {
  char tail[96];
  std::snprintf(tail, sizeof tail, " %d/%d best %.1f", generation, total, best);
  return Bar(generation, total) + tail;
}

std::string ProgressLine(std::string_view command, int generation, int total, double best, double average) {
  char buf[160];
  std::snprintf(buf, sizeof buf, ": generation %d of %d, best %.1f, average %.1f", generation, total, best, average);
  return S(command) + buf;
}

std::string SaidInvalidCode(int plan, int gene, int code) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "plan %d holds code %d at gene %d, which is no thrust (0 to 4)", plan, code, gene);
  return buf;
}

std::string SaidTrainingStopped(int generations) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "training stopped after %d generations; the best weights of the last are printed",
                generations);
  return buf;
}

std::string SaidTrainingDone(double fitness) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "training finished, best fitness %.17g", fitness);
  return buf;
}

}  // namespace korvane::text
