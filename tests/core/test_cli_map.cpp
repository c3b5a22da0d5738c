#include <gtest/gtest.h>

#include "cli_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/obstacle_map_file.h"
#include "temp_dir.h"

namespace korvane {
namespace {

using korvane::test::Cli;
using korvane::test::CliRun;

namespace fs = std::filesystem;

class CliMapTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_map = (m_dir / "ObstacleMap.txt").string();
    // Map 1 is an empty field, map 2 built-in level 1, map 3 level 3.
    CObstacleMapFile file(m_map);
    MeteorField empty;
    empty.count = 0;
    ASSERT_EQ(file.SaveMap(empty).status, MapSaveStatus::Saved);
    ASSERT_EQ(file.SaveMap(BuiltInLevel(1)).status, MapSaveStatus::Saved);
    ASSERT_EQ(file.SaveMap(BuiltInLevel(3)).status, MapSaveStatus::Saved);
    std::ofstream(m_dir / "plan.json") << R"({"actions": [1, 4, 4, 0, 2], "durations": [5, 9, 9, 4, 3]})";
  }
  std::string Map(int k) const { return "--map " + m_map + " --map-index " + std::to_string(k); }

  std::string m_map;
};

TEST_F(CliMapTest, SavedLevelFliesLikeTheBuiltInOne) {
  for (int level : {1, 3}) {
    const int k = level == 1 ? 2 : 3;
    CliRun byLevel = Cli("fly-net --level " + std::to_string(level));
    CliRun byMap = Cli("fly-net " + Map(k));
    ASSERT_EQ(byLevel.status, 0);
    ASSERT_EQ(byMap.status, 0);
    EXPECT_EQ(byMap.out, byLevel.out);

    const std::string plan = " --plan " + (m_dir / "plan.json").string();
    CliRun planLevel = Cli("fly-plan --level " + std::to_string(level) + plan);
    CliRun planMap = Cli("fly-plan " + Map(k) + plan);
    ASSERT_EQ(planMap.status, 0);
    EXPECT_EQ(planMap.out, planLevel.out);
  }
  const std::string ga = " --seed 3 --set MaxGenerations=2 --set PopulationSize=20";
  CliRun gaMap = Cli("ga " + Map(2) + ga);
  ASSERT_EQ(gaMap.status, 0);
  EXPECT_EQ(gaMap.out, Cli("ga --level 1" + ga).out);
}

int Ticks(const std::string& json) {
  const auto at = json.find("\"ticks\":");
  return at == std::string::npos ? -1 : std::stoi(json.substr(at + 8));
}

TEST_F(CliMapTest, EmptyMapIsAnEmptyField) {
  // Ten ticks to the right: free on an empty field, cut short by a meteor in
  // the way on the next map.
  const fs::path file = m_dir / "two.txt";
  std::ofstream(file, std::ios::binary) << "Obstacle1\r\nObstacle2\r\n60,200,20,\r\n";
  std::ofstream(m_dir / "right.json") << R"({"actions": [4, 0], "durations": [5, 5]})";
  const std::string tail = " --plan " + (m_dir / "right.json").string();
  CliRun empty = Cli("fly-plan --map " + file.string() + " --map-index 1" + tail);
  CliRun blocked = Cli("fly-plan --map " + file.string() + " --map-index 2" + tail);
  ASSERT_EQ(empty.status, 0);
  ASSERT_EQ(blocked.status, 0);
  EXPECT_EQ(Ticks(empty.out), 10);
  EXPECT_GT(Ticks(blocked.out), 0);
  EXPECT_LT(Ticks(blocked.out), 10);
}

TEST_F(CliMapTest, BadMapsAndArgumentsExitWithTwoAndPrintNothing) {
  std::ofstream(m_dir / "damaged.txt", std::ios::binary) << "Obstacle1\r\n100,200,30\r\n";
  std::ofstream(m_dir / "far.txt", std::ios::binary) << "Obstacle1\r\n-2147483648,-2147483648,1,\r\n";
  const std::string damaged = "--map " + (m_dir / "damaged.txt").string() + " --map-index 1";
  const std::string cases[] = {
      "fly-net " + Map(4),                                                  // no such map
      "fly-net --map " + (m_dir / "none.txt").string() + " --map-index 1",  // no file
      "fly-net " + damaged,
      "ga " + damaged + " --set MaxGenerations=1",
      "fly-net " + Map(2) + " --level 1",  // both
      "fly-net --map " + m_map,            // no index
      "fly-net --map-index 1",             // no file name
      "fly-net --map " + m_map + " --map-index 0",
      "fly-net --map " + m_map + " --map-index x",
      "train " + Map(2),
      "ga --map " + (m_dir / "far.txt").string() + " --map-index 1 --set MaxGenerations=1",  // beyond the field
  };
  for (const std::string& args : cases) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
  }
}

}  // namespace
}  // namespace korvane
