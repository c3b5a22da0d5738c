// korvane-cli settings: every setting --set takes, with its default, its
// limits and its meaning; names, defaults and limits come from ParamTable.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "texts/cli_texts.h"
#include "texts/param_texts.h"

namespace korvane::cli {
namespace {

struct Row {
  std::string name;
  bool isInt;
  double value, lo, hi;
  bool loOpen = false;  // the value must be above lo
};

std::vector<Row> Rows() {
  const SimParams defaults;
  std::vector<Row> rows;
  for (const ParamInfo& info : ParamTable())
    rows.push_back({info.name, info.isInt, GetParam(defaults, info), info.lo, info.hi, info.loOpen});
  // Not a field of its own: it stands for NetInputCount, within its limits.
  const ParamInfo& inputs = *FindParam("NetInputCount");
  SimParams lo, hi;
  lo.NetInputCount = static_cast<int>(inputs.lo);
  hi.NetInputCount = static_cast<int>(inputs.hi);
  rows.push_back({"PerceivedMeteors", true, static_cast<double>(defaults.PerceivedMeteors()),
                  static_cast<double>(lo.PerceivedMeteors()), static_cast<double>(hi.PerceivedMeteors())});
  return rows;
}

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// Whole-number settings print as whole numbers.
Json Value(const Row& r, double v) { return r.isInt ? Json(static_cast<long long>(v)) : Json(v); }

}  // namespace

int RunSettings(const Options& o) {
  const std::vector<Row> rows = Rows();
  if (o.json) {
    Json list = Json::array();
    for (const Row& r : rows)
      list.push_back(Json{{"name", r.name},
                          {"integer", r.isInt},
                          {"default", Value(r, r.value)},
                          {"min", Value(r, r.lo)},
                          {"max", Value(r, r.hi)},
                          {"min_exclusive", r.loOpen},
                          {"meaning", text::ParamMeaning(r.name)}});
    WriteJsonLine(list);
    return kExitOk;
  }
  std::string out = std::string(text::SettingsHeader) + "\n";
  for (const Row& r : rows) {
    char line[160];
    std::snprintf(line, sizeof line, "\n%-22s default %-8s %s\n    ", r.name.c_str(), Number(r.value).c_str(),
                  AllowedValues(ParamInfo{r.name.c_str(), r.isInt, r.lo, r.hi, nullptr, nullptr, r.loOpen}).c_str());
    out.append(line).append(text::ParamMeaning(r.name)).append("\n");
  }
  out.append("\n").append(text::SettingsCrossLimits).append("\n");
  WriteOut(out);
  return kExitOk;
}

}  // namespace korvane::cli
