#include "app/view_host.h"

#include "ui_model/run_words.h"
#include "ui_model/settings_store.h"

namespace korvane {

ViewHost::ViewHost(RunControl& control, UiMailbox& mailbox, int runId, double paceScale, bool paced)
    : m_control(control), m_mailbox(mailbox), m_runId(runId), m_paceScale(paceScale), m_paced(paced) {}

UiEvent ViewHost::Event(UiEvent::Kind kind) const {
  UiEvent ev;
  ev.kind = kind;
  ev.runId = m_runId;
  return ev;
}

std::optional<SimParams> ViewHost::Params() { return GlobalParams().Get(); }

void ViewHost::ShowMessage(const std::string& text) {
  if (m_control.StopRequested()) return;
  UiEvent ev = Event(UiEvent::Kind::Message);
  ev.text = text;
  ev.ticket = m_control.OpenTicket();
  const std::uint64_t ticket = ev.ticket;
  m_mailbox.Post(std::move(ev));
  m_control.WaitTicket(ticket);
}

void ViewHost::Notice(const RunNotice& notice) {
  for (const std::string& text : BoxTexts(notice)) ShowMessage(text);
}

void ViewHost::FrameReady(const FrameMaker& frame) {
  UiEvent ev = Event(UiEvent::Kind::Frame);
  ev.frame = frame();
  m_mailbox.Post(std::move(ev));
}

bool ViewHost::PauseRequested(PauseKind kind) { return m_control.PauseRequested(kind); }

void ViewHost::WaitWhilePaused(PauseKind kind) {
  // The state line says so once the run is held.
  UiEvent ev = Event(UiEvent::Kind::Held);
  ev.pause = kind;
  m_mailbox.Post(std::move(ev));
  m_control.WaitWhilePaused(kind, m_runId);
}

bool ViewHost::StopRequested() { return m_control.StopRequested(m_runId); }

Showing ViewHost::WhatToShow() { return m_control.GetShowing(); }

void ViewHost::RequestPause(PauseKind kind) {
  m_control.RequestPacedPause(kind);
  // The menu shows 继续…: the UI hears of it through the mailbox.
  UiEvent ev = Event(UiEvent::Kind::Paused);
  ev.pause = kind;
  m_mailbox.Post(std::move(ev));
}

void ViewHost::Wait(int milliseconds) {
  const double speed = m_paced ? m_control.Speed() : 1.0;
  m_control.Sleep(static_cast<int>(milliseconds * m_paceScale / speed), m_runId);
}

void ViewHost::ShowLevel(int n) {
  UiEvent ev = Event(UiEvent::Kind::LoadLevel);
  ev.level = n;
  m_mailbox.Post(std::move(ev));
}

void ViewHost::PerceptionMarks(bool on) {
  UiEvent ev = Event(UiEvent::Kind::Marks);
  ev.marks = on;
  m_mailbox.Post(std::move(ev));
}

}  // namespace korvane
