#include <gtest/gtest.h>

#include <set>

#include "sim/run_memory.h"
#include "ui_model/settings_form.h"

namespace korvane {
namespace {

TEST(SettingsText, ValuesAreShownAsPrintfWould) {
  EXPECT_EQ(FormatIntField(500), "500");
  EXPECT_EQ(FormatIntField(-5), "-5");
  EXPECT_EQ(FormatDoubleField(2.5), "2.5");
  EXPECT_EQ(FormatDoubleField(0.04), "0.04");
  EXPECT_EQ(FormatDoubleField(30.0), "30");
  EXPECT_EQ(FormatDoubleField(0.1), "0.1");
  EXPECT_EQ(FormatDoubleField(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatDoubleField(1e20), "1e+20");
  EXPECT_EQ(FormatDoubleField(123456789012345678.0), "1.23456789012346e+17");
}

TEST(SettingsText, IntegerFieldsFollowTheScanRules) {
  EXPECT_EQ(ParseIntField(" 7 "), 7);
  EXPECT_EQ(ParseIntField("\t-5\t "), -5);
  EXPECT_EQ(ParseIntField("+12"), 12);
  EXPECT_EQ(ParseIntField("0"), 0);
  EXPECT_EQ(ParseIntField("  00  "), 0);
  for (const char* bad : {"abc", "", "   ", "1.5", "7x", "7 8", "-", "-0", "+0", "0x10", "1e3", "７"})
    EXPECT_FALSE(ParseIntField(bad).has_value()) << bad;
  // Values beyond 32 bits still parse, to be refused with their range.
  EXPECT_EQ(ParseIntField("99999999999"), 99999999999LL);
  EXPECT_GT(*ParseIntField("999999999999999999999999999"), 2147483647LL);
}

TEST(SettingsText, NumberFieldsFollowTheScanRules) {
  EXPECT_EQ(ParseDoubleField(" 7 "), 7.0);
  EXPECT_EQ(ParseDoubleField("2.5"), 2.5);
  EXPECT_EQ(ParseDoubleField("-.5"), -0.5);
  EXPECT_EQ(ParseDoubleField("5."), 5.0);
  EXPECT_EQ(ParseDoubleField("+1e3"), 1000.0);
  EXPECT_EQ(ParseDoubleField("0.0"), 0.0);
  EXPECT_EQ(ParseDoubleField("0e5"), 0.0);
  EXPECT_EQ(ParseDoubleField("1E-2\t"), 0.01);
  for (const char* bad : {"abc", "1.5x", "", ".", "-0.0", ".0", "1e", "1e+", "inf", "nan", "1e400", "0x1p3", "1,5"})
    EXPECT_FALSE(ParseDoubleField(bad).has_value()) << bad;
}

TEST(SettingsText, OnlyThirtyOneCharactersAreRead) {
  const std::string blanks30(30, ' ');
  EXPECT_EQ(ParseIntField("7" + blanks30 + "x"), 7);  // x is character 32
  EXPECT_FALSE(ParseIntField("7" + std::string(29, ' ') + "x").has_value());
  EXPECT_EQ(ParseDoubleField("2.5" + std::string(28, ' ') + "中"), 2.5);
  EXPECT_FALSE(ParseDoubleField("2.5" + std::string(27, ' ') + "中").has_value());
  // What lies beyond the 31st character is never seen.
  EXPECT_TRUE(ParseIntField(std::string(31, '1') + "x").has_value());
}

TEST(SettingsFields, PagesHoldTheirFieldsInExchangeOrder) {
  std::size_t total = 0;
  for (int page = 0; page < SettingsPageCount; ++page) {
    std::set<int> onPage;
    for (const SettingsField& f : SettingsFields())
      if (f.page == page) {
        EXPECT_TRUE(onPage.insert(f.controlId).second) << f.param;
        EXPECT_TRUE(FindParam(f.param)) << f.param;
      }
    const auto& order = SettingsExchangeOrder(page);
    EXPECT_EQ(std::set<int>(order.begin(), order.end()), onPage) << page;
    EXPECT_EQ(order.size(), onPage.size());
    total += order.size();
  }
  EXPECT_EQ(total, SettingsFields().size());
  EXPECT_EQ(total, 18u + 14u + 5u);
  EXPECT_EQ(text::Ui(FindSettingsField(0, 1000)->label), "地心引力：");
  EXPECT_EQ(text::Ui(FindSettingsField(1, 1013)->label), "感知星球数目：");
  EXPECT_EQ(text::Ui(FindSettingsField(2, 1002)->label), "不显示神经网络\"看到\"到的星球");
}

// The texts a page shows for the given settings.
std::map<int, FieldInput> Shown(int page, const SimParams& p) {
  std::map<int, FieldInput> in;
  for (const SettingsField& f : SettingsFields())
    if (f.page == page) in[f.controlId] = {SettingsFieldText(p, f), SettingsFieldChecked(p, f)};
  return in;
}

TEST(SettingsPage, BadTextIsRefusedAtTheFirstFieldInExchangeOrder) {
  SimParams p;
  auto in = Shown(0, p);
  in[1000].text = "abc";  // gravity
  in[1005].text = " 7 ";  // population, after gravity in the order
  in[1014].text = "3";    // elites: 7 - 3 leaves pairs of children
  in[1001].text = "3.5";  // acceleration, first in the order
  PageReadResult r = ReadSettingsPage(0, in, p);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.controlId, 1000);
  EXPECT_EQ(r.message, "请键入一个数。");
  EXPECT_EQ(p.LifeboatAccel, 3.5);   // read before the refused field
  EXPECT_EQ(p.PopulationSize, 500);  // not reached

  in[1000].text = "1.5x";
  EXPECT_EQ(ReadSettingsPage(0, in, p).controlId, 1000);
  in[1000].text = "9.81";
  in[1006].text = "1.5";
  r = ReadSettingsPage(0, in, p);
  EXPECT_EQ(r.controlId, 1006);
  EXPECT_EQ(r.message, "请键入一个整数。");
  in[1006].text = "300";
  ASSERT_TRUE(ReadSettingsPage(0, in, p).ok);
  EXPECT_EQ(p.Gravity, 9.81);
  EXPECT_EQ(p.PopulationSize, 7);
  EXPECT_EQ(p.MaxGenerations, 300);
}

TEST(SettingsPage, PerceivedMeteorsAreStoredAsInputCount) {
  SimParams p;
  auto in = Shown(1, p);
  in[1013].text = "3";
  ASSERT_TRUE(ReadSettingsPage(1, in, p).ok);
  EXPECT_EQ(p.NetInputCount, 10);
  EXPECT_EQ(Shown(1, p)[1013].text, "3");

  for (const char* bad : {"50", "-1", "11", "4000000000"}) {
    SimParams q = p;
    in[1013].text = bad;
    PageReadResult r = ReadSettingsPage(1, in, q);
    EXPECT_FALSE(r.ok) << bad;
    EXPECT_EQ(r.controlId, 1013);
    EXPECT_EQ(r.message, "“感知星球数目”的值必须在 0 到 10 之间。");
    EXPECT_EQ(q.NetInputCount, 10);
  }
  in[1013].text = "0";
  ASSERT_TRUE(ReadSettingsPage(1, in, p).ok);
  EXPECT_EQ(p.NetInputCount, 4);
}

TEST(SettingsPage, ValuesOutsideTheLimitsAreRefusedWithTheirRange) {
  SimParams p;
  auto in = Shown(0, p);
  in[1005].text = "0";
  PageReadResult r = ReadSettingsPage(0, in, p);
  EXPECT_EQ(r.controlId, 1005);
  EXPECT_EQ(r.message, "“人口数目”的值必须在 1 到 100000 之间。");

  in[1005].text = "100";
  in[1014].text = "-5";
  r = ReadSettingsPage(0, in, p);
  EXPECT_EQ(r.controlId, 1014);
  EXPECT_EQ(r.message, "“精英数目”的值必须在 0 到 100（人口数目）之间。");
  in[1014].text = "101";
  EXPECT_EQ(ReadSettingsPage(0, in, p).controlId, 1014);
  in[1014].text = "100";
  EXPECT_TRUE(ReadSettingsPage(0, in, p).ok);

  in[1003].text = "-1";  // lifeboat size
  EXPECT_EQ(ReadSettingsPage(0, in, p).message, "“救生艇大小”的值必须在 0 到 1000 之间。");

  auto net = Shown(1, p);
  net[1005].text = "5001";
  EXPECT_EQ(ReadSettingsPage(1, net, p).message, "“训练次数”的值必须在 0 到 5000 之间。");

  // Beyond 32 bits, even where any 32-bit value is allowed.
  auto other = Shown(2, p);
  other[1000].text = "3000000000";
  r = ReadSettingsPage(2, other, p);
  EXPECT_EQ(r.controlId, 1000);
  EXPECT_EQ(r.message, "“横坐标”的值必须在 -2147483648 到 2147483647 之间。");
  EXPECT_EQ(p.StartX, 20);
}

// Limits across fields are checked once the page is read, and the population
// field takes the blame; the time step must be above zero.
TEST(SettingsPage, PopulationsAndTimeStepAreRefusedWithTheRule) {
  // A network of 100 layers of 1000: what the window's runs would need (on
  // this machine's cores).
  char needs[32];
  std::snprintf(needs, sizeof needs, "%.1f",
                RunBytes(SimParams{.HiddenLayerCount = 100, .NeuronsPerHiddenLayer = 1000}, RunScope{}) / (1 << 30));
  struct Case {
    int page;
    std::map<int, std::string> typed;
    int refused;  // 0: accepted
    std::string message;
  };
  const std::vector<Case> cases = {
      {0, {{1005, "7"}, {1014, "4"}}, 1005, "人口数目减去精英数目必须是偶数。"},
      {0, {{1005, "501"}, {1014, "5"}}, 0, ""},  // both changed: judged together
      {1, {{1006, "401"}}, 1006, "人口数目减去精英数目必须是偶数。"},
      {1,
       {{1000, "100"}, {1001, "1000"}},
       1006,
       std::string("“人口数目”太大：这次运行需要 ") + needs + " GiB 内存，超过了 2 GiB 的上限。"},
      {0, {{1002, "0"}}, 1002, "“时间流逝”的值必须大于 0 且不大于 10。"},
      {0, {{1000, "1e10"}}, 1000, "“地心引力”的值必须在 -1000 到 1000 之间。"},
  };
  for (const Case& c : cases) {
    SimParams p;
    auto in = Shown(c.page, p);
    for (const auto& [id, text] : c.typed) in[id].text = text;
    const PageReadResult r = ReadSettingsPage(c.page, in, p);
    EXPECT_EQ(r.ok, c.refused == 0) << c.message;
    EXPECT_EQ(r.controlId, c.refused) << c.message;
    EXPECT_EQ(r.message, c.message);
  }
}

TEST(SettingsPage, APageOnlyWritesItsOwnFields) {
  SimParams p;
  p.Gravity = 1.25;
  p.NetPopulationSize = 10;
  p.NetEliteCount = 2;
  auto in = Shown(1, SimParams{});  // page 2 showing other values
  in[1001].text = "9";
  ASSERT_TRUE(ReadSettingsPage(1, in, p).ok);
  EXPECT_EQ(p.NeuronsPerHiddenLayer, 9);
  EXPECT_EQ(p.NetPopulationSize, 400);
  EXPECT_EQ(p.Gravity, 1.25);  // page 1's field untouched
  // Fields missing from the inputs are left as they are.
  SimParams q;
  ASSERT_TRUE(ReadSettingsPage(0, {{1000, {"3", false}}}, q).ok);
  EXPECT_EQ(q.Gravity, 3.0);
  EXPECT_EQ(q.PopulationSize, 500);
}

}  // namespace
}  // namespace korvane
