// The capped reader and the append that never harms what is there.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/file_io.h"
#include "temp_dir.h"
#include "together.h"

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
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);  // no writer: opening it to read must not wait
  struct Case {
    std::string path;
    std::size_t cap;
    ReadStatus status;
    std::size_t size;
  };
  for (const Case& c :
       {Case{Path("small"), 3, ReadStatus::Ok, 3}, Case{Path("large"), 99, ReadStatus::TooLarge, 100},
        Case{Path("none"), 10, ReadStatus::Missing, 0}, Case{m_dir.string(), 10, ReadStatus::Failed, 0},
        Case{"/dev/zero", 1000, ReadStatus::Failed, 0}, Case{Path("fifo"), 10, ReadStatus::Failed, 0}}) {
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

TEST_F(FileIoTest, ABlockStartsOnALineOfItsOwn) {
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case& c : {Case{"", "new\r\n"}, Case{"old\r\n", "old\r\nnew\r\n"}, Case{"old\n", "old\nnew\r\n"},
                        Case{"old", "old\r\nnew\r\n"}, Case{"old\r", "old\r\nnew\r\n"}}) {
    Write(Path("f"), c.before);
    EXPECT_EQ(AppendWithRollBack(Path("f"), "new\r\n"), AppendStatus::Ok);
    EXPECT_EQ(Read(Path("f")), c.after) << c.before;
  }
}

// A block of whole lines, big enough that writing it takes many pages.
std::string Block(const char* value, int lines) {
  std::string out;
  for (int i = 0; i < lines; ++i) out += "m_weight[" + std::to_string(i) + "] = " + value + ";\r\n";
  return out;
}

// Lets the file grow to limit bytes at most, as a disk that fills up would.
void LimitFileSize(rlim_t limit) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit small{};
  ::getrlimit(RLIMIT_FSIZE, &small);
  small.rlim_cur = limit;
  ::setrlimit(RLIMIT_FSIZE, &small);
}

TEST_F(FileIoTest, WritersAtOnceTakeTurnsAndAFailingOneCutsOnlyItsOwnBlock) {
  const std::string a = Block("1.000000", 200000);
  const std::string b = Block("2.000000", 200000);
  const std::string path = Path("weights.txt");
  auto append = [&](const std::string& block) { return AppendWithRollBack(path, block) == AppendStatus::Ok ? 0 : 1; };

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    std::filesystem::remove(path);
    EXPECT_EQ(test::RunTogether({[&] { return append(a); }, [&] { return append(b); }}), (std::vector<int>{0, 0}));
    const std::string both = Read(path);
    EXPECT_TRUE(both == a + b || both == b + a) << "the blocks are spliced";

    // One writer's disk fills half-way through its block: it says so, and
    // the other's block is all there.
    std::filesystem::remove(path);
    const auto full = [&] {
      LimitFileSize(a.size() / 2);
      return append(a);
    };
    EXPECT_EQ(test::RunTogether({full, [&] { return append(b); }}), (std::vector<int>{1, 0}));
    EXPECT_TRUE(Read(path) == b) << "the other writer's block was cut";
  }
}

}  // namespace
}  // namespace korvane
