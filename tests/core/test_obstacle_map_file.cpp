#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "files/obstacle_map_file.h"
#include "temp_dir.h"
#include "together.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test holding the map file; removed at the end.
class MapFileTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_path = Path("ObstacleMap.txt");
  }
  void Write(const std::string& bytes) {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string Bytes() const {
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static MeteorField Field(std::initializer_list<Obstacle> list) {
    MeteorField f;
    f.count = 0;
    for (const Obstacle& o : list) f.Add(o);
    return f;
  }
  // A field whose entries are all marked, to see what a load leaves alone.
  static MeteorField Marked() {
    MeteorField f;
    for (auto& o : f.obstacles) o = {-7, -7, -7};
    f.count = 13;
    return f;
  }

  std::string m_path;
};

const std::string kThreeMaps =
    "Obstacle1\r\n100,200,30,\r\n350,120,45,\r\n"
    "Obstacle2\r\n10,20,5,\r\n-30,390,12,\r\n1700,-4,88,\r\n"
    "Obstacle3\r\n900,200,60,\r\n";

TEST_F(MapFileTest, SavedBytesAreExact) {
  CObstacleMapFile file(m_path);
  EXPECT_EQ(file.ScanMaps(), 0);  // no file yet
  MapSaveResult r = file.SaveMap(Field({{100, 200, 30}, {350, 120, 45}}));
  EXPECT_EQ(r.status, MapSaveStatus::Saved);
  EXPECT_EQ(r.number, 1);
  EXPECT_EQ(Bytes(), "Obstacle1\r\n100,200,30,\r\n350,120,45,\r\n");
  EXPECT_EQ(r.text, Bytes());
  EXPECT_EQ(MapSaveMessage(r, m_path), "地图已经保存!");

  file.SaveMap(Field({}));  // an empty field is its header alone
  EXPECT_EQ(Bytes(), "Obstacle1\r\n100,200,30,\r\n350,120,45,\r\nObstacle2\r\n");
  EXPECT_EQ(file.MapCount(), 2);
}

TEST_F(MapFileTest, RoundTripWithNegativesAndFractions) {
  CObstacleMapFile file(m_path);
  file.SaveMap(Field({{-40.5, 120.25, 37.9}, {1799.99, -3, 0}, {450, 399, 985.4}}));
  MeteorField f = Marked();
  MapLoadResult r = file.LoadMap(1, f);
  ASSERT_EQ(r.status, MapLoadStatus::Loaded);
  EXPECT_EQ(r.count, 3);
  ASSERT_EQ(f.count, 3);
  EXPECT_EQ(f.obstacles[0].x, -40.0);
  EXPECT_EQ(f.obstacles[0].y, 120.0);
  EXPECT_EQ(f.obstacles[0].radius, 37.0);
  EXPECT_EQ(f.obstacles[1].x, 1799.0);
  EXPECT_EQ(f.obstacles[1].y, -3.0);
  EXPECT_EQ(f.obstacles[2].radius, 985.0);
  EXPECT_EQ(f.obstacles[3].x, -7.0);  // beyond the count: untouched
}

TEST_F(MapFileTest, SixthSaveIsRefusedAndLeavesTheFileAlone) {
  CObstacleMapFile file(m_path);
  file.ScanMaps();
  for (int i = 1; i <= 5; ++i) {
    MapSaveResult r = file.SaveMap(Field({{double(i), 2, 3}}));
    ASSERT_EQ(r.status, MapSaveStatus::Saved);
    EXPECT_EQ(r.number, i);
  }
  const std::string before = Bytes();
  bool previewed = false;
  MapSaveResult r = file.SaveMap(Field({{1, 2, 3}}), [&](const std::string&) { previewed = true; });
  EXPECT_EQ(r.status, MapSaveStatus::TooManyMaps);
  EXPECT_FALSE(previewed);
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(MapSaveMessage(r, m_path),
            "在一个文本文件中最多可以保存5幅地图,请把同一目录下的ObstacleMap.txt文件删除或改名,以保存更多的地图!");
}

TEST_F(MapFileTest, TwoSaversAtOnceNeverGoPastFiveMaps) {
  Write(kThreeMaps + "Obstacle4\r\n");
  // Each saver dwells on its preview, as the desktop program shows the text
  // before writing it: long enough for the other to count the maps too.
  const auto save = [&] {
    CObstacleMapFile file(m_path);
    const auto dwell = [](const std::string&) { ::usleep(200 * 1000); };
    switch (file.SaveMap(Field({{1, 2, 3}}), dwell).status) {
      case MapSaveStatus::Saved: return 0;
      case MapSaveStatus::TooManyMaps: return 1;
      default: return 2;
    }
  };
  std::vector<int> codes = test::RunTogether({save, save});
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(codes, (std::vector<int>{0, 1}));
  EXPECT_EQ(Bytes(), kThreeMaps + "Obstacle4\r\nObstacle5\r\n1,2,3,\r\n");
}

TEST_F(MapFileTest, RemovingAFullFileLiftsTheLimit) {
  CObstacleMapFile file(m_path);
  for (int i = 0; i < 5; ++i) file.SaveMap(Field({}));
  fs::remove(m_path);
  MapSaveResult r = file.SaveMap(Field({{5, 6, 7}}));
  EXPECT_EQ(r.status, MapSaveStatus::Saved);
  EXPECT_EQ(Bytes(), "Obstacle1\r\n5,6,7,\r\n");
}

TEST_F(MapFileTest, ThreeMapsGiveThreeEntriesAndTheNextSaveIsObstacle4) {
  Write(kThreeMaps);
  CObstacleMapFile file(m_path);
  EXPECT_EQ(file.ScanMaps(), 3);
  EXPECT_EQ(file.ScanMaps(), 3);  // a re-scan counts afresh, not on top

  std::string shown;
  MapSaveResult r = file.SaveMap(Field({{1, 2, 3}}), [&](const std::string& text) { shown = text; });
  EXPECT_EQ(r.number, 4);
  EXPECT_EQ(shown, "Obstacle4\r\n1,2,3,\r\n");
  EXPECT_EQ(Bytes(), kThreeMaps + "Obstacle4\r\n1,2,3,\r\n");
  EXPECT_EQ(file.MapCount(), 4);
}

TEST_F(MapFileTest, LoadsTheMiddleAndTheLastMap) {
  Write(kThreeMaps);
  CObstacleMapFile file(m_path);
  file.ScanMaps();
  MeteorField f = Marked();
  MapLoadResult r = file.LoadMap(2, f);
  ASSERT_EQ(r.status, MapLoadStatus::Loaded);
  ASSERT_EQ(f.count, 3);
  EXPECT_EQ(f.obstacles[0].x, 10);
  EXPECT_EQ(f.obstacles[1].x, -30);
  EXPECT_EQ(f.obstacles[1].y, 390);
  EXPECT_EQ(f.obstacles[2].y, -4);
  EXPECT_EQ(f.obstacles[2].radius, 88);

  r = file.LoadMap(3, f);
  ASSERT_EQ(r.status, MapLoadStatus::Loaded);
  ASSERT_EQ(f.count, 1);
  EXPECT_EQ(f.obstacles[0].x, 900);
  EXPECT_EQ(f.obstacles[0].radius, 60);
}

TEST_F(MapFileTest, EmptyMapLoadsAsAnEmptyField) {
  Write("Obstacle1\r\nObstacle2\r\n5,5,5,\r\nObstacle3\r\n");
  CObstacleMapFile file(m_path);
  for (int k : {1, 3}) {
    MeteorField f = Marked();
    MapLoadResult r = file.LoadMap(k, f);
    EXPECT_EQ(r.status, MapLoadStatus::Loaded) << k;
    EXPECT_EQ(f.count, 0) << k;
  }
}

TEST_F(MapFileTest, MissingMapOrFileLeavesTheFieldUnchanged) {
  Write(kThreeMaps);
  CObstacleMapFile file(m_path);
  EXPECT_EQ(file.ScanMaps(), 3);
  MeteorField f = Marked();
  for (int k : {4, 5, 0, -1}) {
    MapLoadResult r = file.LoadMap(k, f);
    EXPECT_EQ(r.status, MapLoadStatus::NoSuchMap) << k;
    EXPECT_EQ(f.count, 13);
  }
  EXPECT_EQ(MapLoadMessage(file.LoadMap(4, f), 4, "ObstacleMap.txt"),
            "文件ObstacleMap.txt中没有第4幅地图，关卡没有改变。");

  fs::remove(m_path);
  MapLoadResult r = file.LoadMap(1, f);
  EXPECT_EQ(r.status, MapLoadStatus::OpenFailed);
  EXPECT_EQ(f.count, 13);
  EXPECT_EQ(f.obstacles[0].x, -7);
  EXPECT_EQ(file.MapCount(), 0);
}

struct Damage {
  const char* name;
  std::string bytes;
  MapDefect defect;
  int line;
};

TEST_F(MapFileTest, DamagedMapsAreRefusedWithTheirLine) {
  const Damage cases[] = {
      {"truncated mid-number", "Obstacle1\r\n100,200,3", MapDefect::MissingComma, 2},
      {"no third comma", "Obstacle1\r\n1,2,3,\r\n100,200,30\r\n", MapDefect::MissingComma, 3},
      {"overlong number", "Obstacle1\r\n12345678901234567890123456789,2,3,\r\n", MapDefect::NumberTooLong, 2},
      {"beyond 32 bits", "Obstacle1\r\n2147483648,2,3,\r\n", MapDefect::NumberTooLong, 2},
      {"not a number", "Obstacle1\r\n1,2x,3,\r\n", MapDefect::BadNumber, 2},
      {"fourth number", "Obstacle1\r\n1,2,3,4,\r\n", MapDefect::BadLineEnd, 2},
      {"bad header", "Obstruction\r\n1,2,3,\r\n", MapDefect::BadHeader, 1},
      {"O inside a line", "Obstacle1\r\n1,2O,3,\r\n", MapDefect::MissingComma, 2},
      {"at the int limits", "Obstacle1\r\n1,2,3,\r\n-2147483648,-2147483648,1,\r\n", MapDefect::OutOfField, 3},
      {"radius beyond the bound", "Obstacle1\r\n1000000,-1000000,1000001,\r\n", MapDefect::OutOfField, 2},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    Write(c.bytes);
    CObstacleMapFile file(m_path);
    MeteorField f = Marked();
    MapLoadResult r = file.LoadMap(1, f);
    EXPECT_EQ(r.status, MapLoadStatus::Damaged);
    EXPECT_EQ(r.defect, c.defect);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(f.count, 13);
    EXPECT_EQ(f.obstacles[0].x, -7);
  }
}

TEST_F(MapFileTest, MoreThanTwentyMeteorsAreRefused) {
  std::string text = "Obstacle1\r\n";
  for (int i = 0; i < 20; ++i) text += std::to_string(i) + ",1,1,\r\n";
  Write(text);
  CObstacleMapFile file(m_path);
  MeteorField f = Marked();
  EXPECT_EQ(file.LoadMap(1, f).count, 20);
  EXPECT_EQ(f.obstacles[19].x, 19);

  Write(text + "20,1,1,\r\n");
  f = Marked();
  MapLoadResult r = file.LoadMap(1, f);
  EXPECT_EQ(r.status, MapLoadStatus::Damaged);
  EXPECT_EQ(r.defect, MapDefect::TooManyMeteors);
  EXPECT_EQ(r.line, 22);
  EXPECT_EQ(f.count, 13);
}

TEST_F(MapFileTest, BinaryGarbageIsRefusedAndAHugeFileIsNotRead) {
  std::string garbage;
  unsigned v = 12345;
  for (int i = 0; i < 4000; ++i) {
    v = v * 1103515245u + 12345u;
    garbage += static_cast<char>(v >> 16);
  }
  garbage[100] = 'O';  // at least one "map"
  Write(garbage);
  CObstacleMapFile file(m_path);
  const int maps = file.ScanMaps();
  ASSERT_GE(maps, 1);
  MeteorField f = Marked();
  for (int k = 1; k <= maps; ++k) {
    MapLoadResult r = file.LoadMap(k, f);
    EXPECT_NE(r.status, MapLoadStatus::Loaded) << k;
  }
  EXPECT_EQ(f.count, 13);

  Write(std::string(MaxMapFileBytes + 10, ','));
  MapLoadResult r = file.LoadMap(1, f);
  EXPECT_EQ(r.status, MapLoadStatus::Damaged);
  EXPECT_EQ(r.defect, MapDefect::FileTooLarge);
  EXPECT_EQ(f.count, 13);
}

TEST_F(MapFileTest, HandEditedButSoundFilesLoad) {
  // LF line ends, blanks around numbers, a plus sign, a blank line, a missing
  // final line end and a second damaged map that does not concern map 1.
  Write("Obstacle1\n 100 ,+200,\t30,\n\n-5,0,1000000,Obstacle2\r\nxx");
  CObstacleMapFile file(m_path);
  MeteorField f = Marked();
  MapLoadResult r = file.LoadMap(1, f);
  ASSERT_EQ(r.status, MapLoadStatus::Loaded);
  ASSERT_EQ(f.count, 2);
  EXPECT_EQ(f.obstacles[0].y, 200);
  EXPECT_EQ(f.obstacles[1].x, -5);
  EXPECT_EQ(file.LoadMap(2, f).status, MapLoadStatus::Damaged);
}

TEST_F(MapFileTest, ALastLineWithoutItsLineEndLoadsAndTheNextMapStartsOnANewLine) {
  struct Case {
    std::string before;
    int meteors;  // in map 1
    std::string after;
  };
  const Case cases[] = {
      {"Obstacle1\r\n1,2,3,", 1, "Obstacle1\r\n1,2,3,\r\n"},
      {"Obstacle1\r\n1,2,3,\r", 1, "Obstacle1\r\n1,2,3,\r\n"},
      {"Obstacle1", 0, "Obstacle1\r\n"},
      {"Obstacle1\r", 0, "Obstacle1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    Write(c.before);
    CObstacleMapFile file(m_path);
    MeteorField f = Marked();
    EXPECT_EQ(file.LoadMap(1, f).status, MapLoadStatus::Loaded);
    EXPECT_EQ(f.count, c.meteors);

    EXPECT_EQ(file.SaveMap(Field({{4, 5, 6}})).number, 2);
    EXPECT_EQ(Bytes(), c.after + "Obstacle2\r\n4,5,6,\r\n");
    for (int k : {1, 2}) {
      f = Marked();
      EXPECT_EQ(file.LoadMap(k, f).status, MapLoadStatus::Loaded) << k;
      EXPECT_EQ(f.count, k == 1 ? c.meteors : 1) << k;
    }
  }
}

TEST_F(MapFileTest, DamageIsDescribedForTheUserAndTheCommandLine) {
  MapLoadResult r;
  r.status = MapLoadStatus::Damaged;
  r.defect = MapDefect::MissingComma;
  r.line = 7;
  EXPECT_EQ(MapLoadMessage(r, 2, "ObstacleMap.txt"),
            "文件ObstacleMap.txt中的第2幅地图已损坏（第7行：数字后面缺少逗号），关卡没有改变。");
  EXPECT_EQ(MapLoadReason(r, 2), "map 2 is damaged (line 7: a number is not followed by a comma)");
}

TEST_F(MapFileTest, UnopenableFileIsReportedAndNothingIsWritten) {
  CObstacleMapFile file((m_dir / "missing-dir" / "ObstacleMap.txt").string());
  EXPECT_EQ(file.ScanMaps(), 0);
  bool previewed = false;
  MapSaveResult r = file.SaveMap(Field({{1, 2, 3}}), [&](const std::string&) { previewed = true; });
  EXPECT_EQ(r.status, MapSaveStatus::OpenFailed);
  EXPECT_FALSE(previewed);
  EXPECT_EQ(file.MapCount(), 0);
  EXPECT_EQ(MapSaveMessage(r, file.FileName()), "打开文件出错!!!");
}

TEST_F(MapFileTest, PartialWriteIsCutBackToTheOldMaps) {
  CObstacleMapFile file(m_path);
  file.SaveMap(Field({{100, 200, 30}}));
  const std::string before = Bytes();

  // Let the file grow by a few bytes only, so the next map is cut off half-way.
  MeteorField big;
  big.count = 0;
  for (int i = 0; i < MaxObstacles; ++i) big.Add({1000.0 + i, 200, 50});
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = before.size() + 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  MapSaveResult r = file.SaveMap(big);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(r.status, MapSaveStatus::WriteFailed);
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(file.MapCount(), 1);
  EXPECT_EQ(file.SaveMap(Field({})).number, 2);  // the number was not used up
}

}  // namespace
}  // namespace korvane
