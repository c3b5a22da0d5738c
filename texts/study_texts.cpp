#include "texts/study_texts.h"

#include <cstdio>

#include "texts/cli_texts.h"

namespace korvane::text {
namespace {

std::string S(std::string_view v) { return std::string(v); }
std::string Quoted(std::string_view v) {
  std::string out(1, '\'');
  out.append(v);
  return out + '\'';
}

}  // namespace

std::string StudyNeeds(std::string_view option) { return "study needs " + S(option); }

std::string EmptyListItem(std::string_view option, std::string_view list) {
  return S(option) + " holds an empty item: " + Quoted(list);
}

std::string GivenTwice(std::string_view option, std::string_view item) {
  return S(option) + ": " + Quoted(item) + " is given twice";
}

std::string MethodChoice(std::string_view got) {
  return "a method must be ga, heuristic:table, heuristic:builtin, heuristic:FILE or heuristic:train=S, got " +
         Quoted(got);
}

std::string TrainSeed(std::string_view got) {
  return "heuristic:train=S needs a seed from 0 to 4294967295, got " + Quoted(got);
}

std::string LevelChoice(std::string_view got) { return "--levels takes levels 1 to 4, got " + Quoted(got); }

std::string MapChoice(std::string_view got) {
  return "--maps takes FILE:K with K a map of the file from 1, got " + Quoted(got);
}

std::string SeedsChoice(std::string_view got) {
  return "--seeds must be A-B (A at most B) or A, from 0 to 4294967295, got " + Quoted(got);
}

std::string ShardChoice(std::string_view got) {
  return "--shard must be K/N with K from 1 to N and N from 1 to 1000000, got " + Quoted(got);
}

std::string VaryForm(std::string_view got) { return "--vary expects Name=v1,v2,..., got " + Quoted(got); }

std::string SameMapTwice(std::string_view a, std::string_view b) {
  return "--maps: " + Quoted(a) + " and " + Quoted(b) + " are the same map (the same meteors); give it once";
}

std::string VaryBoth(std::string_view a, std::string_view b) {
  return S(a) + " and " + S(b) + " are one setting (" + S(b) + " = 2 x " + S(a) +
         " + 4): give only one of them with --vary and --set";
}

std::string VaryAndSet(std::string_view name) {
  return S(name) + " is given with both --vary and --set; a varied setting takes its values from --vary";
}

std::string VaryRefused(std::string_view what, std::string_view reason) {
  return "--vary " + S(what) + ": " + S(reason);
}

std::string StudyTooLarge(double runs) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "the study holds %.0f runs, more than 5000000; split it into several studies", runs);
  return buf;
}

std::string NeedsDirectoryName(std::string_view option) {
  return S(option) + " needs a directory name, got an empty one";
}

std::string OutputIsInput(std::string_view option, std::string_view output, std::string_view input) {
  return S(option) + " would write " + Quoted(output) + ", which is the runs file " + Quoted(input) +
         " read here; give another " + S(option);
}

std::string NotADirectory(std::string_view option, std::string_view path) {
  return S(option) + " needs a directory, but " + Quoted(path) + " is a file";
}

std::string RunsFileMissing(std::string_view path) { return "cannot use " + Quoted(path) + ": no such file"; }

std::string RunsFileUnreadable(std::string_view path) { return "cannot use " + Quoted(path) + ": it cannot be read"; }

std::string RunsFileNotRegular(std::string_view path) {
  return "cannot use " + Quoted(path) + ": it is not a regular file (a FIFO or a device holds no runs)";
}

std::string RunsLineDamaged(std::string_view path, int line, std::string_view why) {
  return "cannot use " + Quoted(path) + ": line " + std::to_string(line) + " is not a run line: " + S(why);
}

std::string RunsLastLineDamaged(std::string_view path, int line, std::string_view why) {
  return "cannot use " + Quoted(path) + ": line " + std::to_string(line) +
         " is not a run line, nor the start of one cut short: " + S(why);
}

std::string RunsLineTooLong(std::string_view path, int line, std::size_t cap) {
  return "cannot use " + Quoted(path) + ": line " + std::to_string(line) + " is longer than " + std::to_string(cap) +
         " bytes, more than any run writes";
}

