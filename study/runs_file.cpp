#include "study/runs_file.h"

#include <cmath>
#include <limits>

#include "files/file_io.h"
#include "texts/study_texts.h"

namespace korvane::study {
namespace {

// Runs files of a large study are big, but not this big.
constexpr std::size_t kMaxRunsFileBytes = std::size_t{4} << 30;

double Number(const Json& v) {
  return v.is_number() ? v.get<double>() : std::numeric_limits<double>::quiet_NaN();
}

template <typename Int>
bool GetInt(const Json& o, const char* name, Int& out) {
  const auto it = o.find(name);
  if (it == o.end() || !it->is_number_integer()) return false;
  const auto v = it->get<long long>();
  if (v < static_cast<long long>(std::numeric_limits<Int>::min()) ||
      v > static_cast<long long>(std::numeric_limits<Int>::max()))
    return false;
  out = static_cast<Int>(v);
  return true;
}

}  // namespace

Json ChangedSettings(const SimParams& p) {
  const SimParams defaults;
  Json changed = Json::object();
  for (const ParamInfo& info : ParamTable()) {
    const double v = GetParam(p, info);
    if (v == GetParam(defaults, info)) continue;
    changed[info.name] = info.isInt ? Json(static_cast<long long>(v)) : Json(v);
  }
  return changed;
}

std::string RunRecord::MethodName() const { return weights ? method + ":" + *weights : method; }

std::optional<std::string_view> RunRecord::Varied() const {
  std::string prefix = "method=" + MethodName() + "|";
  prefix += level ? "level=" + std::to_string(level) : "map=" + map + ":" + std::to_string(mapIndex);
  const std::string suffix = "|seed=" + std::to_string(seed);
  if (key.size() < prefix.size() + suffix.size() || !key.starts_with(prefix) || !key.ends_with(suffix))
    return std::nullopt;
  const std::string_view middle = std::string_view(key).substr(prefix.size(), key.size() - prefix.size() - suffix.size());
  if (!middle.empty() && !middle.starts_with("|vary:")) return std::nullopt;
  return middle;
}

std::string FormatRunLine(const RunRecord& r) {
  Json o;
  o["key"] = r.key;
  o["method"] = r.method;
  o["weights"] = r.weights ? Json(*r.weights) : Json(nullptr);
  if (r.level) {
    o["level"] = r.level;
  } else {
    o["map"] = r.map;
    o["map_index"] = r.mapIndex;
  }
  o["seed"] = r.seed;
  o["settings"] = r.settings;
  o["escaped"] = r.escaped;
  o["escape_generation"] = r.escapeGeneration ? Json(*r.escapeGeneration) : Json(nullptr);
  Json gens = Json::array();
  for (const GenerationPoint& g : r.generations)
    gens.push_back(Json{{"generation", g.generation}, {"best", g.best}, {"average", g.average}});
  o["generations"] = std::move(gens);
  o["seconds"] = r.seconds;
  return o.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<RunRecord> ParseRunLine(std::string_view line) {
  const Json o = Json::parse(line, nullptr, false);
  if (!o.is_object()) return std::nullopt;
  RunRecord r;
  auto text = [&](const char* name, std::string& out) {
    const auto it = o.find(name);
    if (it == o.end() || !it->is_string()) return false;
    out = it->get<std::string>();
    return true;
  };
  if (!text("key", r.key) || !text("method", r.method) || !GetInt(o, "seed", r.seed)) return std::nullopt;
  if (const auto w = o.find("weights"); w != o.end() && w->is_string()) r.weights = w->get<std::string>();
  if ((r.method == "ga") == r.weights.has_value() || (r.method != "ga" && r.method != "heuristic"))
    return std::nullopt;
  const bool onLevel = GetInt(o, "level", r.level) && r.level > 0;
  if (!onLevel && !(text("map", r.map) && GetInt(o, "map_index", r.mapIndex) && r.mapIndex > 0)) return std::nullopt;
  const auto settings = o.find("settings");
  const auto escaped = o.find("escaped");
  const auto escapeAt = o.find("escape_generation");
  const auto gens = o.find("generations");
  if (settings == o.end() || !settings->is_object() || escaped == o.end() || !escaped->is_boolean() ||
      escapeAt == o.end() || gens == o.end() || !gens->is_array())
    return std::nullopt;
  r.settings = *settings;
  r.escaped = escaped->get<bool>();
  if (r.escaped) {
    int g = 0;
    if (!GetInt(o, "escape_generation", g) || g < 0) return std::nullopt;
    r.escapeGeneration = g;
  } else if (!escapeAt->is_null()) {
    return std::nullopt;
  }
  for (const Json& g : *gens) {
    GenerationPoint p;
    if (!g.is_object() || !GetInt(g, "generation", p.generation) || !g.contains("best") || !g.contains("average"))
      return std::nullopt;
    p.best = Number(g["best"]);
    p.average = Number(g["average"]);
    r.generations.push_back(p);
  }
  if (const auto s = o.find("seconds"); s != o.end()) r.seconds = Number(*s);
  if (!r.Varied()) return std::nullopt;
  return r;
}

RunsFile ReadRunsFile(const std::string& path) {
  std::string bytes;
  switch (ReadCapped(path, kMaxRunsFileBytes, bytes)) {
    case ReadStatus::Ok: break;
    case ReadStatus::Missing: return {};
    case ReadStatus::Failed: throw InputError{text::RunsFileUnreadable(path)};
    case ReadStatus::TooLarge: throw InputError{text::RunsFileTooLarge(path, kMaxRunsFileBytes)};
  }
  RunsFile file;
  int line = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    ++line;
    const std::size_t end = bytes.find('\n', at);
    // A line without its line end was being written when the run stopped.
    std::optional<RunRecord> r;
    if (end != std::string::npos) r = ParseRunLine(std::string_view(bytes).substr(at, end - at));
    const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (!r) {
      if (next < bytes.size()) throw InputError{text::RunsLineDamaged(path, line)};
      file.damagedLastLine = line;
      break;
    }
    file.runs.push_back(std::move(*r));
    file.lines.push_back(line);
    file.goodBytes = at = next;
  }
  return file;
}

}  // namespace korvane::study
