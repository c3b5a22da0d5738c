// The engine in a Web Worker: it steps the run a step at a time (a
// generation, or a tick of a flight on screen), handles the page's messages
// between two steps, paints each frame on the canvases the page handed over
// and sends the page the boxes to show, one at a time.
'use strict';
importScripts('api.js', 'paint.js', 'korvane.js');

let api = null;
const canvases = { scene: null, panel: null };
let pictures = [];
let showNetwork = false;
let boxOpen = false;
let manualTimer = null;
let stepTimer = null;
let running = false;
let lastState = '';
// Zero-delay turns that do not wait for the timers' clamping.
const turns = new MessageChannel();
turns.port1.onmessage = () => pump();

function schedule(ms) {
  if (stepTimer !== null || boxOpen) return;
  if (ms > 0) {
    stepTimer = setTimeout(() => pump(), ms);
  } else {
    stepTimer = -1;
    turns.port2.postMessage(null);
  }
}

function paint() {
  api.compose();
  for (const [list, ctx] of [[0, canvases.scene], [1, showNetwork ? canvases.panel : null]]) {
    if (!ctx) continue;
    // The texts first: a call into the module may grow its memory, which
    // would leave an earlier view of the operations empty.
    const texts = api.listTexts(list);
    playList(ctx, api.ops(list), texts, pictures);
  }
}

function postState() {
  const s = JSON.stringify(api.state());
  if (s === lastState) return;
  lastState = s;
  postMessage({ type: 'state', state: JSON.parse(s) });
}

// Shows the next box, if any; true while one is open.
function nextBox() {
  if (boxOpen) return true;
  const text = api.takeBox();
  if (text === null) return false;
  boxOpen = true;
  postMessage({ type: 'box', text });
  return true;
}

// After any command: a box it asked for, the state, a run to drive.
function settle() {
  paint();
  postState();
  if (nextBox()) return;
  if (api.manualFlying() && manualTimer === null) manualTimer = setInterval(manualTick, 25);
  if (api.state().kind >= 0) schedule(0);
}

function pump() {
  stepTimer = null;
  if (boxOpen) return;
  const t0 = performance.now();
  const r = api.step();
  const ms = performance.now() - t0;
  paint();
  postState();
  postMessage({ type: 'stepped', ms });
  if (r === -1) {
    if (running) postMessage({ type: 'ended', record: api.record() });
    running = false;
    nextBox();
    return;
  }
  running = true;
  if (nextBox() || r === -2) return;  // held at its pause: a message continues or stops it
  schedule(r);
}

function manualTick() {
  if (api.manualTick() === 0) {
    clearInterval(manualTimer);
    manualTimer = null;
  }
  paint();
  postState();
  nextBox();
}

const handlers = {
  start: (m) => api.start(m.kind),
  stop: () => api.stop(),
  continueRun: () => api.continueRun(),
  showing: (m) => {
    showNetwork = m.network;
    api.showing(m.pace, m.paths, m.network);
  },
  seed: (m) => api.nextSeed(m.seed),
  rerun: () => api.rerun(),
  level: (m) => api.level(m.n),
  manual: () => api.manual(),
  arrow: (m) => api.arrow(m.arrow),
  boxClosed: () => {
    boxOpen = false;
    api.boxClosed();
  },
  settings: (m) => postMessage({ type: 'settings', result: api.applySettings(m.page, m.values) }),
  csv: () => postMessage({ type: 'csv', text: api.historyCsv() }),
  record: () => postMessage({ type: 'record', text: api.record() }),
  formatCli: (m) => postMessage({ type: 'formatted', id: m.id, text: api.formatCli(m.command, m.cli) }),
};

async function init(m) {
  canvases.scene = m.scene.getContext('2d');
  canvases.panel = m.panel.getContext('2d');
  const [module, pics] = await Promise.all([createKorvane(), loadPictures(['background.png', 'meteor.png', 'lifeboat.png'])]);
  pictures = pics;
  api = KorvaneApi(module);
  api.init(m.starSeed);
  postMessage({ type: 'ready', texts: api.texts() });
  settle();
}

const early = [];
onmessage = (e) => {
  const m = e.data;
  if (m.type === 'init') {
    init(m).then(() => early.splice(0).forEach((q) => onmessage({ data: q })));
    return;
  }
  if (!api) {
    early.push(m);
    return;
  }
  handlers[m.type](m);
  // A key's thrust is seen in the next tick's frame, as in the window.
  if (m.type !== 'arrow') settle();
};
