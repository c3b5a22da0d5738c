#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui_model/view_state.h"

namespace korvane {

// The seeds of the runs: the clock's, or one the user chose for the next
// run, and the last one taken with the kind of run that took it, so a run
// can be repeated exactly.
class SeedBook {
 public:
  explicit SeedBook(std::function<std::uint32_t()> clock);
  void SetClock(std::function<std::uint32_t()> clock) { m_clock = std::move(clock); }

  // The seed of a run starting now: the chosen one, once, or the clock's.
  std::uint32_t Take(RunKind kind);
  void SetNext(std::uint32_t seed) { m_next = seed; }
  // The next run takes the last run's seed; false when no run took one.
  bool RepeatLast();

  const std::optional<std::uint32_t>& Last() const { return m_last; }
  RunKind LastKind() const { return m_lastKind; }
  const std::optional<std::uint32_t>& Next() const { return m_next; }

 private:
  std::function<std::uint32_t()> m_clock;
  std::optional<std::uint32_t> m_next;
  std::optional<std::uint32_t> m_last;
  RunKind m_lastKind = RunKind::GA;
};

// What the status bar says of the seeds.
std::string SeedStatusText(const SeedBook& seeds);

// A seed as the user types it: decimal digits, 0 to 4294967295, blanks
// around them allowed; nothing else.
std::optional<std::uint32_t> ParseSeed(std::string_view typed);

}  // namespace korvane
