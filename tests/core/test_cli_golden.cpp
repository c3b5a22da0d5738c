// The CLI's numbers for a fixed set of runs: searches, training, network and
// plan flights, on the built-in levels and a saved map. Values are compared,
// not text, so a change of the JSON formatting alone passes.
#include <gtest/gtest.h>

#include "cli_run.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

using korvane::test::kGoldenDir;
using nlohmann::json;

struct GoldenCase {
  std::string name;
  std::vector<std::string> args;
  json expected;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

std::vector<GoldenCase> LoadCases() {
  std::ifstream in(kGoldenDir + "/cli_cases.json");
  std::vector<GoldenCase> cases;
  if (!in) return cases;
  for (const json& c : json::parse(in)) {
    GoldenCase g{c.at("name").get<std::string>(), {}, c.at("output")};
    for (const json& a : c.at("args")) {
      std::string arg = a.get<std::string>();
      if (const auto at = arg.find("@DIR@"); at != std::string::npos) arg.replace(at, 5, kGoldenDir);
      g.args.push_back(arg);
    }
    cases.push_back(std::move(g));
  }
  return cases;
}

// Numbers must be the same doubles; everything else the same value.
void ExpectSame(const json& want, const json& got, const std::string& path) {
  if (want.is_number() && got.is_number()) {
    EXPECT_EQ(want.get<double>(), got.get<double>()) << path;
    return;
  }
  ASSERT_EQ(want.type(), got.type()) << path;
  if (want.is_object()) {
    ASSERT_EQ(want.size(), got.size()) << path;
    for (auto it = want.begin(); it != want.end(); ++it) {
      ASSERT_TRUE(got.contains(it.key())) << path << "." << it.key();
      ExpectSame(it.value(), got.at(it.key()), path + "." + it.key());
    }
  } else if (want.is_array()) {
    ASSERT_EQ(want.size(), got.size()) << path;
    for (std::size_t i = 0; i < want.size(); ++i) ExpectSame(want[i], got[i], path + "[" + std::to_string(i) + "]");
  } else {
    EXPECT_EQ(want, got) << path;
  }
}

class CliGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(CliGolden, SameNumbers) {
  const GoldenCase& c = GetParam();
  std::string args;
  for (const std::string& a : c.args) {
    args += ' ';
    args += korvane::test::Quote(a);
  }
  const korvane::test::CliRun r = korvane::test::Cli(args);
  ASSERT_EQ(r.status, 0) << args << "\n" << r.err;
  ExpectSame(c.expected, json::parse(r.out), c.name);
}

INSTANTIATE_TEST_SUITE_P(Runs, CliGolden, testing::ValuesIn(LoadCases()),
                         [](const testing::TestParamInfo<GoldenCase>& info) { return info.param.name; });

TEST(CliGoldenCases, AreThere) { EXPECT_GE(LoadCases().size(), 30u); }

}  // namespace
