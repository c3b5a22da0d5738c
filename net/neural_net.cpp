#include "net/neural_net.h"

#include <algorithm>
#include <cmath>

namespace korvane {

void CNeuralNet::Build(const SimParams& p, CRand& rng) {
  m_inputCount = std::max(0, p.NetInputCount);
  m_outputCount = SimParams::NetOutputCount;
  m_hiddenLayerCount = std::max(0, p.HiddenLayerCount);
  m_neuronsPerHiddenLayer = std::max(0, p.NeuronsPerHiddenLayer);

  m_layers.clear();
  int offset = 0;
  auto addLayer = [&](int neurons, int received) {
    m_layers.push_back(NeuronLayer{neurons, received + 1, offset});
    offset += neurons * (received + 1);
  };
  if (m_hiddenLayerCount == 0) {
    addLayer(m_outputCount, m_inputCount);
  } else {
    addLayer(m_neuronsPerHiddenLayer, m_inputCount);
    for (int h = 1; h < m_hiddenLayerCount; ++h) addLayer(m_neuronsPerHiddenLayer, m_neuronsPerHiddenLayer);
    addLayer(m_outputCount, m_neuronsPerHiddenLayer);
  }

  m_weights.assign(static_cast<std::size_t>(offset), 0.0);
  for (double& w : m_weights) {
    const int r1 = rng();
    const int r2 = rng();
    w = (r2 / 32768.0 - r1 / 32768.0) * p.InitWeightRange;
  }

  int widest = 0;
  for (const NeuronLayer& l : m_layers) widest = std::max(widest, l.neuronCount);
  m_bufA.assign(static_cast<std::size_t>(widest), 0.0);
  m_bufB.assign(static_cast<std::size_t>(widest), 0.0);
}

std::span<const double> CNeuralNet::Evaluate(std::span<const double> inputs, double sigmoidParam) {
  if (inputs.size() != static_cast<std::size_t>(m_inputCount) || m_layers.empty()) return {};

  std::span<const double> received = inputs;
  double* out = m_bufA.data();
  double* spare = m_bufB.data();
  const double* w = m_weights.data();
  for (std::size_t L = 0; L < m_layers.size(); ++L) {
    const NeuronLayer& layer = m_layers[L];
    const int values = layer.inputsPerNeuron - 1;
    for (int j = 0; j < layer.neuronCount; ++j) {
      const double* nw = w + layer.offset + static_cast<std::ptrdiff_t>(j) * layer.inputsPerNeuron;
      double sum = 0.0;
      for (int k = 0; k < values; ++k) sum += nw[k] * received[static_cast<std::size_t>(k)];
      sum = sum - nw[values];  // bias weight times -1
      // The first layer is linear; every later one is a sigmoid.
      out[j] = L == 0 ? sum : 1.0 / (1.0 + std::exp(-sigmoidParam * sum));
    }
    received = std::span<const double>(out, static_cast<std::size_t>(layer.neuronCount));
    std::swap(out, spare);
  }
  return received;
}

void CNeuralNet::LoadWeights(std::span<const double> weights) {
  const std::size_t n = std::min(weights.size(), m_weights.size());
  std::copy_n(weights.begin(), n, m_weights.begin());
}

Neuron CNeuralNet::GetNeuron(int layer, int index) const {
  if (layer < 0 || static_cast<std::size_t>(layer) >= m_layers.size()) return {};
  const NeuronLayer& l = m_layers[static_cast<std::size_t>(layer)];
  if (index < 0 || index >= l.neuronCount) return {};
  const auto start = static_cast<std::size_t>(l.offset) + static_cast<std::size_t>(index) * l.inputsPerNeuron;
  return Neuron{l.inputsPerNeuron, std::span<const double>(m_weights).subspan(start, l.inputsPerNeuron)};
}

}  // namespace korvane
