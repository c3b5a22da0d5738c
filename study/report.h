#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "study/runs_file.h"
#include "study/stats.h"

// What a study found, per cell (method × field × varied settings) and per
// pair of methods flown on the same seeds. Built from runs in any order:
// everything is sorted first, so the same runs give the same report.
namespace korvane::study {

struct Cell {
  std::string field;     // "level 2", "map FILE:3"
  std::string method;    // "ga", "heuristic:table"
  std::string settings;  // "ChromosomeLength=60 PopulationSize=100": varied or not shared by every run
  int runs = 0;
  int escaped = 0;
  Interval rate;                          // 95 % Wilson interval of escaped / runs
  std::vector<double> escapeGenerations;  // of the runs that escaped, ascending
  std::optional<double> q1, median, q3;   // of escapeGenerations
  // Mean best fitness after each generation (index 0: generation 1), a run
  // that escaped carrying its last value on; a run that escaped before its
  // first generation was recorded has no value and is left out.
  std::vector<double> meanBest;
};

// Two methods on the same field and settings, paired by seed: a run that
// escapes beats one that does not, the sooner escape beats the later, and
// equal escapes or two runs that did not escape are a tie.
struct Pair {
  std::string field;
  std::string settings;
  std::string a;
  std::string b;
  int pairs = 0;
  int aWins = 0;
  int bWins = 0;
  int ties = 0;
  double signP = 1;  // exact two-sided sign test of aWins against bWins
};

struct Report {
  int runs = 0;
  // Settings at a value other than the default in every run, and not varied.
  std::vector<std::pair<std::string, std::string>> common;
  std::vector<Cell> cells;  // by field, settings, method
  std::vector<Pair> pairs;  // by field, settings, a, b
};

// The runs of several files as one set: a run found twice is taken once
// when the two lines agree (but for the time), and refused (InputError)
// when they do not.
std::vector<RunRecord> MergeRuns(const std::vector<std::pair<std::string, RunsFile>>& files);

// Throws InputError when runs of one cell hold different settings (files of
// different studies mixed).
Report BuildReport(std::vector<RunRecord> runs);

}  // namespace korvane::study
