#pragma once
#include <span>
#include <vector>

#include "sim/params.h"
#include "sim/rand.h"

namespace korvane {

// The constant input that the last weight of every neuron multiplies.
inline constexpr double BiasInput = -1.0;

// Where one layer lives in the flat weight store.
struct NeuronLayer {
  int neuronCount = 0;
  int inputsPerNeuron = 0;  // values received + 1 (the bias)
  int offset = 0;           // index of its first weight
};

// Small fully connected feed-forward network. The weights are kept as one
// contiguous list in the flat order (layers from the input side, neurons in
// order, bias weight last), which is also the order of Collect/LoadWeights.
class CNeuralNet {
 public:
  CNeuralNet() = default;

  // Takes the shape from p and draws fresh random weights, in the flat order.
  void Build(const SimParams& p, CRand& rng);
  // The layers, and the weights they hold, of the network p describes.
  static std::vector<NeuronLayer> PlanLayers(const SimParams& p);
  static int WeightCountFor(const SimParams& p);

  // Returns the outputs of the last layer, or an empty span when the input
  // count is wrong (the caller shows the "error" box and must not read
  // outputs). The span stays valid until the next Evaluate, Build or
  // LoadWeights. Nothing is allocated here: the buffers are sized by Build.
  std::span<const double> Evaluate(std::span<const double> inputs, double sigmoidParam);
  // As Evaluate, but the last layer is left as its sums, before the sigmoid
  // that Evaluate applies when OutputsAreSigmoids(): for a caller that needs
  // only some outputs.
  std::span<const double> EvaluateOutputSums(std::span<const double> inputs, double sigmoidParam);
  bool OutputsAreSigmoids() const { return m_layers.size() > 1; }

  // Every layer's outputs for the inputs, as Evaluate computes them, the
  // inputs first; empty when the input count is wrong. For showing the
  // network at work: it allocates.
  std::vector<std::vector<double>> Trace(std::span<const double> inputs, double sigmoidParam) const;

  std::vector<double> CollectWeights() const { return m_weights; }
  // Overwrites from the front. A shorter list fills only what it has and
  // leaves the rest; values beyond the weight count are ignored.
  void LoadWeights(std::span<const double> weights);

  int WeightCount() const { return static_cast<int>(m_weights.size()); }
  int InputCount() const { return m_inputCount; }
  int OutputCount() const { return m_outputCount; }
  int HiddenLayerCount() const { return m_hiddenLayerCount; }
  int NeuronsPerHiddenLayer() const { return m_neuronsPerHiddenLayer; }

  std::span<const NeuronLayer> Layers() const { return m_layers; }
  std::span<const double> Weights() const { return m_weights; }

 private:
  int m_inputCount = 0;
  int m_outputCount = 0;
  int m_hiddenLayerCount = 0;
  int m_neuronsPerHiddenLayer = 0;
  std::vector<NeuronLayer> m_layers;
  std::vector<double> m_weights;
  // Ping-pong buffers for the layer outputs, each as wide as the widest layer.
  static constexpr std::size_t kPad = 8;  // doubles in a 64-byte line
  std::vector<double> m_buffers;
  std::size_t m_stride = 0;
  // Every layer but the last one's sigmoid; the last layer's values, or
  // nullptr when the input count is wrong.
  double* OutputSums(std::span<const double> inputs, double sigmoidParam);
};

}  // namespace korvane
