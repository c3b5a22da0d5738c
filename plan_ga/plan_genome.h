#pragma once
#include <utility>
#include <vector>

namespace korvane {

// One flight plan: parallel lists of thrust codes (0..4) and durations in
// ticks, plus the fitness and three displayed scores the evaluator writes.
struct CPlanGenome {
  std::vector<int> m_actions;
  std::vector<double> m_durations;
  double m_fitness = 0.0;
  double m_energyScore = 0.0;
  double m_safetyScore = 0.0;
  double m_timeScore = 0.0;

  CPlanGenome() = default;
  CPlanGenome(std::vector<int> actions, std::vector<double> durations, double fitness = 0.0)
      : m_actions(std::move(actions)), m_durations(std::move(durations)), m_fitness(fitness) {}

  int Length() const { return static_cast<int>(m_actions.size()); }

  friend bool operator<(const CPlanGenome& a, const CPlanGenome& b) { return a.m_fitness < b.m_fitness; }
};

}  // namespace korvane
