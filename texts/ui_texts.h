#pragma once

// The desktop program's own texts (UTF-8). The runs' texts are in
// texts/messages.h, the files' in texts/file_texts.h and the settings sheet's
// in texts/settings_texts.h.
namespace korvane::text {

inline constexpr const char* AppTitle = "Korvane";
inline constexpr const char* MainTitle = "基于GA－ANN－GA系统的启发式遗传算法用于模拟星际航行控制演示程序";
inline constexpr const char* OkButton = "确定";
inline constexpr const char* CancelButton = "取消";

inline constexpr const char* Introduction =
    "     主舰失事，你是乘着救生艇逃离灾难的唯一幸存者!\n目前你的前方是险象环生的陨石群，由于救生艇设计简陋\n"
    "只能用方向键控制前后左右加速，不过可喜的是里面也\n配置着一台智能电脑，她能分析当前的陨石棑布，模拟\n"
    "物理场景，分析可行控制...在这关键性的时刻，你会把\n人类的命运交给人工智能还是自己把握呢?恩，请尽快作\n"
    "出选择，时间无多!!!";
inline constexpr const char* ManualStart =
    "请按下Enter键开始游戏（提示：按住方向键不松开，加速效果更好.）祝你好运!!!";
inline constexpr const char* ManualEscaped = "你终于成功地逃离了陨石群，但下次就没那么走运了!!!";
inline constexpr const char* ManualCrashed = "救生仓与你一同化为星尘，此刻你是否有点后悔了?";

// Menu bar.
inline constexpr const char* MenuManual = "不，我不相信人工智能! ";
inline constexpr const char* MenuGA = "遗传算法";
inline constexpr const char* MenuStartGA = "开始遗传算法";
inline constexpr const char* MenuStepByStep = "演示遗传算法过程";
inline constexpr const char* MenuShowResult = "演示结果";
inline constexpr const char* MenuPauseGA = "暂停遗传算法";
inline constexpr const char* MenuContinueGA = "继续遗传算法";
inline constexpr const char* MenuNetwork = "人工神经网络 ";
inline constexpr const char* MenuTrain = "训练网络";
inline constexpr const char* MenuShowTraining = "演示训练结果";
inline constexpr const char* MenuPauseTraining = "暂停训练";
// Ours, after the network menu's three entries: the weights a user can keep.
inline constexpr const char* MenuLoadWeights = "载入权重文件…";
inline constexpr const char* MenuSaveWeights = "保存当前权重…";
inline constexpr const char* MenuBuiltinWeights = "使用内置训练权重";
inline constexpr const char* MenuTableWeights = "使用原始权重表";
inline constexpr const char* WeightsFilter = "权重文件 (*.txt);;所有文件 (*)";
inline constexpr const char* ChooseBlockTitle = "选择一组权值";
inline constexpr const char* ChooseBlockLabel = "文件中有多组权值，请选择一组：";
inline constexpr const char* WeightsSaved = "权重已经保存!";
inline constexpr const char* MenuContinueTraining = "继续训练";
inline constexpr const char* MenuHeuristic = "启发式遗传算法";
inline constexpr const char* MenuStartHeuristic = "开始启发式遗传算法";
inline constexpr const char* MenuPauseHeuristic = "暂停启发式遗传算法";
inline constexpr const char* MenuContinueHeuristic = "继续启发式遗传算法";
inline constexpr const char* MenuCustomLevel = "自定关卡";
inline constexpr const char* MenuSaveLevel = "储存自定的关卡";
inline constexpr const char* MenuLoadLevel = "读取关卡";
inline constexpr const char* MenuLevel[4] = {"默认关卡1", "默认关卡2", "默认关卡3", "默认关卡4"};
inline constexpr const char* MenuSettings = "参数设置";
inline constexpr const char* MenuHelp = "说明";
inline constexpr const char* MenuAbout = "关于 Korvane(&A)...";

// Toolbar tooltips.
inline constexpr const char* TipManual = "亲自控制飞船";
inline constexpr const char* TipShowResult = "演示启发式遗传算法的结果";
inline constexpr const char* TipShowTraining = "演示训练好的神经网络";
inline constexpr const char* TipSettings = "参数设置";
inline constexpr const char* TipAbout = "软件说明";

// About box.
inline constexpr const char* AboutTitle = "关于 Korvane";
inline constexpr const char* AboutVersion = "Korvane 1.0 版";
inline constexpr const char* AboutText =
    "简要说明：\n"
    "救生艇必须飞出陨石群：重力把它往下拉，它只能向上、下、左、右加速；"
    "碰到陨石或上、下、左边界就会毁灭，越过右边界便是脱险。\n\n"
    "一、亲自驾驶：选“不，我不相信人工智能! ”（或按 Ctrl+A），按 Enter 后用方向键控制。\n"
    "二、遗传算法：“开始遗传算法”一代代进化出一套飞行计划，“演示结果”重放找到的计划，"
    "“演示遗传算法过程”边进化边演示每一代的最优计划。\n"
    "三、人工神经网络：“训练网络”用遗传算法进化网络的权值，“演示训练结果”让网络驾驶，"
    "圆圈标出它感知到的陨石。程序自带一组训练好的权值。\n"
    "四、启发式遗传算法：搜索飞行计划时，撞毁的基因按网络的建议修复。\n\n"
    "计算进行中可随时暂停；暂停时可以先看看目前的最优结果。"
    "“读取关卡”选择关卡，“参数设置”修改各项参数。";

// Ours: why a command is refused while the computer is busy.
inline constexpr const char* BusyComputing =
    "电脑正在进行另一项计算（或已暂停），请等它结束后再开始新的计算!";
inline constexpr const char* BusyReplay = "正在演示飞行，请等演示结束后再开始!";
inline constexpr const char* PauseFirst = "电脑正在计算，请先暂停，等它停下来后再演示!";
inline constexpr const char* ManualBusy = "电脑正在控制救生艇，请等它结束后再亲自驾驶!";
inline constexpr const char* EditBusy = "电脑正在计算或演示飞行（或已暂停），请等它结束后再自定关卡!";
// Ours: a press in the editor when the field is full.
inline constexpr const char* FieldFull = "陨石数目已达上限（20 颗），不能再添加了。";

// Ours: the run-control menu, after the specified ones, and its toolbar tips.
inline constexpr const char* MenuRunControl = "运行控制";
inline constexpr const char* MenuStop = "停止";
inline constexpr const char* MenuPaceFastest = "最快";
inline constexpr const char* MenuPaceWatch = "观看";
inline constexpr const char* MenuPaceStep = "单步";
inline constexpr const char* MenuRerun = "用同一种子重跑";
inline constexpr const char* MenuSetSeed = "设定下一次的种子…";
inline constexpr const char* MenuExportChart = "导出图表为PNG…";
inline constexpr const char* MenuExportHistory = "导出历史为CSV…";
inline constexpr const char* MenuOpenReportPlot = "打开实验报告图…";
inline constexpr const char* ReportPlotFilter = "PNG 图片 (*.png)";
inline constexpr const char* ReportPlotUnreadable = "这个文件不是可以显示的图片。";
inline constexpr const char* TipStartSearch = "开始遗传算法";
inline constexpr const char* TipStartTraining = "训练网络";
inline constexpr const char* TipStop = "停止";
inline constexpr const char* SeedDialogLabel = "下一次计算的种子（0 到 4294967295）：";
inline constexpr const char* NoRunToRepeat = "还没有可以重跑的计算。";
inline constexpr const char* NothingToExport = "还没有可以导出的历史。";
inline constexpr const char* ChartFilter = "PNG 图片 (*.png)";
inline constexpr const char* HistoryFilter = "CSV 文件 (*.csv)";
inline constexpr const char* ExportFailed = "写入文件出错!!!";
// printf formats with the seed.
inline constexpr const char* LastSeedStatus = "种子：%u";
inline constexpr const char* NextSeedStatus = "下一次的种子：%u";
// Ours: switches in the run-control menu, and the network panel's labels.
inline constexpr const char* MenuShowPaths = "显示种群路径";
inline constexpr const char* MenuShowNetwork = "显示神经网络";
inline constexpr const char* InputBottom = "距下边";
inline constexpr const char* InputTop = "距上边";
inline constexpr const char* InputVx = "速度x";
inline constexpr const char* InputVy = "速度y";
// printf formats with the perceived meteor's number.
inline constexpr const char* InputMeteorDx = "陨石%d x";
inline constexpr const char* InputMeteorDy = "陨石%d y";
inline constexpr const char* OutputNames[5] = {"不动", "上", "下", "左", "右"};
// Ours: the editor says it is on.
inline constexpr const char* EditorStatus = "编辑模式：左键放置陨石并拖动定大小，右键删除，Ctrl+Z 撤销";
// Ours, a printf format: a search whose generation limit was changed while it
// ran ended at that limit, with no box; the new limit and the generation the
// score panel showed last.
inline constexpr const char* SearchEndedAtNewLimit = "最大进化世代已改为%d，搜索在第%d代结束，没有找到逃出的计划";

// The status bar: which weights are in force. Each ends with what is known
// of the source; fitness follows where known (WeightsFitness, "%lf").
inline constexpr const char* WeightsBuiltin = "当前权重：内置训练网络";
inline constexpr const char* WeightsTable = "当前权重：原始权重表";
inline constexpr const char* WeightsFromFile = "当前权重：文件 %s 第%d组";
inline constexpr const char* WeightsTrained = "当前权重：本次训练的结果";
inline constexpr const char* WeightsPaused = "当前权重：训练暂停时的最优网络（第%d代）";
inline constexpr const char* WeightsStopped = "当前权重：训练停止时的最优网络（第%d代）";
inline constexpr const char* WeightsFitness = "，训练得分 %lf";
// One block of a weights file in the chooser: its number and weight count,
// or that it is damaged.
inline constexpr const char* BlockWhole = "第%d组（%zu个权值）";
inline constexpr const char* BlockDamaged = "第%d组（已损坏）";

// The score panels' lines, each followed by its number.
inline constexpr const char* PanelGeneration = "基因的世代: ";
inline constexpr const char* PanelBest = "最优基因的得分: ";
inline constexpr const char* PanelAverage = "基因的平均得分: ";
inline constexpr const char* PanelEnergy = "耗能评分: ";
inline constexpr const char* PanelSafety = "安全性评分: ";
inline constexpr const char* PanelTime = "耗时评分: ";
// Ours: the charts' axes.
inline constexpr const char* AxisGeneration = "世代";
inline constexpr const char* AxisBest = "最优";
inline constexpr const char* AxisAverage = "平均";

}  // namespace korvane::text
