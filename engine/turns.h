// A generation's flights handed out to the workers' lanes in turns.
#pragma once
#include <algorithm>
#include <atomic>

#include "engine/host.h"

namespace korvane {

// Turns 0..count-1 of a generation, taken from one counter: a worker takes
// eight at a time, so that the workers seldom share the counter's cache line
// or write results into the same one. Worker 0 asks the host about a stop.
// Turn 0 is handed out first: the flight whose end the frames show, flown
// early and one by one so that it never holds up the end of the generation.
class Turns {
 public:
  static constexpr int kTaken = 8;

  struct Shared {
    alignas(64) std::atomic<int> next{0};
    alignas(64) std::atomic<bool> stop{false};
    std::atomic<int> shownBy{0};  // the worker that took turn 0
  };

  Turns(RunAsks& asks, Shared& shared, int worker, int count)
      : m_asks(asks), m_shared(shared), m_worker(worker), m_count(count) {}

  // Whether a stop was asked for (worker 0 asks the host).
  bool Stopping() {
    if (m_worker == 0 && m_asks.StopRequested()) m_shared.stop.store(true);
    return m_shared.stop.load(std::memory_order_relaxed);
  }

  // The next turn, or -1 when none is left or a stop was asked for.
  int Next() {
    if (Stopping()) return -1;
    if (m_turn == m_end) {
      m_turn = m_shared.next.fetch_add(kTaken, std::memory_order_relaxed);
      m_end = std::min(m_turn + kTaken, m_count);
      if (m_turn >= m_count) {
        m_turn = m_end;
        return -1;
      }
    }
    if (m_turn == 0) m_shared.shownBy.store(m_worker);
    return m_turn++;
  }

 private:
  RunAsks& m_asks;
  Shared& m_shared;
  int m_worker;
  int m_count;
  int m_turn = 0, m_end = 0;  // this worker's turns taken and not yet handed out
};

}  // namespace korvane
