#pragma once
#include "sim/params.h"

namespace korvane {

// The visible section of the playfield: the view's size in pixels. The
// camera scrolls it along the 1800-pixel playfield.
inline constexpr int ViewWidth = 900;
inline constexpr int ViewHeight = 400;

}  // namespace korvane
