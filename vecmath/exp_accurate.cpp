// exp(x) correctly rounded for every double, slowly: the fallback for the few
// inputs whose fast value lies too near a rounding midpoint to decide, and for
// the ends of the range. Fixed point in 64-bit limbs with an error bound; when
// even that cannot decide, again with twice the limbs (Ziv's strategy).
//
// How near can exp(x) come to a midpoint? The worst cases found by exhaustive
// search for exp in double precision need about 2^-113 relative, and other
// correctly rounded exps decide every double with about 128 bits. The first
// stage errs by under 2^-121, the second (never needed so far) by 2^-249.
#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vecmath/exact_exp.h"
#include "vecmath/exp_accurate.h"

namespace korvane::vecmath {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// Little-endian: w[0] is the least significant limb.
template <int N>
using Limbs = std::array<u64, N>;

template <class L>
constexpr void Add(L& a, const L& b) {
  u64 carry = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const u128 s = static_cast<u128>(a[i]) + b[i] + carry;
    a[i] = static_cast<u64>(s);
    carry = static_cast<u64>(s >> 64);
  }
}

template <class L>
constexpr void Subtract(L& a, const L& b) {  // modulo 2^(64 limbs)
  u64 borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const u128 d = static_cast<u128>(a[i]) - b[i] - borrow;
    a[i] = static_cast<u64>(d);
    borrow = static_cast<u64>(d >> 64) & 1;
  }
}

template <class L>
constexpr bool Less(const L& a, const L& b) {
  for (std::size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i];
  return false;
}

template <int N>
constexpr Limbs<N> Small(u64 v) {
  Limbs<N> r{};
  r[0] = v;
  return r;
}

template <int N>
constexpr Limbs<N> PowerOfTwo(int e) {
  Limbs<N> r{};
  r[e / 64] = u64{1} << (e % 64);
  return r;
}

// One stage: numbers in [0, 4) as fixed point with F = 64 N - 2 fraction bits.
template <int N>
struct Stage {
  static constexpr int F = 64 * N - 2;
  // The computed exp(r) is within this many units of 2^-F of the true one:
  // the reduction errs by under 2 units, so exp(r) by under 3; each Horner
  // step adds under 3 (a truncated coefficient, a truncated product, r's
  // error) and damps what came before by |r| < 0.35, 5 in all; the series'
  // tail adds under 1.
  static constexpr u64 kError = 16;

  // Terms after which the series' tail stays below 2^-F for |r| < 0.35.
  static constexpr int Terms() {
    double unit = 1.0;
    for (int i = 0; i < F; ++i) unit *= 0.5;
    int n = 0;
    for (double next = 0.35; next / 0.65 >= unit; next *= 0.35 / (n + 1)) ++n;  // 0.35^(n+1) / (n+1)!
    return n;
  }
  static constexpr int kTerms = Terms();

  // floor(2^F / n!) for n = 0..kTerms: floor(floor(a / b) / c) = floor(a / (b c)).
  static constexpr std::array<Limbs<N>, kTerms + 1> InverseFactorials() {
    std::array<Limbs<N>, kTerms + 1> c{};
    c[0] = PowerOfTwo<N>(F);
    for (int n = 1; n <= kTerms; ++n) {
      u128 rest = 0;
      for (int i = N - 1; i >= 0; --i) {
        const u128 cur = (rest << 64) | c[n - 1][i];
        c[n][i] = static_cast<u64>(cur / static_cast<u64>(n));
        rest = cur % static_cast<u64>(n);
      }
    }
    return c;
  }
  static constexpr std::array<Limbs<N>, kTerms + 1> kInverseFactorial = InverseFactorials();

  // floor(ln 2 2^(F + 64)): the first N + 1 words shifted right by 2.
  static constexpr Limbs<N + 1> Ln2() {
    Limbs<N + 1> l{};
    for (int i = 0; i <= N; ++i) l[N - i] = detail::kLn2[i];
    for (int i = 0; i <= N; ++i) l[i] = (l[i] >> 2) | (i < N ? l[i + 1] << 62 : 0);
    return l;
  }
  static constexpr Limbs<N + 1> kLn2F = Ln2();

  // (a b) >> F, for a, b < 2^(F + 1).
  static Limbs<N> MulHigh(const Limbs<N>& a, const Limbs<N>& b) {
    u64 p[2 * N] = {};
    for (int i = 0; i < N; ++i) {
      u64 carry = 0;
      for (int j = 0; j < N; ++j) {
        const u128 t = static_cast<u128>(a[i]) * b[j] + p[i + j] + carry;
        p[i + j] = static_cast<u64>(t);
        carry = static_cast<u64>(t >> 64);
      }
      p[i + N] = carry;
    }
    Limbs<N> r;
    for (int i = 0; i < N; ++i) r[i] = (p[N + i] << 2) | (p[N - 1 + i] >> 62);
    return r;
  }

