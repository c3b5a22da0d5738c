// Feeds arbitrary bytes to fly-plan's reader of plan files.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/plan_file.h"
#include "fuzz/require.h"

using namespace korvane::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto plan = ParsePlanText(text, &error);
  if (!plan) {
    Require(!error.empty());
    return 0;
  }
  Require(plan->actions.size() == plan->durations.size());
  for (double d : plan->durations) Require(std::isfinite(d));
  // Written out again, the plan reads back the same, number for number.
  const std::string again = nlohmann::json{{"actions", plan->actions}, {"durations", plan->durations}}.dump();
  auto back = ParsePlanText(again, &error);
  Require(back.has_value());
  Require(back->actions == plan->actions);
  Require(back->durations == plan->durations);
  return 0;
}
