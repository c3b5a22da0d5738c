#include "sim/settings_text.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace korvane {

const char* const SettingsPageTitles[SettingsPageCount] = {
    "物理环境，遗传算法相关参数", "神经网络相关参数设置", "其他参数"};

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first SettingsFieldMaxChars characters of UTF-8 text.
std::string_view FirstChars(std::string_view text) {
  int chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (chars == SettingsFieldMaxChars) return text.substr(0, i);
    ++chars;
  }
  return text;
}

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

bool OnlyBlanksFrom(std::string_view s, std::size_t i) { return SkipBlanks(s, i) == s.size(); }

constexpr double kUnbounded = 1e300;

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

}  // namespace

std::string FormatIntField(int v) {
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, end);
}

std::string FormatDoubleField(double v) {
  // to_chars with a precision prints as "%.*g" in the C locale would, so a
  // German locale does not turn 2.5 into 2,5.
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

std::optional<long long> ParseIntField(std::string_view text) {
  const std::string_view s = FirstChars(text);
  std::size_t i = SkipBlanks(s, 0);
  const char first = i < s.size() ? s[i] : '\0';
  bool negative = false;
  std::size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
  const std::size_t digits = j;
  long long value = 0;
  bool saturated = false;
  while (j < s.size() && IsDigit(s[j])) {
    const int d = s[j++] - '0';
    if (!saturated && value > (LLONG_MAX - d) / 10)
      saturated = true;
    else if (!saturated)
      value = value * 10 + d;
  }
  if (j == digits) j = i;  // no conversion: nothing taken
  if (saturated) value = LLONG_MAX;
  if (negative) value = -value;
  if (value == 0 && first != '0') return std::nullopt;
  if (!OnlyBlanksFrom(s, j)) return std::nullopt;
  return value;
}

std::optional<double> ParseDoubleField(std::string_view text) {
  const std::string_view s = FirstChars(text);
  std::size_t i = SkipBlanks(s, 0);
  const char first = i < s.size() ? s[i] : '\0';
  // Longest decimal number at i: sign, digits with an optional point, and an
  // exponent only when digits follow it.
  std::size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  std::size_t mantissaDigits = 0;
  while (j < s.size() && IsDigit(s[j])) ++j, ++mantissaDigits;
  if (j < s.size() && s[j] == '.') {
    ++j;
    while (j < s.size() && IsDigit(s[j])) ++j, ++mantissaDigits;
  }
  double value = 0.0;
  if (mantissaDigits == 0) {
    j = i;
  } else {
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
      std::size_t k = j + 1;
      if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
      if (k < s.size() && IsDigit(s[k])) {
        while (k < s.size() && IsDigit(s[k])) ++k;
        j = k;
      }
    }
    std::size_t from = i;
    if (s[from] == '+') ++from;  // from_chars takes no plus sign
    auto [ptr, ec] = std::from_chars(s.data() + from, s.data() + j, value, std::chars_format::general);
    if (ec != std::errc() || ptr != s.data() + j || !std::isfinite(value)) return std::nullopt;
  }
  if (value == 0.0 && first != '0') return std::nullopt;
  if (!OnlyBlanksFrom(s, j)) return std::nullopt;
  return value;
}

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

const SettingsField* FindSettingsField(int page, int controlId) {
  for (const SettingsField& f : SettingsFields())
    if (f.page == page && f.controlId == controlId) return &f;
  return nullptr;
}

const std::vector<int>& SettingsExchangeOrder(int page) {
  static const std::vector<int> orders[SettingsPageCount] = {
      {1001, 1000, 1002, 1003, 1004, 1005, 1006, 1013, 1012, 1014, 1015, 1016, 1017, 1018, 1019, 1022, 1021, 1020},
      {1000, 1001, 1002, 1003, 1005, 1006, 1014, 1013, 1012, 1015, 1017, 1018, 1019, 1016},
      {1000, 1003, 1001, 1002, 1004},
  };
  static const std::vector<int> none;
  return page >= 0 && page < SettingsPageCount ? orders[page] : none;
}

std::string SettingsFieldText(const SimParams& p, const SettingsField& f) {
  if (f.kind == FieldKind::Perceived) return FormatIntField(p.PerceivedMeteors());
  const ParamInfo* info = FindParam(f.param);
  if (!info) return {};
  return info->isInt ? FormatIntField(p.*info->intField) : FormatDoubleField(p.*info->doubleField);
}

bool SettingsFieldChecked(const SimParams& p, const SettingsField& f) {
  const ParamInfo* info = FindParam(f.param);
  return info && info->isInt && p.*info->intField != 0;
}

std::string SettingsRangeMessage(const SettingsField& f, const ParamProblem& problem) {
  const bool hasLo = problem.lo > -kUnbounded;
  const bool hasHi = problem.hi < kUnbounded;
  // The elite limits come from the population field of the same page.
  const bool byPopulation = problem.name == "EliteCount" || problem.name == "NetEliteCount";
  const std::string hi = hasHi ? FormatDoubleField(problem.hi) + (byPopulation ? "（人口数目）" : "") : "";
  const std::string lo = hasLo ? FormatDoubleField(problem.lo) : "";
  if (hasLo && hasHi) return Quoted(f) + "的值必须在 " + lo + " 到 " + hi + (byPopulation ? "" : " ") + "之间。";
  if (hasLo) return Quoted(f) + "的值不能小于 " + lo + "。";
  if (hasHi) return Quoted(f) + "的值不能大于 " + hi + "。";
  return Quoted(f) + "的值必须是一个有限的数。";
}

PageReadResult ReadSettingsPage(int page, const std::map<int, FieldInput>& inputs, SimParams& params) {
  auto refuse = [](const SettingsField& f, std::string message) {
    return PageReadResult{false, f.controlId, std::move(message)};
  };
  for (int id : SettingsExchangeOrder(page)) {
    const SettingsField* f = FindSettingsField(page, id);
    auto in = inputs.find(id);
    if (!f || in == inputs.end()) continue;
    SimParams candidate = params;
    if (f->kind == FieldKind::Check) {
      SetParam(candidate, *FindParam(f->param), in->second.checked ? 1 : 0);
    } else if (f->kind == FieldKind::Double) {
      std::optional<double> v = ParseDoubleField(in->second.text);
      if (!v) return refuse(*f, MsgTypeNumber);
      SetParam(candidate, *FindParam(f->param), *v);
    } else {
      std::optional<long long> v = ParseIntField(in->second.text);
      if (!v) return refuse(*f, MsgTypeInteger);
      if (f->kind == FieldKind::Perceived) {
        // Keep 2n + 4 within int; any n outside 0..10 is refused below.
        if (*v >= 0 && *v <= 1000)
          candidate.SetPerceivedMeteors(static_cast<int>(*v));
        else
          candidate.NetInputCount = -1;
      } else if (*v < INT_MIN || *v > INT_MAX) {
        const ParamInfo* info = FindParam(f->param);
        ParamProblem problem{info->name, info->lo, info->hi, {}};
        SetParam(candidate, *info, *v < 0 ? INT_MIN : INT_MAX);
        if (auto p = CheckParam(candidate, f->param)) problem = *p;
        return refuse(*f, SettingsRangeMessage(*f, problem));
      } else {
        SetParam(candidate, *FindParam(f->param), static_cast<double>(*v));
      }
    }
    if (auto problem = CheckParam(candidate, f->param)) return refuse(*f, SettingsRangeMessage(*f, *problem));
    params = candidate;
  }
  return {};
}

}  // namespace korvane
