#include "engine/pilot_results.h"

#include "net/default_weights.h"

namespace korvane {

NetShape NetShapeOf(const SimParams& p) { return {p.NetInputCount, p.HiddenLayerCount, p.NeuronsPerHiddenLayer}; }

SimParams WithShape(SimParams p, const NetShape& shape) {
  p.NetInputCount = shape.inputs;
  p.HiddenLayerCount = shape.hiddenLayers;
  p.NeuronsPerHiddenLayer = shape.neurons;
  return p;
}

PilotResults::PilotResults() : m_weight(DefaultWeights.begin(), DefaultWeights.end()), m_shape(NetShapeOf({})) {}

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

void PilotResults::SetWeights(std::vector<double> w, const NetShape& shape) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_weight = std::move(w);
  m_shape = shape;
}

void PilotResults::SetWeights(std::vector<double> w) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_weight = std::move(w);
}

}  // namespace korvane
