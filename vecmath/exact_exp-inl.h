// Vector exp and sigmoid, correctly rounded in every lane.
//
// Per-target code: include it from a file compiled once per Highway target
// (foreach_target.h). Build with -ffp-contract=off: a fused multiply-add in
// the splits and error-free sums below would silently break them, so no
// MulAdd here either.
//
// Method: compute exp(x) to about 2^-64 relative in double-double, round that
// to the nearest double, and keep it unless the exact value could lie on the
// other side of a rounding midpoint. Those lanes, and the ones outside the
// range proven here, are flagged for ExpAccurate.

// Shared by all targets: compiled once.
#ifndef KORVANE_VECMATH_EXACT_EXP_TABLE_H_
#define KORVANE_VECMATH_EXACT_EXP_TABLE_H_

namespace korvane::vecmath::detail {

// 2^(j/64) = kExp2Hi[j] + kExp2Lo[j] to 2^-79 relative, kExp2Hi[j] having 26
// bits so that its products with 26-bit halves are exact. Made with mpmath at
// 300 bits: t = 2**(j/64), hi = nint(t * 2**25) / 2**25, lo = float(t - hi).
alignas(64) inline constexpr double kExp2Hi[64] = {
    0x1p+0,         0x1.02c9a4p+0,  0x1.059b0dp+0,  0x1.0874518p+0, 0x1.0b5587p+0,  0x1.0e3ec3p+0,  0x1.11301dp+0,
    0x1.1429abp+0,  0x1.172b84p+0,  0x1.1a35be8p+0, 0x1.1d4873p+0,  0x1.2063b88p+0, 0x1.2387a7p+0,  0x1.26b4568p+0,
    0x1.29e9df8p+0, 0x1.2d285a8p+0, 0x1.306fe08p+0, 0x1.33c08bp+0,  0x1.371a738p+0, 0x1.3a7db38p+0, 0x1.3dea65p+0,
    0x1.4160a2p+0,  0x1.44e086p+0,  0x1.486a2b8p+0, 0x1.4bfdad8p+0, 0x1.4f9b278p+0, 0x1.5342b58p+0, 0x1.56f4738p+0,
    0x1.5ab07ep+0,  0x1.5e76f18p+0, 0x1.6247ebp+0,  0x1.662388p+0,  0x1.6a09e68p+0, 0x1.6dfb24p+0,  0x1.71f75e8p+0,
    0x1.75feb58p+0, 0x1.7a1147p+0,  0x1.7e2f338p+0, 0x1.8258998p+0, 0x1.868d998p+0, 0x1.8ace54p+0,  0x1.8f1ae98p+0,
    0x1.93737bp+0,  0x1.97d82ap+0,  0x1.9c4918p+0,  0x1.a0c6678p+0, 0x1.a5503bp+0,  0x1.a9e6b58p+0, 0x1.ae89f98p+0,
    0x1.b33a2b8p+0, 0x1.b7f76fp+0,  0x1.bcc1e9p+0,  0x1.c199bep+0,  0x1.c67f13p+0,  0x1.cb720ep+0,  0x1.d072d48p+0,
    0x1.d5818ep+0,  0x1.da9e6p+0,   0x1.dfc973p+0,  0x1.e502ee8p+0, 0x1.ea4afap+0,  0x1.efa1bfp+0,  0x1.f507658p+0,
    0x1.fa7c18p+0,
};
alignas(64) inline constexpr double kExp2Lo[64] = {
    0.0,
    -0x1.887f9f1190835p-28,
    0x1.8ac2ba1d73e2ap-27,
    0x1.d66f20230d7c9p-30,
    -0x1.833b784eb3a37p-27,
    0x1.69e8d10103a17p-27,
    0x1.25b50a4ebbf1bp-32,
    -0x1.56d2204cbefe7p-28,
    -0x1.c15742919041cp-27,
    0x1.b7e5ba9e5b4c8p-27,
    0x1.68b9aa7805b8p-28,
    0x1.8a3358ee3bac1p-30,
    -0x1.8a9dc7993e052p-28,
    -0x1.0ec1916d42cc6p-27,
    -0x1.70108f69ed175p-27,
    -0x1.1bfcf4bff6e2bp-28,
    0x1.18db8a96f46adp-27,
    0x1.320b7fa64e431p-27,
    -0x1.8aac6ab1d756p-29,
    -0x1.8d30048af21b7p-27,
    -0x1.f6e5eee525f6fp-27,
    0x1.f72e29f84325cp-28,
    0x1.8624b40c4dbdp-30,
    -0x1.1f6197f61f2e2p-27,
    -0x1.64eaec715e343p-27,
    -0x1.62d35952cc275p-28,
    -0x1.62b07e20f57c4p-28,
    -0x1.4ad82599135p-28,
    -0x1.5bd5eb539b67fp-27,
    -0x1.296f5bc8b20dap-27,
    0x1.d2ac258f87d03p-31,
    0x1.2a91124893ecfp-27,
    -0x1.80c4336f74d05p-28,
    -0x1.cd72e886ef8eap-27,
    0x1.d8bee7ba46e1ep-29,
    -0x1.bd98374091656p-28,
    0x1.f580c36bea881p-27,
    -0x1.30b19defa2fd4p-28,
    0x1.4cce128acf88bp-28,
    0x1.a2497640720edp-27,
    0x1.15506dadd3e2bp-27,
    0x1.1577362b98274p-28,
    0x1.9b8bc9e8a0388p-29,
    -0x1.0d8d83a30b6f8p-31,
    0x1.51f8480e3e236p-27,
    0x1.aef2b2594d6d4p-27,
    0x1.1f12ae45a1225p-27,
    -0x1.4301205e0a6dep-27,
    0x1.5ad3ad5e8734dp-28,
    0x1.3c57ebdaff43ap-30,
    0x1.7daf237553d84p-27,
    0x1.2f074891ee83dp-30,
    -0x1.3d56b1eeef9a7p-27,
    -0x1.a82eb4b5dec8p-28,
    -0x1.8837cb757e1a1p-27,
    0x1.03c4bdc687918p-27,
    -0x1.822dbc6d12fd3p-27,
    0x1.ed9942b84600dp-27,
    0x1.bdcdaf5cb4656p-27,
    -0x1.d30027630bb4p-30,
    0x1.52486cc2c7b9dp-27,
    -0x1.9ea5d888e02dep-28,
    0x1.b722a033a7c26p-27,
    0x1.9e90d82e90a7ep-28,
};

}  // namespace korvane::vecmath::detail

