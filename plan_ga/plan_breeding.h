#pragma once
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "plan_ga/plan_genome.h"

namespace korvane {

// How the epoch made one child, written by the epoch and its operators as
// they draw. A child has one parent: it is an insertion-copy of it, then
// mutated; nothing crosses. Its inserted genes and mutations lie in the
// record's lists, so that recording a generation fills a few long lists
// rather than three short ones a child.
struct PlanChildRecord {
  struct Part {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };
  int parent = -1;      // the parent's place in the sorted generation (0: the worst)
  double target = 0.0;  // where the roulette's draw landed: draw / 32768 × total fitness
  int length = 0;       // the child's genes, as the insertion-copy left them
  Part inserted, durations, thrusts;
};

// A list of a record, written a child at a time: room for a child's entries
// is made before they are drawn, each is written there and the count moves
// only for those kept, so that the operators need no branch an entry, and a
// record written over the last one allocates nothing.
template <class T>
class RecordList {
 public:
  void Clear() { m_size = 0; }
  // Room for n entries after those kept.
  T* Room(std::size_t n) {
    if (m_room.size() < m_size + n) m_room.resize(m_size + n);
    return m_room.data() + m_size;
  }
  // The first n entries of the room are kept; returns where they start.
  PlanChildRecord::Part Keep(std::size_t n) {
    const PlanChildRecord::Part part{static_cast<std::uint32_t>(m_size), static_cast<std::uint32_t>(n)};
    m_size += n;
    return part;
  }
  std::size_t size() const { return m_size; }
  std::span<const T> Of(PlanChildRecord::Part part) const {
    const std::size_t first = std::min<std::size_t>(part.first, m_size);
    return {m_room.data() + first, std::min<std::size_t>(part.count, m_size - first)};
  }

 private:
  std::vector<T> m_room;
  std::size_t m_size = 0;
};

// The children of one epoch, in the order they join the next generation
// (after the elites), and what the operators drew for each: enough to make
// any child again from its parent, so that the next generation need not be
// kept to be shown.
struct PlanBreedingRecord {
  struct Inserted {
    int gene;  // the child's
    int thrust;
    double duration;
  };
  struct DurationChange {
    int gene;
    double before;
    double after;
  };
  struct ThrustChange {
    int gene;
    int before;
    int after;  // a redraw may give the same code
  };
  std::vector<PlanChildRecord> children;
  RecordList<Inserted> inserted;
  RecordList<DurationChange> durations;
  RecordList<ThrustChange> thrusts;

  void Clear();
  // Child c's entries, in gene order.
  std::span<const Inserted> InsertedOf(std::size_t c) const { return inserted.Of(children[c].inserted); }
  std::span<const DurationChange> DurationsOf(std::size_t c) const { return durations.Of(children[c].durations); }
  std::span<const ThrustChange> ThrustsOf(std::size_t c) const { return thrusts.Of(children[c].thrusts); }
  // Child c as the epoch made it from `parent` (its recorded parent): the
  // parent's genes with the inserted ones among them, then the mutations.
  CPlanGenome Child(std::size_t c, const CPlanGenome& parent) const;
};

// Where an operator writes what it did to one child; none when breeding is
// not recorded.
struct PlanChildWriter {
  PlanBreedingRecord* record = nullptr;
  PlanChildRecord* child = nullptr;
  explicit operator bool() const { return record && child; }
};

// How different the plans are: the mean, over all pairs among the first 64
// plans, of the share of gene positions (up to the shorter plan) whose thrust
// differs. 0 when no pair has a gene to compare.
double PlanDiversity(std::span<const CPlanGenome> plans);

}  // namespace korvane
