#include "files/weights_file.h"

#include <cstdio>

#include "files/file_io.h"
#include "texts/text_table.h"

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

WeightsPick ReadWeightsBlock(const std::string& path, std::optional<int> block) {
  std::string data;
  WeightsPick p;
  switch (ReadCapped(path, MaxWeightsFileBytes, data)) {
    case ReadStatus::Ok: return PickWeightsBlock(data, block);
    case ReadStatus::Missing: p.status = WeightsPickStatus::OpenFailed; break;
    case ReadStatus::Failed: p.status = WeightsPickStatus::ReadFailed; break;
    case ReadStatus::TooLarge: p.status = WeightsPickStatus::TooLarge; break;
  }
  return p;
}

namespace {

using text::Lang;

// In the order of WeightsDefect, up to IndexOutOfOrder (which has numbers).
constexpr Tx kDefects[] = {Tx::None,
                           Tx::WeightsNotAWeightLine,
                           Tx::WeightsMissingBracket,
                           Tx::WeightsBadIndex,
                           Tx::WeightsMissingEquals,
                           Tx::WeightsMissingSemicolon,
                           Tx::WeightsMissingValue,
                           Tx::WeightsNotANumber,
                           Tx::WeightsOutOfRange,
                           Tx::WeightsNotFinite,
                           Tx::WeightsCutOff,
                           Tx::WeightsNoBlockStart};

std::string Defect(const WeightsDamage& d, Lang lang) {
  if (d.defect == WeightsDefect::IndexOutOfOrder) return text::Say<Tx::WeightsIndexOrder>(lang, d.expected, d.found);
  return std::string(text::Get(kDefects[static_cast<int>(d.defect)], lang));
}

std::string LineAt(int line, Lang lang) { return line > 0 ? text::Say<Tx::LineAt>(lang, line) : std::string(); }

// Block numbers as runs: "1–2, 4" (", ") or "1–2、4" ("、").
std::string Runs(const std::vector<int>& numbers, Lang lang) {
  std::string out;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (!out.empty()) out += text::Get(Tx::ListSeparator, lang);
    out += std::to_string(numbers[i]);
    if (j > i) out += "–" + std::to_string(numbers[j]);
    i = j + 1;
  }
  return out;
}

// "3 blocks", "1 weight": the command line's counts.
std::string Count(std::size_t n, Tx one, Tx many) {
  return n == 1 ? text::Fill(text::En(one), {n}) : text::Fill(text::En(many), {n});
}

// The window's words for a file: "文件F中" or nothing, " in F" or nothing.
template <Tx in>
std::string InFile(std::string_view file, Lang lang) {
  return file.empty() ? std::string() : text::Say<in>(lang, file);
}

// The command line's: the file, or "the text".
std::string FileOrText(std::string_view file) {
  return file.empty() ? std::string(text::En(Tx::CliTheText)) : std::string(file);
}

std::optional<std::vector<double>> Weights(WeightsPick&& p, std::string_view file, std::string* error) {
  if (p.status == WeightsPickStatus::Ok) return std::move(p.weights);
  if (error) *error = WeightsPickReason(p, file);
  return std::nullopt;
}

}  // namespace

std::string WeightsPickMessage(const WeightsPick& p, std::string_view file) {
  const Lang lang = text::UiLanguage();
  switch (p.status) {
    case WeightsPickStatus::Ok: return {};
    case WeightsPickStatus::NoWeights: return text::Ui<Tx::WeightsNone>(InFile<Tx::WeightsInFile>(file, lang));
    case WeightsPickStatus::NoSuchBlock:
      return text::Ui<Tx::WeightsNoSuchBlock>(InFile<Tx::WeightsInFile>(file, lang), p.blockCount, p.block);
    case WeightsPickStatus::Damaged: {
      const std::string rest = p.intact.empty() ? std::string(text::Ui(Tx::WeightsNoneIntact))
                                                : text::Ui<Tx::WeightsIntact>(Runs(p.intact, lang));
      return text::Ui<Tx::WeightsDamaged>(InFile<Tx::WeightsInFileOf>(file, lang), p.block, LineAt(p.damage.line, lang),
                                          Defect(p.damage, lang), rest);
    }
    case WeightsPickStatus::OpenFailed: return text::Ui<Tx::WeightsCannotOpen>(file);
    case WeightsPickStatus::ReadFailed: return text::Ui<Tx::WeightsCannotRead>(file);
    case WeightsPickStatus::TooLarge: return text::Ui<Tx::WeightsTooLarge>(file);
    case WeightsPickStatus::OutOfMemory: return std::string(text::Ui(Tx::WeightsOutOfMemory));
  }
  return {};
}

std::string WeightsPickReason(const WeightsPick& p, std::string_view file) {
  switch (p.status) {
    case WeightsPickStatus::Ok: return {};
    case WeightsPickStatus::NoWeights: return text::En<Tx::CliWeightsNone>(FileOrText(file));
    case WeightsPickStatus::NoSuchBlock:
      return text::En<Tx::CliWeightsNoSuchBlock>(
          FileOrText(file), Count(static_cast<std::size_t>(p.blockCount), Tx::CliBlock, Tx::CliBlocks), p.block);
    case WeightsPickStatus::Damaged: {
      // The blocks to use instead, and the option that picks one.
      std::string rest(text::En(Tx::WeightsNoneIntact));
      if (p.intact.size() == 1)
        rest = text::En<Tx::CliOneIntact>(p.intact[0]);
      else if (!p.intact.empty())
        rest = text::En<Tx::CliManyIntact>(Runs(p.intact, Lang::En), p.intact.back());
      const std::string of = file.empty() ? std::string() : text::En<Tx::CliOfFile>(file);
      return text::En<Tx::CliWeightsDamaged>(p.block, of, LineAt(p.damage.line, Lang::En), Defect(p.damage, Lang::En),
                                             rest);
    }
    case WeightsPickStatus::OpenFailed: return text::En<Tx::CliCannotOpen>(file);
    case WeightsPickStatus::ReadFailed: return text::En<Tx::CliCannotRead>(file);
    case WeightsPickStatus::TooLarge: return text::En<Tx::CliWeightsTooLarge>(file);
    case WeightsPickStatus::OutOfMemory: return std::string(text::En(Tx::CliOutOfMemory));
  }
  return {};
}

std::string WeightsCountMessage(const WeightsPick& p, std::size_t needed) {
  if (p.status != WeightsPickStatus::Ok || p.weights.size() == needed) return {};
  return text::Ui<Tx::WeightsMismatch>(p.block, p.weights.size(), needed);
}

std::string WeightsCountReason(const WeightsPick& p, std::size_t needed) {
  if (p.status != WeightsPickStatus::Ok || p.weights.size() == needed) return {};
  return text::En<Tx::CliWeightsMismatch>(p.block, Count(p.weights.size(), Tx::CliWeight, Tx::CliWeights), needed);
}

std::optional<std::vector<double>> ParseLastWeightsBlock(std::string_view text, std::string* error) {
  return Weights(PickWeightsBlock(text), "", error);
}

std::optional<std::vector<double>> ReadWeightsFile(const std::string& path, std::string* error) {
  return Weights(ReadWeightsBlock(path), path, error);
}

}  // namespace korvane
