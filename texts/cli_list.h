#pragma once

// What korvane-cli says, in English only: C(Id, English), %1..%9 filled in by the caller.
// Help, refusals, failures, progress and the settings' list.
// One text a line, as written.
// clang-format off
#define KORVANE_CLI_TEXTS(W, C) \
  /* Help: the tool's and each command's. */ \
  C(CliAbout, \
    "korvane-cli: the engine of Korvane without a window. Prints one JSON object on stdout;\n" \
    "messages and progress go to stderr.") \
  C(CliFooter, \
    "Exit status: 0 done; 1 a write failed (stdout or an output file) or the run failed;\n" \
    "2 a bad argument or an input that cannot be used (nothing is printed on stdout).\n" \
    "Numbers that are not finite are printed as null. 'korvane-cli COMMAND --help' tells\n" \
    "about a command.") \
  C(HelpHint, "Try 'korvane-cli --help'.") \
  C(HelpHintCommand, "Try 'korvane-cli %1 --help'.") \
  C(HelpGa, \
    "Search a flight plan with the genetic algorithm (--heuristic: the network repairs crashed plans). " \
    "escape_generation counts the generations completed before the escape, as the window's score panel does " \
    "(0: a plan of the first generation escaped); the escape happens in generation escape_generation + 1, as " \
    "the window's CSV export numbers it, one past the last entry of \"generations\" (which counts from 1).") \
  C(HelpTrain, "Train the network by evolving its weights on the four built-in levels.") \
  C(HelpFlyNet, "Fly the network once under the training rules.") \
  C(HelpFlyPlan, "Fly a flight plan read from a JSON file.") \
  C(HelpSettings, "List every setting with its default, limits and meaning.") \
  C(HelpLevel, "built-in level 1 to 4") \
  C(HelpMap, "a level file saved by the program (ObstacleMap.txt); needs --map-index") \
  C(HelpMapIndex, "map K, from 1, of the --map file") \
  C(HelpSeed, "seed of the run, 0 to 4294967295 (default: the time)") \
  C(HelpHeuristic, "let the network repair crashed plans") \
  C(HelpWeights, \
    "the network's weights: builtin (the trained set in force at start, the default), table (the weight " \
    "table the program was given), or a file in the format of weights.txt (its last block, or --block N)") \
  C(HelpBlock, "block N, from 1, of the --weights file") \
  C(HelpWeightsOut, "append the trained weights to FILE as the program appends to weights.txt") \
  C(HelpThreads, \
    "threads, 1 to 256 (default: every core): ga and train fly each generation on them, study flies as many " \
    "runs at once; the numbers do not change") \
  C(HelpPlan, "the plan: {\"actions\": [...], \"durations\": [...]}") \
  C(HelpVariant, "ga, heuristic (flown with the network) or step (default: ga)") \
  C(HelpSet, "change a setting; repeat for more ('korvane-cli settings' lists them)") \
  C(HelpStream, "print {\"generation\", \"best\", \"average\"} as one JSON line per generation, then the result") \
  C(HelpQuiet, "no progress on stderr") \
  C(HelpJson, "print the list as JSON") \
  C(Version, \
    "Copyright (C) 2026 The Korvane developers.\n" \
    "License MIT: <https://opensource.org/licenses/MIT>.\n" \
    "This is free software: you are free to change and redistribute it.\n" \
    "There is NO WARRANTY, to the extent permitted by law.\n") \
  C(GuiHelp, \
    "Usage: korvane [OPTION]...\n" \
    "Korvane teaches how machines learn to fly: fly a lifeboat out of a meteor field by hand,\n" \
    "let a genetic algorithm search a flight plan, train a neural network, or let the network\n" \
    "repair the search's crashed plans.\n" \
    "\n" \
    "Options:\n" \
    "  -h, --help     show this help and exit\n" \
    "      --version  show the version and exit\n" \
    "\n" \
    "Qt's own options (-platform, -style, ...) are taken as well. korvane-cli runs the same\n" \
    "engine without a window.\n") \
  /* Refusals of arguments; quoted values are echoed as given. */ \
  C(CommandList, " (commands: ga, train, fly-net, fly-plan, settings, study, report)") \
  C(NoCommand, "no command given%1") \
  C(UnknownCommand, "unknown command '%1'%2") \
  C(OptionBeforeCommand, "the command comes first, then its options: got '%1'%2") \
  C(NotUsedBy, "%1 does not use %2") \
  C(OneDash, "'%1' is not an option; options take two dashes: %2") \
  C(NeedsFileName, "%1 needs a file name, got an empty one") \
  C(LooksLikeOption, "%1 needs a name, got the option '%2' (a file whose name starts with -- is ./%2)") \
  C(NotRegularFile, "%1 needs a regular file, but '%2' is not one (a FIFO or a device)") \
  C(IsDirectory, "%1 needs a file, but '%2' is a directory") \
  C(CannotWriteTo, "%1: cannot write to '%2'") \
  C(WholeNumberFrom, "%1 must be a whole number from %2 to %3, got '%4'") \
  C(VariantChoice, "--variant must be ga, heuristic or step, got '%1'") \
  C(SettingGot, "%1, got '%2'") \
  C(LevelAndMap, "--level and --map exclude each other") \
  C(NeedsField, "%1 needs --level N (1 to 4) or --map FILE --map-index K") \
  C(MapIndexNeedsMap, "--map-index needs --map FILE") \
  C(MapNeedsIndex, "--map needs --map-index K") \
  C(NeedsPlan, "fly-plan needs --plan FILE") \
  C(WeightsNeedHeuristic, "--weights is used only with --heuristic (the plain search flies no network)") \
  C(WeightsNeedHeuristicVariant, \
    "--weights is used only with --variant heuristic (the other variants fly no network)") \
  C(BlockNeedsFile, "--block needs --weights FILE") \
  /* Refusals of inputs. */ \
  C(CannotUseMap, "cannot use map %1 of '%2': %3") \
  C(CannotUseFile, "cannot use '%1': %2") \
  C(WeightsDoNotFit, "%1 hold %2 weights but the network needs %3") \
  C(BuiltInWeights, "the built-in weights") \
  C(TableWeights, "the weight table") \
  C(NetworkDoesNotFit, "the network does not fit the settings") \
  C(PlanOverLimit, "the plan has %1 genes, more than ChromosomeLength allows (%2)") \
  C(PlanTooLong, "the plan has %1 genes but ChromosomeLength is %2; raise it with --set ChromosomeLength=%1") \
  C(PlanTooManyTicks, "the plan's durations add up to %1 ticks, more than a flight can count (2147483647)") \
  C(PlanMissing, "no such file") \
  C(PlanUnreadable, "it cannot be read") \
  C(PlanTooLarge, "the file is larger than %1 KiB, too large for a plan") \
  C(PlanNotJson, "the plan file is not valid JSON (at byte %1)") \
  C(PlanNotObject, "the plan file must hold a JSON object") \
  C(PlanNumberTooLarge, "a number is too large") \
  C(PlanNotNumbers, "\"%1\" must be a list of numbers") \
  C(PlanUnknownKey, "unknown key \"%1\" in the plan file") \
  C(PlanNeedsBoth, "the plan file needs both \"actions\" and \"durations\"") \
  C(PlanUneven, "\"actions\" has %1 entries but \"durations\" has %2") \
  C(PlanActionsWhole, "actions must be whole numbers") \
  C(PlanNegativeDuration, "durations must not be negative: gene %1 lasts %2") \
  /* Why a map or a weights file cannot be used (the window says it in its own words). */ \
  C(CliMapCannotOpen, "the file cannot be opened") \
  C(CliMapNotInFile, "the file holds no map %1") \
  C(CliMapDamaged, "map %1 is damaged (%2%3)") \
  C(CliWeightsDamaged, "block %1%2 is damaged (%3%4); %5") \
  C(CliOfFile, " of %1") \
  C(CliOneIntact, "block %1 is intact — pass --block %1 to use it") \
  C(CliManyIntact, "blocks %1 are intact — pass --block %2 to use one") \
  C(CliWeightsNoSuchBlock, "%1 holds %2; there is no block %3") \
  C(CliTheText, "the text") \
  C(CliBlock, "%1 block") \
  C(CliBlocks, "%1 blocks") \
  C(CliWeightsNone, "%1 holds no weights (no m_weight[0] line)") \
  C(CliCannotOpen, "cannot open %1") \
  C(CliCannotRead, "cannot read %1") \
  C(CliWeightsTooLarge, "%1 is too large for a weights file") \
  C(CliOutOfMemory, "out of memory while reading the weights") \
  C(CliWeightsMismatch, "block %1 holds %2 but the network needs %3") \
  C(CliWeight, "%1 weight") \
  C(CliWeights, "%1 weights") \
  /* Failures. */ \
  C(StdoutFailed, "cannot write the output: %1") \
  C(NothingWritten, "nothing was written") \
  C(ReaderGone, "the reader closed the pipe before reading all of it") \
  C(WeightsNotWritten, "the trained weights could not be written to '%1' (they are in the output)") \
  C(Unexpected, "stopped by an unexpected error: ") \
  /* What a run tells (the window's boxes). */ \
  C(SaidEscaped, "a plan escaped the meteor field") \
  C(SaidStopped, "the run stopped; its best plan so far is kept") \
  C(SaidPopulationNotEven, "the population minus the elites is odd: the next generation is a plan short") \
  C(SaidInvalidCode, "plan %1 holds code %3 at gene %2, which is no thrust (0 to 4)") \
  C(SaidNetworkMismatch, "the network's inputs do not fit the number of perceived meteors: train the network again") \
  C(SaidTrainingStopped, "training stopped after %1 generations; the best weights of the last are printed") \
  C(SaidTrainingStoppedEarly, "training stopped before its first generation was complete") \
  C(SaidTrainingDone, "training finished, best fitness %1") \
  /* Progress. */ \
  C(ProgressBar, "%1 %2/%3 best %4") \
  C(ProgressLine, "%1: generation %2 of %3, best %4, average %5") \
  /* The settings: their list and why a value is refused. */ \
  C(SettingsHeader, "Name, default, limits and meaning of every setting (--set Name=Value):") \
  C(SettingsRow, "%1 default %2 %3") \
  C(SettingsCrossLimits, \
    "EliteCount and NetEliteCount are limited by their population too; NetInputCount must be even.") \
  C(ParamUnknown, "unknown parameter '%1'") \
  C(ParamBetween, "%1 must be between %2 and %3") \
  C(ParamBetweenBound, "%1 must be between %2 and %3 (the %4)") \
  C(ParamAbove, "%1 must be above %2 and at most %3") \
  C(ParamPerceived, "%1 must be between %2 and %3 (the perception table has %3 slots)") \
  C(ParamInputsEven, "NetInputCount must be even (2 x perceived meteors + 4)") \
  C(ParamPairs, "%1 minus %2 must be even (children are made in pairs)") \
  C(MemoryTraining, "training (NetPopulationSize x the network's weights) needs %1; the limit is %2") \
  C(MemorySearch, "the search (PopulationSize x ChromosomeLength, and MaxGenerations) needs %1; the limit is %2") \
  C(MemoryNetwork, "the network (HiddenLayerCount x NeuronsPerHiddenLayer) needs %1; the limit is %2") \
  C(AllowedWhole, "a whole number") \
  C(AllowedNumber, "a number") \
  C(AllowedFromTo, "%1 from %2 to %3") \
  C(AllowedAbove, "%1 above %2 and at most %3") \
  C(SetExpects, "--set expects Name=Value, got '%1'") \
  C(SetMustBe, "%1 must be %2, got '%3'") \
  C(SetUnderflows, "%1: '%2' is too close to 0 to be held as a number (it underflows); write 0")
// clang-format on
