#pragma once
#include <QObject>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "engine/host.h"

class QSocketNotifier;

namespace korvane {

// What a worker asks of the UI thread.
struct UiEvent {
  enum class Kind { Frame, Message, LoadLevel, Marks, Paused, Held, Finished };
  Kind kind = Kind::Frame;
  int runId = 0;
  FrameSnapshot frame;              // Frame
  std::string text;                 // Message
  RunOutcome outcome;               // Finished
  std::uint64_t ticket = 0;         // Message
  int level = 0;                    // LoadLevel
  bool marks = false;               // Marks
  PauseKind pause = PauseKind::GA;  // Paused, Held
};

// Carries events from worker threads to the UI thread. Workers only lock a
// mutex and write to an eventfd; they never call into Qt. The UI thread is
// woken through a socket notifier and takes the events in order. A frame
// replaces a frame of the same run still waiting at the end of the queue,
// so a slow UI only ever draws the latest one.
class UiMailbox : public QObject {
  Q_OBJECT
 public:
  explicit UiMailbox(QObject* parent = nullptr);
  ~UiMailbox() override;

  void Post(UiEvent ev);          // any thread
  std::optional<UiEvent> Take();  // UI thread

 signals:
  void ready();

 private:
  void OnNotifier();

  std::mutex m_mutex;
  std::deque<UiEvent> m_queue;
  int m_fd = -1;
  QSocketNotifier* m_notifier = nullptr;
};

}  // namespace korvane
