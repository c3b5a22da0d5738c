#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"
#include "sim/rand.h"

using namespace korvane;

TEST(Rand, MatchesTheCRuntimeSequence) {
  // The first values of the C runtime's generator after srand(1) and srand(0).
  CRand r(1);
  EXPECT_EQ(r(), 41);
  EXPECT_EQ(r(), 18467);
  EXPECT_EQ(r(), 6334);
  EXPECT_EQ(r(), 26500);
  EXPECT_EQ(r(), 19169);
  CRand z(0);
  EXPECT_EQ(z(), 38);
  EXPECT_EQ(z(), 7719);
}

TEST(Rand, StaysInFifteenBitsAndChanceUsesThe32768Scale) {
  CRand r(12345);
  for (int i = 0; i < 100000; ++i) {
    int v = r();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
  CRand a(7);
  CRand b(7);
  for (int i = 0; i < 1000; ++i) {
    int v = b();
    EXPECT_EQ(a.Chance(0.5), v / 32768.0 < 0.5);
  }
  CRand c(9);
  for (int i = 0; i < 1000; ++i) EXPECT_FALSE(c.Chance(0.0));
  for (int i = 0; i < 1000; ++i) EXPECT_TRUE(c.Chance(1.0));
}

TEST(Lifeboat, ResetRestoresEverything) {
  SimParams p;
  CLifeboat b;
  b.Reset(20, 200, 2.5);
  b.ThrustRight(p);
  b.ApplyGravity(p);
  b.Step(p);
  b.m_thrustMarker = 5;
  b.ResetToStart(p);
  EXPECT_EQ(b.m_position.x, 20.0);
  EXPECT_EQ(b.m_position.y, 200.0);
  EXPECT_EQ(b.m_velocity.x, 0.0);
  EXPECT_EQ(b.m_velocity.y, 0.0);
  EXPECT_EQ(b.m_scale, 2.5);
  EXPECT_EQ(b.m_thrustMarker, 1);
}

TEST(Lifeboat, GravityThrustAndStepArithmetic) {
  SimParams p;
  CLifeboat b;
  b.ResetToStart(p);
  b.ApplyGravity(p);
  EXPECT_DOUBLE_EQ(b.m_velocity.y, 0.08);
  b.Step(p);
  EXPECT_EQ(b.m_position.y, 200.0 + 30 * (0.04 * 0.08));
  EXPECT_NEAR(b.m_position.y - 200.0, 0.096, 1e-12);
  EXPECT_EQ(b.m_position.x, 20.0);
  CLifeboat u;
  u.ResetToStart(p);
  u.ThrustUp(p);
  EXPECT_DOUBLE_EQ(u.m_velocity.y, -0.2);
  EXPECT_DOUBLE_EQ(-u.m_velocity.y / 0.08, 2.5);
  // A changed setting applies at the next operation.
  p.Gravity = 4.0;
  u.ApplyGravity(p);
  EXPECT_DOUBLE_EQ(u.m_velocity.y, -0.2 + 0.16);
  EXPECT_FALSE(u.ApplyThrust(5, p));
  EXPECT_FALSE(u.ApplyThrust(-1, p));
}

TEST(MeteorField, BuiltInLevels) {
  MeteorField f;
  EXPECT_EQ(f.count, 9);
  ASSERT_TRUE(WriteBuiltInLevel(f, 1));
  EXPECT_EQ(f.obstacles[0].x, 300);
  EXPECT_EQ(f.obstacles[0].y, 350);
  EXPECT_EQ(f.obstacles[0].radius, 30);
  ASSERT_TRUE(WriteBuiltInLevel(f, 3));
  EXPECT_EQ(f.count, 15);
  ASSERT_TRUE(WriteBuiltInLevel(f, 4));
  EXPECT_EQ(f.count, 4);
  // Entries past the count keep level 3's meteors 5..15.
  EXPECT_EQ(f.obstacles[4].x, 461);
  EXPECT_EQ(f.obstacles[14].x, 608);
  EXPECT_EQ(f.obstacles[3].radius, 157);
  EXPECT_FALSE(WriteBuiltInLevel(f, 5));
  EXPECT_FALSE(WriteBuiltInLevel(f, 0));
  EXPECT_EQ(f.count, 4);
  EXPECT_EQ(BuiltInLevel(2).count, 7);
}

TEST(MeteorField, AddStopsAtTwenty) {
  MeteorField f;
  f.count = 0;
  for (int i = 0; i < MaxObstacles; ++i) EXPECT_TRUE(f.Add({double(i), 1, 1}));
  EXPECT_FALSE(f.Add({1, 1, 1}));
  EXPECT_EQ(f.count, MaxObstacles);
}

namespace {

MeteorField Field(std::initializer_list<Obstacle> meteors) {
  MeteorField f;
  f.count = 0;
  for (const Obstacle& o : meteors) f.Add(o);
  return f;
}

CLifeboat BoatAt(double x, double y, double scale = 2.5) {
  CLifeboat b;
  b.Reset(0, 0, scale);
  b.m_position = {x, y};
  return b;
}

}  // namespace

TEST(Collision, TouchingIsAHitAndTheRadiusUsesTheScale) {
  Perception per;
  // Hull 11.25 + radius 8.75 = 20: exactly touching at distance 20.
  MeteorField f = Field({{120, 200, 8.75}});
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 200), f, 1), 1);
  EXPECT_EQ(CheckCollision(per, BoatAt(99, 200), f, 1), 0);
  // The offsets are truncated before squaring: 20.9 away counts as 20.
  EXPECT_EQ(CheckCollision(per, BoatAt(99.1, 200), f, 1), 1);
}

