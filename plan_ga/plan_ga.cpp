#include "plan_ga/plan_ga.h"

#include "plan_ga/draw_steps.h"
#include "plan_ga/draw_walk.h"
#include "sim/masked.h"
#include "sim/sort_by_key.h"

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

void CPlanGA::Rank(std::vector<CPlanGenome>& work) {
  // The scored list becomes the population; the plans of the one before are
  // written over with the next generation, so their gene lists keep their
  // memory.
  std::vector<CPlanGenome>& genomes = m_genomes.Own();
  genomes.swap(work);
  ResetStats();
  // Stable, so plans of equal fitness keep their order and a seed fixes the run.
  StableSortByKey(
      genomes, [](const CPlanGenome& g) { return g.m_fitness; }, [](double a, double b) { return a < b; });
  UpdateStats();
}

bool CPlanGA::Epoch(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng, PlanBreedingRecord* record) {
  Rank(work);
  return Breeding<true>(work, p, rng, record);
}

bool CPlanGA::Select(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng) {
  Rank(work);
  const bool ok = Breeding<false>(work, p, rng, nullptr);
  // The scores each plan starts with, before it is made: the elites' own.
  for (std::size_t k = 0; k < work.size(); ++k) {
    CPlanGenome& plan = work[k];
    plan.m_fitness = plan.m_energyScore = plan.m_safetyScore = plan.m_timeScore = 0.0;
    if (k < m_made.elites) {
      const CPlanGenome& elite = (*m_genomes)[m_made.plans[k].parent];
      plan.m_fitness = elite.m_fitness;
      plan.m_energyScore = elite.m_energyScore;
      plan.m_safetyScore = elite.m_safetyScore;
      plan.m_timeScore = elite.m_timeScore;
    }
  }
  return ok;
}

void CPlanGA::Breed(std::size_t k, CPlanGenome& plan) const {
  const Starts& at = m_made.plans[k];
  const CPlanGenome& parent = (*m_genomes)[at.parent];
  if (k < m_made.elites) {
    plan = parent;
    return;
  }
  const Rates& r = m_made.rates;
  plan.m_fitness = plan.m_energyScore = plan.m_safetyScore = plan.m_timeScore = 0.0;
  plan.m_actions.resize(static_cast<std::size_t>(Length()));
  plan.m_durations.resize(static_cast<std::size_t>(Length()));
  std::uint32_t state = at.insert;
  const int len = InsertGenes<true>(parent, plan.m_actions.data(), plan.m_durations.data(), r, state, {});
  plan.m_actions.resize(static_cast<std::size_t>(len));
  plan.m_durations.resize(static_cast<std::size_t>(len));
  state = at.durations;
  DurationDraws<true>(plan.m_durations.data(), std::min(Length(), len), r, state, {});
  state = at.actions;
  ActionDraws<true>(plan.m_actions.data(), std::min(Length(), len), r, state, {});
}

template <bool kMake>
bool CPlanGA::Breeding(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng, PlanBreedingRecord* record) {
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
  const std::vector<CPlanGenome>& genomes = *m_genomes;
  m_made.plans.clear();
  m_made.elites = 0;
  const Rates rates = RatesOf(p);
  if (!kMake) m_made.rates = rates;
  if (!genomes.empty() && m_popSize > 0) {
    if (kMake) work.reserve(static_cast<std::size_t>(m_popSize) + 1);  // no plan moves while it is made
    const int elites = std::clamp(p.EliteCount, 0, m_popSize);
    const int size = std::min<int>(m_popSize, static_cast<int>(genomes.size()));
    for (int c = 1; c <= elites && c <= size; ++c) {
      if constexpr (kMake) {
        next() = genomes[size - c];
      } else {
        m_made.plans.push_back({static_cast<std::size_t>(size - c)});
        ++made;
      }
    }
    m_made.elites = made;
    while (static_cast<int>(made) < m_popSize) {
      // The first child is the father's, the second the mother's.
      const PlanChildWriter r1 = writer();
      const PlanChildWriter r2 = writer();
      const std::size_t mother = RouletteIndex(rng, r2.child);
      const std::size_t father = RouletteIndex(rng, r1.child);
      Starts first{father}, second{mother};
      // Made in the work list, or only drawn for (no genes).
      CPlanGenome* a = kMake ? &next() : nullptr;
      CPlanGenome* b = kMake ? &next() : nullptr;
      if (!kMake) made += 2;
      auto room = [&](CPlanGenome* g, int len) {
        if (!g) return;
        g->m_actions.resize(static_cast<std::size_t>(len));
        g->m_durations.resize(static_cast<std::size_t>(len));
      };
      auto actions = [](CPlanGenome* g) { return g ? g->m_actions.data() : nullptr; };
      auto durations = [](CPlanGenome* g) { return g ? g->m_durations.data() : nullptr; };
      room(a, Length());
      room(b, Length());
      // Both insertion-copies, then both durations' mutations, then both
      // thrusts': the order of the draws.
      std::uint32_t state = rng.State();
      first.insert = state;
      const int lenA = InsertGenes<kMake>(genomes[father], actions(a), durations(a), rates, state, r1);
      second.insert = state;
      const int lenB = InsertGenes<kMake>(genomes[mother], actions(b), durations(b), rates, state, r2);
      room(a, lenA);
      room(b, lenB);
      first.durations = state;
      DurationDraws<kMake>(durations(a), std::min(Length(), lenA), rates, state, r1);
      second.durations = state;
      DurationDraws<kMake>(durations(b), std::min(Length(), lenB), rates, state, r2);
      first.actions = state;
      ActionDraws<kMake>(actions(a), std::min(Length(), lenA), rates, state, r1);
      second.actions = state;
      ActionDraws<kMake>(actions(b), std::min(Length(), lenB), rates, state, r2);
      rng.Seed(state);
      if constexpr (!kMake) {
        m_made.plans.push_back(first);
        m_made.plans.push_back(second);
      }
    }
  }
  work.resize(made);
  return static_cast<int>(work.size()) == m_popSize;
}

