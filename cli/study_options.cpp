#include "cli/study_options.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "cli/options.h"
#include "sim/meteor_field.h"
#include "texts/study_texts.h"

namespace korvane::cli {
namespace {

[[noreturn]] void Fail(std::string text) { throw ArgumentError{std::move(text), {}}; }

std::vector<std::string> SplitCommas(const std::string& list, const char* option) {
  std::vector<std::string> items;
  std::size_t at = 0;
  for (;;) {
    const std::size_t comma = list.find(',', at);
    items.push_back(list.substr(at, comma - at));
    if (items.back().empty()) Fail(text::En<Tx::EmptyListItem>(option, list));
    if (comma == std::string::npos) return items;
    at = comma + 1;
  }
}

// PerceivedMeteors sets NetInputCount: two names of one setting.
constexpr const char* kPerceived = "PerceivedMeteors";
constexpr const char* kInputs = "NetInputCount";
bool OneSetting(std::string_view a, std::string_view b) {
  return (a == kPerceived && b == kInputs) || (a == kInputs && b == kPerceived);
}

// A whole number in [lo, hi], or nothing.
std::optional<long long> Whole(std::string_view s, long long lo, long long hi) {
  long long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi) return std::nullopt;
  return v;
}

}  // namespace

std::vector<study::Method> ParseMethods(const std::string& list) {
  if (list.empty()) Fail(text::En<Tx::StudyNeeds>("--methods"));
  std::vector<study::Method> methods;
  for (const std::string& item : SplitCommas(list, "--methods")) {
    std::string error;
    const auto m = study::ParseMethod(item, &error);
    if (!m) Fail(error);
    if (std::find(methods.begin(), methods.end(), *m) != methods.end())
      Fail(text::En<Tx::GivenTwice>("--methods", item));
    methods.push_back(*m);
  }
  return methods;
}

std::vector<study::Field> ParseFields(const std::string& levels, const std::string& maps) {
  std::vector<study::Field> fields;
  auto add = [&](const study::Field& f, const char* option, const std::string& item) {
    if (std::find(fields.begin(), fields.end(), f) != fields.end()) Fail(text::En<Tx::GivenTwice>(option, item));
    fields.push_back(f);
  };
  if (!levels.empty())
    for (const std::string& item : SplitCommas(levels, "--levels")) {
      const auto level = Whole(item, 1, BuiltInLevelCount);
      if (!level) Fail(text::En<Tx::LevelChoice>(item));
      add({static_cast<int>(*level), {}, 0, {}}, "--levels", item);
    }
  if (!maps.empty())
    for (const std::string& item : SplitCommas(maps, "--maps")) {
      const auto colon = item.rfind(':');
      const auto index = colon == std::string::npos ? std::nullopt : Whole(item.substr(colon + 1), 1, 2147483647);
      if (!index || colon == 0) Fail(text::En<Tx::MapChoice>(item));
      add({0, item.substr(0, colon), static_cast<int>(*index), {}}, "--maps", item);
    }
  if (fields.empty()) Fail(text::En<Tx::StudyNeedsField>());
  return fields;
}

void ParseSeeds(const std::string& range, StudyPlan& plan) {
  if (range.empty()) Fail(text::En<Tx::StudyNeeds>("--seeds"));
  const auto dash = range.find('-');
  const auto first = Whole(range.substr(0, dash), 0, 4294967295LL);
  const auto last = dash == std::string::npos ? first : Whole(range.substr(dash + 1), 0, 4294967295LL);
  if (!first || !last || *last < *first) Fail(text::En<Tx::SeedsChoice>(range));
  plan.firstSeed = static_cast<std::uint32_t>(*first);
  plan.lastSeed = static_cast<std::uint32_t>(*last);
}

void ParseShard(const std::string& shard, StudyPlan& plan) {
  const auto slash = shard.find('/');
  const auto n = slash == std::string::npos ? std::nullopt : Whole(shard.substr(slash + 1), 1, 1000000);
  const auto k = n ? Whole(shard.substr(0, slash), 1, *n) : std::nullopt;
  if (!k) Fail(text::En<Tx::ShardChoice>(shard));
  plan.shard = static_cast<int>(*k);
  plan.shards = static_cast<int>(*n);
}

std::vector<study::Variation> ParseVary(const std::vector<std::string>& vary, const std::vector<std::string>& sets) {
  std::vector<study::Variation> out;
  for (const std::string& v : vary) {
    const auto eq = v.find('=');
    if (eq == std::string::npos || eq == 0) Fail(text::En<Tx::VaryForm>(v));
    study::Variation variation{v.substr(0, eq), {}};
    for (const auto& other : out) {
      if (other.name == variation.name) Fail(text::En<Tx::GivenTwice>("--vary", variation.name));
      if (OneSetting(other.name, variation.name)) Fail(text::En<Tx::VaryBoth>(kPerceived, kInputs));
    }
    for (const std::string& s : sets) {
      const std::string name = s.substr(0, s.find('='));
      if (name == variation.name) Fail(text::En<Tx::VaryAndSet>(variation.name));
      if (OneSetting(name, variation.name)) Fail(text::En<Tx::VaryBoth>(kPerceived, kInputs));
    }
    std::vector<double> numbers;
    for (const std::string& value : SplitCommas(v.substr(eq + 1), "--vary")) {
      std::string error;
      const auto setting = study::CanonicalSetting(variation.name + "=" + value, &error);
      if (!setting) Fail(error);
      // Values equal as numbers (-0 and 0) fly the same runs.
      double number = 0;
      std::from_chars(setting->value.data(), setting->value.data() + setting->value.size(), number);
      if (std::find(numbers.begin(), numbers.end(), number) != numbers.end())
        Fail(text::En<Tx::GivenTwice>("--vary " + variation.name, value));
      numbers.push_back(number);
      variation.values.push_back(setting->value);
    }
    out.push_back(std::move(variation));
  }
  if (study::GridSize(1, 1, out, 0, 0) > kMaxStudyRuns) Fail(text::StudyTooLarge(study::GridSize(1, 1, out, 0, 0)));
  return out;
}

void CheckVaried(const std::vector<study::Variation>& vary, const SimParams& base, const RunScope& scope) {
  // Every combination within the limits, those that tie settings together
  // too, one at a time.
  const study::Grid grid({}, {}, vary, 0, 0);
  for (std::uint64_t c = 0; c < grid.CombinationCount(); ++c) {
    const std::vector<study::Setting> varied = grid.Combination(c);
    const SimParams p = WithVaried(base, varied);
    std::string what;
    for (const study::Setting& s : varied) what += (what.empty() ? "" : " ") + s.name + "=" + s.value;
    for (const study::Setting& s : varied)
      if (auto problem = CheckParam(p, s.name)) Fail(text::En<Tx::VaryRefused>(what, problem->reason));
    if (auto problem = CheckParams(p, scope))
      Fail(varied.empty() ? problem->reason : text::En<Tx::VaryRefused>(what, problem->reason));
  }
}

SimParams WithVaried(SimParams p, const std::vector<study::Setting>& varied) {
  for (const study::Setting& s : varied) ApplySetting(p, s.name + "=" + s.value);
  return p;
}

}  // namespace korvane::cli