TEST(Collision, EdgesAreStrictAndTheRightEdgeIsNoCrash) {
  MeteorField none = Field({});
  Perception per;
  EXPECT_EQ(CheckCollision(per, BoatAt(11.25, 200), none, 1), 0);  // x - r == 0 is inside
  EXPECT_EQ(CheckCollision(per, BoatAt(11.0, 200), none, 1), 1);
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 388.75), none, 1), 0);  // y + r == 400 is inside
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 389), none, 1), 1);
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 11.0), none, 1), 1);
  CLifeboat atExit = BoatAt(1850 - 11.25, 200);
  EXPECT_EQ(CheckCollision(per, atExit, none, 1), 0);
  EXPECT_TRUE(HasEscaped(atExit));
  EXPECT_FALSE(HasEscaped(BoatAt(1800 - 11.25, 200)));  // equality is no escape
  EXPECT_TRUE(HasEscaped(BoatAt(1800 - 11.25 + 1e-9, 200)));
}

TEST(Collision, ClearanceFromTheEdges) {
  MeteorField none = Field({});
  Perception per;
  per.m_minClearance = NoMeteor;
  per.m_minClearance = NoMeteor;
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 390, 1.0), none, 1), 0);
  EXPECT_EQ(per.m_minClearance, 100.0);
  per.m_minClearance = NoMeteor;
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 100), none, 1), 0);
  EXPECT_EQ(per.m_minClearance, 10000.0);
  // A meteor centre 50 away gives c = 2500, then the bottom edge 20 away wins.
  per.m_minClearance = NoMeteor;
  MeteorField one = Field({{150, 380, 10}});
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 380, 1.0), one, 1), 0);
  EXPECT_EQ(per.m_minClearance, 400.0);
  // The table holds only the filler when there is nothing to see.
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 200), none, 3), 0);
  for (int j = 0; j < MaxPerceived; ++j) {
    EXPECT_EQ(per.m_perceivedDx[j], NoMeteor);
    EXPECT_EQ(per.m_perceivedDy[j], NoMeteor);
  }
  // The running minimum never rises, and a crash leaves it alone.
  per.m_minClearance = 50.0;
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 200), none, 1), 0);
  EXPECT_EQ(per.m_minClearance, 50.0);
  per.m_minClearance = NoMeteor;
  EXPECT_EQ(CheckCollision(per, BoatAt(100, 5), none, 1), 1);
  EXPECT_EQ(per.m_minClearance, NoMeteor);
}

