#include "engine/autopilot.h"

#include "engine/parallel.h"

namespace korvane {

CAutoPilot::CAutoPilot() : CAutoPilot(std::make_shared<PilotResults>()) {}

CAutoPilot::CAutoPilot(std::shared_ptr<PilotResults> results)
    : m_threads(DefaultThreadCount()), m_shared(std::move(results)) {}

}  // namespace korvane
