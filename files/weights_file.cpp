#include "files/weights_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "files/file_io.h"
#include "files/text_scan.h"

namespace korvane {

std::string FormatWeightsText(std::span<const double> weights) {
  std::string out;
  out.reserve(weights.size() * 28);
  std::vector<char> buf(64);
  for (std::size_t i = 0; i < weights.size(); ++i) {
    const char* fmt = "m_weight[%d] = %lf;\r\n";
    const int idx = static_cast<int>(i);
    int len = std::snprintf(buf.data(), buf.size(), fmt, idx, weights[i]);
    if (len < 0) continue;
    if (static_cast<std::size_t>(len) >= buf.size()) {
      // Huge magnitudes print hundreds of digits.
      buf.resize(static_cast<std::size_t>(len) + 1);
      std::snprintf(buf.data(), buf.size(), fmt, idx, weights[i]);
    }
    out.append(buf.data(), static_cast<std::size_t>(len));
  }
  return out;
}

SaveResult AppendWeightsFile(const std::string& path, const std::string& text) {
  switch (AppendWithRollBack(path, text)) {
    case AppendStatus::Ok: return SaveResult::Ok;
    case AppendStatus::OpenFailed: return SaveResult::OpenFailed;
    case AppendStatus::WriteFailed: return SaveResult::WriteFailed;
  }
  return SaveResult::WriteFailed;
}

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// "m_weight[<index>] = <value>;" with optional blanks around '=' and before
// ';'. Returns an empty message on success.
std::string ParseLine(std::string_view line, long long& index, double& value) {
  constexpr std::string_view head = "m_weight[";
  line = TrimBlanks(line);
  if (!StartsWith(line, head)) return "expected a line of the form \"m_weight[<index>] = <value>;\"";
  line.remove_prefix(head.size());

  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return "missing ']' after the index";
  const std::string_view digits = line.substr(0, close);
  if (digits.empty() || digits.size() > 9) return "the index must be 1 to 9 decimal digits";
  for (char c : digits)
    if (c < '0' || c > '9') return "the index must be 1 to 9 decimal digits";
  index = 0;
  for (char c : digits) index = index * 10 + (c - '0');
  line.remove_prefix(close + 1);

  line = TrimBlanks(line);
  if (line.empty() || line.front() != '=') return "missing '=' after the index";
  line.remove_prefix(1);
  line = TrimBlanks(line);
  if (line.empty() || line.back() != ';') return "missing ';' at the end of the line";
  line.remove_suffix(1);
  line = TrimBlanks(line);
  if (line.empty()) return "missing value";

  // from_chars takes no '+'; the writer never prints one but a hand edit might.
  std::string_view number = line;
  if (number.front() == '+') {
    number.remove_prefix(1);
    if (number.empty() || number.front() == '-') return "the value is not a number";
  }
  const char* first = number.data();
  const char* last = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || ptr != last) return "the value is not a number";
  if (!std::isfinite(value)) return "the value is not a finite number";
  return {};
}

}  // namespace

std::optional<std::vector<double>> ParseLastWeightsBlock(std::string_view text, std::string* error) {
  auto fail = [error](std::string msg) -> std::optional<std::vector<double>> {
    if (error) *error = std::move(msg);
    return std::nullopt;
  };
  try {
    if (text.empty()) return fail("the weights file is empty");

    std::vector<double> block;  // the block being read
    bool inBlock = false;
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      pos = end + 1;
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (TrimBlanks(line).empty()) continue;

      long long index = 0;
      double value = 0.0;
      const std::string problem = ParseLine(line, index, value);
      const std::string where = "line " + std::to_string(lineNo) + ": ";
      if (!problem.empty()) return fail(where + problem);
      if (index == 0) {
        block.clear();
        inBlock = true;
      } else if (!inBlock) {
        return fail(where + "a block must start at m_weight[0]");
      } else if (static_cast<std::size_t>(index) != block.size()) {
        return fail(where + "expected index " + std::to_string(block.size()) + ", found " + std::to_string(index));
      }
      block.push_back(value);
    }
    if (!inBlock) return fail("no m_weight[0] line found");
    return block;
  } catch (const std::exception&) {
    return fail("out of memory while reading the weights");
  }
}

std::optional<std::vector<double>> ReadWeightsFile(const std::string& path, std::string* error) {
  std::string data;
  std::string problem;
  switch (ReadCapped(path, MaxWeightsFileBytes, data)) {
    case ReadStatus::Ok: return ParseLastWeightsBlock(data, error);
    case ReadStatus::Missing: problem = "cannot open " + path; break;
    case ReadStatus::Failed: problem = "cannot read " + path; break;
    case ReadStatus::TooLarge: problem = path + " is too large for a weights file"; break;
  }
  if (error) *error = problem;
  return std::nullopt;
}

}  // namespace korvane
