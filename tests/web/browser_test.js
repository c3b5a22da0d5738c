// The page in headless Chromium, as a class would use it: one list of
// checks, run in order, each reported. Screenshots go to SHOTS_DIR.
// Usage: node browser_test.js SITE_DIR KORVANE_CLI SHOTS_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const { serveSite, launchChromium, openPage } = require('./browser.js');
const { cliRecord, difference } = require('./korvane_cli.js');

const [site, cli, shots] = process.argv.slice(2).map((p) => path.resolve(p));
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const MaxSiteBytes = 5 * 1024 * 1024;

let page;
const state = () => page.evaluate(() => window.korvane.state);
const boxText = () =>
  page.evaluate(() => (document.getElementById('box').hidden ? null : document.querySelector('#box p').textContent));
const records = () => page.evaluate(() => window.korvane.records.length);

// Waits for fn() in the page, closing the boxes that hold a run meanwhile.
async function until(fn, arg, { timeout = 600000, closeBoxes = true } = {}) {
  const end = Date.now() + timeout;
  while (!(await page.evaluate(fn, arg))) {
    if (closeBoxes && (await boxText()) !== null) await page.keyboard.press('Enter');
    if (Date.now() > end) throw new Error(`timed out waiting for ${fn}`);
    await sleep(40);
  }
}

async function shot(name) {
  await page.screenshot({ path: path.join(shots, `${name}.png`), clip: { x: 0, y: 0, width: 1260, height: 640 } });
}

async function setSeed(seed) {
  await page.$eval('#seed', (e, v) => (e.value = v), String(seed));
  await page.click('#setSeed');
}

async function setShowing({ pace, paths = false, network = false }) {
  await page.click(`#pace${pace}`);
  for (const [id, on] of [['#showPaths', paths], ['#showNetwork', network]])
    if ((await page.$eval(id, (e) => e.checked)) !== on) await page.click(id);
}

// Types values into the settings fields by their names and applies the page.
async function settings(values, page1) {
  await page.evaluate((v) => {
    for (const [name, value] of Object.entries(v)) document.querySelector(`[data-name="${name}"]`).value = value;
  }, values);
  await page.$eval(`#apply${page1}`, (b) => b.click());
}

// The run started by `button` is let run to its end; its record must be
// korvane-cli's for the case.
async function sameAsCli(c, finish) {
  const before = await records();
  await finish();
  await until((n) => window.korvane.records.length > n, before);
  const pageRecord = await page.evaluate(() => window.korvane.records[window.korvane.records.length - 1]);
  const cliText = await cliRecord(cli, c, (command, out) =>
    page.evaluate((cmd, o) => window.korvane.format(cmd, o), command, out));
  const diff = difference(pageRecord, cliText);
  if (diff) throw new Error(`differs from korvane-cli at ${diff}`);
  return pageRecord.split('\n').length - 1;
}

