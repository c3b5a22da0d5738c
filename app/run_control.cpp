#include "app/run_control.h"

#include <chrono>

namespace korvane {

void RunControl::SetPause(PauseKind kind, bool on) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pause[Index(kind)] = on;
    m_paced[Index(kind)] = false;
  }
  m_changed.notify_all();
}

void RunControl::RequestPacedPause(PauseKind kind) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_pause[Index(kind)]) return;
  m_pause[Index(kind)] = true;
  m_paced[Index(kind)] = true;
}

bool RunControl::DropPacedPause(PauseKind kind) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_paced[Index(kind)]) return false;
    m_pause[Index(kind)] = false;
    m_paced[Index(kind)] = false;
  }
  m_changed.notify_all();
  return true;
}

bool RunControl::PauseRequested(PauseKind kind) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_pause[Index(kind)];
}

void RunControl::WaitWhilePaused(PauseKind kind, int runId) {
  std::unique_lock<std::mutex> lock(m_mutex);
  ++m_waiting[Index(kind)];
  m_changed.wait(lock, [&] { return Stopped(runId) || !m_pause[Index(kind)]; });
  --m_waiting[Index(kind)];
}

bool RunControl::IsWaitingInPause(PauseKind kind) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_waiting[Index(kind)] > 0;
}

void RunControl::RequestStop() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
}

bool RunControl::StopRequested() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_stop;
}

void RunControl::StopRun(int runId) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stoppedRuns.insert(runId);
  }
  m_changed.notify_all();
}

bool RunControl::StopRequested(int runId) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return Stopped(runId);
}

void RunControl::SetShowing(const Showing& showing) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_showing = showing;
}

void RunControl::SetSpeed(double speed) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_speed = speed > 0 ? speed : 1.0;
}

double RunControl::Speed() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_speed;
}

Showing RunControl::GetShowing() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_showing;
}

void RunControl::Sleep(int milliseconds, int runId) {
  if (milliseconds <= 0) return;
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return Stopped(runId); });
}

std::uint64_t RunControl::OpenTicket() {
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::uint64_t t = m_nextTicket++;
  m_openTickets.insert(t);
  return t;
}

void RunControl::CloseTicket(std::uint64_t ticket) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openTickets.erase(ticket);
  }
  m_changed.notify_all();
}

void RunControl::WaitTicket(std::uint64_t ticket) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [&] { return m_stop || !m_openTickets.contains(ticket); });
}

}  // namespace korvane
