#include "app/run_manager.h"

#include <ctime>

#include "app/message_presenter.h"
#include "app/qt_text.h"
#include "app/view_host.h"
#include "engine/autopilot.h"
#include "files/weights_file.h"
#include "ui_model/settings_store.h"
#include "ui_model/state_line.h"
#include "ui_model/trained_weights_save.h"
#include "ui_model/weights_choice.h"

namespace korvane {

struct RunManager::Run {
  int id = 0;
  RunKind kind = RunKind::GA;
  std::unique_ptr<ViewHost> host;
  std::thread thread;
  bool held = false;  // it said it waits at its pause, and the pause stands
};

RunManager::RunManager(ViewState& state, QObject* parent)
    : QObject(parent),
      m_state(state),
      m_results(std::make_shared<PilotResults>()),
      m_seeds([] { return static_cast<std::uint32_t>(std::time(nullptr)); }) {
  m_mailbox = new UiMailbox(this);
  connect(m_mailbox, &UiMailbox::ready, this, &RunManager::OnMailbox);
}

RunManager::~RunManager() { Shutdown(); }

void RunManager::Shutdown() {
  // Wakes runs waiting at a pause, in a sleep or on a message box.
  m_control.RequestStop();
  for (std::unique_ptr<Run>* run : {&m_workerThread, &m_replayThread}) {
    if (*run && (*run)->thread.joinable()) (*run)->thread.join();
    run->reset();
  }
}

void RunManager::SetPresenter(IMessagePresenter* presenter, QWidget* dialogParent) {
  m_show = [presenter, dialogParent](const std::string& text) {
    if (presenter) presenter->Show(dialogParent, U(text));
  };
}

void RunManager::ShowMessage(const std::string& text) {
  if (m_show) m_show(text);
}

bool RunManager::WorkerPaused() const {
  if (!m_workerThread) return false;
  const std::optional<PauseKind> kind = PauseKindOf(m_workerThread->kind);
  return kind && m_control.IsWaitingInPause(*kind);
}

bool RunManager::MayStartComputing() {
  if (m_workerThread) {
    ShowMessage(Tx::BusyComputing);
    return false;
  }
  if (m_replayThread) {
    ShowMessage(Tx::BusyReplay);
    return false;
  }
  return true;
}

bool RunManager::MayStartReplay() {
  if (m_replayThread) {
    ShowMessage(Tx::BusyReplay);
    return false;
  }
  // A replay may only watch a run that is held at its pause.
  if (m_workerThread && !WorkerPaused()) {
    ShowMessage(Tx::PauseFirst);
    return false;
  }
  return true;
}

void RunManager::StartRun(RunKind kind, std::function<RunOutcome(IHost&)> body) {
  if (m_control.StopRequested()) return;
  // What a replay replays, said before the screen gives way.
  std::string replayOf;
  if (kind == RunKind::Replay)
    replayOf = m_ledger.KeptPlan(m_workerThread ? std::optional(m_workerThread->id) : std::nullopt);
  if (kind == RunKind::NetworkFlight) replayOf = WeightsStatusText(m_results->Source());
  m_state.RunStarting(kind);
  auto run = std::make_unique<Run>();
  run->id = ++m_nextRunId;
  run->kind = kind;
  // Searches and training fly their generations' best under 观看 at the speed chosen.
  const bool paced = kind == RunKind::GA || kind == RunKind::Heuristic || kind == RunKind::Training;
  run->host = std::make_unique<ViewHost>(m_control, *m_mailbox, run->id, m_paceScale, paced);
  m_ledger.Started(run->id, kind, GlobalParams().Get().MaxGenerations, std::move(replayOf));
  IHost* host = run->host.get();
  UiMailbox* mailbox = m_mailbox;
  const int id = run->id;
  run->thread = std::thread([host, mailbox, id, body = std::move(body)] {
    UiEvent done;
    done.outcome = body(*host);
    done.kind = UiEvent::Kind::Finished;
    done.runId = id;
    mailbox->Post(std::move(done));
  });
  (IsReplay(kind) ? m_replayThread : m_workerThread) = std::move(run);
  emit ScreenChanged();
  emit StateChanged();
}

// Each run gets the settings, the field and the network as they are now; it
// builds its own controller and population, and shares only m_results.

void RunManager::OnStartGenAlg() {
  if (!MayStartComputing()) return;
  StartRun(RunKind::GA, [results = m_results, start = GlobalParams().Get(), field = m_state.Field(),
                         seed = TakeSeed(RunKind::GA)](IHost& h) {
    CPlanGA ga;
    return CAutoPilot(results).OnStartGenAlg(h, start, ga, field, seed);
  });
  m_gaResultReady = true;
}

void RunManager::OnStepByStep() {
  if (!MayStartComputing()) return;
  StartRun(RunKind::StepByStep, [results = m_results, start = GlobalParams().Get(), field = m_state.Field(),
                                 seed = TakeSeed(RunKind::StepByStep)](IHost& h) {
    CPlanGA ga;
    return CAutoPilot(results).onTimer3(h, start, ga, field, seed);
  });
}

void RunManager::OnShowResult() {
  if (!m_gaResultReady) {
    ShowMessage(Tx::RunGaFirst);
    return;
  }
  if (!MayStartReplay()) return;
  StartRun(RunKind::Replay, [results = m_results, start = GlobalParams().Get(), field = m_state.Field()](IHost& h) {
    return CAutoPilot(results).onTimer2(h, start, field);
  });
}

void RunManager::OnTrainNetwork() {
  if (!MayStartComputing()) return;
  StartRun(RunKind::Training, [results = m_results, start = GlobalParams().Get(),
                               seed = TakeSeed(RunKind::Training)](IHost& h) {
    CWeightGA weightGA;
    CNeuralNet net;
    return TrainAndSave(h, *results, {start, seed, DefaultThreadCount()}, weightGA, net, "weights.txt").outcome;
  });
}

void RunManager::OnShowTrainingResult() {
  if (!MayStartReplay()) return;
  const SimParams start = GlobalParams().Get();
  StartRun(RunKind::NetworkFlight,
           [results = m_results, start, field = m_state.Field(), net = NetworkInForce(*m_results, start)](
               IHost& h) mutable { return CAutoPilot(results).FlyByNetwork(h, start, net, field); });
}

void RunManager::OnStartHeuristicGenAlg() {
  if (!MayStartComputing()) return;
  const SimParams start = GlobalParams().Get();
  StartRun(RunKind::Heuristic,
           [results = m_results, start, field = m_state.Field(), seed = TakeSeed(RunKind::Heuristic),
            net = NetworkInForce(*m_results, start)](IHost& h) mutable {
             CPlanGA ga;
             return CAutoPilot(results).OnStartHeuristicGenAlg(h, start, ga, net, field, seed);
           });
  m_gaResultReady = true;
}

std::uint32_t RunManager::TakeSeed(RunKind kind) {
  const std::uint32_t seed = m_seeds.Take(kind);
  emit SeedsChanged();
  return seed;
}

void RunManager::SetNextSeed(std::uint32_t seed) {
  m_seeds.SetNext(seed);
  emit SeedsChanged();
}

void RunManager::OnRerun() {
  if (!m_seeds.RepeatLast()) {
    ShowMessage(Tx::NoRunToRepeat);
    return;
  }
  switch (m_seeds.LastKind()) {
    case RunKind::GA: OnStartGenAlg(); break;
    case RunKind::StepByStep: OnStepByStep(); break;
    case RunKind::Training: OnTrainNetwork(); break;
    case RunKind::Heuristic: OnStartHeuristicGenAlg(); break;
    case RunKind::Replay:
    case RunKind::NetworkFlight: break;
  }
  emit SeedsChanged();
}

void RunManager::OnStop() {
  Run* run = m_replayThread ? m_replayThread.get() : m_workerThread.get();
  if (run) m_control.StopRun(run->id);
  emit StateChanged();
}

void RunManager::SetPace(Pace pace) {
  Showing s = m_control.GetShowing();
  s.pace = pace;
  m_control.SetShowing(s);
  emit StateChanged();
}

void RunManager::SetShowBreeding(bool on) {
  Showing s = m_control.GetShowing();
  s.breeding = on;
  m_control.SetShowing(s);
}

void RunManager::SetSpeed(double speed) { m_control.SetSpeed(speed); }

void RunManager::OnSpace() {
  if (!m_workerThread) return;
  if (const std::optional<PauseKind> kind = PauseKindOf(m_workerThread->kind)) TogglePause(*kind);
}

StateLineInput RunManager::RunState() const {
  const SimParams p = GlobalParams().Get();
  const Showing showing = m_control.GetShowing();
  auto live = [&](const std::unique_ptr<Run>& run) -> std::optional<RunLedger::Live> {
    if (!run) return std::nullopt;
    RunLedger::Live l;
    l.id = run->id;
    const std::optional<PauseKind> kind = PauseKindOf(run->kind);
    l.pauseAsked = kind && m_control.PauseRequested(*kind);
    l.held = l.pauseAsked && run->held;
    l.stepping = showing.pace == Pace::Step;
    l.stopAsked = m_control.StopRequested(run->id);
    l.limit = GenerationLimit(run->kind, p);
    return l;
  };
  return m_ledger.State(live(m_workerThread), live(m_replayThread));
}

void RunManager::ForgetLastRun() {
  m_ledger.Forget();
  emit StateChanged();
}

void RunManager::SetShowPaths(bool on) {
  Showing s = m_control.GetShowing();
  s.paths = on;
  m_control.SetShowing(s);
}

void RunManager::SetShowNetwork(bool on) {
  Showing s = m_control.GetShowing();
  s.network = on;
  m_control.SetShowing(s);
}

void RunManager::TogglePause(PauseKind kind) {
  const bool paused = !m_control.PauseRequested(kind);
  m_control.SetPause(kind, paused);
  if (!paused && m_workerThread) m_workerThread->held = false;
  emit PauseChanged(kind, paused);
  emit StateChanged();
}

bool RunManager::MayChangeWeights() {
  if (!Busy()) return true;
  ShowMessage(m_workerThread ? Tx::BusyComputing : Tx::BusyReplay);
  return false;
}

void RunManager::OnUseBuiltinWeights() {
  if (!MayChangeWeights()) return;
  m_results->SetWeights(BuiltinWeights(), NetShapeOf({}), BuiltinSource());
  NoteWeights();
}

void RunManager::OnUseTableWeights() {
  if (!MayChangeWeights()) return;
  WeightsSource table;
  table.kind = WeightsSource::Kind::Table;
  m_results->SetWeights(TableWeights(), NetShapeOf({}), table);
  NoteWeights();
}

bool RunManager::LoadWeights(const std::string& path, std::optional<int> block) {
  if (!MayChangeWeights()) return false;
  WeightsLoad load = LoadWeightsFile(path, block, GlobalParams().Get());
  if (!load.ok) {
    ShowMessage(load.message);
    return false;
  }
  m_results->SetWeights(std::move(load.weights), load.shape, load.source);
  NoteWeights();
  return true;
}

void RunManager::SaveWeights(const std::string& path) {
  if (!MayChangeWeights()) return;
  switch (AppendWeightsFile(path, FormatWeightsText(m_results->Weights()))) {
    case SaveResult::Ok: ShowMessage(Tx::WeightsSaved); break;
    case SaveResult::OpenFailed: ShowMessage(Tx::FileOpenError); break;
    case SaveResult::WriteFailed: ShowMessage(Tx::FileWriteError); break;
  }
}

void RunManager::NoteWeights() {
  const int version = m_results->WeightsVersion();
  if (version == m_weightsSeen) return;
  m_weightsSeen = version;
  emit WeightsChanged();
}

RunManager::Run* RunManager::FindRun(int id) {
  if (m_workerThread && m_workerThread->id == id) return m_workerThread.get();
  if (m_replayThread && m_replayThread->id == id) return m_replayThread.get();
  return nullptr;
}

void RunManager::OnMailbox() {
  // One at a time: a message box below runs a nested event loop that may
  // take the later events first, in order.
  while (std::optional<UiEvent> ev = m_mailbox->Take()) HandleEvent(*ev);
}

void RunManager::HandleEvent(UiEvent& ev) {
  const bool live = !m_control.StopRequested() && FindRun(ev.runId);
  switch (ev.kind) {
    case UiEvent::Kind::Frame: {
      if (!live) return;
      m_ledger.Frame(ev.runId, ev.frame);
      // A replay owns the screen while it lasts, even if the paused run it
      // watches is continued meanwhile.
      const Run* run = FindRun(ev.runId);
      m_state.ApplyRunFrame(ev.runId, std::move(ev.frame), !m_replayThread || m_replayThread->id == ev.runId,
                            run->kind);
      emit StateChanged();
      break;
    }
    case UiEvent::Kind::Message:
      if (!m_control.StopRequested()) ShowMessage(ev.text);
      m_control.CloseTicket(ev.ticket);
      return;
    case UiEvent::Kind::LoadLevel:
      if (!live) return;
      m_state.LoadBuiltInLevel(ev.level, GlobalParams().Get());
      break;
    case UiEvent::Kind::Marks:
      if (!live) return;
      m_state.SetShowPerception(ev.marks);
      break;
    case UiEvent::Kind::Paused: emit PauseChanged(ev.pause, true); return;
    case UiEvent::Kind::Held:
      // Held only while the pause still stands: a continue may have come first.
      if (Run* run = FindRun(ev.runId); run && m_control.PauseRequested(ev.pause)) run->held = true;
      emit StateChanged();
      return;
    case UiEvent::Kind::Finished:
      m_ledger.Ended(ev.runId, ev.outcome);
      FinishRun(ev.runId);
      emit StateChanged();
      break;
  }
  // Training puts weights in force when it pauses and when it ends.
  NoteWeights();
  emit ScreenChanged();
}

void RunManager::FinishRun(int id) {
  std::unique_ptr<Run>* slot = nullptr;
  if (m_workerThread && m_workerThread->id == id) slot = &m_workerThread;
  if (m_replayThread && m_replayThread->id == id) slot = &m_replayThread;
  if (!slot) return;
  if ((*slot)->thread.joinable()) (*slot)->thread.join();
  // The pace's pause ends with its run: the next run starts unpaused.
  if (const std::optional<PauseKind> kind = PauseKindOf((*slot)->kind); kind && m_control.DropPacedPause(*kind))
    emit PauseChanged(*kind, false);
  slot->reset();
  m_state.RunFinished(id);
}

}  // namespace korvane
