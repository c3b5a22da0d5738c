// The blocks of weights.txt: which are whole, which damaged, and what the
// user is told when the block asked for cannot be used.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/weights_file.h"
#include "net/default_weights.h"
#include "temp_dir.h"

namespace korvane {
namespace {

// A block's outline: its weight count when whole, else its defect and line.
struct Outline {
  bool whole;
  std::size_t count;
  WeightsDefect defect;
  int line;
  bool operator==(const Outline&) const = default;
};
Outline Whole(std::size_t count) { return {true, count, WeightsDefect::None, 0}; }
Outline Damaged(WeightsDefect d, int line) { return {false, 0, d, line}; }

std::vector<Outline> Outlines(std::string_view text) {
  std::vector<Outline> out;
  for (const WeightsBlock& b : SplitWeightsBlocks(text)) {
    EXPECT_EQ(b.number, static_cast<int>(out.size()) + 1);
    out.push_back({b.Whole(), b.weights.size(), b.damage.defect, b.damage.line});
  }
  return out;
}

void PrintTo(const Outline& o, std::ostream* os) {
  *os << (o.whole ? "whole " : "damaged ") << o.count << " defect " << static_cast<int>(o.defect) << " line " << o.line;
}

TEST(WeightsBlocks, EachBlockIsWholeOrDamagedAtItsFirstFault) {
  using D = WeightsDefect;
  const std::string two = "m_weight[0] = 1;\r\nm_weight[1] = 2;\r\n";
  struct Case {
    const char* name;
    std::string text;
    std::vector<Outline> blocks;
  };
  const Case cases[] = {
      {"nothing", "\r\n \r\n", {}},
      {"whole blocks, LF and blank lines", two + "\nm_weight[0]=3;\n\n", {Whole(2), Whole(1)}},
      {"cut mid-line", two + "m_weight[0] = 1;\r\nm_weight[1] = 2.", {Whole(2), Damaged(D::CutOff, 4)}},
      {"cut after the ';'", two + "m_weight[0] = 1;", {Whole(2), Damaged(D::CutOff, 3)}},
      {"cut inside the line end", two + "m_weight[0] = 1;\r", {Whole(2), Damaged(D::CutOff, 3)}},
      {"cut in the first line of a block", two + "m_wei", {Whole(2), Damaged(D::CutOff, 3)}},
      // A killed run may have begun a block here, so the one before is not blamed.
      {"cut where a block may start", two + "m_weight[0] = 1;\r\nm_wei", {Whole(2), Whole(1), Damaged(D::CutOff, 4)}},
      {"the same, given its line end by the next run",
       two + "m_wei\r\n" + two,
       {Whole(2), Damaged(D::NotAWeightLine, 3), Whole(2)}},
      {"cut in a block's later line", two + "m_weight[0] = 1;\r\nm_weight[1", {Whole(2), Damaged(D::CutOff, 4)}},
      {"cut mid-block at a line end", two + "m_weight[0] = 1;\r\n", {Whole(2), Whole(1)}},
      {"an index skipped",
       "m_weight[0]=1;\r\nm_weight[2]=1;\r\nm_weight[1]=1;\r\n" + two,
       {Damaged(D::IndexOutOfOrder, 2), Whole(2)}},
      {"an index repeated", two + "m_weight[1]=1;\r\n", {Damaged(D::IndexOutOfOrder, 3)}},
      {"a bad line mid-block",
       "m_weight[0]=1;\r\nm_weight[1]=x;\r\nm_weight[2]=y;\r\n" + two,
       {Damaged(D::NotANumber, 2), Whole(2)}},
      {"a bad value at a block's start", "m_weight[0] = inf;\r\n" + two, {Damaged(D::NotFinite, 1), Whole(2)}},
      {"a number beyond a double", "m_weight[0] = 1e400;\r\n" + two, {Damaged(D::OutOfRange, 1), Whole(2)}},
      {"a number too close to 0", "m_weight[0] = -1e-400;\r\n" + two, {Damaged(D::OutOfRange, 1), Whole(2)}},
      {"lines before the first block", "m_weight[1] = 1;\r\n" + two, {Damaged(D::NoBlockStart, 1), Whole(2)}},
      {"junk before the first block", "weights:\r\n" + two, {Damaged(D::NotAWeightLine, 1), Whole(2)}},
  };
  for (const Case& c : cases) EXPECT_EQ(Outlines(c.text), c.blocks) << c.name;
}

// Three training runs, the third killed part-way through its block.
class KilledRun : public test::TempDirTest {
 protected:
  std::vector<double> Second() const {
    std::vector<double> w(DefaultWeights.begin(), DefaultWeights.end());
    for (double& v : w) v = -v;
    return w;
  }
  // The third block stops after `lines` whole lines and `bytes` more.
  std::string Text(int lines, std::size_t bytes = 0) const {
    const std::string one = FormatWeightsText(DefaultWeights);
    std::size_t end = 0;
    for (int i = 0; i < lines; ++i) end = one.find('\n', end) + 1;
    return one + FormatWeightsText(Second()) + one.substr(0, end + bytes);
  }
};

TEST_F(KilledRun, TheLastBlockIsRefusedByNameAndAnEarlierOneCanBeChosen) {
  const std::string path = Path("weights.txt");
  WriteFile(path, Text(35, 10));  // line 95 + 95 + 36 is cut inside
  WeightsPick last = ReadWeightsBlock(path);
  EXPECT_EQ(last.status, WeightsPickStatus::Damaged);
  EXPECT_EQ(WeightsPickReason(last, "weights.txt"),
            "block 3 of weights.txt is damaged (line 226: the file ends inside this line, before its line end); "
            "blocks 1–2 are intact — pass --block 2 to use one");
  EXPECT_EQ(WeightsPickMessage(last, "weights.txt"),
            "文件weights.txt中的第3组权值已损坏（第226行：文件在这一行的中间结束，行尾没有回车换行）；第1–2组完好。");
  std::string error;
  EXPECT_FALSE(ReadWeightsFile(path, &error));
  EXPECT_EQ(error, WeightsPickReason(last, path));

  const WeightsPick second = ReadWeightsBlock(path, 2);
  ASSERT_EQ(second.status, WeightsPickStatus::Ok) << WeightsPickReason(second, path);
  EXPECT_EQ(second.weights, Second());
  EXPECT_EQ(WeightsPickReason(second, path), "");
  EXPECT_EQ(ReadWeightsBlock(path, 1).weights.size(), DefaultWeights.size());

  for (int beyond : {4, 0, -1}) {
    const WeightsPick none = ReadWeightsBlock(path, beyond);
    EXPECT_EQ(none.status, WeightsPickStatus::NoSuchBlock);
    EXPECT_EQ(WeightsPickReason(none, "weights.txt"),
              "weights.txt holds 3 blocks; there is no block " + std::to_string(beyond));
  }
  EXPECT_EQ(WeightsPickMessage(ReadWeightsBlock(path, 4), "weights.txt"), "文件weights.txt中只有3组权值，没有第4组。");
}

TEST_F(KilledRun, ABlockCutAtALineEndIsWholeButMismatched) {
  const WeightsPick last = PickWeightsBlock(Text(36));
  ASSERT_EQ(last.status, WeightsPickStatus::Ok);
  EXPECT_EQ(last.block, 3);
  EXPECT_EQ(WeightsCountReason(last, 95), "block 3 holds 36 weights but the network needs 95");
  EXPECT_EQ(WeightsCountMessage(last, 95), "第3组有36个权值，但神经网络需要95个。");
  EXPECT_EQ(WeightsCountReason(last, 36), "");
  EXPECT_EQ(WeightsCountReason(PickWeightsBlock(Text(0) + "m_weight[95] = 0;\r\n", 2), 95),
            "block 2 holds 96 weights but the network needs 95");
  EXPECT_EQ(WeightsCountReason(PickWeightsBlock(Text(0), 1), 95), "");
}

TEST(WeightsBlocks, TheMessageOffersTheIntactBlocksThatThereAre) {
  const std::string whole = "m_weight[0] = 1;\r\n";
  const std::string damaged = "m_weight[0] = x;\r\n";
  struct Case {
    std::string text;
    std::optional<int> block;
    std::string reason;
  };
  const Case cases[] = {
      {damaged, {}, "block 1 is damaged (line 1: the value is not a number); no block is intact"},
      {whole + damaged,
       {},
       "block 2 is damaged (line 2: the value is not a number); block 1 is intact — pass --block 1 to use it"},
      {whole + damaged + whole + damaged, 2,
       "block 2 is damaged (line 2: the value is not a number); blocks 1, 3 are intact — pass --block 3 to use one"},
      {whole + "m_weight[2] = 1;\r\n",
       {},
       "block 1 is damaged (line 2: expected index 1, found 2); no block is intact"},
      {"", {}, "the text holds no weights (no m_weight[0] line)"},
      {whole, 2, "the text holds 1 block; there is no block 2"},
  };
  for (const Case& c : cases) EXPECT_EQ(WeightsPickReason(PickWeightsBlock(c.text, c.block), ""), c.reason) << c.text;
  EXPECT_EQ(WeightsPickMessage(PickWeightsBlock(whole + "m_weight[2] = 1;\r\n"), "w.txt"),
            "文件w.txt中的第1组权值已损坏（第2行：序号应为1，却是2）；没有完好的一组。");
}

}  // namespace
}  // namespace korvane