TEST(Perception, NearestFirstTiesToTheLowerIndexAndVectorsPointAtTheSurface) {
  // Two meteors at the same gap (100 - 10 = 90), one above and one right.
  MeteorField f = Field({{200, 200, 30}, {100, 300, 10}, {100, 100, 10}, {400, 200, 10}});
  Perception per;
  ASSERT_EQ(CheckCollision(per, BoatAt(100, 200), f, 3), 0);
  // Gaps: #0 70, #1 90, #2 90, #3 290.
  EXPECT_EQ(per.m_perceivedIndex[0], 0);
  EXPECT_EQ(per.m_perceivedIndex[1], 1);
  EXPECT_EQ(per.m_perceivedIndex[2], 2);
  EXPECT_DOUBLE_EQ(per.m_perceivedDx[0], 70.0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDy[0], 0.0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDx[1], 0.0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDy[1], 90.0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDy[2], -90.0);
  // Only the first K slots are used.
  EXPECT_EQ(per.m_perceivedDx[3], NoMeteor);
}

TEST(Perception, RangeFilter) {
  Perception per;
  // 250 away to the left: keeps its x, loses its y.
  MeteorField left = Field({{400 - 260, 200, 10}});
  ASSERT_EQ(CheckCollision(per, BoatAt(400, 200), left, 1), 0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDx[0], -250.0);
  EXPECT_EQ(per.m_perceivedDy[0], NoMeteor);
  // The same to the right stays whole.
  MeteorField right = Field({{400 + 260, 200, 10}});
  ASSERT_EQ(CheckCollision(per, BoatAt(400, 200), right, 1), 0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDx[0], 250.0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDy[0], 0.0);
  // More than 600 away keeps only its x, on either side.
  MeteorField far = Field({{400 + 700, 200, 10}});
  ASSERT_EQ(CheckCollision(per, BoatAt(400, 200), far, 1), 0);
  EXPECT_DOUBLE_EQ(per.m_perceivedDx[0], 690.0);
  EXPECT_EQ(per.m_perceivedDy[0], NoMeteor);
  EXPECT_EQ(per.m_perceivedIndex[0], 0);
}

TEST(Perception, FarMeteorsAreJudgedByTheirExactLength) {
  Perception per;
  // 65536 away: beyond the int range when squared, and still more than 600.
  ASSERT_EQ(CheckCollision(per, BoatAt(20, 200), Field({{65556, 600, 10}}), 1), 0);
  EXPECT_EQ(per.m_perceivedIndex[0], 0);
  EXPECT_EQ(per.m_perceivedDy[0], NoMeteor);
  // A meteor whose square wraps gets a vector far longer than its gap; the
  // near one after it must still enter the table ahead of it.
  ASSERT_EQ(CheckCollision(per, BoatAt(20, 200), Field({{65555, -179, 1}, {350, 130, 20}}), 2), 0);
  EXPECT_EQ(per.m_perceivedIndex[0], 1);
  EXPECT_EQ(per.m_perceivedIndex[1], 0);
}

TEST(Perception, KZeroPerceivesNothingButStillCollides) {
  MeteorField f = Field({{150, 200, 30}});
  Perception per;
  per.m_perceivedIndex[0] = 7;
  ASSERT_EQ(CheckCollision(per, BoatAt(100, 200), f, 0), 0);
  EXPECT_EQ(per.m_perceivedDx[0], NoMeteor);
  EXPECT_EQ(per.m_perceivedIndex[0], 7);  // indexes are never cleared
  EXPECT_EQ(CheckCollision(per, BoatAt(140, 200), f, 0), 1);
}

TEST(Params, DefaultsAndPerceivedMeteors) {
  SimParams p;
  EXPECT_EQ(p.NetInputCount, 6);
  EXPECT_EQ(p.PerceivedMeteors(), 1);
  p.SetPerceivedMeteors(3);
  EXPECT_EQ(p.NetInputCount, 10);
  EXPECT_FALSE(CheckParams(SimParams{}).has_value());
}

