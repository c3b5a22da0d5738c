#pragma once
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "autopilot/host.h"
#include "net/neural_net.h"
#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"
#include "sim/rand.h"

namespace korvane {

inline constexpr int MaxSuggestions = 200;
inline constexpr double EscapedFitness = PlayfieldWidth + 1.0;

enum class FlyVariant { GA, Heuristic, StepByStep };
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
  bool escaped = false;  // the flight crossed the escape line
  int crashSuggestion = 0;  // heuristic: the suggestion made for the crash gene
};

// What a plan search leaves behind, for the CLI and the tests.
struct SearchResult {
  bool escaped = false;
  int escapeGeneration = -1;
  int escapePlan = -1;
  bool aborted = false;  // invalid code, network mismatch or stop request
};

struct TrainingResult {
  bool completed = false;  // false when stopped
  double bestFitness = 0.0;
  bool saved = false;
};

// Network inputs: bottom, top, vx, vy, then dx/dy of each perceived meteor.
struct NetworkInputs {
  double values[4 + 2 * MaxPerceived];
  int count = 0;
  std::span<const double> View() const { return {values, static_cast<size_t>(count)}; }
};

class CAutoPilot {
 public:
  CAutoPilot();

  // --- the single-flight building blocks -------------------------------
  static PlanFlightResult FlyPlan(FlightState& fs, CPlanGenome& plan, FlyVariant variant,
                                  const SimParams& p, const MeteorField& field, CNeuralNet* net);
  // The heuristic repair of a crashed gene: 3 times in 4 the gene takes the
  // network's suggestion.
  static void Repair(CPlanGenome& plan, const PlanFlightResult& r, CRand& rng);
  static void ScorePlan(const FlightState& fs, CPlanGenome& plan, const SimParams& p);
  static NetworkInputs BuildNetworkInputs(const CLifeboat& boat, const Perception& per, const SimParams& p);
  static int PickAction(std::span<const double> outputs);

  enum class NetFlightEnd { Escaped, Crashed, Stalled, Timeout, NetworkMismatch };
  struct NetFlightResult {
    NetFlightEnd end = NetFlightEnd::Crashed;
    int ticks = 0;
    double score = 0.0;
  };
  // One training flight of a network on a field, scored as training scores it.
  static NetFlightResult FlyNetworkScored(FlightState& fs, CNeuralNet& net, const SimParams& p,
                                          const MeteorField& field);

  // --- the runs (each on its own worker thread in the desktop program) ---
  SearchResult OnStartGenAlg(IHost& host, CPlanGA& ga, const MeteorField& field, std::uint32_t seed);
  SearchResult OnStartHeuristicGenAlg(IHost& host, CPlanGA& ga, CNeuralNet& net, const MeteorField& field,
                                      std::uint32_t seed);
  // One step of the demonstration; 1 when a plan of the generation escaped.
  int StepByStep(IHost& host, CPlanGA& ga, const MeteorField& field, const SimParams& p, CRand& rng);
  void onTimer3(IHost& host, CPlanGA& ga, const MeteorField& field, std::uint32_t seed);
  void onTimer2(IHost& host, const MeteorField& field);
  void FlyByNetwork(IHost& host, CNeuralNet& net, const MeteorField& field);
  // An empty path trains without writing a weights file.
  TrainingResult TrainNetwork(IHost& host, CWeightGA& weightGA, CNeuralNet& net, std::uint32_t seed,
                              const std::string& weightsPath = "weights.txt");

  // Threads that fly a generation; results are the same for any count.
  void SetThreads(int n) { m_threads = n < 1 ? 1 : n; }
  int Threads() const { return m_threads; }

  // --- results, guarded: replays read them while a paused run holds them --
  CPlanGenome BestPlan() const;
  void SetBestPlan(const CPlanGenome& plan);
  std::vector<double> Weights() const;
  void SetWeights(std::vector<double> w);

  std::vector<CPlanGenome> m_workList;
  std::vector<WeightGenome> m_weightWorkList;

 private:
  SearchResult RunPlanSearch(IHost& host, CPlanGA& ga, CNeuralNet* net, const MeteorField& field,
                             std::uint32_t seed, FlyVariant variant, PauseKind pause);
  // Flies plans 0..count-1 of the work list in order, stopping at the first
  // escape; returns its index or -1, or sets aborted.
  PlanFlightResult FlyGeneration(IHost& host, FlyVariant variant, const SimParams& p, const MeteorField& field,
                                 CNeuralNet* net, CRand* rng, int count, int* escapedPlan, bool* stopped);
  void ReportInvalid(IHost& host, const PlanFlightResult& r, int planIndex, FlyVariant variant);
  void ReportMismatch(IHost& host);

  // Per-worker flight state and network copies, reused between generations;
  // each state on its own cache lines.
  struct alignas(64) WorkerState : FlightState {};
  std::vector<WorkerState> m_workers;
  std::vector<CNeuralNet> m_workerNets;
  std::vector<PlanFlightResult> m_results;
  int m_threads;

  mutable std::mutex m_resultMutex;
  CPlanGenome m_bestPlan;
  std::vector<double> m_weight;
  FlightState m_flight;  // the flight state of the run in progress
};

// The message for an invalid thrust code met in a plan flight.
std::string InvalidCodeMessage(const PlanFlightResult& r, int planIndex, FlyVariant variant);

// A plan search's progress frame after an epoch.
FrameSnapshot PlanProgressFrame(const CPlanGA& ga, const FlightState& fs, const MeteorField& field);

}  // namespace korvane
