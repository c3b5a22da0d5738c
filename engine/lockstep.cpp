// The lanes' kernels, training's and the plans', built for AVX2 and AVX-512
// and picked at run time with the vector exp's path; the levels and shapes
// they take.
#include "engine/lockstep.h"
#include "engine/plan_lanes.h"

#include "vecmath/simd_targets.h"

#include <cmath>
#include <limits>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/lockstep.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "engine/lockstep-inl.h"
#include "engine/plan_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::HWY_NAMESPACE {

// The portable baseline keeps FlyNetworkScored: vector exp there is slower
// than the library's.
#if HWY_TARGET != HWY_SCALAR && HWY_TARGET != HWY_EMU128
constexpr size_t kGroups = 2;
constexpr int kLaneCount = static_cast<int>(kGroups * hn::MaxLanes(hn::ScalableTag<double>()));

void FlyLanes(const LaneJob& job, LaneFeed& feed, LaneBuffers& buffers) {
  lanes::Flights<hn::ScalableTag<double>, kGroups>(job, feed, buffers).Run();
}

void FlyPlanLanes(const PlanLaneJob& job, LaneFeed& feed, PlanLaneBuffers& buffers) {
  lanes::PlanFlights<hn::ScalableTag<double>, kGroups>(job, feed, buffers).Run();
}
#endif

}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korvane {
namespace {

struct Built {
  void (*fly)(const LaneJob&, LaneFeed&, LaneBuffers&) = nullptr;
  void (*flyPlans)(const PlanLaneJob&, LaneFeed&, PlanLaneBuffers&) = nullptr;
  int lanes = 0;
};

Built For(vecmath::SimdPath path) {
  switch (path) {
    case vecmath::SimdPath::Scalar: break;
    case vecmath::SimdPath::Avx2:
#if HWY_TARGETS & HWY_AVX2
      return {N_AVX2::FlyLanes, N_AVX2::FlyPlanLanes, N_AVX2::kLaneCount};
#else
      break;
#endif
    case vecmath::SimdPath::Avx512:
#if HWY_TARGETS & HWY_AVX3
      return {N_AVX3::FlyLanes, N_AVX3::FlyPlanLanes, N_AVX3::kLaneCount};
#else
      break;
#endif
  }
  return {};
}

}  // namespace

LaneLevel MakeLaneLevel(const MeteorField& field, const SimParams& p) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  LaneLevel lv;
  lv.field = &field;
  lv.count = field.count < 0 ? 0 : field.count > MaxObstacles ? MaxObstacles : field.count;
  const double hull = HullRadius * p.LifeboatSize;
  double reach = 0.0;
  for (int i = 0; i < MaxObstacles; ++i) {
    const Obstacle& o = field.obstacles[static_cast<std::size_t>(i)];
    if (i >= lv.count) {
      lv.x[i] = lv.y[i] = 0.0;
      lv.radius[i] = -kInf;
      lv.crashSq[i] = -kInf;
      continue;
    }
    lv.x[i] = o.x;
    lv.y[i] = o.y;
    lv.radius[i] = o.radius;
    const double r = hull + o.radius;
    lv.crashSq[i] = r * r;
    reach = std::fmax(reach, std::fmax(std::fabs(o.x), std::fabs(o.y)));
    // NaN anywhere (fmax would skip it) leaves the level to the scalar pass.
    if (!(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.radius) && std::isfinite(r))) reach = kInf;
  }
  // |o - b| <= |o| + |b| < 32766 when |b| < 32766 - |o|, rounding included.
  lv.limit = reach < 16000.0 ? 32766.0 - reach : 0.0;
  CLifeboat boat;
  boat.ResetToStart(p);
  Perception per;
  lv.startCrash = CheckCollision(per, boat, field, PerceivedCount(p)) != 0;
  for (int j = 0; j < MaxPerceived; ++j) {
    lv.startDx[j] = per.m_perceivedDx[j];
    lv.startDy[j] = per.m_perceivedDy[j];
  }
  return lv;
}

int LaneCount(vecmath::SimdPath path) { return For(path).lanes; }

bool LanesServe(const SimParams& p, const CNeuralNet& net) {
  const std::span<const NeuronLayer> layers = net.Layers();
  if (layers.empty() || net.InputCount() != 4 + 2 * PerceivedCount(p)) return false;
  if (net.WeightCount() > kLaneMaxWeights || layers.back().neuronCount < SimParams::NetOutputCount) return false;
  for (const NeuronLayer& l : layers)
    if (l.neuronCount > kLaneMaxWidth) return false;
  return true;
}

void FlyInLanes(vecmath::SimdPath path, const LaneJob& job, LaneFeed& feed, LaneBuffers& buffers) {
  For(path).fly(job, feed, buffers);
}

bool PlanLanesServe(FlyVariant variant, const SimParams& p, const CNeuralNet* net) {
  return variant != FlyVariant::Heuristic || (net != nullptr && LanesServe(p, *net));
}

void FlyPlansInLanes(vecmath::SimdPath path, const PlanLaneJob& job, LaneFeed& feed, PlanLaneBuffers& buffers) {
  For(path).flyPlans(job, feed, buffers);
}

}  // namespace korvane
#endif  // HWY_ONCE
