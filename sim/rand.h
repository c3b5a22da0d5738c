#pragma once
#include <cstdint>

namespace korvane {

// The C runtime's 15-bit linear congruential generator, reproduced exactly so
// that every probability test gives the same answers on every platform. Each
// run owns one; nothing is shared between threads.
class CRand {
 public:
  static constexpr int Max = 32767;

  explicit CRand(std::uint32_t seed = 1) : m_state(seed) {}
  void Seed(std::uint32_t seed) { m_state = seed; }
  std::uint32_t State() const { return m_state; }

  int operator()() {
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7fffu);
  }

  // rand() % n; n must be positive (the parameter limits keep it so).
  int Below(int n) { return (*this)() % n; }

  // rand() / 32768, a value in [0, 1).
  double Unit() { return (*this)() * (1.0 / 32768.0); }

  // The probability test: succeeds when rand() / 32768 < p.
  bool Chance(double p) { return Unit() < p; }

 private:
  std::uint32_t m_state;
};

}  // namespace korvane
