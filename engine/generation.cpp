// Flying a whole generation on every core, with the results of flying it on
// one.
#include "engine/generation.h"

#include <algorithm>

#include "engine/autopilot.h"

namespace korvane {

CAutoPilot::GenerationEnd CAutoPilot::FlyGeneration(IHost& host, FlyVariant variant, const SimParams& p,
                                                    const MeteorField& field, CNeuralNet* net, CRand* rng,
                                                    int count, bool recordPaths) {
  GenerationEnd end;
  count = std::min<int>(count, static_cast<int>(m_workList.size()));
  const int threads = std::max(1, std::min(m_threads, count));
  m_workers.resize(threads);
  if (net) m_workerNets.assign(threads, *net);
  m_results.assign(count, PlanFlightResult{});
  // Scores as they were, for the plans a one-by-one search would not have
  // reached.
  struct Scores {
    double fitness, energy, safety, time;
  };
  std::vector<Scores> before(count);
  for (int n = 0; n < count; ++n) {
    const CPlanGenome& g = m_workList[n];
    before[n] = {g.m_fitness, g.m_energyScore, g.m_safetyScore, g.m_timeScore};
  }
  // Each plan records into its own path; the buffers are kept from one
  // generation to the next.
  if (recordPaths) m_paths.resize(count);
  const ParallelPass pass = FlyInParallel(host, threads, count, 4, [&](int w, int n) {
    m_results[n] = FlyPlan(m_workers[w], m_workList[n], variant, p, field, net ? &m_workerNets[w] : nullptr,
                           recordPaths ? &m_paths[n] : nullptr);
    return m_results[n].outcome != FlyOutcome::Finished;
  });
  if (pass.stopped) {
    end.stopped = true;
    return end;
  }
  m_flight = m_workers[pass.firstEnd < count ? 0 : pass.lastWorker];
  if (recordPaths) end.paths = PublishPaths(std::min(count, pass.firstEnd + 1));
  auto restoreAfter = [&](int last) {
    for (int n = last + 1; n < count; ++n) {
      CPlanGenome& g = m_workList[n];
      g.m_fitness = before[n].fitness;
      g.m_energyScore = before[n].energy;
      g.m_safetyScore = before[n].safety;
      g.m_timeScore = before[n].time;
    }
  };
  // In plan order, as if flown one by one: the repairs draw in this order.
  for (int n = 0; n < count; ++n) {
    const PlanFlightResult& r = m_results[n];
    if (r.outcome == FlyOutcome::InvalidCode || r.outcome == FlyOutcome::NetworkMismatch) {
      restoreAfter(n);
      if (r.outcome == FlyOutcome::InvalidCode)
        host.ShowMessage(InvalidCodeMessage(r, n, variant));
      else
        ReportMismatch(host);
      end.last = r;
      return end;
    }
    if (variant == FlyVariant::Heuristic && rng) Repair(m_workList[n], r, *rng);
    if (r.escaped && end.escapedPlan < 0) {
      end.escapedPlan = n;
      if (r.outcome == FlyOutcome::Escaped) {
        restoreAfter(n);
        end.last = r;
        return end;
      }
    }
  }
  if (count > 0) end.last = m_results[count - 1];
  return end;
}

PathsPtr CAutoPilot::PublishPaths(int flown) {
  auto out = std::make_shared<PopulationPaths>();
  out->paths.assign(m_paths.begin(), m_paths.begin() + flown);
  // The best as the sort will rank it: the last of the highest fitness, or
  // the plan that escaped.
  double best = -1.0;
  for (int n = 0; n < flown; ++n) {
    const double f = m_results[n].escaped ? EscapedFitness : m_workList[n].m_fitness;
    if (f >= best) {
      best = f;
      out->best = n;
    }
  }
  return out;
}

bool CAutoPilot::FlyWeightGeneration(IHost& host, const SimParams& p, CNeuralNet& net,
                                     std::span<const MeteorField> levels, const std::function<void()>& alongside) {
  const int count = std::min<int>(p.NetPopulationSize, static_cast<int>(m_weightWorkList.size()));
  const int threads = std::max(1, std::min(m_threads, count));
  m_workers.resize(threads);
  m_workerNets.assign(threads, net);
  const vecmath::SimdPath path = vecmath::ActivePath();
  bool lanes = count > 0 && LaneCount(path) > 0 && LanesServe(p, net);
  for (int n = 0; lanes && n < count; ++n)
    lanes = static_cast<int>(m_weightWorkList[n].weights.size()) == net.WeightCount();
  if (lanes) return FlyWeightGenerationInLanes(host, p, net, levels, count, threads, path, alongside);
  if (alongside) alongside();
  // Each genome flies the levels in order, so its fitness adds up in the same
  // order whichever worker flies it.
  const ParallelPass pass = FlyInParallel(host, threads, count, 1, [&](int w, int n) {
    CNeuralNet& wn = m_workerNets[w];
    wn.LoadWeights(m_weightWorkList[n].weights);
    for (const MeteorField& level : levels)
      m_weightWorkList[n].fitness += FlyNetworkScored(m_workers[w], wn, p, level).score;
    return false;
  });
  if (pass.stopped) return false;
  m_flight = m_workers[pass.lastWorker];
  net = m_workerNets[pass.lastWorker];
  return true;
}

}  // namespace korvane
