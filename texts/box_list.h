#pragma once

// What the window says in boxes: W(Id, Chinese, English), %1..%9 filled in by the caller.
// The runs' outcomes, refused commands, the level and weights files, the settings sheet.
// One text a line, as written.
// clang-format off
#define KORVANE_BOX_TEXTS(W, C) \
  /* What a run tells, in a box. */ \
  W(Success, "呵呵,小事一桩，我保证我们能脱险～～", "Ha, easy! I promise we'll get out of here~~") \
  W(PopulationNotOdd, "你的人口数目不是单数!!!", "Your population size is not odd!!!") \
  W(GiveUp, "呜~~ 我投降了!!!", "Boo~~ I give up!!!") \
  W(ReplayOver, "演示结束", "The show is over") \
  W(Escaped, \
    "终于成功地逃离了陨石群，你的选择是正确的!!!", \
    "We got out of the meteor field at last: you chose right!!!") \
  W(Stardust, \
    "救生仓与你化为了星尘，难道电脑也有不可靠的时候?!", \
    "You and the lifeboat turned to stardust. Can a computer fail too?!") \
  W(BadActionFormat, \
    "action%1 i%2 j%3 你的行动数不对!!!(%4)", \
    "action%1 i%2 j%3 your action number is wrong!!!(%4)") \
  W(BadActionReplay, "行动数不对!!!(onTimer2)", "The action number is wrong!!!(onTimer2)") \
  W(BadActionDemo, "行动数不对!!!(onTimer3)", "The action number is wrong!!!(onTimer3)") \
  W(FileOpenError, "打开文件出错!!!", "Error opening the file!!!") \
  W(FileWriteError, "写入文件出错!!!", "Error writing the file!!!") \
  W(RunGaFirst, "请先进行遗传算法!", "Run the genetic algorithm first!") \
  W(TrainingDone, "训练完成,得分为%1!", "Training finished, score %1!") \
  W(NetworkError, "error", "error") \
  W(NetworkMismatch, \
    "神经网络的输入数目与当前的感知星球数目不符，请先重新训练网络。", \
    "The network's inputs do not fit the number of perceived meteors: train the network again first.") \
  W(SearchStopped, \
    "搜索已停止，目前最好的飞行计划已保留，可以用“演示结果”观看。", \
    "The search stopped. Its best flight plan so far is kept: watch it with “Show the result”.") \
  W(TrainingStopped, \
    "训练已停止，第%1代的最优权重已经生效，没有写入weights.txt。", \
    "Training stopped. The best weights of generation %1 are in force; nothing was written to weights.txt.") \
  W(TrainingStoppedEarly, \
    "训练已停止，还没有完成一代，当前权重没有改变。", \
    "Training stopped before its first generation was complete; the weights in force are unchanged.") \
  /* Why a command is refused while the computer is busy. */ \
  W(BusyComputing, \
    "电脑正在进行另一项计算（或已暂停），请等它结束后再开始新的计算!", \
    "The computer is busy with another computation (or it is paused): start a new one when it has ended!") \
  W(BusyReplay, "正在演示飞行，请等演示结束后再开始!", "A flight is being shown: start when the show has ended!") \
  W(PauseFirst, \
    "电脑正在计算，请先暂停，等它停下来后再演示!", \
    "The computer is computing: pause it first, and show the result once it has stopped!") \
  W(ManualBusy, \
    "电脑正在控制救生艇，请等它结束后再亲自驾驶!", \
    "The computer is flying the lifeboat: fly it yourself when it has ended!") \
  W(EditBusy, \
    "电脑正在计算或演示飞行（或已暂停），请等它结束后再自定关卡!", \
    "The computer is computing or showing a flight (or is paused): draw a level when it has ended!") \
  W(FieldFull, \
    "陨石数目已达上限（20 颗），不能再添加了。", \
    "The field holds the most meteors it can (20); no more can be added.") \
  W(NoRunToRepeat, "还没有可以重跑的计算。", "There is no run to repeat yet.") \
  W(NothingToExport, "还没有可以导出的历史。", "There is no history to export yet.") \
  W(ReportPlotUnreadable, "这个文件不是可以显示的图片。", "This file is not a picture that can be shown.") \
  W(WeightsSaved, "权重已经保存!", "The weights are saved!") \
  /* The level file, ObstacleMap.txt. */ \
  W(TooManyMaps, \
    "在一个文本文件中最多可以保存5幅地图,请把同一目录下的ObstacleMap.txt文件删除或改名,以保存更多的地图!", \
    "A text file holds at most 5 maps: delete or rename ObstacleMap.txt in this folder to save more!") \
  W(MapSaved, "地图已经保存!", "The map is saved!") \
  W(MapCannotOpen, "无法打开文件%1，关卡没有改变。", "Cannot open %1; the level is unchanged.") \
  W(MapNotInFile, "文件%1中没有第%2幅地图，关卡没有改变。", "%1 holds no map %2; the level is unchanged.") \
  W(MapDamaged, \
    "文件%1中的第%2幅地图已损坏（%3%4），关卡没有改变。", \
    "Map %2 of %1 is damaged (%3%4); the level is unchanged.") \
  W(MapWriteFailed, \
    "写入文件%1出错，地图没有保存；文件中原有的地图没有受到影响。", \
    "Writing %1 failed: the map is not saved; the maps already in the file are unharmed.") \
  W(LineAt, "第%1行：", "line %1: ") \
  /* What is wrong with a damaged map (the command line says it too). */ \
  W(MapBadHeader, "地图的标题行应为“Obstacle”加编号", "the header line must be \"Obstacle\" and a number") \
  W(MapBadNumber, "不是整数", "a value is not a whole number") \
  W(MapNumberTooLong, "数字过长或超出范围", "a number is too long or out of range") \
  W(MapMissingComma, "数字后面缺少逗号", "a number is not followed by a comma") \
  W(MapBadLineEnd, \
    "一行只能有三个数，每个数后面跟一个逗号", \
    "a meteor line must hold exactly three numbers, each followed by a comma") \
  W(MapTooManyMeteors, "陨石超过20颗", "the map holds more than 20 meteors") \
  W(MapFileTooLarge, "文件太大，不是地图文件", "the file is too large for a map file") \
  W(MapOutOfField, \
    "坐标或半径超过1000000", \
    "a coordinate or radius is beyond 1000000 (no map the editor draws comes near)") \
  /* The weights file, weights.txt. */ \
  W(WeightsDamaged, "%1第%2组权值已损坏（%3%4）；%5。", "Block %2 of the weights%1 is damaged (%3%4); %5.") \
  W(WeightsInFileOf, "文件%1中的", " in %1") \
  W(WeightsInFile, "文件%1中", " in %1") \
  W(WeightsNoneIntact, "没有完好的一组", "no block is intact") \
  W(WeightsIntact, "第%1组完好", "intact blocks: %1") \
  W(ListSeparator, "、", ", ") \
  W(WeightsNoSuchBlock, "%1只有%2组权值，没有第%3组。", "There are %2 blocks of weights%1, and no block %3.") \
  W(WeightsNone, "%1没有权值（没有m_weight[0]这一行）。", "There are no weights%1 (no m_weight[0] line).") \
  W(WeightsCannotOpen, "无法打开文件%1。", "Cannot open %1.") \
  W(WeightsCannotRead, "无法读取文件%1。", "Cannot read %1.") \
  W(WeightsTooLarge, "文件%1太大，不是权值文件。", "%1 is too large for a weights file.") \
  W(WeightsOutOfMemory, "读取权值时内存不足。", "Out of memory while reading the weights.") \
  W(WeightsMismatch, \
    "第%1组有%2个权值，但神经网络需要%3个。", \
    "Block %1 holds %2 weights, but the network needs %3.") \
  /* What is wrong with a line of a damaged block (the command line says it too). */ \
  W(WeightsIndexOrder, "序号应为%1，却是%2", "expected index %1, found %2") \
  W(WeightsNotAWeightLine, \
    "应为“m_weight[序号] = 数值;”这样的一行", \
    "expected a line of the form \"m_weight[<index>] = <value>;\"") \
  W(WeightsMissingBracket, "序号后面缺少“]”", "missing ']' after the index") \
  W(WeightsBadIndex, "序号应为1到9位十进制数字", "the index must be 1 to 9 decimal digits") \
  W(WeightsMissingEquals, "序号后面缺少“=”", "missing '=' after the index") \
  W(WeightsMissingSemicolon, "行尾缺少“;”", "missing ';' at the end of the line") \
  W(WeightsMissingValue, "缺少数值", "missing value") \
  W(WeightsNotANumber, "数值不是数字", "the value is not a number") \
  W(WeightsOutOfRange, \
    "数值超出范围", \
    "the value is out of range (beyond about 1.8e308, or too close to 0 for a double)") \
  W(WeightsNotFinite, "数值不是有限的数", "the value is not a finite number") \
  W(WeightsCutOff, \
    "文件在这一行的中间结束，行尾没有回车换行", \
    "the file ends inside this line, before its line end") \
  W(WeightsNoBlockStart, "一组权值应从m_weight[0]开始", "a block must start at m_weight[0]") \
  /* The settings sheet: its title, pages and group boxes (the fields' labels are in settings_table.h). */ \
  W(SettingsSheetTitle, "参数设置", "Settings") \
  W(SettingsPage1, "物理环境，遗传算法相关参数", "Physics and genetic algorithm") \
  W(SettingsPage2, "神经网络相关参数设置", "Neural network") \
  W(SettingsPage3, "其他参数", "Other") \
  W(GroupPhysics, "物理环境相关参数：", "Physics:") \
  W(GroupGa, "遗传算法相关参数：", "Genetic algorithm:") \
  W(GroupWeights, "多目标进化权重设定:", "Weights of the scores:") \
  W(GroupNet, "神经网络相关设置：", "Neural network:") \
  W(GroupNetGa, "遗传算法训练网络相关参数：", "Training by genetic algorithm:") \
  W(GroupOverall, "总体参数：", "Overall:") \
  W(GroupInit, "初始化参数：", "Initialisation:") \
  W(GroupMutation, "基因变异相关参数：", "Mutation:") \
  W(GroupCrossover, "基因交换相关参数：", "Crossover:") \
  W(GroupStart, "救生艇初始位置:", "Lifeboat start:") \
  /* What the sheet says about a refused value; %1 is the field's label. */ \
  W(MsgTypeInteger, "请键入一个整数。", "Please type a whole number.") \
  W(MsgTypeNumber, "请键入一个数。", "Please type a number.") \
  W(RangeBetween, "“%1”的值必须在 %2 到 %3 之间。", "“%1” must be from %2 to %3.") \
  W(RangeBetweenBound, "“%1”的值必须在 %2 到 %3（%4）之间。", "“%1” must be from %2 to %3 (the %4).") \
  W(RangeAbove, "“%1”的值必须大于 %2 且不大于 %3。", "“%1” must be above %2 and at most %3.") \
  W(PopulationParity, "人口数目减去精英数目必须是偶数。", "The population minus the elites must be even.") \
  W(PopulationMemory, \
    "“%1”太大：这次运行需要 %2 GiB 内存，超过了 2 GiB 的上限。", \
    "“%1” is too large: this run needs %2 GiB of memory, over the limit of 2 GiB.")
// clang-format on
