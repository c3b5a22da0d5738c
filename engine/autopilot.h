#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "engine/demonstration.h"
#include "engine/network_flight.h"
#include "engine/plan_flight.h"
#include "engine/plan_search.h"
#include "engine/replays.h"
#include "engine/training.h"

namespace korvane {

// The controller, by the names its operations are known by: each run is a
// class of its own (plan_search.h, demonstration.h, replays.h, training.h)
// that its caller may step; these drive one to its end on the calling
// thread. One controller serves runs that follow each other and share only
// their results (the plan kept for replay, the weights in force).
class CAutoPilot {
 public:
  CAutoPilot();  // results of its own
  explicit CAutoPilot(std::shared_ptr<PilotResults> results);

  // --- single flights ----------------------------------------------------
  static PlanFlightResult FlyPlan(FlightState& fs, CPlanGenome& plan, FlyVariant variant, const SimParams& p,
                                  const MeteorField& field, CNeuralNet* net, PlanPath* path = nullptr) {
    return korvane::FlyPlan(fs, plan, variant, p, field, net, path);
  }
  static void Repair(CPlanGenome& plan, const PlanFlightResult& r, CRand& rng) { korvane::Repair(plan, r, rng); }
  static void ScorePlan(const FlightState& fs, CPlanGenome& plan, const SimParams& p) {
    korvane::ScorePlan(fs, plan, p);
  }
  static NetworkInputs BuildNetworkInputs(const CLifeboat& boat, const Perception& per, const SimParams& p) {
    return korvane::BuildNetworkInputs(boat, per, p);
  }
  static int PickAction(std::span<const double> outputs) { return korvane::PickAction(outputs); }
  static int PickFromSums(std::span<const double> sums, double slope) { return korvane::PickFromSums(sums, slope); }
  static std::optional<int> NetworkChoice(CNeuralNet& net, const FlightState& fs, const SimParams& p) {
    return korvane::NetworkChoice(net, fs, p);
  }
  static std::shared_ptr<const NetworkView> ViewNetwork(const CNeuralNet& net, const FlightState& fs,
                                                        const SimParams& p) {
    return korvane::ViewNetwork(net, fs, p);
  }
  static NetFlightResult FlyNetworkScored(FlightState& fs, CNeuralNet& net, const SimParams& p,
                                          const MeteorField& field) {
    return korvane::FlyNetworkScored(fs, net, p, field);
  }

  // --- the runs, each given the settings it starts with -----------------
  // 开始遗传算法, 开始启发式遗传算法.
  RunOutcome OnStartGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field,
                           std::uint32_t seed);
  RunOutcome OnStartHeuristicGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, CNeuralNet& net,
                                    const MeteorField& field, std::uint32_t seed);
  // The demonstration's one generation; true when a plan of it escaped.
  bool StepByStep(IHost& host, CPlanGA& ga, std::vector<CPlanGenome>& workList, const MeteorField& field,
                  const SimParams& p, CRand& rng);
  // 演示遗传算法过程.
  RunOutcome onTimer3(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field, std::uint32_t seed);
  // 演示结果: the kept plan flown on screen.
  RunOutcome onTimer2(IHost& host, const SimParams& start, const MeteorField& field);
  // 演示训练结果: the network in force flies on screen.
  RunOutcome FlyByNetwork(IHost& host, const SimParams& start, CNeuralNet& net, const MeteorField& field);
  // 训练网络, up to the weights in force (saving them is the caller's).
  RunOutcome TrainNetwork(IHost& host, const SimParams& start, CWeightGA& weightGA, CNeuralNet& net,
                          std::uint32_t seed);

  // Threads that fly a generation; results are the same for any count.
  void SetThreads(int n) { m_threads = n < 1 ? 1 : n; }
  int Threads() const { return m_threads; }

  // --- the results shared with later runs -------------------------------
  CPlanGenome BestPlan() const { return m_shared->BestPlan(); }
  void SetBestPlan(const CPlanGenome& plan) { m_shared->SetBestPlan(plan); }
  std::vector<double> Weights() const { return m_shared->Weights(); }
  void SetWeights(std::vector<double> w) { m_shared->SetWeights(std::move(w)); }
  PilotResults& Results() { return *m_shared; }

 private:
  RunLink Link(IHost& host) { return {host, host, *m_shared}; }

  int m_threads;
  std::shared_ptr<PilotResults> m_shared;
};

}  // namespace korvane
