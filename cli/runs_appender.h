#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The study's runs file, open for appending: each line goes out whole in
// one write, so a study that is killed leaves at most its last line cut.
// Throws WriteFailure when the file cannot be opened, cut or written.
namespace korvane::cli {

class RunsAppender {
 public:
  explicit RunsAppender(std::string path);
  ~RunsAppender();
  RunsAppender(const RunsAppender&) = delete;
  RunsAppender& operator=(const RunsAppender&) = delete;

  // Cuts the file back to its first `bytes` bytes (a damaged last line).
  void CutTo(std::size_t bytes);
  void Append(std::string_view line);

 private:
  std::string m_path;
  int m_fd = -1;
};

}  // namespace korvane::cli
