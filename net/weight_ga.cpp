#include "net/weight_ga.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "sim/masked.h"
#include "sim/sort_by_key.h"

namespace korvane {

CWeightGA::CWeightGA() : m_bestHistory(MaxHistory, 0.0), m_averageHistory(MaxHistory, 0.0) {}

void CWeightGA::Reset(int popSize, double mutationRate, double crossoverRate, int genomeLength, CRand& rng) {
  m_popSize = popSize;
  m_mutationRate = mutationRate;
  m_crossoverRate = crossoverRate;
  m_genomeLength = genomeLength;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;
  m_generation = 0;

  std::vector<WeightGenome>& population = m_population.Own();
  population.clear();
  m_sums.Clear();
  m_draws.next.ready = false;
  const int len = std::max(0, genomeLength);
  for (int i = 0; i < popSize; ++i) {
    WeightGenome g;
    g.weights.reserve(static_cast<std::size_t>(len));
    for (int k = 0; k < len; ++k) g.weights.push_back(static_cast<double>(rng.Below(5)));
    population.push_back(std::move(g));
  }
}

std::size_t CWeightGA::RecordedCount() const {
  return static_cast<std::size_t>(std::clamp(m_generation, 0, MaxHistory));
}

std::size_t CWeightGA::ActiveCount() const {
  return std::min(m_population->size(), static_cast<std::size_t>(std::max(0, m_popSize)));
}

void CWeightGA::UpdateStatistics() {
  const std::size_t n = ActiveCount();
  m_sums.Clear();
  for (std::size_t i = 0; i < n; ++i) {
    const double f = (*m_population)[i].fitness;
    if (f > m_bestFitness) m_bestFitness = f;
    m_totalFitness += f;
    m_sums.Append(m_totalFitness, f);
  }
  m_averageFitness = m_popSize > 0 ? m_totalFitness / m_popSize : 0.0;
  // Past the capacity the counter keeps going but nothing more is recorded.
  // The entries go in before the counter moves, so a reader of the first
  // m_generation entries never sees one that is not written.
  if (m_generation < MaxHistory) {
    m_bestHistory[static_cast<std::size_t>(m_generation)] = m_bestFitness;
    m_averageHistory[static_cast<std::size_t>(m_generation)] = m_averageFitness;
  }
  ++m_generation;
}

bool CWeightGA::Epoch(std::vector<WeightGenome>& list, const SimParams& p, CRand& rng, WeightBreedingRecord* record) {
  // A record is read from the draws as DrawAhead keeps them: taking them now,
  // in the order the epoch would, changes nothing.
  const auto sameLength = [&] {
    return std::all_of(list.begin(), list.end(),
                       [&](const WeightGenome& g) { return g.weights.size() == list.front().weights.size(); });
  };
  if (record && !m_draws.next.ready && !list.empty() && sameLength())
    DrawAhead(list.size(), list.front().weights.size(), p, rng);
  if (record) record->children.clear();
  if (m_draws.next.ready) {
    const bool ok = Select(list, p);
    if (record) Record(*record);
    for (std::size_t k = 0; k < list.size(); ++k) Breed(k, list[k].weights);
    return ok;
  }
  Rank(list);
  // Elites first, best first, then pairs of children of roulette-picked
  // parents, mutated: picks and mutations draw in turn.
  const std::size_t active = ActiveCount();
  const std::size_t elites = EliteCount(m_population->size(), p);
  list.resize(elites + 2 * PairCount(m_population->size(), p));
  for (std::size_t i = 0; i < elites; ++i) list[i].weights = (*m_population)[active - 1 - i].weights;
  for (std::size_t k = elites; k < list.size(); k += 2) {
    const std::size_t mother = PickIndex(rng);
    const std::size_t father = PickIndex(rng);
    list[k].weights = (*m_population)[mother].weights;
    list[k + 1].weights = (*m_population)[father].weights;
    Mutate(list[k].weights, p, rng);
    Mutate(list[k + 1].weights, p, rng);
  }
  for (WeightGenome& g : list) g.fitness = 0.0;
  return list.size() == static_cast<std::size_t>(std::max(0, m_popSize));
}

void CWeightGA::Rank(std::vector<WeightGenome>& list) {
  // The scored list becomes the population; the genomes of the one before
  // are written over with the next generation, so their weight lists keep
  // their memory from one generation to the next.
  std::vector<WeightGenome>& population = m_population.Own();
  population.swap(list);
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;
  // Stable, so equal fitness keeps its order and a seeded run repeats; NaN
  // counts as the lowest so the ordering stays strict and weak.
  StableSortByKey(
      population, [](const WeightGenome& g) { return g.fitness; },
      [](double a, double b) {
        if (std::isnan(a)) return !std::isnan(b);
        if (std::isnan(b)) return false;
        return a < b;
      });
  UpdateStatistics();
}

bool CWeightGA::Select(std::vector<WeightGenome>& list, const SimParams& p) {
  const std::size_t listSize = list.size();
  Rank(list);
  Drawn& d = m_draws.next;
  const std::size_t active = ActiveCount();
  const std::size_t elites = EliteCount(listSize, p);
  const std::size_t pairs = PairCount(listSize, p);
  bool same = d.ready && d.listSize == listSize && d.elites == elites && d.picks.size() == 2 * pairs &&
              Bits(d.smallRange) == Bits(p.SmallMutationRange) && Bits(d.largeRate) == Bits(p.LargeMutationRate);
  for (std::size_t i = 0; i < active && same; ++i) same = (*m_population)[i].weights.size() == d.weightCount;
  d.ready = false;
  if (!same) throw std::logic_error("CWeightGA::Select: not the list and settings DrawAhead drew for");
  // The draws taken become the ones the children are made by; the next
  // DrawAhead writes into the other set.
  std::swap(m_draws.next, m_draws.made);
  m_draws.largeRange = p.LargeMutationRange;
  std::vector<std::size_t>& from = m_draws.parents;
  from.resize(elites + 2 * pairs);
  for (std::size_t i = 0; i < elites; ++i) from[i] = active - 1 - i;
  for (std::size_t c = 0; c < 2 * pairs; ++c) from[elites + c] = PickAt(m_draws.made.picks[c]);
  list.resize(from.size());
  for (WeightGenome& g : list) g.fitness = 0.0;
  return list.size() == static_cast<std::size_t>(std::max(0, m_popSize));
}

void CWeightGA::Breed(std::size_t k, std::vector<double>& w) const {
  const Drawn& d = m_draws.made;
  w = (*m_population)[m_draws.parents[k]].weights;
  if (k < d.elites) return;
  const std::size_t child = k - d.elites;
  const std::size_t at = child * d.weightCount;
  for (std::size_t i = 0; i < w.size(); ++i) w[i] = SmallMoved(w[i], d.deltas[at + i], d.moves[at + i]);
  if (d.large[child] >= 0) w[static_cast<std::size_t>(d.large[child])] += m_draws.largeRange;
}

void CWeightGA::Record(WeightBreedingRecord& record) const {
  const Drawn& d = m_draws.made;
  const std::size_t elites = std::min(d.elites, m_draws.parents.size());
  const std::size_t children = m_draws.parents.size() - elites;
  record.children.resize(children);
  for (std::size_t c = 0; c < children; ++c)
    record.children[c] = {static_cast<int>(m_draws.parents[elites + c]), d.picks[c] * m_totalFitness, d.large[c]};
  // The draws themselves, copied over the record's lists: the children are
  // made from them when shown.
  record.weightCount = d.weightCount;
  record.largeRange = m_draws.largeRange;
  record.deltas.assign(d.deltas.begin(), d.deltas.end());
  record.moves.assign(d.moves.begin(), d.moves.end());
}

std::size_t CWeightGA::EliteCount(std::size_t listSize, const SimParams& p) const {
  // The settings sheet lets E exceed P, so clamp here.
  const std::size_t active = std::min(listSize, static_cast<std::size_t>(std::max(0, m_popSize)));
  return std::min(static_cast<std::size_t>(std::clamp(p.NetEliteCount, 0, std::max(0, m_popSize))), active);
}

std::size_t CWeightGA::PairCount(std::size_t listSize, const SimParams& p) const {
  // Children come in pairs until the list is full; without anyone to pick
  // from none can be made.
  const std::size_t target = static_cast<std::size_t>(std::max(0, m_popSize));
  const std::size_t elites = EliteCount(listSize, p);
  return std::min(listSize, target) > 0 && elites < target ? (target - elites + 1) / 2 : 0;
}

void CWeightGA::DrawAhead(std::size_t listSize, std::size_t weightCount, const SimParams& p, CRand& rng) {
  const std::size_t pairs = PairCount(listSize, p);
  Drawn& d = m_draws.next;
  d = Drawn{true,
            listSize,
            weightCount,
            EliteCount(listSize, p),
            p.SmallMutationRange,
            p.LargeMutationRate,
            std::move(d.picks),
            std::move(d.deltas),
            std::move(d.moves),
            std::move(d.large)};
  d.picks.resize(2 * pairs);
  d.deltas.resize(2 * pairs * weightCount);
  d.moves.resize(2 * pairs * weightCount);
  d.large.resize(2 * pairs);
  for (std::size_t c = 0; c < 2 * pairs; c += 2) {
    d.picks[c] = rng.Unit();
    d.picks[c + 1] = rng.Unit();
    for (std::size_t child = c; child < c + 2; ++child) {
      const std::size_t at = child * weightCount;
      d.large[child] = DrawMutation(weightCount, p, rng, [&](std::size_t i, double delta, std::uint64_t keep) {
        d.deltas[at + i] = delta;
        d.moves[at + i] = keep == 0;
      });
    }
  }
}

std::size_t CWeightGA::PickIndex(CRand& rng) const { return PickAt(rng.Unit()); }

std::size_t CWeightGA::PickAt(double unit) const {
  const double slice = unit * m_totalFitness;
  const std::size_t n = ActiveCount();
  // The first genome whose running sum reaches the slice; the running sums
  // are those of the loop below, kept from UpdateStatistics.
  if (m_sums.Size() == n) {
    const std::size_t at = m_sums.FirstReaching(slice);
    return at == n ? 0 : at;
  }
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    sum += (*m_population)[i].fitness;
    if (sum >= slice) return i;
  }
  return 0;
}

