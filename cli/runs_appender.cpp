#include "cli/runs_appender.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/exit_codes.h"
#include "cli/output.h"
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
  if (const std::string why = WriteAll(m_fd, line); !why.empty()) throw WriteFailure{text::CannotAppend(m_path, why)};
}

}  // namespace korvane::cli
