#pragma once

// The classroom additions' texts: W(Id, Chinese, English), as in window_list.h.
// Numbers come in already written (two decimals).
// clang-format off
#define KORVANE_CLASSROOM_TEXTS(W, C) \
  /* 运行控制, after the entries before them; the toolbar's speed. */ \
  W(MenuClassroom, "课堂布局", "Classroom layout") \
  W(MenuShowBreeding, "显示繁殖过程（单步时）", "Show breeding (single step)") \
  W(MenuSpace, "下一代 / 暂停 / 继续", "Next generation / pause / continue") \
  W(MenuFaster, "加快观看", "Watch faster") \
  W(MenuSlower, "放慢观看", "Watch slower") \
  W(MenuNextChild, "下一个孩子", "Next child") \
  W(MenuPreviousChild, "上一个孩子", "Previous child") \
  W(TipSpeed, "观看速度（演示速度的倍数）", "Watch speed (times the demonstration's)") \
  W(SpeedQuarter, "¼×", "¼×") \
  W(SpeedHalf, "½×", "½×") \
  W(SpeedOne, "1×", "1×") \
  W(SpeedTwo, "2×", "2×") \
  W(SpeedFour, "4×", "4×") \
  /* The state line: run names, then lines whose %1 is the run's name. */ \
  W(RunSearch, "遗传算法", "Genetic algorithm") \
  W(RunDemonstration, "演示遗传算法过程", "GA demonstration") \
  W(RunTraining, "训练网络", "Training") \
  W(RunHeuristic, "启发式遗传算法", "Heuristic GA") \
  W(RunReplay, "演示结果", "Replay") \
  W(RunNetworkFlight, "演示训练结果", "Network flight") \
  W(StateReady, "就绪", "Ready") \
  W(StateManual, "亲自驾驶：方向键加速", "Flying by hand: the arrow keys thrust") \
  W(StateRunning, "%1：第 %2 / %3 代", "%1: generation %2 of %3") \
  W(StatePausing, "%1：第 %2 / %3 代，这一代结束后暂停", "%1: generation %2 of %3, pausing after this one") \
  W(StatePaused, "%1：第 %2 / %3 代，已暂停（空格继续）", "%1: generation %2 of %3, paused (Space continues)") \
  W(StateStepped, "%1：第 %2 / %3 代已完成（空格：下一代）", "%1: generation %2 of %3 done (Space: the next)") \
  W(StateStopping, "%1：正在停止…", "%1: stopping…") \
  W(StateStopped, "%1：在第 %2 代停止（最优 %3）", "%1: stopped at generation %2 (best %3)") \
  W(StateEscaped, "%1：第 %2 代有计划逃出（得分 1801 = 越过右边界 1800）", \
    "%1: a plan escaped in generation %2 (score 1801 = past the right edge, 1800)") \
  W(StateNoEscape, "%1：%2 代后结束，没有逃出（最优 %3）", "%1: finished without escape after %2 generations (best %3)") \
  W(StateTrained, "%1：训练了 %2 代（最优 %3）", "%1: trained for %2 generations (best %3)") \
  W(StateTrainingStopped, "%1：在第 %2 代停止，这一代的最优权重已生效", \
    "%1: stopped at generation %2; its best weights are in force") \
  W(StateFailed, "%1：因错误结束（见提示框）", "%1: ended on an error (see the message)") \
  W(StateReplaying, "%1：%2", "%1: %2") \
  W(ReplayEscapedPlan, "重放%1第 %2 代逃出的计划", "replaying the %1 plan that escaped in generation %2") \
  W(ReplayBestPlan, "重放%1第 %2 代的最优计划", "replaying the best %1 plan of generation %2") \
  W(ReplayUsedUp, "%1：计划用完，演示结束", "%1: the plan ran out") \
  W(ReplayEscaped, "%1：逃出了陨石群", "%1: escaped") \
  W(ReplayCrashed, "%1：撞毁了", "%1: crashed") \
  W(ReplayStopped, "%1：已停止", "%1: stopped") \
  /* The classroom strip beside the field. */ \
  W(LegendDiversity, "多样性（右轴）", "diversity (right)") \
  W(EscapeMark, "第%1代逃出", "escape, gen. %1") \
  W(EscapeScore, "1801 = 越过右边界", "1801 = past the right edge") \
  /* The breeding panel below the field. */ \
  W(BreedTitle, "第%1代，按得分排序（最好的在上）", "Generation %1 by score (best on top)") \
  W(BreedShown, "共 %1 个，显示前 %2 名；金框：精英，原样进入下一代", \
    "%1 in all, the best %2 shown; gold: elites, copied as they are") \
  W(BreedChild, "孩子 %1 / %2（← → 选择）", "Child %1 of %2 (← → choose)") \
  W(BreedNoChild, "这一代没有孩子：全是精英", "No children: all are elites") \
  W(BreedParent, "唯一的父代：第 %1 名，得分 %2（没有交叉）", "Its one parent: rank %1, score %2 (no crossover)") \
  W(BreedRoulette, "轮盘：指针 %1 / 总分 %2，落在切片 %3–%4（占 %5%）", \
    "Roulette: pointer %1 of %2, in the slice %3–%4 (%5%)") \
  W(BreedParentRow, "父代", "parent") \
  W(BreedChildRow, "孩子", "child") \
  W(BreedInserted, "插入 %1 个新基因：", "%1 genes inserted: ") \
  W(BreedThrusts, "推力变异 %1 处：", "%1 thrust mutations: ") \
  W(BreedDurations, "时长变异 %1 处：", "%1 duration mutations: ") \
  W(BreedSmall, "小变异 %1 个：", "%1 small mutations: ") \
  W(BreedLarge, "大变异：w%1 %2 → %3", "large mutation: w%1 %2 → %3") \
  W(BreedNoLarge, "没有大变异", "no large mutation") \
  W(BreedMore, "…还有 %1 处", "… %1 more") \
  W(ItemInserted, "第%1位（%2，%3）", "#%1 (%2, %3)") \
  W(ItemThrust, "第%1位 %2→%3", "#%1 %2→%3") \
  W(ItemDuration, "第%1位 %2→%3", "#%1 %2→%3") \
  W(ItemWeight, "w%1 %2→%3", "w%1 %2→%3") \
  W(ItemSeparator, "；", "; ") \
  W(BreedDropped, "被挤出", "pushed out") \
  W(WeightScale, "权值：蓝 < 0 < 橙", "weights: blue < 0 < orange") \
  /* The network panel: its legend and what the pointer rests on. */ \
  W(NetLegendActivation, "神经元：蓝 < 0 < 橙", "neurons: blue < 0 < orange") \
  W(NetLegendWeights, "连线：绿 +，红 −，越粗越大", "links: green +, red −, thicker is larger") \
  W(NetLegendChosen, "黄圈：选择的推力", "yellow ring: the thrust chosen") \
  W(HoverInput, "输入 %1 = %2", "input %1 = %2") \
  W(HoverNeuron, "第 %1 层，神经元 %2：激活 %3", "layer %1, neuron %2: activation %3") \
  W(HoverOutput, "输出 %1：%2", "output %1: %2") \
  W(HoverChosen, "（被选择）", " (chosen)") \
  W(HoverWeight, "权值 w%1：第 %2 层神经元 %3 → 第 %4 层神经元 %5 = %6", \
    "weight w%1: layer %2 neuron %3 → layer %4 neuron %5 = %6") \
  /* The about box: what the classroom adds. */ \
  W(AboutClassroom, \
    "课堂用的附加功能（运行控制菜单）：课堂布局把得分和图表移到场景旁边（带刻度、图例、" \
    "逃出的世代和多样性曲线）；状态栏总说明正在做什么；空格键单步时看下一代，否则暂停/继续；" \
    "工具栏可调观看速度；单步时“显示繁殖过程”展示下一代如何产生：按得分排序的基因条、精英、" \
    "轮盘选出的唯一父代、插入和变异的基因（本程序的两个遗传算法都没有交叉）；神经网络面板在" \
    "观看训练时显示，指向神经元或连线可看数值。", \
    "Classroom additions (run-control menu): the classroom layout moves the scores and charts beside " \
    "the field (numbered axes, a key, the escape's generation, a diversity curve); the status bar " \
    "always says what is happening; Space shows the next generation under single step, else pauses " \
    "or continues; the toolbar sets the watch speed; under single step, \"show breeding\" shows how " \
    "the next generation is made: gene strips by score, the elites, the one parent the roulette " \
    "picks, the genes inserted and mutated (neither genetic algorithm here has crossover); the " \
    "network panel is shown while training is watched, and tells the values under the pointer.")
// clang-format on
