// A training generation flown in SIMD lanes on every core: the flights are
// handed out one by one, so every lane stays busy until the last ones.
#include <atomic>

#include "engine/autopilot.h"
#include "engine/parallel.h"

namespace korvane {
namespace {

struct SharedFlights {
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  int flights = 0;
};

}  // namespace

bool CAutoPilot::FlyWeightGenerationInLanes(IHost& host, const SimParams& p, CNeuralNet& net,
                                            std::span<const MeteorField> levels, int count, int threads,
                                            vecmath::SimdPath path) {
  std::vector<LaneLevel> laneLevels;
  for (const MeteorField& level : levels) laneLevels.push_back(MakeLaneLevel(level, p));
  const int flights = count * static_cast<int>(levels.size());
  m_laneScores.assign(static_cast<std::size_t>(flights), 0.0);
  m_lanes.resize(static_cast<std::size_t>(threads));
  for (LaneBuffers& b : m_lanes) b.SizeFor(net.WeightCount());
  const LaneJob job{&p, net.Layers(), net.WeightCount(), laneLevels,
                    std::span<const WeightGenome>(m_weightWorkList.data(), static_cast<std::size_t>(count)),
                    m_laneScores.data()};
  SharedFlights shared;
  shared.flights = flights;
  std::atomic<int> shownBy{0};

  // Flights in order; the last one, whose end the chart frame shows, flies
  // through FlyNetworkScored on the worker's own state.
  class Feed final : public LaneFeed {
   public:
    Feed(CAutoPilot& pilot, IHost& host, const SimParams& p, std::span<const MeteorField> levels,
         const LaneJob& job, SharedFlights& shared, std::atomic<int>& shownBy, int worker)
        : m_pilot(pilot), m_host(host), m_p(p), m_levels(levels), m_job(job), m_shared(shared),
          m_shownBy(shownBy), m_worker(worker) {}
    int Next() override {
      const int genomes = static_cast<int>(m_job.genomes.size());
      for (;;) {
        if (m_worker == 0 && m_host.StopRequested()) m_shared.stop.store(true);
        if (m_shared.stop.load(std::memory_order_relaxed)) return -1;
        const int f = m_shared.next.fetch_add(1, std::memory_order_relaxed);
        if (f >= m_shared.flights) return -1;
        const std::size_t level = static_cast<std::size_t>(f / genomes);
        if (f == m_shared.flights - 1) {
          CNeuralNet& wn = m_pilot.m_workerNets[static_cast<std::size_t>(m_worker)];
          wn.LoadWeights(m_job.genomes[static_cast<std::size_t>(f % genomes)].weights);
          m_job.scores[f] = FlyNetworkScored(m_pilot.m_workers[static_cast<std::size_t>(m_worker)], wn, m_p,
                                             m_levels[level])
                                .score;
          m_shownBy.store(m_worker);
        } else {
          return f;
        }
      }
    }

   private:
    CAutoPilot& m_pilot;
    IHost& m_host;
    const SimParams& m_p;
    std::span<const MeteorField> m_levels;
    const LaneJob& m_job;
    SharedFlights& m_shared;
    std::atomic<int>& m_shownBy;
    int m_worker;
  };

  ParallelFor(threads, threads, 1, [&](int w, int) {
    Feed feed(*this, host, p, levels, job, shared, shownBy, w);
    FlyInLanes(path, job, feed, m_lanes[static_cast<std::size_t>(w)]);
    return true;
  });
  if (shared.stop.load()) return false;
  // Each genome's fitness adds up its levels in order, as one by one.
  for (int n = 0; n < count; ++n)
    for (std::size_t l = 0; l < levels.size(); ++l)
      m_weightWorkList[static_cast<std::size_t>(n)].fitness += m_laneScores[l * count + n];
  m_flight = m_workers[static_cast<std::size_t>(shownBy.load())];
  net = m_workerNets[static_cast<std::size_t>(shownBy.load())];
  return true;
}

}  // namespace korvane
