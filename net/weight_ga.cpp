#include "net/weight_ga.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "sim/pair_mean.h"

namespace korvane {
namespace {

// A double's bits and back, as std::bit_cast (which WebAssembly's C++
// library lacks) gives them.
std::uint64_t Bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

double FromBits(std::uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

// v, where `keep` is all ones, else v + delta: chosen with a mask, since a
// weight moves four times in five, unpredictably, and a compiler turns a
// plain choice into a branch.
double MovedUnlessKept(double v, double delta, std::uint64_t keep) {
  const double moved = v + delta;
  return FromBits((Bits(v) & keep) | (Bits(moved) & ~keep));
}

}  // namespace

CWeightGA::CWeightGA() : m_bestHistory(MaxHistory, 0.0), m_averageHistory(MaxHistory, 0.0) {}

void CWeightGA::Reset(int popSize, double mutationRate, double crossoverRate, int genomeLength, CRand& rng) {
  m_popSize = popSize;
  m_mutationRate = mutationRate;
  m_crossoverRate = crossoverRate;
  m_genomeLength = genomeLength;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;
  m_generation = 0;

  m_population.clear();
  m_sums.Clear();
  m_drawn.ready = false;
  const int len = std::max(0, genomeLength);
  for (int i = 0; i < popSize; ++i) {
    WeightGenome g;
    g.weights.reserve(static_cast<std::size_t>(len));
    for (int k = 0; k < len; ++k) g.weights.push_back(static_cast<double>(rng.Below(5)));
    m_population.push_back(std::move(g));
  }
}

std::size_t CWeightGA::RecordedCount() const {
  return static_cast<std::size_t>(std::clamp(m_generation, 0, MaxHistory));
}

std::size_t CWeightGA::ActiveCount() const {
  return std::min(m_population.size(), static_cast<std::size_t>(std::max(0, m_popSize)));
}

void CWeightGA::UpdateStatistics() {
  const std::size_t n = ActiveCount();
  m_sums.Clear();
  for (std::size_t i = 0; i < n; ++i) {
    const double f = m_population[i].fitness;
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
  if (record && !m_drawn.ready && !list.empty() && sameLength()) DrawAhead(list.size(), list.front().weights.size(), p, rng);
  m_population = list;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;

  // Stable, so equal fitness keeps its order and a seeded run repeats; NaN
  // counts as the lowest so the ordering stays strict and weak.
  std::stable_sort(m_population.begin(), m_population.end(), [](const WeightGenome& a, const WeightGenome& b) {
    if (std::isnan(a.fitness)) return !std::isnan(b.fitness);
    if (std::isnan(b.fitness)) return false;
    return a.fitness < b.fitness;
  });

  UpdateStatistics();

  const std::size_t active = ActiveCount();
  const std::size_t elites = EliteCount(list.size(), p);
  const std::size_t pairs = PairCount(list.size(), p);
  const bool drawn = m_drawn.ready;
  if (drawn) {
    m_drawn.ready = false;
    bool same = m_drawn.listSize == list.size() && m_drawn.elites == elites && m_drawn.picks.size() == 2 * pairs &&
                Bits(m_drawn.smallRange) == Bits(p.SmallMutationRange) && Bits(m_drawn.largeRate) == Bits(p.LargeMutationRate);
    for (std::size_t i = 0; i < active && same; ++i) same = m_population[i].weights.size() == m_drawn.weightCount;
    if (!same) throw std::logic_error("CWeightGA::Epoch: not the list and settings DrawAhead drew for");
  }

  // The list's genomes are written over in place: their weight lists keep
  // their memory from one generation to the next. Elites come first, best
  // first, then pairs of children of roulette-picked parents, mutated.
  list.resize(elites + 2 * pairs);
  for (std::size_t i = 0; i < elites; ++i) list[i] = m_population[active - 1 - i];
  for (std::size_t k = elites, c = 0; k < list.size(); k += 2, c += 2) {
    const std::size_t mother = drawn ? PickAt(m_drawn.picks[c]) : PickIndex(rng);
    const std::size_t father = drawn ? PickAt(m_drawn.picks[c + 1]) : PickIndex(rng);
    list[k].weights = m_population[mother].weights;
    list[k + 1].weights = m_population[father].weights;
    for (std::size_t child = 0; child < 2; ++child) {
      std::vector<double>& w = list[k + child].weights;
      if (!drawn) {
        Mutate(w, p, rng);
        continue;
      }
      const std::size_t at = (c + child) * m_drawn.weightCount;
      for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = MovedUnlessKept(w[i], m_drawn.deltas[at + i], static_cast<std::uint64_t>(m_drawn.moves[at + i]) - 1);
      if (m_drawn.large[c + child] >= 0) w[static_cast<std::size_t>(m_drawn.large[c + child])] += p.LargeMutationRange;
    }
  }
  for (WeightGenome& g : list) g.fitness = 0.0;
  if (record) {
    record->children.clear();
    if (drawn) Record(*record, list, elites);
  }
  return list.size() == static_cast<std::size_t>(std::max(0, m_popSize));
}

void CWeightGA::Record(WeightBreedingRecord& record, const std::vector<WeightGenome>& list, std::size_t elites) const {
  record.children.resize(list.size() - elites);
  for (std::size_t c = 0; c < record.children.size(); ++c) {
    WeightChildRecord& r = record.children[c];
    const std::size_t parent = PickAt(m_drawn.picks[c]);
    r.parent = static_cast<int>(parent);
    r.slice = m_drawn.picks[c] * m_totalFitness;
    const std::vector<double>& from = m_population[parent].weights;
    const std::size_t at = c * m_drawn.weightCount;
    for (std::size_t i = 0; i < from.size(); ++i)
      if (m_drawn.moves[at + i]) r.small.push_back({static_cast<int>(i), from[i], from[i] + m_drawn.deltas[at + i]});
    r.large = m_drawn.large[c];
    if (r.large >= 0) {
      const std::size_t k = static_cast<std::size_t>(r.large);
      r.largeBefore = m_drawn.moves[at + k] ? from[k] + m_drawn.deltas[at + k] : from[k];
      r.largeAfter = list[elites + c].weights[k];
    }
  }
}

double WeightDiversity(std::span<const WeightGenome> genomes) {
  return MeanOverPairs(genomes.size(), [&](std::size_t i, std::size_t j) -> std::optional<double> {
    const std::vector<double>& a = genomes[i].weights;
    const std::vector<double>& b = genomes[j].weights;
    const std::size_t n = std::min(a.size(), b.size());
    if (n == 0) return std::nullopt;
    double sum = 0.0;
    for (std::size_t w = 0; w < n; ++w) sum += std::fabs(a[w] - b[w]);
    return sum / static_cast<double>(n);
  });
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
  Drawn& d = m_drawn;
  d = Drawn{true, listSize, weightCount, EliteCount(listSize, p), p.SmallMutationRange, p.LargeMutationRate,
            std::move(d.picks), std::move(d.deltas), std::move(d.moves), std::move(d.large)};
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
    sum += m_population[i].fitness;
    if (sum >= slice) return i;
  }
  return 0;
}

WeightGenome CWeightGA::PickRoulette(CRand& rng) const {
  if (m_population.empty()) {
    rng();  // the draw happens whatever the population holds
    return {};
  }
  return m_population[PickIndex(rng)];
}

template <class Small>
int CWeightGA::DrawMutation(std::size_t size, const SimParams& p, CRand& rng, Small&& small) const {
  // Per weight: a draw against the rate, and when it passes two more, a and b,
  // and the move (b - a) * range. Worked out without a branch (the test
  // fails one time in five, unpredictably): the three draws are taken, the
  // state moves by one or by three.
  // Unit(r) < rate exactly when r < below: Unit rises with r.
  int below = 0;
  for (int step = 1 << 15; step > 0; step >>= 1)
    if (below + step <= 32768 && CRand::Unit(below + step - 1) < m_mutationRate) below += step;
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
    w[i] = MovedUnlessKept(w[i], delta, keep);
  });
  if (large >= 0) w[static_cast<std::size_t>(large)] += p.LargeMutationRange;
}

const WeightGenome& CWeightGA::Best() const {
  static const WeightGenome none;
  if (m_popSize <= 0 || m_population.size() < static_cast<std::size_t>(m_popSize)) {
    return m_population.empty() ? none : m_population.back();
  }
  return m_population[static_cast<std::size_t>(m_popSize) - 1];
}

}  // namespace korvane
