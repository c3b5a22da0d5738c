// The WebAssembly module's functions as the worker and the tests use them
// (web/web_api.cpp says what each does). Plain script: the worker loads it
// with importScripts, node with require.
'use strict';

// Run kinds, in the engine's order.
const RunKinds = { ga: 0, stepByStep: 1, training: 2, heuristic: 3, replay: 4, networkFlight: 5 };

function KorvaneApi(mod) {
  const text = (ptr) => (ptr ? mod.UTF8ToString(ptr) : null);
  const withString = (s, fn) => {
    const size = mod.lengthBytesUTF8(s) + 1;
    const ptr = mod._malloc(size);
    mod.stringToUTF8(s, ptr, size);
    try {
      return fn(ptr);
    } finally {
      mod._free(ptr);
    }
  };
  const api = {
    init: (starSeed) => mod._kv_init(starSeed >>> 0),
    texts: () => JSON.parse(text(mod._kv_texts())),
    start: (kind) => mod._kv_start(kind) === 1,
    stop: () => mod._kv_stop(),
    continueRun: () => mod._kv_continue(),
    showing: (pace, paths, network) => mod._kv_showing(pace, paths ? 1 : 0, network ? 1 : 0),
    nextSeed: (seed) => mod._kv_next_seed(seed >>> 0),
    rerun: () => mod._kv_rerun(),
    level: (n) => mod._kv_level(n),
    // values: {controlId: text} of one page; the result says what was refused.
    applySettings(page, values) {
      for (const [id, value] of Object.entries(values)) withString(String(value), (p) => mod._kv_field(Number(id), p));
      return JSON.parse(text(mod._kv_apply_settings(page)));
    },
    manual: () => mod._kv_manual(),
    manualFlying: () => mod._kv_manual_flying() === 1,
    manualTick: () => mod._kv_manual_tick(),
    arrow: (a) => mod._kv_arrow(a),
    step: () => mod._kv_step(),
    takeBox: () => text(mod._kv_take_box()),
    boxClosed: () => mod._kv_box_closed(),
    compose: () => mod._kv_compose(),
    // A view of list 0 (the scene) or 1 (the network panel), valid until the
    // next call into the module.
    ops: (list) => new Int32Array(mod.HEAP32.buffer, mod._kv_ops(list), mod._kv_ops_size(list)),
    listTexts: (list) => JSON.parse(text(mod._kv_list_texts(list))),
    state: () => JSON.parse(text(mod._kv_state())),
    historyCsv: () => text(mod._kv_history_csv()),
    record: () => text(mod._kv_record()),
    // korvane-cli's printed object for `ga`, `train` or `fly-net`, written by
    // the formatter that writes the page's own record.
    formatCli(command, cli) {
      const kind = { ga: 1, train: 2, 'fly-net': 3 }[command];
      mod._kv_rec_begin(kind);
      for (const g of cli.generations || []) mod._kv_rec_generation(g.generation, g.best, g.average);
      if (command === 'ga') {
        const escaped = cli.escaped ? 1 : 0;
        mod._kv_rec_search(escaped, cli.escape_generation ?? -1, cli.escape_plan ?? -1, cli.best_plan.fitness);
        cli.best_plan.actions.forEach((a, i) => mod._kv_rec_gene(a, cli.best_plan.durations[i]));
      } else if (command === 'train') {
        mod._kv_rec_training(cli.best_fitness);
        for (const w of cli.weights) mod._kv_rec_weight(w);
      } else {
        withString(cli.outcome, (p) => mod._kv_rec_flight(p, cli.ticks, cli.x, cli.y, cli.vx, cli.vy));
      }
      for (const m of cli.messages || []) withString(m, (p) => mod._kv_rec_message(p));
      return text(mod._kv_rec_text());
    },
  };
  return api;
}

if (typeof module !== 'undefined') module.exports = { KorvaneApi, RunKinds };
