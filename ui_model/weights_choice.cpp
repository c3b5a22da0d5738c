#include "ui_model/weights_choice.h"

#include <filesystem>

#include "files/file_io.h"
#include "files/weights_blocks.h"
#include "files/weights_file.h"
#include "net/neural_net.h"
#include "texts/text_table.h"

namespace korvane {

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
      out.push_back(b.Whole() ? text::Ui<Tx::BlockWhole>(b.number, b.weights.size())
                              : text::Ui<Tx::BlockDamaged>(b.number));
  } catch (const std::bad_alloc&) {
    return {};
  }
  return out;
}

std::string WeightsStatusText(const WeightsSource& s) {
  std::string out;
  switch (s.kind) {
    case WeightsSource::Kind::Builtin: out = text::Ui(Tx::WeightsBuiltin); break;
    case WeightsSource::Kind::Table: out = text::Ui(Tx::WeightsTable); break;
    case WeightsSource::Kind::File: out = text::Ui<Tx::WeightsFromFile>(s.file, s.block); break;
    case WeightsSource::Kind::Training: out = text::Ui(Tx::WeightsTrained); break;
    case WeightsSource::Kind::TrainingPaused: out = text::Ui<Tx::WeightsPaused>(s.generation); break;
    case WeightsSource::Kind::TrainingStopped: out = text::Ui<Tx::WeightsStopped>(s.generation); break;
  }
  if (s.fitness) out += text::Ui<Tx::WeightsFitness>(text::Formatted("%lf", *s.fitness));
  return out;
}

}  // namespace korvane
