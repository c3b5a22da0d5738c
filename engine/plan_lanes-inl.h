// Per-target: a worker's lanes flying plans tick by tick, as FlyPlan flies
// one. Compiled once per target by plan_lanes.cpp.
#if defined(KORVANE_ENGINE_PLAN_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KORVANE_ENGINE_PLAN_LANES_INL_H_
#undef KORVANE_ENGINE_PLAN_LANES_INL_H_
#else
#define KORVANE_ENGINE_PLAN_LANES_INL_H_
#endif

#include <algorithm>
#include <cstdint>

#include "engine/lockstep_network-inl.h"
#include "engine/lockstep_perception-inl.h"
#include "engine/plan_flight.h"
#include "engine/plan_lanes.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace lanes {

template <class D, size_t kGroups>
class PlanFlights {
 public:
  static constexpr size_t kL = hn::MaxLanes(D());
  static constexpr size_t kN = kGroups * kL;
  static_assert(kN <= kMaxLanes && kN <= 32, "one bit per lane");

  PlanFlights(const PlanLaneJob& job, LaneFeed& feed, PlanLaneBuffers& b)
      : m_job(job),
        m_p(*job.params),
        m_lv(*job.level),
        m_feed(feed),
        m_b(b),
        m_heuristic(job.variant == FlyVariant::Heuristic),
        m_stepByStep(job.variant == FlyVariant::StepByStep),
        m_k(PerceivedCount(m_p)) {}

  void Run() {
    if (m_heuristic) PrepareSuggestions();
    for (size_t lane = 0; lane < kN; ++lane) Refill(lane);
    while (m_live != 0) {
      uint32_t escaped = 0, crashed = 0, beyond = 0, geneEnds = 0;
      for (size_t v = 0; v < kN; v += kL) Tick(v, escaped, crashed, beyond, geneEnds);
      if (m_job.paths != nullptr)
        for (uint32_t live = m_live; live != 0; live &= live - 1) {
          const size_t lane = static_cast<size_t>(__builtin_ctz(live));
          m_job.paths[m_b.plan[lane]].Tick(m_b.x[lane], m_b.y[lane]);
        }
      for (uint32_t due = (escaped | crashed | beyond | geneEnds) & m_live; due != 0; due &= due - 1) {
        const size_t lane = static_cast<size_t>(__builtin_ctz(due));
        const uint32_t bit = 1u << lane;
        if (!Resolve(lane, (escaped & bit) != 0, (crashed & bit) != 0, (beyond & bit) != 0, (geneEnds & bit) != 0))
          Refill(lane);
      }
    }
    if (m_b.crashCount > 0) Suggest();
  }

 private:
  using V = hn::Vec<D>;

