// Per-target: a worker's lanes flying training flights tick by tick, as
// FlyNetworkScored flies one. Compiled once per target by lockstep.cpp.
#if defined(KORVANE_ENGINE_LOCKSTEP_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KORVANE_ENGINE_LOCKSTEP_INL_H_
#undef KORVANE_ENGINE_LOCKSTEP_INL_H_
#else
#define KORVANE_ENGINE_LOCKSTEP_INL_H_
#endif

#include <atomic>
#include <cstdint>

#include "engine/lockstep.h"
#include "engine/lockstep_network-inl.h"
#include "engine/lockstep_perception-inl.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace korvane::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace lanes {

static_assert(SimParams::TicksPerDecision == 1, "one tick per decision");

// kGroups vectors of lanes per worker: while one waits on a long chain
// (a layer's exp, a division), the other's work fills in.
template <class D, size_t kGroups>
class Flights {
 public:
  static constexpr size_t kL = hn::MaxLanes(D());
  static constexpr size_t kN = kGroups * kL;
  static_assert(kN <= kMaxLanes && kN <= 32, "one bit per lane");

  Flights(const LaneJob& job, LaneFeed& feed, LaneBuffers& b)
      : m_job(job), m_p(*job.params), m_feed(feed), m_b(b), m_w(b.Weights()), m_k(PerceivedCount(m_p)) {}

  void Run() {
    const D d;
    using V = hn::Vec<D>;
    for (size_t lane = 0; lane < kN; ++lane) m_b.level[lane] = -1;
    for (size_t lane = 0; lane < kN; ++lane) Refill(lane);
    const V norm = hn::Set(d, m_p.NormalizeParam);
    const V dtAccel = hn::Set(d, m_p.TimeStep * m_p.LifeboatAccel);
    const V dtGravity = hn::Set(d, m_p.TimeStep * m_p.Gravity);
    const V dt = hn::Set(d, m_p.TimeStep);
    const V scale = hn::Set(d, m_p.SpeedScale);
    const V hull = hn::Set(d, HullRadius * m_p.LifeboatSize);
    const V width = hn::Set(d, static_cast<double>(PlayfieldWidth));
    const auto code = [&](double c) { return hn::Set(d, c); };
    while (m_live != 0) {
      Inputs<kN>(d, m_b, m_k, norm);
      Decide<kN>(d, m_b, m_job.layers, m_w, m_p.SigmoidParam);
      uint32_t escapedBits = 0, endedBits = 0, crashBits = 0, wrapBits = 0;
      for (size_t v = 0; v < kN; v += kL) {
        // ApplyThrust, ApplyGravity and Step, term for term.
        const V a = hn::Load(d, m_b.action + v);
        V vx = hn::Load(d, m_b.vx + v);
        V vy = hn::Load(d, m_b.vy + v);
        vy = hn::IfThenElse(a == code(1), vy - dtAccel, hn::IfThenElse(a == code(2), vy + dtAccel, vy));
        vx = hn::IfThenElse(a == code(3), vx - dtAccel, hn::IfThenElse(a == code(4), vx + dtAccel, vx));
        vy = vy + dtGravity;
        const V x = hn::Load(d, m_b.x + v) + scale * (dt * vx);
        const V y = hn::Load(d, m_b.y + v) + scale * (dt * vy);
        const V t = hn::Load(d, m_b.t + v) + code(1);
        hn::Store(vx, d, m_b.vx + v);
        hn::Store(vy, d, m_b.vy + v);
        hn::Store(x, d, m_b.x + v);
        hn::Store(y, d, m_b.y + v);
        hn::Store(t, d, m_b.t + v);
        // Escaped (HasEscaped), Stalled or OutOfTime, in FlyNetworkScored's
        // order; the others are checked for a crash.
        const auto escaped = x + hull > width;
        const auto stalled = hn::Or(hn::And(t > code(kStallTicks[0]), x < code(kStallX[0])),
                                    hn::And(t > code(kStallTicks[1]), x < code(kStallX[1])));
        escapedBits |= MaskBits(d, escaped) << v;
        endedBits |= MaskBits(d, hn::Or(escaped, hn::Or(stalled, t > code(kTimeLimit)))) << v;
      }
      hn::Mask<D> crash[kGroups], wrap[kGroups];
      const bool nearest = m_k == 1 && m_hullSafe && PerceiveNearest<kN>(d, m_b, m_meteors, hull, crash, wrap);
      if (!nearest && m_k <= 1) Perceive<1, kN>(d, m_b, m_k, m_meteors, hull, crash, wrap);
      if (!nearest && m_k > 1) Perceive<MaxPerceived, kN>(d, m_b, m_k, m_meteors, hull, crash, wrap);
      for (size_t g = 0; g < kGroups; ++g) {
        crashBits |= MaskBits(d, crash[g]) << (g * kL);
        wrapBits |= MaskBits(d, wrap[g]) << (g * kL);
      }
      endedBits &= m_live;
      crashBits &= m_live & ~endedBits;
      wrapBits &= m_live & ~endedBits;
      if (HWY_UNLIKELY(wrapBits != 0)) crashBits = (crashBits & ~wrapBits) | CheckInScalar(wrapBits);
      for (uint32_t done = endedBits | crashBits; done != 0; done &= done - 1) {
        const size_t lane = static_cast<size_t>(__builtin_ctz(done));
        End(lane, (escapedBits >> lane) & 1);
        Refill(lane);
      }
    }
  }

