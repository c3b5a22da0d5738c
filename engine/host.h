#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/flight_path.h"
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"

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
};

// A network with more neurons than this is shown a bar per layer.
inline constexpr std::size_t NetworkViewMaxNeurons = 60;

// What the network sees and does at one moment of a flight shown on screen.
struct NetworkView {
  std::vector<std::vector<double>> layers;          // the inputs, then each layer's outputs
  std::shared_ptr<const std::vector<double>> weights;  // flat, bias last; null for a large network
  int chosen = 0;                                   // the thrust it picks
  int perceived = 0;                                // meteors among the inputs
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
  std::vector<double> bestHistory;     // entry k-1: generation k
  std::vector<double> averageHistory;
  bool escaped = false;  // a plan search: a plan of the generation after the last escaped
};

// Everything a frame needs, copied out of a run so that the UI thread never
// reads state a worker is writing. Data only: the screen turns it into text
// and geometry.
struct FrameSnapshot {
  CLifeboat boat;
  MeteorField field;
  Perception perception;
  std::optional<PlanPanelData> planPanel;
  std::optional<ChartData> chart;      // the weight search's
  std::optional<ChartData> planChart;  // the plan search's, when it is to be shown
  PathsPtr paths;                           // a search's generation, when shown
  std::shared_ptr<const NetworkView> network;  // when the network panel is on
};

// How a run reaches the outside world. The desktop program shows boxes and
// frames; the CLI and the tests record.
class IHost {
 public:
  virtual ~IHost() = default;
  // The settings as they are now. A run gets its start settings as an
  // argument; it reads these only as engine/run_settings.h says.
  virtual SimParams Params() = 0;
  // A modal message; returns once the user has closed it.
  virtual void ShowMessage(const std::string& text) = 0;
  // A repaint request with what to draw. Must not block for long.
  virtual void Repaint(const FrameSnapshot& frame) = 0;
  virtual bool PauseRequested(PauseKind kind) = 0;
  // Blocks while the pause lasts; returns at once when a stop is requested.
  virtual void WaitWhilePaused(PauseKind kind) = 0;
  // The user stopped this run, or the program is closing.
  virtual bool StopRequested() = 0;
  // Read between generations: pace and switches may change while a run goes on.
  virtual Showing WhatToShow() = 0;
  // A run that goes one generation at a time holds itself at its pause.
  virtual void RequestPause(PauseKind kind) = 0;
  virtual void Sleep(int milliseconds) = 0;
  // Commands a run gives the screen. The view's own level load (field,
  // lifeboat reset, redraw):
  virtual void LoadBuiltInLevel(int n) = 0;
  // Mark, or stop marking, the meteors the network perceives:
  virtual void ShowPerceptionMarks(bool on) = 0;
};

}  // namespace korvane
