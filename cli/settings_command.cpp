// korvane-cli settings: every setting --set takes, with its default, its
// limits and its meaning, as the settings' table gives them.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "texts/text_table.h"

namespace korvane::cli {
namespace {

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// Whole-number settings print as whole numbers.
Json Value(const ParamInfo& info, double v) { return info.isInt ? Json(static_cast<long long>(v)) : Json(v); }

}  // namespace

int RunSettings(const Options& o) {
  const SimParams defaults;
  if (o.json) {
    Json list = Json::array();
    for (const ParamInfo& info : ParamTable())
      list.push_back(Json{{"name", info.name},
                          {"integer", info.isInt},
                          {"default", Value(info, GetParam(defaults, info))},
                          {"min", Value(info, info.lo)},
                          {"max", Value(info, info.hi)},
                          {"min_exclusive", info.loOpen},
                          {"meaning", text::En(info.meaning)}});
    WriteJsonLine(list);
    return kExitOk;
  }
  std::string out = text::En<Tx::SettingsHeader>() + "\n";
  for (const ParamInfo& info : ParamTable()) {
    char name[64], value[64];
    std::snprintf(name, sizeof name, "%-22s", info.name);
    std::snprintf(value, sizeof value, "%-8s", Number(GetParam(defaults, info)).c_str());
    out.append("\n").append(text::En<Tx::SettingsRow>(name, value, AllowedValues(info))).append("\n    ");
    out.append(text::En(info.meaning)).append("\n");
  }
  out.append("\n").append(text::En(Tx::SettingsCrossLimits)).append("\n");
  WriteOut(out);
  return kExitOk;
}

}  // namespace korvane::cli
