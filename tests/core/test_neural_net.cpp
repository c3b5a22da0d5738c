#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "net/default_weights.h"
#include "net/neural_net.h"

namespace korvane {
namespace {

CNeuralNet BuildNet(int inputs, int hidden, int perHidden, std::uint32_t seed = 7) {
  SimParams p;
  p.NetInputCount = inputs;
  p.HiddenLayerCount = hidden;
  p.NeuronsPerHiddenLayer = perHidden;
  CRand rng(seed);
  CNeuralNet net;
  net.Build(p, rng);
  return net;
}

std::vector<double> Outputs(CNeuralNet& net, const std::vector<double>& in, double a = 0.5) {
  const auto out = net.Evaluate(in, a);
  return {out.begin(), out.end()};
}

TEST(NeuralNetShape, WeightCountFollowsTheShape) {
  CNeuralNet net = BuildNet(6, 2, 5);
  EXPECT_EQ(net.WeightCount(), 95);
  EXPECT_EQ(net.InputCount(), 6);
  EXPECT_EQ(net.OutputCount(), 5);
  ASSERT_EQ(net.Layers().size(), 3u);
  EXPECT_EQ(net.Layers()[1].offset, 35);
  EXPECT_EQ(net.Layers()[2].offset, 65);
  EXPECT_EQ(BuildNet(6, 0, 5).WeightCount(), 5 * 7);
  EXPECT_EQ(BuildNet(6, 1, 5).WeightCount(), 5 * 7 + 5 * 6);
  EXPECT_EQ(BuildNet(8, 3, 4).WeightCount(), 4 * 9 + 2 * 4 * 5 + 5 * 5);
}

TEST(NeuralNetWeights, DefaultWeightsRoundTrip) {
  CNeuralNet net = BuildNet(6, 2, 5);
  net.LoadWeights(DefaultWeights);
  const std::vector<double> got = net.CollectWeights();
  ASSERT_EQ(got.size(), 95u);
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], DefaultWeights[i]) << i;
  EXPECT_EQ(DefaultWeights[1], -15.876892);
}

