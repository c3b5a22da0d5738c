#pragma once
#include <span>

#include "engine/frame.h"
#include "engine/run_events.h"
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"
#include "sim/setting_limits.h"
#include "vecmath/exact_exp.h"

namespace korvane {

// The heuristic search keeps one network suggestion per gene.
inline constexpr int MaxSuggestions = 200;
static_assert(SettingMax("ChromosomeLength") <= MaxSuggestions, "a plan's genes must fit the suggestions");
// What a plan that escaped is worth: the field's width plus one.
inline constexpr double EscapedFitness = PlayfieldWidth + 1.0;

enum class FlyOutcome { Finished, Escaped, InvalidCode, NetworkMismatch };

// One flight's private state: its own lifeboat and perception, so flights on
// different threads never share anything.
struct FlightState {
  CLifeboat boat;
  Perception per;
  int m_thrustCount = 0;
  int m_tickCount = 0;
  int m_suggestion[MaxSuggestions] = {};
};

struct PlanFlightResult {
  FlyOutcome outcome = FlyOutcome::Finished;
  int crashGene = -1;  // gene during which the lifeboat crashed, or -1
  int badCode = 0;     // for InvalidCode
  int badGene = -1;
  bool escaped = false;     // the flight crossed the escape line
  int crashSuggestion = 0;  // heuristic: the suggestion made for the crash gene
};

// Network inputs: bottom, top, vx, vy, then dx/dy of each perceived meteor.
struct NetworkInputs {
  double values[4 + 2 * MaxPerceived];
  int count = 0;
  std::span<const double> View() const { return {values, static_cast<std::size_t>(count)}; }
};

// An output whose sigmoid argument lies this far above an earlier output's
// cannot be the network's choice (proof in action_pick.cpp).
inline constexpr double kPickApart = 0x1p-30;
// Whether the output with the least sigmoid argument, `least`, is the
// network's choice when every other output's argument is `next` or more
// (proof in action_pick.cpp; the lanes test the same bands).
inline constexpr double kClearTop = 700.0;
inline constexpr double kClearHigh = -20.0;  // from here up, kClearHighApart
inline constexpr double kClearHighApart = 0x1p-19;
inline constexpr double kClearLow = vecmath::kSigmoidOneBelow;  // from here to kClearHigh, kClearLowApart
inline constexpr double kClearLowApart = 2.0;
inline constexpr double kClearBelowOne = -36.0;  // below kClearLow, the others from here
inline bool PickIsClear(double least, double next) {
  if (!(least <= kClearTop)) return false;
  if (least >= kClearHigh) return next >= least + kClearHighApart;
  if (least >= kClearLow) return next >= least + kClearLowApart;
  return next >= kClearBelowOne;
}

enum class NetFlightEnd { Escaped, Crashed, Stalled, Timeout, NetworkMismatch };

struct NetFlightResult {
  NetFlightEnd end = NetFlightEnd::Crashed;
  int ticks = 0;
  double score = 0.0;
};

// The scores training adds up. An escape: vx × 60 + (t + 3000). Any other
// end: t + (x + 1000 − 50 × |vxi| − 20 × |vyi|), with vxi and vyi the speeds
// truncated to ints (out of range or NaN: INT_MIN) and the products taken in
// 64 bits, so no speed makes them wrap.
double EscapeScore(int ticks, const CLifeboat& boat);
double EndScore(int ticks, const CLifeboat& boat);

// Training ends a flight that stalls (still left of x 80 after 80 ticks, or
// of x 400 after 240) or runs out of time (900 ticks). The lanes test the
// same limits in vector form.
inline constexpr int kStallTicks[2] = {80, 240};
inline constexpr double kStallX[2] = {80.0, 400.0};
inline constexpr int kTimeLimit = 900;
inline bool Stalled(int ticks, double x) {
  return (ticks > kStallTicks[0] && x < kStallX[0]) || (ticks > kStallTicks[1] && x < kStallX[1]);
}
inline bool OutOfTime(int ticks) { return ticks > kTimeLimit; }

// The perceived meteors the settings ask for, within the table's ten slots.
inline int PerceivedCount(const SimParams& p) {
  const int k = p.PerceivedMeteors();
  return k < 0 ? 0 : k > MaxPerceived ? MaxPerceived : k;
}

// Sets the lifeboat's marker for thrust code 1..4; code 0 leaves it.
inline void SetMarker(CLifeboat& boat, int code) {
  if (code >= 1 && code <= 4) boat.m_thrustMarker = code + 1;
}

// A frame of one flight on a field.
inline FrameSnapshot FlightFrame(const FlightState& fs, const MeteorField& field) {
  FrameSnapshot f;
  f.boat = fs.boat;
  f.field = field;
  f.perception = fs.per;
  return f;
}

}  // namespace korvane
