#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/flight.h"
#include "engine/host.h"
#include "engine/lockstep.h"
#include "engine/worker_pool.h"
#include "engine/pilot_results.h"
#include "net/neural_net.h"
#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/rand.h"

namespace korvane {

// What a plan search leaves behind, for the CLI and the tests.
struct SearchResult {
  bool escaped = false;
  int escapeGeneration = -1;
  int escapePlan = -1;
  bool aborted = false;  // invalid code, network mismatch or stop request
  // The generation limit in force when the search ran out of generations;
  // it may have been changed between generations.
  int generationLimit = 0;
};

struct TrainingResult {
  bool completed = false;  // false when stopped
  double bestFitness = 0.0;
  bool saved = false;
};

// The controller: everything the computer does to fly the lifeboat. One
// controller serves one run on one thread; runs that follow each other share
// only their results (the plan kept for replay, the weights in force).
//
// Its operations live in one file per kind: plan_flight.cpp, network_flight.cpp,
// plan_search.cpp, demonstration.cpp, replays.cpp, training.cpp.
class CAutoPilot {
 public:
  CAutoPilot();  // results of its own
  explicit CAutoPilot(std::shared_ptr<PilotResults> results);

  // --- single flights (plan_flight.cpp, network_flight.cpp) -------------
  // path, when given, records where the flight went; it changes nothing else.
  static PlanFlightResult FlyPlan(FlightState& fs, CPlanGenome& plan, FlyVariant variant, const SimParams& p,
                                  const MeteorField& field, CNeuralNet* net, PlanPath* path = nullptr);
  // The heuristic repair of a crashed gene: 3 times in 4 the gene takes the
  // network's suggestion.
  static void Repair(CPlanGenome& plan, const PlanFlightResult& r, CRand& rng);
  static void ScorePlan(const FlightState& fs, CPlanGenome& plan, const SimParams& p);
  static NetworkInputs BuildNetworkInputs(const CLifeboat& boat, const Perception& per, const SimParams& p);
  static int PickAction(std::span<const double> outputs);
  // PickAction of the sigmoids of the output sums, bit for bit, taking only
  // the sigmoids that can change the choice (action_pick.cpp).
  static int PickFromSums(std::span<const double> sums, double sigmoidParam);
  // The network's thrust for the flight's state; nothing when the network
  // does not take this many inputs.
  static std::optional<int> NetworkChoice(CNeuralNet& net, const FlightState& fs, const SimParams& p);
  // The network at work in the flight's state, for the screen; null when it
  // does not take this many inputs.
  static std::shared_ptr<const NetworkView> ViewNetwork(const CNeuralNet& net, const FlightState& fs,
                                                        const SimParams& p);
  // One training flight of a network on a field, scored as training scores it.
  static NetFlightResult FlyNetworkScored(FlightState& fs, CNeuralNet& net, const SimParams& p,
                                          const MeteorField& field);