  // One vector of lanes through ApplyThrust, ApplyGravity, Step and
  // CheckCollision's crash and clearance (no table), term for term. Lanes
  // beyond the level's limit keep their clearance for the scalar check.
  HWY_INLINE void Tick(size_t v, uint32_t& escapedBits, uint32_t& crashBits, uint32_t& beyondBits,
                       uint32_t& geneEndBits) {
    const D d;
    const V zero = hn::Zero(d);
    const V one = hn::Set(d, 1.0);
    const V dtAccel = hn::Set(d, m_p.TimeStep * m_p.LifeboatAccel);
    const V hull = hn::Set(d, HullRadius * m_p.LifeboatSize);
    const V height = hn::Set(d, static_cast<double>(PlayfieldHeight));
    const V a = hn::Load(d, m_b.action + v);
    const V x0 = hn::Load(d, m_b.x + v);
    const V y0 = hn::Load(d, m_b.y + v);
    V vx = hn::Load(d, m_b.vx + v);
    V vy = hn::Load(d, m_b.vy + v);
    vy = hn::IfThenElse(a == hn::Set(d, 1.0), vy - dtAccel, hn::IfThenElse(a == hn::Set(d, 2.0), vy + dtAccel, vy));
    vx = hn::IfThenElse(a == hn::Set(d, 3.0), vx - dtAccel, hn::IfThenElse(a == hn::Set(d, 4.0), vx + dtAccel, vx));
    hn::Store(hn::Load(d, m_b.thrusts + v) + hn::IfThenZeroElse(a == zero, one), d, m_b.thrusts + v);
    const V tick = hn::Load(d, m_b.tick + v);
    if (m_heuristic) {  // a gene's first tick: where its suggestion is made
      const auto first = tick == zero;
      hn::Store(hn::IfThenElse(first, x0, hn::Load(d, m_b.gx + v)), d, m_b.gx + v);
      hn::Store(hn::IfThenElse(first, y0, hn::Load(d, m_b.gy + v)), d, m_b.gy + v);
      hn::Store(hn::IfThenElse(first, vx, hn::Load(d, m_b.gvx + v)), d, m_b.gvx + v);
      hn::Store(hn::IfThenElse(first, vy, hn::Load(d, m_b.gvy + v)), d, m_b.gvy + v);
    }
    vy = vy + hn::Set(d, m_p.TimeStep * m_p.Gravity);
    const V scale = hn::Set(d, m_p.SpeedScale);
    const V dt = hn::Set(d, m_p.TimeStep);
    const V x = x0 + scale * (dt * vx);
    const V y = y0 + scale * (dt * vy);
    hn::Store(vx, d, m_b.vx + v);
    hn::Store(vy, d, m_b.vy + v);
    hn::Store(x, d, m_b.x + v);
    hn::Store(y, d, m_b.y + v);
    const auto escaped = x + hull > hn::Set(d, static_cast<double>(PlayfieldWidth));

    // Within the limit the offsets are whole numbers below 32767: their
    // squares are CheckCollision's, exactly (see lockstep_perception-inl.h).
    const V limit = hn::Set(d, m_lv.limit);
    const auto beyond = hn::Not(hn::And(hn::Abs(x) < limit, hn::Abs(y) < limit));
    V c = hn::Set(d, NoMeteor);
    auto crash = zero < zero;
    for (int i = 0; i < m_lv.count; ++i) {
      const V ix = hn::Trunc(hn::Set(d, m_lv.x[i]) - x) + zero;
      const V iy = hn::Trunc(hn::Set(d, m_lv.y[i]) - y) + zero;
      const V d2 = ix * ix + iy * iy;
      c = hn::Min(c, d2);
      crash = hn::Or(crash, d2 <= hn::Set(d, m_lv.crashSq[i]));
    }
    const V top = height - y;
    c = hn::IfThenElse(y * y < c, y * y, hn::IfThenElse(top * top < c, top * top, c));
    crash = hn::Or(crash, hn::Or(x - hull < zero, hn::Or(y - hull<zero, y + hull> height)));
    // The demonstration tests the escape first: an escaping lane is scored
    // with the clearance it had.
    const V clear = hn::Load(d, m_b.clearance + v);
    auto lower = hn::AndNot(beyond, hn::AndNot(crash, c < clear));
    if (m_stepByStep) lower = hn::AndNot(escaped, lower);
    hn::Store(hn::IfThenElse(lower, c, clear), d, m_b.clearance + v);
    const V next = tick + one;
    hn::Store(next, d, m_b.tick + v);
    hn::Store(hn::Load(d, m_b.ticks + v) + one, d, m_b.ticks + v);
    escapedBits |= MaskBits(d, escaped) << v;
    crashBits |= MaskBits(d, crash) << v;
    beyondBits |= MaskBits(d, beyond) << v;
    geneEndBits |= MaskBits(d, hn::Not(next < hn::Load(d, m_b.duration + v))) << v;
  }

  // The tick's end for a lane, in FlyPlan's order; false when its flight
  // ended.
  bool Resolve(size_t lane, bool escaped, bool crashed, bool beyond, bool geneEnds) {
    if (m_stepByStep && escaped) return End(lane, PathEnd::Escaped, -1);
    if (beyond) crashed = CheckInScalar(lane);
    if (crashed) return End(lane, PathEnd::Crashed, -1);
    if (!m_stepByStep && escaped) return End(lane, PathEnd::Escaped, -1);
    return !geneEnds || NextGene(lane);
  }

