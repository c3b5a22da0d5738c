// The capped reader and the append that never harms what is there.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/file_io.h"
#include "temp_dir.h"

namespace korvane {
namespace {

class FileIoTest : public test::TempDirTest {
 protected:
  void Write(const std::string& path, const std::string& bytes) { WriteFile(path, bytes); }
  std::string Read(const std::string& path) { return ReadFile(path); }
};

TEST_F(FileIoTest, ReadsWholeFilesUpToTheCap) {
  Write(Path("small"), "abc");
  Write(Path("large"), std::string(100, 'x'));
  struct Case {
    std::string path;
    std::size_t cap;
    ReadStatus status;
    std::size_t size;
  };
  for (const Case& c : {Case{Path("small"), 3, ReadStatus::Ok, 3}, Case{Path("large"), 99, ReadStatus::TooLarge, 100},
                        Case{Path("none"), 10, ReadStatus::Missing, 0}, Case{m_dir.string(), 10, ReadStatus::Failed, 0},
                        Case{"/dev/zero", 1000, ReadStatus::TooLarge, 1001}}) {
    std::string text = "left over";
    EXPECT_EQ(ReadCapped(c.path, c.cap, text), c.status) << c.path;
    EXPECT_EQ(text.size(), c.size) << c.path;
  }
}

TEST_F(FileIoTest, AppendsOrLeavesTheFileAsItWas) {
  Write(Path("old"), "first block\r\n");
  EXPECT_EQ(AppendWithRollBack(Path("old"), "second\r\n"), AppendStatus::Ok);
  EXPECT_EQ(Read(Path("old")), "first block\r\nsecond\r\n");
  EXPECT_EQ(AppendWithRollBack(Path("new"), "made\r\n"), AppendStatus::Ok);
  EXPECT_EQ(Read(Path("new")), "made\r\n");

  // Nothing can be opened: no directory, a directory.
  EXPECT_EQ(AppendWithRollBack(Path("no/such/dir"), "x"), AppendStatus::OpenFailed);
  EXPECT_EQ(AppendWithRollBack(m_dir.string(), "x"), AppendStatus::OpenFailed);
  // A device that takes nothing.
  EXPECT_EQ(AppendWithRollBack("/dev/full", "x"), AppendStatus::WriteFailed);

  // A disk that fills up part-way: the file size limit stops the write after
  // some bytes, and the block is cut back off.
  const std::string before = Read(Path("old"));
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = before.size() + 5;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const AppendStatus st = AppendWithRollBack(Path("old"), std::string(1000, 'y'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(st, AppendStatus::WriteFailed);
  EXPECT_EQ(Read(Path("old")), before);
}

}  // namespace
}  // namespace korvane
