#pragma once
#include <cmath>
#include <atomic>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "engine/child_breeding.h"
#include "engine/flight.h"
#include "engine/flight_path.h"
#include "engine/host.h"
#include "engine/lockstep.h"
#include "engine/parallel.h"
#if !KORVANE_PORTABLE
#include "engine/plan_lanes.h"
#include "engine/worker_pool.h"
#endif
#include "net/neural_net.h"
#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"
#include "plan_ga/plan_genome.h"
#include "sim/rand.h"

namespace korvane {

struct ParallelPass {
  bool stopped = false;  // the host asked to stop; the pass is incomplete
  int lastWorker = 0;    // the worker that flew the last item
  int firstEnd = 0;      // the first item that ended the pass early, or count
};

// Flies items 0..count-1 of a generation on up to `threads` workers, each
// with its own state. fly(worker, item) returns true when that item ends
// the generation early; items after the first such one need not fly (and
// their results must not be used). Worker 0 checks for a stop request
// between items.
//
// Any faster way of flying a generation (vector lanes, say) must keep what
// the items record for the screen.
template <typename Fly>
ParallelPass FlyInParallel(RunAsks& asks, int threads, int count, int grain, Fly&& fly) {
  std::atomic<int> firstEnd{count};
  std::atomic<bool> stop{false};
  int lastWorker = 0;
  ParallelFor(threads, count, grain, [&](int w, int n) {
    if (w == 0 && asks.StopRequested()) {
      stop.store(true);
      return false;
    }
    if (n > firstEnd.load(std::memory_order_relaxed)) return true;
    const bool ends = fly(w, n);
    if (n == count - 1) lastWorker = w;
    if (ends) {
      int cur = firstEnd.load();
      while (n < cur && !firstEnd.compare_exchange_weak(cur, n)) {
      }
    }
    return true;
  });
  return {stop.load(), lastWorker, firstEnd.load()};
}

// A generation of plans to fly: plans 0..count-1 of the work list.
struct PlanGeneration {
  FlyVariant variant = FlyVariant::GA;
  const SimParams* params = nullptr;
  const MeteorField* field = nullptr;
  CNeuralNet* net = nullptr;  // the heuristic search's
  CRand* rng = nullptr;       // the heuristic repairs draw from it
  std::vector<CPlanGenome>* plans = nullptr;
  int count = 0;
  bool recordPaths = false;
  // The population whose Select left the work list's plans to be made; each
  // is made by the worker that flies it first, and every one is made when
  // the generation returns.
  const CPlanGA* breeder = nullptr;
};

// How a generation of plans ended.
struct PlanGenerationEnd {
  PlanFlightResult last;  // the outcome that ended it, or the last plan's
  int lastPlan = -1;      // whose outcome `last` is
  int escapedPlan = -1;
  bool stopped = false;
  PathsPtr paths;  // the plans' paths, when asked for
};

// Flies whole generations on every core, with the results of flying them one
// by one: plans (scalar), or weight genomes on the levels (in SIMD lanes
// where the machine and the network allow, else scalar). Its per-worker
// state is kept from one generation to the next.
class GenerationEvaluator {
 public:
  explicit GenerationEvaluator(int threads, bool everyThread = false);

  // Flies the plans as if one by one in plan order, stopping at the first
  // escape (in SIMD lanes where the machine and the variant allow); the
  // heuristic repairs draw in plan order.
  PlanGenerationEnd FlyPlans(RunAsks& asks, const PlanGeneration& g);

  // Adds each genome's score on every level to its fitness; false when
  // stopped. `alongside`, if any, runs once while the generation flies (on a
  // worker of its own when there are several). net takes the weights of the
  // flight the progress frames show. breeder: the population whose Select
  // left the genomes to be made; each is made by the worker that flies it
  // first, and every one is made when this returns.
  bool FlyWeights(RunAsks& asks, const SimParams& p, CNeuralNet& net, std::span<const MeteorField> levels,
                  std::vector<WeightGenome>& genomes, const std::function<void()>& alongside = {},
                  const CWeightGA* breeder = nullptr);

  // here() on this thread and beside() on a worker at once (one after the
  // other on one thread); an exception from either is thrown once both are
  // done.
  void TwoAtOnce(const std::function<void()>& here, const std::function<void()>& beside);

  // The flight the progress frames show: the last one flown.
  const FlightState& ShownFlight() const { return m_flight; }
  FlightState& ShownFlight() { return m_flight; }
  int Threads() const { return m_threads; }
  // The threads the next plan generation flies on: one when the last took
  // less than a millisecond of one core's time, as the default searches'
  // generations do. The second core's start, the scores it writes and the
  // plans it makes cross between the cores' caches, which costs more than
  // it saves there; longer flights (large populations, the scalar path) take
  // every thread. Results do not depend on it. everyThread: all of them,
  // however short (for tests of the workers).
  int PlanThreads() const { return m_planFlights.lastUs < m_planFlights.shortUs ? 1 : m_threads; }

 private:
  // The same in SIMD lanes, for a path and network the lanes serve
  // (lockstep_generation.cpp).
  bool FlyWeightsInLanes(RunAsks& asks, const SimParams& p, CNeuralNet& net, std::span<const MeteorField> levels,
                         std::vector<WeightGenome>& genomes, int count, int threads, vecmath::SimdPath path,
                         const std::function<void()>& alongside, ChildBreeding& breeding);
#if !KORVANE_PORTABLE
  // Plans 0..count-1 in lanes; false when stopped. shownBy: the worker whose
  // state holds the last plan's flight (plan_lanes_generation.cpp).
  bool FlyPlansInLanes(RunAsks& asks, const PlanGeneration& g, int count, int threads, vecmath::SimdPath path,
                       PlanBreeding& breeding, int& shownBy);
  std::vector<PlanLaneBuffers> m_planLanes;  // per worker
#endif
  // The plan whose flight ends the generation, as if flown one by one, the
  // heuristic's repairs made up to it; -1 for none.
  int FirstEnd(const PlanGeneration& g, int count, PlanGenerationEnd& end);
  // A copy of the first `flown` paths for a frame, with the best marked.
  PathsPtr PublishPaths(const std::vector<CPlanGenome>& plans, int flown) const;

  // Per-worker flight state and network copies; each state on its own cache
  // lines.
  struct alignas(64) WorkerState : FlightState {};
  std::vector<WorkerState> m_workers;
  std::vector<CNeuralNet> m_workerNets;
  std::vector<PlanFlightResult> m_results;
  std::vector<PlanPath> m_paths;     // one per plan, when a generation's paths are shown
  std::vector<LaneBuffers> m_lanes;  // per worker, for training in lanes
  std::vector<double> m_laneScores;  // per flight of a generation
  std::vector<int> m_laneTicks;      // per flight: its length, -1 while it flies
#if !KORVANE_PORTABLE
  std::unique_ptr<WorkerPool> m_pool = std::make_unique<WorkerPool>();
#endif
  FlightState m_flight;
  int m_threads;
  struct {
    double lastUs = HUGE_VAL;  // the last plan generation's flights, in one thread's time
    double shortUs = 1000.0;   // flights shorter than this take one thread
  } m_planFlights;
};

}  // namespace korvane