TEST(NeuralNetWeights, ShortListFillsOnlyTheFrontAndLongListIsCut) {
  CNeuralNet net = BuildNet(6, 2, 5);
  const std::vector<double> before = net.CollectWeights();
  const std::vector<double> few(10, 3.0);
  net.LoadWeights(few);
  std::vector<double> after = net.CollectWeights();
  ASSERT_EQ(after.size(), 95u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(after[i], 3.0);
  for (int i = 10; i < 95; ++i) EXPECT_EQ(after[i], before[i]);

  std::vector<double> many(120);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<double>(i);
  net.LoadWeights(many);
  after = net.CollectWeights();
  ASSERT_EQ(after.size(), 95u);
  EXPECT_EQ(after[94], 94.0);
  net.LoadWeights({});
  EXPECT_EQ(net.CollectWeights(), after);
}

TEST(NeuralNetWeights, BuildDrawsTwoNumbersPerWeightInFlatOrder) {
  SimParams p;
  p.InitWeightRange = 3.0;
  CRand rng(12345);
  CRand ref(12345);
  CNeuralNet net;
  net.Build(p, rng);
  const std::vector<double> w = net.CollectWeights();
  ASSERT_EQ(w.size(), 95u);
  for (std::size_t i = 0; i < w.size(); ++i) {
    const int r1 = ref();
    const int r2 = ref();
    ASSERT_EQ(w[i], (r2 / 32768.0 - r1 / 32768.0) * 3.0) << i;
    EXPECT_GT(w[i], -3.0);
    EXPECT_LT(w[i], 3.0);
  }
  EXPECT_EQ(rng.State(), ref.State());
}

TEST(NeuralNetEvaluate, WrongInputCountGivesNothing) {
  CNeuralNet net = BuildNet(6, 2, 5);
  EXPECT_TRUE(net.Evaluate(std::vector<double>(5, 1.0), 0.5).empty());
  EXPECT_TRUE(net.Evaluate(std::vector<double>(7, 1.0), 0.5).empty());
  EXPECT_EQ(net.Evaluate(std::vector<double>(6, 1.0), 0.5).size(), 5u);
  CNeuralNet unbuilt;
  EXPECT_TRUE(unbuilt.Evaluate({}, 0.5).empty());
}

TEST(NeuralNetEvaluate, AllZeroWeightsGiveHalfBehindASigmoidAndZeroWhenLinear) {
  const std::vector<double> in{3.0, -2.0, 0.7, 10.0, -5.0, 1.0};
  for (int hidden : {1, 2, 4}) {
    CNeuralNet net = BuildNet(6, hidden, 5);
    net.LoadWeights(std::vector<double>(net.WeightCount(), 0.0));
    for (double v : Outputs(net, in)) EXPECT_EQ(v, 0.5) << "H=" << hidden;
  }
  CNeuralNet linear = BuildNet(6, 0, 5);
  linear.LoadWeights(std::vector<double>(linear.WeightCount(), 0.0));
  for (double v : Outputs(linear, in)) EXPECT_EQ(v, 0.0);
}

TEST(NeuralNetEvaluate, OutputLayerAloneIsLinearWithBiasTimesMinusOne) {
  CNeuralNet net = BuildNet(2, 0, 5);
  // Output k: weights (k, 2, 1.5) so sum = k*x0 + 2*x1 - 1.5.
  std::vector<double> w;
  for (int k = 0; k < 5; ++k) w.insert(w.end(), {static_cast<double>(k), 2.0, 1.5});
  net.LoadWeights(w);
  const std::vector<double> out = Outputs(net, {4.0, -3.0});
  ASSERT_EQ(out.size(), 5u);
  for (int k = 0; k < 5; ++k) EXPECT_DOUBLE_EQ(out[k], 4.0 * k - 6.0 - 1.5) << k;
}

TEST(NeuralNetEvaluate, OneHiddenLayerIsLinearAndOnlyTheOutputIsSigmoid) {
  CNeuralNet net = BuildNet(2, 1, 2);
  ASSERT_EQ(net.WeightCount(), 2 * 3 + 5 * 3);
  std::vector<double> w{
      1.0,  2.0,  0.5,   // h0 = x0 + 2 x1 - 0.5
      -1.0, 0.0,  1.0,   // h1 = -x0 - 1
      2.0,  0.25, 1.0,   // out0 = 2 h0 + 0.25 h1 - 1
      0.0,  0.0,  0.0,   // out1 = 0
      0.0,  1.0,  0.0,   // out2 = h1
      1.0,  0.0,  -3.0,  // out3 = h0 + 3
      0.0,  0.0,  2.0,   // out4 = -2
  };
  net.LoadWeights(w);
  const double a = 0.5;
  const std::vector<double> out = Outputs(net, {3.0, -1.0}, a);
  ASSERT_EQ(out.size(), 5u);
  // h0 = 0.5 and h1 = -4 pass through unchanged.
  auto sig = [a](double s) { return 1.0 / (1.0 + std::exp(-a * s)); };
  EXPECT_DOUBLE_EQ(out[0], sig(-1.0));
  EXPECT_DOUBLE_EQ(out[1], 0.5);
  EXPECT_DOUBLE_EQ(out[2], sig(-4.0));
  EXPECT_DOUBLE_EQ(out[3], sig(3.5));
  EXPECT_DOUBLE_EQ(out[4], sig(-2.0));
}

TEST(NeuralNetEvaluate, OutputNeuronKOwnsEntries65Plus6K) {
  CNeuralNet net = BuildNet(6, 2, 5);
  const std::vector<double> in{1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
  for (int k = 0; k < 5; ++k) {
    for (int j = 0; j < 6; ++j) {
      std::vector<double> w(95, 0.0);
      w[65 + 6 * k + j] = 1.0;
      net.LoadWeights(w);
      const std::vector<double> out = Outputs(net, in);
      for (int m = 0; m < 5; ++m) {
        if (m == k)
          EXPECT_NE(out[m], 0.5) << "k=" << k << " j=" << j;
        else
          EXPECT_EQ(out[m], 0.5) << "k=" << k << " j=" << j << " m=" << m;
      }
    }
  }
}

TEST(NeuralNetEvaluate, RepeatableAndFollowsTheSigmoidParameter) {
  CNeuralNet net = BuildNet(6, 2, 5);
  net.LoadWeights(DefaultWeights);
  const std::vector<double> in{50.0 / 200.0, 50.0 / 200.0, 1.5, -0.3, 0.8, -2.0};
  const std::vector<double> first = Outputs(net, in, 0.5);
  const std::span<const double> again = net.Evaluate(in, 0.5);
  const double* buffer = again.data();
  EXPECT_EQ(std::vector<double>(again.begin(), again.end()), first);
  const std::vector<double> steeper = Outputs(net, in, 1.5);
  EXPECT_NE(steeper, first);
  // The result lives in the network's own buffer, reused call after call.
  EXPECT_EQ(net.Evaluate(in, 0.5).data(), buffer);
}

TEST(NeuralNetEvaluate, RebuildWithAnotherShapeEvaluatesAtTheNewWidth) {
  SimParams p;
  CRand rng(3);
  CNeuralNet net;
  p.HiddenLayerCount = 3;
  p.NeuronsPerHiddenLayer = 12;
  p.NetInputCount = 10;
  net.Build(p, rng);
  EXPECT_EQ(net.Evaluate(std::vector<double>(10, 0.1), 0.5).size(), 5u);
  p.HiddenLayerCount = 0;
  p.NetInputCount = 4;
  net.Build(p, rng);
  EXPECT_TRUE(net.Evaluate(std::vector<double>(10, 0.1), 0.5).empty());
  const auto out = net.Evaluate(std::vector<double>(4, 0.1), 0.5);
  ASSERT_EQ(out.size(), 5u);
  for (double v : out) EXPECT_TRUE(std::isfinite(v));
}

}  // namespace
}  // namespace korvane
