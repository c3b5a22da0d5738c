#pragma once
#include <array>
#include <string>

#include "study/report.h"

// The report's plots, drawn offscreen with Qt.
namespace korvane::plots {

// The files WritePlots writes into its directory, each as NAME.png and
// NAME.svg: the escape rate with its interval per field and method, the
// escape generations' quartiles, and the mean best-fitness curves.
inline constexpr std::array<const char*, 3> kPlotNames = {"escape_rate", "escape_generation", "fitness"};

// Writes every plot into the directory, which must exist. An error text
// when a file cannot be written, else empty.
std::string WritePlots(const study::Report& report, const std::string& dir);

}  // namespace korvane::plots
