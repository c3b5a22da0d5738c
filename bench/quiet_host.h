// Plays the part of the window without waiting for anything.
#pragma once
#include "engine/host.h"

namespace korvane::bench {

struct QuietHost : IHost {
  SimParams params;  // the settings a run starts with
  Showing showing;
  Showing WhatToShow() override { return showing; }
};

}  // namespace korvane::bench
