#pragma once
#include <cstddef>
#include <string>

// The two ways the program touches a file of its own: read it whole, up to
// a cap, and append a block to it without ever harming what is there.
namespace korvane {

enum class ReadStatus {
  Ok,
  Missing,   // no such file
  Failed,    // cannot be opened or read (a directory, no permission)
  TooLarge,  // more than the cap; text holds the first cap + 1 bytes
};

// Reads at most cap + 1 bytes, so a device that never runs dry ends too.
ReadStatus ReadCapped(const std::string& path, std::size_t cap, std::string& text);

enum class AppendStatus {
  Ok,
  OpenFailed,   // nothing written
  WriteFailed,  // the file is back at its old length
};

// One append: open (creating, never truncating), then write one block. A
// write that fails part-way is cut back to the length the file had, so the
// blocks before it stay whole. Closes when destroyed.
class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile();

  bool Open(const std::string& path);
  AppendStatus Write(const std::string& text);

 private:
  int m_fd = -1;
  std::string m_path;
};

AppendStatus AppendWithRollBack(const std::string& path, const std::string& text);

}  // namespace korvane
