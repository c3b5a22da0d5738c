// report: the runs files read as one set, the report printed, and written
// as CSV and plots when asked.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output.h"
#include "study/report.h"
#include "study/report_text.h"
#include "texts/study_texts.h"
#ifdef KORVANE_HAS_PLOTS
#include "plots/plots.h"
#endif

namespace korvane::cli {
namespace {

void WriteWholeFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw WriteFailure{text::En<Tx::CannotWriteFile>(path, std::strerror(errno))};
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int err = errno;
  if (std::fclose(f) != 0 || !written)
    throw WriteFailure{text::En<Tx::CannotWriteFile>(path, std::strerror(written ? errno : err))};
}

// Every file the report would write, by the option that names it.
std::vector<std::pair<const char*, std::string>> Outputs(const Options& o) {
  std::vector<std::pair<const char*, std::string>> out;
  if (!o.csv.empty()) {
    const study::CsvPaths csv = study::CsvPathsFor(o.csv);
    for (const std::string* path : {&csv.cells, &csv.pairs, &csv.fitness}) out.emplace_back("--csv", *path);
  }
#ifdef KORVANE_HAS_PLOTS
  if (!o.plots.empty())
    for (const char* name : plots::kPlotNames)
      for (const char* kind : {".png", ".svg"}) out.emplace_back("--plots", o.plots + "/" + name + kind);
#endif
  return out;
}

// An output that is one of the inputs (by device and inode, however it is
// spelled) would overwrite the runs it reports.
void RefuseOutputsOverInputs(const Options& o) {
  for (const auto& [option, output] : Outputs(o)) {
    struct stat out {};
    if (::stat(output.c_str(), &out) != 0) continue;
    for (const std::string& input : o.runsFiles) {
      struct stat in {};
      if (::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
        Refuse(text::En<Tx::OutputIsInput>(option, output, input));
    }
  }
}

study::Report ReadReport(const Options& o) {
  std::vector<std::pair<std::string, study::RunsFile>> files;
  try {
    for (const std::string& path : o.runsFiles) {
      std::error_code ec;
      if (!std::filesystem::exists(path, ec)) Refuse(text::En<Tx::RunsFileMissing>(path));
      files.emplace_back(path, study::ReadRunsFile(path));
      if (files.back().second.damagedLastLine)
        Complain(text::En<Tx::LastLineLeftOut>(path, files.back().second.damagedLastLine));
    }
    std::vector<study::RunRecord> runs = study::MergeRuns(files);
    if (runs.empty()) Refuse(text::NoRuns(files.size()));
    return study::BuildReport(std::move(runs));
  } catch (const study::InputError& e) {
    Refuse(e.text);
  }
}

}  // namespace

int RunReport(const Options& o) {
  RefuseOutputsOverInputs(o);
  const study::Report report = ReadReport(o);
  if (!o.csv.empty()) {
    const study::CsvPaths csv = study::CsvPathsFor(o.csv);
    WriteWholeFile(csv.cells, study::CellsCsv(report));
    WriteWholeFile(csv.pairs, study::PairsCsv(report));
    WriteWholeFile(csv.fitness, study::FitnessCsv(report));
  }
#ifdef KORVANE_HAS_PLOTS
  if (!o.plots.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.plots, ec);
    if (ec) throw WriteFailure{text::En<Tx::CannotWriteFile>(o.plots, ec.message())};
    if (const std::string error = plots::WritePlots(report, o.plots); !error.empty()) throw WriteFailure{error};
  }
#endif
  WriteOut(study::ReportTable(report));
  return kExitOk;
}

}  // namespace korvane::cli
