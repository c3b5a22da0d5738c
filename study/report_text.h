#pragma once
#include <string>

#include "study/report.h"

// A report as text: the table korvane-cli prints, and its CSV files. No
// timings, so the same runs always give the same bytes.
namespace korvane::study {

std::string ReportTable(const Report& r);

// One row per cell: field, method, settings, runs, escaped, rate, rate_low,
// rate_high, escape_q1, escape_median, escape_q3, final_mean_best.
std::string CellsCsv(const Report& r);
// One row per pair: field, settings, method_a, method_b, pairs, a_wins,
// b_wins, ties, sign_test_p.
std::string PairsCsv(const Report& r);
// One row per cell and generation: field, method, settings, generation,
// mean_best.
std::string FitnessCsv(const Report& r);

// Where the pairs and the curves go beside the cells' file: runs.csv gives
// runs.pairs.csv and runs.fitness.csv.
struct CsvPaths {
  std::string cells, pairs, fitness;
};
CsvPaths CsvPathsFor(const std::string& cells);

}  // namespace korvane::study
