#include "sim/params.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace korvane {
namespace {

constexpr double kHuge = 1e300;
constexpr double kIntMin = std::numeric_limits<int>::min();
constexpr double kIntMax = std::numeric_limits<int>::max();
constexpr int kMaxPerceived = 10;  // the perception table's slots

ParamInfo I(const char* name, int SimParams::*f, double lo, double hi) {
  return ParamInfo{name, true, lo, hi, f, nullptr};
}
ParamInfo D(const char* name, double SimParams::*f, double lo = -kHuge, double hi = kHuge) {
  return ParamInfo{name, false, lo, hi, nullptr, f};
}

std::string FormatLimit(double v) {
  if (v >= kHuge) return "inf";
  if (v <= -kHuge) return "-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

}  // namespace

const std::vector<ParamInfo>& ParamTable() {
  // Limits keep every table and divisor in range: ten perception slots, 5000
  // history entries, 200 suggestion entries, no rand() % 0, no empty population.
  static const std::vector<ParamInfo> table = {
      D("LifeboatSize", &SimParams::LifeboatSize, 0.0, 1000.0),
      D("Gravity", &SimParams::Gravity),
      D("LifeboatAccel", &SimParams::LifeboatAccel),
      D("TimeStep", &SimParams::TimeStep),
      D("SpeedScale", &SimParams::SpeedScale),
      I("MaxGenerations", &SimParams::MaxGenerations, -1, 1000000),
      I("PopulationSize", &SimParams::PopulationSize, 1, 100000),
      I("EliteCount", &SimParams::EliteCount, 0, 100000),
      I("ChromosomeLength", &SimParams::ChromosomeLength, 1, 200),
      I("ActionDurationRange", &SimParams::ActionDurationRange, 1, 100000),
      D("DurationMutationRate", &SimParams::DurationMutationRate),
      I("DurationMutationRange", &SimParams::DurationMutationRange, 0, 100000),
      D("ActionMutationRate", &SimParams::ActionMutationRate),
      D("InsertionRate", &SimParams::InsertionRate),
      I("InsertionDuration", &SimParams::InsertionDuration, 1, 100000),
      D("TimeWeight", &SimParams::TimeWeight),
      D("SafetyWeight", &SimParams::SafetyWeight),
      D("EnergyWeight", &SimParams::EnergyWeight),
      I("HiddenLayerCount", &SimParams::HiddenLayerCount, 0, 100),
      I("NeuronsPerHiddenLayer", &SimParams::NeuronsPerHiddenLayer, 1, 1000),
      D("SigmoidParam", &SimParams::SigmoidParam),
      D("NormalizeParam", &SimParams::NormalizeParam),
      I("TrainingGenerations", &SimParams::TrainingGenerations, 0, 5000),
      I("NetPopulationSize", &SimParams::NetPopulationSize, 1, 100000),
      I("NetEliteCount", &SimParams::NetEliteCount, 0, 100000),
      I("NetInputCount", &SimParams::NetInputCount, 4, 24),
      D("InitWeightRange", &SimParams::InitWeightRange),
      D("SmallMutationRate", &SimParams::SmallMutationRate),
      D("SmallMutationRange", &SimParams::SmallMutationRange),
      D("LargeMutationRate", &SimParams::LargeMutationRate),
      D("LargeMutationRange", &SimParams::LargeMutationRange),
      D("NetCrossoverRate", &SimParams::NetCrossoverRate),
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
  if (!info) return ParamProblem{std::string(name), 0, 0, "unknown parameter '" + std::string(name) + "'"};
  double v = GetParam(p, *info);
  double lo = info->lo;
  double hi = info->hi;
  // Limits that depend on another setting.
  if (name == "EliteCount") hi = p.PopulationSize;
  if (name == "NetEliteCount") hi = p.NetPopulationSize;
  if (!std::isfinite(v) || v < lo || v > hi) {
    std::string why = std::string(info->name) + " must be between " + FormatLimit(lo) + " and " + FormatLimit(hi);
    if (name == "EliteCount") why += " (the population size)";
    if (name == "NetEliteCount") why += " (the network population size)";
    return ParamProblem{info->name, lo, hi, why};
  }
  if (name == "NetInputCount" && p.NetInputCount % 2 != 0)
    return ParamProblem{info->name, lo, hi, "NetInputCount must be even (2 x perceived meteors + 4)"};
  return std::nullopt;
}

std::optional<ParamProblem> CheckParams(const SimParams& p) {
  for (const ParamInfo& info : ParamTable())
    if (auto problem = CheckParam(p, info.name)) return problem;
  return std::nullopt;
}

std::string AllowedValues(bool isInt, double lo, double hi) {
  if (lo <= -kHuge && hi >= kHuge) return "a finite number";
  return std::string(isInt ? "a whole number" : "a number") + " from " + FormatLimit(lo) + " to " + FormatLimit(hi);
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
  const std::string refusal = std::string(name) + " must be " +
                              AllowedValues(wantInt, perceived ? 0 : info->lo, perceived ? kMaxPerceived : info->hi) +
                              ", got '" + text + "'";
  double value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (wantInt) {
    long long n = 0;
    auto [ptr, ec] = std::from_chars(first, last, n);
    if (text.empty() || ec != std::errc() || ptr != last || n < kIntMin || n > kIntMax) return refusal;
    value = static_cast<double>(n);
  } else {
    auto [ptr, ec] = std::from_chars(first, last, value);
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
