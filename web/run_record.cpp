#include "web/run_record.h"

#include <cstdio>

namespace korvane::web {
namespace {

class Lines {
 public:
  void Add(const char* name, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    Add(name, buf);
  }
  void Add(const char* name, int v) { Add(name, std::to_string(v)); }
  void Add(const char* name, const std::string& text) { m_out += std::string(name) + " " + text + "\n"; }
  std::string Text() && { return std::move(m_out); }

 private:
  std::string m_out;
};

}  // namespace

std::string FormatRecord(const RunRecord& r) {
  Lines out;
  if (r.kind == RunRecord::Kind::NetworkFlight) {
    out.Add("outcome", r.outcome);
    out.Add("ticks", r.ticks);
    out.Add("x", r.x);
    out.Add("y", r.y);
    out.Add("vx", r.vx);
    out.Add("vy", r.vy);
    return std::move(out).Text();
  }
  for (const RecordGeneration& g : r.generations) {
    out.Add("generation", g.generation);
    out.Add("best", g.best);
    out.Add("average", g.average);
  }
  if (r.kind == RunRecord::Kind::Search) {
    out.Add("escaped", r.escaped ? 1 : 0);
    out.Add("escape_generation", r.escapeGeneration);
    out.Add("escape_plan", r.escapePlan);
    for (int a : r.actions) out.Add("action", a);
    for (double d : r.durations) out.Add("duration", d);
    out.Add("fitness", r.planFitness);
  } else if (r.kind == RunRecord::Kind::Training) {
    out.Add("best_fitness", r.bestFitness);
    for (double w : r.weights) out.Add("weight", w);
  }
  for (const std::string& m : r.messages) out.Add("message", m);
  return std::move(out).Text();
}

}  // namespace korvane::web
