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

// Inputs of the lanes at v: n / (400 - y), n / y, vx, vy, then n / dx and
// n / dy of each slot. A component of exactly 0 gives an infinite input, as
// in the scalar code.
template <class D>
HWY_INLINE void Inputs(D d, LaneBuffers& b, size_t v, int k, hn::Vec<D> norm) {
  constexpr size_t kN = hn::MaxLanes(D());
  const hn::Vec<D> y = hn::Load(d, b.y + v);
  hn::Store(norm / (hn::Set(d, static_cast<double>(PlayfieldHeight)) - y), d, b.in + v);
  hn::Store(norm / y, d, b.in + kN + v);
  hn::Store(hn::Load(d, b.vx + v), d, b.in + 2 * kN + v);
  hn::Store(hn::Load(d, b.vy + v), d, b.in + 3 * kN + v);
  for (int j = 0; j < k; ++j) {
    const size_t at = static_cast<size_t>(j) * kN + v;
    hn::Store(norm / hn::Load(d, b.dx + at), d, b.in + (4 + 2 * j) * kN + v);
    hn::Store(norm / hn::Load(d, b.dy + at), d, b.in + (5 + 2 * j) * kN + v);
  }
}

// Every layer, for all kN lanes; returns the last layer's values. Each sum
// runs from k = 0 in order and subtracts the bias weight last; the first
// layer is linear, the others go through the sigmoid. Lanes the vector exp
// cannot settle are filled in by the library once per layer.
template <class D>
HWY_INLINE const double* Network(D d, LaneBuffers& b, std::span<const NeuronLayer> layers, const double* w,
                                 double slope) {
  using V = hn::Vec<D>;
  namespace vm = korvane::vecmath::HWY_NAMESPACE;
  constexpr size_t kN = hn::MaxLanes(D());
  const V negSlope = hn::Neg(hn::Set(d, slope));  // x = -slope * sum, one rounding
  const double* src = b.in;
  int flip = 0;
  for (size_t L = 0; L < layers.size(); ++L) {
    const NeuronLayer& layer = layers[L];
    const int values = layer.inputsPerNeuron - 1;
    double* out = b.layer[flip];
    uint8_t slow[kLaneMaxWidth] = {};
    unsigned anySlow = 0;
    for (int j = 0; j < layer.neuronCount; ++j) {
      const double* nw = w + static_cast<size_t>(layer.offset + j * layer.inputsPerNeuron) * kN;
      V s = hn::Zero(d);
      for (int i = 0; i < values; ++i)
        s = s + hn::Load(d, nw + static_cast<size_t>(i) * kN) * hn::Load(d, src + static_cast<size_t>(i) * kN);
      s = s - hn::Load(d, nw + static_cast<size_t>(values) * kN);
      if (L == 0) {
        hn::Store(s, d, out + static_cast<size_t>(j) * kN);
        continue;
      }
      const V x = negSlope * s;
      const vm::Flagged<D> f = vm::SigmoidOrFlag(d, x);
      hn::Store(f.value, d, out + static_cast<size_t>(j) * kN);
      hn::Store(x, d, b.arg + static_cast<size_t>(j) * kN);
      hn::StoreMaskBits(d, f.slow, &slow[j]);
      anySlow |= slow[j];
    }
    if (HWY_UNLIKELY(anySlow != 0)) {
      for (int j = 0; j < layer.neuronCount; ++j) {
        for (unsigned bits = slow[j]; bits != 0; bits &= bits - 1) {
          const size_t at = static_cast<size_t>(j) * kN + static_cast<size_t>(__builtin_ctz(bits));
          out[at] = 1.0 / (1.0 + std::exp(b.arg[at]));
        }
      }
    }
    src = out;
    flip ^= 1;
  }
  return src;
}

// PickAction of the outputs: the first largest of the first five; a NaN never
// takes over, a NaN first output stays.
template <class D>
HWY_INLINE void Pick(D d, const double* out, int outputs, double* action) {
  using V = hn::Vec<D>;
  constexpr size_t kN = hn::MaxLanes(D());
  const int n = outputs < SimParams::NetOutputCount ? outputs : SimParams::NetOutputCount;
  V best = hn::Load(d, out);
  V index = hn::Zero(d);
  for (int j = 1; j < n; ++j) {
    const V o = hn::Load(d, out + static_cast<size_t>(j) * kN);
    const auto wins = o > best;
    best = hn::IfThenElse(wins, o, best);
    index = hn::IfThenElse(wins, hn::Set(d, static_cast<double>(j)), index);
  }
  hn::Store(index, d, action);
}

}  // namespace lanes
}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_ENGINE_LOCKSTEP_NETWORK_INL_H_
