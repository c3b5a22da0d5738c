// Vector exp and sigmoid, correctly rounded in every lane.
//
// Per-target code: include it from a file compiled once per Highway target
// (foreach_target.h). Build with -ffp-contract=off: a product fused by the
// compiler would silently break the exact splits and sums below, so the only
// fused multiply-adds are the explicit ones, on targets that have them.
//
// Method: compute exp(x) to about 2^-65 relative, with double-double steps,
// and take the double it rounds to unless the exact value could lie on the
// other side of a rounding midpoint. Those lanes, and the ones outside the
// range proven here, are flagged for ExpAccurate. Targets without fused
// multiply-adds split products by halves (Dekker); the others let the fused
// operation keep each product's rest, which takes far fewer steps.

#if defined(KORVANE_VECMATH_EXACT_EXP_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KORVANE_VECMATH_EXACT_EXP_INL_H_
#undef KORVANE_VECMATH_EXACT_EXP_INL_H_
#else
#define KORVANE_VECMATH_EXACT_EXP_INL_H_
#endif

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "hwy/highway.h"
#include "vecmath/exact_exp.h"
#include "vecmath/exp2_table.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::vecmath::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace exact_exp_detail {

// For |x| <= 708.39 exp(x) is a normal double (ln 2^-1022 = -708.3964), and
// m below stays within +-1022.
constexpr double kMaxAbsX = 708.39;
constexpr double kInvLn2N = 0x1.71547652b82fep+6;  // 64 / ln 2

#if HWY_NATIVE_FMA
template <class V>
HWY_INLINE V MulAddOnce(V a, V b, V c) {
  return hn::MulAdd(a, b, c);
}
#else
template <class V>
HWY_INLINE V MulAddOnce(V a, V b, V c) {
  return a * b + c;
}
#endif

// table[j] for a table of 64. AVX-512 looks it up in registers: four
// two-register permutes and three blends cost less than a gather there.
template <class D, class VI>
HWY_INLINE hn::Vec<D> Lookup64(D d, const double* table, VI j) {
#if HWY_TARGET == HWY_AVX3
  if constexpr (hn::MaxLanes(D()) != 8) {  // a partial vector
    return hn::GatherIndex(d, table, j);
  } else {
    const __m512i i = j.raw;
    const __mmask8 bit4 = _mm512_test_epi64_mask(i, _mm512_set1_epi64(16));
    const __mmask8 bit5 = _mm512_test_epi64_mask(i, _mm512_set1_epi64(32));
    __m512d q[4];
    for (int k = 0; k < 4; ++k) {
      q[k] = _mm512_permutex2var_pd(_mm512_load_pd(table + 16 * k), i, _mm512_load_pd(table + 16 * k + 8));
    }
    const __m512d low = _mm512_mask_blend_pd(bit4, q[0], q[1]);
    const __m512d high = _mm512_mask_blend_pd(bit4, q[2], q[3]);
    return hn::Vec<D>{_mm512_mask_blend_pd(bit5, low, high)};
  }
#else
  return hn::GatherIndex(d, table, j);
#endif
}

// Both parts of x = k ln2/64 + r, k = 64 m + j, that do not depend on how r
// is found. Adding 1.5 * 2^52 rounds x * 64/ln2 to the integer k, left in the
// low bits of t: any k would do as long as |r| stays near ln2/128, which the
// product's rounding moves by 2^-42 at most.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V RoundToK(D d, V x) {
  return MulAddOnce(x, hn::Set(d, kInvLn2N), hn::Set(d, 0x1.8p52));
}

// j = k mod 64, and m << 52 (mod 2^64), m = k >> 6, from t's pattern: that of
// 1.5 * 2^52 plus k, where 1.5 * 2^52's is a multiple of 64 that moving by 46
// pushes out.
template <class D, class V = hn::Vec<D>>
HWY_INLINE hn::Vec<hn::RebindToSigned<D>> TableIndex(D, V t) {
  const hn::RebindToUnsigned<D> du;
  return hn::BitCast(hn::RebindToSigned<D>(), hn::And(hn::BitCast(du, t), hn::Set(du, 63)));
}
template <class D, class V = hn::Vec<D>>
HWY_INLINE hn::Vec<hn::RebindToUnsigned<D>> ScaleBits(D, V t) {
  return hn::ShiftLeft<52>(hn::ShiftRight<6>(hn::BitCast(hn::RebindToUnsigned<D>(), t)));
}

