// The browser build's figures, measured in headless Chromium served from 127.0.0.1: frames per
// second while the game runs, the time from page load to the first frame (performance.now() at
// the first presentation, median of several loads), and the transfer size of taspo.js and
// taspo.wasm gzipped as a server would send them.
// Usage: node bench/web/page_figures.mjs BUILD_FOLDER (scripts/web.sh bench)
import fs from 'node:fs/promises';
import path from 'node:path';
import process from 'node:process';
import zlib from 'node:zlib';

import {openChromium} from '../../tests/web/chromium.mjs';
import {serve} from '../../tests/web/static_server.mjs';

const Loads = 5;
const CountingSeconds = 5;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function transferSize(folder) {
  const sizes = {};
  for (const file of ['taspo.js', 'taspo.wasm']) {
    const bytes = await fs.readFile(path.join(folder, file));
    sizes[file] = {raw: bytes.length, gzip: zlib.gzipSync(bytes, {level: 9}).length};
  }
  return sizes;
}

// One fresh browser per load, so nothing is cached: resolves to the first frame's time in ms,
// and on the first load the frames per second over CountingSeconds.
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
      const before = await page.evaluate(() => [Module.taspoFrames, performance.now()]);
      await new Promise((resolve) => setTimeout(resolve, CountingSeconds * 1000));
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
  const firstFrames = [];
  let fps = null;
  for (let i = 0; i < Loads; i++) {
    const result = await load(server.url, i === 0);
    firstFrames.push(result.firstFrame);
    fps ??= result.fps;
  }
  const sizes = await transferSize(folder);
  const total = sizes['taspo.js'].gzip + sizes['taspo.wasm'].gzip;
  const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
  console.log(`frames per second (headless Chromium, ${CountingSeconds} s)  ${fps.toFixed(0)}` +
      `   target at least 200  ${fps >= 200 ? 'met' : 'MISSED'}`);
  console.log(`page load to first frame (median of ${Loads})      ${median(firstFrames).toFixed(0)} ms` +
      `   (${firstFrames.map((t) => t.toFixed(0)).join(', ')})`);
  for (const [file, size] of Object.entries(sizes)) {
    console.log(`${file.padEnd(12)} ${kib(size.raw).padStart(10)}  gzip ${kib(size.gzip)}`);
  }
  console.log(`transfer size, .js + .wasm gzipped        ${kib(total)}`);
} finally {
  await server.close();
}
