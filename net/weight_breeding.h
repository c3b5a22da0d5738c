#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "sim/masked.h"

namespace korvane {

struct WeightGenome;

// A weight moved by its small mutation's draw where `moves` is 1, kept where
// it is 0: a weight moves four times in five, unpredictably, so no branch.
inline double SmallMoved(double v, double delta, std::uint8_t moves) {
  return Masked(static_cast<std::uint64_t>(moves) - 1, v, v + delta);
}

// How the weight epoch made one child, from the draws the epoch took: a
// copy of one parent's weights, mutated. No crossover takes place.
struct WeightChildRecord {
  int parent = -1;     // the parent's place in the sorted generation (0: the worst)
  double slice = 0.0;  // where the roulette's draw landed: draw / 32768 × total fitness
  int large = -1;      // the weight the large mutation moved, or -1
};

// The children of one epoch, in the order they join the next generation
// (after the elites), and the draws that moved their weights: enough to make
// any child again from its parent.
struct WeightBreedingRecord {
  std::vector<WeightChildRecord> children;
  std::size_t weightCount = 0;      // per child in the draws below
  double largeRange = 0.0;          // what the large mutation adds
  std::vector<double> deltas;       // per child and weight: its small move
  std::vector<std::uint8_t> moves;  // per child and weight: 1 where it moves

  // Child c as Breed makes it from `parent` (its recorded parent), with its
  // mutations, old → new, as they were made.
  struct Change {
    int weight;
    double before;
    double after;
  };
  struct Child {
    std::vector<double> weights;
    std::vector<Change> small;   // in weight order
    Change large{-1, 0.0, 0.0};  // weight -1: none
  };
  Child Make(std::size_t c, std::span<const double> parent) const;
};

// How different the weight lists are: the mean, over all pairs among the
// first 64 genomes, of the mean absolute difference of their weights (up to
// the shorter list). 0 when no pair has a weight to compare.
double WeightDiversity(std::span<const WeightGenome> genomes);
// The same over the first genomes' weights alone (WeightDiversitySample),
// which a selection that moves the genomes around leaves where they are.
std::vector<std::span<const double>> WeightDiversitySample(std::span<const WeightGenome> genomes);
double WeightDiversity(std::span<const std::span<const double>> weights);

}  // namespace korvane
