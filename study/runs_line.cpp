#include "study/runs_line.h"

#include <cmath>
#include <limits>

#include "study/grid.h"
#include "texts/study_texts.h"

namespace korvane::study {
namespace {

double Number(const Json& v) { return v.is_number() ? v.get<double>() : std::numeric_limits<double>::quiet_NaN(); }

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

bool GetText(const Json& o, const char* name, std::string& out) {
  const auto it = o.find(name);
  if (it == o.end() || !it->is_string()) return false;
  out = it->get<std::string>();
  return true;
}

// A fingerprint: absent in older lines (and null for ga), else 16 hex digits.
bool GetFnv(const Json& o, const char* name, std::optional<std::uint64_t>& out) {
  const auto it = o.find(name);
  if (it == o.end() || it->is_null()) return true;
  if (!it->is_string()) return false;
  out = ParseFnvText(it->get<std::string>());
  return out.has_value();
}

Json FnvJson(const std::optional<std::uint64_t>& fnv) { return fnv ? Json(FnvText(*fnv)) : Json(nullptr); }

// What a generation's entry may take at most: {"generation":N,"best":X,"average":Y}
// and a comma, N of seven digits and X, Y of 24 characters ("-2.2250738585072014e-308").
constexpr std::size_t kGenerationBytes = 90;
// The rest of a line: keys, names of files (escaped, up to six bytes a byte)
// and the settings.
constexpr std::size_t kLineRestBytes = 256 * 1024;

}  // namespace

Json ChangedSettings(const SimParams& p) {
  const SimParams defaults;
  Json changed = Json::object();
  for (const ParamInfo& info : ParamTable()) {
    if (info.kind == SettingKind::Perceived) continue;  // NetInputCount holds it
    const double v = GetParam(p, info);
    if (v == GetParam(defaults, info)) continue;
    changed[info.name] = info.isInt ? Json(static_cast<long long>(v)) : Json(v);
  }
  return changed;
}

std::string RunRecord::MethodName() const { return weights ? method + ":" + *weights : method; }

std::string RunRecord::FieldKey() const { return FieldKeyPart(level, map, mapIndex, mapFnv); }

std::optional<std::string_view> RunRecord::Varied() const {
  const std::string prefix = "method=" + MethodName() + "|" + FieldKey();
  const std::string suffix = "|seed=" + std::to_string(seed);
  if (key.size() < prefix.size() + suffix.size() || !key.starts_with(prefix) || !key.ends_with(suffix))
    return std::nullopt;
  const std::string_view middle =
      std::string_view(key).substr(prefix.size(), key.size() - prefix.size() - suffix.size());
  if (!middle.empty() && !middle.starts_with("|vary:")) return std::nullopt;
  return middle;
}

std::string FormatRunLine(const RunRecord& r) {
  Json o;
  o["key"] = r.key;
  o["method"] = r.method;
  o["weights"] = r.weights ? Json(*r.weights) : Json(nullptr);
  o["weights_fnv"] = FnvJson(r.weightsFnv);
  if (r.level) {
    o["level"] = r.level;
  } else {
    o["map"] = r.map;
    o["map_index"] = r.mapIndex;
    o["map_fnv"] = FnvJson(r.mapFnv);
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

std::optional<RunRecord> ParseRunLine(std::string_view line, std::string* why) {
  auto fail = [&](std::string reason) -> std::optional<RunRecord> {
    if (why) *why = std::move(reason);
    return std::nullopt;
  };
  const Json o = Json::parse(line, nullptr, false);
  if (!o.is_object()) return fail(text::En<Tx::RunLineNotObject>());
  RunRecord r;
  if (!GetText(o, "key", r.key)) return fail(text::En<Tx::RunLineField>("key"));
  if (!GetText(o, "method", r.method) || (r.method != "ga" && r.method != "heuristic"))
    return fail(text::En<Tx::RunLineField>("method"));
  if (!GetInt(o, "seed", r.seed)) return fail(text::En<Tx::RunLineField>("seed"));
  if (const auto w = o.find("weights"); w != o.end() && w->is_string()) r.weights = w->get<std::string>();
  if ((r.method == "ga") == r.weights.has_value()) return fail(text::En<Tx::RunLineField>("weights"));
  if (!GetFnv(o, "weights_fnv", r.weightsFnv) || (r.method == "ga" && r.weightsFnv))
    return fail(text::En<Tx::RunLineField>("weights_fnv"));
  const bool onLevel = GetInt(o, "level", r.level) && r.level > 0;
  if (!onLevel) {
    if (o.contains("level")) return fail(text::En<Tx::RunLineField>("level"));
    if (!GetText(o, "map", r.map)) return fail(text::En<Tx::RunLineField>("map"));
    if (!GetInt(o, "map_index", r.mapIndex) || r.mapIndex <= 0) return fail(text::En<Tx::RunLineField>("map_index"));
    if (!GetFnv(o, "map_fnv", r.mapFnv)) return fail(text::En<Tx::RunLineField>("map_fnv"));
  }
  const auto settings = o.find("settings");
  if (settings == o.end() || !settings->is_object()) return fail(text::En<Tx::RunLineField>("settings"));
  r.settings = *settings;
  const auto escaped = o.find("escaped");
  if (escaped == o.end() || !escaped->is_boolean()) return fail(text::En<Tx::RunLineField>("escaped"));
  r.escaped = escaped->get<bool>();
  const auto escapeAt = o.find("escape_generation");
  if (r.escaped) {
    int g = 0;
    if (!GetInt(o, "escape_generation", g) || g < 0) return fail(text::En<Tx::RunLineField>("escape_generation"));
    r.escapeGeneration = g;
  } else if (escapeAt == o.end() || !escapeAt->is_null()) {
    return fail(text::En<Tx::RunLineField>("escape_generation"));
  }
  const auto gens = o.find("generations");
  if (gens == o.end() || !gens->is_array()) return fail(text::En<Tx::RunLineField>("generations"));
  for (const Json& g : *gens) {
    GenerationPoint p;
    if (!g.is_object() || !GetInt(g, "generation", p.generation) || !g.contains("best") || !g.contains("average"))
      return fail(text::En<Tx::RunLineField>("generations"));
    p.best = Number(g["best"]);
    p.average = Number(g["average"]);
    r.generations.push_back(p);
  }
  if (const auto s = o.find("seconds"); s != o.end()) r.seconds = Number(*s);
  if (!r.Varied()) return fail(text::En<Tx::RunLineKeyMismatch>());
  return r;
}

std::size_t MaxRunLineBytes() {
  const auto generations = static_cast<std::size_t>(FindParam("MaxGenerations")->hi) + 1;
  return generations * kGenerationBytes + kLineRestBytes;
}

bool StartsRunLine(std::string_view text) {
  constexpr std::string_view kStart = R"({"key":")";
  if (text.empty() || kStart.substr(0, std::min(kStart.size(), text.size())) != text.substr(0, kStart.size()))
    return false;
  // Whole JSON: a run line that lost only its line end. Otherwise the
  // parser must run out of text, not meet a wrong byte before the end.
  struct Sax : nlohmann::json_sax<Json> {
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t at, const std::string&, const nlohmann::detail::exception&) override {
      errorAt = at;
      return false;
    }
    std::size_t errorAt = 0;
  } sax;
  if (Json::sax_parse(text, &sax)) return ParseRunLine(text).has_value();
  return sax.errorAt == text.size() + 1;
}

}  // namespace korvane::study
