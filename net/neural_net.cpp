#include "net/neural_net.h"

#include <algorithm>

#include "vecmath/exact_exp.h"

namespace korvane {

std::vector<NeuronLayer> CNeuralNet::PlanLayers(const SimParams& p) {
  const int inputs = std::max(0, p.NetInputCount);
  const int hidden = std::max(0, p.HiddenLayerCount);
  const int neurons = std::max(0, p.NeuronsPerHiddenLayer);
  std::vector<NeuronLayer> layers;
  int offset = 0;
  auto addLayer = [&](int count, int received) {
    layers.push_back(NeuronLayer{count, received + 1, offset});
    offset += count * (received + 1);
  };
  if (hidden == 0) {
    addLayer(SimParams::NetOutputCount, inputs);
  } else {
    addLayer(neurons, inputs);
    for (int h = 1; h < hidden; ++h) addLayer(neurons, neurons);
    addLayer(SimParams::NetOutputCount, neurons);
  }
  return layers;
}

int CNeuralNet::WeightCountFor(const SimParams& p) {
  const NeuronLayer last = PlanLayers(p).back();
  return last.offset + last.neuronCount * last.inputsPerNeuron;
}

void CNeuralNet::Build(const SimParams& p, CRand& rng) {
  m_inputCount = std::max(0, p.NetInputCount);
  m_outputCount = SimParams::NetOutputCount;
  m_hiddenLayerCount = std::max(0, p.HiddenLayerCount);
  m_neuronsPerHiddenLayer = std::max(0, p.NeuronsPerHiddenLayer);
  m_layers = PlanLayers(p);
  const int offset = WeightCountFor(p);

  m_weights.assign(static_cast<std::size_t>(offset), 0.0);
  for (double& w : m_weights) {
    const int r1 = rng();
    const int r2 = rng();
    w = (r2 / 32768.0 - r1 / 32768.0) * p.InitWeightRange;
  }

  int widest = 0;
  for (const NeuronLayer& l : m_layers) widest = std::max(widest, l.neuronCount);
  // One block for both layer buffers, with a cache line of room on every
  // side: networks evaluated on different threads must not share a line.
  m_stride = static_cast<std::size_t>(widest) + kPad;
  m_buffers.assign(kPad + 2 * m_stride, 0.0);
}

std::span<const double> CNeuralNet::Evaluate(std::span<const double> inputs, double sigmoidParam) {
  double* out = OutputSums(inputs, sigmoidParam);
  if (out == nullptr) return {};
  const int n = m_layers.back().neuronCount;
  if (OutputsAreSigmoids())
    for (int j = 0; j < n; ++j) out[j] = vecmath::ScalarSigmoid(sigmoidParam, out[j]);
  return {out, static_cast<std::size_t>(n)};
}

std::span<const double> CNeuralNet::EvaluateOutputSums(std::span<const double> inputs, double sigmoidParam) {
  const double* out = OutputSums(inputs, sigmoidParam);
  if (out == nullptr) return {};
  return {out, static_cast<std::size_t>(m_layers.back().neuronCount)};
}

double* CNeuralNet::OutputSums(std::span<const double> inputs, double sigmoidParam) {
  if (inputs.size() != static_cast<std::size_t>(m_inputCount) || m_layers.empty()) return nullptr;

  const double* received = inputs.data();
  double* last = nullptr;
  double* out = m_buffers.data() + kPad;
  double* spare = out + m_stride;
  const double* w = m_weights.data();
  for (std::size_t L = 0; L < m_layers.size(); ++L) {
    const NeuronLayer& layer = m_layers[L];
    const int values = layer.inputsPerNeuron - 1;
    const int stride = layer.inputsPerNeuron;
    const double* lw = w + layer.offset;
    // Four neurons at a time, each summed in its own order from k = 0, so the
    // additions overlap without changing any result.
    int j = 0;
    for (; j + 4 <= layer.neuronCount; j += 4) {
      const double* w0 = lw + static_cast<std::ptrdiff_t>(j) * stride;
      const double* w1 = w0 + stride;
      const double* w2 = w1 + stride;
      const double* w3 = w2 + stride;
      double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
      for (int k = 0; k < values; ++k) {
        const double x = received[k];
        s0 += w0[k] * x;
        s1 += w1[k] * x;
        s2 += w2[k] * x;
        s3 += w3[k] * x;
      }
      out[j] = s0 - w0[values];  // bias weight times -1
      out[j + 1] = s1 - w1[values];
      out[j + 2] = s2 - w2[values];
      out[j + 3] = s3 - w3[values];
    }
    for (; j < layer.neuronCount; ++j) {
      const double* nw = lw + static_cast<std::ptrdiff_t>(j) * stride;
      double sum = 0.0;
      for (int k = 0; k < values; ++k) sum += nw[k] * received[k];
      out[j] = sum - nw[values];
    }
    // The first layer is linear; every later one is a sigmoid (the last one's
    // is left to the caller). ScalarSigmoid gives the formula's bits.
    if (L > 0 && L + 1 < m_layers.size())
      for (int n = 0; n < layer.neuronCount; ++n) out[n] = vecmath::ScalarSigmoid(sigmoidParam, out[n]);
    received = last = out;
    std::swap(out, spare);
  }
  return last;
}

std::vector<std::vector<double>> CNeuralNet::Trace(std::span<const double> inputs, double sigmoidParam) const {
  std::vector<std::vector<double>> layers;
  if (inputs.size() != static_cast<std::size_t>(m_inputCount) || m_layers.empty()) return layers;
  layers.emplace_back(inputs.begin(), inputs.end());
  for (std::size_t L = 0; L < m_layers.size(); ++L) {
    const NeuronLayer& layer = m_layers[L];
    const std::vector<double>& received = layers.back();
    std::vector<double> out(static_cast<std::size_t>(layer.neuronCount));
    for (int j = 0; j < layer.neuronCount; ++j) {
      const double* w = m_weights.data() + layer.offset + static_cast<std::ptrdiff_t>(j) * layer.inputsPerNeuron;
      double sum = 0.0;
      for (int k = 0; k + 1 < layer.inputsPerNeuron; ++k) sum += w[k] * received[static_cast<std::size_t>(k)];
      sum = sum - w[layer.inputsPerNeuron - 1];
      out[static_cast<std::size_t>(j)] = L > 0 ? vecmath::ScalarSigmoid(sigmoidParam, sum) : sum;
    }
    layers.push_back(std::move(out));
  }
  return layers;
}

void CNeuralNet::LoadWeights(std::span<const double> weights) {
  const std::size_t n = std::min(weights.size(), m_weights.size());
  std::copy_n(weights.begin(), n, m_weights.begin());
}

}  // namespace korvane
