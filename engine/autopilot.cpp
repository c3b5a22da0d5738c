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

RunOutcome CAutoPilot::OnStartGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field,
                                     std::uint32_t seed) {
  PlanSearchRun run(Link(host), {start, field, seed, m_threads}, ga);
  return RunToEnd(run, host);
}

RunOutcome CAutoPilot::OnStartHeuristicGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, CNeuralNet& net,
                                              const MeteorField& field, std::uint32_t seed) {
  PlanSearchRun run(Link(host), {start, field, seed, m_threads}, ga, &net);
  return RunToEnd(run, host);
}

bool CAutoPilot::StepByStep(IHost& host, CPlanGA& ga, std::vector<CPlanGenome>& workList, const MeteorField& field,
                            const SimParams& p, CRand& rng) {
  GenerationEvaluator eval(m_threads);
  return korvane::StepByStep(Link(host), eval, ga, workList, field, p, rng);
}

RunOutcome CAutoPilot::onTimer3(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field,
                                std::uint32_t seed) {
  DemonstrationRun run(Link(host), {start, field, seed, m_threads}, ga);
  return RunToEnd(run, host);
}

RunOutcome CAutoPilot::onTimer2(IHost& host, const SimParams& start, const MeteorField& field) {
  ReplayRun run(Link(host), start, field);
  return RunToEnd(run, host);
}

RunOutcome CAutoPilot::FlyByNetwork(IHost& host, const SimParams& start, CNeuralNet& net, const MeteorField& field) {
  NetworkFlightRun run(Link(host), start, net, field);
  return RunToEnd(run, host);
}

RunOutcome CAutoPilot::TrainNetwork(IHost& host, const SimParams& start, CWeightGA& weightGA, CNeuralNet& net,
                                    std::uint32_t seed) {
  TrainingRun run(Link(host), {start, seed, m_threads}, weightGA, net);
  return RunToEnd(run, host);
}

}  // namespace korvane