  // CheckCollision itself for a lane beyond the limit.
  bool CheckInScalar(size_t lane) {
    Perception per;
    per.m_minClearance = m_b.clearance[lane];
    const bool crashed = CheckCollision(per, LaneBoat(m_b, lane, m_p.LifeboatSize), *m_lv.field, 0) != 0;
    m_b.clearance[lane] = per.m_minClearance;
    return crashed;
  }

  // Ends the lane's flight as FlyPlan ends it; returns false. A crash or an
  // escape ends within its tick, which is not counted; a flight whose genes
  // ran out, or whose gene has no thrust code, after its last whole tick.
  // badGene >= 0: that gene's code is not one.
  bool End(size_t lane, PathEnd how, int badGene) {
    const int n = m_b.plan[lane];
    CPlanGenome& plan = m_job.plans[static_cast<size_t>(n)];
    PlanFlightResult& r = m_job.results[n];
    r = PlanFlightResult{};
    const bool withinTick = how != PathEnd::Finished;
    const int ticks = static_cast<int>(m_b.ticks[lane]) - (withinTick ? 1 : 0);
    if (m_job.paths != nullptr) m_job.paths[n].Finish(how);
    if (badGene >= 0) {
      r.outcome = FlyOutcome::InvalidCode;
      r.badCode = plan.m_actions[static_cast<size_t>(badGene)];
      r.badGene = badGene;
      return false;
    }
    if (how == PathEnd::Escaped) {
      r.escaped = true;
      if (!m_stepByStep) {
        r.outcome = FlyOutcome::Escaped;
        return false;
      }
    }
    if (how == PathEnd::Crashed) {
      r.crashGene = m_b.gene[lane];
      if (m_heuristic && r.crashGene < MaxSuggestions) AddCrash(lane);
    }
    ScorePlan(plan, m_p, static_cast<int>(m_b.thrusts[lane]), m_b.clearance[lane], ticks, m_b.x[lane]);
    return false;
  }

  // On to the lane's next gene that has ticks; false when the flight ended.
  bool NextGene(size_t lane) {
    const CPlanGenome& plan = m_job.plans[static_cast<size_t>(m_b.plan[lane])];
    const int genes = std::min(plan.Length(), m_p.ChromosomeLength);
    int i = m_b.gene[lane] + 1;
    while (i < genes && plan.m_durations[static_cast<size_t>(i)] <= 0) ++i;
    if (i >= genes) return End(lane, PathEnd::Finished, -1);
    const int code = plan.m_actions[static_cast<size_t>(i)];
    if (code < 0 || code > 4) return End(lane, PathEnd::Finished, i);
    m_b.gene[lane] = i;
    m_b.action[lane] = code;
    m_b.duration[lane] = plan.m_durations[static_cast<size_t>(i)];
    m_b.tick[lane] = 0.0;
    m_b.geneAtStart[lane] = m_b.ticks[lane] == 0.0;
    return true;
  }

  // The next plan into `lane`, flying its first gene; a lane left without
  // one flies on unseen.
  void Refill(size_t lane) {
    for (;;) {
      const int n = m_feed.Next();
      if (n < 0) {
        m_live &= ~(1u << lane);
        return;
      }
      m_live |= 1u << lane;
      m_b.plan[lane] = n;
      m_b.gene[lane] = -1;
      m_b.x[lane] = StartPosX;
      m_b.y[lane] = StartPosY;
      m_b.vx[lane] = m_b.vy[lane] = 0.0;
      m_b.thrusts[lane] = m_b.ticks[lane] = 0.0;
      m_b.clearance[lane] = NoMeteor;
      if (m_job.paths != nullptr) m_job.paths[n].Start(StartPosX, StartPosY);
      if (NextGene(lane)) return;
    }
  }

