#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>

#include "engine/host.h"

namespace korvane {

// What the UI thread and the worker threads share to steer the runs: the
// three pause requests, the pace, the user's stop of one run, the stop of a
// closing window and the hand-shake of message boxes. Every wait here ends
// on the closing window's stop, so it can always join its threads; a run's
// own stop ends its pauses and sleeps but not its message boxes, which the
// user still sees.
class RunControl {
 public:
  // The user's pause requests outlive runs: one set before a run makes that
  // run pause at its first checkpoint.
  void SetPause(PauseKind kind, bool on);
  // A pause asked by the pace (one generation at a time) belongs to its run:
  // DropPacedPause clears it when the run ends, unless the user has since
  // set or cleared the request; it says whether it cleared one.
  void RequestPacedPause(PauseKind kind);
  bool DropPacedPause(PauseKind kind);
  bool PauseRequested(PauseKind kind) const;
  // Blocks while the request stands; notes that a run of this kind is
  // waiting so the UI can allow a replay meanwhile.
  void WaitWhilePaused(PauseKind kind, int runId = 0);
  bool IsWaitingInPause(PauseKind kind) const;

  // The closing window's stop: every run, for good.
  void RequestStop();
  bool StopRequested() const;
  // The user's stop of one run; StopRequested(runId) sees both.
  void StopRun(int runId);
  bool StopRequested(int runId) const;

  void SetShowing(const Showing& showing);
  Showing GetShowing() const;
  // How fast flights under 观看 go, as a multiple of the demonstration's pace.
  void SetSpeed(double speed);
  double Speed() const;

  // Sleeps, but returns early on a stop.
  void Sleep(int milliseconds, int runId = 0);

  // A worker's message box: the worker opens a ticket, the UI thread closes
  // it when the box has been closed, the worker waits in between.
  std::uint64_t OpenTicket();
  void CloseTicket(std::uint64_t ticket);
  void WaitTicket(std::uint64_t ticket);

 private:
  static int Index(PauseKind kind) { return static_cast<int>(kind); }
  bool Stopped(int runId) const { return m_stop || m_stoppedRuns.contains(runId); }

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_pause[3] = {false, false, false};
  bool m_paced[3] = {false, false, false};  // the request stands for the pace alone
  int m_waiting[3] = {0, 0, 0};
  bool m_stop = false;
  std::set<int> m_stoppedRuns;
  Showing m_showing;
  double m_speed = 1.0;
  std::uint64_t m_nextTicket = 1;
  std::set<std::uint64_t> m_openTickets;
};

}  // namespace korvane
