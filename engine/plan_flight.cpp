// Flying one plan and scoring it.
#include <algorithm>
#include <cmath>

#include "engine/plan_flight.h"

#include "engine/network_flight.h"

namespace korvane {

PlanFlightResult FlyPlan(FlightState& fs, CPlanGenome& plan, FlyVariant variant, const SimParams& p,
                         const MeteorField& field, CNeuralNet* net, PlanPath* path) {
  PlanFlightResult result;
  fs.per.m_minClearance = NoMeteor;
  fs.m_thrustCount = 0;
  fs.m_tickCount = 0;
  fs.boat.ResetToStart(p);
  // The path recording hooks in here and after each step; any faster way of
  // flying plans must keep it.
  if (path) path->Start(fs.boat.m_position.x, fs.boat.m_position.y);
  auto ended = [&](PathEnd end) {
    if (path) path->Finish(end);
  };
  const int k = PerceivedCount(p);
  const bool heuristic = variant == FlyVariant::Heuristic;
  if (heuristic) {
    // The first suggestion must see the start position, not the table the
    // previous plan left behind; the clearance stays untouched.
    CheckCollision(fs.per, fs.boat, field, k);
    fs.per.m_minClearance = NoMeteor;
  }

  const int genes = std::min(plan.Length(), p.ChromosomeLength);
  for (int i = 0; i < genes; ++i) {
    const double d = plan.m_durations[i];
    const int a = plan.m_actions[i];
    if (d <= 0) continue;
    for (int tick = 0;;) {
      if (!fs.boat.ApplyThrust(a, p)) {
        result.outcome = FlyOutcome::InvalidCode;
        result.badCode = a;
        result.badGene = i;
        ended(PathEnd::Finished);
        return result;
      }
      if (a != 0) ++fs.m_thrustCount;
      if (heuristic && tick == 0 && net) {
        const std::optional<int> choice = NetworkChoice(*net, fs, p);
        if (!choice) {
          result.outcome = FlyOutcome::NetworkMismatch;
          ended(PathEnd::Finished);
          return result;
        }
        if (i < MaxSuggestions) fs.m_suggestion[i] = *choice;
      }
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      if (path) path->Tick(fs.boat.m_position.x, fs.boat.m_position.y);
      // The demonstration tests the escape first; the searches the collision.
      if (variant == FlyVariant::StepByStep && HasEscaped(fs.boat)) {
        result.escaped = true;
        ScorePlan(fs, plan, p);
        ended(PathEnd::Escaped);
        return result;
      }
      if (CheckCollision(fs.per, fs.boat, field, k)) {
        result.crashGene = i;
        if (heuristic && i < MaxSuggestions) result.crashSuggestion = fs.m_suggestion[i];
        ScorePlan(fs, plan, p);
        ended(PathEnd::Crashed);
        return result;
      }
      if (variant != FlyVariant::StepByStep && HasEscaped(fs.boat)) {
        result.outcome = FlyOutcome::Escaped;
        result.escaped = true;
        ended(PathEnd::Escaped);
        return result;
      }
      ++fs.m_tickCount;
      ++tick;
      if (!(static_cast<double>(tick) < d)) break;
    }
  }
  ScorePlan(fs, plan, p);
  ended(PathEnd::Finished);
  return result;
}

void Repair(CPlanGenome& plan, const PlanFlightResult& r, CRand& rng) {
  if (r.crashGene < 0) return;
  const int draw = rng();
  if (draw > 8191 && r.crashGene < plan.Length() && r.crashGene < MaxSuggestions)
    plan.m_actions[r.crashGene] = r.crashSuggestion;
}

void ScorePlan(const FlightState& fs, CPlanGenome& plan, const SimParams& p) {
  ScorePlan(plan, p, fs.m_thrustCount, fs.per.m_minClearance, fs.m_tickCount, fs.boat.m_position.x);
}

void ScorePlan(CPlanGenome& plan, const SimParams& p, int thrusts, double clearance, int ticks, double x) {
  plan.m_energyScore = thrusts * p.EnergyWeight;
  plan.m_safetyScore = std::sqrt(clearance) * p.SafetyWeight;
  plan.m_timeScore = ticks * p.TimeWeight;
  plan.m_fitness = x > 0 ? x : 0.0;
}

}  // namespace korvane
