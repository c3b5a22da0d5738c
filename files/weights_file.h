#pragma once
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/weights_blocks.h"

namespace korvane {

// The text of "weights.txt": one "m_weight[i] = value;" line per weight,
// values with six decimals, CR LF line ends, no header.
std::string FormatWeightsText(std::span<const double> weights);

enum class SaveResult { Ok, OpenFailed, WriteFailed };

// Appends text to the file, creating it if needed, as AppendFile does: under
// a lock, on a line of its own, and cut back to the old length when a write
// fails part-way.
SaveResult AppendWeightsFile(const std::string& path, const std::string& text);

// Files above MaxWeightsFileBytes are refused.
inline constexpr std::size_t MaxWeightsFileBytes = 64u << 20;

// Block `block` (1-based) of the file, or its last block (see PickWeightsBlock).
WeightsPick ReadWeightsBlock(const std::string& path, std::optional<int> block = std::nullopt);

// Why a pick failed: for the window (in the interface's language) and for
// the command line (English, its own words);
// empty when it did not. file names the file ("" for a text of no file).
std::string WeightsPickMessage(const WeightsPick& pick, std::string_view file);
std::string WeightsPickReason(const WeightsPick& pick, std::string_view file);

// Whether the picked block fits a network of `needed` weights: empty when it
// does, else that the block is mismatched.
std::string WeightsCountMessage(const WeightsPick& pick, std::size_t needed);
std::string WeightsCountReason(const WeightsPick& pick, std::size_t needed);

// The last block, refused when damaged, with the reason in *error when given.
std::optional<std::vector<double>> ParseLastWeightsBlock(std::string_view text, std::string* error);
std::optional<std::vector<double>> ReadWeightsFile(const std::string& path, std::string* error);

}  // namespace korvane
