// Per-target: the network of every lane, each with its own weights, and its
// choice of thrust, as BuildNetworkInputs, CNeuralNet::Evaluate and
// PickAction give them. Included from lockstep-inl.h.
#if defined(KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_
#undef KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_
#else
#define KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_
#endif

#include <cmath>
#include <cstdint>
#include <span>

#include "engine/lockstep.h"
#include "hwy/highway.h"
#include "vecmath/exact_exp-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace lanes {

// Inputs of all kN lanes: n / (400 - y), n / y, vx, vy, then n / dx and
// n / dy of each slot. A component of exactly 0 gives an infinite input, as
// in the scalar code.
template <size_t kN, class D>
HWY_INLINE void Inputs(D d, LaneBuffers& b, int k, hn::Vec<D> norm) {
  constexpr size_t kL = hn::MaxLanes(D());
  const hn::Vec<D> height = hn::Set(d, static_cast<double>(PlayfieldHeight));
  for (size_t v = 0; v < kN; v += kL) {
    const hn::Vec<D> y = hn::Load(d, b.y + v);
    hn::Store(norm / (height - y), d, b.in + v);
    hn::Store(norm / y, d, b.in + kN + v);
    hn::Store(hn::Load(d, b.vx + v), d, b.in + 2 * kN + v);
    hn::Store(hn::Load(d, b.vy + v), d, b.in + 3 * kN + v);
    for (int j = 0; j < k; ++j) {
      const size_t at = static_cast<size_t>(j) * kN + v;
      hn::Store(norm / hn::Load(d, b.dx + at), d, b.in + (4 + 2 * j) * kN + v);
      hn::Store(norm / hn::Load(d, b.dy + at), d, b.in + (5 + 2 * j) * kN + v);
    }
  }
}

// One neuron's sum for the lanes at nw and src: from k = 0 in order, the
// bias weight subtracted last, as CNeuralNet sums it.
template <size_t kN, class D>
HWY_INLINE hn::Vec<D> Sum(D d, const double* nw, const double* src, int values) {
  hn::Vec<D> s = hn::Zero(d);
  for (int i = 0; i < values; ++i)
    s = s + hn::Load(d, nw + static_cast<size_t>(i) * kN) * hn::Load(d, src + static_cast<size_t>(i) * kN);
  return s - hn::Load(d, nw + static_cast<size_t>(values) * kN);
}

// The lanes of v set in `bits`, moved to the front in order. (Highway's
// Compress of 64-bit lanes copies a table onto the stack at every call.)
template <class V>
HWY_INLINE V Packed(V v, unsigned bits) {
#if HWY_TARGET == HWY_AVX3
  return V{_mm512_maskz_compress_pd(static_cast<__mmask8>(bits), v.raw)};
#else
  // For each mask of four lanes, the 32-bit halves of the chosen lanes.
  alignas(32) static constexpr int32_t kOrder[16][8] = {
      {0, 1, 2, 3, 4, 5, 6, 7}, {0, 1, 2, 3, 4, 5, 6, 7}, {2, 3, 0, 1, 4, 5, 6, 7}, {0, 1, 2, 3, 4, 5, 6, 7},
      {4, 5, 0, 1, 2, 3, 6, 7}, {0, 1, 4, 5, 2, 3, 6, 7}, {2, 3, 4, 5, 0, 1, 6, 7}, {0, 1, 2, 3, 4, 5, 6, 7},
      {6, 7, 0, 1, 2, 3, 4, 5}, {0, 1, 6, 7, 2, 3, 4, 5}, {2, 3, 6, 7, 0, 1, 4, 5}, {0, 1, 2, 3, 6, 7, 4, 5},
      {4, 5, 6, 7, 0, 1, 2, 3}, {0, 1, 4, 5, 6, 7, 2, 3}, {2, 3, 4, 5, 6, 7, 0, 1}, {0, 1, 2, 3, 4, 5, 6, 7}};
  const __m256i order = _mm256_load_si256(reinterpret_cast<const __m256i*>(kOrder[bits & 15]));
  return V{_mm256_castsi256_pd(_mm256_permutevar8x32_epi32(_mm256_castpd_si256(v.raw), order))};
#endif
}

