// exp one value at a time: the vector code's fast path on a single lane,
// built once for the baseline target, and the precise path where it cannot
// settle the value.
#include "vecmath/exact_exp.h"

#include "vecmath/simd_targets.h"

#include "hwy/highway.h"
#include "vecmath/exact_exp-inl.h"

namespace korvane::vecmath {

double Exp(double x) {
  namespace hn = hwy::HWY_NAMESPACE;
  const hn::CappedTag<double, 1> d;
  const auto r = HWY_NAMESPACE::ExpOrFlag(d, hn::Set(d, x));
  if (HWY_UNLIKELY(!hn::AllFalse(d, r.slow))) return ExpAccurate(x);
  return hn::GetLane(r.value);
}

}  // namespace korvane::vecmath
