#pragma once
#include <string>
#include <string_view>
#include <vector>

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
    {"坐标或半径超过1000000", "a coordinate or radius is beyond 1000000 (no map the editor draws comes near)"},
};

// Why weights.txt, or one block of it, cannot be used. file may be empty for
// a text that comes from no file. intact: the numbers of the whole blocks.
std::string WeightsDamaged(std::string_view file, int block, int line, std::string_view defect,
                           const std::vector<int>& intact);
std::string WeightsNoSuchBlock(std::string_view file, int block, int count);
std::string WeightsNone(std::string_view file);
std::string WeightsCannotOpen(std::string_view file);
std::string WeightsCannotRead(std::string_view file);
std::string WeightsTooLarge(std::string_view file);
std::string WeightsOutOfMemory();
// A whole block whose weight count does not fit the network.
std::string WeightsMismatch(int block, std::size_t have, std::size_t need);
std::string WeightsIndexOrder(long long expected, long long found);

// The same for the command line.
std::string WeightsDamagedEn(std::string_view file, int block, int line, std::string_view defect,
                             const std::vector<int>& intact);
std::string WeightsNoSuchBlockEn(std::string_view file, int block, int count);
std::string WeightsNoneEn(std::string_view file);
std::string WeightsCannotOpenEn(std::string_view file);
std::string WeightsCannotReadEn(std::string_view file);
std::string WeightsTooLargeEn(std::string_view file);
std::string WeightsOutOfMemoryEn();
std::string WeightsMismatchEn(int block, std::size_t have, std::size_t need);
std::string WeightsIndexOrderEn(long long expected, long long found);

// What is wrong with a line of a damaged block, by defect (see
// files/weights_blocks.h; the order of the indices has its own text above).
inline constexpr DefectText WeightsDefectTexts[] = {
    {"", ""},
    {"应为“m_weight[序号] = 数值;”这样的一行", "expected a line of the form \"m_weight[<index>] = <value>;\""},
    {"序号后面缺少“]”", "missing ']' after the index"},
    {"序号应为1到9位十进制数字", "the index must be 1 to 9 decimal digits"},
    {"序号后面缺少“=”", "missing '=' after the index"},
    {"行尾缺少“;”", "missing ';' at the end of the line"},
    {"缺少数值", "missing value"},
    {"数值不是数字", "the value is not a number"},
    {"数值超出范围", "the value is out of range (beyond about 1.8e308, or too close to 0 for a double)"},
    {"数值不是有限的数", "the value is not a finite number"},
    {"文件在这一行的中间结束，行尾没有回车换行", "the file ends inside this line, before its line end"},
    {"一组权值应从m_weight[0]开始", "a block must start at m_weight[0]"},
};

}  // namespace korvane::text
