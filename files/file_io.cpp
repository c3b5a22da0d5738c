#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace korvane {

ReadStatus ReadCapped(const std::string& path, std::size_t cap, std::string& text) {
  text.clear();
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
  char buf[65536];
  std::size_t got;
  bool tooLarge = false;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    text.append(buf, got);
    if (text.size() > cap) {
      text.resize(cap + 1);
      tooLarge = true;
      break;
    }
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) return ReadStatus::Failed;
  return tooLarge ? ReadStatus::TooLarge : ReadStatus::Ok;
}

AppendFile::~AppendFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool AppendFile::Open(const std::string& path) {
  if (m_fd >= 0) ::close(m_fd);
  m_path = path;
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  return m_fd >= 0;
}

AppendStatus AppendFile::Write(const std::string& text) {
  if (m_fd < 0) return AppendStatus::OpenFailed;
  struct stat st {};
  const bool haveLength = ::fstat(m_fd, &st) == 0;
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(m_fd, text.data() + done, text.size() - done);
    if (n > 0)
      done += static_cast<std::size_t>(n);
    else if (n < 0 && errno == EINTR)
      continue;
    else
      ok = false;
  }
  if (!ok && haveLength) (void)!::ftruncate(m_fd, st.st_size);
  const bool closed = ::close(m_fd) == 0;
  m_fd = -1;
  // A late error (a full disk seen only now) loses the block too.
  if (ok && !closed && haveLength) (void)!::truncate(m_path.c_str(), st.st_size);
  return ok && closed ? AppendStatus::Ok : AppendStatus::WriteFailed;
}

AppendStatus AppendWithRollBack(const std::string& path, const std::string& text) {
  AppendFile f;
  if (!f.Open(path)) return AppendStatus::OpenFailed;
  return f.Write(text);
}

}  // namespace korvane
