#pragma once
#include <cstdlib>

// What a fuzz target checks: a broken promise aborts, so libFuzzer keeps the input.
inline void Require(bool ok) {
  if (!ok) std::abort();
}
