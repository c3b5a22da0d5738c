// Per-target: CheckCollision over SIMD lanes, for lanes whose squares cannot
// wrap (LaneLevel::limit); the caller runs CheckCollision itself for the rest.
// Included from lockstep-inl.h.
#if defined(KORVANE_ENGINE_LOCKSTEP_PERCEPTION_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KORVANE_ENGINE_LOCKSTEP_PERCEPTION_INL_H_
#undef KORVANE_ENGINE_LOCKSTEP_PERCEPTION_INL_H_
#else
#define KORVANE_ENGINE_LOCKSTEP_PERCEPTION_INL_H_
#endif

#include <cmath>
#include <cstdint>

#include "engine/lockstep.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace lanes {

// One slot of the perception table, kept as what its vector is made of:
// the vector is (gap / dist) * (ix, iy), worked out once, at the end.
template <class D>
struct Slot {
  hn::Vec<D> gap, dist, ix, iy;
  // Bounds on the squared length of the vector, mag, that CheckCollision
  // compares a new gap's square with; exact for the filler.
  hn::Vec<D> below, above;
  hn::Vec<D> reach;  // CheckCollision's slotReach
  hn::Mask<D> filled;
};

template <class D>
HWY_INLINE Slot<D> Choose(hn::Mask<D> m, const Slot<D>& yes, const Slot<D>& no) {
  return {hn::IfThenElse(m, yes.gap, no.gap),     hn::IfThenElse(m, yes.dist, no.dist),
          hn::IfThenElse(m, yes.ix, no.ix),       hn::IfThenElse(m, yes.iy, no.iy),
          hn::IfThenElse(m, yes.below, no.below), hn::IfThenElse(m, yes.above, no.above),
          hn::IfThenElse(m, yes.reach, no.reach), hn::Or(hn::And(m, yes.filled), hn::AndNot(m, no.filled))};
}

// mag as CheckCollision has it: dx * dx + dy * dy of the stored vector.
template <class D>
HWY_INLINE hn::Vec<D> ExactMag(const Slot<D>& s, hn::Vec<D> filler) {
  const hn::Vec<D> q = s.gap / s.dist;
  const hn::Vec<D> mx = q * s.ix;
  const hn::Vec<D> my = q * s.iy;
  return hn::IfThenElse(s.filled, mx * mx + my * my, filler);
}

// The lanes set in m, lane i as bit i, without a trip through memory.
template <class D>
HWY_INLINE uint32_t MaskBits(D d, hn::Mask<D> m) {
#if HWY_TARGET == HWY_AVX3
  (void)d;
  return static_cast<uint32_t>(m.raw);
#elif HWY_TARGET == HWY_AVX2
  (void)d;
  return static_cast<uint32_t>(_mm256_movemask_pd(m.raw));
#else
  uint8_t bytes[8] = {};
  hn::StoreMaskBits(d, m, bytes);
  return bytes[0] | (static_cast<uint32_t>(bytes[1]) << 8);
#endif
}

// A lane's lifeboat as the scalar code holds it, for CheckCollision itself.
template <class Lanes>
HWY_INLINE CLifeboat LaneBoat(const Lanes& b, size_t lane, double scale) {
  CLifeboat boat;
  boat.m_position = {b.x[lane], b.y[lane]};
  boat.m_velocity = {b.vx[lane], b.vy[lane]};
  boat.m_scale = scale;
  return boat;
}

// One vector of lifeboats, and those beyond their level's limit, whose
// results the caller replaces.
template <class D>
struct Boats {
  hn::Vec<D> x, y;
  hn::Mask<D> beyond;
};

template <class D>
HWY_INLINE Boats<D> LoadBoats(D d, const LaneBuffers& b, size_t at) {
  const hn::Vec<D> x = hn::Load(d, b.x + at);
  const hn::Vec<D> y = hn::Load(d, b.y + at);
  const hn::Vec<D> limit = hn::Load(d, b.limit + at);
  return {x, y, hn::Not(hn::And(hn::Abs(x) < limit, hn::Abs(y) < limit))};
}

// A meteor (row `at` of the meteor columns) from the lifeboats: ix, iy and
// d2 as CheckCollision has them (exact within the limit, see Perceive), and
// the crash distance squared (-inf for padding).
template <class D>
struct Offset {
  hn::Vec<D> ix, iy, d2, crashSq;
};

