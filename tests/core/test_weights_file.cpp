#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "files/weights_file.h"
#include "net/default_weights.h"
#include "sim/rand.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

// A fresh file name in the temporary directory, removed again at the end.
class TempFile {
 public:
  TempFile() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    m_path = fs::temp_directory_path() /
             (std::string("korvane-") + info->name() + "-" + std::to_string(::getpid()) + ".txt");
    fs::remove(m_path);
  }
  ~TempFile() {
    std::error_code ec;
    fs::remove(m_path, ec);
  }
  std::string Path() const { return m_path.string(); }
  std::string Bytes() const {
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  fs::path m_path;
};

std::optional<std::vector<double>> Parse(std::string_view text, std::string& error) {
  error.clear();
  return ParseLastWeightsBlock(text, &error);
}

TEST(WeightsFileFormat, OneCrLfLinePerWeight) {
  const std::string text = FormatWeightsText(DefaultWeights);
  const std::string head = "m_weight[0] = 1.787476;\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_NE(text.find("m_weight[1] = -15.876892;\r\nm_weight[2] = -22.454956;\r\n"), std::string::npos);
  const std::string tail = "m_weight[94] = 33.669067;\r\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  std::size_t lines = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') {
      ++lines;
      EXPECT_EQ(text[i - 1], '\r');
    }
  EXPECT_EQ(lines, 95u);
  EXPECT_EQ(FormatWeightsText({}), "");
  const std::vector<double> odd{-0.0000004, 1e10};
  EXPECT_EQ(FormatWeightsText(odd), "m_weight[0] = -0.000000;\r\nm_weight[1] = 10000000000.000000;\r\n");
}

TEST(WeightsFileFormat, ParsesBackWhatItWrites) {
  std::string error;
  const auto got = Parse(FormatWeightsText(DefaultWeights), error);
  ASSERT_TRUE(got) << error;
  ASSERT_EQ(got->size(), 95u);
  for (std::size_t i = 0; i < 95; ++i) EXPECT_EQ((*got)[i], DefaultWeights[i]) << i;
}

TEST(WeightsFileAppend, SecondRunAddsASecondBlock) {
  TempFile file;
  const std::string first = FormatWeightsText(DefaultWeights);
  const std::vector<double> trained{0.5, -1.25, 3.0};
  const std::string second = FormatWeightsText(trained);
  ASSERT_EQ(AppendWeightsFile(file.Path(), first), SaveResult::Ok);
  ASSERT_EQ(AppendWeightsFile(file.Path(), second), SaveResult::Ok);
  EXPECT_EQ(file.Bytes(), first + second);

  std::string error;
  const auto last = ReadWeightsFile(file.Path(), &error);
  ASSERT_TRUE(last) << error;
  EXPECT_EQ(*last, trained);
}

TEST(WeightsFileAppend, ANewBlockStartsOnALineOfItsOwn) {
  const std::string whole = FormatWeightsText(DefaultWeights);
  const std::vector<double> trained{0.5, -1.25, 3.0};
  const std::string second = FormatWeightsText(trained);
  struct Case {
    std::string old;
    std::string before;  // what is before the new block afterwards
    bool firstWhole;
  };
  const std::string cutValue = whole.substr(0, whole.size() - 8);  // inside the last value
  const Case cases[] = {
      {whole.substr(0, whole.size() - 2), whole, true},  // the last line lost its CR LF
      {whole.substr(0, whole.size() - 1), whole, true},  // or its LF only
      {cutValue, cutValue + "\r\n", false},              // a run killed mid-line
  };
  for (const Case& c : cases) {
    TempFile file;
    std::ofstream(file.Path(), std::ios::binary) << c.old;
    ASSERT_EQ(AppendWeightsFile(file.Path(), second), SaveResult::Ok);
    const std::string bytes = file.Bytes();
    EXPECT_EQ(bytes, c.before + second);
    const std::vector<WeightsBlock> blocks = SplitWeightsBlocks(bytes);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].Whole(), c.firstWhole);
    EXPECT_EQ(blocks[1].weights, trained);
    std::string error;
    const auto last = ReadWeightsFile(file.Path(), &error);
    ASSERT_TRUE(last) << error;
    EXPECT_EQ(*last, trained);
  }
}

TEST(WeightsFileAppend, ReportsFailuresWithoutTouchingTheFile) {
  EXPECT_EQ(AppendWeightsFile("/nonexistent-dir-korvane/weights.txt", "x"), SaveResult::OpenFailed);
  EXPECT_EQ(AppendWeightsFile(fs::temp_directory_path().string(), "x"), SaveResult::OpenFailed);
  if (fs::exists("/dev/full")) {
    // Every write to /dev/full fails with "no space left".
    EXPECT_EQ(AppendWeightsFile("/dev/full", FormatWeightsText(DefaultWeights)), SaveResult::WriteFailed);
  }
}

