// Flying a whole generation on every core, with the results of flying it on
// one.
#include "engine/generation.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "engine/plan_flight.h"
#include "engine/network_flight.h"

namespace korvane {

GenerationEvaluator::GenerationEvaluator(int threads, bool everyThread)
    : m_threads(threads < 1 || !kThreadsBuilt ? 1 : threads) {
  if (everyThread) m_planFlights.shortUs = 0.0;
}

PlanGenerationEnd GenerationEvaluator::FlyPlans(RunAsks& asks, const PlanGeneration& g) {
  PlanGenerationEnd end;
  std::vector<CPlanGenome>& plans = *g.plans;
  const SimParams& p = *g.params;
  CNeuralNet* net = g.net;
  const bool recordPaths = g.recordPaths;
  const int count = std::min<int>(g.count, static_cast<int>(plans.size()));
  const int threads = std::max(1, std::min(PlanThreads(), count));
  const auto flightsStart = std::chrono::steady_clock::now();
  m_workers.resize(threads);
  if (net) m_workerNets.assign(threads, *net);
  m_results.assign(count, PlanFlightResult{});
  PlanBreeding breeding(g.breeder, plans);
  // Scores as they were, for the plans a one-by-one search would not have
  // reached.
  struct Scores {
    double fitness, energy, safety, time;
  };
  std::vector<Scores> before(count);
  for (int n = 0; n < count; ++n) {
    const CPlanGenome& plan = plans[n];
    before[n] = {plan.m_fitness, plan.m_energyScore, plan.m_safetyScore, plan.m_timeScore};
  }
  // Each plan records into its own path; the buffers are kept from one
  // generation to the next.
  if (recordPaths) m_paths.resize(count);
  bool stopped = false;
  int shownBy = 0;  // the worker whose state holds the last plan's flight
  bool inLanes = false;
#if !KORVANE_PORTABLE
  const vecmath::SimdPath path = vecmath::ActivePath();
  inLanes = count > 0 && LaneCount(path) > 0 && PlanLanesServe(g.variant, p, net);
  if (inLanes) stopped = !FlyPlansInLanes(asks, g, count, threads, path, breeding, shownBy);
#endif
  if (!inLanes) {
    const ParallelPass pass = FlyInParallel(asks, threads, count, 4, [&](int w, int n) {
      breeding.Ensure(static_cast<std::size_t>(n));
      m_results[n] = FlyPlan(m_workers[w], plans[n], g.variant, p, *g.field, net ? &m_workerNets[w] : nullptr,
                             recordPaths ? &m_paths[n] : nullptr);
      return m_results[n].outcome != FlyOutcome::Finished;
    });
    stopped = pass.stopped;
    shownBy = pass.lastWorker;
  }
  m_planFlights.lastUs =
      threads * std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - flightsStart).count();
  // Those a stop or an early end left, and any past the generation's count.
  breeding.EnsureAll();
  if (stopped) {
    end.stopped = true;
    return end;
  }
  auto restoreAfter = [&](int last) {
    for (int n = last + 1; n < count; ++n) {
      CPlanGenome& plan = plans[n];
      plan.m_fitness = before[n].fitness;
      plan.m_energyScore = before[n].energy;
      plan.m_safetyScore = before[n].safety;
      plan.m_timeScore = before[n].time;
    }
  };
  // In plan order, as if flown one by one: the repairs draw in this order.
  const int last = FirstEnd(g, count, end);
  restoreAfter(last);
  if (last >= 0) {
    end.last = m_results[last];
    end.lastPlan = last;
  }
  if (recordPaths) end.paths = PublishPaths(plans, last + 1);
  // The frames show the flight that ended the generation: the last plan's,
  // as a worker flew it, or else the plan's flown again.
  if (last == count - 1) {
    m_flight = m_workers[shownBy];
  } else {
    m_flight = m_workers[0];
    FlyPlan(m_flight, plans[last], g.variant, p, *g.field, net ? &m_workerNets[0] : nullptr);
  }
  return end;
}

