#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <vector>

namespace korvane::test {

// Runs each job in a child process of its own, all let go at the same moment,
// and gives their exit codes (-1 for one that did not exit normally). Jobs
// report through their return value only: no test macros in a child.
inline std::vector<int> RunTogether(const std::vector<std::function<int()>>& jobs) {
  int gate[2];
  if (::pipe(gate) != 0) return std::vector<int>(jobs.size(), -1);
  std::vector<pid_t> pids;
  for (const auto& job : jobs) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(gate[1]);
      char c;
      while (::read(gate[0], &c, 1) < 0 && errno == EINTR) {
      }
      ::_exit(job());
    }
    pids.push_back(pid);
  }
  ::close(gate[0]);
  ::close(gate[1]);  // end of file at every child's read: go
  std::vector<int> codes;
  for (pid_t pid : pids) {
    int status = 0;
    const bool exited = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    codes.push_back(exited ? WEXITSTATUS(status) : -1);
  }
  return codes;
}

}  // namespace korvane::test