// Lanes the vector exp could not settle, listed as they are met without a
// branch, then given 1 / (1 + exp(x)) by the precise path at the end of a
// layer.
template <class D, size_t kCapacity>
class SlowLanes {
 public:
  void Add(D d, hn::Vec<D> x, hn::Mask<D> slow, size_t at) {
    uint8_t bits = 0;
    hn::StoreMaskBits(d, slow, &bits);
    hn::StoreU(Packed(x, bits), d, m_arg + m_count);
    hn::StoreU(Packed(hn::Iota(d, static_cast<double>(at)), bits), d, m_at + m_count);
    m_count += static_cast<size_t>(__builtin_popcount(bits));
  }
  void Fill(double* out) {
    for (size_t i = 0; i < m_count; ++i) out[static_cast<size_t>(m_at[i])] = vecmath::SigmoidSlow(m_arg[i]);
    m_count = 0;
  }

 private:
  static constexpr size_t kL = hn::MaxLanes(D());
  HWY_ALIGN double m_arg[kCapacity + kL];
  HWY_ALIGN double m_at[kCapacity + kL];
  size_t m_count = 0;
};

// The first largest of rows 0..n-1, as PickAction takes it: a NaN never
// takes over, a NaN first row stays.
template <size_t kN, class D>
HWY_INLINE void Pick(D d, const double* rows, int n, double* action) {
  using V = hn::Vec<D>;
  for (size_t v = 0; v < kN; v += hn::MaxLanes(D())) {
    V best = hn::Load(d, rows + v);
    V index = hn::Zero(d);
    for (int j = 1; j < n; ++j) {
      const V o = hn::Load(d, rows + static_cast<size_t>(j) * kN + v);
      const auto wins = o > best;
      best = hn::IfThenElse(wins, o, best);
      index = hn::IfThenElse(wins, hn::Set(d, static_cast<double>(j)), index);
    }
    hn::Store(index, d, action + v);
  }
}