TEST(Params, LimitsAndReasons) {
  SimParams p;
  EXPECT_EQ(ApplySetting(p, "PopulationSize=0"), "");
  ASSERT_TRUE(CheckParam(p, "PopulationSize"));
  p = SimParams{};
  EXPECT_EQ(ApplySetting(p, "EliteCount=501"), "");
  auto problem = CheckParam(p, "EliteCount");
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->hi, 500);
  p = SimParams{};
  ApplySetting(p, "PopulationSize=501");
  EXPECT_FALSE(CheckParam(p, "PopulationSize"));  // alone it is in range...
  ASSERT_TRUE(CheckCombinations(p));              // ...but 501 - 4 elites is odd
  EXPECT_EQ(CheckCombinations(p)->kind, ParamProblem::Kind::Parity);
  EXPECT_TRUE(CheckParam(SimParams{.ChromosomeLength = 201}, "ChromosomeLength"));
  EXPECT_FALSE(CheckParam(SimParams{.ChromosomeLength = 200}, "ChromosomeLength"));
  EXPECT_TRUE(CheckParam(SimParams{.ActionDurationRange = 0}, "ActionDurationRange"));
  EXPECT_TRUE(CheckParam(SimParams{.InsertionDuration = 0}, "InsertionDuration"));
  EXPECT_TRUE(CheckParam(SimParams{.TrainingGenerations = 5001}, "TrainingGenerations"));
  EXPECT_FALSE(CheckParam(SimParams{.TrainingGenerations = 5000}, "TrainingGenerations"));
  EXPECT_TRUE(CheckParam(SimParams{.NetPopulationSize = 0}, "NetPopulationSize"));
  EXPECT_TRUE(CheckParam(SimParams{.NetPopulationSize = 10, .NetEliteCount = 11}, "NetEliteCount"));
  EXPECT_TRUE(CheckParam(SimParams{.NeuronsPerHiddenLayer = 0}, "NeuronsPerHiddenLayer"));
  EXPECT_TRUE(CheckParam(SimParams{.HiddenLayerCount = -1}, "HiddenLayerCount"));
  SimParams q;
  q.SetPerceivedMeteors(10);
  EXPECT_FALSE(CheckParam(q, "PerceivedMeteors"));
  q.SetPerceivedMeteors(11);
  EXPECT_TRUE(CheckParam(q, "PerceivedMeteors"));
  EXPECT_TRUE(CheckParam(q, "NetInputCount"));
}

TEST(Params, EveryAcceptedValueIsFiniteAndEveryRunFits) {
  struct Case {
    const char* set;
    bool accepted;
  };
  for (const Case& c :
       {Case{"TimeStep=0", false}, Case{"TimeStep=1e-9", true}, Case{"TimeStep=10", true}, Case{"TimeStep=10.5", false},
        Case{"Gravity=1000", true}, Case{"Gravity=-1000", true}, Case{"Gravity=1e10", false},
        Case{"Gravity=-1e300", false}, Case{"LifeboatAccel=1001", false}, Case{"SpeedScale=-1e6", false},
        Case{"SigmoidParam=1e7", false}, Case{"NormalizeParam=-1e6", true}, Case{"InitWeightRange=-1", false},
        Case{"SmallMutationRate=1.5", false}, Case{"LargeMutationRange=-10", true}}) {
    SimParams p;
    ASSERT_EQ(ApplySetting(p, c.set), "") << c.set;
    EXPECT_EQ(!CheckParams(p), c.accepted) << c.set;
  }
  // The open lower limit is named as such.
  auto zero = CheckParam(SimParams{.TimeStep = 0}, "TimeStep");
  ASSERT_TRUE(zero);
  EXPECT_TRUE(zero->loOpen);
  EXPECT_EQ(zero->reason, "TimeStep must be above 0 and at most 10");

  // Populations: elites and population must leave an even number of children;
  // the genomes must fit the budget.
  struct Combo {
    SimParams p;
    ParamProblem::Kind kind;
    const char* name;
  };
  for (const Combo& c : {Combo{{.PopulationSize = 7, .EliteCount = 4}, ParamProblem::Kind::Parity, "PopulationSize"},
                         Combo{{.NetPopulationSize = 401}, ParamProblem::Kind::Parity, "NetPopulationSize"},
                         Combo{{.PopulationSize = 100000, .ChromosomeLength = 200}, ParamProblem::Kind::Range, ""},
                         Combo{{.HiddenLayerCount = 100, .NeuronsPerHiddenLayer = 1000},
                               ParamProblem::Kind::Memory,
                               "NetPopulationSize"}}) {
    auto problem = CheckCombinations(c.p);
    if (!*c.name) {
      EXPECT_FALSE(problem) << problem->reason;
      continue;
    }
    ASSERT_TRUE(problem) << c.name;
    EXPECT_EQ(problem->kind, c.kind);
    EXPECT_EQ(problem->name, c.name);
  }
  auto memory = CheckCombinations(SimParams{.HiddenLayerCount = 100, .NeuronsPerHiddenLayer = 1000});
  EXPECT_NE(memory->reason.find("GiB"), std::string::npos) << memory->reason;
  EXPECT_GT(memory->bytes, 300e9);
}

