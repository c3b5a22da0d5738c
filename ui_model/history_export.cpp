#include "ui_model/history_export.h"

#include <algorithm>
#include <cstdio>

#include "engine/flight.h"

namespace korvane {

std::string HistoryCsv(const ChartData& h, bool planSearch) {
  std::string out = "generation,best,average,escaped\n";
  const std::size_t n = std::min(h.bestHistory.size(), h.averageHistory.size());
  char row[128];
  for (std::size_t k = 0; k < n; ++k) {
    std::snprintf(row, sizeof row, "%zu,%.17g,%.17g,%s\n", k + 1, h.bestHistory[k], h.averageHistory[k],
                  planSearch ? "0" : "");
    out += row;
  }
  if (planSearch && h.escaped) {
    std::snprintf(row, sizeof row, "%zu,%.17g,,1\n", n + 1, EscapedFitness);
    out += row;
  }
  return out;
}

}  // namespace korvane
