// Headless Debian chromium and the site served as any static host would
// serve it, for the browser test and the page's benchmark.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

function chromiumPath() {
  const candidates = [process.env.CHROMIUM, '/usr/lib/chromium/chromium', '/usr/bin/chromium'];
  const found = candidates.find((p) => p && fs.existsSync(p));
  if (!found) throw new Error('chromium not found (scripts/install-deps.sh installs it)');
  return found;
}

// python3 -m http.server on 127.0.0.1 and a free port.
function serveSite(site) {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', site], {
      stdio: ['ignore', 'pipe', 'pipe'],
    });
    let seen = '';
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const m = /port (\d+)/.exec(seen);
      if (m) resolve({ url: `http://127.0.0.1:${m[1]}/`, stop: () => server.kill() });
    });
    server.on('exit', (code) => reject(new Error(`http.server exited (${code}): ${seen}`)));
  });
}

async function launchChromium() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'korvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromiumPath(),
    headless: true,
    userDataDir: profile,
    // CI runs as root: no sandbox. Nothing reaches out of the machine.
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--lang=zh-CN'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Opens the page and waits until the engine is ready, the greeting closed.
async function openPage(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1260, height: 760 });
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  await page.goto(url);
  await page.waitForFunction(() => window.korvane && window.korvane.ready);
  await page.keyboard.press('Enter');
  return { page, errors };
}

module.exports = { serveSite, launchChromium, openPage };
