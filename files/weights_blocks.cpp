#include "files/weights_blocks.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <string>

#include "files/text_scan.h"
#include "sim/read_double.h"

namespace korvane {
namespace {

constexpr std::string_view kHead = "m_weight[";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// "m_weight[<index>]": leaves the rest of the line in `line`.
WeightsDefect ParseIndex(std::string_view& line, long long& index) {
  if (!StartsWith(line, kHead)) return WeightsDefect::NotAWeightLine;
  line.remove_prefix(kHead.size());
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return WeightsDefect::MissingBracket;
  const std::string_view digits = line.substr(0, close);
  if (digits.empty() || digits.size() > 9) return WeightsDefect::BadIndex;
  index = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return WeightsDefect::BadIndex;
    index = index * 10 + (c - '0');
  }
  line.remove_prefix(close + 1);
  return WeightsDefect::None;
}

// " = <value>;" with optional blanks around '=' and before ';'.
WeightsDefect ParseValue(std::string_view line, double& value) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '=') return WeightsDefect::MissingEquals;
  line = TrimBlanks(line.substr(1));
  if (line.empty() || line.back() != ';') return WeightsDefect::MissingSemicolon;
  line = TrimBlanks(line.substr(0, line.size() - 1));
  if (line.empty()) return WeightsDefect::MissingValue;
  // ReadDouble takes no '+'; the writer never prints one but a hand edit might.
  if (line.front() == '+') {
    line.remove_prefix(1);
    if (line.empty() || line.front() == '-') return WeightsDefect::NotANumber;
  }
  const char* last = line.data() + line.size();
  const auto [ptr, ec] = ReadDouble(line.data(), last, value);
  if (ptr != last) return WeightsDefect::NotANumber;
  if (ec == std::errc::result_out_of_range) return WeightsDefect::OutOfRange;
  if (ec != std::errc()) return WeightsDefect::NotANumber;
  if (!std::isfinite(value)) return WeightsDefect::NotFinite;
  return WeightsDefect::None;
}

// One line of the text, blanks trimmed, with what it says.
struct Line {
  std::string_view text;
  int number = 0;
  bool cutOff = false;  // the text ends inside it
  WeightsDefect defect = WeightsDefect::None;
  long long index = -1;  // when the index reads
  double value = 0.0;

  // A block starts here. So does a line that breaks off before its index
  // ends, as a run killed there had begun its block, not lengthened the one
  // before; the next append gives such a line its line end, so this holds
  // for a whole line too.
  bool StartsBlock() const { return index == 0 || (index < 0 && StartsWith("m_weight[0", text)); }
};

Line Read(std::string_view text, int number, bool cutOff) {
  Line l;
  l.text = TrimBlanks(text);
  l.number = number;
  l.cutOff = cutOff;
  std::string_view rest = l.text;
  long long index = 0;
  l.defect = ParseIndex(rest, index);
  if (l.defect == WeightsDefect::None) {
    l.index = index;
    l.defect = ParseValue(rest, l.value);
  }
  // Whatever else a cut-off line lacks, the cut is what went wrong.
  if (cutOff) l.defect = WeightsDefect::CutOff;
  return l;
}

void Damage(WeightsBlock& b, WeightsDefect defect, int line, long long expected = 0, long long found = 0) {
  if (!b.Whole()) return;  // the first fault says it
  b.damage = WeightsDamage{defect, line, expected, found};
  b.weights = {};
}

void Add(WeightsBlock& b, const Line& l) {
  if (l.defect != WeightsDefect::None) return Damage(b, l.defect, l.number);
  if (l.index != static_cast<long long>(b.weights.size()))
    return Damage(b, WeightsDefect::IndexOutOfOrder, l.number, static_cast<long long>(b.weights.size()), l.index);
  if (b.Whole()) b.weights.push_back(l.value);
}

}  // namespace

std::vector<WeightsBlock> SplitWeightsBlocks(std::string_view text) {
  std::vector<WeightsBlock> blocks;
  int number = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    const bool cutOff = end == std::string_view::npos;
    if (cutOff) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (TrimBlanks(raw).empty()) continue;

    const Line line = Read(raw, number, cutOff);
    if (blocks.empty() || line.StartsBlock()) {
      WeightsBlock& b = blocks.emplace_back();
      b.number = static_cast<int>(blocks.size());
      b.firstLine = number;
      if (!line.StartsBlock() && line.defect == WeightsDefect::None) Damage(b, WeightsDefect::NoBlockStart, number);
    }
    Add(blocks.back(), line);
  }
  return blocks;
}

WeightsPick PickWeightsBlock(std::string_view text, std::optional<int> block) {
  WeightsPick p;
  try {
    std::vector<WeightsBlock> blocks = SplitWeightsBlocks(text);
    p.blockCount = static_cast<int>(blocks.size());
    p.block = block.value_or(p.blockCount);
    if (blocks.empty()) {
      p.status = WeightsPickStatus::NoWeights;
    } else if (p.block < 1 || p.block > p.blockCount) {
      p.status = WeightsPickStatus::NoSuchBlock;
    } else if (WeightsBlock& b = blocks[static_cast<std::size_t>(p.block - 1)]; b.Whole()) {
      p.weights = std::move(b.weights);
    } else {
      p.status = WeightsPickStatus::Damaged;
      p.damage = b.damage;
      for (const WeightsBlock& other : blocks)
        if (other.Whole()) p.intact.push_back(other.number);
    }
  } catch (const std::exception&) {
    p = WeightsPick{};
    p.status = WeightsPickStatus::OutOfMemory;
  }
  return p;
}

}  // namespace korvane