TEST(WeightsFileAppend, AWriteCutShortLeavesTheEarlierBlocksAsTheyWere) {
  TempFile file;
  const std::string first = FormatWeightsText(DefaultWeights);
  ASSERT_EQ(AppendWeightsFile(file.Path(), first), SaveResult::Ok);

  // A file-size limit just past the first block makes the second write stop
  // part-way.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  if (old.rlim_max != RLIM_INFINITY && old.rlim_max < first.size() + 10) GTEST_SKIP() << "file-size limit too low";
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit tight = old;
  tight.rlim_cur = first.size() + 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  const SaveResult result = AppendWeightsFile(file.Path(), first);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, SaveResult::WriteFailed);
  EXPECT_EQ(file.Bytes(), first);
}

TEST(WeightsFileRead, MissingFileIsAnError) {
  std::string error;
  EXPECT_FALSE(ReadWeightsFile("/nonexistent-dir-korvane/weights.txt", &error));
  EXPECT_FALSE(error.empty());
}

TEST(WeightsFileParse, AcceptsLfAndBlankLines) {
  std::string error;
  auto got = Parse("m_weight[0] = 1.5;\nm_weight[1] = -2;\n\nm_weight[2] = 3e2;\n", error);
  ASSERT_TRUE(got) << error;
  EXPECT_EQ(*got, (std::vector<double>{1.5, -2.0, 300.0}));
  got = Parse("\tm_weight[0]=+0.25 ; \r\n\r\n", error);
  ASSERT_TRUE(got) << error;
  EXPECT_EQ(*got, std::vector<double>{0.25});
}

TEST(WeightsFileParse, TheLastBlockWinsEvenWhenShorter) {
  std::string error;
  const std::string text = FormatWeightsText(DefaultWeights) + "m_weight[0] = 9.0;\r\nm_weight[1] = 8.0;\r\n";
  const auto got = Parse(text, error);
  ASSERT_TRUE(got) << error;
  EXPECT_EQ(*got, (std::vector<double>{9.0, 8.0}));
}

TEST(WeightsFileParse, RejectsMalformedText) {
  const char* bad[] = {
      "",
      "\r\n\r\n",
      "hello",
      "m_weight[1] = 1.0;\r\n",                                   // no block start
      "m_weight[0] = 1.0;\r\nm_weight[2] = 1.0;\r\n",             // gap
      "m_weight[0] = 1.0;\r\nm_weight[0] = 1.0;\r\nm_weight[0]",  // cut short
      "m_weight[0] = 1.0\r\n",                                    // no ';'
      "m_weight[0] = ;\r\n",
      "m_weight[0] 1.0;\r\n",
      "m_weight[-1] = 1.0;\r\n",
      "m_weight[] = 1.0;\r\n",
      "m_weight[0x1] = 1.0;\r\n",
      "m_weight[0000000000] = 1.0;\r\n",  // index too long
      "m_weight[0 = 1.0;\r\n",
      "m_weight[0] = 1.0x;\r\n",
      "m_weight[0] = 1.0;;\r\n",
      "m_weight[0] = +-1.0;\r\n",
      "m_weight[0] = inf;\r\n",
      "m_weight[0] = nan;\r\n",
      "m_weight[0] = 1e999;\r\n",
      "m_weight[0] = 1.0;\r\nweights follow\r\n",
      "m_weight[0] = 1.0;",  // cut before its line end
  };
  for (const char* text : bad) {
    std::string error;
    EXPECT_FALSE(Parse(text, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  std::string error;
  EXPECT_FALSE(Parse("m_weight[0] = 1.0;\r\nm_weight[2] = 1.0;\r\n", error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_FALSE(ParseLastWeightsBlock("junk", nullptr));
}

TEST(WeightsFileParse, SurvivesArbitraryBytes) {
  CRand rng(2024);
  const std::string valid = FormatWeightsText(DefaultWeights);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    if (round % 2 == 0) {
      text.resize(static_cast<std::size_t>(rng.Below(200)));
      for (char& c : text) c = static_cast<char>(rng.Below(256));
    } else {
      // A valid file with a few bytes changed or cut.
      text = valid.substr(0, static_cast<std::size_t>(rng.Below(static_cast<int>(valid.size()) + 1)));
      for (int k = rng.Below(4); k > 0 && !text.empty(); --k)
        text[static_cast<std::size_t>(rng.Below(static_cast<int>(text.size())))] = static_cast<char>(rng.Below(256));
    }
    std::string error;
    const auto got = ParseLastWeightsBlock(text, &error);
    if (got) {
      ASSERT_FALSE(got->empty());
      ASSERT_LE(got->size(), 95u);
    } else {
      ASSERT_FALSE(error.empty());
    }
  }
}

}  // namespace
}  // namespace korvane