 private:
  // CheckCollision itself for lanes beyond their level's limit; the crashed
  // ones among them.
  uint32_t CheckInScalar(uint32_t lanesToCheck) {
    uint32_t crashed = 0;
    for (; lanesToCheck != 0; lanesToCheck &= lanesToCheck - 1) {
      const size_t lane = static_cast<size_t>(__builtin_ctz(lanesToCheck));
      Perception per;
      if (CheckCollision(per, LaneBoat(m_b, lane, m_p.LifeboatSize), *m_job.levels[m_b.level[lane]].field, m_k))
        crashed |= 1u << lane;
      for (int j = 0; j < m_k; ++j) {
        m_b.dx[j * kN + lane] = per.m_perceivedDx[j];
        m_b.dy[j * kN + lane] = per.m_perceivedDy[j];
      }
    }
    return crashed;
  }

  void RecordTicks(int flight, int ticks) {
    if (m_job.ticks != nullptr) std::atomic_ref<int>(m_job.ticks[flight]).store(ticks, std::memory_order_relaxed);
  }

  void End(size_t lane, bool escaped) {
    const CLifeboat boat = LaneBoat(m_b, lane, m_p.LifeboatSize);
    const int ticks = static_cast<int>(m_b.t[lane]);
    m_job.scores[m_b.flight[lane]] = escaped ? EscapeScore(ticks, boat) : EndScore(ticks, boat);
    RecordTicks(m_b.flight[lane], ticks);
  }

  // The next flight into `lane`, at the start with the start's perception;
  // a lane left without one flies on unseen from the start. A flight that
  // crashes where it starts is scored at once.
  void Refill(size_t lane) {
    const int genomes = static_cast<int>(m_job.genomes.size());
    int f = m_feed.Next();
    while (f >= 0 && m_job.levels[static_cast<size_t>(f / genomes)].startCrash) {
      CLifeboat boat;
      boat.ResetToStart(m_p);
      m_job.scores[f] = EndScore(0, boat);
      RecordTicks(f, 0);
      f = m_feed.Next();
    }
    const uint32_t bit = 1u << lane;
    m_live = f < 0 ? m_live & ~bit : m_live | bit;
    const int level = f < 0 ? (m_b.level[lane] < 0 ? 0 : m_b.level[lane]) : f / genomes;
    m_b.flight[lane] = f;
    if (f >= 0) {
      const double* weights = m_job.genomes[static_cast<size_t>(f % genomes)].weights.data();
      for (int r = 0; r < m_job.weightCount; ++r) m_w[static_cast<size_t>(r) * kN + lane] = weights[r];
    }
    const LaneLevel& lv = m_job.levels[static_cast<size_t>(level)];
    if (m_b.level[lane] != level) {
      m_b.level[lane] = level;
      m_b.limit[lane] = lv.limit;
      for (int i = 0; i < MaxObstacles; ++i) {
        m_b.ox[i * kN + lane] = lv.x[i];
        m_b.oy[i * kN + lane] = lv.y[i];
        m_b.radius[i * kN + lane] = lv.radius[i];
        m_b.crashSq[i * kN + lane] = lv.crashSq[i];
      }
      m_meteors = 0;
      for (size_t l = 0; l < kN; ++l)
        if (m_b.level[l] >= 0 && m_job.levels[static_cast<size_t>(m_b.level[l])].count > m_meteors)
          m_meteors = m_job.levels[static_cast<size_t>(m_b.level[l])].count;
    }
    m_b.x[lane] = StartPosX;
    m_b.y[lane] = StartPosY;
    m_b.vx[lane] = m_b.vy[lane] = 0.0;
    m_b.t[lane] = 0.0;
    for (int j = 0; j < m_k; ++j) {
      m_b.dx[j * kN + lane] = lv.startDx[j];
      m_b.dy[j * kN + lane] = lv.startDy[j];
    }
  }

  const LaneJob& m_job;
  const SimParams& m_p;
  LaneFeed& m_feed;
  LaneBuffers& m_b;
  double* m_w;
  const int m_k;
  const bool m_hullSafe = HullRadius * m_p.LifeboatSize >= 0.0;  // gaps >= 0 until a crash
  int m_meteors = 0;                                             // the most any lane's level has
  uint32_t m_live = 0;                                           // lanes flying a flight of the job
};

}  // namespace lanes
}  // namespace korvane::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KORVANE_ENGINE_LOCKSTEP_INL_H_
