#include "study/grid.h"

#include <algorithm>
#include <charconv>

#include "sim/params.h"
#include "study/numbers.h"
#include "texts/study_texts.h"

namespace korvane::study {

std::string Method::Name() const {
  switch (kind) {
    case Kind::Ga: return "ga";
    case Kind::Table: return "heuristic:table";
    case Kind::Builtin: return "heuristic:builtin";
    case Kind::File: return "heuristic:" + file;
    case Kind::Train: return "heuristic:train=" + std::to_string(trainSeed);
  }
  return {};
}

std::string_view Method::Search() const { return kind == Kind::Ga ? "ga" : "heuristic"; }

std::optional<std::string> Method::Weights() const {
  if (kind == Kind::Ga) return std::nullopt;
  return Name().substr(std::string_view("heuristic:").size());
}

namespace {

Method Of(Method::Kind kind, std::string file = {}, std::uint32_t seed = 0) {
  Method m;
  m.kind = kind;
  m.file = std::move(file);
  m.trainSeed = seed;
  return m;
}

}  // namespace

std::optional<Method> ParseMethod(std::string_view text, std::string* error) {
  constexpr std::string_view kHeuristic = "heuristic";
  constexpr std::string_view kTrain = "train=";
  if (text == "ga") return Method{};
  // Plain "heuristic" is the search `ga --heuristic` runs: the built-in set.
  if (text == kHeuristic) return Of(Method::Kind::Builtin);
  if (!text.starts_with(kHeuristic) || text.size() == kHeuristic.size() + 1 || text[kHeuristic.size()] != ':') {
    *error = text::En<Tx::MethodChoice>(text);
    return std::nullopt;
  }
  const std::string_view w = text.substr(kHeuristic.size() + 1);
  if (w == "table") return Of(Method::Kind::Table);
  if (w == "builtin") return Of(Method::Kind::Builtin);
  if (w.starts_with(kTrain)) {
    const std::string_view s = w.substr(kTrain.size());
    std::uint32_t seed = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), seed);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
      *error = text::En<Tx::TrainSeed>(s);
      return std::nullopt;
    }
    return Of(Method::Kind::Train, {}, seed);
  }
  return Of(Method::Kind::File, std::string(w));
}

std::string FieldKeyPart(int level, std::string_view map, int mapIndex, std::optional<std::uint64_t> mapFnv) {
  if (level) return "level=" + std::to_string(level);
  return "map=" + (mapFnv ? FnvText(*mapFnv) : std::string(map) + ":" + std::to_string(mapIndex));
}

std::string Field::KeyPart() const { return FieldKeyPart(level, map, mapIndex, mapFnv); }

std::string Field::Label() const {
  return level ? text::En<Tx::ReportLevel>(level) : text::En<Tx::ReportMap>(map, mapIndex);
}

std::optional<Setting> CanonicalSetting(std::string_view assignment, std::string* error) {
  SimParams p;
  if (std::string why = ApplySetting(p, assignment); !why.empty()) {
    *error = why;
    return std::nullopt;
  }
  std::string name(assignment.substr(0, assignment.find('=')));
  const ParamInfo& info = *FindParam(name);
  const double v = GetParam(p, info);
  return Setting{name, info.isInt ? std::to_string(static_cast<long long>(v)) : ShortestText(v)};
}

std::string RunKey(const Method& m, const Field& f, std::span<const Setting> varied, std::uint32_t seed) {
  std::string key = "method=" + m.Name() + "|" + f.KeyPart();
  for (const Setting& s : varied) key += "|vary:" + s.name + "=" + s.value;
  return key + "|seed=" + std::to_string(seed);
}

std::string_view CellOfKey(std::string_view key) {
  const auto at = key.rfind("|seed=");
  return at == std::string_view::npos ? key : key.substr(0, at);
}

Grid::Grid(std::vector<Method> methods, std::vector<Field> fields, std::span<const Variation> variations,
           std::uint32_t first, std::uint32_t last)
    : m_methods(std::move(methods)),
      m_fields(std::move(fields)),
      m_byName(variations.begin(), variations.end()),
      m_first(first),
      m_seeds(last >= first ? std::uint64_t{last} - first + 1 : 0) {
  std::sort(m_byName.begin(), m_byName.end(), [](auto& a, auto& b) { return a.name < b.name; });
  for (const Variation& v : m_byName) m_combinations *= v.values.size();
}

std::vector<Setting> Grid::Combination(std::uint64_t c) const {
  // An odometer over the settings by name, the last turning fastest.
  std::vector<Setting> settings(m_byName.size());
  for (std::size_t i = m_byName.size(); i-- > 0;) {
    const std::vector<std::string>& values = m_byName[i].values;
    settings[i] = {m_byName[i].name, values[c % values.size()]};
    c /= values.size();
  }
  return settings;
}

Run Grid::At(std::uint64_t i) const {
  const auto seed = static_cast<std::uint32_t>(m_first + i % m_seeds);
  i /= m_seeds;
  std::vector<Setting> varied = Combination(i % m_combinations);
  i /= m_combinations;
  const std::size_t f = i % m_fields.size();
  const std::size_t m = i / m_fields.size();
  std::string key = RunKey(m_methods[m], m_fields[f], varied, seed);
  return {static_cast<int>(m), static_cast<int>(f), seed, std::move(varied), std::move(key)};
}

double GridSize(std::size_t methods, std::size_t fields, std::span<const Variation> variations, std::uint32_t first,
                std::uint32_t last) {
  double n = static_cast<double>(methods) * static_cast<double>(fields) * (static_cast<double>(last) - first + 1);
  for (const Variation& v : variations) n *= static_cast<double>(v.values.size());
  return n;
}

bool InShard(std::string_view key, int k, int n) {
  return Fnv1a64(key) % static_cast<std::uint64_t>(n) == static_cast<std::uint64_t>(k - 1);
}

}  // namespace korvane::study
