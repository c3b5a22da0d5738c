#include "cli/runs_appender.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/exit_codes.h"
#include "cli/output.h"
#include "texts/study_texts.h"

namespace korvane::cli {
namespace {

int OpenRunsFile(const std::string& path, bool& created) {
  constexpr int kFlags = O_APPEND | O_CLOEXEC;
  for (;;) {
    int fd = ::open(path.c_str(), O_RDWR | kFlags);
    // A file we may append to but not read: its runs cannot be read back,
    // which Read says, unless it is empty.
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | kFlags);
    if (fd >= 0 || errno != ENOENT) return fd;
    // Created here, so that a refused study can take back what it made.
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kFlags, 0644);
    if (fd >= 0) created = true;
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

}  // namespace

RunsAppender::RunsAppender(std::string path) : m_path(std::move(path)) {
  m_fd = OpenRunsFile(m_path, m_created);
  if (m_fd < 0) throw WriteFailure{text::En<Tx::CannotAppend>(m_path, std::strerror(errno))};
  int rc;
  while ((rc = ::flock(m_fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  // A file system without flock still gets the runs, unguarded.
  if (rc != 0 && errno == EWOULDBLOCK) {
    ::close(m_fd);
    m_fd = -1;
    throw Refusal{text::En<Tx::RunsFileInUse>(m_path)};
  }
}

RunsAppender::~RunsAppender() {
  if (m_fd >= 0) ::close(m_fd);  // drops the lock
}

study::RunsFile RunsAppender::Read() const {
  struct stat st {};
  if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) return {};
  return study::ReadRunsFrom(m_fd, m_path);
}

void RunsAppender::CutTo(std::size_t bytes) {
  if (::ftruncate(m_fd, static_cast<off_t>(bytes)) != 0)
    throw WriteFailure{text::En<Tx::CannotTruncate>(m_path, std::strerror(errno))};
}

void RunsAppender::Append(std::string_view line) {
  struct stat st {};
  const bool sized = ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode);
  if (const std::string why = WriteAll(m_fd, line); !why.empty()) {
    // A full disk or a file-size limit may take part of the line.
    if (sized) (void)!::ftruncate(m_fd, st.st_size);
    throw WriteFailure{text::En<Tx::CannotAppend>(m_path, why)};
  }
}

void RunsAppender::Abandon() {
  struct stat mine {
  }, named{};
  if (m_created && ::fstat(m_fd, &mine) == 0 && mine.st_size == 0 && ::stat(m_path.c_str(), &named) == 0 &&
      mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
    ::unlink(m_path.c_str());
}

}  // namespace korvane::cli
