#pragma once
#include <string>

#include "sim/params.h"

// The memory a run takes at its peak, every copy it makes counted: the
// populations and the children bred from them, the per-thread networks and
// lanes, the history of its generations and the output it prints. Refused
// up front when over the budget, so that a run never fails half-way for
// lack of memory.
namespace korvane {

inline constexpr double RunMemoryBudget = 2.0 * 1024 * 1024 * 1024;
// Per worker thread: its flight state and its SIMD lanes (engine/lockstep.h
// holds it to this).
inline constexpr double RunWorkerBytes = 600.0 * 1024;

// What a command runs: the limits that tie settings together (an even
// population − elites, the memory) apply only to what runs.
struct RunScope {
  bool planSearch = true;  // a plan population (ga, study, the window's searches)
  bool network = true;     // a network flies, or repairs plans in the search
  bool training = true;    // a weight population
  bool paths = true;       // every plan's path kept for the screen (the window)
  int threads = 0;         // threads one run flies on; 0: every core
  int runsAtOnce = 1;      // a study's runs flown at once, each on one thread
  double budget = RunMemoryBudget;
};

// Weights of the network the settings describe, in a double (no shape
// overflows it).
double NetworkWeights(const SimParams& p);
// Peak bytes of a plan search, of training, and of the larger part that runs.
double PlanSearchBytes(const SimParams& p, const RunScope& scope);
double TrainingBytes(const SimParams& p, const RunScope& scope);
double NetworkFlightBytes(const SimParams& p);
double RunBytes(const SimParams& p, const RunScope& scope);

// "2 GiB", "64 MiB".
std::string FormatMemory(double bytes);

}  // namespace korvane