std::string RunLineField(std::string_view field) {
  return "the field \"" + S(field) + "\" is missing or not as a run line holds it";
}

std::string OlderMapLine(std::string_view path, int line) {
  return "cannot go on with " + Quoted(path) + ": line " + std::to_string(line) +
         " names its map by the file's name (an older korvane-cli); maps are now named by their contents, so its "
         "runs would be flown again: give a new --out (report reads both files together)";
}

std::string OtherNetwork(std::string_view key, std::string_view path, int line, std::string_view then,
                         std::string_view now) {
  return "run " + Quoted(key) + " is in " + Quoted(path) + " (line " + std::to_string(line) +
         ") flown with another network (weights_fnv " + S(then) + "; the weights now: " + S(now) +
         "); give another --out or the weights it was flown with";
}

std::string CellNetworksDiffer(std::string_view a, std::string_view fnvA, std::string_view b, std::string_view fnvB) {
  return "runs " + Quoted(a) + " and " + Quoted(b) + " of one cell were flown with different networks (weights_fnv " +
         S(fnvA) + " and " + S(fnvB) + ")";
}

std::string RunsFileInUse(std::string_view path) {
  return Quoted(path) + " is in use by another study; wait for it to end, or give another --out";
}

std::string NoRuns(std::size_t files) {
  return files == 1 ? "the runs file holds no run" : "the runs files hold no run";
}

std::string LastLineCut(std::string_view path, int line) {
  return S(path) + ": line " + std::to_string(line) +
         " is damaged (a run stopped while it was written); cut off, its run is flown again";
}

std::string LastLineLeftOut(std::string_view path, int line) {
  return S(path) + ": line " + std::to_string(line) + " is damaged (a run stopped while it was written); left out";
}

std::string OtherSettings(std::string_view key, std::string_view path, int line) {
  return "run " + Quoted(key) + " is in " + Quoted(path) + " (line " + std::to_string(line) +
         ") with other settings; give another --out or the settings it was flown with";
}

std::string RunsDisagree(std::string_view key, std::string_view a, std::string_view b) {
  return "run " + Quoted(key) + " is in " + Quoted(a) + " and in " + Quoted(b) + " with different results";
}

std::string CellSettingsDiffer(std::string_view key, std::string_view cell) {
  return "run " + Quoted(key) + " has other settings than the rest of " + Quoted(cell) +
         " (runs files of different studies)";
}

std::string CannotTruncate(std::string_view path, std::string_view why) {
  return "cannot cut the damaged last line of " + Quoted(path) + ": " + S(why);
}

std::string CannotAppend(std::string_view path, std::string_view why) {
  return "cannot append to " + Quoted(path) + ": " + S(why);
}

std::string CannotWriteFile(std::string_view path, std::string_view why) {
  return "cannot write " + Quoted(path) + ": " + S(why);
}

std::string RunStopped(std::string_view key) { return "run " + Quoted(key) + " stopped before its end"; }

std::string RunRefused(std::string_view key, std::string_view reason) {
  return "run " + Quoted(key) + ": " + S(reason);
}

std::string StudyStart(std::size_t runs, std::size_t done, std::string_view path) {
  return "study: " + std::to_string(runs) + " runs, " + std::to_string(done) + " already in " + S(path) + ", " +
         std::to_string(runs - done) + " to fly";
}

std::string StudyTraining(unsigned seed) { return "study: training the network with seed " + std::to_string(seed); }

std::string StudyBar(int done, int total, int escaped) {
  return Bar(done, total) + " " + std::to_string(done) + "/" + std::to_string(total) + " runs, " +
         std::to_string(escaped) + " escaped";
}

std::string StudyLine(int done, int total, int escaped) {
  return "study: " + std::to_string(done) + " of " + std::to_string(total) + " runs flown, " +
         std::to_string(escaped) + " escaped";
}

std::string ReportSummary(int runs, std::size_t cells, std::string_view common) {
  return std::to_string(runs) + " runs in " + std::to_string(cells) +
         " cells. Settings in every run besides the defaults: " + (common.empty() ? S("none") : S(common)) + ".";
}

}  // namespace korvane::text
