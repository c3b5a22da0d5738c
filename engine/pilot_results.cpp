#include "engine/pilot_results.h"

#include "net/default_weights.h"
#include "net/trained_weights.h"

namespace korvane {

NetShape NetShapeOf(const SimParams& p) { return {p.NetInputCount, p.HiddenLayerCount, p.NeuronsPerHiddenLayer}; }

SimParams WithShape(SimParams p, const NetShape& shape) {
  p.NetInputCount = shape.inputs;
  p.HiddenLayerCount = shape.hiddenLayers;
  p.NeuronsPerHiddenLayer = shape.neurons;
  return p;
}

std::vector<double> BuiltinWeights() { return {TrainedWeights.begin(), TrainedWeights.end()}; }

std::vector<double> TableWeights() { return {DefaultWeights.begin(), DefaultWeights.end()}; }

WeightsSource BuiltinSource() {
  WeightsSource s;
  s.fitness = TrainedWeightsFitness;
  return s;
}

CNeuralNet NetworkInForce(const PilotResults& results, const SimParams& p) {
  CNeuralNet net;
  CRand rng;
  net.Build(WithShape(p, results.Shape()), rng);
  return net;
}

PilotResults::PilotResults() : m_weight(BuiltinWeights()), m_shape(NetShapeOf({})), m_source(BuiltinSource()) {}

CPlanGenome PilotResults::BestPlan() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bestPlan;
}

void PilotResults::SetBestPlan(const CPlanGenome& plan) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_bestPlan = plan;
}

std::vector<double> PilotResults::Weights() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_weight;
}

NetShape PilotResults::Shape() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_shape;
}

WeightsSource PilotResults::Source() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_source;
}

void PilotResults::SetWeights(std::vector<double> w, const NetShape& shape, WeightsSource source) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_weight = std::move(w);
  m_shape = shape;
  m_source = std::move(source);
  ++m_version;
}

void PilotResults::SetWeights(std::vector<double> w) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_weight = std::move(w);
  ++m_version;
}

int PilotResults::WeightsVersion() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_version;
}

}  // namespace korvane
