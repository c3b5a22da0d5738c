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
#include "engine/lockstep_perception-inl.h"  // MaskBits
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

// The sums of kB neurons (weights `stride` apart from nw) for all kN lanes,
// in one pass over the values: each value is loaded once for them all, and
// the kB * kGroups sums are independent chains. Each neuron's sum runs from
// i = 0 in order, the bias weight subtracted last, as CNeuralNet sums it.
// x[n * kGroups + g]: neuron n's, the lanes of vector g.
template <size_t kN, size_t kB, class D>
HWY_INLINE void Sums(D d, const double* nw, size_t stride, const double* src, int values, hn::Vec<D>* x) {
  constexpr size_t kL = hn::MaxLanes(D());
  constexpr size_t kGroups = kN / kL;
  for (size_t k = 0; k < kB * kGroups; ++k) x[k] = hn::Zero(d);
  for (int i = 0; i < values; ++i) {
    const size_t at = static_cast<size_t>(i) * kN;
    for (size_t g = 0; g < kGroups; ++g) {
      const hn::Vec<D> in = hn::Load(d, src + at + g * kL);
      for (size_t n = 0; n < kB; ++n)
        x[n * kGroups + g] = x[n * kGroups + g] + hn::Load(d, nw + n * stride + at + g * kL) * in;
    }
  }
  const size_t bias = static_cast<size_t>(values) * kN;
  for (size_t n = 0; n < kB; ++n)
    for (size_t g = 0; g < kGroups; ++g)
      x[n * kGroups + g] = x[n * kGroups + g] - hn::Load(d, nw + n * stride + bias + g * kL);
}

