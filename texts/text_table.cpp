#include "texts/text_table.h"

#include <atomic>
#include <cstdio>

namespace korvane::text {
namespace {

std::atomic<Lang> g_uiLanguage{Lang::Zh};
// Written once, before the flag that publishes it.
std::vector<std::string> g_english;
std::atomic<bool> g_englishSet{false};

}  // namespace

Lang UiLanguage() { return g_uiLanguage.load(std::memory_order_relaxed); }

void SetUiLanguage(Lang lang) { g_uiLanguage.store(lang, std::memory_order_relaxed); }

void SetEnglish(std::vector<std::string> texts) {
  if (texts.size() != std::size(kTable) || g_englishSet.load(std::memory_order_acquire)) return;
  g_english = std::move(texts);
  g_englishSet.store(true, std::memory_order_release);
}

std::string_view Get(Tx id, Lang lang) {
  const auto i = static_cast<std::size_t>(id);
  if (lang == Lang::Zh) return kTable[i].zh;
  return g_englishSet.load(std::memory_order_acquire) ? std::string_view(g_english[i]) : kTable[i].en;
}

std::string Fill(std::string_view pattern, std::initializer_list<Arg> args) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::size_t n =
        i + 1 < pattern.size() && pattern[i] == '%' ? static_cast<std::size_t>(pattern[i + 1] - '1') : 9;
    if (n < 9 && n < args.size()) {
      out += args.begin()[n].text;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string Formatted(const char* format, double v) {
  char buf[512];  // "%lf" of 1e308 takes 316
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

}  // namespace korvane::text
