#include "cli/plan_file.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "files/file_io.h"
#include "texts/cli_texts.h"

namespace korvane::cli {
namespace {

using nlohmann::json;

std::optional<PlanFile> Fail(std::string* error, std::string why) {
  if (error) *error = std::move(why);
  return std::nullopt;
}

}  // namespace

std::optional<PlanFile> ParsePlanText(std::string_view text, std::string* error) {
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::parse_error& e) {
    return Fail(error, text::En<Tx::PlanNotJson>(e.byte));
  } catch (const json::out_of_range&) {
    return Fail(error, text::En<Tx::PlanNumberTooLarge>());  // 1e400 and the like
  }
  if (!doc.is_object()) return Fail(error, text::En<Tx::PlanNotObject>());
  for (const auto& [key, value] : doc.items()) {
    if (key != "actions" && key != "durations") return Fail(error, text::En<Tx::PlanUnknownKey>(key));
    if (!value.is_array()) return Fail(error, text::En<Tx::PlanNotNumbers>(key));
    for (const json& v : value)
      if (!v.is_number()) return Fail(error, text::En<Tx::PlanNotNumbers>(key));
  }
  if (!doc.contains("actions") || !doc.contains("durations")) return Fail(error, text::En<Tx::PlanNeedsBoth>());
  const json& actions = doc["actions"];
  const json& durations = doc["durations"];
  if (actions.size() != durations.size())
    return Fail(error, text::En<Tx::PlanUneven>(actions.size(), durations.size()));
  PlanFile plan;
  for (const json& a : actions) {
    const double v = a.get<double>();
    if (v != std::floor(v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
      return Fail(error, text::En<Tx::PlanActionsWhole>());
    plan.actions.push_back(static_cast<int>(v));
  }
  for (const json& d : durations) {
    // A flight would take a negative duration as none: say so instead.
    if (d.get<double>() < 0) return Fail(error, text::PlanNegativeDuration(plan.durations.size(), d.get<double>()));
    plan.durations.push_back(d.get<double>());
  }
  return plan;
}

std::optional<PlanFile> ReadPlanFile(const std::string& path, std::string* error) {
  std::string data;
  switch (ReadCapped(path, MaxPlanFileBytes, data)) {
    case ReadStatus::Ok: return ParsePlanText(data, error);
    case ReadStatus::Missing: return Fail(error, text::En<Tx::PlanMissing>());
    case ReadStatus::Failed: return Fail(error, text::En<Tx::PlanUnreadable>());
    case ReadStatus::TooLarge: return Fail(error, text::En<Tx::PlanTooLarge>(MaxPlanFileBytes));
  }
  return Fail(error, text::En<Tx::PlanUnreadable>());
}

}  // namespace korvane::cli
