#include "cli/runs_appender.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/exit_codes.h"
#include "texts/cli_texts.h"
#include "texts/study_texts.h"

namespace korvane::cli {

RunsAppender::RunsAppender(std::string path) : m_path(std::move(path)) {
  m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (m_fd < 0) throw WriteFailure{text::CannotAppend(m_path, std::strerror(errno))};
}

RunsAppender::~RunsAppender() {
  if (m_fd >= 0) ::close(m_fd);
}

void RunsAppender::CutTo(std::size_t bytes) {
  if (::ftruncate(m_fd, static_cast<off_t>(bytes)) != 0)
    throw WriteFailure{text::CannotTruncate(m_path, std::strerror(errno))};
}

void RunsAppender::Append(std::string_view line) {
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(m_fd, line.data() + done, line.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      throw WriteFailure{text::CannotAppend(m_path, n < 0 ? std::strerror(errno) : text::NothingWritten)};
    }
  }
}

}  // namespace korvane::cli
