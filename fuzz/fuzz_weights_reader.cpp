// Feeds arbitrary bytes to the reader of weights.txt: the blocks it splits
// them into, the block picked by number, and what a further append does.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/file_io.h"
#include "files/weights_file.h"
#include "fuzz/require.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<WeightsBlock> blocks = SplitWeightsBlocks(text);
  const int count = static_cast<int>(blocks.size());
  int line = 0;
  for (const WeightsBlock& b : blocks) {
    Require(b.number == &b - blocks.data() + 1 && b.firstLine > line);
    line = b.firstLine;
    Require(b.Whole() == !b.weights.empty());
    if (!b.Whole()) Require(b.damage.line >= b.firstLine);
    for (double w : b.weights) Require(std::isfinite(w));
  }

  // By number, one past either end, and the last by default.
  for (int k = 0; k <= count + 1; ++k) {
    const WeightsPick p = PickWeightsBlock(text, k);
    const bool exists = k >= 1 && k <= count;
    Require((p.status == WeightsPickStatus::Ok) == (exists && blocks[static_cast<size_t>(k - 1)].Whole()));
    Require(WeightsPickReason(p, "w.txt").empty() == (p.status == WeightsPickStatus::Ok));
    Require(WeightsPickMessage(p, "w.txt").empty() == (p.status == WeightsPickStatus::Ok));
    if (p.status == WeightsPickStatus::Ok) {
      Require(p.weights == blocks[static_cast<size_t>(k - 1)].weights);
      Require(WeightsCountReason(p, p.weights.size()).empty() && !WeightsCountReason(p, p.weights.size() + 1).empty());
    }
  }
  const WeightsPick last = PickWeightsBlock(text);
  Require(count == 0 ? last.status == WeightsPickStatus::NoWeights : last.block == count);

  // Another run's block appended: every whole block stays as it was, and the
  // new one is whole after them.
  const std::vector<double> added{1.5, -2.25};
  std::string appended(text);
  appended += LineEndBeforeBlock(text);
  appended += FormatWeightsText(added);
  const std::vector<WeightsBlock> after = SplitWeightsBlocks(appended);
  Require(!after.empty() && after.back().weights == added);
  for (const WeightsBlock& b : blocks)
    if (b.Whole()) Require(after[static_cast<size_t>(b.number - 1)].weights == b.weights);
  return 0;
}
