#include "texts/cli_texts.h"

#include "texts/shortest.h"

namespace korvane::text {

std::string HelpHint(std::string_view command) {
  return command.empty() ? std::string(En(Tx::HelpHint)) : En<Tx::HelpHintCommand>(command);
}

std::string NoCommand() { return En<Tx::NoCommand>(En(Tx::CommandList)); }

std::string UnknownCommand(std::string_view name) { return En<Tx::UnknownCommand>(name, En(Tx::CommandList)); }

std::string OptionBeforeCommand(std::string_view option) {
  return En<Tx::OptionBeforeCommand>(option, En(Tx::CommandList));
}

std::string PlanTooLong(std::size_t genes, int length, int most) {
  if (genes > static_cast<std::size_t>(most)) return En<Tx::PlanOverLimit>(genes, most);
  return En<Tx::PlanTooLong>(genes, length);
}

// Shortest form: a sum of 1e300 ticks is not cut off mid-number.
std::string PlanTooManyTicks(double ticks) { return En<Tx::PlanTooManyTicks>(ShortestDouble(ticks)); }

std::string PlanNegativeDuration(std::size_t gene, double duration) {
  return En<Tx::PlanNegativeDuration>(gene + 1, ShortestDouble(duration));
}

std::string SaidTrainingDone(double fitness) { return En<Tx::SaidTrainingDone>(Formatted("%.17g", fitness)); }

std::string Bar(int done, int total) {
  constexpr int kWidth = 30;
  done = done < 0 ? 0 : done > total ? total : done;
  const int filled = total > 0 ? static_cast<int>(static_cast<long long>(kWidth) * done / total) : kWidth;
  std::string bar(1, '[');
  bar.append(static_cast<std::size_t>(filled), '#').append(static_cast<std::size_t>(kWidth - filled), '.');
  return bar + ']';
}

std::string ProgressBar(int generation, int total, double best) {
  return En<Tx::ProgressBar>(Bar(generation, total), generation, total, Formatted("%.1f", best));
}

std::string ProgressLine(std::string_view command, int generation, int total, double best, double average) {
  return En<Tx::ProgressLine>(command, generation, total, Formatted("%.1f", best), Formatted("%.1f", average));
}

}  // namespace korvane::text
