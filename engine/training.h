#pragma once
#include <cstdint>
#include <vector>

#include "engine/breeding_pool.h"
#include "engine/generation.h"
#include "engine/generational_run.h"
#include "engine/shown_flight.h"
#include "net/neural_net.h"
#include "net/weight_ga.h"

namespace korvane {

// 训练网络: the weights evolved over the four built-in levels. A step is a
// generation (flown, bred, charted), or under 观看 a tick of its best network
// flying level 1; the run holds at its pause after each generation. At the
// end the best weights are in force; saving them is the caller's.
class TrainingRun final : public GenerationalRun {
 public:
  struct Setup {
    SimParams start;
    std::uint32_t seed = 0;
    int threads = 1;
  };
  TrainingRun(const RunLink& link, const Setup& setup, CWeightGA& weightGA, CNeuralNet& net);

  RunStep Step() override;

  const std::vector<WeightGenome>& WorkList() const { return m_workList; }
  // The frame training ends on, once its weights are saved: the charts over
  // level 1 with the lifeboat at the start.
  FrameSnapshot FinalFrame();

 private:
  RunStep FlyGeneration();
  void Held() override;
  RunStep Stopped() override;
  RunStep Trained();
  // The genomes Select left to be made, for a run that ends before flying them.
  void MakeChildren();
  // How the generation just selected is bred, for the screen.
  void RecordBreeding(BreedingView& view);
  void KeepBest(WeightsSource::Kind kind);
  FrameSnapshot ChartFrame() const;
  FrameSnapshot WatchFrame() const;

  CWeightGA& m_ga;
  CNeuralNet& m_net;
  CRand m_rng;
  std::vector<WeightGenome> m_workList;
  GenerationEvaluator m_eval;
  MeteorField m_levels[BuiltInLevelCount];
  struct {
    CNeuralNet net;
    ShownNetworkFlight flight{true};
    SimParams p;
    MeteorField level;
  } m_watch;                        // the generation's best network on level 1, under 观看
  int m_shownLevel = 0;             // the level the progress frames show
  bool m_childrenPending = false;   // the work list waits for Breed
  std::vector<double> m_diversity;  // per generation, as the chart shows it
  BreedingRecorder m_breeding;      // the last epoch's, when it is shown
};

}  // namespace korvane
