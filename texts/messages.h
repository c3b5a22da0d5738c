#pragma once

// The program's own texts, shown in message boxes.
namespace korvane::msg {

inline constexpr const char* Success = "呵呵,小事一桩，我保证我们能脱险～～";
inline constexpr const char* PopulationNotOdd = "你的人口数目不是单数!!!";
inline constexpr const char* GiveUp = "呜~~ 我投降了!!!";
inline constexpr const char* ReplayOver = "演示结束";
inline constexpr const char* Escaped = "终于成功地逃离了陨石群，你的选择是正确的!!!";
inline constexpr const char* Stardust = "救生仓与你化为了星尘，难道电脑也有不可靠的时候?!";
// A printf format: an invalid thrust code in a plan being flown, with the
// code, the plan's index, the gene's index and the operation's name.
inline constexpr const char* BadActionFormat = "action%d i%d j%d 你的行动数不对!!!(%s)";
inline constexpr const char* BadActionReplay = "行动数不对!!!(onTimer2)";
inline constexpr const char* BadActionDemo = "行动数不对!!!(onTimer3)";
inline constexpr const char* FileOpenError = "打开文件出错!!!";
inline constexpr const char* RunGaFirst = "请先进行遗传算法!";
// A printf format: training's last message, with the best fitness.
inline constexpr const char* TrainingDone = "训练完成,得分为%lf!";
inline constexpr const char* NetworkError = "error";
// Ours: what follows the network's "error" box when its input count no
// longer fits the settings.
inline constexpr const char* NetworkMismatch =
    "神经网络的输入数目与当前的感知星球数目不符，请先重新训练网络。";
// Ours: what a run stopped by the user leaves behind.
inline constexpr const char* SearchStopped = "搜索已停止，目前最好的飞行计划已保留，可以用“演示结果”观看。";
// A printf format, with the generation whose best weights are now in force.
inline constexpr const char* TrainingStopped = "训练已停止，第%d代的最优权重已经生效，没有写入weights.txt。";
inline constexpr const char* TrainingStoppedEarly = "训练已停止，还没有完成一代，当前权重没有改变。";
// Ours: a save that opened the file but could not write it.
inline constexpr const char* FileWriteError = "写入文件出错!!!";

}  // namespace korvane::msg
