#pragma once
#include <string>

#include "engine/host.h"

namespace korvane {

// A run's history as CSV: "generation,best,average,escaped", one row per
// generation flown, numbers as "%.17g". A plan search marks escaped 0 on
// every full generation; one that escaped ends with a row for the generation
// in which a plan escaped (best 1801, the escape; average empty: that
// generation was not finished). Training leaves escaped empty.
std::string HistoryCsv(const ChartData& history, bool planSearch);

}  // namespace korvane
