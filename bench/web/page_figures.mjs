// The browser build's figures, measured in headless Chromium served from 127.0.0.1: frames per
// second while the game runs, beside its peer (build/web/peer/, a loop that only puts a frame
// and yields), taking turns so that a busy moment on the machine does not land on one side, each
// also with the processor slowed four times as a cheap phone's is; the processor time the tab
// takes each second while the game waits on its grey screen; the time from page load to the
// first frame (performance.now() at the first presentation, median of several loads, each in a
// fresh browser); and the transfer size of the page's files, gzipped as a server would send them.
// The game's frames are its frame steps (Module.taspoFrames), not the pictures it puts on the
// canvas (Module.taspoPuts), which change only with the game's phase.
// Usage: node bench/web/page_figures.mjs BUILD_FOLDER (scripts/web.sh bench)
import fs from 'node:fs/promises';
import path from 'node:path';
import process from 'node:process';
import zlib from 'node:zlib';

import {openChromium} from '../../tests/web/chromium.mjs';
import {serve} from '../../tests/web/static_server.mjs';

const Turns = 3;
const CountingSeconds = 4;
const Loads = 5;
const SlowPhone = 4;  // Emulation.setCPUThrottlingRate
const IdleSeconds = 3;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What the page fetches to play: the first visit's transfer, the service worker's cache.
async function transferSize(folder) {
  const manifest = JSON.parse(await fs.readFile(path.join(folder, 'manifest.webmanifest')));
  const files = ['index.html', 'taspo.css', 'page.js', 'taspo.js', 'taspo.wasm', 'sw.js',
    'manifest.webmanifest', ...manifest.icons.map((icon) => icon.src)];
  const sizes = {};
  for (const file of files) {
    const bytes = await fs.readFile(path.join(folder, file));
    sizes[file] = {raw: bytes.length, gzip: zlib.gzipSync(bytes, {level: 9}).length};
  }
  return sizes;
}

// Opens `url` in a fresh browser, the processor slowed `throttle` times; resolves to
// {page, cdp, close} once the first frame is on the canvas.
async function open(url, throttle = 1) {
  const chromium = await openChromium();
  try {
    const {page} = chromium;
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Emulation.setCPUThrottlingRate', {rate: throttle});
    await page.goto(url);
    await page.waitForFunction(() => window.Module && Module.taspoFrames > 0, null,
        {timeout: 30000});
    return {page, cdp, close: chromium.close};
  } catch (error) {
    await chromium.close();
    throw error;
  }
}

// Frames and canvas puts a second over CountingSeconds, once the page has run for a second.
async function rates(url, throttle) {
  const tab = await open(url, throttle);
  try {
    const count = () => tab.page.evaluate(
        () => [Module.taspoFrames, Module.taspoPuts ?? Module.taspoFrames, performance.now()]);
    await sleep(1000);
    const before = await count();
    await sleep(CountingSeconds * 1000);
    const after = await count();
    const seconds = (after[2] - before[2]) / 1000;
    return {frames: (after[0] - before[0]) / seconds, puts: (after[1] - before[1]) / seconds};
  } finally {
    await tab.close();
  }
}

async function firstFrame(url) {
  const tab = await open(url);
  try {
    return await tab.page.evaluate(() => Module.taspoFirstFrameAt);
  } finally {
    await tab.close();
  }
}

// Milliseconds of main-thread tasks (and of script in them) a second, summed over short spans
// that begin and end on the grey screen; a target lasts longer than a span, so none is inside.
async function idleLoad(url) {
  const tab = await open(url);
  try {
    await tab.cdp.send('Performance.enable');
    const metrics = async () => Object.fromEntries(
        (await tab.cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
    const grey = () => tab.page.evaluate(() => {
      const context = document.getElementById('canvas').getContext('2d');
      const centre = context.getImageData(256, 224, 1, 1).data;
      const corner = context.getImageData(5, 5, 1, 1).data;
      return [...centre.slice(0, 3), ...corner.slice(0, 3)].every((value) => value === 0x80);
    });
    let seconds = 0;
    let task = 0;
    let script = 0;
    const deadline = Date.now() + 30000;
    while (seconds < IdleSeconds && Date.now() < deadline) {
      if (!await grey()) {
        await sleep(50);
        continue;
      }
      const from = await metrics();
      await sleep(300);
      const to = await metrics();
      if (await grey()) {
        seconds += to.Timestamp - from.Timestamp;
        task += to.TaskDuration - from.TaskDuration;
        script += to.ScriptDuration - from.ScriptDuration;
      }
    }
    return {seconds, task: (1000 * task) / seconds, script: (1000 * script) / seconds};
  } finally {
    await tab.close();
  }
}

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node bench/web/page_figures.mjs BUILD_FOLDER');
  process.exit(2);
}
const server = await serve(folder);
try {
  const runs = {game: [], peer: [], slowGame: [], slowPeer: []};
  for (let turn = 0; turn < Turns; turn++) {
    runs.game.push(await rates(server.url, 1));
    runs.peer.push(await rates(`${server.url}peer/`, 1));
    runs.slowGame.push(await rates(server.url, SlowPhone));
    runs.slowPeer.push(await rates(`${server.url}peer/`, SlowPhone));
  }
  const firstFrames = [];
  for (let i = 0; i < Loads; i++) {
    firstFrames.push(await firstFrame(server.url));
  }
  const idle = await idleLoad(server.url);
  const sizes = await transferSize(folder);

  const list = (values, digits = 0) => values.map((v) => v.toFixed(digits)).join(', ');
  const verdict = (met) => (met ? 'met' : 'MISSED');
  const line = (label, value, rest = '') => console.log(`${label.padEnd(44)} ${value.padStart(7)}${rest}`);
  const frames = (name) => median(runs[name].map((run) => run.frames));
  const rate = (label, name, target) => {
    const value = frames(name);
    line(label, value.toFixed(0), `   (${list(runs[name].map((run) => run.frames))})` +
        (target ? `   target at least ${target}: ${verdict(value >= target)}` : ''));
  };
  rate('frames per second, the game', 'game', 200);
  rate('frames per second, the peer', 'peer');
  line('the game\'s rate over the peer\'s', (frames('game') / frames('peer')).toFixed(3));
  rate(`frames per second, the game, CPU slowed ${SlowPhone}x`, 'slowGame', 150);
  rate(`frames per second, the peer, CPU slowed ${SlowPhone}x`, 'slowPeer');
  line('canvas puts per second, the game', median(runs.game.map((run) => run.puts)).toFixed(1));
  line('idle on grey: main-thread task ms per second', idle.task.toFixed(1),
      `   (script ${idle.script.toFixed(1)}, over ${idle.seconds.toFixed(1)} s)`);
  const first = median(firstFrames);
  line('page load to first frame, ms', first.toFixed(0),
      `   (${list(firstFrames)})   target within 500: ${verdict(first <= 500)}`);
  const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
  let total = 0;
  for (const [file, size] of Object.entries(sizes)) {
    console.log(`${file.padEnd(22)} ${kib(size.raw).padStart(10)}, gzip ${kib(size.gzip)}`);
    total += size.gzip;
  }
  console.log(`transfer size, every file gzipped: ${kib(total)} (${total} bytes)` +
      `   target at most 150 KiB: ${verdict(total <= 150 * 1024)}`);
} finally {
  await server.close();
}
