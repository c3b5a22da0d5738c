#pragma once
#include <string>
#include <vector>

// What a run gave, in the terms korvane-cli prints for the same run: the
// numbers by which the page and the CLI are compared, both written by
// FormatRecord.
namespace korvane::web {

struct RecordGeneration {
  int generation = 0;
  double best = 0.0;
  double average = 0.0;
};

struct RunRecord {
  enum class Kind { None, Search, Training, NetworkFlight };
  Kind kind = Kind::None;
  // Searches and training: each generation completed, as `ga` and `train`
  // list them, and the texts of the boxes the run showed.
  std::vector<RecordGeneration> generations;
  std::vector<std::string> messages;
  // A search: the escape, and the plan kept for replay.
  bool escaped = false;
  int escapeGeneration = -1;
  int escapePlan = -1;
  std::vector<int> actions;
  std::vector<double> durations;
  double planFitness = 0.0;
  // Training: the best fitness of the last generation, the weights in force.
  double bestFitness = 0.0;
  std::vector<double> weights;
  // A network flight: how it ended, its ticks and the lifeboat's last state.
  std::string outcome;
  int ticks = 0;
  double x = 0.0, y = 0.0, vx = 0.0, vy = 0.0;
};

// One line per value, doubles as "%.17g" (every double its own text).
std::string FormatRecord(const RunRecord& r);

}  // namespace korvane::web
