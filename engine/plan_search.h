#pragma once
#include <cstdint>
#include <vector>

#include "engine/breeding_pool.h"
#include "engine/generation.h"
#include "engine/generational_run.h"
#include "engine/shown_flight.h"
#include "plan_ga/plan_ga.h"

namespace korvane {

// A plan search's progress frame after an epoch.
FrameSnapshot PlanProgressFrame(const CPlanGA& ga, const FlightState& fs, const MeteorField& field);

// How the generation just scored bred the next, of `made` plans, for the
// screen: fills `view`, whose record the epoch has written, and lends it
// the generation.
void FillPlanBreeding(BreedingView& view, CPlanGA& ga, std::size_t made);

// What a plan search starts from.
struct SearchSetup {
  SimParams start;
  MeteorField field;
  std::uint32_t seed = 0;
  int threads = 1;
  bool everyThread = false;  // every generation on all threads, however short
};

// 开始遗传算法 and 开始启发式遗传算法: the plan search, plain, or with a
// network whose suggestions repair crashed genes. A step is a generation
// (flown, bred, shown), or under 观看 a tick of its best plan flown on
// screen; the run holds at its pause after each generation.
class PlanSearchRun final : public GenerationalRun {
 public:
  // net: the heuristic search's network, which takes the weights in force;
  // none for the plain search.
  PlanSearchRun(const RunLink& link, const SearchSetup& setup, CPlanGA& ga, CNeuralNet* net = nullptr);

  RunStep Step() override;

  const std::vector<CPlanGenome>& WorkList() const { return m_workList; }
  // Best and average after each epoch.
  const ChartData& History() const { return m_history; }

 private:
  RunStep FlyGeneration();
  RunStep NoMoreGenerations();
  void Held() override;
  RunStep Stopped() override;
  void KeepBest();
  // Makes the plans Select left to be made, when the run ends before a
  // generation flies them.
  void MakeLeft();
  FrameSnapshot Frame(const FlightState& fs, bool withChart) const;
  FrameSnapshot Resting(bool withChart) const;

  MeteorField m_field;
  CNeuralNet* m_net;
  CPlanGA& m_ga;
  CRand m_rng;
  std::vector<CPlanGenome> m_workList;
  GenerationEvaluator m_eval;
  ChartData m_history;
  PathsPtr m_paths;             // the last generation's, when they are shown
  BreedingRecorder m_breeding;  // the last epoch's, when it is shown
  bool m_toMake = false;        // the work list's plans wait for Breed
  struct {
    ShownPlanFlight flight;
    SimParams p;
  } m_shown;  // the generation's best, flown under 观看
};

}  // namespace korvane