#endif  // KORVANE_VECMATH_EXACT_EXP_TABLE_H_

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

HWY_BEFORE_NAMESPACE();
namespace korvane::vecmath::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace exact_exp_detail {

// Our error bound, absolute: hi + lo is within 2^-64.9 relative of exp(x)
// 2^-m (budget in ExpParts), under 2^-63.9 for hi < 1.99; we allow 2^-63.
// Where hi + lo is further than this from a midpoint, the exact value is on
// the same side, and hi is exp(x) 2^-m correctly rounded.
constexpr double kErrorBound = 0x1p-63;
// For |x| <= 708.39 exp(x) is a normal double (ln 2^-1022 = -708.3964), and
// m below stays within +-1022.
constexpr double kMaxAbsX = 708.39;
constexpr double kInvLn2N = 0x1.71547652b82fep+6;  // 64 / ln 2
// ln2/64 = kLn2Hi + kLn2Lo to 2^-88 relative; kLn2Hi has 32 bits, so k * kLn2Hi
// is exact for |k| < 2^21.
constexpr double kLn2Hi = 0x1.62e42ffp-7;
constexpr double kLn2Lo = -0x1.718432a1b0e26p-41;

// s + e == a + b exactly, given |a| >= |b| (Dekker).
template <class V>
HWY_INLINE void FastTwoSum(V a, V b, V& s, V& e) {
  s = a + b;
  e = b - (s - a);
}

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

// For |x| <= kMaxAbsX: exp(x) = (hi + lo) * 2^m to 2^-64.9 relative, where hi
// is the double nearest that value, in (0.994, 1.99); m52 = m << 52. For K
// vectors at once, step by step, so that their chains overlap.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void ExpParts(D d, const V* x, V* hi, V* lo, hn::Vec<hn::RebindToUnsigned<D>>* m52) {
  const hn::RebindToUnsigned<D> du;
  const hn::RebindToSigned<D> di;
  const V one = hn::Set(d, 1.0);

  // x = k ln2/64 + r, k = 64 m + j. Adding 1.5 * 2^52 rounds x * 64/ln2 to the
  // integer k, left in the low bits of t. Any k would do as long as |r| stays
  // near ln2/128; the product's rounding adds 2^-42 at most.
  const V shift = hn::Set(d, 0x1.8p52);
  V t[K], r1[K], c[K], r[K], q[K];
  for (size_t i = 0; i < K; ++i) t[i] = x[i] * hn::Set(d, kInvLn2N) + shift;
  // r1 is exact: for |x| < 2^-8 k is 0, else x and k * kLn2Hi (|k| < 2^16)
  // are multiples of 2^-60 less than 2^-7 apart. r = r1 - c, c off by 2^-77.
  for (size_t i = 0; i < K; ++i) {
    const V kd = t[i] - shift;
    r1[i] = x[i] - kd * hn::Set(d, kLn2Hi);
    c[i] = kd * hn::Set(d, kLn2Lo);
  }
  for (size_t i = 0; i < K; ++i) r[i] = r1[i] - c[i];

  // e^r - 1 - r = r^2 * p(r) for |r| <= 0.00542 to 2^-68.9, p fitted with
  // mpmath's chebyfit (error checked on a fine grid).
  for (size_t i = 0; i < K; ++i) q[i] = hn::Set(d, 0x1.6c16d111822e8p-10) * r[i] + hn::Set(d, 0x1.111120b67c939p-7);
  for (size_t i = 0; i < K; ++i) q[i] = q[i] * r[i] + hn::Set(d, 0x1.5555555555191p-5);
  for (size_t i = 0; i < K; ++i) q[i] = q[i] * r[i] + hn::Set(d, 0x1.5555555554dcep-3);
  for (size_t i = 0; i < K; ++i) q[i] = q[i] * r[i] + hn::Set(d, 0.5);
  for (size_t i = 0; i < K; ++i) q[i] = q[i] * (r[i] * r[i]);

