#pragma once
#include <mutex>
#include <vector>

#include "plan_ga/plan_genome.h"
#include "sim/params.h"

namespace korvane {

// The shape of a network: what its weights fit.
struct NetShape {
  int inputs = 6;
  int hiddenLayers = 2;
  int neurons = 5;
  friend bool operator==(const NetShape&, const NetShape&) = default;
};

NetShape NetShapeOf(const SimParams& p);
// p with the network shape replaced (the rest as it was).
SimParams WithShape(SimParams p, const NetShape& shape);

// What runs leave behind for each other: the plan kept for replay and the
// weights in force with the shape they fit. The only state runs share; a
// replay reads it while a paused run holds it, so every access is guarded.
class PilotResults {
 public:
  PilotResults();  // the built-in weights, no plan

  CPlanGenome BestPlan() const;
  void SetBestPlan(const CPlanGenome& plan);

  std::vector<double> Weights() const;
  NetShape Shape() const;
  // Weights of the shape they were trained for; the one-argument form keeps
  // the shape.
  void SetWeights(std::vector<double> w, const NetShape& shape);
  void SetWeights(std::vector<double> w);

 private:
  mutable std::mutex m_mutex;
  CPlanGenome m_bestPlan;
  std::vector<double> m_weight;
  NetShape m_shape;
};

}  // namespace korvane
