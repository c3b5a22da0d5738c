// A training generation flown in SIMD lanes on every core, every lane busy
// until the last flights.
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>

#include "engine/child_breeding.h"
#include "engine/generation.h"
#include "engine/network_flight.h"
#include "engine/turns.h"

namespace korvane {
namespace {

// One generation's flights. Level 0's are handed out in turns (the first
// turn is the last flight, whose end the chart frame shows: it flies through
// FlyNetworkScored on a worker's own state). The worker that takes a genome
// there makes it (ChildBreeding) and keeps it: it flies the genome on the
// other levels too, level by level, so that the weights stay in its cache
// and its lanes mostly fly one level at a time; on the last level longest
// first, as the genome's flights on the other levels foretell, so that the
// lanes run dry on short flights. A worker out of flights of its own takes
// the others' still waiting. The order only decides when a flight flies: its
// score has its own place.
class Feed final : public LaneFeed {
 public:
  // A worker's own genomes and the turns over their other levels.
  struct alignas(64) Own {
    std::vector<int> genomes;           // taken on level 0, in order
    std::vector<int> lastOrder;         // the same, in the last level's order
    std::atomic<bool> complete{false};  // no more genomes come
    std::atomic<int> next{0};
    std::once_flag ordered;
  };
  struct Shared : Turns::Shared {
    Shared(int workers, int genomes) : own(new Own[static_cast<std::size_t>(workers)]), workers(workers) {
      for (int w = 0; w < workers; ++w) own[w].genomes.reserve(static_cast<std::size_t>(genomes));
    }
    std::unique_ptr<Own[]> own;
    int workers;
  };

  Feed(RunAsks& asks, const LaneJob& job, std::span<const MeteorField> levels, Shared& shared, int worker,
       ChildBreeding& breeding, FlightState& state, CNeuralNet& net)
      : m_job(job),
        m_levels(levels),
        m_shared(shared),
        m_own(shared.own[worker]),
        m_breeding(breeding),
        m_turns(asks, shared, worker, static_cast<int>(job.genomes.size()) + 1),
        m_worker(worker),
        m_state(state),
        m_net(net) {}

  int Next() override {
    const int genomes = static_cast<int>(m_job.genomes.size());
    const int shown = genomes * static_cast<int>(m_levels.size()) - 1;
    while (!m_own.complete.load(std::memory_order_relaxed)) {
      const int turn = m_turns.Next();
      if (turn < 0) {
        if (m_turns.Stopping()) return -1;
        m_own.complete.store(true, std::memory_order_release);
      } else if (turn == 0) {
        FlyShown(shown, genomes);
      } else {
        const int g = turn - 1;
        m_own.genomes.push_back(g);
        m_breeding.Ensure(static_cast<std::size_t>(g));
        if (g != shown) return g;
      }
    }
    for (int i = 0; i < m_shared.workers; ++i) {
      if (m_turns.Stopping()) return -1;
      const int f = TakeFrom(m_shared.own[(m_worker + i) % m_shared.workers], genomes, shown);
      if (f >= 0) return f;
    }
    return -1;
  }

 private:
  void FlyShown(int shown, int genomes) {
    m_breeding.Ensure(static_cast<std::size_t>(shown % genomes));
    m_net.LoadWeights(m_job.genomes[static_cast<std::size_t>(shown % genomes)].weights);
    m_job.scores[shown] =
        FlyNetworkScored(m_state, m_net, *m_job.params, m_levels[static_cast<std::size_t>(shown / genomes)]).score;
  }

  // The next flight of `own`'s genomes on levels 1, 2, ..., or -1.
  int TakeFrom(Own& own, int genomes, int shown) {
    if (!own.complete.load(std::memory_order_acquire)) return -1;
    const int count = static_cast<int>(own.genomes.size());
    const int last = static_cast<int>(m_levels.size()) - 1;
    for (;;) {
      const int t = own.next.fetch_add(1, std::memory_order_relaxed);
      if (t >= count * last) return -1;
      const int level = 1 + t / count;
      const std::vector<int>& order = level == last ? LastOrder(own, genomes) : own.genomes;
      const int f = level * genomes + order[static_cast<std::size_t>(t % count)];
      if (f != shown) return f;
    }
  }

  // The genomes by their ticks on the other levels, most first; a flight
  // still going counts as the longest.
  const std::vector<int>& LastOrder(Own& own, int genomes) {
    std::call_once(own.ordered, [&] {
      own.lastOrder = own.genomes;
      if (m_job.ticks == nullptr) return;
      std::vector<long>& key = m_keys;
      key.assign(static_cast<std::size_t>(genomes), 0);
      for (int g : own.genomes)
        for (std::size_t l = 0; l + 1 < m_levels.size(); ++l) {
          const int t = std::atomic_ref<int>(m_job.ticks[l * genomes + g]).load(std::memory_order_relaxed);
          key[static_cast<std::size_t>(g)] += t < 0 ? kTimeLimit + 1 : t;
        }
      std::stable_sort(own.lastOrder.begin(), own.lastOrder.end(), [&](int a, int b) {
        return key[static_cast<std::size_t>(a)] > key[static_cast<std::size_t>(b)];
      });
    });
    return own.lastOrder;
  }

  const LaneJob& m_job;
  std::span<const MeteorField> m_levels;
  Shared& m_shared;
  Own& m_own;
  ChildBreeding& m_breeding;
  Turns m_turns;
  int m_worker;
  FlightState& m_state;
  CNeuralNet& m_net;
  std::vector<long> m_keys;
};

}  // namespace

bool GenerationEvaluator::FlyWeightsInLanes(RunAsks& asks, const SimParams& p, CNeuralNet& net,
                                            std::span<const MeteorField> levels, std::vector<WeightGenome>& genomes,
                                            int count, int threads, vecmath::SimdPath path,
                                            const std::function<void()>& alongside, ChildBreeding& breeding) {
  std::vector<LaneLevel> laneLevels;
  for (const MeteorField& level : levels) laneLevels.push_back(MakeLaneLevel(level, p));
  m_laneScores.assign(static_cast<std::size_t>(count) * levels.size(), 0.0);
  m_laneTicks.assign(m_laneScores.size(), -1);
  m_lanes.resize(static_cast<std::size_t>(threads));
  for (LaneBuffers& b : m_lanes) b.SizeFor(net.WeightCount());
  const LaneJob job{&p,
                    net.Layers(),
                    net.WeightCount(),
                    laneLevels,
                    std::span<const WeightGenome>(genomes.data(), static_cast<std::size_t>(count)),
                    m_laneScores.data(),
                    m_laneTicks.data()};
  Feed::Shared shared(threads, count);
  m_pool->Run(threads, [&](int w) {
    const std::size_t at = static_cast<std::size_t>(w);
    // The last worker takes on the side job first; the others fly meanwhile.
    if (w == threads - 1 && alongside) alongside();
    Feed feed(asks, job, levels, shared, w, breeding, m_workers[at], m_workerNets[at]);
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