  // --- the runs, each given the settings it starts with -----------------
  // 开始遗传算法 and 开始启发式遗传算法 (plan_search.cpp).
  SearchResult OnStartGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field,
                             std::uint32_t seed);
  SearchResult OnStartHeuristicGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, CNeuralNet& net,
                                      const MeteorField& field, std::uint32_t seed);
  // 演示遗传算法过程 (demonstration.cpp): one generation; 1 when a plan of
  // it escaped.
  // paths, when given, receives the generation's paths if they are shown.
  int StepByStep(IHost& host, CPlanGA& ga, const MeteorField& field, const SimParams& p, CRand& rng,
                 PathsPtr* paths = nullptr);
  // The demonstration itself: a generation, then its best plan flown on
  // screen, and so on.
  void onTimer3(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field, std::uint32_t seed);
  // 演示结果 (replays.cpp): the kept plan flown on screen.
  void onTimer2(IHost& host, const SimParams& start, const MeteorField& field);
  // 演示训练结果: the network in force flies on screen.
  void FlyByNetwork(IHost& host, const SimParams& start, CNeuralNet& net, const MeteorField& field);
  // 训练网络 (training.cpp). An empty path trains without writing a file.
  TrainingResult TrainNetwork(IHost& host, const SimParams& start, CWeightGA& weightGA, CNeuralNet& net,
                              std::uint32_t seed, const std::string& weightsPath = "weights.txt");

  // Threads that fly a generation; results are the same for any count.
  void SetThreads(int n) { m_threads = n < 1 ? 1 : n; }
  int Threads() const { return m_threads; }

  // --- the results shared with later runs -------------------------------
  CPlanGenome BestPlan() const { return m_shared->BestPlan(); }
  void SetBestPlan(const CPlanGenome& plan) { m_shared->SetBestPlan(plan); }
  std::vector<double> Weights() const { return m_shared->Weights(); }
  void SetWeights(std::vector<double> w) { m_shared->SetWeights(std::move(w)); }
  PilotResults& Results() { return *m_shared; }

  std::vector<CPlanGenome> m_workList;
  std::vector<WeightGenome> m_weightWorkList;

 private:
  SearchResult RunPlanSearch(IHost& host, const SimParams& start, CPlanGA& ga, CNeuralNet* net,
                             const MeteorField& field, std::uint32_t seed, FlyVariant variant, PauseKind pause);
  // Flies plans 0..count-1 of the work list as if one by one, stopping at
  // the first escape (generation.cpp).
  struct GenerationEnd {
    PlanFlightResult last;  // the outcome that ended it, or the last plan's
    int escapedPlan = -1;
    bool stopped = false;
    PathsPtr paths;  // the plans' paths, when asked for
  };
  GenerationEnd FlyGeneration(IHost& host, FlyVariant variant, const SimParams& p, const MeteorField& field,
                              CNeuralNet* net, CRand* rng, int count, bool recordPaths = false);
  // Scores every genome of the weight work list on the levels; false when
  // stopped (generation.cpp).
  // `alongside`, if any, runs once while the generation flies (on a worker
  // of its own when there are several).
  bool FlyWeightGeneration(IHost& host, const SimParams& p, CNeuralNet& net, std::span<const MeteorField> levels,
                           const std::function<void()>& alongside = {});
  // The same in SIMD lanes, for a path and network the lanes serve
  // (lockstep_generation.cpp).
  bool FlyWeightGenerationInLanes(IHost& host, const SimParams& p, CNeuralNet& net,
                                  std::span<const MeteorField> levels, int count, int threads, vecmath::SimdPath path,
                                  const std::function<void()>& alongside);
  void ReportMismatch(IHost& host);
  // A copy of the first `flown` paths for a frame, with the best marked.
  PathsPtr PublishPaths(int flown);
  // The 观看 pace of training: the generation's best network flown on screen.
  void WatchBestNetwork(IHost& host, const SimParams& p, const CNeuralNet& shape, const CWeightGA& weightGA,
                        const std::function<FrameSnapshot()>& chartFrame);

  // Per-worker flight state and network copies, reused between generations;
  // each state on its own cache lines.
  struct alignas(64) WorkerState : FlightState {};
  std::vector<WorkerState> m_workers;
  std::vector<CNeuralNet> m_workerNets;
  std::vector<PlanFlightResult> m_results;
  std::vector<LaneBuffers> m_lanes;  // per worker, for training in lanes
  std::vector<double> m_laneScores;  // per flight of a generation
  std::vector<int> m_laneTicks;      // per flight: its length, -1 while it flies
  std::unique_ptr<WorkerPool> m_pool = std::make_unique<WorkerPool>();
  int m_threads;
  FlightState m_flight;  // the flight the progress frames show
  std::vector<PlanPath> m_paths;  // one per plan, when a generation's paths are shown
  std::shared_ptr<PilotResults> m_shared;
};

// The message for an invalid thrust code met in a plan flight.
std::string InvalidCodeMessage(const PlanFlightResult& r, int planIndex, FlyVariant variant);

// A plan search's progress frame after an epoch.
FrameSnapshot PlanProgressFrame(const CPlanGA& ga, const FlightState& fs, const MeteorField& field);

}  // namespace korvane
