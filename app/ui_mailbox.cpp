#include "app/ui_mailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>

namespace korvane {

UiMailbox::UiMailbox(QObject* parent) : QObject(parent) {
  m_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (m_fd < 0) {
    std::perror("eventfd");
    std::abort();
  }
  m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, [this] { OnNotifier(); });
}

UiMailbox::~UiMailbox() {
  delete m_notifier;
  ::close(m_fd);
}

void UiMailbox::Post(UiEvent ev) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (ev.kind == UiEvent::Kind::Frame && !m_queue.empty() && m_queue.back().kind == UiEvent::Kind::Frame &&
        m_queue.back().runId == ev.runId) {
      m_queue.back() = std::move(ev);
      return;  // a wake-up for the older frame is already pending
    }
    m_queue.push_back(std::move(ev));
  }
  const std::uint64_t one = 1;
  // The counter cannot overflow in practice; a failed write only delays.
  [[maybe_unused]] ssize_t n = ::write(m_fd, &one, sizeof one);
}

std::optional<UiEvent> UiMailbox::Take() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_queue.empty()) return std::nullopt;
  UiEvent ev = std::move(m_queue.front());
  m_queue.pop_front();
  return ev;
}

void UiMailbox::OnNotifier() {
  std::uint64_t count = 0;
  [[maybe_unused]] ssize_t n = ::read(m_fd, &count, sizeof count);
  emit ready();
}

}  // namespace korvane
