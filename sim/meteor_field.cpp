#include "sim/meteor_field.h"

#include <span>

namespace korvane {
namespace {

const Obstacle kLevel1[] = {{300, 350, 30}, {450, 180, 40}, {600, 50, 30},  {700, 350, 40}, {800, 150, 60},
                            {150, 50, 60},  {200, 250, 40}, {350, 130, 20}, {530, 320, 30}};
const Obstacle kLevel2[] = {{225, 121, 53}, {228, 282, 48}, {469, 16, 56}, {471, 188, 42},
                            {473, 369, 63}, {676, 94, 58},  {679, 286, 45}};
const Obstacle kLevel3[] = {{154, 97, 23},  {154, 243, 25}, {326, 169, 23}, {326, 21, 23},  {461, 94, 25},
                            {458, 259, 26}, {597, 173, 27}, {595, 342, 24}, {716, 100, 15}, {705, 270, 20},
                            {821, 22, 23},  {809, 184, 23}, {814, 344, 24}, {323, 341, 24}, {608, 13, 22}};
const Obstacle kLevel4[] = {{332, 19, 158}, {724, 329, 168}, {1129, 90, 147}, {1527, 295, 157}};

const std::span<const Obstacle> kLevels[BuiltInLevelCount] = {kLevel1, kLevel2, kLevel3, kLevel4};

}  // namespace

bool WriteBuiltInLevel(MeteorField& field, int n) {
  if (n < 1 || n > BuiltInLevelCount) return false;
  int i = 0;
  for (const Obstacle& o : kLevels[n - 1]) field.obstacles[i++] = o;
  field.count = i;
  return true;
}

MeteorField BuiltInLevel(int n) {
  MeteorField field;
  if (!WriteBuiltInLevel(field, n)) WriteBuiltInLevel(field, 1);
  return field;
}

}  // namespace korvane
