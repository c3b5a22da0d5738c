// Plan flights in SIMD lanes against the same flights one by one through
// FlyPlan, bit for bit, paths included, on every path this machine has.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "engine/autopilot.h"
#include "engine/plan_lanes.h"
#include "net/trained_weights.h"

using namespace korvane;

namespace {

#ifdef KORVANE_SANITIZED
constexpr int kPlans = 40;
#else
constexpr int kPlans = 150;
#endif

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Case {
  const char* name;
  void (*set)(SimParams&);
};

// Settings that end plans every way: crashes into meteors and edges, escapes
// (tested first or last), genes used up, a crash where the flight starts,
// positions beyond the lanes' limit, and networks of several shapes.
const Case kCases[] = {
    {"defaults", [](SimParams&) {}},
    {"long genes", [](SimParams& p) { p.ActionDurationRange = 40; }},
    {"slingshot",
     [](SimParams& p) {
       p.Gravity = 0.0;
       p.SpeedScale = 300.0;
     }},
    {"short plans", [](SimParams& p) { p.ChromosomeLength = 7; }},
    {"huge boat", [](SimParams& p) { p.LifeboatSize = 60.0; }},
    {"huge speeds",
     [](SimParams& p) {
       p.Gravity = 1e6;
       p.SpeedScale = 3000.0;
     }},
    {"no perception", [](SimParams& p) { p.SetPerceivedMeteors(0); }},
    {"three perceived, one layer",
     [](SimParams& p) {
       p.SetPerceivedMeteors(3);
       p.HiddenLayerCount = 1;
     }},
    {"ten perceived, wide, linear",
     [](SimParams& p) {
       p.SetPerceivedMeteors(10);
       p.HiddenLayerCount = 0;
     }},
    {"negative sigmoid",
     [](SimParams& p) {
       p.SigmoidParam = -3.0;
       p.NormalizeParam = -20.0;
     }},
};

// Random plans with, now and then, a code that is not one, a gene of no
// ticks, a fractional, negative or NaN duration, or a plan cut short.
std::vector<CPlanGenome> Plans(const SimParams& p, CRand& rng) {
  CPlanGA ga;
  ga.Init(kPlans, 0.5, p.ChromosomeLength + 3, p, rng);
  std::vector<CPlanGenome> plans = ga.Genomes();
  for (CPlanGenome& plan : plans) {
    for (std::size_t i = 0; i < plan.m_actions.size(); ++i) {
      const int r = rng.Below(400);
      if (r == 0) plan.m_actions[i] = 5 + rng.Below(3);
      if (r == 1) plan.m_durations[i] = 0.0;
      if (r == 2) plan.m_durations[i] = -1.5;
      if (r == 3) plan.m_durations[i] = std::nan("");
      if (r >= 4 && r < 40) plan.m_durations[i] += 0.25;
    }
    if (rng.Below(10) == 0) plan.m_actions.resize(plan.m_durations.size() / 2);
    plan.m_durations.resize(plan.m_actions.size());
  }
  return plans;
}

void ExpectSamePath(const PlanPath& a, const PlanPath& b, const std::string& where) {
  ASSERT_EQ(a.Count(), b.Count()) << where;
  EXPECT_EQ(a.End(), b.End()) << where;
  EXPECT_EQ(a.Stride(), b.Stride()) << where;
  for (int i = 0; i < a.Count(); ++i) {
    ASSERT_EQ(a.Point(i).x, b.Point(i).x) << where << " point " << i;
    ASSERT_EQ(a.Point(i).y, b.Point(i).y) << where << " point " << i;
  }
}

}  // namespace

