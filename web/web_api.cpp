// What the page's worker calls: plain C functions over one session. Texts
// come back as UTF-8 in a buffer that stays valid until the next call.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <map>
#include <memory>

#include "ui_model/history_export.h"
#include "web/page_texts.h"
#include "web/web_session.h"

using namespace korvane;
using namespace korvane::web;

namespace {

std::unique_ptr<WebSession> g_session;
DrawList g_lists[2];  // the scene, the network panel
std::map<int, FieldInput> g_fields;
RunRecord g_built;  // a record put together by the page (korvane-cli's, for comparing)
std::string g_text;

const char* Text(std::string s) {
  g_text = std::move(s);
  return g_text.c_str();
}

std::string TextsJson(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (const std::string& t : texts) out += (out.size() > 1 ? "," : "") + JsonString(t);
  return out + "]";
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void kv_init(std::uint32_t starSeed) { g_session = std::make_unique<WebSession>(starSeed); }

EMSCRIPTEN_KEEPALIVE const char* kv_texts() { return Text(PageTextsJson(g_session->Settings())); }

// --- commands --------------------------------------------------------------

// kind: RunKind's order (0 GA, 1 StepByStep, 2 Training, 3 Heuristic, 4 Replay, 5 NetworkFlight).
EMSCRIPTEN_KEEPALIVE int kv_start(int kind) {
  if (kind < 0 || kind > static_cast<int>(RunKind::NetworkFlight)) return 0;
  return g_session->Start(static_cast<RunKind>(kind)) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void kv_stop() { g_session->Stop(); }
EMSCRIPTEN_KEEPALIVE void kv_continue() { g_session->Continue(); }
EMSCRIPTEN_KEEPALIVE void kv_showing(int pace, int paths, int network) {
  if (pace < 0 || pace > 2) pace = 0;
  g_session->SetShowing({static_cast<Pace>(pace), paths != 0, network != 0});
}
EMSCRIPTEN_KEEPALIVE void kv_next_seed(std::uint32_t seed) { g_session->SetNextSeed(seed); }
EMSCRIPTEN_KEEPALIVE void kv_rerun() { g_session->Rerun(); }
EMSCRIPTEN_KEEPALIVE void kv_level(int n) { g_session->LoadLevel(n); }

EMSCRIPTEN_KEEPALIVE void kv_field(int controlId, const char* text) { g_fields[controlId] = {text, false}; }
// Reads the fields given since the last call as one settings page; JSON
// {"ok", "id", "message", "fields"}.
EMSCRIPTEN_KEEPALIVE const char* kv_apply_settings(int page) {
  const PageReadResult r = g_session->ApplySettings(page, g_fields);
  g_fields.clear();
  return Text(std::string("{\"ok\":") + (r.ok ? "true" : "false") + ",\"id\":" + std::to_string(r.controlId) +
              ",\"message\":" + JsonString(r.message) + ",\"fields\":" + SettingsValuesJson(g_session->Settings()) +
              "}");
}

// --- flying by hand ----------------------------------------------------------

EMSCRIPTEN_KEEPALIVE void kv_manual() { g_session->StartManual(); }
EMSCRIPTEN_KEEPALIVE int kv_manual_flying() { return g_session->ManualFlying() ? 1 : 0; }
// ManualFlight::Tick's order: 0 stop the timer, 1 flying, 2 escaped, 3 crashed.
EMSCRIPTEN_KEEPALIVE int kv_manual_tick() { return static_cast<int>(g_session->ManualTick()); }
EMSCRIPTEN_KEEPALIVE void kv_arrow(int a) {
  if (a >= 0 && a <= 3) g_session->Arrow(static_cast<Arrow>(a));
}

// --- stepping, boxes, frames --------------------------------------------------

// -1: no run; -2: held at its pause; else step again after that many ms.
EMSCRIPTEN_KEEPALIVE int kv_step() {
  const Next n = g_session->Step();
  switch (n.kind) {
    case Next::Kind::Idle: return -1;
    case Next::Kind::Held: return -2;
    case Next::Kind::Wait: return n.waitMs;
    case Next::Kind::Now: break;
  }
  return 0;
}

// The next box's text, or null.
EMSCRIPTEN_KEEPALIVE const char* kv_take_box() {
  std::optional<std::string> box = g_session->TakeBox();
  return box ? Text(std::move(*box)) : nullptr;
}
EMSCRIPTEN_KEEPALIVE void kv_box_closed() { g_session->BoxClosed(); }

// Composes the frame; then kv_ops(list) and kv_ops_size(list) give list 0
// (the scene) or 1 (the network panel, empty when not shown) and
// kv_list_texts(list) its texts.
EMSCRIPTEN_KEEPALIVE void kv_compose() { g_session->Compose(g_lists[0], g_lists[1]); }
EMSCRIPTEN_KEEPALIVE const std::int32_t* kv_ops(int list) { return g_lists[list & 1].ops.data(); }
EMSCRIPTEN_KEEPALIVE int kv_ops_size(int list) { return static_cast<int>(g_lists[list & 1].ops.size()); }
EMSCRIPTEN_KEEPALIVE const char* kv_list_texts(int list) { return Text(TextsJson(g_lists[list & 1].texts)); }

// JSON {"status", "kind" (-1: none), "held", "manual", "generations" (the
// last run's, completed)}.
EMSCRIPTEN_KEEPALIVE const char* kv_state() {
  const std::optional<RunKind> kind = g_session->ActiveKind();
  return Text("{\"status\":" + JsonString(g_session->StatusText()) +
              ",\"kind\":" + std::to_string(kind ? static_cast<int>(*kind) : -1) + ",\"held\":" +
              (g_session->Held() ? "true" : "false") + ",\"manual\":" + (g_session->ManualFlying() ? "true" : "false") +
              ",\"generations\":" + std::to_string(g_session->Record().generations.size()) + "}");
}

// The last search's or training's history as the window exports it; empty
// when there is none.
EMSCRIPTEN_KEEPALIVE const char* kv_history_csv() { return Text(g_session->HistoryCsv()); }

// --- records: the last run's, and one the page builds ---------------------------

EMSCRIPTEN_KEEPALIVE const char* kv_record() { return Text(FormatRecord(g_session->Record())); }

// kind: RunRecord::Kind's order (1 search, 2 training, 3 network flight).
EMSCRIPTEN_KEEPALIVE void kv_rec_begin(int kind) {
  g_built = {};
  g_built.kind = static_cast<RunRecord::Kind>(kind);
}
EMSCRIPTEN_KEEPALIVE void kv_rec_generation(int g, double best, double average) {
  g_built.generations.push_back({g, best, average});
}
EMSCRIPTEN_KEEPALIVE void kv_rec_search(int escaped, int generation, int plan, double fitness) {
  g_built.escaped = escaped != 0;
  g_built.escapeGeneration = generation;
  g_built.escapePlan = plan;
  g_built.planFitness = fitness;
}
EMSCRIPTEN_KEEPALIVE void kv_rec_gene(int action, double duration) {
  g_built.actions.push_back(action);
  g_built.durations.push_back(duration);
}
EMSCRIPTEN_KEEPALIVE void kv_rec_training(double bestFitness) { g_built.bestFitness = bestFitness; }
EMSCRIPTEN_KEEPALIVE void kv_rec_weight(double w) { g_built.weights.push_back(w); }
EMSCRIPTEN_KEEPALIVE void kv_rec_flight(const char* outcome, int ticks, double x, double y, double vx, double vy) {
  g_built.outcome = outcome;
  g_built.ticks = ticks;
  g_built.x = x;
  g_built.y = y;
  g_built.vx = vx;
  g_built.vy = vy;
}
EMSCRIPTEN_KEEPALIVE void kv_rec_message(const char* text) { g_built.messages.push_back(text); }
EMSCRIPTEN_KEEPALIVE const char* kv_rec_text() { return Text(FormatRecord(g_built)); }

}  // extern "C"
