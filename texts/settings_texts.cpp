#include "texts/settings_texts.h"

#include <cstdio>

namespace korvane {

const char* const SettingsPageTitles[SettingsPageCount] = {
    "物理环境，遗传算法相关参数", "神经网络相关参数设置", "其他参数"};

namespace {

std::string LabelName(const SettingsField& f) {
  std::string name = f.label;
  for (std::string_view colon : {"：", ":"})
    if (name.size() >= colon.size() && name.compare(name.size() - colon.size(), colon.size(), colon) == 0) {
      name.erase(name.size() - colon.size());
      break;
    }
  return name;
}

std::string Quoted(const SettingsField& f) { return "“" + LabelName(f) + "”"; }

std::string Limit(std::string_view v, bool isPopulation) {
  return std::string(v) + (isPopulation ? "（人口数目）" : "");
}

}  // namespace

const std::vector<SettingsField>& SettingsFields() {
  static const char* const kPhysics = "物理环境相关参数：";
  static const char* const kGa = "遗传算法相关参数：";
  static const char* const kNet = "神经网络相关设置：";
  static const char* const kNetGa = "遗传算法训练网络相关参数：";
  static const char* const kOverall = "总体参数：";
  static const char* const kInit = "初始化参数：";
  static const char* const kMutation = "基因变异相关参数：";
  using K = FieldKind;
  static const std::vector<SettingsField> fields = {
      {0, kPhysics, "", "救生艇大小：", 1003, "LifeboatSize", K::Double},
      {0, kPhysics, "", "时间流逝：", 1002, "TimeStep", K::Double},
      {0, kPhysics, "", "地心引力：", 1000, "Gravity", K::Double},
      {0, kPhysics, "", "速度缩放比：", 1004, "SpeedScale", K::Double},
      {0, kPhysics, "", "救生艇加速度：", 1001, "LifeboatAccel", K::Double},
      {0, kGa, kOverall, "最大进化世代：", 1006, "MaxGenerations", K::Int},
      {0, kGa, kOverall, "人口数目：", 1005, "PopulationSize", K::Int},
      {0, kGa, kOverall, "精英数目：", 1014, "EliteCount", K::Int},
      {0, kGa, kInit, "染色体长度：", 1013, "ChromosomeLength", K::Int},
      {0, kGa, kInit, "动作时间长度范围：", 1012, "ActionDurationRange", K::Int},
      {0, kGa, kMutation, "行动时间变异概率：", 1015, "DurationMutationRate", K::Double},
      {0, kGa, kMutation, "行动时间变异范围：", 1016, "DurationMutationRange", K::Int},
      {0, kGa, kMutation, "行动随机变异概率：", 1017, "ActionMutationRate", K::Double},
      {0, kGa, kMutation, "行动随机插入概率：", 1018, "InsertionRate", K::Double},
      {0, kGa, kMutation, "行动随机插入时间：", 1019, "InsertionDuration", K::Int},
      {0, "多目标进化权重设定:", "", "时间重要性:", 1020, "TimeWeight", K::Double},
      {0, "多目标进化权重设定:", "", "安全重要性:", 1021, "SafetyWeight", K::Double},
      {0, "多目标进化权重设定:", "", "节能重要性:", 1022, "EnergyWeight", K::Double},

      {1, kNet, "", "隐藏层数目：", 1000, "HiddenLayerCount", K::Int},
      {1, kNet, "", "隐藏层神经元个数：", 1001, "NeuronsPerHiddenLayer", K::Int},
      {1, kNet, "", "S型激发函数参变量：", 1002, "SigmoidParam", K::Double},
      {1, kNet, "", "归一化参变量：", 1003, "NormalizeParam", K::Double},
      {1, kNetGa, kOverall, "训练次数：", 1005, "TrainingGenerations", K::Int},
      {1, kNetGa, kOverall, "人口数目：", 1006, "NetPopulationSize", K::Int},
      {1, kNetGa, kOverall, "精英数目：", 1014, "NetEliteCount", K::Int},
      {1, kNetGa, kInit, "感知星球数目：", 1013, "PerceivedMeteors", K::Perceived},
      {1, kNetGa, kInit, "初始权值范围：", 1012, "InitWeightRange", K::Double},
      {1, kNetGa, kMutation, "小变异概率：", 1015, "SmallMutationRate", K::Double},
      {1, kNetGa, kMutation, "小变异范围：", 1016, "SmallMutationRange", K::Double},
      {1, kNetGa, kMutation, "大变异概率：", 1017, "LargeMutationRate", K::Double},
      {1, kNetGa, kMutation, "大变异范围：", 1018, "LargeMutationRange", K::Double},
      {1, kNetGa, "基因交换相关参数：", "发生基因交换概率：", 1019, "NetCrossoverRate", K::Double},

      {2, "救生艇初始位置:", "", "横坐标:", 1000, "StartX", K::Int},
      {2, "救生艇初始位置:", "", "纵坐标:", 1003, "StartY", K::Int},
      {2, "", "", "不显示加速方向标识", 1001, "HideThrustMarker", K::Check},
      {2, "", "", "不显示神经网络\"看到\"到的星球", 1002, "HidePerceived", K::Check},
      {2, "", "", "不显示基因得分的统计图表", 1004, "HideScoreChart", K::Check},
  };
  return fields;
}

std::string RangeBetweenText(const SettingsField& f, std::string_view lo, std::string_view hi, bool hiIsPopulation) {
  return Quoted(f) + "的值必须在 " + std::string(lo) + " 到 " + Limit(hi, hiIsPopulation) + (hiIsPopulation ? "" : " ") +
         "之间。";
}

std::string RangeAboveText(const SettingsField& f, std::string_view lo, std::string_view hi) {
  return Quoted(f) + "的值必须大于 " + std::string(lo) + " 且不大于 " + std::string(hi) + "。";
}

std::string PopulationParityText() { return "人口数目减去精英数目必须是偶数。"; }

std::string PopulationMemoryText(const SettingsField& f, double gib) {
  char amount[32];
  std::snprintf(amount, sizeof amount, "%.1f", gib);
  return Quoted(f) + "太大：这次运行需要 " + amount + " GiB 内存，超过了 2 GiB 的上限。";
}

}  // namespace korvane
