// The page's speed in headless Chromium against the native program:
// - a level-4 search generation in the page's worker against korvane-cli
//   flying the same search on one thread (the scalar path: plans have no
//   lanes), within 3 times;
// - the main thread's long tasks while a search runs under 观看, none over
//   50 ms (the Long Tasks API);
// - the site's size, at most 5 MB.
// Usage: node web_speed.js SITE_DIR KORVANE_CLI
'use strict';
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const { serveSite, launchChromium, openPage } = require('../tests/web/browser.js');

const [site, cli] = process.argv.slice(2).map((p) => path.resolve(p));
const Generations = 60;  // level 4 with seed 1: nothing escapes, every generation is whole
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

function nativeMsPerGeneration() {
  const args = ['ga', '--level', '4', '--seed', '1', '--threads', '1', '--quiet', '--set', `MaxGenerations=${Generations - 1}`];
  const devNull = fs.openSync('/dev/null', 'w');
  const runs = [];
  for (let i = 0; i < 5; ++i) {
    const t0 = process.hrtime.bigint();
    execFileSync(cli, args, { stdio: ['ignore', devNull, 'inherit'] });
    runs.push(Number(process.hrtime.bigint() - t0) / 1e6 / Generations);
  }
  return median(runs);
}

async function untilIdle(page) {
  for (;;) {
    if (await page.evaluate(() => !document.getElementById('box').hidden)) await page.keyboard.press('Enter');
    if (await page.evaluate(() => window.korvane.state && window.korvane.state.kind < 0)) return;
    await sleep(50);
  }
}

async function pageSearch(page, pace, seconds) {
  await page.$eval('#seed', (e) => (e.value = '1'));
  await page.click('#setSeed');
  await page.click(`#pace${pace}`);
  await page.evaluate(() => {
    window.korvane.stepMs.length = 0;
    window.korvane.longTasks.length = 0;
  });
  await page.click('#startGa');
  if (seconds) {
    await sleep(seconds * 1000);
    await page.click('#stop');
  }
  await untilIdle(page);
  return page.evaluate(() => ({ steps: [...window.korvane.stepMs], longTasks: [...window.korvane.longTasks] }));
}

(async () => {
  const bytes = fs.readdirSync(site).reduce((s, f) => s + fs.statSync(path.join(site, f)).size, 0);
  const server = await serveSite(site);
  const browser = await launchChromium();
  let ok = true;
  try {
    const { page } = await openPage(browser, server.url);
    await page.select('#level', '4');
    await page.evaluate((g) => (document.querySelector('[data-name="MaxGenerations"]').value = String(g - 1)), Generations);
    await page.$eval('#apply0', (b) => b.click());
    const fastest = await pageSearch(page, 0);
    // Under 最快 a step is a whole generation; the first warms the engine up.
    const pageMs = median(fastest.steps.slice(1));
    const nativeMs = nativeMsPerGeneration();
    const ratio = pageMs / nativeMs;
    console.log(`level-4 search generation: page ${pageMs.toFixed(2)} ms, native one thread ${nativeMs.toFixed(2)} ms, ` +
                `${ratio.toFixed(2)}x (at most 3x)`);
    ok = ok && ratio <= 3;
    await page.click('#showPaths');
    const watch = await pageSearch(page, 1, 20);
    const longest = Math.max(0, ...watch.longTasks);
    console.log(`main thread under 观看 with paths, 20 s: ${watch.longTasks.length} long tasks, the longest ` +
                `${longest.toFixed(0)} ms (none over 50 ms)`);
    ok = ok && longest <= 50;
  } finally {
    await browser.close();
    server.stop();
  }
  console.log(`site: ${(bytes / 1024).toFixed(0)} KiB (at most 5 MiB)`);
  ok = ok && bytes <= 5 * 1024 * 1024;
  process.exit(ok ? 0 : 1);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