int GenerationEvaluator::FirstEnd(const PlanGeneration& g, int count, PlanGenerationEnd& end) {
  for (int n = 0; n < count; ++n) {
    const PlanFlightResult& r = m_results[n];
    if (r.outcome == FlyOutcome::InvalidCode || r.outcome == FlyOutcome::NetworkMismatch) return n;
    if (g.variant == FlyVariant::Heuristic && g.rng) Repair((*g.plans)[n], r, *g.rng);
    if (r.escaped && end.escapedPlan < 0) {
      end.escapedPlan = n;
      if (r.outcome == FlyOutcome::Escaped) return n;
    }
  }
  return count - 1;
}

PathsPtr GenerationEvaluator::PublishPaths(const std::vector<CPlanGenome>& plans, int flown) const {
  auto out = std::make_shared<PopulationPaths>();
  out->paths.assign(m_paths.begin(), m_paths.begin() + flown);
  // The best as the sort will rank it: the last of the highest fitness, or
  // the plan that escaped.
  double best = -1.0;
  for (int n = 0; n < flown; ++n) {
    const double f = m_results[n].escaped ? EscapedFitness : plans[n].m_fitness;
    if (f >= best) {
      best = f;
      out->best = n;
    }
  }
  return out;
}

void GenerationEvaluator::TwoAtOnce(const std::function<void()>& here, const std::function<void()>& beside) {
#if !KORVANE_PORTABLE
  if (m_threads > 1) {
    std::exception_ptr failed[2];
    m_pool->Run(2, [&](int w) {
      try {
        (w == 0 ? here : beside)();
      } catch (...) {
        failed[w] = std::current_exception();
      }
    });
    for (const std::exception_ptr& f : failed)
      if (f) std::rethrow_exception(f);
    return;
  }
#endif
  here();
  beside();
}

bool GenerationEvaluator::FlyWeights(RunAsks& asks, const SimParams& p, CNeuralNet& net,
                                     std::span<const MeteorField> levels, std::vector<WeightGenome>& genomes,
                                     const std::function<void()>& alongside, const CWeightGA* breeder) {
  const int count = std::min<int>(p.NetPopulationSize, static_cast<int>(genomes.size()));
  const int threads = std::max(1, std::min(m_threads, count));
  m_workers.resize(threads);
  m_workerNets.assign(threads, net);
  ChildBreeding breeding(breeder, genomes);
  bool flown = false;
#if !KORVANE_PORTABLE
  const vecmath::SimdPath path = vecmath::ActivePath();
  bool lanes = count > 0 && LaneCount(path) > 0 && LanesServe(p, net);
  // Every genome must fit the lanes' rows (those to be made have their parents' length).
  for (int n = 0; lanes && n < count; ++n)
    lanes = static_cast<int>(breeder ? breeder->ChildLength() : genomes[n].weights.size()) == net.WeightCount();
  if (lanes) flown = FlyWeightsInLanes(asks, p, net, levels, genomes, count, threads, path, alongside, breeding);
  if (!lanes) {
#endif
    if (alongside) alongside();
    // Each genome flies the levels in order, so its fitness adds up in the same
    // order whichever worker flies it.
    const ParallelPass pass = FlyInParallel(asks, threads, count, 1, [&](int w, int n) {
      CNeuralNet& wn = m_workerNets[w];
      breeding.Ensure(static_cast<std::size_t>(n));
      wn.LoadWeights(genomes[n].weights);
      for (const MeteorField& level : levels) genomes[n].fitness += FlyNetworkScored(m_workers[w], wn, p, level).score;
      return false;
    });
    flown = !pass.stopped;
    if (flown) {
      m_flight = m_workers[pass.lastWorker];
      net = m_workerNets[pass.lastWorker];
    }
#if !KORVANE_PORTABLE
  }
#endif
  breeding.EnsureAll();
  return flown;
}

}  // namespace korvane
