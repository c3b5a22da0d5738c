// The page's main thread: controls built from the program's texts, the
// boxes, the keys. Everything that computes or paints runs in worker.js, so
// this thread never waits on a generation.
'use strict';

const Kind = { ga: 0, stepByStep: 1, training: 2, heuristic: 3, replay: 4, networkFlight: 5 };
const Arrows = { ArrowUp: 0, ArrowDown: 1, ArrowLeft: 2, ArrowRight: 3 };

const scene = document.getElementById('scene');
const panel = document.getElementById('panel');
const worker = new Worker('worker.js');
const send = (type, more = {}) => worker.postMessage({ type, ...more });

// What the tests read: the boxes shown, the runs' records, the state, the
// main thread's long tasks.
const observed = { boxes: [], records: [], state: null, longTasks: [], stepMs: [], formatted: new Map() };
window.korvane = observed;
if (typeof PerformanceObserver !== 'undefined' && PerformanceObserver.supportedEntryTypes?.includes('longtask'))
  new PerformanceObserver((list) => list.getEntries().forEach((e) => observed.longTasks.push(e.duration))).observe({
    type: 'longtask',
    buffered: true,
  });
let formatId = 0;
// korvane-cli's object for `ga`, `train` or `fly-net`, by the page's formatter.
observed.format = (command, cli) =>
  new Promise((resolve) => {
    const id = ++formatId;
    observed.formatted.set(id, resolve);
    send('formatCli', { id, command, cli });
  });

let texts = null;
const showing = { pace: 0, paths: false, network: false };

function el(tag, attrs = {}, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) {
    if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
    else e.setAttribute(k, v);
  }
  e.append(...children);
  return e;
}

function button(id, label, onclick) {
  return el('button', { id, type: 'button', onclick }, label);
}

function group(title, ...items) {
  return el('fieldset', {}, el('legend', {}, title), ...items);
}

function sendShowing() {
  panel.hidden = !showing.network;
  send('showing', showing);
}

function buildMenu(t) {
  const levels = el('select', { id: 'level', onchange: (e) => send('level', { n: Number(e.target.value) }) });
  t.levels.forEach((name, i) => levels.append(el('option', { value: String(i + 1) }, name)));
  const paces = el('span', { id: 'paces' });
  t.paces.forEach((name, i) => {
    const input = el('input', { type: 'radio', name: 'pace', id: `pace${i}`, value: String(i) });
    input.checked = i === 0;
    input.addEventListener('change', () => {
      showing.pace = i;
      sendShowing();
    });
    paces.append(el('label', {}, input, name));
  });
  const check = (id, label, key) => {
    const input = el('input', { type: 'checkbox', id });
    input.addEventListener('change', () => {
      showing[key] = input.checked;
      sendShowing();
    });
    return el('label', {}, input, label);
  };
  const seed = el('input', { id: 'seed', type: 'number', min: '0', max: '4294967295', title: t.seedLabel });
  const menu = document.getElementById('menu');
  menu.replaceChildren(
    group(t.manual, button('manual', t.manual, () => send('manual'))),
    group(t.loadLevel, levels),
    group(t.ga, button('startGa', t.startGa, () => send('start', { kind: Kind.ga })),
          button('stepByStep', t.stepByStep, () => send('start', { kind: Kind.stepByStep })),
          button('showResult', t.showResult, () => send('start', { kind: Kind.replay }))),
    group(t.heuristic, button('startHeuristic', t.startHeuristic, () => send('start', { kind: Kind.heuristic }))),
    group(t.network, button('train', t.train, () => send('start', { kind: Kind.training })),
          button('showTraining', t.showTraining, () => send('start', { kind: Kind.networkFlight }))),
    group(t.runControl, button('stop', t.stop, () => send('stop')), paces,
          button('continue', t.continue[0], () => send('continueRun')),
          check('showPaths', t.showPaths, 'paths'), check('showNetwork', t.showNetwork, 'network'),
          el('label', {}, t.seedLabel, seed),
          button('setSeed', t.setSeed, () => {
            const v = Number(seed.value);
            if (seed.value !== '' && Number.isInteger(v) && v >= 0 && v <= 4294967295) send('seed', { seed: v });
          }),
          button('rerun', t.rerun, () => send('rerun')),
          button('exportHistory', t.exportHistory, () => send('csv'))),
  );
}

