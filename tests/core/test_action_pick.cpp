// The choice made from the output sums, with sigmoids left out where they
// cannot matter, against the literal one: every sigmoid by the formula, then
// the first largest.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "engine/autopilot.h"
#include "vecmath/exact_exp.h"

using namespace korvane;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The sigmoid as first written: exp's own ends, no shortcut.
double LiteralSigmoid(double slope, double sum) {
  const double x = -slope * sum;
  if (x > 710.0) return 0.0;
  if (x < -746.0) return 1.0;
  return 1.0 / (1.0 + vecmath::Exp(x));
}

int LiteralPick(const std::vector<double>& sums, double slope) {
  std::vector<double> out;
  for (double s : sums) out.push_back(LiteralSigmoid(slope, s));
  return CAutoPilot::PickAction(out);
}

// Sums that meet every case of the shortcuts: saturated ones (exactly 1 or 0
// and just inside), the bands of a clear winner, ties, neighbours closer than
// the margins, NaN, infinities.
double DrawSum(std::mt19937_64& rng, double slope, const std::vector<double>& earlier) {
  std::uniform_int_distribution<int> kind(0, 13);
  std::normal_distribution<double> normal(0.0, 1.0);
  const double cut = -36.75 / (slope == 0.0 ? 1.0 : -slope);  // the sum where x = -36.75
  switch (kind(rng)) {
    case 0: return normal(rng);
    case 1: return 30.0 * normal(rng);
    case 2: return 3000.0 * normal(rng);
    case 3: return cut + normal(rng) * 0.05;                                 // around the exact-1 cut-off
    case 4: return 710.0 / -slope + normal(rng);                             // around the exact-0 end
    case 5: return earlier.empty() ? 0.0 : earlier[rng() % earlier.size()];  // a tie
    case 6: {                                                                // within 2^-30 in x
      if (earlier.empty()) return 1.0;
      const double e = earlier[rng() % earlier.size()];
      return std::nextafter(e, (rng() & 1) ? kInf : -kInf) + e * 0x1p-33 * normal(rng);
    }
    case 7: return kNaN;
    case 8: return (rng() & 1) ? kInf : -kInf;
    case 9: return 0.0;
    case 10: return (20.0 + normal(rng) * 3.0) / (slope == 0.0 ? 1.0 : slope);  // x around -20
    case 11: return (36.0 + normal(rng) * 0.5) / (slope == 0.0 ? 1.0 : slope);  // x around -36
    default: return 5.0 * normal(rng);
  }
}

}  // namespace

TEST(PickFromSums, ChoosesWhatTheLiteralSigmoidsChoose) {
  std::mt19937_64 rng(2024);
  std::uniform_real_distribution<double> anySlope(-3.0, 3.0);
  const double slopes[] = {0.5, 1.0, 0.01, 1e6, -0.5, -1e6, 0.0, -0.0};
  int decided = 0;
#ifdef KORVANE_SANITIZED
  constexpr int kTrials = 30000;
#else
  constexpr int kTrials = 300000;
#endif
  for (int trial = 0; trial < kTrials; ++trial) {
    const double slope = trial % 10 < 8 ? slopes[trial % 8] : anySlope(rng);
    const int n = trial % 50 == 0 ? static_cast<int>(rng() % 8) : 5;  // short and long lists too
    std::vector<double> sums;
    for (int j = 0; j < n; ++j) sums.push_back(DrawSum(rng, slope, sums));
    const int want = LiteralPick(sums, slope);
    ASSERT_EQ(CAutoPilot::PickFromSums(sums, slope), want) << "trial " << trial;
    decided += want > 0;
  }
  EXPECT_GT(decided, kTrials / 3);  // not all ties at 0
}

// The flight's choice through EvaluateOutputSums and PickFromSums against
// Evaluate's outputs picked literally, on random networks of several shapes.
TEST(PickFromSums, NetworkChoiceEqualsTheLiteralPath) {
  std::mt19937_64 rng(77);
  std::normal_distribution<double> normal(0.0, 1.0);
  struct Shape {
    int inputs, hidden, neurons;
    double slope, weightRange;
  };
  for (const Shape s : {Shape{6, 2, 5, 0.5, 2.0}, Shape{6, 2, 5, 0.5, 40.0}, Shape{8, 1, 7, -0.3, 10.0},
                        Shape{4, 0, 3, 0.5, 5.0}, Shape{10, 3, 4, 0.0, 5.0}, Shape{6, 2, 5, 4.0, 20.0}}) {
    SimParams p;
    p.NetInputCount = s.inputs;
    p.HiddenLayerCount = s.hidden;
    p.NeuronsPerHiddenLayer = s.neurons;
    p.InitWeightRange = s.weightRange;
    CRand draw(static_cast<std::uint32_t>(s.inputs * 100 + s.neurons));
    for (int net = 0; net < 40; ++net) {
      CNeuralNet a;
      a.Build(p, draw);
      CNeuralNet b = a;
      for (int i = 0; i < 500; ++i) {
        std::vector<double> in(static_cast<std::size_t>(s.inputs));
        for (double& v : in) v = i % 97 == 0 ? kInf : i % 89 == 0 ? 0.0 : 20.0 * normal(rng);
        const std::span<const double> sums = a.EvaluateOutputSums(in, s.slope);
        const int got = a.OutputsAreSigmoids() ? CAutoPilot::PickFromSums(sums, s.slope) : CAutoPilot::PickAction(sums);
        std::vector<double> literal;
        for (double v : sums) literal.push_back(a.OutputsAreSigmoids() ? LiteralSigmoid(s.slope, v) : v);
        ASSERT_EQ(got, CAutoPilot::PickAction(literal));
        ASSERT_EQ(got, CAutoPilot::PickAction(b.Evaluate(in, s.slope)));
      }
    }
  }
}