const checks = [
  ['the site is static files of at most 5 MB, pictures included', async () => {
    const bytes = fs.readdirSync(site).reduce((s, f) => s + fs.statSync(path.join(site, f)).size, 0);
    if (bytes > MaxSiteBytes) throw new Error(`${bytes} bytes`);
    return `${(bytes / 1024).toFixed(0)} KiB`;
  }],
  ['the page speaks the program\'s Chinese', async () => {
    const title = await page.title();
    if (!title.startsWith('基于GA－ANN－GA系统')) throw new Error(`title "${title}"`);
    const start = await page.$eval('#startGa', (b) => b.textContent);
    if (start !== '开始遗传算法') throw new Error(`button "${start}"`);
  }],
  ['level 2 flown by hand with the arrow keys until a crash', async () => {
    const t = await page.evaluate(() => window.korvane.texts);
    await page.select('#level', '2');
    await page.click('#manual');
    if ((await boxText()) === null) await until(() => !document.getElementById('box').hidden, null, { closeBoxes: false });
    if ((await boxText()) !== t.manualStart) throw new Error(`start box "${await boxText()}"`);
    await page.keyboard.press('Enter');
    await until(() => window.korvane.state.manual, null, { closeBoxes: false });
    let presses = 0;
    while ((await boxText()) === null && presses < 1500) {
      await page.keyboard.press(presses % 3 === 2 ? 'ArrowUp' : 'ArrowRight');
      if (++presses === 25) await shot('manual');
      await sleep(25);
    }
    const end = await boxText();
    if (end !== t.manualCrashed) throw new Error(`ended with "${end}" after ${presses} keys`);
    await page.keyboard.press('Enter');
    return `${presses} keys`;
  }],
  // The searches below fly the default settings: a refused page changes nothing.
  ['settings are refused in the settings sheet\'s words', async () => {
    for (const [values, says] of [[{ PopulationSize: 'abc' }, '请键入一个整数。'],
                                  [{ PopulationSize: '7', EliteCount: '2' }, '人口数目减去精英数目必须是偶数。']]) {
      await settings(values, 0);
      await until(() => !document.getElementById('box').hidden, null, { closeBoxes: false });
      if ((await boxText()) !== says) throw new Error(`box "${await boxText()}"`);
      await page.keyboard.press('Enter');
    }
  }],
  ['plain search, level 2, seed 7: 观看 with paths and chart, then 最快; the same numbers as korvane-cli', async () => {
    await setSeed(7);
    await until(() => window.korvane.state.status.includes('7'), null, { closeBoxes: false });
    await setShowing({ pace: 1, paths: true });
    await page.click('#startGa');
    await until(() => window.korvane.state.generations >= 2);
    await sleep(1500);
    await shot('search-watch');
    const values = await sameAsCli({ command: 'ga', level: 2, seed: 7 }, () => setShowing({ pace: 0, paths: true }));
    await until(() => document.getElementById('box').hidden && window.korvane.state.kind < 0);
    await shot('search-end');
    return `${values} values`;
  }],
  ['heuristic search, level 2, seed 7: 单步, 观看 with the network, 最快; the same numbers as korvane-cli', async () => {
    await setSeed(7);
    await setShowing({ pace: 2, paths: true, network: true });
    await page.click('#startHeuristic');
    await until(() => window.korvane.state.held && window.korvane.state.generations === 1);
    await page.click('#continue');
    await until(() => window.korvane.state.held && window.korvane.state.generations === 2);
    await shot('heuristic-step');
    await setShowing({ pace: 1, paths: true, network: true });
    await page.click('#continue');
    await until(() => window.korvane.state.generations >= 3);
    await sleep(1500);
    await shot('heuristic-watch');
    const values = await sameAsCli({ command: 'ga', heuristic: true, level: 2, seed: 7 }, async () => {
      await setShowing({ pace: 0, network: true });
    });
    return `${values} values`;
  }],
  ['a short training, seed 7, with its charts; the same numbers as korvane-cli', async () => {
    await settings({ TrainingGenerations: '3', NetPopulationSize: '40' }, 1);
    await setSeed(7);
    await setShowing({ pace: 1 });
    await page.click('#train');
    await until(() => window.korvane.state.generations >= 1);
    await sleep(1000);
    await shot('training-watch');
    const c = { command: 'train', seed: 7, set: { TrainingGenerations: '3', NetPopulationSize: '40' } };
    const values = await sameAsCli(c, () => setShowing({ pace: 0 }));
    await until(() => document.getElementById('box').hidden && window.korvane.state.kind < 0);
    await shot('training-end');
    return `${values} values`;
  }],
  ['the network flies level 3 with its panel, and Esc stops it', async () => {
    await page.select('#level', '3');
    await setShowing({ pace: 0, network: true });
    await page.click('#showTraining');
    await sleep(2500);
    await shot('network-flight');
    const before = await records();
    await page.keyboard.press('Escape');
    await until((n) => window.korvane.records.length > n && window.korvane.state.kind < 0, before, { timeout: 5000 });
    const rec = await page.evaluate(() => window.korvane.records[window.korvane.records.length - 1]);
    if (!rec.startsWith('outcome stopped')) throw new Error(`record "${rec.split('\n')[0]}"`);
  }],
  ['停止 stops a search at once and keeps its best plan', async () => {
    await page.select('#level', '4');
    await setSeed(3);
    await page.click('#startGa');
    await until(() => window.korvane.state.generations >= 3);
    const before = await records();
    await page.click('#stop');
    await until((n) => window.korvane.records.length > n, before, { timeout: 10000, closeBoxes: false });
    const rec = await page.evaluate(() => window.korvane.records[window.korvane.records.length - 1]);
    if (!rec.includes('message 搜索已停止')) throw new Error('no stop box in the record');
    const gens = rec.split('\n').filter((l) => l.startsWith('generation ')).length;
    if (gens >= 201) throw new Error('ran to the end');
    await until(() => document.getElementById('box').hidden && window.korvane.state.kind < 0);
    return `after ${gens} generations`;
  }],
];

(async () => {
  fs.mkdirSync(shots, { recursive: true });
  const server = await serveSite(site);
  const browser = await launchChromium();
  let failed = 0;
  try {
    const opened = await openPage(browser, server.url);
    page = opened.page;
    for (const [name, run] of checks) {
      const t0 = Date.now();
      try {
        const note = await run();
        console.log(`ok      ${name}${note ? ` (${note})` : ''}, ${((Date.now() - t0) / 1000).toFixed(1)} s`);
      } catch (e) {
        failed++;
        console.log(`FAILED  ${name}: ${e.message}`);
      }
    }
    if (opened.errors.length) {
      failed++;
      console.log(`FAILED  the page reported errors: ${opened.errors.join('; ')}`);
    }
  } finally {
    await browser.close();
    server.stop();
  }
  console.log(failed ? `${failed} of ${checks.length} checks failed` : `all ${checks.length} checks passed`);
  process.exit(failed ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
