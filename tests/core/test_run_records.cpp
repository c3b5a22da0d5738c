// What a run leaves for the user: its history as CSV and its seed.
#include <gtest/gtest.h>

#include "ui_model/history_export.h"
#include "ui_model/seed_book.h"

namespace korvane {
namespace {

TEST(HistoryCsv, OneRowPerGenerationWithExactNumbers) {
  ChartData h;
  h.generation = 2;
  h.bestHistory = {0.1, 1234.5};
  h.averageHistory = {1.0 / 3.0, 600.25};
  EXPECT_EQ(HistoryCsv(h, false),
            "generation,best,average,escaped\n"
            "1,0.10000000000000001,0.33333333333333331,\n"
            "2,1234.5,600.25,\n");
  h.escaped = true;
  EXPECT_EQ(HistoryCsv(h, true),
            "generation,best,average,escaped\n"
            "1,0.10000000000000001,0.33333333333333331,0\n"
            "2,1234.5,600.25,0\n"
            "3,1801,,1\n");
  EXPECT_EQ(HistoryCsv(ChartData{}, true), "generation,best,average,escaped\n");
}

TEST(SeedBook, TheClockUnlessChosenAndTheLastCanBeRepeated) {
  std::uint32_t clock = 100;
  SeedBook seeds([&] { return clock++; });
  EXPECT_FALSE(seeds.RepeatLast());  // nothing ran yet
  EXPECT_EQ(SeedStatusText(seeds), "");
  EXPECT_EQ(seeds.Take(RunKind::GA), 100u);
  seeds.SetNext(4294967295u);
  EXPECT_EQ(SeedStatusText(seeds), "下一次的种子：4294967295");
  EXPECT_EQ(seeds.Take(RunKind::Training), 4294967295u);
  EXPECT_EQ(seeds.Take(RunKind::Training), 101u);  // chosen once only
  EXPECT_EQ(SeedStatusText(seeds), "种子：101");
  ASSERT_TRUE(seeds.RepeatLast());
  EXPECT_EQ(seeds.LastKind(), RunKind::Training);
  EXPECT_EQ(seeds.Take(RunKind::Training), 101u);
}

}  // namespace
}  // namespace korvane
