// The two tables every layer reads: the texts, and the settings.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>
#include <string>

#include "sim/params.h"
#include "texts/text_table.h"
#include "ui_model/settings_form.h"

namespace korvane {
namespace {

std::set<int> PlaceholdersIn(std::string_view s) {
  std::set<int> out;
  for (std::size_t i = 0; i + 1 < s.size(); ++i)
    if (s[i] == '%' && s[i + 1] >= '1' && s[i + 1] <= '9') out.insert(s[i + 1] - '0');
  return out;
}

bool HasCjk(std::string_view s) {
  // UTF-8 lead bytes of U+3000..U+9FFF and U+FF00..U+FFEF (full-width forms).
  for (unsigned char c : s)
    if (c >= 0xE3 && c <= 0xE9) return true;
  return s.find("\xEF\xBC") != std::string_view::npos || s.find("\xEF\xBD") != std::string_view::npos;
}

TEST(TextTable, EveryEntryHasBothLanguagesAndTheSamePlaceholders) {
  const std::regex printf("%[-+0-9.]*(l?[dfgiu]|zu|s)");
  std::set<std::string_view> ids;
  for (const text::Entry& e : text::Table()) {
    SCOPED_TRACE(std::string(e.id));
    EXPECT_TRUE(ids.insert(e.id).second);
    EXPECT_FALSE(e.zh.empty());
    EXPECT_FALSE(e.en.empty());
    const std::set<int> zh = PlaceholdersIn(e.zh);
    EXPECT_EQ(zh, PlaceholdersIn(e.en));
    EXPECT_EQ(static_cast<int>(zh.size()), text::Placeholders(e.zh));  // %1..%n, none left out
    for (std::string_view s : {e.zh, e.en}) {
      EXPECT_FALSE(std::regex_search(s.begin(), s.end(), printf)) << s;
    }
    EXPECT_FALSE(HasCjk(e.en)) << e.en;
    if (e.cliOnly) {
      EXPECT_EQ(e.zh, e.en);
    }
  }
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(Tx::Count));
}

TEST(TextTable, PlaceholdersAreFilledOnceEach) {
  EXPECT_EQ(text::Fill("%2 of %1, %1", {"a", 7}), "7 of a, a");
  EXPECT_EQ(text::Fill("95 % of '%1'%", {"%1%2"}), "95 % of '%1%2'%");  // a value is never read as a pattern
  EXPECT_EQ(text::Ui<Tx::LastSeedStatus>(4294967295u), "种子：4294967295");
  text::SetUiLanguage(text::Lang::En);
  EXPECT_EQ(text::Ui<Tx::LastSeedStatus>(7), "Seed: 7");
  text::SetUiLanguage(text::Lang::Zh);
}

// Every setting, from its row: in its limits it is taken; beyond them the
// command line and the sheet refuse it, naming the limit.
TEST(SettingsTable, EverySettingIsHeldToItsLimitsEverywhere) {
  const SimParams defaults;
  for (const ParamInfo& info : ParamTable()) {
    SCOPED_TRACE(info.name);
    const ParamInfo* bound = info.bound ? FindParam(info.bound) : nullptr;
    const double hi = bound ? GetParam(defaults, *bound) : info.hi;
    auto number = [&](double v) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.15g", v);
      return std::string(buf);
    };
    SimParams p;
    EXPECT_EQ(ApplySetting(p, std::string(info.name) + "=" + number(hi)), "");
    EXPECT_FALSE(CheckParam(p, info.name));
    if (!info.loOpen) {
      EXPECT_EQ(ApplySetting(p, std::string(info.name) + "=" + number(info.lo)), "");
      EXPECT_FALSE(CheckParam(p, info.name));
    }
    if (info.hi >= 2147483647) continue;  // nothing above it is held
    // Beyond the upper limit.
    const std::string over = number(hi + 1);
    const std::string limits = number(info.lo) + " and " + number(hi);
    SimParams q;
    const std::string applied = ApplySetting(q, std::string(info.name) + "=" + over);
    if (info.kind == SettingKind::Perceived) {
      EXPECT_EQ(applied, std::string(info.name) + " must be a whole number from " + number(info.lo) + " to " +
                             number(hi) + ", got '" + over + "'");
    } else {
      ASSERT_EQ(applied, "");
      const auto problem = CheckParam(q, info.name);
      ASSERT_TRUE(problem);
      EXPECT_EQ(problem->reason.substr(0, problem->reason.find(" (")),
                std::string(info.name) + (info.loOpen ? " must be above " : " must be between ") +
                    (info.loOpen ? number(info.lo) + " and at most " + number(hi) : limits));
    }
    // The sheet, for the fields it shows as text.
    for (const SettingsField& f : SettingsFields()) {
      if (f.param != std::string_view(info.name) || f.kind == SettingKind::Check) continue;
      SimParams s;
      const PageReadResult r = ReadSettingsPage(f.page, {{f.controlId, {over, false}}}, s);
      EXPECT_FALSE(r.ok);
      EXPECT_EQ(r.controlId, f.controlId);
      const std::string label = "“" + std::string(text::WithoutColon(text::Ui(f.label))) + "”";
      const std::string by = bound ? "（" + std::string(text::WithoutColon(text::Ui(bound->label))) + "）" : " ";
      EXPECT_EQ(r.message, info.loOpen ? label + "的值必须大于 " + number(info.lo) + " 且不大于 " + number(hi) + "。"
                                       : label + "的值必须在 " + number(info.lo) + " 到 " + number(hi) + by + "之间。");
    }
  }
}

}  // namespace
}  // namespace korvane
