#pragma once
#include <string>
#include <string_view>

// What the program tells about its two files, "ObstacleMap.txt" and
// "weights.txt": Chinese for the desktop program, English for the CLI.
namespace korvane::text {

inline constexpr const char* TooManyMaps =
    "在一个文本文件中最多可以保存5幅地图,请把同一目录下的ObstacleMap.txt文件删除或改名,以保存更多的地图!";
inline constexpr const char* MapOpenError = "打开文件出错!!!";
inline constexpr const char* MapSaved = "地图已经保存!";

// The load-level menu's entry for saved map n: "自定关卡n".
std::string UserMapLabel(int number);

// Why map k could not be loaded; the field is then unchanged.
std::string MapCannotOpen(std::string_view file);
std::string MapNotInFile(std::string_view file, int k);
// line 0: no line to name.
std::string MapDamaged(std::string_view file, int k, int line, std::string_view defect);
// A save that opened the file but could not write all of it.
std::string MapWriteFailed(std::string_view file);

// The same for the command line.
std::string MapCannotOpenEn();
std::string MapNotInFileEn(int k);
std::string MapDamagedEn(int k, int line, std::string_view defect);

// What is wrong with a damaged map, by defect (see files/obstacle_map_file.h),
// in Chinese and in English.
struct DefectText {
  const char* zh;
  const char* en;
};
inline constexpr DefectText MapDefectTexts[] = {
    {"", ""},
    {"地图的标题行应为“Obstacle”加编号", "the header line must be \"Obstacle\" and a number"},
    {"不是整数", "a value is not a whole number"},
    {"数字过长或超出范围", "a number is too long or out of range"},
    {"数字后面缺少逗号", "a number is not followed by a comma"},
    {"一行只能有三个数，每个数后面跟一个逗号",
     "a meteor line must hold exactly three numbers, each followed by a comma"},
    {"陨石超过20颗", "the map holds more than 20 meteors"},
    {"文件太大，不是地图文件", "the file is too large for a map file"},
};

}  // namespace korvane::text
