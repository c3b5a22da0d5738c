#pragma once
#include <cstdint>

namespace korvane {

// The C runtime's 15-bit linear congruential generator, reproduced exactly so
// that every probability test gives the same answers on every platform. Each
// run owns one; nothing is shared between threads.
class CRand {
 public:
  static constexpr int Max = 32767;
  static constexpr std::uint32_t kMul = 214013u;
  static constexpr std::uint32_t kAdd = 2531011u;

  explicit CRand(std::uint32_t seed = 1) : m_state(seed) {}
  void Seed(std::uint32_t seed) { m_state = seed; }
  std::uint32_t State() const { return m_state; }

  int operator()() {
    m_state = Step(m_state);
    return Value(m_state);
  }

  // The same on a bare state, for loops that keep it in a register: the next
  // state, and the number a state gives.
  static constexpr std::uint32_t Step(std::uint32_t state) { return state * kMul + kAdd; }
  // The state n steps on, in one multiply and add.
  template <int n>
  static constexpr std::uint32_t Steps(std::uint32_t state) {
    std::uint32_t mul = 1, add = 0;
    for (int i = 0; i < n; ++i) {
      mul *= kMul;
      add = add * kMul + kAdd;
    }
    return state * mul + add;
  }
  static constexpr int Value(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7fffu); }

  // rand() % n; n must be positive (the parameter limits keep it so).
  int Below(int n) { return (*this)() % n; }

  // rand() / 32768, a value in [0, 1).
  double Unit() { return Unit((*this)()); }
  static constexpr double Unit(int value) { return value * (1.0 / 32768.0); }

  // The probability test: succeeds when rand() / 32768 < p.
  bool Chance(double p) { return Unit() < p; }
  // The same on a value: Chance(p) passes exactly for values below this
  // bound (Unit rises with the value), so a loop can test without a branch.
  static constexpr int ChanceBound(double p) {
    int below = 0;
    for (int step = 1 << 15; step > 0; step >>= 1)
      if (below + step <= Max + 1 && Unit(below + step - 1) < p) below += step;
    return below;
  }

 private:
  std::uint32_t m_state;
};

}  // namespace korvane
