#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Playfield geometry; no setting changes these.
inline constexpr int PlayfieldWidth = 1800;
inline constexpr int PlayfieldHeight = 400;
inline constexpr double HullRadius = 4.5;
inline constexpr int StartPosX = 20;
inline constexpr int StartPosY = PlayfieldHeight / 2;

// Every physical, genetic and network setting, as a plain value. Runs take a
// copy when they start and refresh it as engine/run_settings.h says, so no
// thread ever sees a half-written value.
struct SimParams {
  // Physics.
  double LifeboatSize = 2.5;
  double Gravity = 2.0;
  double LifeboatAccel = 5.0;
  double TimeStep = 0.04;
  double SpeedScale = 30.0;
  // Flight-plan search.
  int MaxGenerations = 200;
  int PopulationSize = 500;
  int EliteCount = 4;
  int ChromosomeLength = 30;
  int ActionDurationRange = 5;
  double DurationMutationRate = 0.5;
  int DurationMutationRange = 2;
  double ActionMutationRate = 0.1;
  double InsertionRate = 0.2;
  int InsertionDuration = 10;
  double TimeWeight = 0.1;
  double SafetyWeight = 6.0;
  double EnergyWeight = 0.1;
  // Network and its weight search.
  int HiddenLayerCount = 2;
  int NeuronsPerHiddenLayer = 5;
  double SigmoidParam = 0.5;
  double NormalizeParam = 50.0;
  int TrainingGenerations = 150;
  int NetPopulationSize = 400;
  int NetEliteCount = 4;
  int NetInputCount = 6;
  double InitWeightRange = 2.0;
  double SmallMutationRate = 0.8;
  double SmallMutationRange = 4.0;
  double LargeMutationRate = 0.4;
  double LargeMutationRange = 10.0;
  double NetCrossoverRate = 0.2;
  // Third page.
  int StartX = 20;
  int StartY = 200;
  int HideThrustMarker = 0;
  int HidePerceived = 0;
  int HideScoreChart = 0;

  // Fixed values kept with the settings.
  static constexpr int NetOutputCount = 5;
  static constexpr int TicksPerDecision = 1;
  static constexpr double ReplaySpeed = 0.5;

  int PerceivedMeteors() const { return NetInputCount / 2 - 2; }
  void SetPerceivedMeteors(int n) { NetInputCount = 2 * n + 4; }
};

// One editable parameter, addressable by name (the CLI's --set, the settings
// sheet's range checks).
struct ParamInfo {
  const char* name;
  bool isInt;
  double lo;  // limits; cross-field limits are checked separately
  double hi;
  int SimParams::*intField;
  double SimParams::*doubleField;
  bool loOpen = false;  // the value must be above lo, not at it
};

const std::vector<ParamInfo>& ParamTable();
const ParamInfo* FindParam(std::string_view name);

double GetParam(const SimParams& p, const ParamInfo& info);
void SetParam(SimParams& p, const ParamInfo& info, double value);

// Why a value is refused, so callers can word it in their own language.
struct ParamProblem {
  enum class Kind {
    Range,   // outside [lo, hi] (or (lo, hi] when loOpen)
    Parity,  // population − elites is odd: children come in pairs
    Memory,  // the run would need `bytes`, over the budget
    Unknown,
  };
  std::string name;  // the setting to change
  double lo = 0;
  double hi = 0;
  std::string reason;  // English, for the CLI
  Kind kind = Kind::Range;
  bool loOpen = false;
  double bytes = 0;
};

// Checks one parameter of a proposed set (elites within the population
// included). PerceivedMeteors is a valid name too.
std::optional<ParamProblem> CheckParam(const SimParams& p, std::string_view name);
// The limits that tie several settings together, for what runs (see
// sim/run_memory.h; without a scope: everything the window may run): an even
// population − elites, for plans and for weights, and the run within the
// memory budget. The problem names the population setting (or, for a
// network flown alone, NeuronsPerHiddenLayer).
struct RunScope;
std::optional<ParamProblem> CheckCombinations(const SimParams& p);
std::optional<ParamProblem> CheckCombinations(const SimParams& p, const RunScope& scope);
// Checks every parameter, then the combinations; the first problem found.
std::optional<ParamProblem> CheckParams(const SimParams& p);
std::optional<ParamProblem> CheckParams(const SimParams& p, const RunScope& scope);

// What a value of the setting must be, in English: "a whole number from 1
// to 100000", "a number above 0 and at most 10".
std::string AllowedValues(const ParamInfo& info);

// Parses "Name=Value" onto p. Returns an error text, empty on success; a
// value that does not parse is refused with the setting's limits.
std::string ApplySetting(SimParams& p, std::string_view assignment);

}  // namespace korvane
