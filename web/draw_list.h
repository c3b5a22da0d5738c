#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/frame.h"
#include "ui_model/scene_input.h"
#include "ui_model/scene_paint.h"

// A frame as the page paints it: the window's geometry (ui_model) turned
// into a flat list of drawing operations that the page's canvas plays back
// without knowing any geometry of its own.
namespace korvane::web {

// Each operation is its code followed by its integers; colours are 0xRRGGBB.
enum class Op : std::int32_t {
  // picture (0 nebula, 1 meteor, 2 lifeboat), source x y w h (w 0: all of
  // it), target x y w h
  Image = 1,
  // n, then n times x y blue: pixels of RGB(255, 240, blue)
  Stars = 2,
  // rgb alpha width dash(0 solid, 1 dashed, 2 dotted) n, then n times x y
  Polyline = 3,
  // fill (-1: none) stroke width, x y w h: an ellipse in that rectangle
  Ellipse = 4,
  // rgb x y text: text (an index into the texts) with its top left at x y
  Text = 5,
  // rgb x y w h: a filled rectangle
  Rect = 6,
};

enum class Picture : std::int32_t { Nebula = 0, Meteor = 1, Lifeboat = 2 };

struct DrawList {
  std::vector<std::int32_t> ops;
  std::vector<std::string> texts;

  void Clear() {
    ops.clear();
    texts.clear();
  }
};

// The scene as the window composes it: nebula, stars, meteors, the
// perceived meteors' marks, the population's paths, the lifeboat with its
// flame and the thrust indicator (not while editing), the score panel and
// the charts.
void ComposeScene(const SceneInput& in, StarField& stars, DrawList& out);

// The network panel beside the field; empty ground when view is null.
void ComposeNetworkPanel(const NetworkView* view, DrawList& out);

}  // namespace korvane::web
