// A generation of plans flown in SIMD lanes on every core: the plans are
// handed out in turns, so every lane stays busy until the last ones.
#include "engine/generation.h"
#include "engine/plan_flight.h"
#include "engine/turns.h"

namespace korvane {
namespace {

// Plans in turns (engine/turns.h): the first is the last plan, whose flight
// the frames show, flown by FlyPlan on the worker's own state; then plans 0,
// 1, ... in the lanes.
class PlanFeed final : public LaneFeed {
 public:
  PlanFeed(RunAsks& asks, Turns::Shared& shared, int worker, const PlanGeneration& g, const PlanLaneJob& job,
           PlanBreeding& breeding, FlightState& state, CNeuralNet* net)
      : m_turns(asks, shared, worker, static_cast<int>(job.plans.size())),
        m_g(g),
        m_job(job),
        m_breeding(breeding),
        m_state(state),
        m_net(net) {}

  // The worker that takes a plan makes it first (when it is still to be made).
  int Next() override {
    for (;;) {
      const int turn = m_turns.Next();
      if (turn > 0) m_breeding.Ensure(static_cast<std::size_t>(turn - 1));
      if (turn != 0) return turn - 1;  // -1 past the end
      const int shown = static_cast<int>(m_job.plans.size()) - 1;
      m_breeding.Ensure(static_cast<std::size_t>(shown));
      m_job.results[shown] = FlyPlan(m_state, m_job.plans[static_cast<std::size_t>(shown)], m_g.variant, *m_g.params,
                                     *m_g.field, m_net, m_job.paths ? &m_job.paths[shown] : nullptr);
    }
  }

 private:
  Turns m_turns;
  const PlanGeneration& m_g;
  const PlanLaneJob& m_job;
  PlanBreeding& m_breeding;
  FlightState& m_state;
  CNeuralNet* m_net;
};

}  // namespace

bool GenerationEvaluator::FlyPlansInLanes(RunAsks& asks, const PlanGeneration& g, int count, int threads,
                                          vecmath::SimdPath path, PlanBreeding& breeding, int& shownBy) {
  const LaneLevel level = MakeLaneLevel(*g.field, *g.params);
  PlanLaneJob job;
  job.variant = g.variant;
  job.params = g.params;
  job.level = &level;
  job.plans = std::span<CPlanGenome>(g.plans->data(), static_cast<std::size_t>(count));
  job.results = m_results.data();
  job.paths = g.recordPaths ? m_paths.data() : nullptr;
  if (g.variant == FlyVariant::Heuristic) {
    job.layers = g.net->Layers();
    job.weights = g.net->Weights();
  }
  m_planLanes.resize(static_cast<std::size_t>(threads));
  Turns::Shared shared;
  m_pool->Run(threads, [&](int w) {
    const std::size_t at = static_cast<std::size_t>(w);
    PlanFeed feed(asks, shared, w, g, job, breeding, m_workers[at], g.net ? &m_workerNets[at] : nullptr);
    korvane::FlyPlansInLanes(path, job, feed, m_planLanes[at]);
  });
  shownBy = shared.shownBy.load();
  return !shared.stop.load();
}

}  // namespace korvane
