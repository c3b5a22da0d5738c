#include "texts/file_texts.h"

namespace korvane::text {
namespace {

const std::string kUnchanged = "，关卡没有改变。";

std::string Str(std::string_view s) { return std::string(s); }

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

}  // namespace korvane::text
