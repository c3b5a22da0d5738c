#include "study/report.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>

#include "study/grid.h"
#include "study/numbers.h"
#include "texts/study_texts.h"

namespace korvane::study {
namespace {

using Varied = std::vector<std::pair<std::string, std::string>>;

// "|vary:A=1|vary:B=2" as its settings.
Varied SplitVaried(std::string_view text) {
  Varied out;
  constexpr std::string_view kMark = "|vary:";
  while (text.starts_with(kMark)) {
    text.remove_prefix(kMark.size());
    const std::string_view item = text.substr(0, text.find(kMark));
    text.remove_prefix(item.size());
    const auto eq = item.find('=');
    out.emplace_back(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)));
  }
  return out;
}

std::string ValueText(const Json& v) {
  return v.is_number_integer() ? std::to_string(v.get<long long>()) : ShortestText(v.get<double>());
}

// A run with what it is sorted and grouped by.
struct Sorted {
  const RunRecord* run;
  std::tuple<int, int, std::string, int> field;        // levels first, then maps
  std::vector<std::pair<std::string, double>> values;  // the varied settings, by number
  Varied varied;
  std::string method;
  std::string group;  // field and varied settings: the runs that pair up
  std::string cell;

  auto Order() const { return std::tie(field, values, method, run->seed); }
};

Sorted SortKey(const RunRecord& r) {
  // A map named by its contents sorts by them: the runs of one cell may
  // spell its file in several ways.
  const std::tuple<int, int, std::string, int> field =
      r.mapFnv ? std::tuple(1, 0, FnvText(*r.mapFnv), 0) : std::tuple(r.level ? 0 : 1, r.level, r.map, r.mapIndex);
  Sorted s{&r, field, {}, SplitVaried(*r.Varied()), r.MethodName(), {}, {}};
  for (const auto& [name, value] : s.varied) s.values.emplace_back(name, std::strtod(value.c_str(), nullptr));
  s.group = r.FieldKey() + std::string(*r.Varied());
  s.cell = std::string(CellOfKey(r.key));
  return s;
}

std::string Label(const RunRecord& r) { return Field{r.level, r.map, r.mapIndex, r.mapFnv}.Label(); }

Cell MakeCell(std::span<const Sorted> runs, const Report& report) {
  const RunRecord& first = *runs.front().run;
  const Varied& varied = runs.front().varied;
  Cell c;
  c.field = Label(first);
  c.method = runs.front().method;
  for (const auto& [name, value] : varied) c.settings += (c.settings.empty() ? "" : " ") + name + "=" + value;
  for (const auto& [name, value] : first.settings.items()) {
    const bool shown =
        std::any_of(varied.begin(), varied.end(), [&](auto& v) { return v.first == name; }) ||
        std::any_of(report.common.begin(), report.common.end(), [&](auto& v) { return v.first == name; });
    if (!shown) c.settings += (c.settings.empty() ? "" : " ") + name + "=" + ValueText(value);
  }
  std::vector<double> sums;
  std::vector<int> counts;
  const RunRecord* network = nullptr;  // the first run that names its network
  for (const Sorted& s : runs) {
    const RunRecord& r = *s.run;
    if (r.settings != first.settings) throw InputError{text::En<Tx::CellSettingsDiffer>(r.key, CellOfKey(first.key))};
    if (r.weightsFnv && network && *r.weightsFnv != *network->weightsFnv)
      throw InputError{
          text::En<Tx::CellNetworksDiffer>(network->key, FnvText(*network->weightsFnv), r.key, FnvText(*r.weightsFnv))};
    if (r.weightsFnv && !network) network = &r;
    ++c.runs;
    if (r.escaped) {
      ++c.escaped;
      c.escapeGenerations.push_back(*r.escapeGeneration);
    }
    if (r.generations.size() > sums.size()) {
      sums.resize(r.generations.size(), 0.0);
      counts.resize(r.generations.size(), 0);
    }
  }
  // Runs in seed order, so that the sums are the same whatever the lines' order.
  for (const Sorted& s : runs) {
    const auto& g = s.run->generations;
    for (std::size_t i = 0; i < sums.size() && !g.empty(); ++i) {
      sums[i] += g[std::min(i, g.size() - 1)].best;
      ++counts[i];
    }
  }
  for (std::size_t i = 0; i < sums.size(); ++i) c.meanBest.push_back(sums[i] / counts[i]);
  c.rate = WilsonInterval(c.escaped, c.runs);
  std::sort(c.escapeGenerations.begin(), c.escapeGenerations.end());
  if (!c.escapeGenerations.empty()) {
    c.q1 = Quantile(c.escapeGenerations, 0.25);
    c.median = Quantile(c.escapeGenerations, 0.5);
    c.q3 = Quantile(c.escapeGenerations, 0.75);
  }
  return c;
}

