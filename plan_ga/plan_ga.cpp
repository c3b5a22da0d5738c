#include "plan_ga/plan_ga.h"

#include "sim/masked.h"

#include <algorithm>
#include <cstdint>

namespace korvane {

void CPlanGA::Init(int popSize, double durationMutationRate, int chromoLength, const SimParams& p, CRand& rng) {
  m_popSize = popSize < 0 ? 0 : popSize;
  m_chromoLength = chromoLength < 0 ? 0 : chromoLength;
  m_durationMutationRate = durationMutationRate;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;
  m_generation = 0;
  std::vector<CPlanGenome>& genomes = m_genomes.Own();
  genomes.clear();
  m_sums.Clear();
  genomes.reserve(m_popSize);
  for (int n = 0; n < m_popSize; ++n) {
    CPlanGenome plan;
    plan.m_actions.reserve(m_chromoLength);
    plan.m_durations.reserve(m_chromoLength);
    for (int i = 0; i < m_chromoLength; ++i) {
      int code = rng.Below(5);
      int duration = rng.Below(p.ActionDurationRange) + 3;
      plan.m_actions.push_back(code);
      plan.m_durations.push_back(duration);
    }
    genomes.push_back(std::move(plan));
  }
}

void CPlanGA::ResetStats() { m_totalFitness = m_bestFitness = m_averageFitness = 0.0; }

void CPlanGA::UpdateStats() {
  ++m_generation;
  const int n = std::min<int>(m_popSize, static_cast<int>(m_genomes->size()));
  m_sums.Clear();
  double running = 0.0;  // as RouletteSelect's scan adds up
  for (int i = 0; i < n; ++i) {
    const double f = (*m_genomes)[i].m_fitness;
    m_totalFitness += f;
    running += f;
    m_sums.Append(running, f);
    if (f > m_bestFitness) m_bestFitness = f;
  }
  m_averageFitness = m_popSize > 0 ? m_totalFitness / m_popSize : 0.0;
}

bool CPlanGA::Epoch(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng, PlanBreedingRecord* record) {
  // The scored list becomes the population; the plans of the one before are
  // written over with the next generation, so their gene lists keep their
  // memory.
  std::vector<CPlanGenome>& genomes = m_genomes.Own();
  genomes.swap(work);
  ResetStats();
  // Stable, so plans of equal fitness keep their order and a seed fixes the run.
  std::stable_sort(genomes.begin(), genomes.end());
  UpdateStats();
  std::size_t made = 0;
  // The next plan of the new generation, as a fresh one.
  auto next = [&]() -> CPlanGenome& {
    if (made == work.size()) work.emplace_back();
    CPlanGenome& plan = work[made++];
    plan.m_actions.clear();
    plan.m_durations.clear();
    plan.m_fitness = plan.m_energyScore = plan.m_safetyScore = plan.m_timeScore = 0.0;
    return plan;
  };
  // A record is written over the one of the epoch before, so its lists keep
  // their memory; room for every child is made first, so that none moves
  // while it is written.
  if (record) {
    record->Clear();
    record->children.reserve(static_cast<std::size_t>(std::max(m_popSize, 0)) + 1);
  }
  auto writer = [&]() -> PlanChildWriter {
    if (!record) return {};
    return {record, &record->children.emplace_back()};
  };
  if (!genomes.empty() && m_popSize > 0) {
    work.reserve(static_cast<std::size_t>(m_popSize) + 1);  // no plan moves while it is made
    const int elites = std::clamp(p.EliteCount, 0, m_popSize);
    const int size = std::min<int>(m_popSize, static_cast<int>(genomes.size()));
    for (int c = 1; c <= elites && c <= size; ++c) next() = genomes[size - c];
    while (static_cast<int>(made) < m_popSize) {
      // The first child is the father's, the second the mother's.
      const PlanChildWriter r1 = writer();
      const PlanChildWriter r2 = writer();
      const CPlanGenome& mother = genomes[RouletteIndex(rng, r2.child)];
      const CPlanGenome& father = genomes[RouletteIndex(rng, r1.child)];
      CPlanGenome& first = next();
      CPlanGenome& second = next();
      InsertCopy(father, first.m_actions, first.m_durations, p, rng, r1);
      InsertCopy(mother, second.m_actions, second.m_durations, p, rng, r2);
      MutateDurations(first.m_durations, p, rng, r1);
      MutateDurations(second.m_durations, p, rng, r2);
      MutateActions(first.m_actions, p, rng, r1);
      MutateActions(second.m_actions, p, rng, r2);
    }
  }
  work.resize(made);
  return static_cast<int>(work.size()) == m_popSize;
}

CPlanGenome CPlanGA::RouletteSelect(CRand& rng) const {
  const std::size_t at = RouletteIndex(rng);
  return at < m_genomes->size() ? (*m_genomes)[at] : CPlanGenome();
}

std::size_t CPlanGA::RouletteIndex(CRand& rng, PlanChildRecord* record) const {
  const double target = rng() * (1.0 / 32768.0) * m_totalFitness;
  const std::size_t at = RouletteAt(target);
  if (record) {
    record->parent = static_cast<int>(at);
    record->target = target;
  }
  return at;
}

std::size_t CPlanGA::RouletteAt(double target) const {
  const int n = std::min<int>(m_popSize, static_cast<int>(m_genomes->size()));
  // The first plan whose running sum reaches the target, the sums being those
  // the total was formed with (UpdateStats), so that a pick costs no scan.
  if (m_sums.Size() == static_cast<std::size_t>(n)) {
    const std::size_t at = m_sums.FirstReaching(target);
    if (at < m_sums.Size()) return at;
  } else {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      sum += (*m_genomes)[i].m_fitness;
      if (sum >= target) return static_cast<std::size_t>(i);
    }
  }
  // Rounding can leave the sum just short of the target: take the last plan
  // scanned (none: an index past the population).
  return n > 0 ? static_cast<std::size_t>(n - 1) : m_genomes->size();
}