WeightGenome CWeightGA::PickRoulette(CRand& rng) const {
  if (m_population->empty()) {
    rng();  // the draw happens whatever the population holds
    return {};
  }
  return (*m_population)[PickIndex(rng)];
}

template <class Small>
int CWeightGA::DrawMutation(std::size_t size, const SimParams& p, CRand& rng, Small&& small) const {
  // Per weight: a draw against the rate, and when it passes two more, a and b,
  // and the move (b - a) * range. Worked out without a branch (the test
  // fails one time in five, unpredictably): the three draws are taken, the
  // state moves by one or by three.
  const int below = CRand::ChanceBound(m_mutationRate);
  std::uint32_t state = rng.State();
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint32_t s1 = CRand::Step(state);
    const std::uint32_t s2 = CRand::Steps<2>(state);
    const std::uint32_t s3 = CRand::Steps<3>(state);
    const double a = CRand::Unit(CRand::Value(s2));
    const double b = CRand::Unit(CRand::Value(s3));
    // All ones where the weight stays.
    const std::uint64_t keep = static_cast<std::uint64_t>(CRand::Value(s1) < below) - 1;
    small(i, (b - a) * p.SmallMutationRange, keep);
    state = (s1 & static_cast<std::uint32_t>(keep)) | (s3 & ~static_cast<std::uint32_t>(keep));
  }
  rng.Seed(state);
  if (rng.Unit() < p.LargeMutationRate && size > 0) return rng.Below(static_cast<int>(size));
  return -1;
}

void CWeightGA::Mutate(std::vector<double>& w, const SimParams& p, CRand& rng) const {
  const int large = DrawMutation(w.size(), p, rng, [&](std::size_t i, double delta, std::uint64_t keep) {
    w[i] = SmallMoved(w[i], delta, keep == 0);
  });
  if (large >= 0) w[static_cast<std::size_t>(large)] += p.LargeMutationRange;
}

const WeightGenome& CWeightGA::Best() const {
  static const WeightGenome none;
  if (m_popSize <= 0 || m_population->size() < static_cast<std::size_t>(m_popSize)) {
    return m_population->empty() ? none : m_population->back();
  }
  return (*m_population)[static_cast<std::size_t>(m_popSize) - 1];
}

}  // namespace korvane
