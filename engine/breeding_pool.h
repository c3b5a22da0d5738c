#pragma once
#include <memory>

#include "engine/frame.h"
#include "sim/lendable.h"

namespace korvane {

// Breeding views handed to the screen come back here when the screen lets
// them go, so a run fills one whose records keep their memory: recording a
// generation then allocates nothing. Views may outlive the run.
using BreedingPool = RecyclingPool<BreedingView>;

// A run's last breeding, as the screen is shown it.
class BreedingRecorder {
 public:
  // A view to record the next breeding in, or none when breeding is not
  // shown. The last one is let go first, so that its memory can serve.
  std::shared_ptr<BreedingView> Begin(bool shown) {
    m_last.reset();
    return shown ? m_pool.Take() : nullptr;
  }
  void Keep(std::shared_ptr<BreedingView> view) { m_last = std::move(view); }
  const std::shared_ptr<const BreedingView>& Last() const { return m_last; }

 private:
  BreedingPool m_pool{[](BreedingView& v) { v.LetGo(); }};
  std::shared_ptr<const BreedingView> m_last;
};

}  // namespace korvane
