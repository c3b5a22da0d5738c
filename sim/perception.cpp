#include "sim/perception.h"

#include "sim/trunc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvane {

int CheckCollision(Perception& per, const CLifeboat& boat, const MeteorField& field, int k) {
  if (k < 0) k = 0;
  if (k > MaxPerceived) k = MaxPerceived;
  double* dx = per.m_perceivedDx;
  double* dy = per.m_perceivedDy;
  int* idx = per.m_perceivedIndex;
  for (int j = 0; j < MaxPerceived; ++j) dx[j] = dy[j] = NoMeteor;

  const double bx = boat.m_position.x;
  const double by = boat.m_position.y;
  const double hull = HullRadius * boat.m_scale;
  double c = NoMeteor;
  // Squared length of each slot's vector, and a bound on the longest one: a
  // meteor clearly farther than every slot cannot enter the table, so its
  // square root need not be taken.
  static const double kFillerReach = std::sqrt(NoMeteor * NoMeteor + NoMeteor * NoMeteor);
  double mag[MaxPerceived];
  double slotReach[MaxPerceived];
  for (int j = 0; j < k; ++j) {
    mag[j] = dx[j] * dx[j] + dy[j] * dy[j];
    slotReach[j] = kFillerReach;
  }
  double reach = kFillerReach;
  const int n = field.count < MaxObstacles ? field.count : MaxObstacles;
  for (int i = 0; i < n; ++i) {
    const Obstacle& o = field.obstacles[i];
    const int ix = TruncToInt(o.x - bx);
    const int iy = TruncToInt(o.y - by);
    // A 32-bit int square: wraps around for offsets beyond 46340. The exact
    // sum is unsigned: two squares of INT_MIN (an offset beyond the int
    // range) reach 2^63.
    const std::uint64_t exact = static_cast<std::uint64_t>(static_cast<std::int64_t>(ix) * ix) +
                                static_cast<std::uint64_t>(static_cast<std::int64_t>(iy) * iy);
    const auto sq = static_cast<std::int32_t>(static_cast<std::uint32_t>(exact));
    const bool wrapped = sq < 0 || exact != static_cast<std::uint64_t>(sq);
    const double d2 = static_cast<double>(sq);
    if (d2 < c) c = d2;
    const double r = hull + o.radius;
    if (d2 <= r * r) return 1;
    if (k == 0) continue;
    // The margin is far above the rounding of the exact test below.
    const double far = (o.radius + reach) * (1.0 + 1e-9) + 1e-6;
    if (far > 0 && d2 >= far * far) continue;
    const double dist = std::sqrt(d2);
    const double gap = dist - o.radius;
    const double gap2 = gap * gap;
    int j = 0;
    while (j < k && !(gap2 < mag[j])) ++j;
    if (j == k) continue;
    for (int m = k - 1; m > j; --m) {
      idx[m] = idx[m - 1];
      dx[m] = dx[m - 1];
      dy[m] = dy[m - 1];
      mag[m] = mag[m - 1];
      slotReach[m] = slotReach[m - 1];
    }
    idx[j] = i;
    dx[j] = (gap / dist) * ix;
    dy[j] = (gap / dist) * iy;
    mag[j] = dx[j] * dx[j] + dy[j] * dy[j];
    // The stored vector's length is the gap up to a few units of rounding,
    // unless the square wrapped: then the vector is as much longer as the
    // offset is longer than the wrapped distance, and its own length counts.
    slotReach[j] = !wrapped ? std::fabs(gap) * (1.0 + 1e-12) + 1e-12 : std::sqrt(mag[j]) * (1.0 + 1e-12) + 1e-12;
    reach = slotReach[0];
    for (int m = 1; m < k; ++m) reach = std::max(reach, slotReach[m]);
  }

  // Range filter: far meteors, and meteors behind at some distance, keep only
  // their x component. The squared length, truncated toward zero, is compared
  // exactly, however long it is (a filler slot keeps its filler).
  for (int j = 0; j < k; ++j) {
    const double l = std::trunc(dx[j] * dx[j] + dy[j] * dy[j]);
    if (l > 360000.0 || (l > 40000.0 && dx[j] < 0)) dy[j] = NoMeteor;
  }

  if (by * by < c)
    c = by * by;
  else if ((PlayfieldHeight - by) * (PlayfieldHeight - by) < c)
    c = (PlayfieldHeight - by) * (PlayfieldHeight - by);

  if (bx - hull < 0 || by - hull < 0 || by + hull > PlayfieldHeight) return 1;
  if (c < per.m_minClearance) per.m_minClearance = c;
  return 0;
}

}  // namespace korvane
