#include "app/display_prefs.h"

#include <QSettings>

namespace korvane {
namespace {

const char* const kPace = "display/pace";
const char* const kPaths = "display/paths";
const char* const kNetwork = "display/network";
const char* const kClassroom = "display/classroom";
const char* const kBreeding = "display/breeding";
const char* const kSpeed = "display/speed";

}  // namespace

DisplayPrefs DisplayPrefs::Load(QSettings& store) {
  DisplayPrefs d;
  const int pace = store.value(kPace, 0).toInt();
  d.pace = pace == 1 ? Pace::Watch : pace == 2 ? Pace::Step : Pace::Fastest;
  d.paths = store.value(kPaths, false).toBool();
  d.network = store.value(kNetwork, false).toBool();
  d.classroom = store.value(kClassroom, false).toBool();
  d.breeding = store.value(kBreeding, false).toBool();
  const int speed = store.value(kSpeed, NormalSpeed).toInt();
  d.speed = speed >= 0 && speed < WatchSpeedCount ? speed : NormalSpeed;
  return d;
}

void DisplayPrefs::Save(QSettings& store) const {
  store.setValue(kPace, static_cast<int>(pace));
  store.setValue(kPaths, paths);
  store.setValue(kNetwork, network);
  store.setValue(kClassroom, classroom);
  store.setValue(kBreeding, breeding);
  store.setValue(kSpeed, speed);
}

}  // namespace korvane