  // The suggestions' lanes: every lane the level's meteors and the network's
  // weights.
  void PrepareSuggestions() {
    LaneBuffers& b = m_b.decide;
    b.SizeFor(static_cast<int>(m_job.weights.size()));
    double* w = b.Weights();
    for (size_t r = 0; r < m_job.weights.size(); ++r)
      for (size_t lane = 0; lane < kN; ++lane) w[r * kN + lane] = m_job.weights[r];
    for (int i = 0; i < MaxObstacles; ++i)
      for (size_t lane = 0; lane < kN; ++lane) {
        b.ox[i * kN + lane] = m_lv.x[i];
        b.oy[i * kN + lane] = m_lv.y[i];
        b.radius[i * kN + lane] = m_lv.radius[i];
        b.crashSq[i * kN + lane] = m_lv.crashSq[i];
      }
    for (size_t lane = 0; lane < kN; ++lane) b.limit[lane] = m_lv.limit;
    m_b.crashCount = 0;
  }

  void AddCrash(size_t lane) {
    m_b.crashes[m_b.crashCount++] = {m_b.plan[lane], m_b.gx[lane],  m_b.gy[lane],
                                     m_b.gvx[lane],  m_b.gvy[lane], m_b.geneAtStart[lane]};
    if (m_b.crashCount == static_cast<int>(kN)) Suggest();
  }

  // The network's thrust where each listed crash's gene started, as
  // NetworkChoice gave it there: the table CheckCollision left (the start's
  // for a gene that started the flight, its crash included), then the
  // inputs and the pick of training's lanes.
  void Suggest() {
    const D d;
    LaneBuffers& b = m_b.decide;
    const int count = m_b.crashCount;
    for (size_t lane = 0; lane < kN; ++lane) {
      const PlanLaneBuffers::Crash& c = m_b.crashes[lane < static_cast<size_t>(count) ? lane : 0];
      b.x[lane] = c.x;
      b.y[lane] = c.y;
      b.vx[lane] = c.vx;
      b.vy[lane] = c.vy;
    }
    const V hull = hn::Set(d, HullRadius * m_p.LifeboatSize);
    hn::Mask<D> crash[kGroups], wrap[kGroups];
    const bool nearest = m_k == 1 && m_hullSafe && PerceiveNearest<kN>(d, b, m_lv.count, hull, crash, wrap);
    if (!nearest && m_k <= 1) Perceive<1, kN>(d, b, m_k, m_lv.count, hull, crash, wrap);
    if (!nearest && m_k > 1) Perceive<MaxPerceived, kN>(d, b, m_k, m_lv.count, hull, crash, wrap);
    uint32_t wrapBits = 0;
    for (size_t g = 0; g < kGroups; ++g) wrapBits |= MaskBits(d, wrap[g]) << (g * kL);
    for (size_t lane = 0; lane < static_cast<size_t>(count); ++lane) {
      const PlanLaneBuffers::Crash& c = m_b.crashes[lane];
      if (!c.atStart && !((wrapBits >> lane) & 1)) continue;
      Perception per;
      CLifeboat boat;
      boat.m_position = {c.x, c.y};
      boat.m_scale = m_p.LifeboatSize;
      if (!c.atStart) CheckCollision(per, boat, *m_lv.field, m_k);
      for (int j = 0; j < m_k; ++j) {
        b.dx[j * kN + lane] = c.atStart ? m_lv.startDx[j] : per.m_perceivedDx[j];
        b.dy[j * kN + lane] = c.atStart ? m_lv.startDy[j] : per.m_perceivedDy[j];
      }
    }
    Inputs<kN>(d, b, m_k, hn::Set(d, m_p.NormalizeParam));
    Decide<kN>(d, b, m_job.layers, b.Weights(), m_p.SigmoidParam);
    for (size_t lane = 0; lane < static_cast<size_t>(count); ++lane)
      m_job.results[m_b.crashes[lane].plan].crashSuggestion = static_cast<int>(b.action[lane]);
    m_b.crashCount = 0;
  }

  const PlanLaneJob& m_job;
  const SimParams& m_p;
  const LaneLevel& m_lv;
  LaneFeed& m_feed;
  PlanLaneBuffers& m_b;
  const bool m_heuristic, m_stepByStep;
  const int m_k;
  const bool m_hullSafe = HullRadius * m_p.LifeboatSize >= 0.0;  // gaps >= 0 until a crash
  uint32_t m_live = 0;                                           // lanes flying a plan of the job
};

}  // namespace lanes
}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_ENGINE_PLAN_LANES_INL_H_
