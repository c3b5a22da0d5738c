// Flights in SIMD lanes against the same flights one by one through
// FlyNetworkScored, bit for bit, on every path this machine has.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "engine/autopilot.h"
#include "engine/lockstep.h"
#include "net/trained_weights.h"

using namespace korvane;

namespace {

#ifdef KORVANE_SANITIZED
constexpr int kGenomes = 12;
#else
constexpr int kGenomes = 60;
#endif

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Case {
  const char* name;
  void (*set)(SimParams&);
  std::size_t endTicks;  // different flight lengths at least
};

// Settings that make flights end every way, early and late: crashes into
// meteors and edges, stalls, escapes, time-outs, a crash at the start,
// saturated and NaN sums, offsets beyond the lanes' limit.
const Case kCases[] = {
    {"defaults", [](SimParams&) {}, 5},
    {"wide weights", [](SimParams& p) { p.InitWeightRange = 40.0; }, 5},
    {"no gravity, slow",
     [](SimParams& p) {
       p.Gravity = 0.0;
       p.SpeedScale = 3.0;
     },
     5},
    {"fast",
     [](SimParams& p) {
       p.SpeedScale = 120.0;
       p.InitWeightRange = 8.0;
     },
     5},
    {"flat sigmoid", [](SimParams& p) { p.SigmoidParam = 0.0; }, 1},  // every output 0.5: a tie
    {"negative sigmoid",
     [](SimParams& p) {
       p.SigmoidParam = -3.0;
       p.NormalizeParam = -20.0;
     },
     5},
    {"no perception", [](SimParams& p) { p.SetPerceivedMeteors(0); }, 5},
    {"three perceived, one layer",
     [](SimParams& p) {
       p.SetPerceivedMeteors(3);
       p.HiddenLayerCount = 1;
     },
     5},
    {"ten perceived, wide",
     [](SimParams& p) {
       p.SetPerceivedMeteors(10);
       p.NeuronsPerHiddenLayer = 20;
     },
     5},
    {"linear", [](SimParams& p) { p.HiddenLayerCount = 0; }, 5},
    {"deep",
     [](SimParams& p) {
       p.HiddenLayerCount = 4;
       p.NeuronsPerHiddenLayer = 3;
     },
     3},
    {"widest",
     [](SimParams& p) {
       p.NeuronsPerHiddenLayer = kLaneMaxWidth;
       p.InitWeightRange = 0.3;
     },
     3},
    {"huge boat", [](SimParams& p) { p.LifeboatSize = 60.0; }, 1},  // crashes where it starts
    {"huge speeds",
     [](SimParams& p) {
       p.Gravity = 1e9;
       p.InitWeightRange = 6.0;
     },
     1},  // far out at once
    {"zero normalise", [](SimParams& p) { p.NormalizeParam = 0.0; }, 5},
    {"slower", [](SimParams& p) { p.SpeedScale = 20.0; }, 5},
};

}  // namespace

TEST(Lockstep, LanesFlyAsFlightsOneByOne) {
  MeteorField levels[BuiltInLevelCount + 1];
  for (int l = 0; l < BuiltInLevelCount; ++l) levels[l] = BuiltInLevel(l + 1);
  levels[BuiltInLevelCount] = BuiltInLevel(2);
  levels[BuiltInLevelCount].Add({40000.0, 200.0, 10.0});  // beyond the limit: CheckCollision itself
  int paths = 0;
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    if (LaneCount(path) == 0) continue;
    ++paths;
    std::set<NetFlightEnd> allEnds;
    for (const Case& c : kCases) {
      SimParams p;
      c.set(p);
      CRand rng(static_cast<std::uint32_t>(std::strlen(c.name)));
      CNeuralNet net;
      std::vector<WeightGenome> genomes;
      for (int n = 0; n < kGenomes; ++n) {
        net.Build(p, rng);
        genomes.push_back({net.CollectWeights(), 0.0});
        // Every other genome of the default shape: the trained weights, nudged,
        // which fly long and end late.
        if (n % 2 == 1 && net.WeightCount() == static_cast<int>(TrainedWeights.size())) {
          genomes.back().weights.assign(TrainedWeights.begin(), TrainedWeights.end());
          for (double& w : genomes.back().weights) w += (rng.Unit() - 0.5) * 0.02 * (n % 7);
        }
      }
      ASSERT_TRUE(LanesServe(p, net)) << c.name;
      std::vector<LaneLevel> laneLevels;
      for (const MeteorField& f : levels) laneLevels.push_back(MakeLaneLevel(f, p));
      const int flights = kGenomes * static_cast<int>(laneLevels.size());
      std::vector<double> scores(static_cast<std::size_t>(flights), -1.0);
      const LaneJob job{&p, net.Layers(), net.WeightCount(), laneLevels, genomes, scores.data()};
      LaneBuffers buffers;
      buffers.SizeFor(net.WeightCount());
      InOrderFeed feed(flights);
      FlyInLanes(path, job, feed, buffers);

      std::set<int> ticks;
      FlightState fs;
      for (int f = 0; f < flights; ++f) {
        net.LoadWeights(genomes[static_cast<std::size_t>(f % kGenomes)].weights);
        const NetFlightResult r = CAutoPilot::FlyNetworkScored(fs, net, p, levels[f / kGenomes]);
        ASSERT_TRUE(Same(scores[static_cast<std::size_t>(f)], r.score))
            << vecmath::PathName(path) << " " << c.name << " flight " << f << ": " << scores[f] << " vs " << r.score;
        ticks.insert(r.ticks);
        allEnds.insert(r.end);
      }
      // Lanes ended at many different ticks, and not all the same way.
      EXPECT_GE(ticks.size(), c.endTicks) << c.name;
    }
    EXPECT_EQ(allEnds.size(), 4u);  // escapes, crashes, stalls and time-outs
  }
  if (paths == 0) GTEST_SKIP() << "no SIMD path on this machine";
}

// Shapes beyond the lanes' buffers, and a network that does not take the
// settings' inputs, are left to the flights one by one.
TEST(Lockstep, LanesServeOnlyTheShapesTheyHold) {
  struct Case {
    int inputs, hidden, neurons, perceived;
    bool served;
  };
  for (const Case c : {Case{6, 2, 5, 1, true}, Case{24, 3, 32, 10, true}, Case{6, 1, 33, 1, false},
                       Case{6, 2, 5, 2, false}, Case{4, 0, 1, 0, true}, Case{6, 40, 12, 1, false}}) {
    SimParams p;
    p.NetInputCount = c.inputs;
    p.HiddenLayerCount = c.hidden;
    p.NeuronsPerHiddenLayer = c.neurons;
    CRand rng(1);
    CNeuralNet net;
    net.Build(p, rng);
    p.SetPerceivedMeteors(c.perceived);
    EXPECT_EQ(LanesServe(p, net), c.served) << c.inputs << " " << c.hidden << "x" << c.neurons;
  }
}
