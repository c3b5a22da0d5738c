#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/neural_net.h"
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

// Where the weights in force came from.
struct WeightsSource {
  enum class Kind { Builtin, Table, File, Training, TrainingPaused, TrainingStopped };
  Kind kind = Kind::Builtin;
  std::string file;               // File: the file's name
  int block = 0;                  // File: the block's number, from 1
  int generation = 0;             // TrainingPaused/Stopped: the last generation flown
  std::optional<double> fitness;  // the training fitness, where known
};

// The two built-in sets: the trained network in force at start, and the
// table the program was given.
std::vector<double> BuiltinWeights();
std::vector<double> TableWeights();
WeightsSource BuiltinSource();
// p with the network shape replaced (the rest as it was).
SimParams WithShape(SimParams p, const NetShape& shape);

// What runs leave behind for each other: the plan kept for replay and the
// weights in force with the shape they fit. The only state runs share; a
// replay reads it while a paused run holds it, so every access is guarded.
class PilotResults;

// A network of the shape the weights in force were trained for; a run loads
// those weights over the random ones drawn here.
CNeuralNet NetworkInForce(const PilotResults& results, const SimParams& p);

class PilotResults {
 public:
  PilotResults();  // the built-in trained weights, no plan

  CPlanGenome BestPlan() const;
  void SetBestPlan(const CPlanGenome& plan);

  std::vector<double> Weights() const;
  NetShape Shape() const;
  WeightsSource Source() const;
  // Weights of the shape they were trained for, from where they came; the
  // one-argument form keeps the shape and the source.
  void SetWeights(std::vector<double> w, const NetShape& shape, WeightsSource source);
  void SetWeights(std::vector<double> w);
  // Counts every change of the weights in force, so a screen can tell.
  int WeightsVersion() const;

 private:
  mutable std::mutex m_mutex;
  CPlanGenome m_bestPlan;
  std::vector<double> m_weight;
  NetShape m_shape;
  WeightsSource m_source;
  int m_version = 0;
};

}  // namespace korvane
