// The exp of exact_exp-inl.h for targets without fused multiply-adds: products
// made exact by splitting into halves. Included by exact_exp-inl.h, inside its
// per-target namespace, after the shared steps.

namespace exact_exp_detail {

// Our error bound, absolute: hi + lo is within 2^-64.9 relative of exp(x)
// 2^-m (budget in ExpParts), under 2^-63.9 for hi < 1.99; we allow 2^-63.
// Where hi + lo is further than this from a midpoint, the exact value is on
// the same side, and hi is exp(x) 2^-m correctly rounded.
constexpr double kErrorBound = 0x1p-63;
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

// For |x| <= kMaxAbsX: exp(x) = (hi + lo) * 2^m to 2^-64.9 relative, where hi
// is the double nearest that value, in (0.994, 1.99); m52 = m << 52. For K
// vectors at once, step by step, so that their chains overlap.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void ExpParts(D d, const V* x, V* hi, V* lo, hn::Vec<hn::RebindToUnsigned<D>>* m52) {
  const V one = hn::Set(d, 1.0);
  const V shift = hn::Set(d, 0x1.8p52);
  V t[K], r1[K], c[K], r[K], q[K];
  for (size_t i = 0; i < K; ++i) t[i] = RoundToK(d, x[i]);
  // r1 is exact: for |x| < 2^-8 k is 0, else x and k * kLn2Hi (|k| < 2^16)
  // are multiples of 2^-60 less than 2^-7 apart. r = r1 - c, c off by 2^-77.
  for (size_t i = 0; i < K; ++i) {
    const V kd = t[i] - shift;
    r1[i] = x[i] - kd * hn::Set(d, kLn2Hi);
    c[i] = kd * hn::Set(d, kLn2Lo);
  }
  for (size_t i = 0; i < K; ++i) r[i] = r1[i] - c[i];
  for (size_t i = 0; i < K; ++i) q[i] = ExpPoly(d, r[i]) * (r[i] * r[i]);

  // 2^(j/64) e^r = th + th*r1 + [th*(q - c) + tl*(1 + r + q)], th*r1 exact as
  // ph + pl: th has 26 bits, r1 splits into two 26-bit halves (Veltkamp).
  // Budget, relative: table 2^-79, reduction 2^-77, rounding r for q 2^-68,
  // p 2^-68.9, rounding in q 2^-67.5, bracket 2^-66.4, final sums 2^-67:
  // under 2^-64.9, i.e. 0.00027 ulp for a result in [1, 2).
  for (size_t i = 0; i < K; ++i) {
    const auto j = TableIndex(d, t[i]);
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
    m52[i] = ScaleBits(d, t[i]);
  }
}

}  // namespace exact_exp_detail

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

namespace exact_exp_detail {

// fl(1 + exp(x)), except in the lanes set in `slow`; K vectors at once. The
// sigmoid depends on exp only through this sum: when both values exp may
// round to near a midpoint give the same sum, the lane is settled (rounding
// is monotonic, and 1 / sum is then the same too).
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void OnePlusExpOrFlag(D d, const V* x, Flagged<D>* out) {
  Flagged<D> e[K];
  V other[K];
  hn::Mask<D> near[K];
  ExpOrFlag<K>(d, x, e, other, near);
  const V one = hn::Set(d, 1.0);
  for (size_t i = 0; i < K; ++i) {
    const V sum = one + e[i].value;
    const auto same = hn::And(near[i], sum == one + other[i]);
    out[i] = {sum, hn::AndNot(same, e[i].slow)};
  }
}

}  // namespace exact_exp_detail
