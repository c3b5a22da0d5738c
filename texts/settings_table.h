#pragma once

// Every setting, one row: adding a setting is adding a row. Each layer reads
// the columns it needs: sim/ makes SimParams' members, the limits and the
// names --set takes; texts/ the labels and meanings; ui_model/ the settings
// sheet's fields; the page its settings (the Class flag).
//
// S(Name, Kind, Default, Lo, Hi, Flags, Bound,
//   Page, Group, Inner, Control, Shown, Read, Label (Chinese), Label (English), Meaning (English))
//
// Kind:    Int, Double, Check (an int of 0 or 1, a check box) or Perceived (not
//          a member: another name of NetInputCount, 2 x this + 4).
// Lo, Hi:  the limits, the value in [Lo, Hi]; they keep every table and divisor
//          in range and every flight finite (within them a flight leaves the
//          field long before a position, speed or sum can overflow).
// Flags:   LoOpen (the value must be above Lo), Class (the page offers it: the
//          sizes and rates a class changes), or Plain.
// Bound:   the setting that is the upper limit too (its label names it), or _.
// Page, Group, Inner: the sheet's page (0..2), its group box and the box
//          within it (texts' Tx names; None for no box). Control: the field's
//          control id on its page (0: not on the sheet). Shown, Read: the order of the page's fields
//          on screen and as they are read back (which bad field is named
//          first), by increasing number.
// The rows' order is the settings' order wherever they are listed.
#define KORVANE_SETTINGS(S)                                                                                            \
  /* Physics. */                                                                                                       \
  S(LifeboatSize, Double, 2.5, 0.0, 1000.0, Plain, _, 0, GroupPhysics, None, 1003, 10, 40, "救生艇大小：",             \
    "Lifeboat size:", "radius of the lifeboat's hull as drawn and as it collides")                                     \
  S(Gravity, Double, 2.0, -1000.0, 1000.0, Plain, _, 0, GroupPhysics, None, 1000, 30, 20, "地心引力：",                \
    "Gravity:", "downward acceleration added to the vertical speed every tick")                                        \
  S(LifeboatAccel, Double, 5.0, -1000.0, 1000.0, Plain, _, 0, GroupPhysics, None, 1001, 50, 10, "救生艇加速度：",      \
    "Thrust:", "acceleration of one thrust in its direction")                                                          \
  S(TimeStep, Double, 0.04, 0.0, 10.0, LoOpen, _, 0, GroupPhysics, None, 1002, 20, 30, "时间流逝：",                   \
    "Time step:", "length of one tick in the physics")                                                                 \
  S(SpeedScale, Double, 30.0, -1000.0, 1000.0, Plain, _, 0, GroupPhysics, None, 1004, 40, 50, "速度缩放比：",          \
    "Speed scale:", "how far a unit of speed moves the lifeboat in one tick")                                          \
  /* Flight-plan search. */                                                                                            \
  S(MaxGenerations, Int, 200, -1, 1000000, Class, _, 0, GroupGa, GroupOverall, 1006, 60, 70, "最大进化世代：",         \
    "Generations:", "the plan search flies generations 0 to this (-1: none)")                                          \
  S(PopulationSize, Int, 500, 1, 100000, Class, _, 0, GroupGa, GroupOverall, 1005, 70, 60, "人口数目：",               \
    "Population size:", "flight plans in each generation of the plan search (an even number is expected)")             \
  S(EliteCount, Int, 4, 0, 100000, Class, PopulationSize, 0, GroupGa, GroupOverall, 1014, 80, 100, "精英数目：",       \
    "Elites:", "best plans copied unchanged into the next generation (at most the population size)")                   \
  S(ChromosomeLength, Int, 30, 1, 200, Plain, _, 0, GroupGa, GroupInit, 1013, 90, 80, "染色体长度：",                  \
    "Plan length:", "genes (thrust and duration) in a flight plan; a plan flown is cut to this length")                \
  S(ActionDurationRange, Int, 5, 1, 100000, Plain, _, 0, GroupGa, GroupInit, 1012, 100, 90, "动作时间长度范围：",      \
    "Duration range:", "spread of a new gene's duration: 3 to 2 + this many ticks")                                    \
  S(DurationMutationRate, Double, 0.5, 0.0, 1.0, Class, _, 0, GroupGa, GroupMutation, 1015, 110, 110,                  \
    "行动时间变异概率：", "Duration rate:", "chance that a gene's duration is changed by a mutation")                  \
  S(DurationMutationRange, Int, 2, 0, 100000, Plain, _, 0, GroupGa, GroupMutation, 1016, 120, 120,                     \
    "行动时间变异范围：", "Duration change:", "largest change of a duration by one mutation, in ticks either way")     \
  S(ActionMutationRate, Double, 0.1, 0.0, 1.0, Class, _, 0, GroupGa, GroupMutation, 1017, 130, 130,                    \
    "行动随机变异概率：", "Thrust rate:", "chance that a gene's thrust is replaced by a random one")                   \
  S(InsertionRate, Double, 0.2, 0.0, 1.0, Class, _, 0, GroupGa, GroupMutation, 1018, 140, 140, "行动随机插入概率：",   \
    "Insertion rate:", "chance that a mutation inserts a new gene")                                                    \
  S(InsertionDuration, Int, 10, 1, 100000, Plain, _, 0, GroupGa, GroupMutation, 1019, 150, 150, "行动随机插入时间：",  \
    "Insertion time:", "spread of an inserted gene's duration: 5 to 4 + this many ticks")                              \
  S(TimeWeight, Double, 0.1, -1e6, 1e6, Plain, _, 0, GroupWeights, None, 1020, 160, 180,                               \
    "时间重要性:", "Time:", "the time score: ticks flown x this (shown; the fitness is the distance flown)")           \
  S(SafetyWeight, Double, 6.0, -1e6, 1e6, Plain, _, 0, GroupWeights, None, 1021, 170, 170,                             \
    "安全重要性:", "Safety:", "the safety score: square root of the closest approach to a meteor x this (shown)")      \
  S(EnergyWeight, Double, 0.1, -1e6, 1e6, Plain, _, 0, GroupWeights, None, 1022, 180, 160,                             \
    "节能重要性:", "Energy:", "the energy score: thrusts x this (shown)")                                              \
  /* The network and its weight search. */                                                                             \
  S(HiddenLayerCount, Int, 2, 0, 100, Plain, _, 1, GroupNet, None, 1000, 10, 10, "隐藏层数目：",                       \
    "Hidden layers:", "hidden layers of the network")                                                                  \
  S(NeuronsPerHiddenLayer, Int, 5, 1, 1000, Plain, _, 1, GroupNet, None, 1001, 20, 20, "隐藏层神经元个数：",           \
    "Neurons a layer:", "neurons in each hidden layer")                                                                \
  S(SigmoidParam, Double, 0.5, -1e6, 1e6, Plain, _, 1, GroupNet, None, 1002, 30, 30, "S型激发函数参变量：",            \
    "Sigmoid:", "steepness parameter of the neurons' sigmoid")                                                         \
  S(NormalizeParam, Double, 50.0, -1e6, 1e6, Plain, _, 1, GroupNet, None, 1003, 40, 40, "归一化参变量：",              \
    "Normalisation:", "the network sees distances as this / distance")                                                 \
  S(TrainingGenerations, Int, 150, 0, 5000, Class, _, 1, GroupNetGa, GroupOverall, 1005, 50, 50, "训练次数：",         \
    "Generations:", "generations of the weight search in training")                                                    \
  S(NetPopulationSize, Int, 400, 1, 100000, Class, _, 1, GroupNetGa, GroupOverall, 1006, 60, 60, "人口数目：",         \
    "Network population size:", "weight sets in each generation of training")                                          \
  S(NetEliteCount, Int, 4, 0, 100000, Class, NetPopulationSize, 1, GroupNetGa, GroupOverall, 1014, 70, 70,             \
    "精英数目：", "Elites:", "best weight sets copied unchanged into the next generation")                             \
  S(NetInputCount, Int, 6, 4, 4 + 2 * MaxPerceived, Plain, _, 1, None, None, 0, 0, 0, "网络输入数目：",                \
    "Network inputs:", "network inputs: 2 x perceived meteors + 4 (set PerceivedMeteors instead)")                     \
  S(InitWeightRange, Double, 2.0, 0.0, 1e6, Plain, _, 1, GroupNetGa, GroupInit, 1012, 90, 90, "初始权值范围：",        \
    "Initial weights:", "spread of the random weights a network starts with")                                          \
  S(SmallMutationRate, Double, 0.8, 0.0, 1.0, Class, _, 1, GroupNetGa, GroupMutation, 1015, 100, 100, "小变异概率：",  \
    "Small rate:", "chance that each weight gets a small random change")                                               \
  S(SmallMutationRange, Double, 4.0, 0.0, 1e6, Plain, _, 1, GroupNetGa, GroupMutation, 1016, 110, 140, "小变异范围：", \
    "Small change:", "largest small change of a weight, either way")                                                   \
  S(LargeMutationRate, Double, 0.4, 0.0, 1.0, Class, _, 1, GroupNetGa, GroupMutation, 1017, 120, 110, "大变异概率：",  \
    "Large rate:", "chance that one weight of a set gets a large change")                                              \
  S(LargeMutationRange, Double, 10.0, -1e6, 1e6, Plain, _, 1, GroupNetGa, GroupMutation, 1018, 130, 120,               \
    "大变异范围：", "Large change:", "the large change added to that weight")                                          \
  S(NetCrossoverRate, Double, 0.2, 0.0, 1.0, Class, _, 1, GroupNetGa, GroupCrossover, 1019, 140, 130,                  \
    "发生基因交换概率：",                                                                                              \
    "Crossover rate:", "crossover rate of the weight search (kept for the record; no operator uses it)")               \
  /* The third page. */                                                                                                \
  S(StartX, Int, 20, INT_MIN, INT_MAX, Plain, _, 2, GroupStart, None, 1000, 10, 10,                                    \
    "横坐标:", "x:", "start column shown in the settings sheet (flights start at x = 20)")                             \
  S(StartY, Int, 200, INT_MIN, INT_MAX, Plain, _, 2, GroupStart, None, 1003, 20, 20,                                   \
    "纵坐标:", "y:", "start row shown in the settings sheet (flights start at y = 200)")                               \
  S(HideThrustMarker, Check, 0, 0, 1, Plain, _, 2, None, None, 1001, 30, 30, "不显示加速方向标识",                     \
    "Hide the thrust marker", "1: the desktop program hides the thrust marker")                                        \
  S(HidePerceived, Check, 0, 0, 1, Plain, _, 2, None, None, 1002, 40, 40, "不显示神经网络\"看到\"到的星球",            \
    "Hide the meteors the network \"sees\"", "1: the desktop program does not mark the meteors the network perceives") \
  S(HideScoreChart, Check, 0, 0, 1, Plain, _, 2, None, None, 1004, 50, 50, "不显示基因得分的统计图表",                 \
    "Hide the score chart", "1: the desktop program hides the score chart")                                            \
  S(PerceivedMeteors, Perceived, _, 0, MaxPerceived, Plain, _, 1, GroupNetGa, GroupInit, 1013, 80, 80,                 \
    "感知星球数目：",                                                                                                  \
    "Perceived meteors:", "nearest meteors the network perceives; sets NetInputCount to 2 x this + 4")
