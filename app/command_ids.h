#pragma once

// The command ids of the menu, toolbar and accelerator tables.
namespace korvane::cmd {

inline constexpr int ManualFlight = 32773;
inline constexpr int StartGA = 32774;
inline constexpr int StepByStep = 32775;
inline constexpr int ShowResult = 32772;
inline constexpr int PauseGA = 1012;
inline constexpr int Train = 1003;
inline constexpr int ShowTraining = 1005;
inline constexpr int PauseTraining = 1007;
inline constexpr int StartHeuristic = 1008;
inline constexpr int PauseHeuristic = 1013;
inline constexpr int CustomLevel = 32776;
inline constexpr int SaveLevel = 32777;
inline constexpr int Level[4] = {32778, 32779, 32771, 1006};
// Saved user map n (1..5) carries 110 + n.
inline constexpr int UserMap(int n) { return 110 + n; }
inline constexpr int Settings = 1001;
// Keeping weights, under the network menu.
inline constexpr int LoadWeights = 33001;
inline constexpr int SaveWeights = 33002;
inline constexpr int BuiltinWeights = 33003;
inline constexpr int TableWeights = 33004;
// The run-control menu.
inline constexpr int Stop = 33010;
inline constexpr int PaceFastest = 33011;
inline constexpr int PaceWatch = 33012;
inline constexpr int PaceStep = 33013;
inline constexpr int Rerun = 33014;
inline constexpr int SetSeed = 33015;
inline constexpr int ExportChart = 33016;
inline constexpr int ExportHistory = 33017;
inline constexpr int ShowPaths = 33018;
inline constexpr int ShowNetwork = 33019;
inline constexpr int OpenReportPlot = 33020;
// Ours: the classroom, after the run-control menu's other entries.
inline constexpr int Classroom = 33021;
inline constexpr int ShowBreeding = 33022;
inline constexpr int Space = 33023;
inline constexpr int Faster = 33024;
inline constexpr int Slower = 33025;
inline constexpr int NextChild = 33026;
inline constexpr int PreviousChild = 33027;
inline constexpr int About = 57664;

}  // namespace korvane::cmd
