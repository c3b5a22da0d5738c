// The exp of exact_exp-inl.h for targets with fused multiply-adds (AVX2,
// AVX-512): each fused step rounds once, which keeps a product's rest without
// splitting it. Included by exact_exp-inl.h, inside its per-target namespace,
// after the shared steps.

namespace exact_exp_detail {

// ln2/64 = kLn2N1 + kLn2N2 to 2^-116 absolute, kLn2N1 the nearest double.
constexpr double kLn2N1 = 0x1.62e42fefa39efp-7;
constexpr double kLn2N2 = 0x1.abc9e3b39803fp-62;
// Our error bound, absolute: s + l below is within 22 * 2^-70 = 2^-65.5 of
// exp(x) 2^-m. Half the width of the bracket around s + l must exceed it and
// the rounding of l +- itself (2^-69); we allow 2.5 times that.
constexpr double kErrorBound = 22 * 0x1p-70;
constexpr double kBracket = 0x1p-64;
static_assert(kBracket > 2.5 * (kErrorBound + 0x1p-69));

// For |x| <= kMaxAbsX: exp(x) = (s + l) 2^m to 2^-65.5 absolute, s in
// (0.99, 1.99), |l| < 2^-15; m52 = m << 52. For K vectors at once, step by
// step, so that their chains overlap.
//
// x = k ln2/64 + R and 2^(j/64) = th e^rho give exp(x) 2^-m = th e^(R + rho),
// th the double nearest 2^(j/64), so no low part of the table is needed:
// - r1 = x - k kLn2N1 is exact: for |x| < 2^-8 k is 0; else x and k kLn2N1
//   are multiples of 2^-60 and r1, under 2^-7, has 53 bits at most.
// - c = k kLn2N2 - rho, |c| < 2^-44, rounds by 2^-97, and kLn2N2 and rho are
//   off by 2^-100 and 2^-77: R + rho = r1 - c to 2^-76.9; r = r1 - c, rounded,
//   is off by 2^-61 more, |r| <= ln2/128 + 2^-43.
// - th e^(r1 - c) = th + th r1 + th (q - c), q = e^r - 1 - r. s + e = th +
//   th r1 to 2^-107: s = th + th r1 rounded once, th - s exact (Sterbenz),
//   e = th r1 + (th - s), |e| <= 2^-53, rounded once.
// - l = th (q - c) + e, q - c = r^2 p(r) - c. Bound, absolute, in units of
//   2^-70, th < 1.98: p 1.97 th; r's rounding in q 2.79 th; r^2 and p
//   rounded, 2^-52 of r^2 p < 2^-16.05, 3.86 th; q - c rounded 1 th; the
//   table 0.01 th; l rounded (|l| < 2^-15) 2: 21.01 in all, under 22.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void ExpSum(D d, const V* x, V* s, V* l, hn::Vec<hn::RebindToUnsigned<D>>* m52) {
  const V shift = hn::Set(d, 0x1.8p52);
  V t[K], r1[K], c[K], r[K], th[K];
  for (size_t i = 0; i < K; ++i) t[i] = RoundToK(d, x[i]);
  for (size_t i = 0; i < K; ++i) {
    const V kd = t[i] - shift;
    const auto j = TableIndex(d, t[i]);
    th[i] = Lookup64(d, detail::kExp2Near.hi, j);
    r1[i] = hn::NegMulAdd(kd, hn::Set(d, kLn2N1), x[i]);
    c[i] = hn::MulSub(kd, hn::Set(d, kLn2N2), Lookup64(d, detail::kExp2Near.log_rest, j));
  }
  for (size_t i = 0; i < K; ++i) r[i] = r1[i] - c[i];
  for (size_t i = 0; i < K; ++i) {
    const V qc = hn::MulSub(r[i] * r[i], ExpPoly(d, r[i]), c[i]);
    s[i] = hn::MulAdd(th[i], r1[i], th[i]);
    const V e = hn::MulAdd(th[i], r1[i], th[i] - s[i]);
    l[i] = hn::MulAdd(th[i], qc, e);
    m52[i] = ScaleBits(d, t[i]);
  }
}

// For |x| <= kMaxAbsX: exp(x) 2^-m lies strictly between ya and yb before
// they are rounded, ya <= yb. The rounded ya and yb are then equal, and exp(x)
// 2^-m correctly rounded, unless a midpoint lies between them. Each of
// l +- kBracket rounds by 2^-69, which leaves exp(x) 2^-m inside.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void ExpBracket(D d, const V* x, V* ya, V* yb, hn::Vec<hn::RebindToUnsigned<D>>* m52) {
  V s[K], l[K];
  ExpSum<K>(d, x, s, l, m52);
  for (size_t i = 0; i < K; ++i) {
    ya[i] = s[i] + (l[i] - hn::Set(d, kBracket));
    yb[i] = s[i] + (l[i] + hn::Set(d, kBracket));
  }
}

// v 2^m, by adding m to the exponent: v 2^m is normal.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V Scaled(D d, V v, hn::Vec<hn::RebindToUnsigned<D>> m52) {
  return hn::BitCast(d, hn::BitCast(hn::RebindToUnsigned<D>(), v) + m52);
}

}  // namespace exact_exp_detail

// exp(x), except in the lanes set in `slow`; K vectors at once.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void ExpOrFlag(D d, const V* x, Flagged<D>* out) {
  namespace ed = exact_exp_detail;
  V ya[K], yb[K];
  hn::Vec<hn::RebindToUnsigned<D>> m52[K];
  ed::ExpBracket<K>(d, x, ya, yb, m52);
  for (size_t i = 0; i < K; ++i) {
    // Results near or past the ends of the normal range, and infinities. NaN
    // compares false in both tests and is answered here.
    const auto slow = hn::Or(hn::Abs(x[i]) > hn::Set(d, ed::kMaxAbsX), ya[i] < yb[i]);
    out[i] = {hn::IfThenElse(hn::IsNaN(x[i]), x[i] + x[i], ed::Scaled(d, ya[i], m52[i])), slow};
  }
}

namespace exact_exp_detail {

// fl(1 + exp(x)) for x >= kSigmoidOneBelow or NaN, except in the lanes set in
// `slow`; K vectors at once. The sigmoid depends on exp only through this
// sum: where both ends of the bracket give the same sum, so does exp(x)
// rounded, which lies between them.
template <size_t K, class D, class V = hn::Vec<D>>
HWY_INLINE void OnePlusExpOrFlag(D d, const V* x, Flagged<D>* out) {
  V ya[K], yb[K];
  hn::Vec<hn::RebindToUnsigned<D>> m52[K];
  ExpBracket<K>(d, x, ya, yb, m52);
  const V one = hn::Set(d, 1.0);
  for (size_t i = 0; i < K; ++i) {
    const V ea = hn::IfThenElse(hn::IsNaN(x[i]), x[i] + x[i], Scaled(d, ya[i], m52[i]));
    const V sum = one + ea;
    // NaN: sum is NaN and compares false.
    out[i] = {sum, hn::Or(x[i] > hn::Set(d, kMaxAbsX), sum < one + Scaled(d, yb[i], m52[i]))};
  }
}

}  // namespace exact_exp_detail
