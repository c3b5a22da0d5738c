#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The flight-plan file fly-plan reads: {"actions": [...], "durations": [...]}.
namespace korvane::cli {

struct PlanFile {
  std::vector<int> actions;
  std::vector<double> durations;
};

// A plan is a few kilobytes; the cap stops a device that never runs dry.
inline constexpr std::size_t MaxPlanFileBytes = 1u << 20;

// The plan in a text, or why there is none (in *error when given). Actions
// are whole numbers within int, durations finite numbers, both lists of the
// same length; any other key is refused.
std::optional<PlanFile> ParsePlanText(std::string_view text, std::string* error);

// Reads and parses the file at path, up to MaxPlanFileBytes.
std::optional<PlanFile> ReadPlanFile(const std::string& path, std::string* error);

}  // namespace korvane::cli
