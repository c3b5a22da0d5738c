#pragma once
#include <atomic>

#include "engine/host.h"
#include "engine/parallel.h"

namespace korvane {

struct ParallelPass {
  bool stopped = false;  // the host asked to stop; the pass is incomplete
  int lastWorker = 0;    // the worker that flew the last item
  int firstEnd = 0;      // the first item that ended the pass early, or count
};

// Flies items 0..count-1 of a generation on up to `threads` workers, each
// with its own state. fly(worker, item) returns true when that item ends
// the generation early; items after the first such one need not fly (and
// their results must not be used). Worker 0 checks for a stop request
// between items.
//
// Any faster way of flying a generation (vector lanes, say) must keep what
// the items record for the screen.
template <typename Fly>
ParallelPass FlyInParallel(IHost& host, int threads, int count, int grain, Fly&& fly) {
  std::atomic<int> firstEnd{count};
  std::atomic<bool> stop{false};
  int lastWorker = 0;
  ParallelFor(threads, count, grain, [&](int w, int n) {
    if (w == 0 && host.StopRequested()) {
      stop.store(true);
      return false;
    }
    if (n > firstEnd.load(std::memory_order_relaxed)) return true;
    const bool ends = fly(w, n);
    if (n == count - 1) lastWorker = w;
    if (ends) {
      int cur = firstEnd.load();
      while (n < cur && !firstEnd.compare_exchange_weak(cur, n)) {
      }
    }
    return true;
  });
  return {stop.load(), lastWorker, firstEnd.load()};
}

}  // namespace korvane
