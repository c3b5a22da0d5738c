#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "study/runs_file.h"

// The study's runs file, open for appending and locked for the study's life
// (flock), so that two studies on one file cannot both fly its runs. Each
// line goes out whole in one write, or the file is cut back to where it
// was: a study that is killed leaves at most its last line cut.
namespace korvane::cli {

class RunsAppender {
 public:
  // Opens the file, creating it, and takes the lock before anything is
  // read. Throws Refusal when another study holds the lock, WriteFailure
  // when the file cannot be opened.
  explicit RunsAppender(std::string path);
  ~RunsAppender();
  RunsAppender(const RunsAppender&) = delete;
  RunsAppender& operator=(const RunsAppender&) = delete;

  // What the file holds, read under the lock; a file that is not regular
  // (/dev/null, a pipe) holds no runs. Throws study::InputError.
  study::RunsFile Read() const;
  // Cuts the file back to its first `bytes` bytes (a damaged last line).
  void CutTo(std::size_t bytes);
  // Throws WriteFailure, the file as it was, when the line cannot go out whole.
  void Append(std::string_view line);
  // For a study refused before it wrote: removes the file if this study
  // created it.
  void Abandon();

 private:
  std::string m_path;
  int m_fd = -1;
  bool m_created = false;
};

}  // namespace korvane::cli