template <class D>
HWY_INLINE Offset<D> OffsetTo(D d, const LaneBuffers& b, size_t at, const Boats<D>& boats) {
  const hn::Vec<D> zero = hn::Zero(d);
  const hn::Vec<D> ix = hn::Trunc(hn::Load(d, b.ox + at) - boats.x) + zero;
  const hn::Vec<D> iy = hn::Trunc(hn::Load(d, b.oy + at) - boats.y) + zero;
  return {ix, iy, ix * ix + iy * iy, hn::Load(d, b.crashSq + at)};
}

// Stores slot `row`'s vector, (gap / dist) * (ix, iy) or the filler's, for the
// lanes at `at`, after the range filter: far meteors, and meteors behind at
// some distance, keep only their x component.
template <size_t kN, class D>
HWY_INLINE void StoreSlot(D d, LaneBuffers& b, int row, size_t at, hn::Vec<D> q, hn::Vec<D> ix, hn::Vec<D> iy,
                          hn::Mask<D> filled) {
  const hn::Vec<D> empty = hn::Set(d, NoMeteor);
  const hn::Vec<D> dx = hn::IfThenElse(filled, q * ix, empty);
  const hn::Vec<D> dy = hn::IfThenElse(filled, q * iy, empty);
  const hn::Vec<D> l = hn::Trunc(dx * dx + dy * dy);
  const auto far = hn::Or(l > hn::Set(d, 360000.0), hn::And(l > hn::Set(d, 40000.0), dx < hn::Zero(d)));
  hn::Store(dx, d, b.dx + static_cast<size_t>(row) * kN + at);
  hn::Store(hn::IfThenElse(far, empty, dy), d, b.dy + static_cast<size_t>(row) * kN + at);
}

// Out through the left, top or bottom edge.
template <class D>
HWY_INLINE hn::Mask<D> OutOfField(D d, const Boats<D>& boats, hn::Vec<D> hull) {
  const hn::Vec<D> zero = hn::Zero(d);
  return hn::Or(boats.x - hull < zero,
                hn::Or(boats.y - hull<zero, boats.y + hull> hn::Set(d, static_cast<double>(PlayfieldHeight))));
}

