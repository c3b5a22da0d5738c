// The plan operators' draws on a bare generator state, without a branch on
// their tests, which pass unpredictably. Used by plan_ga.cpp and draw_walk.h.
#pragma once
#include <cstdint>
#include <type_traits>

#include "sim/rand.h"

namespace korvane::draw_steps {

// CRand::Value(state) < below, for `below` shifted as bound16 (below << 16)
// says: one step fewer on the chain from one draw to the next.
inline bool Below(std::uint32_t state, std::uint32_t bound16) { return (state & 0x7fff0000u) < bound16; }
inline std::uint32_t Bound16(double rate) { return static_cast<std::uint32_t>(CRand::ChanceBound(rate)) << 16; }

// passed ? a : b, worked out without a branch: a compiler left to itself may
// branch on the tests.
inline std::uint32_t Either(std::uint32_t passed, std::uint32_t a, std::uint32_t b) {
  return b ^ ((a ^ b) & (0u - passed));
}

// The next state of a test's chain: `passed` when the test on s1 (the draw
// after s) passes, else s1. On x86-64 a compare and a conditional move, so
// that the chain from one test to the next is a step and two instructions.
inline std::uint32_t StepOn(std::uint32_t s1, std::uint32_t bound16, std::uint32_t passed) {
#if defined(__x86_64__)
  const std::uint32_t value = s1 & 0x7fff0000u;
  asm("cmpl %[bound], %[value]\n\tcmovbl %[passed], %[s]"
      : [s] "+r"(s1)
      : [value] "r"(value), [bound] "r"(bound16), [passed] "r"(passed)
      : "cc");
  return s1;
#else
  return Either(Below(s1, bound16), passed, s1);
#endif
}

// Runs `loop` with a record kept (std::true_type) or not, so that the loop
// without one has no branch on its tests.
template <typename Loop>
void WithRecord(bool recorded, Loop&& loop) {
  if (recorded) {
    loop(std::true_type{});
  } else {
    loop(std::false_type{});
  }
}

}  // namespace korvane::draw_steps