  // |x - k ln 2| 2^F, and whether x - k ln 2 < 0; |x| in [2^-54, 746].
  static Limbs<N> Reduce(double x, int k, bool& negative) {
    u64 bits;
    std::memcpy(&bits, &x, sizeof bits);
    const u64 mantissa = (bits & ((u64{1} << 52) - 1)) | (u64{1} << 52);
    const int shift = static_cast<int>((bits >> 52) & 0x7ff) - 1075 + F;  // |x| = mantissa 2^(shift - F)
    Limbs<N + 1> d{};
    d[shift / 64] = mantissa << (shift % 64);
    if (shift % 64 > 11) d[shift / 64 + 1] = mantissa >> (64 - shift % 64);
    // |k| ln 2 2^F, from a product one limb wider with its low limb dropped.
    const u64 absK = static_cast<u64>(k < 0 ? -k : k);
    Limbs<N + 1> kl{};
    u64 carry = static_cast<u64>((static_cast<u128>(kLn2F[0]) * absK) >> 64);
    for (int i = 0; i < N + 1; ++i) {
      const u128 t = static_cast<u128>(i < N ? kLn2F[i + 1] : 0) * absK + carry;
      kl[i] = static_cast<u64>(t);
      carry = static_cast<u64>(t >> 64);
    }
    Subtract(d, kl);  // k has x's sign, so x - k ln 2 = sign(x) (|x| - |k| ln 2)
    negative = std::signbit(x);
    if (d[N] >> 63) {
      Limbs<N + 1> flipped{};
      Subtract(flipped, d);
      d = flipped;
      negative = !negative;
    }
    Limbs<N> r;
    for (int i = 0; i < N; ++i) r[i] = d[i];
    return r;
  }

  // exp(x) rounded to nearest, if this stage can tell or `last` says decide
  // anyway; 2^-54 < |x| and exp(x) lies between 2^-1076 and 2^1025.
  static bool Round(double x, double& out, bool last) {
    const int k = static_cast<int>(std::nearbyint(x * 0x1.71547652b82fep0));  // x / ln 2
    bool negative = false;
    const Limbs<N> r = Reduce(x, k, negative);
    Limbs<N> s = kInverseFactorial[kTerms];
    for (int n = kTerms - 1; n >= 0; --n) {  // Horner; every partial sum stays positive
      const Limbs<N> t = MulHigh(r, s);
      s = kInverseFactorial[n];
      if (negative)
        Subtract(s, t);
      else
        Add(s, t);
    }
    // exp(x) = s 2^(k - F), s in [0.7, 1.5] 2^F. Drop the bits below the last
    // one the double keeps (fewer for a subnormal), then look at the rest.
    const int lead = s[N - 1] >> 62 ? F : F - 1;
    const int exponent = k + lead - F;
    const int drop = lead - 52 + (exponent < -1022 ? -1022 - exponent : 0);
    if (drop > lead + 1) {  // under half the least subnormal
      out = 0.0;
      return true;
    }
    Limbs<N> rest = s;
    for (int i = N - 1; i >= 0; --i) {
      const int from = i * 64;
      if (from >= drop)
        rest[i] = 0;
      else if (from + 64 > drop)
        rest[i] &= (u64{1} << (drop - from)) - 1;
    }
    u64 kept = 0;
    for (int i = 0; i < N; ++i) {
      const int from = i * 64 - drop;  // where limb i lands in kept
      if (from >= 64 || from <= -64) continue;
      kept |= from >= 0 ? s[i] << from : s[i] >> -from;
    }
    const Limbs<N> half = PowerOfTwo<N>(drop - 1);
    Limbs<N> low = half, high = half;  // the midpoint, widened by the error
    Subtract(low, Small<N>(kError));
    Add(high, Small<N>(kError));
    if (!last && !Less(high, rest) && !Less(rest, low)) return false;
    if (Less(half, rest)) ++kept;
    out = std::ldexp(static_cast<double>(kept), k - F + drop);
    return true;
  }
};

}  // namespace

namespace detail {

bool ExpFixedPoint(double x, int limbs, double& out) {
  return limbs == 2 ? Stage<2>::Round(x, out, false) : Stage<4>::Round(x, out, false);
}

}  // namespace detail

double ExpAccurate(double x, bool* wider) {
  if (wider != nullptr) *wider = false;
  if (std::isnan(x)) return x + x;
  if (std::isinf(x)) return x > 0 ? x : 0.0;   // exact: no flags
  if (std::abs(x) <= 0x1p-54) return 1.0 + x;  // 1 (1 - 2^-54 ties to 1)
  // exp(709.79) > 2^1024, exp(-745.2) < 2^-1075: beyond, the ends decide.
  double y = x > 709.79 ? HUGE_VAL : 0.0;
  if (x >= -745.2 && x <= 709.79 && !Stage<2>::Round(x, y, false)) {
    if (wider != nullptr) *wider = true;
    Stage<4>::Round(x, y, true);
  }
  if (y == HUGE_VAL || y < 0x1p-1022) {  // overflow or underflow: errno and the flags
    errno = ERANGE;
    volatile double extreme = y == HUGE_VAL ? 0x1p1023 : 0x1p-1022;
    extreme = extreme * extreme;
  }
  return y;
}

double SigmoidSlow(double x) { return 1.0 / (1.0 + ExpAccurate(x)); }

}  // namespace korvane::vecmath
