#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace korvane::test {

// A fresh directory per test, removed at the end, with whole-file helpers.
class TempDirTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    m_dir = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path m_dir;
};

}  // namespace korvane::test
