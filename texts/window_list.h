#pragma once

// The window's texts (and the page's, which shows the same): W(Id, Chinese, English).
// The Chinese is the program's; %1..%9 stand for what the caller fills in.
// Menus, toolbar tips, the about box, dialogs, the status bar, panels and charts.
// One text a line, as written.
// clang-format off
#define KORVANE_WINDOW_TEXTS(W, C) \
  /* Window titles and buttons. */ \
  W(AppTitle, "Korvane", "Korvane") \
  W(MainTitle, \
    "基于GA－ANN－GA系统的启发式遗传算法用于模拟星际航行控制演示程序", \
    "A heuristic genetic algorithm on a GA-ANN-GA system, simulating interstellar flight control") \
  W(OkButton, "确定", "OK") \
  W(CancelButton, "取消", "Cancel") \
  W(Introduction, \
    "     主舰失事，你是乘着救生艇逃离灾难的唯一幸存者!\n" \
    "目前你的前方是险象环生的陨石群，由于救生艇设计简陋\n" \
    "只能用方向键控制前后左右加速，不过可喜的是里面也\n" \
    "配置着一台智能电脑，她能分析当前的陨石棑布，模拟\n" \
    "物理场景，分析可行控制...在这关键性的时刻，你会把\n" \
    "人类的命运交给人工智能还是自己把握呢?恩，请尽快作\n" \
    "出选择，时间无多!!!", \
    "The mother ship is wrecked, and you escaped in a lifeboat, its only survivor!\n" \
    "Ahead lies a deadly meteor field. The lifeboat is crude: the arrow keys\n" \
    "only thrust it forward, back, up or down. Luckily it carries a clever\n" \
    "computer that can read the meteors, simulate the physics and work out\n" \
    "a way through... At this crucial moment, will you trust humanity's fate\n" \
    "to artificial intelligence, or fly yourself? Choose quickly, there is\n" \
    "no time to lose!!!") \
  W(ManualStart, \
    "请按下Enter键开始游戏（提示：按住方向键不松开，加速效果更好.）祝你好运!!!", \
    "Press Enter to start (hint: hold an arrow key down to thrust harder). Good luck!!!") \
  W(ManualEscaped, \
    "你终于成功地逃离了陨石群，但下次就没那么走运了!!!", \
    "You got out of the meteor field at last, but next time you won't be so lucky!!!") \
  W(ManualCrashed, \
    "救生仓与你一同化为星尘，此刻你是否有点后悔了?", \
    "You and the lifeboat have turned to stardust. Any regrets now?") \
  /* The menu bar. */ \
  W(MenuManual, "不，我不相信人工智能! ", "No, I don't trust AI!") \
  W(MenuGA, "遗传算法", "Genetic algorithm") \
  W(MenuStartGA, "开始遗传算法", "Start the genetic algorithm") \
  W(MenuStepByStep, "演示遗传算法过程", "Show the genetic algorithm at work") \
  W(MenuShowResult, "演示结果", "Show the result") \
  W(MenuPauseGA, "暂停遗传算法", "Pause the genetic algorithm") \
  W(MenuContinueGA, "继续遗传算法", "Continue the genetic algorithm") \
  W(MenuNetwork, "人工神经网络 ", "Neural network") \
  W(MenuTrain, "训练网络", "Train the network") \
  W(MenuShowTraining, "演示训练结果", "Show the trained network") \
  W(MenuPauseTraining, "暂停训练", "Pause training") \
  W(MenuContinueTraining, "继续训练", "Continue training") \
  W(MenuLoadWeights, "载入权重文件…", "Load a weights file…") \
  W(MenuSaveWeights, "保存当前权重…", "Save the weights in force…") \
  W(MenuBuiltinWeights, "使用内置训练权重", "Use the built-in trained weights") \
  W(MenuTableWeights, "使用原始权重表", "Use the original weight table") \
  W(MenuHeuristic, "启发式遗传算法", "Heuristic genetic algorithm") \
  W(MenuStartHeuristic, "开始启发式遗传算法", "Start the heuristic genetic algorithm") \
  W(MenuPauseHeuristic, "暂停启发式遗传算法", "Pause the heuristic genetic algorithm") \
  W(MenuContinueHeuristic, "继续启发式遗传算法", "Continue the heuristic genetic algorithm") \
  W(MenuCustomLevel, "自定关卡", "Draw a level") \
  W(MenuSaveLevel, "储存自定的关卡", "Save the drawn level") \
  W(MenuLoadLevel, "读取关卡", "Load a level") \
  W(MenuLevel1, "默认关卡1", "Level 1") \
  W(MenuLevel2, "默认关卡2", "Level 2") \
  W(MenuLevel3, "默认关卡3", "Level 3") \
  W(MenuLevel4, "默认关卡4", "Level 4") \
  W(UserMapLabel, "自定关卡%1", "Drawn level %1") \
  W(MenuSettings, "参数设置", "Settings") \
  W(MenuHelp, "说明", "Help") \
  W(MenuAbout, "关于 Korvane(&A)...", "&About Korvane...") \
  /* The run-control menu, last on the bar. */ \
  W(MenuRunControl, "运行控制", "Runs") \
  W(MenuStop, "停止", "Stop") \
  W(MenuPaceFastest, "最快", "Fastest") \
  W(MenuPaceWatch, "观看", "Watch") \
  W(MenuPaceStep, "单步", "Step") \
  W(MenuRerun, "用同一种子重跑", "Run again with the same seed") \
  W(MenuSetSeed, "设定下一次的种子…", "Set the next seed…") \
  W(MenuShowPaths, "显示种群路径", "Show the population's paths") \
  W(MenuShowNetwork, "显示神经网络", "Show the neural network") \
  W(MenuExportChart, "导出图表为PNG…", "Export the chart as PNG…") \
  W(MenuExportHistory, "导出历史为CSV…", "Export the history as CSV…") \
  W(MenuOpenReportPlot, "打开实验报告图…", "Open a study report plot…") \
  W(MenuLanguage, "语言 / Language", "Language") \
  W(LanguageChinese, "中文", "Chinese") \
  W(LanguageEnglish, "English", "English") \
  W(LanguageNextStart, "界面语言将在下次启动时改变。", "The interface language changes at the next start.") \
  /* Toolbar tips. */ \
  W(TipManual, "亲自控制飞船", "Fly the ship yourself") \
  W(TipShowResult, "演示启发式遗传算法的结果", "Show the heuristic genetic algorithm's result") \
  W(TipShowTraining, "演示训练好的神经网络", "Show the trained neural network") \
  W(TipSettings, "参数设置", "Settings") \
  W(TipAbout, "软件说明", "About the program") \
  W(TipStartSearch, "开始遗传算法", "Start the genetic algorithm") \
  W(TipStartTraining, "训练网络", "Train the network") \
  W(TipStop, "停止", "Stop") \
  /* The about box. */ \
  W(AboutTitle, "关于 Korvane", "About Korvane") \
  W(AboutVersion, "Korvane 1.0 版", "Korvane version 1.0") \
  W(AboutBuild, "程序版本 %1，MIT 许可证", "Version %1, MIT licence") \
  W(AboutText, \
    "简要说明：\n" \
    "救生艇必须飞出陨石群：重力把它往下拉，它只能向上、下、左、右加速；碰到陨石或上、下、左边界就会毁灭，越过" \
    "右边界便是脱险。\n" \
    "\n" \
    "一、亲自驾驶：选“不，我不相信人工智能! ”（或按 Ctrl+A），按 Enter 后用方向键控制。\n" \
    "二、遗传算法：“开始遗传算法”一代代进化出一套飞行计划，“演示结果”重放找到的计划，“演示遗传算法过程”边进化" \
    "边演示每一代的最优计划。\n" \
    "三、人工神经网络：“训练网络”用遗传算法进化网络的权值，“演示训练结果”让网络驾驶，圆圈标出它感知到的陨石。" \
    "程序自带一组训练好的权值。\n" \
    "四、启发式遗传算法：搜索飞行计划时，撞毁的基因按网络的建议修复。\n" \
    "\n" \
    "计算进行中可随时暂停；暂停时可以先看看目前的最优结果。“读取关卡”选择关卡，“参数设置”修改各项参数。", \
    "In short:\n" \
    "The lifeboat must fly out of the meteor field: gravity pulls it down, and it can only thrust up, down, " \
    "left or right. Touching a meteor or the top, bottom or left edge destroys it; crossing the right edge " \
    "is the escape.\n" \
    "\n" \
    "1. Fly it yourself: choose “No, I don't trust AI!” (or press Ctrl+A), press Enter, then steer with the " \
    "arrow keys.\n" \
    "2. Genetic algorithm: “Start the genetic algorithm” evolves a flight plan generation by generation, " \
    "“Show the result” replays the plan found, and “Show the genetic algorithm at work” shows each " \
    "generation's best plan as it evolves.\n" \
    "3. Neural network: “Train the network” evolves the network's weights with a genetic algorithm, and " \
    "“Show the trained network” lets the network fly, circling the meteors it perceives. A trained set of " \
    "weights comes with the program.\n" \
    "4. Heuristic genetic algorithm: while a flight plan is searched, crashed genes are repaired as the " \
    "network suggests.\n" \
    "\n" \
    "A computation can be paused at any time; while it is paused you can look at the best result so far. " \
    "“Load a level” chooses the level and “Settings” changes the parameters.") \
  /* Dialogs. */ \
  W(WeightsFilter, "权重文件 (*.txt);;所有文件 (*)", "Weights files (*.txt);;All files (*)") \
  W(ChooseBlockTitle, "选择一组权值", "Choose a block of weights") \
  W(ChooseBlockLabel, "文件中有多组权值，请选择一组：", "The file holds several blocks of weights; choose one:") \
  W(BlockWhole, "第%1组（%2个权值）", "Block %1 (%2 weights)") \
  W(BlockDamaged, "第%1组（已损坏）", "Block %1 (damaged)") \
  W(SeedDialogLabel, "下一次计算的种子（0 到 4294967295）：", "Seed of the next run (0 to 4294967295):") \
  W(PngFilter, "PNG 图片 (*.png)", "PNG pictures (*.png)") \
  W(HistoryFilter, "CSV 文件 (*.csv)", "CSV files (*.csv)") \
  /* The status bar. */ \
  W(LastSeedStatus, "种子：%1", "Seed: %1") \
  W(NextSeedStatus, "下一次的种子：%1", "Next seed: %1") \
  W(EditorStatus, \
    "编辑模式：左键放置陨石并拖动定大小，右键删除，Ctrl+Z 撤销", \
    "Editor: left button places a meteor, drag to size it; right button removes; Ctrl+Z undoes") \
  W(SearchEndedAtNewLimit, \
    "最大进化世代已改为%1，搜索在第%2代结束，没有找到逃出的计划", \
    "Generations changed to %1: the search ended at generation %2 without an escape") \
  W(WeightsBuiltin, "当前权重：内置训练网络", "Weights: the built-in trained network") \
  W(WeightsTable, "当前权重：原始权重表", "Weights: the original weight table") \
  W(WeightsFromFile, "当前权重：文件 %1 第%2组", "Weights: file %1, block %2") \
  W(WeightsTrained, "当前权重：本次训练的结果", "Weights: this training's result") \
  W(WeightsPaused, \
    "当前权重：训练暂停时的最优网络（第%1代）", \
    "Weights: best network of paused training (generation %1)") \
  W(WeightsStopped, \
    "当前权重：训练停止时的最优网络（第%1代）", \
    "Weights: best network of stopped training (generation %1)") \
  W(WeightsFitness, "，训练得分 %1", ", training score %1") \
  /* The network panel: its inputs and outputs. */ \
  W(InputBottom, "距下边", "bottom") \
  W(InputTop, "距上边", "top") \
  W(InputVx, "速度x", "speed x") \
  W(InputVy, "速度y", "speed y") \
  W(InputMeteorDx, "陨石%1 x", "rock%1 x") \
  W(InputMeteorDy, "陨石%1 y", "rock%1 y") \
  W(OutputNone, "不动", "none") \
  W(OutputUp, "上", "↑") \
  W(OutputDown, "下", "↓") \
  W(OutputLeft, "左", "←") \
  W(OutputRight, "右", "→") \
  /* The score panels, each line followed by its number, and the charts' axes. */ \
  W(PanelGeneration, "基因的世代: ", "Generation: ") \
  W(PanelBest, "最优基因的得分: ", "Best score: ") \
  W(PanelAverage, "基因的平均得分: ", "Average score: ") \
  W(PanelEnergy, "耗能评分: ", "Energy score: ") \
  W(PanelSafety, "安全性评分: ", "Safety score: ") \
  W(PanelTime, "耗时评分: ", "Time score: ") \
  W(AxisGeneration, "世代", "gen.") \
  W(AxisBest, "最优", "best") \
  W(AxisAverage, "平均", "mean")
// clang-format on