TEST(Params, ApplySettingRefusalsStateTheBound) {
  const struct {
    const char* assignment;
    const char* says;
  } cases[] = {
      {"Nope=3", "unknown parameter 'Nope'"},
      {"Gravity", "expects Name=Value"},
      {"PopulationSize=1.5", "PopulationSize must be a whole number from 1 to 100000, got '1.5'"},
      {"PopulationSize=", "PopulationSize must be a whole number from 1 to 100000, got ''"},
      {"PopulationSize=99999999999", "from 1 to 100000, got '99999999999'"},
      {"StartX=3000000000", "StartX must be a whole number from -2147483648 to 2147483647"},
      {"Gravity=abc", "Gravity must be a number from -1000 to 1000, got 'abc'"},
      {"Gravity=nan", "Gravity must be a number from -1000 to 1000, got 'nan'"},
      {"Gravity=1e400", "Gravity must be a number from -1000 to 1000, got '1e400'"},
      {"TimeStep=x", "TimeStep must be a number above 0 and at most 10, got 'x'"},
      {"LifeboatSize=1e400", "LifeboatSize must be a number from 0 to 1000, got '1e400'"},
      {"PerceivedMeteors=50", "PerceivedMeteors must be a whole number from 0 to 10, got '50'"},
      {"PerceivedMeteors=-1", "from 0 to 10, got '-1'"},
  };
  for (const auto& c : cases) {
    SimParams p;
    EXPECT_NE(ApplySetting(p, c.assignment).find(c.says), std::string::npos) << c.assignment;
    EXPECT_EQ(p.PopulationSize, 500) << c.assignment;
    EXPECT_EQ(p.Gravity, 2.0) << c.assignment;
    EXPECT_EQ(p.NetInputCount, 6) << c.assignment;
  }
  SimParams p;
  EXPECT_EQ(ApplySetting(p, "Gravity=2.5"), "");
  EXPECT_EQ(p.Gravity, 2.5);
  EXPECT_EQ(ApplySetting(p, "PerceivedMeteors=2"), "");
  EXPECT_EQ(p.NetInputCount, 8);
}

