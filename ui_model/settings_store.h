#pragma once
#include <mutex>

#include "sim/params.h"

namespace korvane {

// The process-wide settings. The settings sheet writes them on the UI thread;
// runs and the screen read a whole copy under the lock.
class ParamStore {
 public:
  SimParams Get() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_params;
  }
  void Set(const SimParams& p) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_params = p;
  }

 private:
  mutable std::mutex m_mutex;
  SimParams m_params;
};

inline ParamStore& GlobalParams() {
  static ParamStore store;
  return store;
}

}  // namespace korvane
