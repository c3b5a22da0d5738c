// The network's thrust from its outputs, and the same choice made from the
// output sums with the sigmoid taken only where it can change the choice.
#include <algorithm>
#include <cmath>

#include "engine/network_flight.h"
#include "vecmath/exact_exp.h"

namespace korvane {

int PickAction(std::span<const double> outputs) {
  const int n = std::min<int>(static_cast<int>(outputs.size()), SimParams::NetOutputCount);
  int best = 0;
  for (int i = 1; i < n; ++i)
    if (outputs[i] > outputs[best]) best = i;
  return best;
}

// PickAction(o) for o[j] = ScalarSigmoid(slope, sums[j]) = S(x[j]), with
// x[j] = -slope * sums[j] and S(x) = 1 for x < -36.75, 0 for x > 710, else
// 1 / (1 + exp(x)); every argument below is about x, so it holds for any
// slope, zero and negative ones included (slope 0 with an infinite sum gives
// a NaN x).
//
// PickAction keeps the first index of the largest output: j takes over only
// when o[j] > o[best], so ties keep the lower index and a NaN never takes
// over; a NaN o[0] stays best, since nothing compares greater.
//
// Why an output j may be left out (its sigmoid never taken). At j's turn
// o[best] >= o[i] for every earlier i with a non-NaN o[i], unless o[0] is
// NaN (then nothing takes over at all): best only moves to larger values.
// - x[0] NaN: o[0] is NaN and stays best; the answer is 0.
// - x[j] NaN, j > 0: o[j] is NaN and never takes over.
// - x[j] >= x[i] + kPickApart for an earlier i, x[i] not NaN: o[j] <= o[i],
//   so j does not take over. S maps every non-NaN x into [0, 1] (exp >= 0).
//   If x[i] < -36.75, o[i] = 1. If x[j] > 710, o[j] = 0. Otherwise both lie
//   in [-36.75, 710] and exp of them is normal or, above 709.78, +inf (o[j] =
//   0 then). The test, rounded, still leaves x[j] - x[i] >= 2^-30 - 2^-43 >
//   2^-31 (|x| < 2^10, half an ulp <= 2^-43), so exp(x[j]) >= exp(x[i])
//   (1 + 2^-31) exactly; rounding is monotonic, so their rounded values keep
//   the order, and so do 1 + e and 1 / (1 + e): o[j] <= o[i]. Infinite x fall in the same cases: -inf gives 1,
//   +inf gives 0.
// - o[best] = 1, or x[i] < -36.75 (o[i] = 1) for an earlier i: no output
//   exceeds 1.
// What is left is compared exactly as PickAction compares it; with one
// output left, it is the answer.
//
// A clear winner needs no sigmoid at all: x[0] not NaN, m the index of the
// least non-NaN x, and PickIsClear(x[m], the least other non-NaN x), which
// asks x[m] <= 700 and one of the bands below. Then o[m] > o[k] for every
// other k whose o is not NaN, so m is the answer. If x[k] > 710, or
// exp(x[k]) overflows, o[k] = 0 < o[m].
// Otherwise, with e = exp rounded (within half an ulp) and s = fl(1 + e):
// - x[m] in [-20, 700], x[k] >= x[m] + 2^-19 (rounded: over 2^-19.01 apart):
//   e[k] - e[m] > 2^-19.02 e[m] with e[m] > 2^-28.9, so s[k] and s[m] differ
//   by over 2^-48 relative, more than the roundings of the sums (2^-53 each)
//   can undo, and so do the reciprocals.
// - x[m] in [-36.75, -20), x[k] >= x[m] + 2: e[m] >= 2^-53.1, e[k] >= 7.3
//   e[m], so 1 + e[k] exceeds 1 + e[m] by over two steps of 2^-52, s[k] >
//   s[m] on that grid, and 1 / s, within 2^-29 of 1, keeps them at least a
//   step of 2^-53 apart after rounding.
// - x[m] < -36.75: o[m] = 1; x[k] >= -36 gives e[k] > 2^-51.9, s[k] >= 1 +
//   2^-52 and o[k] < 1.
int PickFromSums(std::span<const double> sums, double slope) {
  const int n = std::min<int>(static_cast<int>(sums.size()), SimParams::NetOutputCount);
  if (n == 0) return 0;
  const double x0 = -slope * sums[0];
  if (std::isnan(x0)) return 0;
  int least = 0;
  double xLeast = x0;
  double xNext = HUGE_VAL;  // the least non-NaN x of the others
  for (int j = 1; j < n; ++j) {
    const double x = -slope * sums[j];
    if (x < xLeast) {
      xNext = xLeast;
      xLeast = x;
      least = j;
    } else if (x < xNext) {
      xNext = x;
    }
  }
  if (PickIsClear(xLeast, xNext)) return least;
  int best = 0;
  double xBest = x0;
  double oBest = 0.0;
  bool known = false;  // whether oBest holds S(xBest)
  for (int j = 1; j < n; ++j) {
    const double x = -slope * sums[j];
    if (!(x < xBest + kPickApart)) continue;  // NaN, or o[j] <= o[best]
    if (!known) {
      oBest = vecmath::ScalarSigmoid(slope, sums[best]);
      known = true;
    }
    if (oBest == 1.0) break;
    const double o = vecmath::ScalarSigmoid(slope, sums[j]);
    if (o > oBest) {
      best = j;
      xBest = x;
      oBest = o;
    }
  }
  return best;
}

}  // namespace korvane
