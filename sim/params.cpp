#include "sim/params.h"

#include "sim/run_memory.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "sim/read_double.h"

namespace korvane {
namespace {

constexpr double kIntMin = std::numeric_limits<int>::min();
constexpr double kIntMax = std::numeric_limits<int>::max();
constexpr int kMaxPerceived = 10;  // the perception table's slots

ParamInfo I(const char* name, int SimParams::*f, double lo, double hi) {
  return ParamInfo{name, true, lo, hi, f, nullptr};
}
ParamInfo D(const char* name, double SimParams::*f, double lo, double hi, bool loOpen = false) {
  return ParamInfo{name, false, lo, hi, nullptr, f, loOpen};
}

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
  // Limits keep every table and divisor in range (ten perception slots, 5000
  // history entries, 200 suggestion entries, no rand() % 0, no empty
  // population) and every flight finite: within them a flight leaves the
  // field long before a position, speed or sum can overflow.
  static const std::vector<ParamInfo> table = {
      D("LifeboatSize", &SimParams::LifeboatSize, 0.0, 1000.0),
      D("Gravity", &SimParams::Gravity, -1000.0, 1000.0),
      D("LifeboatAccel", &SimParams::LifeboatAccel, -1000.0, 1000.0),
      D("TimeStep", &SimParams::TimeStep, 0.0, 10.0, true),
      D("SpeedScale", &SimParams::SpeedScale, -1000.0, 1000.0),
      I("MaxGenerations", &SimParams::MaxGenerations, -1, 1000000),
      I("PopulationSize", &SimParams::PopulationSize, 1, 100000),
      I("EliteCount", &SimParams::EliteCount, 0, 100000),
      I("ChromosomeLength", &SimParams::ChromosomeLength, 1, 200),
      I("ActionDurationRange", &SimParams::ActionDurationRange, 1, 100000),
      D("DurationMutationRate", &SimParams::DurationMutationRate, 0.0, 1.0),
      I("DurationMutationRange", &SimParams::DurationMutationRange, 0, 100000),
      D("ActionMutationRate", &SimParams::ActionMutationRate, 0.0, 1.0),
      D("InsertionRate", &SimParams::InsertionRate, 0.0, 1.0),
      I("InsertionDuration", &SimParams::InsertionDuration, 1, 100000),
      D("TimeWeight", &SimParams::TimeWeight, -1e6, 1e6),
      D("SafetyWeight", &SimParams::SafetyWeight, -1e6, 1e6),
      D("EnergyWeight", &SimParams::EnergyWeight, -1e6, 1e6),
      I("HiddenLayerCount", &SimParams::HiddenLayerCount, 0, 100),
      I("NeuronsPerHiddenLayer", &SimParams::NeuronsPerHiddenLayer, 1, 1000),
      D("SigmoidParam", &SimParams::SigmoidParam, -1e6, 1e6),
      D("NormalizeParam", &SimParams::NormalizeParam, -1e6, 1e6),
      I("TrainingGenerations", &SimParams::TrainingGenerations, 0, 5000),
      I("NetPopulationSize", &SimParams::NetPopulationSize, 1, 100000),
      I("NetEliteCount", &SimParams::NetEliteCount, 0, 100000),
      I("NetInputCount", &SimParams::NetInputCount, 4, 24),
      D("InitWeightRange", &SimParams::InitWeightRange, 0.0, 1e6),
      D("SmallMutationRate", &SimParams::SmallMutationRate, 0.0, 1.0),
      D("SmallMutationRange", &SimParams::SmallMutationRange, 0.0, 1e6),
      D("LargeMutationRate", &SimParams::LargeMutationRate, 0.0, 1.0),
      D("LargeMutationRange", &SimParams::LargeMutationRange, -1e6, 1e6),
      D("NetCrossoverRate", &SimParams::NetCrossoverRate, 0.0, 1.0),
      I("StartX", &SimParams::StartX, kIntMin, kIntMax),
      I("StartY", &SimParams::StartY, kIntMin, kIntMax),
      I("HideThrustMarker", &SimParams::HideThrustMarker, 0, 1),
      I("HidePerceived", &SimParams::HidePerceived, 0, 1),
      I("HideScoreChart", &SimParams::HideScoreChart, 0, 1),
  };
  return table;
}

const ParamInfo* FindParam(std::string_view name) {
  for (const ParamInfo& info : ParamTable())
    if (name == info.name) return &info;
  return nullptr;
}

double GetParam(const SimParams& p, const ParamInfo& info) {
  return info.isInt ? static_cast<double>(p.*info.intField) : p.*info.doubleField;
}

void SetParam(SimParams& p, const ParamInfo& info, double value) {
  if (info.isInt)
    p.*info.intField = static_cast<int>(value);
  else
    p.*info.doubleField = value;
}

std::optional<ParamProblem> CheckParam(const SimParams& p, std::string_view name) {
  if (name == "PerceivedMeteors") {
    int n = p.PerceivedMeteors();
    if (p.NetInputCount % 2 != 0 || n < 0 || n > 10)
      return ParamProblem{"PerceivedMeteors", 0, 10,
                          "PerceivedMeteors must be between 0 and 10 (the perception table has 10 slots)"};
    return std::nullopt;
  }
  const ParamInfo* info = FindParam(name);
  if (!info) {
    ParamProblem unknown{std::string(name), 0, 0, "unknown parameter '" + std::string(name) + "'"};
    unknown.kind = ParamProblem::Kind::Unknown;
    return unknown;
  }
  double v = GetParam(p, *info);
  double lo = info->lo;
  double hi = info->hi;
  // Limits that depend on another setting.
  if (name == "EliteCount") hi = p.PopulationSize;
  if (name == "NetEliteCount") hi = p.NetPopulationSize;
  const bool below = info->loOpen ? !(v > lo) : !(v >= lo);
  if (!std::isfinite(v) || below || v > hi) {
    std::string why = std::string(info->name) + " must be " +
                      (info->loOpen ? "above " + FormatLimit(lo) + " and at most " + FormatLimit(hi)
                                    : "between " + FormatLimit(lo) + " and " + FormatLimit(hi));
    if (name == "EliteCount") why += " (the population size)";
    if (name == "NetEliteCount") why += " (the network population size)";
    ParamProblem problem{info->name, lo, hi, why};
    problem.loOpen = info->loOpen;
    return problem;
  }
  if (name == "NetInputCount" && p.NetInputCount % 2 != 0)
    return ParamProblem{info->name, lo, hi, "NetInputCount must be even (2 x perceived meteors + 4)"};
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
                   "PopulationSize minus EliteCount must be even (children are made in pairs)");
  if (scope.training && (p.NetPopulationSize - p.NetEliteCount) % 2 != 0)
    return problem("NetPopulationSize", ParamProblem::Kind::Parity,
                   "NetPopulationSize minus NetEliteCount must be even (children are made in pairs)");
  const double bytes = RunBytes(p, scope);
  if (bytes <= scope.budget) return std::nullopt;
  const std::string needs = " needs " + FormatMemory(bytes) + "; the limit is " + FormatMemory(scope.budget);
  // The part over the budget names the setting to lower: training, the plan
  // search itself, or else the network it carries or flies.
  if (scope.training && TrainingBytes(p, scope) > scope.budget)
    return problem("NetPopulationSize", ParamProblem::Kind::Memory,
                   "training (NetPopulationSize x the network's weights)" + needs, bytes);
  RunScope plans = scope;
  plans.training = plans.network = false;
  if (scope.planSearch && RunBytes(p, plans) > scope.budget)
    return problem("PopulationSize", ParamProblem::Kind::Memory,
                   "the search (PopulationSize x ChromosomeLength, and MaxGenerations)" + needs, bytes);
  return problem("NeuronsPerHiddenLayer", ParamProblem::Kind::Memory,
                 "the network (HiddenLayerCount x NeuronsPerHiddenLayer)" + needs, bytes);
}

