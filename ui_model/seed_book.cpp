#include "ui_model/seed_book.h"

#include <charconv>

#include "texts/text_table.h"

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
  if (seeds.Next()) return text::Ui<Tx::NextSeedStatus>(*seeds.Next());
  if (seeds.Last()) return text::Ui<Tx::LastSeedStatus>(*seeds.Last());
  return {};
}

std::optional<std::uint32_t> ParseSeed(std::string_view typed) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!typed.empty() && blank(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && blank(typed.back())) typed.remove_suffix(1);
  std::uint32_t seed = 0;
  const auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), seed);
  if (typed.empty() || ec != std::errc() || end != typed.data() + typed.size()) return std::nullopt;
  return seed;
}

}  // namespace korvane
