#include "sim/params.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "sim/perception.h"
#include "sim/read_double.h"
#include "sim/run_memory.h"

namespace korvane {
namespace {

constexpr double kIntMin = INT_MIN;
constexpr double kIntMax = INT_MAX;

std::string FormatLimit(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// For a number text from_chars found out of range: whether it is too close
// to 0 rather than too large, by the decimal order of its first digit that
// is not 0 and its exponent.
bool Underflows(std::string_view text) {
  long long order = 0;
  bool seen = false, point = false;
  std::size_t i = text.starts_with('-') || text.starts_with('+') ? 1 : 0;
  for (; i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'); ++i) {
    if (text[i] == '.') {
      point = true;
    } else if (!point) {
      if (seen) ++order;
      seen = seen || text[i] != '0';
    } else if (!seen) {
      --order;
      seen = text[i] != '0';
    }
  }
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    const bool negative = ++i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
      exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000000LL);
    if (negative) exponent = -exponent;
  }
  return order + exponent < 0;
}

}  // namespace

const std::vector<ParamInfo>& ParamTable() {
  // The rows' flags.
  [[maybe_unused]] constexpr unsigned Plain = 0;
  constexpr unsigned LoOpen = 1, Class = 2;
#define KORVANE_FIELD_Int(name) &SimParams::name, nullptr
#define KORVANE_FIELD_Check(name) &SimParams::name, nullptr
#define KORVANE_FIELD_Double(name) nullptr, &SimParams::name
#define KORVANE_FIELD_Perceived(name) nullptr, nullptr
#define KORVANE_INFO(name, kind, def, lo, hi, flags, bound, ...) \
  ParamInfo{#name,                                               \
            SettingKind::kind,                                   \
            SettingKind::kind != SettingKind::Double,            \
            static_cast<double>(lo),                             \
            static_cast<double>(hi),                             \
            ((flags)&LoOpen) != 0,                               \
            ((flags)&Class) != 0,                                \
            std::string_view(#bound) == "_" ? nullptr : #bound,  \
            KORVANE_FIELD_##kind(name),                          \
            Tx::Label##name,                                     \
            Tx::Meaning##name},
  static const std::vector<ParamInfo> table = {KORVANE_SETTINGS(KORVANE_INFO)};
#undef KORVANE_INFO
#undef KORVANE_FIELD_Int
#undef KORVANE_FIELD_Check
#undef KORVANE_FIELD_Double
#undef KORVANE_FIELD_Perceived
  return table;
}

const ParamInfo* FindParam(std::string_view name) {
  for (const ParamInfo& info : ParamTable())
    if (name == info.name) return &info;
  return nullptr;
}

double GetParam(const SimParams& p, const ParamInfo& info) {
  if (info.kind == SettingKind::Perceived) return p.PerceivedMeteors();
  return info.isInt ? static_cast<double>(p.*info.intField) : p.*info.doubleField;
}

void SetParam(SimParams& p, const ParamInfo& info, double value) {
  if (info.kind == SettingKind::Perceived)
    p.SetPerceivedMeteors(static_cast<int>(value));
  else if (info.isInt)
    p.*info.intField = static_cast<int>(value);
  else
    p.*info.doubleField = value;
}

std::string LimitName(const ParamInfo& bound, text::Lang lang) {
  std::string name(text::WithoutColon(text::Get(bound.label, lang)));
  // English: "Population size" within a sentence is "population size".
  if (lang == text::Lang::En && !name.empty())
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  return name;
}

std::optional<ParamProblem> CheckParam(const SimParams& p, std::string_view name) {
  const ParamInfo* info = FindParam(name);
  if (!info) {
    ParamProblem unknown{std::string(name), 0, 0, text::En<Tx::ParamUnknown>(name)};
    unknown.kind = ParamProblem::Kind::Unknown;
    return unknown;
  }
  double lo = info->lo;
  double hi = info->hi;
  if (info->kind == SettingKind::Perceived) {
    // Judged by the field it names: an odd input count is no number of meteors.
    const int n = p.PerceivedMeteors();
    if (p.NetInputCount % 2 != 0 || n < lo || n > hi)
      return ParamProblem{info->name, lo, hi,
                          text::En<Tx::ParamPerceived>(info->name, FormatLimit(lo), FormatLimit(hi))};
    return std::nullopt;
  }
  const double v = GetParam(p, *info);
  // A limit that is another setting.
  const ParamInfo* bound = info->bound ? FindParam(info->bound) : nullptr;
  if (bound) hi = GetParam(p, *bound);
  const bool below = info->loOpen ? !(v > lo) : !(v >= lo);
  if (!std::isfinite(v) || below || v > hi) {
    const std::string l = FormatLimit(lo), h = FormatLimit(hi);
    ParamProblem problem{info->name, lo, hi,
                         info->loOpen ? text::En<Tx::ParamAbove>(info->name, l, h)
                         : bound ? text::En<Tx::ParamBetweenBound>(info->name, l, h, LimitName(*bound, text::Lang::En))
                                 : text::En<Tx::ParamBetween>(info->name, l, h)};
    problem.loOpen = info->loOpen;
    return problem;
  }
  if (name == "NetInputCount" && p.NetInputCount % 2 != 0)
    return ParamProblem{info->name, lo, hi, std::string(text::En(Tx::ParamInputsEven))};
  return std::nullopt;
}

std::optional<ParamProblem> CheckCombinations(const SimParams& p) { return CheckCombinations(p, RunScope{}); }

std::optional<ParamProblem> CheckCombinations(const SimParams& p, const RunScope& scope) {
  auto problem = [](const char* name, ParamProblem::Kind kind, std::string reason, double bytes = 0) {
    ParamProblem r{name, 0, 0, std::move(reason)};
    r.kind = kind;
    r.bytes = bytes;
    return r;
  };
  if (scope.planSearch && (p.PopulationSize - p.EliteCount) % 2 != 0)
    return problem("PopulationSize", ParamProblem::Kind::Parity,
                   text::En<Tx::ParamPairs>("PopulationSize", "EliteCount"));
  if (scope.training && (p.NetPopulationSize - p.NetEliteCount) % 2 != 0)
    return problem("NetPopulationSize", ParamProblem::Kind::Parity,
                   text::En<Tx::ParamPairs>("NetPopulationSize", "NetEliteCount"));
  const double bytes = RunBytes(p, scope);
  if (bytes <= scope.budget) return std::nullopt;
  const std::string needs = FormatMemory(bytes), limit = FormatMemory(scope.budget);
  // The part over the budget names the setting to lower: training, the plan
  // search itself, or else the network it carries or flies.
  if (scope.training && TrainingBytes(p, scope) > scope.budget)
    return problem("NetPopulationSize", ParamProblem::Kind::Memory, text::En<Tx::MemoryTraining>(needs, limit), bytes);
  RunScope plans = scope;
  plans.training = plans.network = false;
  if (scope.planSearch && RunBytes(p, plans) > scope.budget)
    return problem("PopulationSize", ParamProblem::Kind::Memory, text::En<Tx::MemorySearch>(needs, limit), bytes);
  return problem("NeuronsPerHiddenLayer", ParamProblem::Kind::Memory, text::En<Tx::MemoryNetwork>(needs, limit), bytes);
}

std::optional<ParamProblem> CheckParams(const SimParams& p) { return CheckParams(p, RunScope{}); }

std::optional<ParamProblem> CheckParams(const SimParams& p, const RunScope& scope) {
  // PerceivedMeteors is judged with NetInputCount, whose name it takes.
  for (const ParamInfo& info : ParamTable())
    if (info.kind != SettingKind::Perceived)
      if (auto problem = CheckParam(p, info.name)) return problem;
  return CheckCombinations(p, scope);
}

std::string AllowedValues(const ParamInfo& info) {
  const std::string_view kind = text::En(info.isInt ? Tx::AllowedWhole : Tx::AllowedNumber);
  if (info.loOpen) return text::En<Tx::AllowedAbove>(kind, FormatLimit(info.lo), FormatLimit(info.hi));
  return text::En<Tx::AllowedFromTo>(kind, FormatLimit(info.lo), FormatLimit(info.hi));
}

std::string ApplySetting(SimParams& p, std::string_view assignment) {
  auto eq = assignment.find('=');
  if (eq == std::string_view::npos) return text::En<Tx::SetExpects>(assignment);
  std::string_view name = assignment.substr(0, eq);
  std::string text(assignment.substr(eq + 1));
  const ParamInfo* info = FindParam(name);
  if (!info) return text::En<Tx::ParamUnknown>(name);
  // The refusal names the bound the value must keep, not only its kind.
  const std::string refusal = text::En<Tx::SetMustBe>(name, AllowedValues(*info), text);
  double value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (info->isInt) {
    long long n = 0;
    auto [ptr, ec] = std::from_chars(first, last, n);
    if (text.empty() || ec != std::errc() || ptr != last || n < kIntMin || n > kIntMax) return refusal;
    value = static_cast<double>(n);
  } else {
    auto [ptr, ec] = ReadDouble(first, last, value);
    if (!text.empty() && ptr == last && ec == std::errc::result_out_of_range && Underflows(text))
      return text::En<Tx::SetUnderflows>(name, text);
    if (text.empty() || ec != std::errc() || ptr != last || !std::isfinite(value)) return refusal;
  }
  // Another name of a field: held to its limits here, where 2n + 4 is made.
  if (info->kind == SettingKind::Perceived && (value < info->lo || value > info->hi)) return refusal;
  SetParam(p, *info, value);
  return {};
}

}  // namespace korvane