void CPlanGA::InsertCopy(const CPlanGenome& parent, std::vector<int>& actions, std::vector<double>& durations,
                         const SimParams& p, CRand& rng, PlanChildWriter record) const {
  actions.resize(static_cast<std::size_t>(Length()));
  durations.resize(static_cast<std::size_t>(Length()));
  std::uint32_t state = rng.State();
  const int k = InsertGenes<true>(parent, actions.data(), durations.data(), RatesOf(p), state, record);
  rng.Seed(state);
  actions.resize(static_cast<std::size_t>(k));
  durations.resize(static_cast<std::size_t>(k));
}

void CPlanGA::MutateDurations(std::vector<double>& d, const SimParams& p, CRand& rng, PlanChildWriter record) const {
  std::uint32_t state = rng.State();
  DurationDraws<true>(d.data(), std::min<int>(Length(), static_cast<int>(d.size())), RatesOf(p), state, record);
  rng.Seed(state);
}

void CPlanGA::MutateActions(std::vector<int>& actions, const SimParams& p, CRand& rng, PlanChildWriter record) const {
  std::uint32_t state = rng.State();
  ActionDraws<true>(actions.data(), std::min<int>(Length(), static_cast<int>(actions.size())), RatesOf(p), state,
                    record);
  rng.Seed(state);
}

using draw_steps::Below;
using draw_steps::Bound16;
using draw_steps::Either;
using draw_steps::WithRecord;

CPlanGA::Rates CPlanGA::RatesOf(const SimParams& p) const {
  return {Bound16(p.InsertionRate), Bound16(m_durationMutationRate), Bound16(p.ActionMutationRate), p.InsertionDuration,
          static_cast<double>(p.DurationMutationRange)};
}

// Per parent gene a draw against the rate and, when it passes, a random gene
// (two draws) goes in first; the child stops once it is full, one test drawn
// past that. The random gene is written into the child's room whether it
// goes in or not, and the state moves on by three or by one: no branch on
// the test, which passes unpredictably.
template <bool kMake>
int CPlanGA::InsertGenes(const CPlanGenome& parent, int* actions, double* durations, const Rates& r,
                         std::uint32_t& state, PlanChildWriter record) const {
  const int len = Length();
  // A parent shorter than the run's length cannot come from this population;
  // stop rather than read past it.
  const int have = std::min(parent.Length(), static_cast<int>(parent.m_durations.size()));
  const int* const fromActions = parent.m_actions.data();
  const double* const fromDurations = parent.m_durations.data();
  int k = 0;  // genes in the child
  // Every gene drawn is written into the record's room; the count moves only
  // for those that went in (at most one a parent gene).
  const bool recording = kMake && record;
  PlanBreedingRecord::Inserted* const room =
      recording ? record.record->inserted.Room(static_cast<std::size_t>(std::max(len, 0))) : nullptr;
  std::size_t kept = 0;
  int from = 0;  // parent genes already walked past
  if constexpr (!kMake) {
    // Only drawn for: whole bytes of draws while no test among them can end
    // the child (each takes a parent gene, and the child one or two).
    draw_walk::Walk w{state};
    draw_walk::Bytes<2>(w, r.insert, [&](int tests, int passes) {
      return w.tests + tests <= std::min(len, have) && w.tests + w.passes + tests + passes <= len;
    });
    draw_walk::Settle(w);
    state = w.state;
    from = w.tests;
    k = w.tests + w.passes;
  }
  WithRecord(recording, [&](auto recorded) {
    std::uint32_t s = state;
    for (int i = from; i < len; ++i) {
      // The draws after the test come from the state before it, in one step
      // each, so that they do not wait for one another.
      const std::uint32_t s1 = CRand::Step(s);
      const std::uint32_t s3 = CRand::Steps<3>(s);
      if (k >= len) {
        s = s1;
        break;
      }
      const bool inserts = Below(s1, r.insert);
      if constexpr (kMake) {
        const int thrust = CRand::Value(CRand::Steps<2>(s)) % 5;
        const double duration = CRand::Value(s3) % r.insertionDuration + 5;
        actions[k] = thrust;
        durations[k] = duration;
        if constexpr (decltype(recorded)::value) {
          room[kept] = {k, thrust, duration};
          kept += inserts;
        }
      }
      k += inserts;
      s = draw_steps::StepOn(s1, r.insert, s3);
      if (k >= len) break;
      if (i >= have) break;
      if constexpr (kMake) {
        actions[k] = fromActions[i];
        durations[k] = fromDurations[i];
      }
      ++k;
    }
    state = s;
  });
  if (recording) {
    record.child->inserted = record.record->inserted.Keep(kept);
    record.child->length = k;
  }
  return k;
}