std::optional<ParamProblem> CheckParams(const SimParams& p) { return CheckParams(p, RunScope{}); }

std::optional<ParamProblem> CheckParams(const SimParams& p, const RunScope& scope) {
  for (const ParamInfo& info : ParamTable())
    if (auto problem = CheckParam(p, info.name)) return problem;
  return CheckCombinations(p, scope);
}

std::string AllowedValues(const ParamInfo& info) {
  const std::string kind = info.isInt ? "a whole number" : "a number";
  if (info.loOpen) return kind + " above " + FormatLimit(info.lo) + " and at most " + FormatLimit(info.hi);
  return kind + " from " + FormatLimit(info.lo) + " to " + FormatLimit(info.hi);
}

std::string ApplySetting(SimParams& p, std::string_view assignment) {
  auto eq = assignment.find('=');
  if (eq == std::string_view::npos)
    return "--set expects Name=Value, got '" + std::string(assignment) + "'";
  std::string_view name = assignment.substr(0, eq);
  std::string text(assignment.substr(eq + 1));
  bool perceived = name == "PerceivedMeteors";
  const ParamInfo* info = perceived ? nullptr : FindParam(name);
  if (!perceived && !info) return "unknown parameter '" + std::string(name) + "'";
  // The refusal names the bound the value must keep, not only its kind.
  const bool wantInt = perceived || info->isInt;
  const ParamInfo perceivedInfo{"PerceivedMeteors", true, 0, kMaxPerceived, nullptr, nullptr};
  const std::string refusal =
      std::string(name) + " must be " + AllowedValues(perceived ? perceivedInfo : *info) + ", got '" + text + "'";
  double value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (wantInt) {
    long long n = 0;
    auto [ptr, ec] = std::from_chars(first, last, n);
    if (text.empty() || ec != std::errc() || ptr != last || n < kIntMin || n > kIntMax) return refusal;
    value = static_cast<double>(n);
  } else {
    auto [ptr, ec] = ReadDouble(first, last, value);
    if (!text.empty() && ptr == last && ec == std::errc::result_out_of_range && Underflows(text))
      return std::string(name) + ": '" + text + "' is too close to 0 to be held as a number (it underflows); write 0";
    if (text.empty() || ec != std::errc() || ptr != last || !std::isfinite(value)) return refusal;
  }
  if (perceived) {
    if (value < 0 || value > kMaxPerceived) return refusal;
    p.SetPerceivedMeteors(static_cast<int>(value));
  } else {
    SetParam(p, *info, value);
  }
  return {};
}

}  // namespace korvane