// Neurons 0..count-1 in blocks of at most four: f.template operator()<kB>(j)
// for the block starting at neuron j.
template <class F>
HWY_INLINE void InBlocks(int count, F&& f) {
  int j = 0;
  for (; j + 4 <= count; j += 4) f.template operator()<4>(j);
  if (count - j == 3) f.template operator()<3>(j);
  if (count - j == 2) f.template operator()<2>(j);
  if (count - j == 1) f.template operator()<1>(j);
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

// A list of lanes, by the row they go to and their sigmoid argument x, packed
// to the front as they are met: the lanes the vector exp could not settle,
// which Fill gives 1 / (1 + exp(x)) by the precise path at the end of a
// layer, or the output layer's lanes that compare exactly, which Sigmoids
// works out a full vector at a time.
template <class D, size_t kCapacity>
class LaneList {
 public:
  void Add(D d, hn::Vec<D> x, hn::Mask<D> listed, size_t at) {
    if (HWY_LIKELY(hn::AllFalse(d, listed))) return;
    AddAt(d, x, listed, hn::Iota(d, static_cast<double>(at)));
  }
  void Fill(double* out) {
    for (size_t i = 0; i < m_count; ++i) out[static_cast<size_t>(m_at[i])] = vecmath::SigmoidSlow(m_arg[i]);
    m_count = 0;
  }
  // The vector sigmoid of the listed lanes into their rows; the lanes it
  // cannot settle go on `slow`. The last vector is filled out with x = 0,
  // which is never slow.
  template <class Slow>
  void Sigmoids(D d, double* out, Slow& slow) {
    namespace vm = korvane::vecmath::HWY_NAMESPACE;
    constexpr size_t kK = 2;  // vectors at once, their chains overlapping
    for (size_t i = m_count; i % (kK * kL) != 0; ++i) m_arg[i] = m_at[i] = 0.0;
    HWY_ALIGN double value[kK * kL];
    for (size_t i = 0; i < m_count; i += kK * kL) {
      hn::Vec<D> x[kK];
      for (size_t v = 0; v < kK; ++v) x[v] = hn::Load(d, m_arg + i + v * kL);
      vm::Flagged<D> f[kK];
      vm::SigmoidOrFlag<kK>(d, x, f);
      for (size_t v = 0; v < kK; ++v) {
        hn::Store(f[v].value, d, value + v * kL);
        if (HWY_UNLIKELY(!hn::AllFalse(d, f[v].slow))) slow.AddAt(d, x[v], f[v].slow, hn::Load(d, m_at + i + v * kL));
      }
      const size_t n = m_count - i < kK * kL ? m_count - i : kK * kL;
      for (size_t l = 0; l < n; ++l) out[static_cast<size_t>(m_at[i + l])] = value[l];
    }
    m_count = 0;
  }
  void AddAt(D d, hn::Vec<D> x, hn::Mask<D> listed, hn::Vec<D> at) {
    const unsigned bits = MaskBits(d, listed);
    hn::StoreU(Packed(x, bits), d, m_arg + m_count);
    hn::StoreU(Packed(at, bits), d, m_at + m_count);
    m_count += static_cast<size_t>(__builtin_popcount(bits));
  }

 private:
  static constexpr size_t kL = hn::MaxLanes(D());
  HWY_ALIGN double m_arg[kCapacity + 2 * kL];
  HWY_ALIGN double m_at[kCapacity + 2 * kL];
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
  constexpr size_t kL = hn::MaxLanes(D());
  constexpr size_t kGroups = kN / kL;
  const V negSlope = hn::Neg(hn::Set(d, slope));  // x = -slope * sum, one rounding
  const auto row = [](double* base, int j) { return base + static_cast<size_t>(j) * kN; };
  const auto weights = [&](const NeuronLayer& l, int j) {
    return w + static_cast<size_t>(l.offset + j * l.inputsPerNeuron) * kN;
  };
  LaneList<D, kLaneMaxWidth * kN> slowLanes, pending;
  const double* src = b.in;
  int flip = 0;
  const auto stride = [](const NeuronLayer& l) { return static_cast<size_t>(l.inputsPerNeuron) * kN; };
  for (size_t L = 0; L + 1 < layers.size(); ++L) {
    const NeuronLayer& layer = layers[L];
    double* out = b.layer[flip];
    InBlocks(layer.neuronCount, [&]<size_t kB>(int j) {
      V x[kB * kGroups];
      Sums<kN, kB>(d, weights(layer, j), stride(layer), src, layer.inputsPerNeuron - 1, x);
      if (L == 0) {
        for (size_t k = 0; k < kB * kGroups; ++k) hn::Store(x[k], d, row(out, j) + k * kL);
        return;
      }
      // Every lane through the vector sigmoid, whose cut-offs settle about
      // half of them: packing the others into full vectors costs more than
      // it saves.
      constexpr size_t kK = kB * kGroups;
      for (size_t k = 0; k < kK; ++k) x[k] = negSlope * x[k];
      vecmath::HWY_NAMESPACE::Flagged<D> f[kK];
      vecmath::HWY_NAMESPACE::SigmoidOrFlag<kK>(d, x, f);
      for (size_t k = 0; k < kK; ++k) {
        hn::Store(f[k].value, d, row(out, j) + k * kL);
        if (HWY_UNLIKELY(!hn::AllFalse(d, f[k].slow)))
          slowLanes.AddAt(d, x[k], f[k].slow, hn::Iota(d, static_cast<double>(static_cast<size_t>(j) * kN + k * kL)));
      }
    });
    slowLanes.Fill(out);
    src = out;
    flip ^= 1;
  }

  const NeuronLayer& last = layers.back();
  const int n = last.neuronCount < SimParams::NetOutputCount ? last.neuronCount : SimParams::NetOutputCount;
  double* out = b.layer[flip];
  V xs[SimParams::NetOutputCount * kGroups];  // output j's sums, then x, at j * kGroups + g
  InBlocks(n, [&]<size_t kB>(int j) {
    Sums<kN, kB>(d, weights(last, j), stride(last), src, last.inputsPerNeuron - 1,
                 xs + static_cast<size_t>(j) * kGroups);
  });
  if (layers.size() == 1) {  // a linear output layer: the sums are the outputs
    for (size_t k = 0; k < static_cast<size_t>(n) * kGroups; ++k) hn::Store(xs[k], d, out + k * kL);
    Pick<kN>(d, out, n, b.action);
    return;
  }
  const V one = hn::Set(d, 1.0);
  M settled[kGroups];
  V choice[kGroups];
  bool allSettled = true;
  for (size_t g = 0; g < kGroups; ++g) {
    V least = hn::Set(d, HUGE_VAL);  // the least non-NaN x so far, at output `at`
    V next = least;                  // the least non-NaN x of the others
    V at = hn::Zero(d);
    M firstNaN;
    for (int j = 0; j < n; ++j) {
      V& x = xs[static_cast<size_t>(j) * kGroups + g];
      x = negSlope * x;
      if (j == 0) firstNaN = hn::IsNaN(x);
      const M lower = x < least;
      next = hn::IfThenElse(lower, least, hn::IfThenElse(x < next, x, next));
      at = hn::IfThenElse(lower, hn::Set(d, static_cast<double>(j)), at);
      least = hn::IfThenElse(lower, x, least);
    }
    // A NaN first output is the choice; so is a clear winner (PickIsClear).
    const V apart =
        hn::IfThenElse(least >= hn::Set(d, kClearHigh), hn::Set(d, kClearHighApart), hn::Set(d, kClearLowApart));
    const M clear =
        hn::And(least <= hn::Set(d, kClearTop),
                next >= hn::IfThenElse(least >= hn::Set(d, kClearLow), least + apart, hn::Set(d, kClearBelowOne)));
    settled[g] = hn::Or(firstNaN, clear);
    choice[g] = hn::IfThenZeroElse(firstNaN, at);
    allSettled = allSettled && hn::AllTrue(d, settled[g]);
  }
  if (allSettled) {  // about three blocks in four
    for (size_t g = 0; g < kGroups; ++g) hn::Store(choice[g], d, b.action + g * kL);
    return;
  }
  // Which outputs are still running, as PickFromSums walks them (the least
  // x before each output taken again).
  M running[SimParams::NetOutputCount][kGroups];
  M several[kGroups];
  for (size_t g = 0; g < kGroups; ++g) {
    V least = hn::Set(d, HUGE_VAL);
    V count = hn::Zero(d);
    for (int j = 0; j < n; ++j) {
      const V x = xs[static_cast<size_t>(j) * kGroups + g];
      running[j][g] =
          j == 0 ? hn::Eq(one, one)
                 : hn::AndNot(least < hn::Set(d, vecmath::kSigmoidOneBelow), x < least + hn::Set(d, kPickApart));
      count = count + hn::IfThenElseZero(running[j][g], one);
      least = hn::IfThenElse(x < least, x, least);
    }
    several[g] = hn::AndNot(settled[g], count > one);
  }
  for (int j = 0; j < n; ++j) {
    for (size_t g = 0; g < kGroups; ++g) {
      // -1: below every sigmoid; the lanes that compare exactly take theirs
      // from `pending`.
      hn::Store(hn::IfThenElse(running[j][g], one, hn::Set(d, -1.0)), d, row(out, j) + g * kL);
      pending.Add(d, xs[static_cast<size_t>(j) * kGroups + g], hn::And(running[j][g], several[g]),
                  static_cast<size_t>(j) * kN + g * kL);
    }
  }
  pending.Sigmoids(d, out, slowLanes);
  slowLanes.Fill(out);
  Pick<kN>(d, out, n, b.action);
  for (size_t g = 0; g < kGroups; ++g)
    hn::Store(hn::IfThenElse(settled[g], choice[g], hn::Load(d, b.action + g * kL)), d, b.action + g * kL);
}

}  // namespace lanes
}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_
