#pragma once
#include <cstdint>
#include <vector>

#include "engine/generation.h"
#include "engine/plan_search.h"
#include "engine/run.h"
#include "engine/run_link.h"
#include "engine/shown_flight.h"
#include "plan_ga/plan_ga.h"

namespace korvane {

// One generation of the demonstration's search: fly it (the step-by-step
// variant), keep its predecessor's best for the screen, breed. True when a
// plan of it escaped: that plan is kept instead. paths, when given, receives
// the generation's paths if they are shown.
bool StepByStep(const RunLink& link, GenerationEvaluator& eval, CPlanGA& ga, std::vector<CPlanGenome>& workList,
                const MeteorField& field, const SimParams& p, CRand& rng, PathsPtr* paths = nullptr);

// 演示遗传算法过程: the plan search one generation at a time, the kept plan
// flown on screen in between. A step is a generation, or a tick of the
// flight on screen.
class DemonstrationRun final : public IRun {
 public:
  DemonstrationRun(const RunLink& link, const SearchSetup& setup, CPlanGA& ga);

  RunStep Step() override;

 private:
  RunStep NextGeneration();
  FrameSnapshot Frame() const;

  RunLink m_link;
  SearchSetup m_setup;
  SimParams m_p;
  CPlanGA& m_ga;
  CRand m_rng;
  std::vector<CPlanGenome> m_workList;
  GenerationEvaluator m_eval;
  PathsPtr m_paths;  // the last step's generation, when shown
  struct {
    ShownPlanFlight flight;
    SimParams p;
    bool flying = false;
  } m_shown;
  int m_steps = 0;  // generations stepped
};

}  // namespace korvane
