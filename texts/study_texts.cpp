#include "texts/study_texts.h"

#include "texts/cli_texts.h"

namespace korvane::text {

std::string StudyStart(std::size_t runs, std::size_t done, std::string_view path) {
  return En<Tx::StudyStart>(runs, done, path, runs - done);
}

std::string StudyTooLarge(double runs) { return En<Tx::StudyTooLarge>(Formatted("%.0f", runs)); }

std::string NoRuns(std::size_t files) { return std::string(En(files == 1 ? Tx::NoRunsInFile : Tx::NoRunsInFiles)); }

std::string StudyBar(int done, int total, int escaped) {
  return En<Tx::StudyBar>(Bar(done, total), done, total, escaped);
}

std::string ReportSummary(int runs, std::size_t cells, std::string_view common) {
  return En<Tx::ReportSummary>(runs, cells, common.empty() ? En(Tx::ReportNone) : common);
}

}  // namespace korvane::text
