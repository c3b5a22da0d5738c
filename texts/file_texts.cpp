#include "texts/file_texts.h"

namespace korvane::text {
namespace {

const std::string kUnchanged = "，关卡没有改变。";

std::string Str(std::string_view s) { return std::string(s); }

// Block numbers as runs: "1–2, 4" (sep ", ") or "1–2、4" (sep "、").
std::string Runs(const std::vector<int>& numbers, std::string_view sep) {
  std::string out;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (!out.empty()) out += sep;
    out += std::to_string(numbers[i]);
    if (j > i) out += "–" + std::to_string(numbers[j]);
    i = j + 1;
  }
  return out;
}

std::string Count(std::size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + Str(n == 1 ? one : many);
}

}  // namespace

std::string UserMapLabel(int number) { return "自定关卡" + std::to_string(number); }

std::string MapCannotOpen(std::string_view file) { return "无法打开文件" + Str(file) + kUnchanged; }

std::string MapNotInFile(std::string_view file, int k) {
  return "文件" + Str(file) + "中没有第" + std::to_string(k) + "幅地图" + kUnchanged;
}

std::string MapDamaged(std::string_view file, int k, int line, std::string_view defect) {
  const std::string where = line > 0 ? "第" + std::to_string(line) + "行：" : std::string();
  return "文件" + Str(file) + "中的第" + std::to_string(k) + "幅地图已损坏（" + where + Str(defect) + "）" + kUnchanged;
}

std::string MapWriteFailed(std::string_view file) {
  return "写入文件" + Str(file) + "出错，地图没有保存；文件中原有的地图没有受到影响。";
}

std::string MapCannotOpenEn() { return "the file cannot be opened"; }

std::string MapNotInFileEn(int k) { return "the file holds no map " + std::to_string(k); }

std::string MapDamagedEn(int k, int line, std::string_view defect) {
  const std::string where = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
  return "map " + std::to_string(k) + " is damaged (" + where + Str(defect) + ")";
}

std::string WeightsDamaged(std::string_view file, int block, int line, std::string_view defect,
                           const std::vector<int>& intact) {
  const std::string in = file.empty() ? std::string() : "文件" + Str(file) + "中的";
  const std::string where = line > 0 ? "第" + std::to_string(line) + "行：" : std::string();
  const std::string rest = intact.empty() ? "没有完好的一组" : "第" + Runs(intact, "、") + "组完好";
  return in + "第" + std::to_string(block) + "组权值已损坏（" + where + Str(defect) + "）；" + rest + "。";
}

std::string WeightsNoSuchBlock(std::string_view file, int block, int count) {
  const std::string in = file.empty() ? std::string() : "文件" + Str(file) + "中";
  return in + "只有" + std::to_string(count) + "组权值，没有第" + std::to_string(block) + "组。";
}

std::string WeightsNone(std::string_view file) {
  return (file.empty() ? std::string() : "文件" + Str(file) + "中") + "没有权值（没有m_weight[0]这一行）。";
}

std::string WeightsCannotOpen(std::string_view file) { return "无法打开文件" + Str(file) + "。"; }

std::string WeightsCannotRead(std::string_view file) { return "无法读取文件" + Str(file) + "。"; }

std::string WeightsTooLarge(std::string_view file) { return "文件" + Str(file) + "太大，不是权值文件。"; }

std::string WeightsOutOfMemory() { return "读取权值时内存不足。"; }

std::string WeightsMismatch(int block, std::size_t have, std::size_t need) {
  return "第" + std::to_string(block) + "组有" + std::to_string(have) + "个权值，但神经网络需要" +
         std::to_string(need) + "个。";
}

std::string WeightsIndexOrder(long long expected, long long found) {
  return "序号应为" + std::to_string(expected) + "，却是" + std::to_string(found);
}

std::string WeightsDamagedEn(std::string_view file, int block, int line, std::string_view defect,
                             const std::vector<int>& intact) {
  const std::string of = file.empty() ? std::string() : " of " + Str(file);
  const std::string where = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
  std::string rest = "no block is intact";
  if (intact.size() == 1)
    rest = "block " + std::to_string(intact[0]) + " is intact — pass --block " + std::to_string(intact[0]) +
           " to use it";
  else if (!intact.empty())
    rest = "blocks " + Runs(intact, ", ") + " are intact — pass --block " + std::to_string(intact.back()) +
           " to use one";
  return "block " + std::to_string(block) + of + " is damaged (" + where + Str(defect) + "); " + rest;
}

std::string WeightsNoSuchBlockEn(std::string_view file, int block, int count) {
  return (file.empty() ? std::string("the text") : Str(file)) + " holds " + Count(static_cast<std::size_t>(count), "block", "blocks") +
         "; there is no block " + std::to_string(block);
}

std::string WeightsNoneEn(std::string_view file) {
  return (file.empty() ? std::string("the text") : Str(file)) + " holds no weights (no m_weight[0] line)";
}

std::string WeightsCannotOpenEn(std::string_view file) { return "cannot open " + Str(file); }

std::string WeightsCannotReadEn(std::string_view file) { return "cannot read " + Str(file); }

std::string WeightsTooLargeEn(std::string_view file) { return Str(file) + " is too large for a weights file"; }

std::string WeightsOutOfMemoryEn() { return "out of memory while reading the weights"; }

std::string WeightsMismatchEn(int block, std::size_t have, std::size_t need) {
  return "block " + std::to_string(block) + " holds " + Count(have, "weight", "weights") +
         " but the network needs " + std::to_string(need);
}

std::string WeightsIndexOrderEn(long long expected, long long found) {
  return "expected index " + std::to_string(expected) + ", found " + std::to_string(found);
}

}  // namespace korvane::text
