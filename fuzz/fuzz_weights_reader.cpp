// Feeds arbitrary bytes to the reader of weights.txt.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/weights_file.h"
#include "fuzz/require.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto weights = ParseLastWeightsBlock(text, &error);
  if (!weights) {
    Require(!error.empty());
    return 0;
  }
  Require(!weights->empty());
  for (double w : *weights) Require(std::isfinite(w));
  // Written out again, the block reads back with the same number of weights.
  std::string again;
  auto reread = ParseLastWeightsBlock(FormatWeightsText(*weights), &again);
  Require(reread && reread->size() == weights->size());
  return 0;
}