// The network of every lane and its thrust, into b.action. Layers before the
// last: the first linear, the others through the sigmoid. The last layer's
// sigmoid is taken only for outputs PickFromSums would take it for: an
// output is out of the running when its x is NaN, lies kPickApart above an
// earlier output's, or follows one below -36.75, and none is taken when one
// output wins clearly (proofs in action_pick.cpp); a lane with one output
// left takes it, and the others compare exactly.
template <size_t kN, class D>
HWY_INLINE void Decide(D d, LaneBuffers& b, std::span<const NeuronLayer> layers, const double* w, double slope) {
  using V = hn::Vec<D>;
  using M = hn::Mask<D>;
  namespace vm = korvane::vecmath::HWY_NAMESPACE;
  constexpr size_t kL = hn::MaxLanes(D());
  constexpr size_t kGroups = kN / kL;
  const V negSlope = hn::Neg(hn::Set(d, slope));  // x = -slope * sum, one rounding
  const auto row = [](double* base, int j) { return base + static_cast<size_t>(j) * kN; };
  const auto weights = [&](const NeuronLayer& l, int j) {
    return w + static_cast<size_t>(l.offset + j * l.inputsPerNeuron) * kN;
  };
  SlowLanes<D, kLaneMaxWidth * kN> slowLanes;
  const double* src = b.in;
  int flip = 0;
  for (size_t L = 0; L + 1 < layers.size(); ++L) {
    const NeuronLayer& layer = layers[L];
    double* out = b.layer[flip];
    for (int j = 0; j < layer.neuronCount; ++j) {
      V x[kGroups];
      for (size_t g = 0; g < kGroups; ++g)
        x[g] = Sum<kN>(d, weights(layer, j) + g * kL, src + g * kL, layer.inputsPerNeuron - 1);
      if (L == 0) {
        for (size_t g = 0; g < kGroups; ++g) hn::Store(x[g], d, row(out, j) + g * kL);
        continue;
      }
      for (size_t g = 0; g < kGroups; ++g) x[g] = negSlope * x[g];
      vm::Flagged<D> f[kGroups];
      vm::SigmoidOrFlag<kGroups>(d, x, f);
      for (size_t g = 0; g < kGroups; ++g) {
        hn::Store(f[g].value, d, row(out, j) + g * kL);
        slowLanes.Add(d, x[g], f[g].slow, static_cast<size_t>(j) * kN + g * kL);
      }
    }
    slowLanes.Fill(out);
    src = out;
    flip ^= 1;
  }

  const NeuronLayer& last = layers.back();
  const int n = last.neuronCount < SimParams::NetOutputCount ? last.neuronCount : SimParams::NetOutputCount;
  double* out = b.layer[flip];
  if (layers.size() == 1) {  // a linear output layer: the sums are the outputs
    for (int j = 0; j < n; ++j)
      for (size_t g = 0; g < kGroups; ++g)
        hn::Store(Sum<kN>(d, weights(last, j) + g * kL, src + g * kL, last.inputsPerNeuron - 1), d,
                  row(out, j) + g * kL);
    Pick<kN>(d, out, n, b.action);
    return;
  }
  const V one = hn::Set(d, 1.0);
  M running[SimParams::NetOutputCount][kGroups];
  M several[kGroups], settled[kGroups];
  V choice[kGroups];
  for (size_t g = 0; g < kGroups; ++g) {
    V least = hn::Set(d, HUGE_VAL);  // the least non-NaN x so far, at output `at`
    V next = least;                  // the least non-NaN x of the others
    V at = hn::Zero(d);
    V count = hn::Zero(d);
    M firstNaN;
    for (int j = 0; j < n; ++j) {
      const V x = negSlope * Sum<kN>(d, weights(last, j) + g * kL, src + g * kL, last.inputsPerNeuron - 1);
      hn::Store(x, d, row(b.arg, j) + g * kL);
      if (j == 0) firstNaN = hn::IsNaN(x);
      running[j][g] = j == 0 ? hn::Eq(one, one)
                             : hn::AndNot(least < hn::Set(d, vecmath::kSigmoidOneBelow),
                                          x < least + hn::Set(d, kPickApart));
      count = count + hn::IfThenElseZero(running[j][g], one);
      const M lower = x < least;
      next = hn::IfThenElse(lower, least, hn::IfThenElse(x < next, x, next));
      at = hn::IfThenElse(lower, hn::Set(d, static_cast<double>(j)), at);
      least = hn::IfThenElse(lower, x, least);
    }
    // A NaN first output is the choice; so is a clear winner (PickIsClear).
    const V apart = hn::IfThenElse(least >= hn::Set(d, kClearHigh), hn::Set(d, kClearHighApart),
                                   hn::Set(d, kClearLowApart));
    const M clear = hn::And(least <= hn::Set(d, kClearTop),
                            next >= hn::IfThenElse(least >= hn::Set(d, kClearLow), least + apart,
                                                   hn::Set(d, kClearBelowOne)));
    settled[g] = hn::Or(firstNaN, clear);
    choice[g] = hn::IfThenZeroElse(firstNaN, at);
    several[g] = hn::AndNot(settled[g], count > one);
  }
  for (int j = 0; j < n; ++j) {
    for (size_t g = 0; g < kGroups; ++g) {
      const M exact = hn::And(running[j][g], several[g]);
      V value = hn::IfThenElse(running[j][g], one, hn::Set(d, -1.0));  // -1: below every sigmoid
      if (!hn::AllFalse(d, exact)) {
        const V x = hn::Load(d, row(b.arg, j) + g * kL);
        const vm::Flagged<D> f = vm::SigmoidOrFlag(d, x);
        value = hn::IfThenElse(exact, f.value, value);
        slowLanes.Add(d, x, hn::And(exact, f.slow), static_cast<size_t>(j) * kN + g * kL);
      }
      hn::Store(value, d, row(out, j) + g * kL);
    }
  }
  slowLanes.Fill(out);
  Pick<kN>(d, out, n, b.action);
  for (size_t g = 0; g < kGroups; ++g)
    hn::Store(hn::IfThenElse(settled[g], choice[g], hn::Load(d, b.action + g * kL)), d, b.action + g * kL);
}

}  // namespace lanes
}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_
