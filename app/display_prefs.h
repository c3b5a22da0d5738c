#pragma once
#include "engine/frame.h"

class QSettings;

namespace korvane {

// The watch speeds the toolbar offers, as multiples of the demonstration's.
inline constexpr double WatchSpeeds[] = {0.25, 0.5, 1.0, 2.0, 4.0};
inline constexpr int WatchSpeedCount = 5;
inline constexpr int NormalSpeed = 2;

// What the window remembers between starts: how runs are shown, never how
// they compute (the simulation settings start from their defaults).
struct DisplayPrefs {
  Pace pace = Pace::Fastest;
  bool paths = false;
  bool network = false;
  bool classroom = false;
  bool breeding = false;
  int speed = NormalSpeed;  // an index into WatchSpeeds

  // Anything missing or out of range in the store reads as its default.
  static DisplayPrefs Load(QSettings& store);
  void Save(QSettings& store) const;
  friend bool operator==(const DisplayPrefs&, const DisplayPrefs&) = default;
};

}  // namespace korvane
