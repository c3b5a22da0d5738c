#pragma once
#include <string>
#include <string_view>

#include "texts/text_table.h"

// korvane-cli's texts that take more than filling in: a choice of words, or
// numbers in a form of their own. The rest are said with text::En<Tx::...>.
namespace korvane::text {

// "Try 'korvane-cli ga --help'." (command empty: the tool's help).
std::string HelpHint(std::string_view command);

// Each names the commands there are.
std::string NoCommand();
std::string UnknownCommand(std::string_view name);
std::string OptionBeforeCommand(std::string_view option);

// A plan longer than ChromosomeLength, or than it may ever be (most).
std::string PlanTooLong(std::size_t genes, int length, int most);
// The durations add up to more ticks than a flight can count.
std::string PlanTooManyTicks(double ticks);
// gene from 0.
std::string PlanNegativeDuration(std::size_t gene, double duration);

std::string SaidTrainingDone(double fitness);

// "[#########.....................]": done of total.
std::string Bar(int done, int total);
// "[#########.....................] 12/40 best 1234.5"
std::string ProgressBar(int generation, int total, double best);
// "ga: generation 12 of 201, best 1234.5, average 234.5"
std::string ProgressLine(std::string_view command, int generation, int total, double best, double average);

}  // namespace korvane::text
