// A training generation flown in SIMD lanes on every core: the flights are
// handed out one by one, so every lane stays busy until the last ones.
#include <algorithm>
#include <atomic>
#include <mutex>
#include <numeric>

#include "engine/generation.h"
#include "engine/network_flight.h"
#include "engine/turns.h"

namespace korvane {
namespace {

// One generation's flights, handed out in turns (engine/turns.h). The
// first is the last flight, whose end the chart frame shows: it flies through
// FlyNetworkScored on a worker's own state. The last level's flights go
// longest first, as the genome's flights on the other levels foretell, so
// that the lanes run dry on short flights. The order only decides when a
// flight flies: its score has its own place.
class Feed final : public LaneFeed {
 public:
  struct Shared : Turns::Shared {
    std::once_flag ordered;
    std::vector<int> lastLevel;  // genomes of the last level, in the order flown
  };

  Feed(RunAsks& asks, const LaneJob& job, std::span<const MeteorField> levels, Shared& shared, int worker,
       FlightState& state, CNeuralNet& net)
      : m_job(job), m_levels(levels), m_shared(shared),
        m_turns(asks, shared, worker, static_cast<int>(job.genomes.size() * levels.size())), m_state(state),
        m_net(net) {}

  int Next() override {
    const int genomes = static_cast<int>(m_job.genomes.size());
    const int flights = genomes * static_cast<int>(m_levels.size());
    for (;;) {
      const int turn = m_turns.Next();
      if (turn != 0) return turn < 0 ? -1 : FlightAt(turn - 1, genomes, flights);
      const int shown = flights - 1;
      m_net.LoadWeights(m_job.genomes[static_cast<std::size_t>(shown % genomes)].weights);
      m_job.scores[shown] =
          FlyNetworkScored(m_state, m_net, *m_job.params, m_levels[static_cast<std::size_t>(shown / genomes)])
              .score;
    }
  }

 private:
  int FlightAt(int f, int genomes, int flights) {
    const int base = flights - genomes;
    if (m_job.ticks == nullptr || base == 0 || f < base) return f;
    std::call_once(m_shared.ordered, [&] { OrderLastLevel(genomes, base); });
    return base + m_shared.lastLevel[static_cast<std::size_t>(f - base)];
  }

  // The last level's genomes but the shown one, by their ticks on the other
  // levels, most first; a flight still going counts as the longest.
  void OrderLastLevel(int genomes, int base) {
    std::vector<long>& key = m_keys;
    key.assign(static_cast<std::size_t>(genomes), 0);
    for (int f = 0; f < base; ++f) {
      const int t = std::atomic_ref<int>(m_job.ticks[f]).load(std::memory_order_relaxed);
      key[static_cast<std::size_t>(f % genomes)] += t < 0 ? kTimeLimit + 1 : t;
    }
    std::vector<int>& order = m_shared.lastLevel;
    order.resize(static_cast<std::size_t>(genomes - 1));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return key[static_cast<std::size_t>(a)] > key[static_cast<std::size_t>(b)];
    });
  }

  const LaneJob& m_job;
  std::span<const MeteorField> m_levels;
  Shared& m_shared;
  Turns m_turns;
  FlightState& m_state;
  CNeuralNet& m_net;
  std::vector<long> m_keys;
};

}  // namespace

bool GenerationEvaluator::FlyWeightsInLanes(RunAsks& asks, const SimParams& p, CNeuralNet& net,
                                            std::span<const MeteorField> levels, std::vector<WeightGenome>& genomes,
                                            int count, int threads, vecmath::SimdPath path,
                                            const std::function<void()>& alongside) {
  std::vector<LaneLevel> laneLevels;
  for (const MeteorField& level : levels) laneLevels.push_back(MakeLaneLevel(level, p));
  m_laneScores.assign(static_cast<std::size_t>(count) * levels.size(), 0.0);
  m_laneTicks.assign(m_laneScores.size(), -1);
  m_lanes.resize(static_cast<std::size_t>(threads));
  for (LaneBuffers& b : m_lanes) b.SizeFor(net.WeightCount());
  const LaneJob job{&p, net.Layers(), net.WeightCount(), laneLevels,
                    std::span<const WeightGenome>(genomes.data(), static_cast<std::size_t>(count)),
                    m_laneScores.data(), m_laneTicks.data()};
  Feed::Shared shared;
  m_pool->Run(threads, [&](int w) {
    const std::size_t at = static_cast<std::size_t>(w);
    // The last worker takes on the side job first; the others fly meanwhile.
    if (w == threads - 1 && alongside) alongside();
    Feed feed(asks, job, levels, shared, w, m_workers[at], m_workerNets[at]);
    FlyInLanes(path, job, feed, m_lanes[at]);
  });
  if (shared.stop.load()) return false;
  // Each genome's fitness adds up its levels in order, as one by one.
  for (int n = 0; n < count; ++n)
    for (std::size_t l = 0; l < levels.size(); ++l)
      genomes[static_cast<std::size_t>(n)].fitness += m_laneScores[l * count + n];
  const std::size_t shownBy = static_cast<std::size_t>(shared.shownBy.load());
  m_flight = m_workers[shownBy];
  net = m_workerNets[shownBy];
  return true;
}

}  // namespace korvane
