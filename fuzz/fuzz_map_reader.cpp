// Feeds arbitrary bytes to the level-file reader as if they were
// ObstacleMap.txt and checks what a load may and may not do.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "files/obstacle_map_file.h"
#include "fuzz/require.h"

using namespace korvane;

namespace {

MeteorField Marked() {
  MeteorField f;
  for (auto& o : f.obstacles) o = {-7.5, -7.5, -7.5};
  f.count = 17;
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int maps = CountMaps(text);
  Require(maps >= 0 && static_cast<size_t>(maps) <= size);
  // Every listed map, one past the last, and nonsense numbers.
  const int last = maps < 8 ? maps + 1 : 8;
  for (int k = -1; k <= last; ++k) {
    MeteorField field = Marked();
    const MeteorField before = field;
    MapLoadResult r = ParseMapText(text, k, field);
    Require(!MapLoadReason(r, k).empty() == (r.status != MapLoadStatus::Loaded));
    Require(!MapLoadMessage(r, k, DefaultMapFileName).empty() == (r.status != MapLoadStatus::Loaded));
    if (r.status != MapLoadStatus::Loaded) {
      Require(field.count == before.count);
      for (size_t i = 0; i < field.obstacles.size(); ++i)
        Require(std::memcmp(&field.obstacles[i], &before.obstacles[i], sizeof(Obstacle)) == 0);
      Require(r.status != MapLoadStatus::NoSuchMap || k < 1 || k > maps);
      continue;
    }
    Require(k >= 1 && k <= maps);
    Require(r.count == field.count && field.count >= 0 && field.count <= MaxObstacles);
    for (int i = 0; i < field.count; ++i) {
      const Obstacle& o = field.obstacles[static_cast<size_t>(i)];
      for (double v : {o.x, o.y, o.radius}) Require(v == std::trunc(v) && v >= -2147483648.0 && v <= 2147483647.0);
    }
    for (int i = field.count; i < MaxObstacles; ++i) Require(field.obstacles[static_cast<size_t>(i)].x == -7.5);
    // What loaded saves to a file that loads the same again.
    MeteorField again = Marked();
    const std::string saved = FormatMapText(1, field);
    Require(ParseMapText(saved, 1, again).status == MapLoadStatus::Loaded);
    Require(again.count == field.count);
    for (int i = 0; i < field.count; ++i) {
      const Obstacle& a = again.obstacles[static_cast<size_t>(i)];
      const Obstacle& b = field.obstacles[static_cast<size_t>(i)];
      Require(a.x == b.x && a.y == b.y && a.radius == b.radius);
    }
  }
  return 0;
}
