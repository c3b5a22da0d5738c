// Walking the plan operators' draws without making genes, eight draws at a
// time: Select only needs where each child's draws start, and a step a test
// (multiply, add, compare, select) is a chain the serial part of a
// generation waits on. Eight draws' tests are worked out at once from one
// state (each in one multiply and add), and a table says how many tests
// those eight draws hold. Used by plan_ga.cpp and its tests.
#pragma once
#include <array>
#include <cstdint>

#include "plan_ga/draw_steps.h"
#include "sim/rand.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane::draw_walk {

// The state j steps on from s is kJump[j].mul * s + kJump[j].add.
struct Jump {
  std::uint32_t mul = 1, add = 0;
};
inline constexpr std::array<Jump, 9> kJump = [] {
  std::array<Jump, 9> j{};
  for (std::size_t n = 1; n < j.size(); ++n)
    j[n] = {j[n - 1].mul * CRand::kMul, j[n - 1].add * CRand::kMul + CRand::kAdd};
  return j;
}();

// For eight draws whose tests passed as `bits` (bit j: the draw j + 1 steps
// on), with the first `phase` of them taken by a test before them: the tests
// among them, those that passed, and how many draws of the last one's fall
// beyond them. A test that passes takes `extra` draws after its own.
struct Byte {
  std::uint8_t tests = 0, passes = 0, spill = 0;
};
template <int kExtra>
inline constexpr std::array<std::array<Byte, 256>, kExtra + 1> kBytes = [] {
  std::array<std::array<Byte, 256>, kExtra + 1> t{};
  for (int phase = 0; phase <= kExtra; ++phase)
    for (int bits = 0; bits < 256; ++bits) {
      Byte& b = t[static_cast<std::size_t>(phase)][static_cast<std::size_t>(bits)];
      int at = phase;
      for (; at < 8; ++b.tests) {
        const bool passed = (bits >> at) & 1;
        b.passes += passed;
        at += passed ? 1 + kExtra : 1;
      }
      b.spill = static_cast<std::uint8_t>(at - 8);
    }
  return t;
}();

// The tests of the eight draws after s against bound16 (as draw_steps::Below).
#if defined(__SSE2__)
struct EightJumps {
  __m128i mul[2], mulOdd[2], add[2];  // draws 1-4 and 5-8; mulOdd: lanes 1 and 3 moved down
};
inline const EightJumps kEight = [] {
  EightJumps e;
  for (int h = 0; h < 2; ++h) {
    const Jump* j = &kJump[static_cast<std::size_t>(1 + 4 * h)];
    const auto i32 = [](std::uint32_t v) { return static_cast<int>(v); };
    e.mul[h] = _mm_setr_epi32(i32(j[0].mul), i32(j[1].mul), i32(j[2].mul), i32(j[3].mul));
    e.mulOdd[h] = _mm_srli_epi64(e.mul[h], 32);
    e.add[h] = _mm_setr_epi32(i32(j[0].add), i32(j[1].add), i32(j[2].add), i32(j[3].add));
  }
  return e;
}();

inline unsigned EightTests(std::uint32_t s, std::uint32_t bound16) {
  // SSE2 multiplies two lanes of 32 bits at a time: the even lanes' and the
  // odd lanes' low halves, put back together.
  const __m128i state = _mm_set1_epi32(static_cast<int>(s));
  const __m128i low = _mm_set_epi32(0, -1, 0, -1);
  const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
  // Values below 0x7fff0000 against a bound of up to 2^31, compared signed.
  const __m128i bound = _mm_xor_si128(_mm_set1_epi32(static_cast<int>(bound16)), flip);
  unsigned bits = 0;
  for (int h = 0; h < 2; ++h) {
    const __m128i even = _mm_mul_epu32(state, kEight.mul[h]);
    const __m128i odd = _mm_mul_epu32(state, kEight.mulOdd[h]);
    __m128i x = _mm_or_si128(_mm_and_si128(even, low), _mm_slli_epi64(odd, 32));
    x = _mm_and_si128(_mm_add_epi32(x, kEight.add[h]), _mm_set1_epi32(0x7fff0000));
    const __m128i below = _mm_cmplt_epi32(_mm_xor_si128(x, flip), bound);
    bits |= static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(below))) << (4 * h);
  }
  return bits;
}
#else
inline unsigned EightTests(std::uint32_t s, std::uint32_t bound16) {
  unsigned bits = 0;
  for (unsigned j = 1; j <= 8; ++j)
    bits |= unsigned{draw_steps::Below(kJump[j].mul * s + kJump[j].add, bound16)} << (j - 1);
  return bits;
}
#endif

// Where a walk of tests stands: the state, the tests and passes so far, and
// draws of the last test still to be taken (0 when the walk ends between
// tests).
struct Walk {
  std::uint32_t state;
  int tests = 0, passes = 0, owed = 0;
};

// Takes whole bytes of draws while `fits(tests, passes)` says their tests
// may all be taken; the rest is for the caller, one test at a time, after
// Settle.
template <int kExtra, typename Fits>
inline void Bytes(Walk& w, std::uint32_t bound16, Fits&& fits) {
  for (;;) {
    const Byte b = kBytes<kExtra>[static_cast<std::size_t>(w.owed)][EightTests(w.state, bound16)];
    if (!fits(b.tests, b.passes)) return;
    w.state = kJump[8].mul * w.state + kJump[8].add;
    w.tests += b.tests;
    w.passes += b.passes;
    w.owed = b.spill;
  }
}

// Takes the draws the last test still owes.
inline void Settle(Walk& w) {
  for (; w.owed > 0; --w.owed) w.state = CRand::Step(w.state);
}

// `count` tests from `state`, each taking kExtra more draws when it passes;
// returns the state after them.
template <int kExtra>
inline std::uint32_t Tests(std::uint32_t state, std::uint32_t bound16, int count) {
  Walk w{state};
  Bytes<kExtra>(w, bound16, [&](int tests, int) { return w.tests + tests <= count; });
  Settle(w);
  std::uint32_t s = w.state;
  for (int i = w.tests; i < count; ++i) {
    const std::uint32_t s1 = CRand::Step(s);
    s = draw_steps::StepOn(s1, bound16, CRand::Steps<1 + kExtra>(s));
  }
  return s;
}

}  // namespace korvane::draw_walk
