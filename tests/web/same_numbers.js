// The page's engine, run headless under node, against korvane-cli: each case
// of cases.json is run as the page runs it (settings typed into its fields,
// the seed set, the level loaded, the run stepped to its end with every box
// closed), and its record must equal the CLI's, value for value.
// Usage: node same_numbers.js SITE_DIR KORVANE_CLI
'use strict';
const fs = require('fs');
const path = require('path');
const { cliRecord, describe, difference } = require('./korvane_cli.js');

const [site, cli] = process.argv.slice(2).map((p) => path.resolve(p));
const createKorvane = require(path.join(site, 'korvane.js'));
const { KorvaneApi, RunKinds } = require(path.join(site, 'api.js'));
const cases = require('./cases.json');

function kindOf(c) {
  if (c.command === 'train') return RunKinds.training;
  if (c.command === 'fly-net') return RunKinds.networkFlight;
  return c.heuristic ? RunKinds.heuristic : RunKinds.ga;
}

// Types the case's settings into the page's fields, page by page.
function applySettings(api, set) {
  const fields = api.texts().fields;
  const pages = new Map();
  for (const [name, value] of Object.entries(set || {})) {
    const f = fields.find((x) => x.name === name);
    if (!f) throw new Error(`the page has no field for ${name}`);
    if (!pages.has(f.page)) pages.set(f.page, {});
    pages.get(f.page)[f.id] = value;
  }
  for (const [page, values] of pages) {
    const r = api.applySettings(page, values);
    if (!r.ok) throw new Error(`the page refused ${JSON.stringify(values)}: ${r.message}`);
  }
}

function pageRecord(api, c) {
  api.init(1);  // a fresh session: default settings, built-in weights
  applySettings(api, c.set);
  if (c.seed !== undefined) api.nextSeed(c.seed);
  if (c.level) api.level(c.level);
  if (!api.start(kindOf(c))) throw new Error(`the page refused to start: ${api.takeBox()}`);
  const closeBoxes = () => {
    while (api.takeBox() !== null) api.boxClosed();
  };
  while (api.step() !== -1) closeBoxes();
  closeBoxes();
  return api.record();
}

(async () => {
  const mod = await createKorvane({ wasmBinary: fs.readFileSync(path.join(site, 'korvane.wasm')) });
  const api = KorvaneApi(mod);
  let failed = 0;
  for (const c of cases) {
    const t0 = Date.now();
    const page = pageRecord(api, c);
    const ms = Date.now() - t0;
    const diff = difference(page, await cliRecord(cli, c, api.formatCli));
    const lines = page.split('\n').length - 1;
    console.log(`${diff ? 'DIFFERS' : 'same   '} ${describe(c).join(' ')} (${lines} values, ${ms} ms)${diff ? ': ' + diff : ''}`);
    if (diff) failed++;
  }
  console.log(failed ? `${failed} of ${cases.length} cases differ` : `all ${cases.length} cases give the same numbers`);
  process.exit(failed ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
