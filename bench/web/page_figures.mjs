// The browser build's figures, measured in headless Chromium served from 127.0.0.1: frames per
// second while the game runs, beside its peer (build/web/peer/, a loop that only puts a frame
// and yields), taking turns so that a busy moment on the machine does not land on one side; the
// time from page load to the first frame (performance.now() at the first presentation, median
// of several loads, each in a fresh browser); and the transfer size of taspo.js and taspo.wasm,
// gzipped as a server would send them.
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

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function transferSize(folder) {
  const sizes = {};
  for (const file of ['taspo.js', 'taspo.wasm']) {
    const bytes = await fs.readFile(path.join(folder, file));
    sizes[file] = {raw: bytes.length, gzip: zlib.gzipSync(bytes, {level: 9}).length};
  }
  return sizes;
}

// Loads `url` in a fresh browser; resolves to the first frame's time in ms and, when asked, the
// frames per second over CountingSeconds once the page has run for a second.
async function load(url, countFrames) {
  const chromium = await openChromium();
  try {
    const {page} = chromium;
    await page.goto(url);
    await page.waitForFunction(() => window.Module && Module.taspoFrames > 0, null,
        {timeout: 30000});
    const firstFrame = await page.evaluate(() => Module.taspoFirstFrameAt);
    let fps = null;
    if (countFrames) {
      await sleep(1000);
      const before = await page.evaluate(() => [Module.taspoFrames, performance.now()]);
      await sleep(CountingSeconds * 1000);
      const after = await page.evaluate(() => [Module.taspoFrames, performance.now()]);
      fps = (after[0] - before[0]) / ((after[1] - before[1]) / 1000);
    }
    return {firstFrame, fps};
  } finally {
    await chromium.close();
  }
}

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node bench/web/page_figures.mjs BUILD_FOLDER');
  process.exit(2);
}
const server = await serve(folder);
try {
  const gameRates = [];
  const peerRates = [];
  for (let turn = 0; turn < Turns; turn++) {
    gameRates.push((await load(server.url, true)).fps);
    peerRates.push((await load(`${server.url}peer/`, true)).fps);
  }
  const firstFrames = [];
  for (let i = 0; i < Loads; i++) {
    firstFrames.push((await load(server.url, false)).firstFrame);
  }
  const sizes = await transferSize(folder);

  const list = (values, digits = 0) => values.map((v) => v.toFixed(digits)).join(', ');
  const game = median(gameRates);
  const peer = median(peerRates);
  console.log(`frames per second, the game      ${game.toFixed(0).padStart(6)}   (${list(gameRates)})` +
      `   target at least 200: ${game >= 200 ? 'met' : 'MISSED'}`);
  console.log(`frames per second, the peer      ${peer.toFixed(0).padStart(6)}   (${list(peerRates)})`);
  console.log(`the game's rate over the peer's  ${(game / peer).toFixed(3).padStart(6)}`);
  console.log(`page load to first frame, ms     ${median(firstFrames).toFixed(0).padStart(6)}` +
      `   (${list(firstFrames)})`);
  const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
  let total = 0;
  for (const [file, size] of Object.entries(sizes)) {
    console.log(`${file.padEnd(12)} ${kib(size.raw).padStart(10)}, gzip ${kib(size.gzip)}`);
    total += size.gzip;
  }
  console.log(`transfer size, .js + .wasm gzipped: ${kib(total)} (${total} bytes)`);
} finally {
  await server.close();
}
