#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

// The two ways the program touches a file of its own: read it whole, up to
// a cap, and append a block to it without ever harming what is there.
namespace korvane {

enum class ReadStatus {
  Ok,
  Missing,   // no such file
  Failed,    // cannot be opened or read, or not a regular file (a directory, a FIFO, a device)
  TooLarge,  // more than the cap; text holds the first cap + 1 bytes
};

// Reads at most cap + 1 bytes, so a file that grows as it is read ends too.
ReadStatus ReadCapped(const std::string& path, std::size_t cap, std::string& text);

enum class AppendStatus {
  Ok,
  OpenFailed,   // nothing written
  WriteFailed,  // the file is back at its old length
};

// One append: open (creating, never truncating) and take an exclusive flock,
// held until the block is written or given up, so two programs appending to
// one file take turns. The block starts on a line of its own (a last line
// without its line end gets one first) and goes out whole; a write that
// fails part-way is cut back, still under the lock, to the length the file
// had, so the blocks before it, anyone's, stay whole.
class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile();

  bool Open(const std::string& path);
  // The file's bytes as the lock holds them, as ReadCapped reads a file.
  ReadStatus ReadLocked(std::size_t cap, std::string& text) const;
  AppendStatus Write(const std::string& text);

 private:
  void Close();

  int m_fd = -1;
  off_t m_sizeBefore = -1;  // measured under the lock; -1 when unknown
};

// What goes between a file's last bytes and a block appended to it, so that
// the block starts on a line of its own.
std::string_view LineEndBeforeBlock(std::string_view fileEnd);

AppendStatus AppendWithRollBack(const std::string& path, const std::string& text);

}  // namespace korvane
