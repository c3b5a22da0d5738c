#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The text of "weights.txt": one "m_weight[i] = value;" line per weight,
// values with six decimals, CR LF line ends, no header.
std::string FormatWeightsText(std::span<const double> weights);

enum class SaveResult { Ok, OpenFailed, WriteFailed };

// Appends text to the file, creating it if needed. Earlier content is never
// touched: a write that fails part-way is cut back to the old length.
SaveResult AppendWeightsFile(const std::string& path, const std::string& text);

// The last block of a weights.txt text: a block starts at "m_weight[0] = ...;"
// and its indices run on from 0 without a gap. Lines end in LF or CR LF;
// blank lines are skipped. Any other line, a gap in the indices, a value that
// is not a finite number, or no block at all is an error (described in
// *error when given).
std::optional<std::vector<double>> ParseLastWeightsBlock(std::string_view text, std::string* error);

// Reads a file and parses it as above. Files above MaxWeightsFileBytes are
// refused.
inline constexpr std::size_t MaxWeightsFileBytes = 64u << 20;
std::optional<std::vector<double>> ReadWeightsFile(const std::string& path, std::string* error);

}  // namespace korvane
