#pragma once
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "texts/box_list.h"
#include "texts/classroom_list.h"
#include "texts/cli_list.h"
#include "texts/settings_table.h"
#include "texts/study_list.h"
#include "texts/window_list.h"

// Every text the user can see, one entry each: its id, its Chinese, its
// English and its placeholders (%1..%9, filled in by the caller). The
// window and the page speak the interface's language (Chinese unless chosen
// otherwise at start); korvane-cli speaks English.
#define KORVANE_TEXT_LISTS(W, C) \
  KORVANE_WINDOW_TEXTS(W, C)     \
  KORVANE_CLASSROOM_TEXTS(W, C)  \
  KORVANE_BOX_TEXTS(W, C)        \
  KORVANE_CLI_TEXTS(W, C)        \
  KORVANE_STUDY_TEXTS(W, C)

namespace korvane {

// clang-format off
enum class Tx : std::uint16_t {
#define KORVANE_TX_ID(id, ...) id,
#define KORVANE_TX_SETTING_IDS(name, ...) Label##name, Meaning##name,
  KORVANE_TEXT_LISTS(KORVANE_TX_ID, KORVANE_TX_ID)
  KORVANE_SETTINGS(KORVANE_TX_SETTING_IDS)
#undef KORVANE_TX_ID
#undef KORVANE_TX_SETTING_IDS
  Count,
  None = Count,  // no text (a field outside any group box)
};
// clang-format on

namespace text {

enum class Lang : std::uint8_t { Zh, En };

struct Entry {
  std::string_view id;  // the name of its Tx
  std::string_view zh;
  std::string_view en;
  bool cliOnly;  // said by korvane-cli only: English, which the Chinese column repeats
};

// clang-format off
inline constexpr Entry kTable[] = {
#define KORVANE_TX_W(id, zh, en) {#id, zh, en, false},
#define KORVANE_TX_C(id, en) {#id, en, en, true},
#define KORVANE_TX_SETTING(name, kind, def, lo, hi, flags, bound, page, group, inner, control, shown, read, zh, en, \
                           meaning)                                                                                 \
  {"Label" #name, zh, en, false}, {"Meaning" #name, meaning, meaning, true},
  KORVANE_TEXT_LISTS(KORVANE_TX_W, KORVANE_TX_C)
  KORVANE_SETTINGS(KORVANE_TX_SETTING)
#undef KORVANE_TX_W
#undef KORVANE_TX_C
#undef KORVANE_TX_SETTING
};
// clang-format on
static_assert(std::size(kTable) == static_cast<std::size_t>(Tx::Count));

// The load-level menu's entries for the built-in levels 1 to 4.
inline constexpr Tx MenuLevels[4] = {Tx::MenuLevel1, Tx::MenuLevel2, Tx::MenuLevel3, Tx::MenuLevel4};

// The highest %n of a text; its placeholders are %1 to %n.
constexpr int Placeholders(std::string_view s) {
  int n = 0;
  for (std::size_t i = 0; i + 1 < s.size(); ++i)
    if (s[i] == '%' && s[i + 1] >= '1' && s[i + 1] <= '9' && s[i + 1] - '0' > n) n = s[i + 1] - '0';
  return n;
}
constexpr int Placeholders(Tx id) { return Placeholders(kTable[static_cast<std::size_t>(id)].zh); }

inline std::span<const Entry> Table() { return kTable; }
// The text in a language. The English is the table's own unless the window
// replaced it with its translation's (SetEnglish); korvane-cli never does.
std::string_view Get(Tx id, Lang lang);

// The language of the window and the page: set once at start, before any
// run, and read from any thread.
Lang UiLanguage();
void SetUiLanguage(Lang lang);
// The English of every entry, in the table's order, as the window's
// translation has it: set once at start, before any run.
void SetEnglish(std::vector<std::string> texts);

// What fills a placeholder: text or a whole number. A floating-point value
// is formatted by the caller, who chooses its digits (Formatted).
struct Arg {
  Arg(std::string_view s) : text(s) {}
  Arg(const char* s) : text(s) {}
  Arg(const std::string& s) : text(s) {}
  template <std::integral T>
  Arg(T v) : text(std::to_string(v)) {}
  Arg(double) = delete;
  std::string text;
};

// The pattern with %1..%9 replaced by args (in one pass: an argument that
// holds a %n stays as it is).
std::string Fill(std::string_view pattern, std::initializer_list<Arg> args);

// printf's form of one number ("%lf", "%.1f", "%.17g"), in the C locale.
std::string Formatted(const char* format, double v);

// A label without its closing colon ("人口数目：" is "人口数目").
constexpr std::string_view WithoutColon(std::string_view label) {
  for (std::string_view colon : {std::string_view("："), std::string_view(":")})
    if (label.ends_with(colon)) return label.substr(0, label.size() - colon.size());
  return label;
}

inline std::string_view Ui(Tx id) { return Get(id, UiLanguage()); }
inline std::string_view En(Tx id) { return Get(id, Lang::En); }

template <Tx id, class... A>
std::string Say(Lang lang, const A&... args) {
  static_assert(sizeof...(A) == static_cast<std::size_t>(Placeholders(id)), "one argument per placeholder");
  return Fill(Get(id, lang), {Arg(args)...});
}
template <Tx id, class... A>
std::string Ui(const A&... args) {
  return Say<id>(UiLanguage(), args...);
}
template <Tx id, class... A>
std::string En(const A&... args) {
  return Say<id>(Lang::En, args...);
}

}  // namespace text
}  // namespace korvane
