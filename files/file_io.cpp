#include "files/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace korvane {

ReadStatus ReadCapped(const std::string& path, std::size_t cap, std::string& text) {
  text.clear();
  // Non-blocking, so that a FIFO is refused at once rather than waited on;
  // only a regular file is read (not a directory, a FIFO or a device).
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
  struct stat st {};
  ReadStatus status = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ReadStatus::Ok : ReadStatus::Failed;
  char buf[65536];
  while (status == ReadStatus::Ok) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) status = ReadStatus::Failed;
      break;
    }
    text.append(buf, static_cast<std::size_t>(n));
    if (text.size() > cap) {
      text.resize(cap + 1);
      status = ReadStatus::TooLarge;
    }
  }
  ::close(fd);
  if (status == ReadStatus::Failed) text.clear();
  return status;
}

namespace {

// write(2) may take part of a block, or be interrupted; go on until it is all
// out or the disk says no.
bool WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n > 0)
      done += static_cast<std::size_t>(n);
    else if (n < 0 && errno == EINTR)
      continue;
    else
      return false;
  }
  return true;
}

bool LockExclusive(int fd) {
  int rc;
  while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  return rc == 0;
}

}  // namespace

std::string_view LineEndBeforeBlock(std::string_view fileEnd) {
  // A last line without its line end would swallow the block's first line;
  // one cut between its CR and LF lacks the LF only.
  if (fileEnd.empty() || fileEnd.back() == '\n') return "";
  return fileEnd.back() == '\r' ? "\n" : "\r\n";
}

AppendFile::~AppendFile() { Close(); }

void AppendFile::Close() {
  if (m_fd >= 0) ::close(m_fd);  // drops the lock
  m_fd = -1;
}

bool AppendFile::Open(const std::string& path) {
  Close();
  const int flags = O_APPEND | O_CREAT | O_CLOEXEC;
  m_fd = ::open(path.c_str(), O_RDWR | flags, 0666);
  // A file we may write but not read still takes the block.
  if (m_fd < 0 && errno == EACCES) m_fd = ::open(path.c_str(), O_WRONLY | flags, 0666);
  if (m_fd < 0) return false;
  // A file system without flock still gets the block: saving unguarded beats
  // not saving at all.
  (void)LockExclusive(m_fd);
  struct stat st {};
  m_sizeBefore = ::fstat(m_fd, &st) == 0 ? st.st_size : -1;
  return true;
}

ReadStatus AppendFile::ReadLocked(std::size_t cap, std::string& text) const {
  text.clear();
  if (m_fd < 0) return ReadStatus::Missing;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::pread(m_fd, buf, sizeof buf, static_cast<off_t>(text.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadStatus::Failed;
    if (n == 0) return ReadStatus::Ok;
    text.append(buf, static_cast<std::size_t>(n));
    if (text.size() > cap) {
      text.resize(cap + 1);
      return ReadStatus::TooLarge;
    }
  }
}

AppendStatus AppendFile::Write(const std::string& text) {
  if (m_fd < 0) return AppendStatus::OpenFailed;
  char last = '\n';
  if (m_sizeBefore > 0 && ::pread(m_fd, &last, 1, m_sizeBefore - 1) != 1) last = '\n';
  const std::string_view lineEnd = text.empty() ? "" : LineEndBeforeBlock({&last, 1});
  bool ok = WriteAll(m_fd, lineEnd.data(), lineEnd.size()) && WriteAll(m_fd, text.data(), text.size());
  // A late error (a full disk seen only at close) loses the block too. The
  // second descriptor keeps the lock past that close, so the cut below cannot
  // reach a block another writer adds after us.
  if (ok) {
    const int keep = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    ok = ::close(m_fd) == 0;
    m_fd = keep;
  }
  if (!ok && m_fd >= 0 && m_sizeBefore >= 0) (void)!::ftruncate(m_fd, m_sizeBefore);
  Close();
  return ok ? AppendStatus::Ok : AppendStatus::WriteFailed;
}

AppendStatus AppendWithRollBack(const std::string& path, const std::string& text) {
  AppendFile f;
  if (!f.Open(path)) return AppendStatus::OpenFailed;
  return f.Write(text);
}

}  // namespace korvane
