#include "study/report_text.h"

#include <cstdio>
#include <vector>

#include "study/numbers.h"
#include "texts/study_texts.h"

namespace korvane::study {
namespace {

std::string Fixed(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string Maybe(const std::optional<double>& v) { return v ? ShortestText(*v) : "-"; }

std::string FinalBest(const Cell& c) { return c.meanBest.empty() ? "-" : Fixed("%.1f", c.meanBest.back()); }

// Columns left-aligned, two spaces apart, no trailing blanks.
std::string Columns(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> width;
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (width.size() <= i) width.push_back(0);
      width[i] = std::max(width[i], row[i].size());
    }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(width[i] - row[i].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::string CsvField(const std::string& v) {
  if (v.find_first_of(",\"\n\r") == std::string::npos) return v;
  std::string q(1, '"');
  for (char c : v) {
    if (c == '"') q += '"';
    q += c;
  }
  q += '"';
  return q;
}

std::string CsvRows(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i) out += ',';
      out += CsvField(row[i]);
    }
    out += '\n';
  }
  return out;
}

std::string Optional(const std::optional<double>& v) { return v ? ShortestText(*v) : ""; }

// A table's header: its column names, given as one text split at '|'.
std::vector<std::string> Header(Tx names) {
  std::vector<std::string> out;
  std::string_view rest = text::En(names);
  for (std::size_t bar; (bar = rest.find('|')) != std::string_view::npos; rest.remove_prefix(bar + 1))
    out.emplace_back(rest.substr(0, bar));
  out.emplace_back(rest);
  return out;
}

}  // namespace

std::string ReportTable(const Report& r) {
  std::string common;
  for (const auto& [name, value] : r.common) common += (common.empty() ? "" : " ") + name + "=" + value;
  std::string out =
      text::ReportSummary(r.runs, r.cells.size(), common) + "\n\n" + text::En<Tx::ReportCellsTitle>() + "\n";
  std::vector<std::vector<std::string>> rows{Header(Tx::ReportCellHeader)};
  for (const Cell& c : r.cells)
    rows.push_back({c.field, c.method, c.settings.empty() ? "-" : c.settings, std::to_string(c.runs),
                    std::to_string(c.escaped), Fixed("%.3f", static_cast<double>(c.escaped) / c.runs),
                    Fixed("%.3f", c.rate.lo) + "-" + Fixed("%.3f", c.rate.hi), Maybe(c.q1), Maybe(c.median),
                    Maybe(c.q3), FinalBest(c)});
  out += Columns(rows);
  if (r.pairs.empty()) return out;
  out.append("\n").append(text::En<Tx::ReportPairsTitle>()).append("\n");
  rows = {Header(Tx::ReportPairHeader)};
  for (const Pair& p : r.pairs)
    rows.push_back({p.field, p.settings.empty() ? "-" : p.settings, p.a, p.b, std::to_string(p.pairs),
                    std::to_string(p.aWins), std::to_string(p.bWins), std::to_string(p.ties), Fixed("%.3g", p.signP)});
  return out + Columns(rows);
}

std::string CellsCsv(const Report& r) {
  std::vector<std::vector<std::string>> rows{{"field", "method", "settings", "runs", "escaped", "rate", "rate_low",
                                              "rate_high", "escape_q1", "escape_median", "escape_q3",
                                              "final_mean_best"}};
  for (const Cell& c : r.cells)
    rows.push_back({c.field, c.method, c.settings, std::to_string(c.runs), std::to_string(c.escaped),
                    ShortestText(static_cast<double>(c.escaped) / c.runs), ShortestText(c.rate.lo),
                    ShortestText(c.rate.hi), Optional(c.q1), Optional(c.median), Optional(c.q3),
                    c.meanBest.empty() ? "" : ShortestText(c.meanBest.back())});
  return CsvRows(rows);
}

std::string PairsCsv(const Report& r) {
  std::vector<std::vector<std::string>> rows{
      {"field", "settings", "method_a", "method_b", "pairs", "a_wins", "b_wins", "ties", "sign_test_p"}};
  for (const Pair& p : r.pairs)
    rows.push_back({p.field, p.settings, p.a, p.b, std::to_string(p.pairs), std::to_string(p.aWins),
                    std::to_string(p.bWins), std::to_string(p.ties), ShortestText(p.signP)});
  return CsvRows(rows);
}

std::string FitnessCsv(const Report& r) {
  std::vector<std::vector<std::string>> rows{{"field", "method", "settings", "generation", "mean_best"}};
  for (const Cell& c : r.cells)
    for (std::size_t g = 0; g < c.meanBest.size(); ++g)
      rows.push_back({c.field, c.method, c.settings, std::to_string(g + 1), ShortestText(c.meanBest[g])});
  return CsvRows(rows);
}

CsvPaths CsvPathsFor(const std::string& cells) {
  const std::string stem = cells.ends_with(".csv") ? cells.substr(0, cells.size() - 4) : cells;
  return {cells, stem + ".pairs.csv", stem + ".fitness.csv"};
}

}  // namespace korvane::study
