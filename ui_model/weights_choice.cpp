#include "ui_model/weights_choice.h"

#include <cstdio>
#include <filesystem>

#include "files/file_io.h"
#include "files/weights_blocks.h"
#include "files/weights_file.h"
#include "net/neural_net.h"
#include "texts/ui_texts.h"

namespace korvane {
namespace {

// printf into a string, for the texts' formats.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  const int len = std::snprintf(nullptr, 0, format, args...);
  std::string out(static_cast<std::size_t>(len > 0 ? len : 0) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, args...);
  out.resize(out.size() - 1);
  return out;
}

}  // namespace

WeightsLoad LoadWeightsFile(const std::string& path, std::optional<int> block, const SimParams& p) {
  WeightsLoad load;
  const std::string name = std::filesystem::path(path).filename().string();
  const WeightsPick pick = ReadWeightsBlock(path, block);
  load.message = WeightsPickMessage(pick, name);
  if (load.message.empty())
    load.message = WeightsCountMessage(pick, static_cast<std::size_t>(CNeuralNet::WeightCountFor(p)));
  if (!load.message.empty()) return load;
  load.ok = true;
  load.weights = pick.weights;
  load.shape = NetShapeOf(p);
  load.source.kind = WeightsSource::Kind::File;
  load.source.file = name;
  load.source.block = pick.block;
  return load;
}

std::vector<std::string> WeightsBlockChoices(const std::string& path) {
  std::string text;
  if (ReadCapped(path, MaxWeightsFileBytes, text) != ReadStatus::Ok) return {};
  std::vector<std::string> out;
  try {
    for (const WeightsBlock& b : SplitWeightsBlocks(text))
      out.push_back(b.Whole() ? Format(text::BlockWhole, b.number, b.weights.size())
                              : Format(text::BlockDamaged, b.number));
  } catch (const std::bad_alloc&) {
    return {};
  }
  return out;
}

std::string WeightsStatusText(const WeightsSource& s) {
  std::string out;
  switch (s.kind) {
    case WeightsSource::Kind::Builtin: out = text::WeightsBuiltin; break;
    case WeightsSource::Kind::Table: out = text::WeightsTable; break;
    case WeightsSource::Kind::File: out = Format(text::WeightsFromFile, s.file.c_str(), s.block); break;
    case WeightsSource::Kind::Training: out = text::WeightsTrained; break;
    case WeightsSource::Kind::TrainingPaused: out = Format(text::WeightsPaused, s.generation); break;
    case WeightsSource::Kind::TrainingStopped: out = Format(text::WeightsStopped, s.generation); break;
  }
  if (s.fitness) out += Format(text::WeightsFitness, *s.fitness);
  return out;
}

}  // namespace korvane
