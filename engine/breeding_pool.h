#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include "engine/frame.h"

namespace korvane {

// Breeding views handed to the screen come back here when the screen lets
// them go, so a run fills one whose genomes and records keep their memory:
// recording a generation then allocates nothing. Views may outlive the run;
// they come back to the list, which lives as long as any of them.
class BreedingPool {
 public:
  std::shared_ptr<BreedingView> Take() {
    std::unique_ptr<BreedingView> view;
    {
      std::lock_guard<std::mutex> lock(m_free->mutex);
      if (!m_free->views.empty()) {
        view = std::move(m_free->views.back());
        m_free->views.pop_back();
      }
    }
    if (!view) view = std::make_unique<BreedingView>();
    return {view.release(), [free = m_free](BreedingView* v) {
              std::lock_guard<std::mutex> lock(free->mutex);
              try {
                free->views.emplace_back(v);
              } catch (...) {
                delete v;
              }
            }};
  }

 private:
  struct Free {
    std::mutex mutex;
    std::vector<std::unique_ptr<BreedingView>> views;
  };
  std::shared_ptr<Free> m_free = std::make_shared<Free>();
};

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
  BreedingPool m_pool;
  std::shared_ptr<const BreedingView> m_last;
};

}  // namespace korvane
