#include "files/weights_file.h"

#include <cstdio>

#include "files/file_io.h"
#include "texts/file_texts.h"

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

std::string DefectZh(const WeightsDamage& d) {
  if (d.defect == WeightsDefect::IndexOutOfOrder) return text::WeightsIndexOrder(d.expected, d.found);
  return text::WeightsDefectTexts[static_cast<int>(d.defect)].zh;
}

std::string DefectEn(const WeightsDamage& d) {
  if (d.defect == WeightsDefect::IndexOutOfOrder) return text::WeightsIndexOrderEn(d.expected, d.found);
  return text::WeightsDefectTexts[static_cast<int>(d.defect)].en;
}

std::optional<std::vector<double>> Weights(WeightsPick&& p, std::string_view file, std::string* error) {
  if (p.status == WeightsPickStatus::Ok) return std::move(p.weights);
  if (error) *error = WeightsPickReason(p, file);
  return std::nullopt;
}

}  // namespace

std::string WeightsPickMessage(const WeightsPick& p, std::string_view file) {
  switch (p.status) {
    case WeightsPickStatus::Ok: return {};
    case WeightsPickStatus::NoWeights: return text::WeightsNone(file);
    case WeightsPickStatus::NoSuchBlock: return text::WeightsNoSuchBlock(file, p.block, p.blockCount);
    case WeightsPickStatus::Damaged:
      return text::WeightsDamaged(file, p.block, p.damage.line, DefectZh(p.damage), p.intact);
    case WeightsPickStatus::OpenFailed: return text::WeightsCannotOpen(file);
    case WeightsPickStatus::ReadFailed: return text::WeightsCannotRead(file);
    case WeightsPickStatus::TooLarge: return text::WeightsTooLarge(file);
    case WeightsPickStatus::OutOfMemory: return text::WeightsOutOfMemory();
  }
  return {};
}

std::string WeightsPickReason(const WeightsPick& p, std::string_view file) {
  switch (p.status) {
    case WeightsPickStatus::Ok: return {};
    case WeightsPickStatus::NoWeights: return text::WeightsNoneEn(file);
    case WeightsPickStatus::NoSuchBlock: return text::WeightsNoSuchBlockEn(file, p.block, p.blockCount);
    case WeightsPickStatus::Damaged:
      return text::WeightsDamagedEn(file, p.block, p.damage.line, DefectEn(p.damage), p.intact);
    case WeightsPickStatus::OpenFailed: return text::WeightsCannotOpenEn(file);
    case WeightsPickStatus::ReadFailed: return text::WeightsCannotReadEn(file);
    case WeightsPickStatus::TooLarge: return text::WeightsTooLargeEn(file);
    case WeightsPickStatus::OutOfMemory: return text::WeightsOutOfMemoryEn();
  }
  return {};
}

std::string WeightsCountMessage(const WeightsPick& p, std::size_t needed) {
  if (p.status != WeightsPickStatus::Ok || p.weights.size() == needed) return {};
  return text::WeightsMismatch(p.block, p.weights.size(), needed);
}

std::string WeightsCountReason(const WeightsPick& p, std::size_t needed) {
  if (p.status != WeightsPickStatus::Ok || p.weights.size() == needed) return {};
  return text::WeightsMismatchEn(p.block, p.weights.size(), needed);
}

std::optional<std::vector<double>> ParseLastWeightsBlock(std::string_view text, std::string* error) {
  return Weights(PickWeightsBlock(text), "", error);
}

std::optional<std::vector<double>> ReadWeightsFile(const std::string& path, std::string* error) {
  return Weights(ReadWeightsBlock(path), path, error);
}

}  // namespace korvane