// Per parent gene a draw against the rate and, when it passes, a random gene
// (two draws) goes in first; the child stops once it is full, one test drawn
// past that. The random gene is written into the child's room whether it
// goes in or not, and the state moves on by three or by one: no branch on
// the test, which passes unpredictably.
void CPlanGA::InsertCopy(const CPlanGenome& parent, std::vector<int>& actions, std::vector<double>& durations,
                         const SimParams& p, CRand& rng, PlanChildWriter record) const {
  const int len = Length();
  const int have = std::min(parent.Length(), static_cast<int>(parent.m_durations.size()));
  const int below = CRand::ChanceBound(p.InsertionRate);
  const int insertionDuration = p.InsertionDuration;
  actions.resize(static_cast<std::size_t>(len));
  durations.resize(static_cast<std::size_t>(len));
  // Through plain pointers, so that no store into a gene list makes the
  // loop read a list's place or a setting again.
  int* const act = actions.data();
  double* const dur = durations.data();
  const int* const fromAct = parent.m_actions.data();
  const double* const fromDur = parent.m_durations.data();
  std::uint32_t state = rng.State();
  int k = 0;  // genes in the child
  // put(k, thrust, duration, inserts): that gene was drawn for place k, and
  // went in when `inserts`.
  auto copy = [&](auto&& put) {
    for (int i = 0; i < len; ++i) {
      const std::uint32_t s1 = CRand::Step(state);
      state = s1;
      if (k >= len) break;
      const std::uint32_t s2 = CRand::Step(s1);
      const std::uint32_t s3 = CRand::Step(s2);
      const bool inserts = CRand::Value(s1) < below;
      const int thrust = CRand::Value(s2) % 5;
      const double duration = CRand::Value(s3) % insertionDuration + 5;
      act[k] = thrust;
      dur[k] = duration;
      put(k, thrust, duration, inserts);
      k += inserts;
      state = inserts ? s3 : s1;
      if (k >= len) break;
      // A parent shorter than the run's length cannot come from this population;
      // stop rather than read past it.
      if (i >= have) break;
      act[k] = fromAct[i];
      dur[k] = fromDur[i];
      ++k;
    }
  };
  if (record) {
    // At most one gene is inserted a parent gene, and the child stops when full.
    PlanBreedingRecord::Inserted* const room = record.record->inserted.Room(static_cast<std::size_t>(len));
    std::size_t kept = 0;
    copy([&](int at, int thrust, double duration, bool inserts) {
      room[kept] = {at, thrust, duration};
      kept += inserts;
    });
    record.child->inserted = record.record->inserted.Keep(kept);
  } else {
    copy([](int, int, double, bool) {});
  }
  rng.Seed(state);
  actions.resize(static_cast<std::size_t>(k));
  durations.resize(static_cast<std::size_t>(k));
  if (record) record.child->length = k;
}

