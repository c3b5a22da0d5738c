#include "sim/run_memory.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace korvane {
namespace {

int Threads(const RunScope& s) {
  const int n = s.threads > 0 ? s.threads : static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(n, 1, 256);
}

// One network: its weights, and per neuron its outputs and bookkeeping.
double NetworkBytes(const SimParams& p) {
  const double neurons = static_cast<double>(p.HiddenLayerCount) * p.NeuronsPerHiddenLayer + SimParams::NetOutputCount;
  return 8.0 * NetworkWeights(p) + 32.0 * neurons + 1024.0;
}

// A generation's history: the host's record, the chart's, the JSON entry
// printed (an object of three members) and its text.
constexpr double kGenerationBytes = 640.0;
// A weights file's block read: its text (a line a weight) and its values
// parsed. (The whole file is read, at most 64 MiB: other blocks come on top.)
constexpr double kWeightReadBytes = 32.0 + 16.0;
// Per plan: two lists of genes on the heap, four scores; the scores kept
// while a generation flies, the flight's result.
constexpr double kPlanBytes = 112.0;
constexpr double kPlanFlightBytes = 96.0;
// A plan's path for the screen, recorded and published.
constexpr double kPathBytes = 1200.0;

}  // namespace

double NetworkWeights(const SimParams& p) {
  const double in = p.NetInputCount, n = p.NeuronsPerHiddenLayer, h = p.HiddenLayerCount;
  const double out = SimParams::NetOutputCount;
  return h == 0 ? out * (in + 1) : n * (in + 1) + (h - 1) * n * (n + 1) + out * (n + 1);
}

double PlanSearchBytes(const SimParams& p, const RunScope& s) {
  const double plans = std::max(p.PopulationSize, 0);
  const double genes = std::max(p.ChromosomeLength, 0);
  // The generation flown, the one kept sorted and the children bred.
  double bytes = plans * (3 * (genes * 12 + kPlanBytes) + kPlanFlightBytes);
  if (s.paths) bytes += plans * kPathBytes;
  bytes += (std::max(p.MaxGenerations, 0) + 1.0) * kGenerationBytes;
  const double workers = std::min<double>(Threads(s), std::max(plans, 1.0));
  bytes += workers * RunWorkerBytes;
  // The network repairing plans: one per worker, the one in force, the
  // weights as loaded and as kept.
  if (s.network) bytes += (workers + 4) * NetworkBytes(p) + kWeightReadBytes * NetworkWeights(p);
  return bytes;
}

double TrainingBytes(const SimParams& p, const RunScope& s) {
  const double genomes = std::max(p.NetPopulationSize, 0);
  const double weights = NetworkWeights(p);
  const int threads = Threads(s);
  // The population, the work list, and the breeding's draws taken ahead (a
  // move and a flag per child and weight).
  double bytes = genomes * (3.5 * 8 * weights + 128);
  // The network per worker and the one in force, the weights kept and
  // copied out, and printed: JSON values, their text and weights.txt's.
  bytes += (threads + 4) * NetworkBytes(p) + weights * (16 + 64 + 28);
  bytes += threads * RunWorkerBytes;
  bytes += 2 * FindParam("TrainingGenerations")->hi * 16.0;  // the charts' history, at its longest
  return bytes;
}

double NetworkFlightBytes(const SimParams& p) { return 5 * NetworkBytes(p) + kWeightReadBytes * NetworkWeights(p); }

double RunBytes(const SimParams& p, const RunScope& s) {
  double bytes = 0;
  if (s.planSearch) {
    RunScope one = s;
    if (s.runsAtOnce > 1) one.threads = 1;
    bytes = std::max(1, s.runsAtOnce) * PlanSearchBytes(p, one);
  } else if (s.network) {
    bytes = NetworkFlightBytes(p);
  }
  if (s.training) bytes = std::max(bytes, TrainingBytes(p, s));
  return bytes;
}

std::string FormatMemory(double bytes) {
  constexpr double kMiB = 1024.0 * 1024;
  char buf[64];
  if (bytes >= 1024 * kMiB)
    std::snprintf(buf, sizeof buf, "%.1f GiB", bytes / (1024 * kMiB));
  else
    std::snprintf(buf, sizeof buf, "%.1f MiB", bytes / kMiB);
  std::string text = buf;
  // Whole limits without their ".0".
  if (const auto dot = text.find(".0 "); dot != std::string::npos) text.erase(dot, 2);
  return text;
}

}  // namespace korvane