// CheckCollision for all kN lanes, a vector of them at a time: sets `crash`
// to the lanes that crashed and `wrap` to the lanes outside their level's
// limit, whose results must be replaced, and writes the perception table for
// k slots (KMax at most).
//
// Within the limit, ix and iy are integers below 32767 in magnitude, so
// ix * ix + iy * iy is exact in doubles and equals the 32-bit square; +0.0
// turns trunc's -0 into the 0 the integer conversion gives (its sign reaches
// dx). Meteors are taken in order, as CheckCollision takes them; one that
// CheckCollision's proven bound skips in every lane is skipped here too (a
// skipped meteor enters no slot, so skipping in only some lanes would change
// nothing either).
//
// Insertion compares gap * gap with each slot's mag. mag is gap_s^2 of the
// slot's own gap within a few roundings: q = gap_s / dist_s, dist_s =
// sqrt(d2_s) and the squares and sum of q * ix_s, q * iy_s each round once,
// all products and quotients of positive factors, so mag / gap_s^2 lies
// within (1 +- 2^-53)^8. The slot keeps gap_s^2 (1 -+ 2^-40), rounded, below
// and above every such mag; a square outside them is decided, one between
// them compares with the exact mag. A gap of 0 gives bounds of 0 and mag 0.
template <int KMax, size_t kN, class D>
HWY_INLINE void Perceive(D d, LaneBuffers& b, int k, int meteors, hn::Vec<D> hull, hn::Mask<D>* crash,
                         hn::Mask<D>* wrap) {
  using V = hn::Vec<D>;
  constexpr size_t kL = hn::MaxLanes(D());
  constexpr size_t kGroups = kN / kL;
  const V zero = hn::Zero(d);
  const V filler = hn::Set(d, NoMeteor * NoMeteor + NoMeteor * NoMeteor);
  const V lower = hn::Set(d, 1.0 - 0x1p-40);
  const V upper = hn::Set(d, 1.0 + 0x1p-40);
  const hn::Mask<D> none = zero < zero;
  static const double kFillerReach = std::sqrt(NoMeteor * NoMeteor + NoMeteor * NoMeteor);
  Boats<D> boats[kGroups];
  V reach[kGroups];
  Slot<D> slot[kGroups][KMax > 0 ? KMax : 1];
  for (size_t g = 0; g < kGroups; ++g) {
    boats[g] = LoadBoats(d, b, g * kL);
    wrap[g] = boats[g].beyond;
    crash[g] = none;
    reach[g] = hn::Set(d, kFillerReach);
    for (int j = 0; j < k; ++j) slot[g][j] = {zero, zero, zero, zero, filler, filler, reach[g], none};
  }

  for (int i = 0; i < meteors; ++i) {
    for (size_t g = 0; g < kGroups; ++g) {
      const size_t at = static_cast<size_t>(i) * kN + g * kL;
      const Offset<D> o = OffsetTo(d, b, at, boats[g]);
      const V ix = o.ix, iy = o.iy, d2 = o.d2;
      crash[g] = hn::Or(crash[g], d2 <= o.crashSq);
      if (KMax == 0 || k == 0) continue;
      const V radius = hn::Load(d, b.radius + at);
      const V far = (radius + reach[g]) * hn::Set(d, 1.0 + 1e-9) + hn::Set(d, 1e-6);
      if (hn::AllTrue(d, hn::Or(hn::And(far > zero, d2 >= far * far), o.crashSq < zero))) continue;  // or padding
      const V dist = hn::Sqrt(d2);
      const V gap = dist - radius;
      const V gap2 = gap * gap;
      Slot<D>* s = slot[g];
      hn::Mask<D> ins[KMax > 0 ? KMax : 1];
      hn::Mask<D> unsure = none;
      for (int j = 0; j < k; ++j) {
        ins[j] = gap2 < s[j].below;
        unsure = hn::Or(unsure, hn::AndNot(ins[j], gap2 < s[j].above));
      }
      if (HWY_UNLIKELY(!hn::AllFalse(d, unsure)))
        for (int j = 0; j < k; ++j) ins[j] = gap2 < ExactMag(s[j], filler);
      // The first slot it beats takes it; the ones after move down.
      const V slotReach = hn::Abs(gap) * hn::Set(d, 1.0 + 1e-12) + hn::Set(d, 1e-12);  // the square did not wrap
      const Slot<D> fresh{gap, dist, ix, iy, gap2 * lower, gap2 * upper, slotReach, hn::Not(none)};
      hn::Mask<D> before[KMax > 0 ? KMax : 1];  // before[m]: it goes into a slot above m
      before[0] = none;
      for (int m = 1; m < k; ++m) before[m] = hn::Or(before[m - 1], ins[m - 1]);
      for (int m = k - 1; m >= 0; --m) s[m] = Choose(before[m], s[m > 0 ? m - 1 : 0], Choose(ins[m], fresh, s[m]));
      reach[g] = s[0].reach;
      for (int j = 1; j < k; ++j) reach[g] = hn::Max(reach[g], s[j].reach);
    }
  }

  for (size_t g = 0; g < kGroups; ++g) {
    for (int j = 0; j < k; ++j) {
      const Slot<D>& s = slot[g][j];
      StoreSlot<kN>(d, b, j, g * kL, s.gap / s.dist, s.ix, s.iy, s.filled);
    }
    crash[g] = hn::Or(crash[g], OutOfField(d, boats[g], hull));
  }
}

// A bound on sqrt(d2) without a square root, relative error below kRootError:
// AVX-512's 14-bit reciprocal root, or on AVX2 the 12-bit one of floats.
template <class D>
HWY_INLINE hn::Vec<D> RoughRoot(D d, hn::Vec<D> d2) {
  const hn::Vec<D> at = hn::Max(d2, hn::Set(d, 1.0));  // d2 is a whole number; 0 stays 0
#if HWY_TARGET == HWY_AVX3
  return d2 * hn::Vec<D>{_mm512_rsqrt14_pd(at.raw)};
#else
  return d2 * hn::Vec<D>{_mm256_cvtps_pd(_mm_rsqrt_ps(_mm256_cvtpd_ps(at.raw)))};
#endif
}
#if HWY_TARGET == HWY_AVX3
constexpr double kRootError = 0x1p-12;  // rsqrt14: 2^-14
#else
constexpr double kRootError = 0x1p-8;  // rsqrtps: 1.5 * 2^-12, and two conversions
#endif

