#pragma once
#include <cstdint>
#include <vector>

#include "engine/generation.h"
#include "engine/run.h"
#include "engine/run_link.h"
#include "engine/shown_flight.h"
#include "plan_ga/plan_ga.h"

namespace korvane {

// A plan search's progress frame after an epoch.
FrameSnapshot PlanProgressFrame(const CPlanGA& ga, const FlightState& fs, const MeteorField& field);

// 开始遗传算法 and 开始启发式遗传算法: the plan search, plain, or with a
// network whose suggestions repair crashed genes. A step is a generation
// (flown, bred, shown), or under 观看 a tick of its best plan flown on
// screen; the run holds at its pause after each generation.
class PlanSearchRun final : public IRun {
 public:
  struct Setup {
    SimParams start;
    MeteorField field;
    std::uint32_t seed = 0;
    int threads = 1;
    // The heuristic search's network; it takes the weights in force.
    CNeuralNet* net = nullptr;
  };
  PlanSearchRun(const RunLink& link, const Setup& setup, CPlanGA& ga);

  RunStep Step() override;

  const std::vector<CPlanGenome>& WorkList() const { return m_workList; }
  // Best and average after each epoch.
  const ChartData& History() const { return m_history; }

 private:
  enum class Phase { Generation, Watching, Paused };

  RunStep FlyGeneration();
  RunStep Checkpoint();
  RunStep NextGeneration();
  RunStep Stopped();
  RunStep NoMoreGenerations();
  void KeepBest();
  FrameSnapshot Frame(const FlightState& fs, bool withChart) const;
  FrameSnapshot Resting(bool withChart) const;

  RunLink m_link;
  Setup m_setup;
  SimParams m_p;  // the settings of the generation under way
  CPlanGA& m_ga;
  CRand m_rng;
  std::vector<CPlanGenome> m_workList;
  GenerationEvaluator m_eval;
  ChartData m_history;
  PathsPtr m_paths;  // the last generation's, when they are shown
  struct {
    ShownPlanFlight flight;
    SimParams p;
  } m_shown;  // the generation's best, flown under 观看
  struct {
    Phase phase = Phase::Generation;
    int generation = 0;  // from 0
    Pace pace = Pace::Fastest;
  } m_at;
};

}  // namespace korvane
