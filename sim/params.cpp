#include "sim/params.h"

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

std::string FormatBytes(double bytes) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f GiB", bytes / (1024.0 * 1024 * 1024));
  return buf;
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

double PlanGenomeBytes(const SimParams& p) {
  const double perGene = sizeof(int) + sizeof(double);
  return 2.0 * p.PopulationSize * p.ChromosomeLength * perGene;
}

double WeightGenomeBytes(const SimParams& p) {
  // The network's weight count, in doubles so no shape can overflow it.
  const double in = p.NetInputCount, n = p.NeuronsPerHiddenLayer, h = p.HiddenLayerCount;
  const double out = SimParams::NetOutputCount;
  const double weights = h == 0 ? out * (in + 1) : n * (in + 1) + (h - 1) * n * (n + 1) + out * (n + 1);
  return 2.0 * p.NetPopulationSize * weights * sizeof(double);
}

std::optional<ParamProblem> CheckCombinations(const SimParams& p) {
  auto problem = [](const char* name, ParamProblem::Kind kind, std::string reason, double bytes = 0) {
    ParamProblem r{name, 0, 0, std::move(reason)};
    r.kind = kind;
    r.bytes = bytes;
    return r;
  };
  if ((p.PopulationSize - p.EliteCount) % 2 != 0)
    return problem("PopulationSize", ParamProblem::Kind::Parity,
                   "PopulationSize minus EliteCount must be even (children are made in pairs)");
  if ((p.NetPopulationSize - p.NetEliteCount) % 2 != 0)
    return problem("NetPopulationSize", ParamProblem::Kind::Parity,
                   "NetPopulationSize minus NetEliteCount must be even (children are made in pairs)");
  if (const double bytes = PlanGenomeBytes(p); bytes > GenomeMemoryBudget)
    return problem("PopulationSize", ParamProblem::Kind::Memory,
                   "PopulationSize x ChromosomeLength needs " + FormatBytes(bytes) +
                       " for the run's flight plans; the limit is 2 GiB",
                   bytes);
  if (const double bytes = WeightGenomeBytes(p); bytes > GenomeMemoryBudget)
    return problem("NetPopulationSize", ParamProblem::Kind::Memory,
                   "NetPopulationSize x the network's weights needs " + FormatBytes(bytes) +
                       " for the run's weight vectors; the limit is 2 GiB",
                   bytes);
  return std::nullopt;
}

std::optional<ParamProblem> CheckParams(const SimParams& p) {
  for (const ParamInfo& info : ParamTable())
    if (auto problem = CheckParam(p, info.name)) return problem;
  return CheckCombinations(p);
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