// CheckCollision with one slot, in one pass without square roots: with one
// slot, the table ends up holding the meteor of least gap, whenever that
// meteor is clear of all others. Each meteor's computed gap fl(fl(sqrt(d2))
// - r) lies between lo and hi, worked out from the rough root with margins
// above its error. When the second least lo exceeds G (1 + 2^-30), G the
// least hi (of meteor m, the first with it), every other meteor's gap is
// above gap_m (1 + 2^-30), and gaps are >= 0 in a lane that has not crashed
// (hull >= 0). Then m enters the slot when its turn comes: gap_m^2 is below
// the filler's mag and below every earlier meteor's mag, which is the square
// of a gap over gap_m (1 + 2^-30) within (1 +- 2^-53)^8 (see Perceive); and
// no later meteor enters, its gap^2 being as far above m's mag. So the slot
// is m, whose vector is then worked out exactly. Returns false when some lane
// within its limit is not that clear: the caller runs Perceive instead.
template <size_t kN, class D>
HWY_INLINE bool PerceiveNearest(D d, LaneBuffers& b, int meteors, hn::Vec<D> hull, hn::Mask<D>* crash,
                                hn::Mask<D>* wrap) {
  using V = hn::Vec<D>;
  constexpr size_t kL = hn::MaxLanes(D());
  constexpr size_t kGroups = kN / kL;
  const V zero = hn::Zero(d);
  const V inf = hn::Set(d, HUGE_VAL);
  const V above = hn::Set(d, 1.0 + kRootError);
  const V below = hn::Set(d, 1.0 - kRootError);
  Boats<D> boats[kGroups];
  V least[kGroups], lo1[kGroups], lo2[kGroups];
  V ix[kGroups], iy[kGroups], radius[kGroups];  // meteor m's
  for (size_t g = 0; g < kGroups; ++g) {
    boats[g] = LoadBoats(d, b, g * kL);
    wrap[g] = boats[g].beyond;
    crash[g] = zero < zero;
    least[g] = lo1[g] = lo2[g] = inf;
    ix[g] = iy[g] = radius[g] = zero;
  }
  // The squares are exact (see Perceive), so the sum's one rounding in a
  // fused multiply-add changes nothing, and m's is worked out again at the
  // end; the bounds take one rounding less than their margins allow for.
  for (int i = 0; i < meteors; ++i) {
    for (size_t g = 0; g < kGroups; ++g) {
      const size_t at = static_cast<size_t>(i) * kN + g * kL;
      const V x = hn::Trunc(hn::Load(d, b.ox + at) - boats[g].x);
      const V y = hn::Trunc(hn::Load(d, b.oy + at) - boats[g].y);
      const V d2 = hn::MulAdd(x, x, y * y);
      crash[g] = hn::Or(crash[g], d2 <= hn::Load(d, b.crashSq + at));
      const V r = hn::Load(d, b.radius + at);
      const V root = RoughRoot(d, d2);
      const V hi = hn::MulSub(root, above, r);
      const V lo = hn::MulSub(root, below, r);
      const auto take = hi < least[g];
      least[g] = hn::IfThenElse(take, hi, least[g]);
      ix[g] = hn::IfThenElse(take, x, ix[g]);
      iy[g] = hn::IfThenElse(take, y, iy[g]);
      radius[g] = hn::IfThenElse(take, r, radius[g]);
      lo2[g] = hn::Min(lo2[g], hn::Max(lo1[g], lo));
      lo1[g] = hn::Min(lo1[g], lo);
    }
  }
  const V apart = hn::Set(d, 1.0 + 0x1p-30);
  for (size_t g = 0; g < kGroups; ++g)
    if (!hn::AllFalse(d, hn::AndNot(wrap[g], hn::Not(lo2[g] > least[g] * apart)))) return false;

  for (size_t g = 0; g < kGroups; ++g) {
    // + 0.0: trunc's -0 as the integer conversion gives it (its sign reaches dx).
    const V x = ix[g] + zero;
    const V y = iy[g] + zero;
    const V dist = hn::Sqrt(x * x + y * y);
    StoreSlot<kN>(d, b, 0, g * kL, (dist - radius[g]) / dist, x, y, least[g] < inf);
    crash[g] = hn::Or(crash[g], OutOfField(d, boats[g], hull));
  }
  return true;
}

}  // namespace lanes
}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_ENGINE_LOCKSTEP_PERCEPTION_INL_H_
