#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace korvane {

// The path of one flight, kept to at most MaxPathPoints points so that a
// whole generation can be drawn: the start, every stride-th tick and the end.
// When the points run out, every other one goes and the stride doubles, so a
// path never allocates while it is recorded.
inline constexpr int MaxPathPoints = 64;

struct PathPoint {
  float x = 0;
  float y = 0;
};

enum class PathEnd : std::uint8_t { Finished, Crashed, Escaped };

class PlanPath {
 public:
  void Start(double x, double y) {
    m_count = 0;
    m_stride = 1;
    m_ticks = 0;
    m_end = PathEnd::Finished;
    Keep(x, y);
  }
  // After each tick's step.
  void Tick(double x, double y) {
    ++m_ticks;
    m_last = {static_cast<float>(x), static_cast<float>(y)};
    m_lastKept = false;
    if (m_ticks % m_stride != 0) return;
    if (m_count == MaxPathPoints) {
      for (int i = 0; i < MaxPathPoints / 2; ++i) m_points[i] = m_points[2 * i];
      m_count = MaxPathPoints / 2;
      m_stride *= 2;
      if (m_ticks % m_stride != 0) return;
    }
    m_points[m_count++] = m_last;
    m_lastKept = true;
  }
  // The flight ended where it was last seen; that point is always kept.
  void Finish(PathEnd end) {
    m_end = end;
    if (m_lastKept) return;
    if (m_count == MaxPathPoints) --m_count;
    m_points[m_count++] = m_last;
  }

  int Count() const { return m_count; }
  const PathPoint& Point(int i) const { return m_points[i]; }
  const PathPoint& Last() const { return m_points[m_count - 1]; }
  PathEnd End() const { return m_end; }
  int Stride() const { return m_stride; }

 private:
  void Keep(double x, double y) {
    m_last = {static_cast<float>(x), static_cast<float>(y)};
    m_points[m_count++] = m_last;
    m_lastKept = true;
  }

  std::array<PathPoint, MaxPathPoints> m_points{};
  PathPoint m_last;
  int m_count = 0;
  int m_stride = 1;
  int m_ticks = 0;
  bool m_lastKept = false;
  PathEnd m_end = PathEnd::Finished;
};

// A generation's paths as a frame carries them: shared, never changed once
// published.
struct PopulationPaths {
  std::vector<PlanPath> paths;
  int best = -1;  // the generation's best plan, highlighted
};
using PathsPtr = std::shared_ptr<const PopulationPaths>;

}  // namespace korvane
