#pragma once
#include <optional>
#include <string_view>
#include <vector>

// The blocks of a weights.txt text. Each finished training run appends one
// block; a run killed part-way leaves a damaged last block, which must not
// cost the whole blocks before it.
namespace korvane {

enum class WeightsDefect {
  None,
  NotAWeightLine,  // not "m_weight[...] ..."
  MissingBracket,  // no ']' after the index
  BadIndex,        // not 1 to 9 decimal digits
  MissingEquals,
  MissingSemicolon,
  MissingValue,
  NotANumber,
  OutOfRange,  // a number beyond a double's range, or too close to 0 for one
  NotFinite,
  CutOff,           // the text ends inside the line, before its line end
  NoBlockStart,     // lines before the first m_weight[0]
  IndexOutOfOrder,  // expected and found say more
};

struct WeightsDamage {
  WeightsDefect defect = WeightsDefect::None;
  int line = 0;            // 1-based line of the text
  long long expected = 0;  // IndexOutOfOrder: the index due here
  long long found = 0;     // and the one the line holds
};

// A block starts at a line "m_weight[0] = ...". It is damaged when one of its
// lines is not a weight line, its indices do not run 0, 1, 2, ... in order,
// or the text ends inside its last line (no line end after the ';'). Lines
// before the first block start make a damaged block of their own.
struct WeightsBlock {
  int number = 0;  // 1-based
  int firstLine = 0;
  WeightsDamage damage;         // the first thing wrong; defect None: whole
  std::vector<double> weights;  // whole blocks only
  bool Whole() const { return damage.defect == WeightsDefect::None; }
};

// Lines end in LF or CR LF; blank lines are skipped. May throw bad_alloc.
std::vector<WeightsBlock> SplitWeightsBlocks(std::string_view text);

enum class WeightsPickStatus {
  Ok,
  NoWeights,    // no block at all
  NoSuchBlock,  // the number asked for is not 1..blockCount
  Damaged,
  OpenFailed,
  ReadFailed,
  TooLarge,
  OutOfMemory,
};

struct WeightsPick {
  WeightsPickStatus status = WeightsPickStatus::Ok;
  int block = 0;  // the block asked for, 1-based; the last one by default
  int blockCount = 0;
  WeightsDamage damage;         // Damaged
  std::vector<int> intact;      // Damaged: the whole blocks, to use instead
  std::vector<double> weights;  // Ok
};

// Block `block` (1-based) of the text, or its last block. A damaged block is
// refused, never stood in for by another.
WeightsPick PickWeightsBlock(std::string_view text, std::optional<int> block = std::nullopt);

}  // namespace korvane