// Who wins a pair of runs on one seed: 1 a, -1 b, 0 a tie.
int Compare(const RunRecord& a, const RunRecord& b) {
  if (a.escaped != b.escaped) return a.escaped ? 1 : -1;
  if (!a.escaped || *a.escapeGeneration == *b.escapeGeneration) return 0;
  return *a.escapeGeneration < *b.escapeGeneration ? 1 : -1;
}

Pair MakePair(const Cell& ca, std::span<const Sorted> a, const Cell& cb, std::span<const Sorted> b) {
  Pair p{ca.field, ca.settings, ca.method, cb.method};
  std::map<std::uint32_t, const RunRecord*> bySeed;
  for (const Sorted& s : b) bySeed[s.run->seed] = s.run;
  for (const Sorted& s : a) {
    const auto other = bySeed.find(s.run->seed);
    if (other == bySeed.end()) continue;
    ++p.pairs;
    const int w = Compare(*s.run, *other->second);
    (w > 0 ? p.aWins : w < 0 ? p.bWins : p.ties)++;
  }
  p.signP = SignTestP(p.aWins, p.bWins);
  return p;
}

std::vector<std::pair<std::string, std::string>> CommonSettings(const std::vector<Sorted>& runs) {
  std::vector<std::pair<std::string, std::string>> common;
  if (runs.empty()) return common;
  for (const auto& [name, value] : runs.front().run->settings.items()) {
    const bool everywhere = std::all_of(runs.begin(), runs.end(), [&](const Sorted& s) {
      const Json& set = s.run->settings;
      const bool varied = std::any_of(s.varied.begin(), s.varied.end(), [&](auto& v) { return v.first == name; });
      return !varied && set.contains(name) && set[name] == value;
    });
    if (everywhere) common.emplace_back(name, ValueText(value));
  }
  return common;
}

}  // namespace

std::vector<RunRecord> MergeRuns(const std::vector<std::pair<std::string, RunsFile>>& files) {
  std::map<std::string, std::pair<const RunRecord*, const std::string*>> byKey;
  std::vector<RunRecord> runs;
  for (const auto& [path, file] : files)
    for (const RunRecord& r : file.runs) {
      const auto [at, added] = byKey.try_emplace(r.key, &r, &path);
      if (added) {
        runs.push_back(r);
        continue;
      }
      RunRecord x = r, y = *at->second.first;
      x.seconds = y.seconds = 0;
      // A map named by its contents may be spelled otherwise in each file.
      if (x.mapFnv) x.map = y.map, x.mapIndex = y.mapIndex;
      if (FormatRunLine(x) != FormatRunLine(y))
        throw InputError{text::En<Tx::RunsDisagree>(r.key, *at->second.second, path)};
    }
  return runs;
}

Report BuildReport(std::vector<RunRecord> runs) {
  std::vector<Sorted> sorted;
  for (const RunRecord& r : runs) sorted.push_back(SortKey(r));
  std::sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) { return a.Order() < b.Order(); });
  Report report;
  report.runs = static_cast<int>(runs.size());
  report.common = CommonSettings(sorted);
  // Cells, each a stretch of sorted runs; a group's cells follow each other.
  std::vector<std::span<const Sorted>> spans;
  for (std::size_t i = 0, j = 0; i < sorted.size(); i = j) {
    while (j < sorted.size() && sorted[j].cell == sorted[i].cell) ++j;
    spans.emplace_back(sorted.data() + i, j - i);
    report.cells.push_back(MakeCell(spans.back(), report));
  }
  for (std::size_t i = 0; i < spans.size(); ++i)
    for (std::size_t j = i + 1; j < spans.size() && spans[j].front().group == spans[i].front().group; ++j)
      report.pairs.push_back(MakePair(report.cells[i], spans[i], report.cells[j], spans[j]));
  return report;
}

}  // namespace korvane::study
