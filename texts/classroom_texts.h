#pragma once

// The classroom additions' texts (UTF-8): each in Chinese, the window's
// language, with its English beside it. printf formats take the same
// placeholders, in the same order, in both.
namespace korvane::text {

struct Bilingual {
  const char* zh;
  const char* en;
};

// The language the window speaks.
inline const char* Say(const Bilingual& t) { return t.zh; }

// 运行控制, after the entries before them; the toolbar's speed.
inline constexpr Bilingual MenuClassroom{"课堂布局", "Classroom layout"};
inline constexpr Bilingual MenuShowBreeding{"显示繁殖过程（单步时）", "Show breeding (single step)"};
inline constexpr Bilingual MenuSpace{"下一代 / 暂停 / 继续", "Next generation / pause / continue"};
inline constexpr Bilingual MenuFaster{"加快观看", "Watch faster"};
inline constexpr Bilingual MenuSlower{"放慢观看", "Watch slower"};
inline constexpr Bilingual MenuNextChild{"下一个孩子", "Next child"};
inline constexpr Bilingual MenuPreviousChild{"上一个孩子", "Previous child"};
inline constexpr Bilingual TipSpeed{"观看速度（演示速度的倍数）", "Watch speed (times the demonstration's)"};
inline constexpr const char* SpeedNames[5] = {"¼×", "½×", "1×", "2×", "4×"};

// The state line. Run names, then formats whose first %s is the run's name.
inline constexpr Bilingual RunNames[6] = {{"遗传算法", "Genetic algorithm"},
                                          {"演示遗传算法过程", "GA demonstration"},
                                          {"训练网络", "Training"},
                                          {"启发式遗传算法", "Heuristic GA"},
                                          {"演示结果", "Replay"},
                                          {"演示训练结果", "Network flight"}};
inline constexpr Bilingual StateReady{"就绪", "Ready"};
inline constexpr Bilingual StateManual{"亲自驾驶：方向键加速", "Flying by hand: the arrow keys thrust"};
inline constexpr Bilingual StateRunning{"%s：第 %d / %d 代", "%s: generation %d of %d"};
inline constexpr Bilingual StatePausing{"%s：第 %d / %d 代，这一代结束后暂停",
                                        "%s: generation %d of %d, pausing after this one"};
inline constexpr Bilingual StatePaused{"%s：第 %d / %d 代，已暂停（空格继续）",
                                       "%s: generation %d of %d, paused (Space continues)"};
inline constexpr Bilingual StateStepped{"%s：第 %d / %d 代已完成（空格：下一代）",
                                        "%s: generation %d of %d done (Space: the next)"};
inline constexpr Bilingual StateStopping{"%s：正在停止…", "%s: stopping…"};
inline constexpr Bilingual StateStopped{"%s：在第 %d 代停止（最优 %.2f）", "%s: stopped at generation %d (best %.2f)"};
inline constexpr Bilingual StateEscaped{"%s：第 %d 代有计划逃出（得分 1801 = 越过右边界 1800）",
                                        "%s: a plan escaped in generation %d (score 1801 = past the right edge, 1800)"};
inline constexpr Bilingual StateNoEscape{"%s：%d 代后结束，没有逃出（最优 %.2f）",
                                         "%s: finished without escape after %d generations (best %.2f)"};
inline constexpr Bilingual StateTrained{"%s：训练了 %d 代（最优 %.2f）", "%s: trained for %d generations (best %.2f)"};
inline constexpr Bilingual StateTrainingStopped{"%s：在第 %d 代停止，这一代的最优权重已生效",
                                                "%s: stopped at generation %d; its best weights are in force"};
inline constexpr Bilingual StateFailed{"%s：因错误结束（见提示框）", "%s: ended on an error (see the message)"};
// Replays: the second %s says what is replayed.
inline constexpr Bilingual StateReplaying{"%s：%s", "%s: %s"};
inline constexpr Bilingual ReplayEscapedPlan{"重放%s第 %d 代逃出的计划", "replaying the %s plan that escaped in generation %d"};
inline constexpr Bilingual ReplayBestPlan{"重放%s第 %d 代的最优计划", "replaying the best %s plan of generation %d"};
inline constexpr Bilingual ReplayUsedUp{"%s：计划用完，演示结束", "%s: the plan ran out"};
inline constexpr Bilingual ReplayEscaped{"%s：逃出了陨石群", "%s: escaped"};
inline constexpr Bilingual ReplayCrashed{"%s：撞毁了", "%s: crashed"};
inline constexpr Bilingual ReplayStopped{"%s：已停止", "%s: stopped"};

// The classroom strip beside the field.
inline constexpr Bilingual LegendDiversity{"多样性（右轴）", "diversity (right axis)"};
inline constexpr Bilingual EscapeMark{"第%d代逃出", "escape, gen. %d"};
inline constexpr Bilingual EscapeScore{"1801 = 越过右边界", "1801 = past the right edge"};

// The breeding panel below the field.
inline constexpr Bilingual BreedTitle{"第%d代，按得分排序（最好的在上）", "Generation %d by score (best on top)"};
inline constexpr Bilingual BreedShown{"共 %d 个，显示前 %d 名；金框：精英，原样进入下一代",
                                      "%d in all, the best %d shown; gold: elites, copied as they are"};
inline constexpr Bilingual BreedChild{"孩子 %d / %d（← → 选择）", "Child %d of %d (← → choose)"};
inline constexpr Bilingual BreedNoChild{"这一代没有孩子：全是精英", "No children: all are elites"};
inline constexpr Bilingual BreedParent{"唯一的父代：第 %d 名，得分 %.2f（没有交叉）",
                                       "Its one parent: rank %d, score %.2f (no crossover)"};
inline constexpr Bilingual BreedRoulette{"轮盘：指针 %.2f / 总分 %.2f，落在切片 %.2f–%.2f（占 %.2f%%）",
                                         "Roulette: pointer %.2f of %.2f, in the slice %.2f–%.2f (%.2f%%)"};
inline constexpr Bilingual BreedParentRow{"父代", "parent"};
inline constexpr Bilingual BreedChildRow{"孩子", "child"};
inline constexpr Bilingual BreedInserted{"插入 %d 个新基因：", "%d genes inserted: "};
inline constexpr Bilingual BreedThrusts{"推力变异 %d 处：", "%d thrust mutations: "};
inline constexpr Bilingual BreedDurations{"时长变异 %d 处：", "%d duration mutations: "};
inline constexpr Bilingual BreedSmall{"小变异 %d 个：", "%d small mutations: "};
inline constexpr Bilingual BreedLarge{"大变异：w%d %.2f → %.2f", "large mutation: w%d %.2f → %.2f"};
inline constexpr Bilingual BreedNoLarge{"没有大变异", "no large mutation"};
inline constexpr Bilingual BreedMore{"…还有 %d 处", "… %d more"};
inline constexpr Bilingual BreedRank{"第%d名", "rank %d"};
inline constexpr Bilingual ItemInserted{"第%d位（%s，%.2f）", "#%d (%s, %.2f)"};
inline constexpr Bilingual ItemThrust{"第%d位 %s→%s", "#%d %s→%s"};
inline constexpr Bilingual ItemDuration{"第%d位 %.2f→%.2f", "#%d %.2f→%.2f"};
inline constexpr Bilingual ItemWeight{"w%d %.2f→%.2f", "w%d %.2f→%.2f"};
inline constexpr Bilingual ItemSeparator{"；", "; "};
inline constexpr Bilingual BreedDropped{"被挤出", "pushed out"};
inline constexpr Bilingual ThrustNames[5] = {
    {"不动", "none"}, {"上", "up"}, {"下", "down"}, {"左", "left"}, {"右", "right"}};
inline constexpr Bilingual WeightScale{"权值：蓝 < 0 < 橙", "weights: blue < 0 < orange"};

// The network panel: its legend and what the pointer rests on.
inline constexpr Bilingual NetLegendActivation{"神经元：蓝 < 0 < 橙", "neurons: blue < 0 < orange"};
inline constexpr Bilingual NetLegendWeights{"连线：绿 +，红 −，越粗越大", "links: green +, red −, thicker is larger"};
inline constexpr Bilingual NetLegendChosen{"黄圈：选择的推力", "yellow ring: the thrust chosen"};
inline constexpr Bilingual HoverInput{"输入 %s = %.2f", "input %s = %.2f"};
inline constexpr Bilingual HoverNeuron{"第 %d 层，神经元 %d：激活 %.2f", "layer %d, neuron %d: activation %.2f"};
inline constexpr Bilingual HoverOutput{"输出 %s：%.2f", "output %s: %.2f"};
inline constexpr Bilingual HoverChosen{"（被选择）", " (chosen)"};
inline constexpr Bilingual HoverWeight{"权值 w%d：第 %d 层神经元 %d → 第 %d 层神经元 %d = %.2f",
                                       "weight w%d: layer %d neuron %d → layer %d neuron %d = %.2f"};

// The about box: what the classroom adds.
inline constexpr Bilingual AboutClassroom{
    "课堂用的附加功能（运行控制菜单）：课堂布局把得分和图表移到场景旁边（带刻度、图例、"
    "逃出的世代和多样性曲线）；状态栏总说明正在做什么；空格键单步时看下一代，否则暂停/继续；"
    "工具栏可调观看速度；单步时“显示繁殖过程”展示下一代如何产生：按得分排序的基因条、精英、"
    "轮盘选出的唯一父代、插入和变异的基因（本程序的两个遗传算法都没有交叉）；神经网络面板在"
    "观看训练时显示，指向神经元或连线可看数值。",
    "Classroom additions (run-control menu): the classroom layout moves the scores and charts beside "
    "the field (numbered axes, a key, the escape's generation, a diversity curve); the status bar "
    "always says what is happening; Space shows the next generation under single step, else pauses "
    "or continues; the toolbar sets the watch speed; under single step, \"show breeding\" shows how "
    "the next generation is made: gene strips by score, the elites, the one parent the roulette "
    "picks, the genes inserted and mutated (neither genetic algorithm here has crossover); the "
    "network panel is shown while training is watched, and tells the values under the pointer."};

}  // namespace korvane::text
