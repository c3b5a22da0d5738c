#pragma once
#include <array>

namespace korvane {

inline constexpr int MaxObstacles = 20;
inline constexpr int BuiltInLevelCount = 4;

struct Obstacle {
  double x = 0.0;
  double y = 0.0;
  double radius = 0.0;
};

// Up to 20 meteors; only entries 0..count-1 are meaningful. A shorter level
// leaves the entries beyond its count as they were.
struct MeteorField {
  std::array<Obstacle, MaxObstacles> obstacles{};
  int count = 9;

  // Appends a meteor; false when the field is full.
  bool Add(const Obstacle& o) {
    if (count < 0 || count >= MaxObstacles) return false;
    obstacles[count++] = o;
    return true;
  }
};

// Writes built-in level n (1..4) into the field; false for any other n.
bool WriteBuiltInLevel(MeteorField& field, int n);
// A fresh field holding built-in level n (level 1 when n is out of range).
MeteorField BuiltInLevel(int n);

}  // namespace korvane
