#pragma once

// What `korvane-cli study` and `report` say, in English only: C(Id, English), %1..%9 filled in by
// the caller. Help, refusals, runs files, progress, the report and its plots.
// One text a line, as written.
// clang-format off
#define KORVANE_STUDY_TEXTS(W, C) \
  /* Help. */ \
  C(HelpStudy, \
    "Fly every method on every level or map with every seed (and every combination of --vary), one JSON line " \
    "per run appended to --out; run it again to go on where it stopped.") \
  C(HelpReport, \
    "Read the runs files of studies (the shards' files together) and print escape rates, escape generations " \
    "and paired comparisons; --csv and --plots write them to files too.") \
  C(HelpMethods, \
    "ga, heuristic:table, heuristic:builtin, heuristic:FILE (a weights file, its last block) or " \
    "heuristic:train=S (a network the study trains with seed S), comma-separated") \
  C(HelpLevels, "built-in levels, comma-separated (1,2,3,4); with --maps, both are flown") \
  C(HelpMaps, \
    "maps of level files saved by the program, FILE:K comma-separated (a map is known by its meteors, " \
    "however its file is named); with --levels, both are flown") \
  C(HelpSeeds, "the seeds A to B (or one seed A), 0 to 4294967295") \
  C(HelpOut, \
    "the runs file (JSON lines), locked while the study runs; runs already in it are not flown again, a last " \
    "line cut short is cut off, any other file is refused") \
  C(HelpVary, "fly each of these values of a setting; repeat for more settings (every combination is flown)") \
  C(HelpShard, "fly only shard K of N (by each run's key); each shard writes its own --out") \
  C(HelpRunsFiles, "runs files written by study") \
  C(HelpCsv, \
    "write the cells to FILE, the pairs and the mean best-fitness curves beside it (FILE.pairs.csv, " \
    "FILE.fitness.csv, without FILE's .csv)") \
  C(HelpPlots, "draw escape_rate, escape_generation and fitness, each as .png and .svg, into DIR") \
  /* Refusals of arguments. */ \
  C(StudyNeeds, "study needs %1") \
  C(StudyNeedsField, "study needs --levels N,..., --maps FILE:K,... or both") \
  C(EmptyListItem, "%1 holds an empty item: '%2'") \
  C(GivenTwice, "%1: '%2' is given twice") \
  C(MethodChoice, \
    "a method must be ga, heuristic:table, heuristic:builtin, heuristic:FILE or heuristic:train=S, got '%1'") \
  C(TrainSeed, "heuristic:train=S needs a seed from 0 to 4294967295, got '%1'") \
  C(LevelChoice, "--levels takes levels 1 to 4, got '%1'") \
  C(MapChoice, "--maps takes FILE:K with K a map of the file from 1, got '%1'") \
  C(SeedsChoice, "--seeds must be A-B (A at most B) or A, from 0 to 4294967295, got '%1'") \
  C(ShardChoice, "--shard must be K/N with K from 1 to N and N from 1 to 1000000, got '%1'") \
  C(VaryForm, "--vary expects Name=v1,v2,..., got '%1'") \
  C(SameMapTwice, "--maps: '%1' and '%2' are the same map (the same meteors); give it once") \
  C(VaryBoth, "%1 and %2 are one setting (%2 = 2 x %1 + 4): give only one of them with --vary and --set") \
  C(VaryAndSet, "%1 is given with both --vary and --set; a varied setting takes its values from --vary") \
  C(VaryRefused, "--vary %1: %2") \
  C(StudyTooLarge, "the study holds %1 runs, more than 5000000; split it into several studies") \
  C(ReportNeedsFiles, "report needs at least one runs file") \
  C(PlotsUnavailable, "plots are not available in this build (it was built without Qt)") \
  C(NeedsDirectoryName, "%1 needs a directory name, got an empty one") \
  C(OutputIsInput, "%1 would write '%2', which is the runs file '%3' read here; give another %1") \
  C(NotADirectory, "%1 needs a directory, but '%2' is a file") \
  /* Runs files. */ \
  C(RunsFileMissing, "cannot use '%1': no such file") \
  C(RunsFileUnreadable, "cannot use '%1': it cannot be read") \
  C(RunsFileNotRegular, "cannot use '%1': it is not a regular file (a FIFO or a device holds no runs)") \
  C(RunsLineDamaged, "cannot use '%1': line %2 is not a run line: %3") \
  C(RunsLastLineDamaged, "cannot use '%1': line %2 is not a run line, nor the start of one cut short: %3") \
  C(RunsLineTooLong, "cannot use '%1': line %2 is longer than %3 bytes, more than any run writes") \
  C(RunLineNotObject, "it is not a JSON object") \
  C(RunLineField, "the field \"%1\" is missing or not as a run line holds it") \
  C(RunLineKeyMismatch, "its \"key\" does not name its method, field and seed") \
  C(OlderMapLine, \
    "cannot go on with '%1': line %2 names its map by the file's name (an older korvane-cli); maps are now " \
    "named by their contents, so its runs would be flown again: give a new --out (report reads both files " \
    "together)") \
  C(OtherNetwork, \
    "run '%1' is in '%2' (line %3) flown with another network (weights_fnv %4; the weights now: %5); give " \
    "another --out or the weights it was flown with") \
  C(CellNetworksDiffer, "runs '%1' and '%3' of one cell were flown with different networks (weights_fnv %2 and %4)") \
  C(RunsFileInUse, "'%1' is in use by another study; wait for it to end, or give another --out") \
  C(NoRunsInFile, "the runs file holds no run") \
  C(NoRunsInFiles, "the runs files hold no run") \
  C(LastLineCut, "%1: line %2 is damaged (a run stopped while it was written); cut off, its run is flown again") \
  C(LastLineLeftOut, "%1: line %2 is damaged (a run stopped while it was written); left out") \
  C(OtherSettings, \
    "run '%1' is in '%2' (line %3) with other settings; give another --out or the settings it was flown with") \
  C(RunsDisagree, "run '%1' is in '%2' and in '%3' with different results") \
  C(CellSettingsDiffer, "run '%1' has other settings than the rest of '%2' (runs files of different studies)") \
  C(CannotTruncate, "cannot cut the damaged last line of '%1': %2") \
  C(CannotAppend, "cannot append to '%1': %2") \
  C(CannotWriteFile, "cannot write '%1': %2") \
  C(RunStopped, "run '%1' stopped before its end") \
  C(RunRefused, "run '%1': %2") \
  /* Progress. */ \
  C(StudyStart, "study: %1 runs, %2 already in %3, %4 to fly") \
  C(StudyTraining, "study: training the network with seed %1") \
  C(StudyBar, "%1 %2/%3 runs, %4 escaped") \
  C(StudyLine, "study: %1 of %2 runs flown, %3 escaped") \
  /* The report. */ \
  C(ReportSummary, "%1 runs in %2 cells. Settings in every run besides the defaults: %3.") \
  C(ReportNone, "none") \
  C(ReportLevel, "level %1") \
  C(ReportMap, "map %1:%2") \
  C(ReportCellsTitle, \
    "Escapes: the share of runs that escaped with its 95 % Wilson interval, the quartiles of the escape " \
    "generation over the runs that escaped, and the mean best fitness after the last generation.") \
  C(ReportCellHeader, "field|method|settings|runs|escaped|rate|95 % interval|q1|median|q3|final best") \
  C(ReportPairsTitle, \
    "Paired by seed: a run that escapes beats one that does not, the sooner escape beats the later; the sign " \
    "test is exact and two-sided, ties left out.") \
  C(ReportPairHeader, "field|settings|A|B|pairs|A wins|B wins|ties|sign test p") \
  /* The plots. */ \
  C(PlotRateTitle, "Escape rate and its 95 % Wilson interval") \
  C(PlotRateAxis, "runs that escaped") \
  C(PlotGenerationTitle, "Escape generation of the runs that escaped: quartiles, median, first and last") \
  C(PlotGenerationAxis, "generation") \
  C(PlotFitnessAxis, "mean best fitness") \
  C(PlotSettingsKey, "Under each field, the values of ") \
  C(PlotNotSaved, "the picture could not be saved")
// clang-format on
