#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "texts/text_table.h"

// What `korvane-cli study` and `report` say that takes more than filling
// in; the rest are said with text::En<Tx::...>.
namespace korvane::text {

// "study: 1200 runs, 400 already in runs.jsonl, 800 to fly"
std::string StudyStart(std::size_t runs, std::size_t done, std::string_view path);
std::string StudyTooLarge(double runs);
std::string NoRuns(std::size_t files);
// "[######........] 12/800 runs, 5 escaped"
std::string StudyBar(int done, int total, int escaped);
// common: the settings every run holds besides the defaults, or empty.
std::string ReportSummary(int runs, std::size_t cells, std::string_view common);

}  // namespace korvane::text
