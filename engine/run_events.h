#pragma once
#include <limits>

namespace korvane {

enum class FlyVariant { GA, Heuristic, StepByStep };

// A moment at which the user is told something (the desktop program shows
// a box and holds the run until it is closed). Numbers only: the screen
// chooses the words.
enum class NoticeKind {
  SearchEscaped,         // a plan escaped: the search has found its plan
  SearchStopped,         // stopped by the user; the best plan so far is kept
  PopulationNotEven,     // population − elites is odd: the next generation is short
  InvalidCode,           // a plan being scored holds a code that is no thrust
  NetworkMismatch,       // the network's inputs no longer fit the settings
  GaveUp,                // the demonstration ran out of generations
  ReplayOver,            // the kept plan ran out of genes on screen
  ReplayInvalidCode,     // the kept plan holds a code that is no thrust
  DemoInvalidCode,       // the demonstration's shown plan holds one
  FlightEscaped,         // a flight on screen escaped
  FlightCrashed,         // a flight on screen crashed
  TrainingStopped,       // stopped after `generation` generations; their best in force
  TrainingStoppedEarly,  // stopped before a generation was complete
  TrainingDone,          // with the best genome's `fitness`
  SaveOpenFailed,        // the trained weights' file could not be opened
  SaveWriteFailed,       // it could not be written
};

struct RunNotice {
  NoticeKind kind = NoticeKind::SearchEscaped;
  int generation = 0;    // TrainingStopped
  double fitness = 0.0;  // TrainingDone
  // InvalidCode: the code, the plan's index, the gene's, the search it was in.
  int code = 0;
  int plan = 0;
  int gene = 0;
  FlyVariant variant = FlyVariant::GA;
};

// How a run ended.
enum class RunEnd {
  Escaped,          // searches, the demonstration, flights on screen
  NotEscaped,       // a search ran all its generations
  Stopped,          // by the user, or the program is closing
  InvalidCode,      // a plan held a code that is no thrust
  NetworkMismatch,  // the network does not take the settings' inputs
  GaveUp,           // the demonstration ran out of generations
  UsedUp,           // a replay ran out of genes
  Crashed,          // a flight on screen crashed
  Trained,          // training ran all its generations
};

struct RunOutcome {
  RunEnd end = RunEnd::NotEscaped;
  // Escaped (a search): the generation, from 0, in which a plan escaped.
  // Otherwise the generations completed.
  int generation = 0;
  int plan = -1;      // Escaped (a search): the plan's index
  double best = 0.0;  // NotEscaped, Trained: the best fitness of the last generation
  // NotEscaped: the generation limit in force as it ended (it may have been
  // changed between generations).
  int limit = 0;
};

// A generation completed (or, for a search that escaped, cut short by the
// escape): generation counts from 1. An escaped generation was not finished:
// its best is the escape's worth and its average is not known (NaN).
struct GenerationEvent {
  int generation = 0;
  double best = 0.0;
  double average = std::numeric_limits<double>::quiet_NaN();
  bool escaped = false;
};

}  // namespace korvane