// Per gene a draw against the rate and, when it passes, two more, a and b:
// the duration moves by (b - a) / 32768 * range and stops at 0. Worked out
// without a branch (the test passes half the time, unpredictably): all three
// draws are looked at, and the state moves on by three or by one.
template <bool kMake>
void CPlanGA::DurationDraws(double* d, int len, const Rates& r, std::uint32_t& state, PlanChildWriter record) const {
  if constexpr (!kMake) {
    // Only drawn for: eight draws at a time.
    state = draw_walk::Tests<2>(state, r.durations, len);
  } else {
    const bool recording = static_cast<bool>(record);
    PlanBreedingRecord::DurationChange* const room =
        recording ? record.record->durations.Room(static_cast<std::size_t>(std::max(len, 0))) : nullptr;
    std::size_t kept = 0;
    WithRecord(recording, [&](auto recorded) {
      std::uint32_t s = state;
      for (int i = 0; i < len; ++i) {
        const std::uint32_t s1 = CRand::Step(s);
        const std::uint32_t s3 = CRand::Steps<3>(s);
        const bool mutates = Below(s1, r.durations);
        const int a = CRand::Value(CRand::Steps<2>(s));
        const int b = CRand::Value(s3);
        double moved = d[i] + (b / 32768.0 - a / 32768.0) * r.durationRange;
        if (moved < 0.0) moved = 0.0;
        if constexpr (decltype(recorded)::value) {
          room[kept] = {i, d[i], moved};
          kept += mutates;
        }
        d[i] = Masked(MaskOf(mutates), moved, d[i]);
        s = draw_steps::StepOn(s1, r.durations, s3);
      }
      state = s;
    });
    if (recording) record.child->durations = record.record->durations.Keep(kept);
  }
}

// Per gene a draw against the rate and, when it passes, one more for the new
// thrust code.
template <bool kMake>
void CPlanGA::ActionDraws(int* actions, int len, const Rates& r, std::uint32_t& state, PlanChildWriter record) const {
  if constexpr (!kMake) {
    // Only drawn for: eight draws at a time.
    state = draw_walk::Tests<1>(state, r.actions, len);
  } else {
    const bool recording = static_cast<bool>(record);
    PlanBreedingRecord::ThrustChange* const room =
        recording ? record.record->thrusts.Room(static_cast<std::size_t>(std::max(len, 0))) : nullptr;
    std::size_t kept = 0;
    WithRecord(recording, [&](auto recorded) {
      std::uint32_t s = state;
      for (int i = 0; i < len; ++i) {
        const std::uint32_t s1 = CRand::Step(s);
        const std::uint32_t s2 = CRand::Steps<2>(s);
        const bool mutates = Below(s1, r.actions);
        const int before = actions[i];
        // Worked out without a branch, as the state is: with a record to
        // write, a compiler may otherwise branch on the test.
        const int after = static_cast<int>(
            Either(mutates, static_cast<std::uint32_t>(CRand::Value(s2) % 5), static_cast<std::uint32_t>(before)));
        actions[i] = after;
        if constexpr (decltype(recorded)::value) {
          room[kept] = {i, before, after};
          kept += mutates;
        }
        s = draw_steps::StepOn(s1, r.actions, s2);
      }
      state = s;
    });
    if (recording) record.child->thrusts = record.record->thrusts.Keep(kept);
  }
}

const CPlanGenome* CPlanGA::Best() const {
  const int size = std::min<int>(m_popSize, static_cast<int>(m_genomes->size()));
  return size > 0 ? &(*m_genomes)[size - 1] : nullptr;
}

}  // namespace korvane
