#pragma once
#include <span>
#include <vector>

namespace korvane {

struct WeightGenome;

// How the weight epoch made one child, from the draws the epoch took: a
// copy of one parent's weights, mutated. No crossover takes place.
struct WeightChildRecord {
  int parent = -1;     // the parent's place in the sorted generation (0: the worst)
  double slice = 0.0;  // where the roulette's draw landed: draw / 32768 × total fitness
  struct Change {
    int weight;
    double before;
    double after;
  };
  std::vector<Change> small;  // the small mutations, in weight order
  int large = -1;             // the weight the large mutation moved, or -1
  double largeBefore = 0.0;
  double largeAfter = 0.0;
};

// The children of one epoch, in the order they join the next generation
// (after the elites).
struct WeightBreedingRecord {
  std::vector<WeightChildRecord> children;
};

// How different the weight lists are: the mean, over all pairs among the
// first 64 genomes, of the mean absolute difference of their weights (up to
// the shorter list). 0 when no pair has a weight to compare.
double WeightDiversity(std::span<const WeightGenome> genomes);

}  // namespace korvane