namespace {

// The collision pass written out step by step, without any shortcut.
int ReferenceCheck(Perception& per, const CLifeboat& boat, const MeteorField& field, int k) {
  for (int j = 0; j < MaxPerceived; ++j) per.m_perceivedDx[j] = per.m_perceivedDy[j] = NoMeteor;
  double c = NoMeteor;
  for (int i = 0; i < field.count; ++i) {
    const Obstacle& o = field.obstacles[i];
    // Offsets out of the int range give INT_MIN, as on x86; the square is
    // taken in 32 bits and wraps.
    auto trunc = [](double v) { return v > -2147483649.0 && v < 2147483648.0 ? static_cast<int>(v) : INT_MIN; };
    int ix = trunc(o.x - boat.m_position.x);
    int iy = trunc(o.y - boat.m_position.y);
    double d2 = static_cast<std::int32_t>(static_cast<std::uint32_t>(ix) * static_cast<std::uint32_t>(ix) +
                                          static_cast<std::uint32_t>(iy) * static_cast<std::uint32_t>(iy));
    if (d2 < c) c = d2;
    double r = HullRadius * boat.m_scale + o.radius;
    if (d2 <= r * r) return 1;
    double dist = std::sqrt(d2);
    double gap = dist - o.radius;
    int j = 0;
    for (; j < k; ++j)
      if (gap * gap < per.m_perceivedDx[j] * per.m_perceivedDx[j] + per.m_perceivedDy[j] * per.m_perceivedDy[j]) break;
    if (j == k) continue;
    for (int m = k - 1; m > j; --m) {
      per.m_perceivedIndex[m] = per.m_perceivedIndex[m - 1];
      per.m_perceivedDx[m] = per.m_perceivedDx[m - 1];
      per.m_perceivedDy[m] = per.m_perceivedDy[m - 1];
    }
    per.m_perceivedIndex[j] = i;
    per.m_perceivedDx[j] = (gap / dist) * ix;
    per.m_perceivedDy[j] = (gap / dist) * iy;
  }
  for (int j = 0; j < k; ++j) {
    // The squared length truncated toward zero, as a whole number of any size.
    long double l = std::truncl(static_cast<long double>(per.m_perceivedDx[j] * per.m_perceivedDx[j] +
                                                         per.m_perceivedDy[j] * per.m_perceivedDy[j]));
    if (l > 360000 || (l > 40000 && per.m_perceivedDx[j] < 0)) per.m_perceivedDy[j] = NoMeteor;
  }
  double y = boat.m_position.y;
  if (y * y < c)
    c = y * y;
  else if ((400 - y) * (400 - y) < c)
    c = (400 - y) * (400 - y);
  double rr = HullRadius * boat.m_scale;
  if (boat.m_position.x - rr < 0 || y - rr < 0 || y + rr > 400) return 1;
  if (c < per.m_minClearance) per.m_minClearance = c;
  return 0;
}

}  // namespace

TEST(Collision, AgreesWithTheStepByStepPassEverywhere) {
  CRand rng(4242);
  auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (rng() * 32768 + rng()) / 1073741824.0; };
  int hits = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    MeteorField f;
    f.count = rng() % 21;
    for (int i = 0; i < f.count; ++i) {
      // Whole numbers often, so that ties between gaps happen.
      bool whole = rng() % 2;
      double x = uniform(-200, 2000), y = uniform(-100, 500), r = uniform(-20, 170);
      // Now and then far away, as far as a map file's seven characters reach.
      if (rng() % 8 == 0) {
        x = uniform(-9999999, 9999999);
        if (rng() % 2) y = uniform(-9999999, 9999999);
      }
      // Rarely beyond the int range, both offsets at once: their squares
      // add up to 2^63.
      if (rng() % 64 == 0) x = y = rng() % 2 ? -2147483648.0 : 4e9;
      f.obstacles[i] = whole ? Obstacle{std::floor(x), std::floor(y), std::floor(r)} : Obstacle{x, y, r};
    }
    if (f.count >= 2 && rng() % 3 == 0)
      f.obstacles[1] = {f.obstacles[0].x, 2 * 200 - f.obstacles[0].y, f.obstacles[0].radius};
    CLifeboat b;
    b.Reset(0, 0, uniform(0, 4));
    b.m_position = {uniform(-50, 1900), uniform(-50, 450)};
    if (rng() % 4 == 0) b.m_position = {std::floor(b.m_position.x), 200};
    const int k = rng() % 11;
    Perception a, want;
    a.m_minClearance = want.m_minClearance = uniform(0, 120000);
    const int got = CheckCollision(a, b, f, k);
    const int expect = ReferenceCheck(want, b, f, k);
    ASSERT_EQ(got, expect) << trial;
    hits += got;
    for (int j = 0; j < MaxPerceived; ++j) {
      ASSERT_EQ(a.m_perceivedDx[j], want.m_perceivedDx[j]) << trial << " slot " << j;
      ASSERT_EQ(a.m_perceivedDy[j], want.m_perceivedDy[j]) << trial << " slot " << j;
      if (j < k && want.m_perceivedDx[j] != NoMeteor) {
        ASSERT_EQ(a.m_perceivedIndex[j], want.m_perceivedIndex[j]) << trial;
      }
    }
    ASSERT_EQ(a.m_minClearance, want.m_minClearance) << trial;
  }
  EXPECT_GT(hits, 1000);
  EXPECT_LT(hits, 19000);
}