function buildSettings(t) {
  const form = document.getElementById('settings');
  const pages = new Map();
  for (const f of t.fields) {
    if (!pages.has(f.page)) pages.set(f.page, []);
    pages.get(f.page).push(f);
  }
  const sheets = [];
  for (const [page, fields] of pages) {
    const inputs = fields.map((f) => el('input', { id: `field${page}_${f.id}`, value: f.value, 'data-name': f.name }));
    sheets.push(
      group(t.pages[page], ...fields.map((f, i) => el('label', {}, f.label, inputs[i])),
            button(`apply${page}`, t.ok, () => {
              const values = {};
              fields.forEach((f, i) => (values[f.id] = inputs[i].value));
              send('settings', { page, values });
            })),
    );
  }
  form.replaceChildren(el('summary', {}, t.settings), ...sheets);
}

// Boxes one at a time, as modal as the window's: the worker's (it holds
// its run until each is closed) and the page's own.
const boxes = [];

function showFirstBox() {
  const box = document.getElementById('box');
  box.hidden = boxes.length === 0;
  if (box.hidden) return;
  box.querySelector('p').textContent = boxes[0].text;
  box.querySelector('button').focus();
}

function showBox(text, fromWorker = false) {
  if (fromWorker) observed.boxes.push(text);
  boxes.push({ text, fromWorker });
  if (boxes.length === 1) showFirstBox();
}

function closeBox() {
  const closed = boxes.shift();
  if (closed?.fromWorker) send('boxClosed');
  showFirstBox();
}

function showState(s) {
  observed.state = s;
  document.getElementById('status').textContent = s.status;
  const cont = document.getElementById('continue');
  cont.disabled = !s.held;
  cont.textContent = texts.continue[s.kind === Kind.training ? 1 : s.kind === Kind.heuristic ? 2 : 0];
}

function download(name, text) {
  const a = el('a', { href: URL.createObjectURL(new Blob([text], { type: 'text/csv' })), download: name });
  a.click();
  URL.revokeObjectURL(a.href);
}

const received = {
  ready: (m) => {
    texts = m.texts;
    observed.texts = texts;
    document.title = texts.title;
    document.getElementById('title').textContent = texts.title;
    document.getElementById('box').querySelector('button').textContent = texts.ok;
    buildMenu(texts);
    buildSettings(texts);
    showBox(texts.introduction);  // as the window greets
    observed.ready = true;
  },
  box: (m) => showBox(m.text, true),
  state: (m) => showState(m.state),
  stepped: (m) => observed.stepMs.push(m.ms),
  ended: (m) => observed.records.push(m.record),
  settings: (m) => {
    // Accepted values are shown as the program reads them; a refusal leaves
    // the typed text to correct.
    if (!m.result.ok) showBox(m.result.message);
    else for (const f of m.result.fields) document.getElementById(`field${f.page}_${f.id}`).value = f.value;
  },
  csv: (m) => (m.text ? download('history.csv', m.text) : showBox(texts.nothingToExport)),
  formatted: (m) => {
    observed.formatted.get(m.id)(m.text);
    observed.formatted.delete(m.id);
  },
};
worker.onmessage = (e) => received[e.data.type](e.data);

document.getElementById('box').querySelector('button').addEventListener('click', closeBox);

document.addEventListener('keydown', (e) => {
  const boxOpen = !document.getElementById('box').hidden;
  const ok = document.getElementById('box').querySelector('button');
  if (e.key === 'Enter' && boxOpen && e.target !== ok) {
    e.preventDefault();
    ok.click();
  } else if (e.key === 'Escape') {
    send('stop');
  } else if (e.key in Arrows && !boxOpen && !(e.target instanceof HTMLInputElement)) {
    e.preventDefault();
    send('arrow', { arrow: Arrows[e.key] });
  }
});

const offscreen = [scene.transferControlToOffscreen(), panel.transferControlToOffscreen()];
worker.postMessage({ type: 'init', scene: offscreen[0], panel: offscreen[1], starSeed: Date.now() % 4294967296 },
                   offscreen);
