#pragma once
#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/flight_path.h"
#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"

// What a run shows: plain data, copied out of the run so that a screen on
// another thread never reads state the run is writing.
namespace korvane {

enum class PauseKind { GA, Training, Heuristic };

// How a search or training goes: as fast as it can, with each generation's
// best flown on screen before the next, or one generation at a time.
enum class Pace { Fastest, Watch, Step };

// What the user wants to see of a run; read between generations.
struct Showing {
  Pace pace = Pace::Fastest;
  bool paths = false;    // every plan's path of a search's generation
  bool network = false;  // the network's inputs and activations
  // How each generation is bred from the last; recorded only under 单步.
  bool breeding = false;
  bool RecordsBreeding() const { return breeding && pace == Pace::Step; }
};

// A network with more neurons than this is shown a bar per layer.
inline constexpr std::size_t NetworkViewMaxNeurons = 60;

// What the network sees and does at one moment of a flight shown on screen.
struct NetworkView {
  std::vector<std::vector<double>> layers;             // the inputs, then each layer's outputs
  std::shared_ptr<const std::vector<double>> weights;  // flat, bias last; null for a large network
  int chosen = 0;                                      // the thrust it picks
  int perceived = 0;                                   // meteors among the inputs
};

// The plan search's score panel values after an epoch.
struct PlanPanelData {
  int generation = 0;
  double best = 0.0;
  double average = 0.0;
  double energy = 0.0;
  double safety = 0.0;
  double time = 0.0;
};

// A search's chart values after an epoch: the weight search's, or the plan
// search's.
struct ChartData {
  int generation = 0;
  double best = 0.0;
  double average = 0.0;
  std::vector<double> bestHistory;  // entry k-1: generation k
  std::vector<double> averageHistory;
  // Entry k-1: how different generation k's members were (PlanDiversity,
  // WeightDiversity); empty where a run does not keep it.
  std::vector<double> diversityHistory;
  bool escaped = false;  // a plan search: a plan of the generation after the last escaped
};

// How a generation was bred from the one scored before it, for the screen:
// that generation sorted (ascending), as the GA lent it (it is never written
// while held), and the record of each child, from which the panel makes the
// chosen child again out of its parent; the next generation is not kept.
template <class Genome, class Record>
struct Bred {
  std::shared_ptr<const std::vector<Genome>> generation;
  std::size_t scored = 0;  // its first `scored` genomes are the generation scored
  Record record;

  std::span<const Genome> Sorted() const {
    if (!generation) return {};
    return std::span<const Genome>(*generation).first(std::min(scored, generation->size()));
  }
};

struct BreedingView {
  // What the view holds of a run is let go when it returns to its pool, so
  // that the GA can write those genomes again.
  void LetGo() {
    if (plans) plans->generation.reset();
    if (weights) weights->generation.reset();
  }

  int generation = 0;  // the generation scored, from 1
  int elites = 0;      // the first `elites` of the next generation are copies
  double total = 0.0;  // the roulette wheel: the sorted generation's total fitness
  std::optional<Bred<CPlanGenome, PlanBreedingRecord>> plans;
  std::optional<Bred<WeightGenome, WeightBreedingRecord>> weights;
};

// Everything a frame needs, copied out of a run so that the UI thread never
// reads state a worker is writing. Data only: the screen turns it into text
// and geometry.
struct FrameSnapshot {
  CLifeboat boat;
  MeteorField field;
  Perception perception;
  std::optional<PlanPanelData> planPanel;
  std::optional<ChartData> chart;                // the weight search's
  std::optional<ChartData> planChart;            // the plan search's, when it is to be shown
  PathsPtr paths;                                // a search's generation, when shown
  std::shared_ptr<const NetworkView> network;    // when the network panel is on
  std::shared_ptr<const BreedingView> breeding;  // the last breeding, when it is shown
};

}  // namespace korvane
