#include "ui_model/seed_book.h"

#include <cstdio>

#include "texts/ui_texts.h"

namespace korvane {

SeedBook::SeedBook(std::function<std::uint32_t()> clock) : m_clock(std::move(clock)) {}

std::uint32_t SeedBook::Take(RunKind kind) {
  const std::uint32_t seed = m_next ? *m_next : m_clock();
  m_next.reset();
  m_last = seed;
  m_lastKind = kind;
  return seed;
}

bool SeedBook::RepeatLast() {
  if (!m_last) return false;
  m_next = m_last;
  return true;
}

std::string SeedStatusText(const SeedBook& seeds) {
  char buf[128] = "";
  if (seeds.Next())
    std::snprintf(buf, sizeof buf, text::NextSeedStatus, *seeds.Next());
  else if (seeds.Last())
    std::snprintf(buf, sizeof buf, text::LastSeedStatus, *seeds.Last());
  return buf;
}

}  // namespace korvane