  // 2^(j/64) e^r = th + th*r1 + [th*(q - c) + tl*(1 + r + q)], th*r1 exact as
  // ph + pl: th has 26 bits, r1 splits into two 26-bit halves (Veltkamp).
  // Budget, relative: table 2^-79, reduction 2^-77, rounding r for q 2^-68,
  // p 2^-68.9, rounding in q 2^-67.5, bracket 2^-66.4, final sums 2^-67:
  // under 2^-64.9, i.e. 0.00027 ulp for a result in [1, 2).
  for (size_t i = 0; i < K; ++i) {
    const auto tbits = hn::BitCast(du, t[i]);
    const auto j = hn::BitCast(di, hn::And(tbits, hn::Set(du, 63)));
    const V th = Lookup64(d, detail::kExp2Hi, j);
    const V tl = Lookup64(d, detail::kExp2Lo, j);
    const V split = hn::Set(d, 0x1p27 + 1.0) * r1[i];
    const V r1h = split - (split - r1[i]);
    const V ph = th * r1[i];
    const V pl = (th * r1h - ph) + th * (r1[i] - r1h);
    const V small = th * (q[i] - c[i]) + tl * ((one + r[i]) + q[i]);
    V sum, e;
    FastTwoSum(th, ph, sum, e);
    FastTwoSum(sum, e + (pl + small), hi[i], lo[i]);
    // m << 52 (mod 2^64), m = k >> 6, from t's pattern: that of 1.5 * 2^52
    // plus k, where 1.5 * 2^52's is a multiple of 64 that moving by 46 pushes
    // out.
    m52[i] = hn::ShiftLeft<52>(hn::ShiftRight<6>(tbits));
  }
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

// exp(x), except in the lanes set in `slow`; K vectors at once. Where the
// only doubt is a nearby midpoint (`near`), `other` is the double beyond it:
// exp(x) rounds to hi or to it, every further double being over an ulp away.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void ExpOrFlag(D d, const V* x, Flagged<D>* out, V* other = nullptr, hn::Mask<D>* near = nullptr) {
  namespace ed = exact_exp_detail;
  const hn::RebindToUnsigned<D> du;
  V hi[K], lo[K];
  hn::Vec<hn::RebindToUnsigned<D>> m52[K];
  ed::ExpParts<K>(d, x, hi, lo, m52);
  const V one = hn::Set(d, 1.0);
  for (size_t i = 0; i < K; ++i) {
    // Results near or past the ends of the normal range, and infinities; NaN
    // compares false and is answered here.
    const auto slow = hn::Abs(x[i]) > hn::Set(d, ed::kMaxAbsX);
    // The midpoint on lo's side lies half an ulp from hi: 2^-53 above 1,
    // 2^-54 below it, where the ulp halves (also for 1 - tiny).
    const auto upper = hn::Or(hi[i] > one, hn::And(hi[i] == one, lo[i] > hn::Zero(d)));
    const V half = hn::IfThenElse(upper, hn::Set(d, 0x1p-53), hn::Set(d, 0x1p-54));
    const auto midpoint = hn::Abs(hn::Abs(lo[i]) - half) < hn::Set(d, ed::kErrorBound);
    // hi * 2^m, by adding m to the exponent: the result is normal.
    const auto bits = hn::BitCast(du, hi[i]) + m52[i];
    out[i] = {hn::IfThenElse(hn::IsNaN(x[i]), x[i] + x[i], hn::BitCast(d, bits)), hn::Or(slow, midpoint)};
    if (other != nullptr) {
      const auto step = hn::IfThenElse(hn::RebindMask(du, lo[i] > hn::Zero(d)), hn::Set(du, 1), hn::Set(du, ~0ull));
      other[i] = hn::BitCast(d, bits + step);  // hi's neighbour on lo's side, scaled
      near[i] = hn::AndNot(slow, midpoint);
    }
  }
}

template <class D, class V = hn::Vec<D>>
HWY_INLINE Flagged<D> ExpOrFlag(D d, V x) {
  Flagged<D> r;
  ExpOrFlag<1>(d, &x, &r);
  return r;
}

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
  Flagged<D> e[K];
  V other[K];
  hn::Mask<D> near[K];
  ExpOrFlag<K>(d, settled, e, other, near);
  const V one = hn::Set(d, 1.0);
  for (size_t i = 0; i < K; ++i) {
    // The sigmoid depends on exp only through fl(1 + e): when both values
    // exp may round to near a midpoint give the same sum, the lane is
    // settled (rounding is monotonic, and 1 / s is then the same too).
    const V sum = one + e[i].value;
    const auto same = hn::And(near[i], sum == one + other[i]);
    const V s = one / sum;
    out[i] = {hn::IfThenElse(one_lanes[i], one, hn::IfThenZeroElse(zero_lanes[i], s)), hn::AndNot(same, e[i].slow)};
  }
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
