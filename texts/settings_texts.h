#pragma once
#include <string>
#include <string_view>
#include <vector>

// The settings sheet's texts: its title, pages, groups and labels, and what
// it says about a refused value.
namespace korvane {

inline constexpr const char* SettingsSheetTitle = "参数设置";
inline constexpr int SettingsPageCount = 3;
extern const char* const SettingsPageTitles[SettingsPageCount];

inline constexpr const char* MsgTypeInteger = "请键入一个整数。";
inline constexpr const char* MsgTypeNumber = "请键入一个数。";

enum class FieldKind { Int, Double, Check, Perceived };

struct SettingsField {
  int page;           // 0..2
  const char* group;  // group box, empty for none
  const char* inner;  // group box inside group, empty for none
  const char* label;
  int controlId;
  const char* param;  // name in ParamTable, or "PerceivedMeteors"
  FieldKind kind;
};

// Every field in the order it appears on its page.
const std::vector<SettingsField>& SettingsFields();

// "“label”的值必须在 lo 到 hi 之间。"; the limits come formatted.
// hiIsPopulation names the population field as the upper limit.
std::string RangeBetweenText(const SettingsField& f, std::string_view lo, std::string_view hi, bool hiIsPopulation);
// "“label”的值必须大于 lo 且不大于 hi。"
std::string RangeAboveText(const SettingsField& f, std::string_view lo, std::string_view hi);
// Children are made in pairs.
std::string PopulationParityText();
// The run's genomes would need gib GiB, over the 2 GiB it may take.
std::string PopulationMemoryText(const SettingsField& f, double gib);

}  // namespace korvane
