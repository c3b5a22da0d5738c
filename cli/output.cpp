#include "cli/output.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/exit_codes.h"
#include "texts/cli_texts.h"

namespace korvane::cli {

std::string WriteAll(int fd, std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return n < 0 ? std::strerror(errno) : text::En<Tx::NothingWritten>();
    }
  }
  return {};
}

void WriteOut(std::string_view text) {
  if (const std::string why = WriteAll(STDOUT_FILENO, text); !why.empty())
    throw WriteFailure{text::En<Tx::StdoutFailed>(why)};
}

void AwaitReader() {
  struct stat st {};
  if (::fstat(STDOUT_FILENO, &st) != 0 || !S_ISFIFO(st.st_mode)) return;
  // A reader that stops taking data yet stays open may read later (or only
  // after we exit): after a second without progress the output is its own.
  using Clock = std::chrono::steady_clock;
  int lastUnread = -1;
  Clock::time_point lastProgress = Clock::now();
  for (;;) {
    int unread = 0;
    if (::ioctl(STDOUT_FILENO, FIONREAD, &unread) != 0 || unread == 0) return;
    if (unread != lastUnread) {
      lastUnread = unread;
      lastProgress = Clock::now();
    } else if (Clock::now() - lastProgress > std::chrono::seconds(1)) {
      return;
    }
    // No events asked: poll wakes for POLLERR, the last reader closing.
    pollfd p{STDOUT_FILENO, 0, 0};
    if (::poll(&p, 1, 20) > 0 && (p.revents & POLLERR))
      throw WriteFailure{text::En<Tx::StdoutFailed>(text::En<Tx::ReaderGone>())};
  }
}

void Complain(std::string_view line) {
  // A value echoed in the line may hold a line end or a terminal's escape:
  // written as \n, \x1b, so that the line stays one line.
  std::string shown;
  for (const char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7f) {
      shown += c;
    } else if (c == '\n' || c == '\r' || c == '\t') {
      shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      shown += hex;
    }
  }
  std::fprintf(stderr, "korvane-cli: %s\n", shown.c_str());
}

void WriteJsonLine(const Json& value) {
  // Texts hold file names; bytes that are not UTF-8 are replaced, not fatal.
  WriteOut(value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

}  // namespace korvane::cli
