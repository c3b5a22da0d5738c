#pragma once
#include <climits>
#include <string_view>

#include "sim/perception.h"
#include "texts/settings_table.h"

namespace korvane {

// A setting's upper limit, at compile time: the tables sized to hold what a
// setting may ask for say so where they are declared.
constexpr double SettingMax(std::string_view name) {
#define KORVANE_MAX(setting, kind, def, lo, hi, ...) \
  if (name == #setting) return static_cast<double>(hi);
  KORVANE_SETTINGS(KORVANE_MAX)
#undef KORVANE_MAX
  return 0;
}

}  // namespace korvane
