// Training flights side by side in SIMD lanes: a worker keeps one flight of a
// genome on a level in each lane, steps them all a tick at a time with masks
// instead of branches, and refills a lane as soon as its flight ends. Every
// flight gives FlyNetworkScored's score, bit for bit.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "engine/flight.h"
#include "net/neural_net.h"
#include "net/weight_ga.h"
#include "vecmath/exact_exp.h"

namespace korvane {

inline constexpr int kMaxLanes = 16;      // lanes one worker flies at most
inline constexpr int kLaneMaxWidth = 32;  // widest layer the lanes take
inline constexpr int kLaneMaxWeights = 4096;
inline constexpr int kLaneMaxInputs = 4 + 2 * MaxPerceived;

// A level as the lanes read it. A level with fewer meteors than another
// lane's is padded with meteors that can neither be hit (crashSq = -inf) nor
// perceived (radius = -inf: the gap and its square are +inf).
struct LaneLevel {
  const MeteorField* field = nullptr;
  int count = 0;
  double x[MaxObstacles], y[MaxObstacles], radius[MaxObstacles], crashSq[MaxObstacles];
  // While |x| and |y| of the lifeboat stay below this, every offset to a
  // meteor is under 32767 in both axes: the 32-bit squares cannot wrap and
  // are exact in doubles. 0 when the level has a meteor that is not finite.
  double limit = 0.0;
  // Every flight starts at the same point: its perception, and whether it
  // has crashed there already.
  double startDx[MaxPerceived], startDy[MaxPerceived];
  bool startCrash = false;
};

LaneLevel MakeLaneLevel(const MeteorField& field, const SimParams& p);

// One generation's flights: flight f is genome f % genomes.size() on level
// f / genomes.size(), so lanes mostly fly the same level at the same time.
struct LaneJob {
  const SimParams* params = nullptr;
  std::span<const NeuronLayer> layers;
  int weightCount = 0;
  std::span<const LaneLevel> levels;
  std::span<const WeightGenome> genomes;
  double* scores = nullptr;  // one per flight
  // When set, one per flight: its length in ticks, stored (relaxed atomic)
  // as it ends, for a feed that orders what is left by length.
  int* ticks = nullptr;
};

// Where a worker's lanes draw their flights from.
class LaneFeed {
 public:
  // The next flight for a lane, or -1 when there is none left.
  virtual int Next() = 0;

 protected:
  ~LaneFeed() = default;
};

// Flights 0..count-1 in order, for one worker on its own.
class InOrderFeed final : public LaneFeed {
 public:
  explicit InOrderFeed(int count) : m_count(count) {}
  int Next() override { return m_next < m_count ? m_next++ : -1; }

 private:
  int m_count;
  int m_next = 0;
};

// One worker's lanes: state, inputs, layer values and weights, one row of
// kMaxLanes doubles per quantity (a path uses the first 4, 8 or 16 of each).
struct alignas(64) LaneBuffers {
  double x[kMaxLanes], y[kMaxLanes], vx[kMaxLanes], vy[kMaxLanes], t[kMaxLanes];
  double action[kMaxLanes], limit[kMaxLanes];
  double dx[MaxPerceived * kMaxLanes], dy[MaxPerceived * kMaxLanes];
  double in[kLaneMaxInputs * kMaxLanes];
  double layer[2][kLaneMaxWidth * kMaxLanes];
  double ox[MaxObstacles * kMaxLanes], oy[MaxObstacles * kMaxLanes];
  double radius[MaxObstacles * kMaxLanes], crashSq[MaxObstacles * kMaxLanes];
  int flight[kMaxLanes], level[kMaxLanes];
  std::vector<double> weightStore;  // weightCount rows, 64-byte aligned from Weights()

  double* Weights() {
    return weightStore.data() + (8 - (reinterpret_cast<std::uintptr_t>(weightStore.data()) / 8) % 8) % 8;
  }
  void SizeFor(int weightCount) { weightStore.resize(static_cast<std::size_t>(weightCount) * kMaxLanes + 8); }
};

// The lanes one worker flies on `path` (0 for the scalar path, which keeps
// FlyNetworkScored).
int LaneCount(vecmath::SimdPath path);

// Whether the lanes can fly this network under these settings: the input
// count matches, the layers are within the buffers, the ticks per decision
// are one.
bool LanesServe(const SimParams& p, const CNeuralNet& net);

// Flies flights from `feed` until it runs dry, writing each flight's score.
// `path` must have lanes; buffers must be sized for the job's weights.
void FlyInLanes(vecmath::SimdPath path, const LaneJob& job, LaneFeed& feed, LaneBuffers& buffers);

}  // namespace korvane
