#include "engine/autopilot.h"

#include "engine/parallel.h"
#include "sim/run_memory.h"

namespace korvane {

// The memory estimate counts this much per worker: its flight state and its
// lanes, which serve networks of at most kLaneMaxWeights weights.
static_assert(sizeof(LaneBuffers) + 8.0 * kLaneMaxWeights * kMaxLanes + sizeof(FlightState) + 64.0 <= RunWorkerBytes);

CAutoPilot::CAutoPilot() : CAutoPilot(std::make_shared<PilotResults>()) {}

CAutoPilot::CAutoPilot(std::shared_ptr<PilotResults> results)
    : m_threads(DefaultThreadCount()), m_shared(std::move(results)) {}

}  // namespace korvane
