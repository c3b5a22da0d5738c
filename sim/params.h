#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "texts/settings_table.h"
#include "texts/text_table.h"

namespace korvane {

// Playfield geometry; no setting changes these.
inline constexpr int PlayfieldWidth = 1800;
inline constexpr int PlayfieldHeight = 400;
inline constexpr double HullRadius = 4.5;
inline constexpr int StartPosX = 20;
inline constexpr int StartPosY = PlayfieldHeight / 2;

// Every physical, genetic and network setting, as a plain value, one member
// per row of texts/settings_table.h. Runs take a copy when they start and
// refresh it as engine/run_settings.h says, so no thread ever sees a
// half-written value.
struct SimParams {
#define KORVANE_MEMBER_Int(name, def) int name = def;
#define KORVANE_MEMBER_Check(name, def) int name = def;
#define KORVANE_MEMBER_Double(name, def) double name = def;
#define KORVANE_MEMBER_Perceived(name, def)
#define KORVANE_MEMBER(name, kind, def, ...) KORVANE_MEMBER_##kind(name, def)
  KORVANE_SETTINGS(KORVANE_MEMBER)
#undef KORVANE_MEMBER
#undef KORVANE_MEMBER_Int
#undef KORVANE_MEMBER_Check
#undef KORVANE_MEMBER_Double
#undef KORVANE_MEMBER_Perceived

  // Fixed values kept with the settings.
  static constexpr int NetOutputCount = 5;
  static constexpr int TicksPerDecision = 1;
  static constexpr double ReplaySpeed = 0.5;

  int PerceivedMeteors() const { return NetInputCount / 2 - 2; }
  void SetPerceivedMeteors(int n) { NetInputCount = 2 * n + 4; }
};

// Int and Check are members of type int, Double of type double; Perceived
// is PerceivedMeteors, another name of NetInputCount.
enum class SettingKind : unsigned char { Int, Double, Check, Perceived };

// One setting as its row gives it, addressable by name (the CLI's --set, the
// settings sheet, the study's keys).
struct ParamInfo {
  const char* name;
  SettingKind kind;
  bool isInt;  // a whole number (every kind but Double)
  double lo;   // limits; the other limits of a setting are checked separately
  double hi;
  bool loOpen;        // the value must be above lo, not at it
  bool inClass;       // the page offers it
  const char* bound;  // the setting that is its upper limit too, or nullptr
  int SimParams::*intField = nullptr;
  double SimParams::*doubleField = nullptr;
  Tx label = Tx::None;    // the sheet's
  Tx meaning = Tx::None;  // korvane-cli's
};

// Every setting in the rows' order, PerceivedMeteors last.
const std::vector<ParamInfo>& ParamTable();
const ParamInfo* FindParam(std::string_view name);

double GetParam(const SimParams& p, const ParamInfo& info);
void SetParam(SimParams& p, const ParamInfo& info, double value);

// How a setting that is another's upper limit is named in a refusal: its
// label, in the middle of a sentence.
std::string LimitName(const ParamInfo& bound, text::Lang lang);

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
// included).
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
