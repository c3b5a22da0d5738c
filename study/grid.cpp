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
    *error = text::MethodChoice(text);
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
      *error = text::TrainSeed(s);
      return std::nullopt;
    }
    return Of(Method::Kind::Train, {}, seed);
  }
  return Of(Method::Kind::File, std::string(w));
}

std::string Field::KeyPart() const {
  return level ? "level=" + std::to_string(level) : "map=" + map + ":" + std::to_string(mapIndex);
}

std::string Field::Label() const {
  return level ? "level " + std::to_string(level) : "map " + map + ":" + std::to_string(mapIndex);
}

std::optional<Setting> CanonicalSetting(std::string_view assignment, std::string* error) {
  SimParams p;
  if (std::string why = ApplySetting(p, assignment); !why.empty()) {
    *error = why;
    return std::nullopt;
  }
  std::string name(assignment.substr(0, assignment.find('=')));
  if (name == "PerceivedMeteors") return Setting{name, std::to_string(p.PerceivedMeteors())};
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

std::vector<Run> ExpandGrid(std::span<const Method> methods, std::span<const Field> fields,
                            std::span<const Variation> variations, std::uint32_t first, std::uint32_t last) {
  std::vector<const Variation*> byName;
  for (const Variation& v : variations) byName.push_back(&v);
  std::sort(byName.begin(), byName.end(), [](auto* a, auto* b) { return a->name < b->name; });
  // Every combination of the varied values, as an odometer over byName.
  std::vector<std::vector<Setting>> combinations;
  std::vector<std::size_t> digit(byName.size(), 0);
  for (bool more = true; more;) {
    std::vector<Setting> c;
    for (std::size_t i = 0; i < byName.size(); ++i) c.push_back({byName[i]->name, byName[i]->values[digit[i]]});
    combinations.push_back(std::move(c));
    more = false;
    for (std::size_t i = byName.size(); i-- > 0 && !more;) {
      more = ++digit[i] < byName[i]->values.size();
      if (!more) digit[i] = 0;
    }
  }
  std::vector<Run> runs;
  for (std::size_t m = 0; m < methods.size(); ++m)
    for (std::size_t f = 0; f < fields.size(); ++f)
      for (const std::vector<Setting>& c : combinations)
        for (std::uint64_t s = first; s <= last; ++s) {
          const auto seed = static_cast<std::uint32_t>(s);
          runs.push_back({static_cast<int>(m), static_cast<int>(f), seed, c, RunKey(methods[m], fields[f], c, seed)});
        }
  return runs;
}

double GridSize(std::size_t methods, std::size_t fields, std::span<const Variation> variations, std::uint32_t first,
                std::uint32_t last) {
  double n = static_cast<double>(methods) * static_cast<double>(fields) * (static_cast<double>(last) - first + 1);
  for (const Variation& v : variations) n *= static_cast<double>(v.values.size());
  return n;
}

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  return h;
}

bool InShard(std::string_view key, int k, int n) { return Fnv1a64(key) % static_cast<std::uint64_t>(n) == static_cast<std::uint64_t>(k - 1); }

}  // namespace korvane::study