// p(r) with e^r - 1 - r = r^2 p(r) to 2^-69.0 for |r| <= ln2/128 + 2^-43,
// fitted with mpmath's chebyfit; the double coefficients' error checked at 300
// bits on a grid of 40,001 points and the ends, where it peaks.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V ExpPoly(D d, V r) {
  V p = MulAddOnce(hn::Set(d, 0x1.6c16d111822e8p-10), r, hn::Set(d, 0x1.111120b67c939p-7));
  p = MulAddOnce(p, r, hn::Set(d, 0x1.5555555555191p-5));
  p = MulAddOnce(p, r, hn::Set(d, 0x1.5555555554dcep-3));
  return MulAddOnce(p, r, hn::Set(d, 0.5));
}

// Stores y to out[0, lanes), but f(x) in the lanes set in `use`. Returns how
// many those were.
template <class D, class V, class F>
HWY_NOINLINE size_t StoreSlowLanes(D d, V x, V y, hn::Mask<D> use, F f, double* out) {
  HWY_ALIGN double xs[hn::MaxLanes(D())];
  uint8_t bits[8] = {};
  hn::Store(x, d, xs);
  hn::StoreU(y, d, out);
  hn::StoreMaskBits(d, use, bits);
  size_t n = 0;
  for (size_t i = 0; i < hn::Lanes(d); ++i) {
    if ((bits[i / 8] >> (i % 8)) & 1) {
      out[i] = f(xs[i]);
      ++n;
    }
  }
  return n;
}

}  // namespace exact_exp_detail

// A vector of results and the lanes that are not right in it.
template <class D>
struct Flagged {
  hn::Vec<D> value;
  hn::Mask<D> slow;  // these lanes must be taken from ExpAccurate
};

#if HWY_NATIVE_FMA
#include "vecmath/exact_exp_fma-inl.h"
#else
#include "vecmath/exact_exp_split-inl.h"
#endif

// 1 / (1 + exp(x)) with the scalar sigmoid's cut-offs, for x = -slope * sum,
// except in the lanes set in `slow`; K vectors at once.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void SigmoidOrFlag(D d, const V* x, Flagged<D>* out) {
  hn::Mask<D> one_lanes[K], zero_lanes[K];
  V settled[K];
  for (size_t i = 0; i < K; ++i) {
    one_lanes[i] = x[i] < hn::Set(d, kSigmoidOneBelow);
    zero_lanes[i] = x[i] > hn::Set(d, kSigmoidZeroAbove);
    // Lanes settled without exp get x = 0, which is never slow; NaN goes on
    // to exp as in the scalar code.
    settled[i] = hn::IfThenZeroElse(hn::Or(one_lanes[i], zero_lanes[i]), x[i]);
  }
  Flagged<D> sum[K];
  exact_exp_detail::OnePlusExpOrFlag<K>(d, settled, sum);
  const V one = hn::Set(d, 1.0);
  for (size_t i = 0; i < K; ++i) {
    const V s = one / sum[i].value;
    out[i] = {hn::IfThenElse(one_lanes[i], one, hn::IfThenZeroElse(zero_lanes[i], s)), sum[i].slow};
  }
}

template <class D, class V = hn::Vec<D>>
HWY_INLINE Flagged<D> ExpOrFlag(D d, V x) {
  Flagged<D> r;
  ExpOrFlag<1>(d, &x, &r);
  return r;
}

template <class D, class V = hn::Vec<D>>
HWY_INLINE Flagged<D> SigmoidOrFlag(D d, V x) {
  Flagged<D> r;
  SigmoidOrFlag<1>(d, &x, &r);
  return r;
}

// Exp(x) in every lane. Adds to *slow_lanes the number of lanes that took
// ExpAccurate.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V ExactExp(D d, V x, size_t* slow_lanes = nullptr) {
  const Flagged<D> r = ExpOrFlag(d, x);
  if (HWY_LIKELY(hn::AllFalse(d, r.slow))) return r.value;
  HWY_ALIGN double y[hn::MaxLanes(D())];
  const size_t n = exact_exp_detail::StoreSlowLanes(
      d, x, r.value, r.slow, [](double v) { return ExpAccurate(v); }, y);
  if (slow_lanes != nullptr) *slow_lanes += n;
  return hn::Load(d, y);
}

// ScalarSigmoid(slope, sum) in every lane; counts as ExactExp.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V ExactSigmoid(D d, V slope, V sum, size_t* slow_lanes = nullptr) {
  const V x = hn::Neg(slope) * sum;  // one rounding, as -slope * sum
  const Flagged<D> r = SigmoidOrFlag(d, x);
  if (HWY_LIKELY(hn::AllFalse(d, r.slow))) return r.value;
  HWY_ALIGN double y[hn::MaxLanes(D())];
  const size_t n = exact_exp_detail::StoreSlowLanes(d, x, r.value, r.slow, SigmoidSlow, y);
  if (slow_lanes != nullptr) *slow_lanes += n;
  return hn::Load(d, y);
}

}  // namespace korvane::vecmath::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_VECMATH_EXACT_EXP_INL_H_
