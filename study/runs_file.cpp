#include "study/runs_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "texts/study_texts.h"

namespace korvane::study {
namespace {

// The descriptor closed on every way out.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

void TakeLine(RunsFile& file, const std::string& path, std::string_view line, int number) {
  std::string why;
  auto r = ParseRunLine(line, &why);
  if (!r) throw InputError{text::En<Tx::RunsLineDamaged>(path, number, why)};
  file.runs.push_back(std::move(*r));
  file.lines.push_back(number);
  file.goodBytes += line.size() + 1;
}

}  // namespace

RunsFile ReadRunsFile(const std::string& path) {
  // Non-blocking, so that a FIFO is refused rather than waited on.
  const Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0 && errno == ENOENT) return {};
  if (f.fd < 0) throw InputError{text::En<Tx::RunsFileUnreadable>(path)};
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) throw InputError{text::En<Tx::RunsFileNotRegular>(path)};
  return ReadRunsFrom(f.fd, path);
}

RunsFile ReadRunsFrom(int fd, const std::string& path) {
  const std::size_t cap = MaxRunLineBytes();
  RunsFile file;
  std::string line;
  int number = 0;
  char buf[65536];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(fd, buf, sizeof buf, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw InputError{text::En<Tx::RunsFileUnreadable>(path)};
    if (n == 0) break;
    at += n;
    for (std::string_view chunk(buf, static_cast<std::size_t>(n)); !chunk.empty();) {
      const std::size_t end = chunk.find('\n');
      line.append(chunk.substr(0, end));
      if (line.size() > cap) throw InputError{text::En<Tx::RunsLineTooLong>(path, number + 1, cap)};
      if (end == std::string_view::npos) break;
      TakeLine(file, path, line, ++number);
      line.clear();
      chunk.remove_prefix(end + 1);
    }
  }
  if (!line.empty()) {
    // No line end: a run killed while its line went out, or not a runs file.
    ++number;
    if (!StartsRunLine(line)) {
      std::string why;
      ParseRunLine(line, &why);
      throw InputError{text::En<Tx::RunsLastLineDamaged>(path, number, why)};
    }
    file.damagedLastLine = number;
  }
  return file;
}

}  // namespace korvane::study
