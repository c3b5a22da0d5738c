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
  double lo;  // inclusive limits; cross-field limits are checked separately
  double hi;
  int SimParams::*intField;
  double SimParams::*doubleField;
};

const std::vector<ParamInfo>& ParamTable();
const ParamInfo* FindParam(std::string_view name);

double GetParam(const SimParams& p, const ParamInfo& info);
void SetParam(SimParams& p, const ParamInfo& info, double value);

// Why a value is refused, with the allowed range, so callers can word it in
// their own language.
struct ParamProblem {
  std::string name;
  double lo;
  double hi;
  std::string reason;  // English, for the CLI
};

// Checks one parameter of a proposed set (cross-field limits such as elites
// within the population included). PerceivedMeteors is a valid name too.
std::optional<ParamProblem> CheckParam(const SimParams& p, std::string_view name);
// Checks every parameter; the first problem found, if any.
std::optional<ParamProblem> CheckParams(const SimParams& p);

// What a value within lo..hi must be, in English: "a whole number from 1 to
// 100000", "a finite number" (when the limits are only there to keep it finite).
std::string AllowedValues(bool isInt, double lo, double hi);

// Parses "Name=Value" onto p. Returns an error text, empty on success; a
// value that does not parse is refused with the setting's limits.
std::string ApplySetting(SimParams& p, std::string_view assignment);

}  // namespace korvane