TEST(PlanLanes, FlyAsPlansOneByOne) {
  std::vector<MeteorField> fields;
  for (int l = 1; l <= BuiltInLevelCount; ++l) fields.push_back(BuiltInLevel(l));
  fields.push_back(BuiltInLevel(3));
  fields.back().Add({40000.0, 200.0, 10.0});  // beyond the limit: CheckCollision itself
  fields.push_back(MeteorField{});
  fields.back().count = 0;  // open: the slingshot escapes
  int paths = 0;
  for (vecmath::SimdPath path : vecmath::SupportedPaths()) {
    if (LaneCount(path) == 0) continue;
    ++paths;
    std::set<int> ends;  // outcome * 4 + escaped * 2 + crashed
    std::set<int> suggestions;
    for (const Case& c : kCases) {
      SimParams p;
      c.set(p);
      CRand rng(static_cast<std::uint32_t>(std::strlen(c.name)));
      CNeuralNet net;
      net.Build(p, rng);
      if (net.WeightCount() == static_cast<int>(TrainedWeights.size())) net.LoadWeights(TrainedWeights);
      for (const MeteorField& field : fields) {
        const LaneLevel level = MakeLaneLevel(field, p);
        for (FlyVariant variant : {FlyVariant::GA, FlyVariant::Heuristic, FlyVariant::StepByStep}) {
          ASSERT_TRUE(PlanLanesServe(variant, p, &net)) << c.name;
          std::vector<CPlanGenome> lanes = Plans(p, rng);
          std::vector<CPlanGenome> one = lanes;
          std::vector<PlanFlightResult> results(lanes.size());
          std::vector<PlanPath> lanePaths(lanes.size()), onePaths(lanes.size());
          PlanLaneJob job;
          job.variant = variant;
          job.params = &p;
          job.level = &level;
          job.plans = lanes;
          job.results = results.data();
          job.paths = lanePaths.data();
          job.layers = net.Layers();
          job.weights = net.Weights();
          PlanLaneBuffers buffers;
          InOrderFeed feed(static_cast<int>(lanes.size()));
          FlyPlansInLanes(path, job, feed, buffers);
          FlightState fs;
          for (std::size_t n = 0; n < one.size(); ++n) {
            const std::string where = std::string(vecmath::PathName(path)) + " " + c.name + " variant " +
                                      std::to_string(static_cast<int>(variant)) + " plan " + std::to_string(n);
            const PlanFlightResult r = FlyPlan(fs, one[n], variant, p, field, &net, &onePaths[n]);
            const PlanFlightResult& l = results[n];
            ASSERT_EQ(l.outcome, r.outcome) << where;
            EXPECT_EQ(l.crashGene, r.crashGene) << where;
            EXPECT_EQ(l.badCode, r.badCode) << where;
            EXPECT_EQ(l.badGene, r.badGene) << where;
            EXPECT_EQ(l.escaped, r.escaped) << where;
            EXPECT_EQ(l.crashSuggestion, r.crashSuggestion) << where;
            EXPECT_TRUE(Same(lanes[n].m_fitness, one[n].m_fitness)) << where;
            EXPECT_TRUE(Same(lanes[n].m_energyScore, one[n].m_energyScore)) << where;
            EXPECT_TRUE(Same(lanes[n].m_safetyScore, one[n].m_safetyScore)) << where;
            EXPECT_TRUE(Same(lanes[n].m_timeScore, one[n].m_timeScore)) << where;
            ExpectSamePath(lanePaths[n], onePaths[n], where);
            ends.insert(static_cast<int>(r.outcome) * 4 + r.escaped * 2 + (r.crashGene >= 0));
            if (variant == FlyVariant::Heuristic && r.crashGene >= 0) suggestions.insert(r.crashSuggestion);
          }
        }
      }
    }
    // Genes used up, crashes, escapes tested first and last, bad codes; and
    // the network suggested every thrust.
    EXPECT_EQ(ends, (std::set<int>{0, 1, 2, 6, 8})) << vecmath::PathName(path);
    EXPECT_EQ(suggestions.size(), 5u) << vecmath::PathName(path);
  }
  if (paths == 0) GTEST_SKIP() << "no SIMD path on this machine";
}
