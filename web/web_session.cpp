#include "web/web_session.h"

#include <ctime>

#include "engine/demonstration.h"
#include "engine/plan_search.h"
#include "engine/replays.h"
#include "engine/training.h"
#include "texts/text_table.h"
#include "ui_model/history_export.h"
#include "ui_model/run_words.h"
#include "ui_model/trained_weights_save.h"
#include "ui_model/weights_choice.h"

namespace korvane::web {

// A run and what it flies with, at fixed addresses for as long as it lasts.
struct WebSession::Active {
  RunKind kind = RunKind::GA;
  int id = 0;
  CPlanGA ga;
  CWeightGA weightGA;
  CNeuralNet net;
  std::unique_ptr<IRun> run;
  TrainingRun* training = nullptr;  // the run, when it trains
  bool held = false;                // waiting at its pause
};

WebSession::WebSession(std::uint32_t starSeed)
    : m_view(m_params),
      m_stars(starSeed),
      m_results(std::make_shared<PilotResults>()),
      m_seeds([] { return static_cast<std::uint32_t>(std::time(nullptr)); }) {}

WebSession::~WebSession() = default;

std::optional<RunKind> WebSession::ActiveKind() const {
  return m_active ? std::optional<RunKind>(m_active->kind) : std::nullopt;
}

bool WebSession::Held() const { return m_active && m_active->held; }

bool WebSession::Start(RunKind kind) {
  if (m_active) {
    m_boxes.emplace_back(text::Ui(IsReplay(m_active->kind) ? Tx::BusyReplay : Tx::BusyComputing));
    return false;
  }
  if (kind == RunKind::Replay && !m_flags.searchRan) {
    m_boxes.emplace_back(text::Ui(Tx::RunGaFirst));
    return false;
  }
  m_flags.manualDue = false;
  m_view.RunStarting(kind);
  m_flags.stop = false;
  m_flags.pause = false;
  auto a = std::make_unique<Active>();
  a->kind = kind;
  a->id = ++m_flags.nextRunId;
  const RunLink link{*this, *this, *m_results};
  const SearchSetup search{m_params, m_view.Field(), IsReplay(kind) ? 0u : m_seeds.Take(kind), 1};
  m_record = {};
  switch (kind) {
    case RunKind::GA:
    case RunKind::Heuristic:
      m_record.kind = RunRecord::Kind::Search;
      m_flags.searchRan = true;
      if (kind == RunKind::Heuristic) a->net = NetworkInForce(*m_results, m_params);
      a->run = std::make_unique<PlanSearchRun>(link, search, a->ga, kind == RunKind::Heuristic ? &a->net : nullptr);
      break;
    case RunKind::StepByStep: a->run = std::make_unique<DemonstrationRun>(link, search, a->ga); break;
    case RunKind::Training: {
      m_record.kind = RunRecord::Kind::Training;
      auto run = std::make_unique<TrainingRun>(link, TrainingRun::Setup{m_params, search.seed, 1}, a->weightGA, a->net);
      a->training = run.get();
      a->run = std::move(run);
      break;
    }
    case RunKind::Replay: a->run = std::make_unique<ReplayRun>(link, m_params, m_view.Field()); break;
    case RunKind::NetworkFlight:
      m_record.kind = RunRecord::Kind::NetworkFlight;
      a->net = NetworkInForce(*m_results, m_params);
      a->run = std::make_unique<NetworkFlightRun>(link, m_params, a->net, m_view.Field());
      break;
  }
  m_active = std::move(a);
  return true;
}

void WebSession::Rerun() {
  if (!m_seeds.RepeatLast()) {
    m_boxes.emplace_back(text::Ui(Tx::NoRunToRepeat));
    return;
  }
  Start(m_seeds.LastKind());
}

void WebSession::Stop() {
  if (m_active) m_flags.stop = true;
  m_flags.manualDue = false;
  m_view.EndManual();
}

void WebSession::LoadLevel(int n) { m_view.LoadBuiltInLevel(n, m_params); }

PageReadResult WebSession::ApplySettings(int page, const std::map<int, FieldInput>& inputs) {
  // As the settings sheet: a page with a refused field changes nothing.
  SimParams p = m_params;
  const PageReadResult r = ReadSettingsPage(page, inputs, p);
  if (r.ok) m_params = p;
  return r;
}

void WebSession::StartManual() {
  if (m_active) {
    m_boxes.emplace_back(text::Ui(Tx::ManualBusy));
    return;
  }
  // A flight under way ends before the box: it must not crash behind it.
  m_view.EndManual();
  m_boxes.emplace_back(text::Ui(Tx::ManualStart));
  m_flags.manualDue = true;
}

void WebSession::BoxClosed() {
  if (!m_flags.manualDue || !m_boxes.empty()) return;
  m_flags.manualDue = false;
  m_view.StartManual(m_params);
}

ManualFlight::Tick WebSession::ManualTick() {
  const ManualFlight::Tick t = m_view.ManualTick(m_params);
  if (t == ManualFlight::Tick::Escaped) m_boxes.emplace_back(text::Ui(Tx::ManualEscaped));
  if (t == ManualFlight::Tick::Crashed) m_boxes.emplace_back(text::Ui(Tx::ManualCrashed));
  return t;
}

std::optional<std::string> WebSession::TakeBox() {
  if (m_boxes.empty()) return std::nullopt;
  std::string text = std::move(m_boxes.front());
  m_boxes.pop_front();
  return text;
}

Next WebSession::Step() {
  if (!m_active) return {};
  Active& a = *m_active;
  if (a.held) {
    if (m_flags.pause && !m_flags.stop) return {Next::Kind::Held};
    a.held = false;
  }
  const RunStep step = a.run->Step();
  if (a.run->Finished()) {
    Finish();
    return {};
  }
  if (step.pause) {
    a.held = true;
    return {Next::Kind::Held};
  }
  if (step.waitMs > 0) return {Next::Kind::Wait, step.waitMs};
  return {Next::Kind::Now};
}

void WebSession::Finish() {
  Active& a = *m_active;
  // Training's weights are in force; the page keeps no file, so nothing is
  // appended, and the end is shown as after a save.
  if (a.training && a.run->Outcome().end == RunEnd::Trained)
    SaveTrainedWeights(*a.training, m_results->Weights(), *this, "");
  m_view.RunFinished(a.id);
  m_active.reset();
}

void WebSession::Compose(DrawList& scene, DrawList& panel) {
  scene.Clear();
  panel.Clear();
  ComposeScene(m_view.Scene(m_params, m_showing), m_stars, scene);
  if (m_showing.network) ComposeNetworkPanel(m_view.Network(), panel);
  m_view.FramePainted();
}

std::string WebSession::HistoryCsv() const {
  const std::optional<ChartData>& h = m_view.LastHistory();
  return h ? korvane::HistoryCsv(*h, m_view.LastHistoryIsPlanSearch()) : std::string();
}

std::string WebSession::StatusText() const {
  const std::string seed = SeedStatusText(m_seeds);
  return (seed.empty() ? "" : seed + "    ") + WeightsStatusText(m_results->Source());
}

void WebSession::GenerationDone(const GenerationEvent& g) {
  // As korvane-cli lists them: an escape cuts its generation short.
  if (!g.escaped) m_record.generations.push_back({g.generation, g.best, g.average});
}

void WebSession::FrameReady(const FrameMaker& frame) {
  if (m_active) m_view.ApplyRunFrame(m_active->id, frame(), true);
}

void WebSession::FlightTick(const CLifeboat& boat) {
  ++m_record.ticks;
  m_record.x = boat.m_position.x;
  m_record.y = boat.m_position.y;
  m_record.vx = boat.m_velocity.x;
  m_record.vy = boat.m_velocity.y;
}

void WebSession::Notice(const RunNotice& notice) {
  for (std::string& text : BoxTexts(notice)) {
    m_record.messages.push_back(text);
    m_boxes.push_back(std::move(text));
  }
}

void WebSession::RunEnded(const RunOutcome& outcome) {
  RunRecord& r = m_record;
  r.escaped = outcome.end == RunEnd::Escaped;
  if (r.kind == RunRecord::Kind::Search) {
    r.escapeGeneration = r.escaped ? outcome.generation : -1;
    r.escapePlan = r.escaped ? outcome.plan : -1;
    const CPlanGenome best = m_results->BestPlan();
    r.actions = best.m_actions;
    r.durations = best.m_durations;
    r.planFitness = best.m_fitness;
  } else if (r.kind == RunRecord::Kind::Training) {
    r.bestFitness = outcome.best;
    r.weights = m_results->Weights();
  } else if (r.kind == RunRecord::Kind::NetworkFlight) {
    r.outcome = r.escaped ? "escaped" : outcome.end == RunEnd::Crashed ? "crashed" : "stopped";
  }
}

}  // namespace korvane::web