// Per gene a draw against the rate and, when it passes, two more, a and b:
// the duration moves by (b - a) / 32768 * range and stops at 0. Worked out
// without a branch (the test passes half the time, unpredictably): all three
// draws are looked at, and the state moves on by three or by one.
void CPlanGA::MutateDurations(std::vector<double>& durations, const SimParams& p, CRand& rng,
                              PlanChildWriter record) const {
  const int len = std::min<int>(Length(), static_cast<int>(durations.size()));
  const int below = CRand::ChanceBound(m_durationMutationRate);
  const double range = p.DurationMutationRange;
  double* const d = durations.data();
  std::uint32_t state = rng.State();
  // put(i, before, after, mutates): gene i would move so, and does when `mutates`.
  auto mutate = [&](auto&& put) {
    for (int i = 0; i < len; ++i) {
      const std::uint32_t s1 = CRand::Step(state);
      const std::uint32_t s2 = CRand::Steps<2>(state);
      const std::uint32_t s3 = CRand::Steps<3>(state);
      const bool mutates = CRand::Value(s1) < below;
      const int a = CRand::Value(s2);
      const int b = CRand::Value(s3);
      const double before = d[i];
      double moved = before + (b / 32768.0 - a / 32768.0) * range;
      if (moved < 0.0) moved = 0.0;
      put(i, before, moved, mutates);
      d[i] = Masked(MaskOf(mutates), moved, before);
      state = mutates ? s3 : s1;
    }
  };
  if (record) {
    PlanBreedingRecord::DurationChange* const room = record.record->durations.Room(static_cast<std::size_t>(len));
    std::size_t kept = 0;
    mutate([&](int i, double before, double after, bool mutates) {
      room[kept] = {i, before, after};
      kept += mutates;
    });
    record.child->durations = record.record->durations.Keep(kept);
  } else {
    mutate([](int, double, double, bool) {});
  }
  rng.Seed(state);
}

void CPlanGA::MutateActions(std::vector<int>& actions, const SimParams& p, CRand& rng, PlanChildWriter record) const {
  const int len = std::min<int>(Length(), static_cast<int>(actions.size()));
  PlanBreedingRecord::ThrustChange* const room =
      record ? record.record->thrusts.Room(static_cast<std::size_t>(std::max(len, 0))) : nullptr;
  std::size_t kept = 0;
  for (int i = 0; i < len; ++i) {
    if (!rng.Chance(p.ActionMutationRate)) continue;
    const int before = actions[i];
    actions[i] = rng.Below(5);
    if (room) room[kept++] = {i, before, actions[i]};
  }
  if (record) record.child->thrusts = record.record->thrusts.Keep(kept);
}

const CPlanGenome* CPlanGA::Best() const {
  const int size = std::min<int>(m_popSize, static_cast<int>(m_genomes->size()));
  return size > 0 ? &(*m_genomes)[size - 1] : nullptr;
}

}  // namespace korvane
