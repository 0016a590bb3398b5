// Plays the browser build in headless Chromium, served from 127.0.0.1, and checks what a player
// sees: the grey 512 by 448 canvas, the button centred with its magenta left out about a second
// in, a miss and a hit in their colours, Escape only while the canvas has the keyboard, the page's
// word that the game ended, the reason a build without button.bmp gives, and a taspo.cfg asking
// for full screen, which a tab refuses. Each check is a test of node's own runner (node:test).
// Usage: TASPO_WEB_BUILD=build/web node --test tests/web/browser_test.mjs
import assert from 'node:assert/strict';
import fs from 'node:fs/promises';
import path from 'node:path';
import process from 'node:process';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';

import {openChromium} from './chromium.mjs';
import {serve} from './static_server.mjs';

const Grey = 0x808080;
const Miss = 0x800000;
const Hit = 0xC0C0FF;
const Width = 512;
const Height = 448;
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// One check of a scenario, a subtest of its own; resolves to whether it passed. What the check
// returns is noted beside its result.
async function check(t, what, body) {
  let passed = false;
  await t.test(what, async (subtest) => {
    const note = await body();
    if (note) {
      subtest.diagnostic(note);
    }
    passed = true;
  });
  return passed;
}
function expect(condition, message) {
  assert.ok(condition, message);
}
const hex = (colour) => `0x${colour.toString(16).padStart(6, '0').toUpperCase()}`;

// The button as the game draws it on grey: the file's 24-bit bottom-up rows, magenta left out.
async function expectedButton() {
  const bmp = await fs.readFile(path.join(source, 'assets/button.bmp'));
  const offset = bmp.readUInt32LE(10);
  const width = bmp.readInt32LE(18);
  const height = bmp.readInt32LE(22);
  expect(bmp.readUInt16LE(28) === 24 && height > 0, 'assets/button.bmp is not 24-bit bottom-up');
  const stride = Math.ceil((width * 3) / 4) * 4;
  const pixels = [];
  for (let y = 0; y < height; y++) {
    const row = offset + (height - 1 - y) * stride;
    for (let x = 0; x < width; x++) {
      const at = row + 3 * x;
      const colour = (bmp[at + 2] << 16) | (bmp[at + 1] << 8) | bmp[at];
      pixels.push(colour === 0xFF00FF ? Grey : colour);
    }
  }
  return {
    x: Math.trunc((Width - width) / 2), y: Math.trunc((Height - height) / 2), width, height, pixels,
  };
}

// In the page: what the canvas shows now, and when (performance.now(), ms from the page's start).
function lookInPage(button) {
  const canvas = document.getElementById('canvas');
  if (!canvas || canvas.hidden || !window.Module || !Module.taspoFrames) {
    return null;
  }
  const context = canvas.getContext('2d');
  const pixel = (x, y) => {
    const d = context.getImageData(x, y, 1, 1).data;
    return (d[0] << 16) | (d[1] << 8) | d[2];
  };
  let buttonShows = false;
  if (button) {
    const d = context.getImageData(button.x, button.y, button.width, button.height).data;
    buttonShows = button.pixels.every(
        (colour, i) => ((d[4 * i] << 16) | (d[4 * i + 1] << 8) | d[4 * i + 2]) === colour);
  }
  return {at: performance.now(), background: pixel(5, 5), buttonShows};
}

class Game {
  constructor(page, button) {
    this.page = page;
    this.button = button;
  }
  look() {
    return this.page.evaluate(lookInPage, this.button);
  }
  // Polls the canvas until `wanted(look)` holds; resolves to that look, or null after `seconds`.
  async waitFor(wanted, seconds) {
    const deadline = Date.now() + seconds * 1000;
    while (Date.now() < deadline) {
      const look = await this.look();
      if (look && wanted(look)) {
        return look;
      }
      await new Promise((resolve) => setTimeout(resolve, 5));
    }
    return null;
  }
  // Polls the frames' log until `wanted(log)` gives something; resolves to that, or null.
  async waitForLog(wanted, seconds) {
    const deadline = Date.now() + seconds * 1000;
    while (Date.now() < deadline) {
      const found = wanted(await this.page.evaluate(() => window.taspoFrameLog));
      if (found) {
        return found;
      }
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
    return null;
  }
  status() {
    return this.page.locator('#status').innerText();
  }
}

// Before the page's own scripts: every frame put on a canvas is looked at as it is put, and a
// change of its background or centre pixel is logged with the time. The first frame also says
// whether it is grey from edge to edge.
function logFramesInPage() {
  const log = window.taspoFrameLog = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(image, ...rest) {
    const d = image.data;
    const pixel = (x, y) => {
      const i = 4 * (y * image.width + x);
      return (d[i] << 16) | (d[i + 1] << 8) | d[i + 2];
    };
    const frame = {
      at: performance.now(), background: pixel(5, 5),
      centre: pixel(image.width >> 1, image.height >> 1),
    };
    const last = log[log.length - 1];
    if (!last) {
      frame.allGrey = d.every((value, i) => value === (i % 4 === 3 ? 0xFF : 0x80));
    }
    if (!last || last.background !== frame.background || last.centre !== frame.centre) {
      log.push(frame);
    }
    return put.call(this, image, ...rest);
  };
}

// The finished session's controls: a download link to the replay file and a button that shows
// the reaction times. Neither is there to see while a game runs.
const download = 'a[download]';
const reactionTimes = 'button:text-is("Your reaction times")';
async function expectNoSession(page) {
  expect(await page.locator(download).isHidden(), 'a download shows');
  expect(await page.locator(reactionTimes).isHidden(), '"Your reaction times" shows');
  const text = await page.evaluate(() => document.body.innerText);
  expect(!/target \d+:|reaction|replay/i.test(text), `the page reads "${text}"`);
}

// The replay file names the button.bmp played by its 64-bit FNV-1a hash, stored little-endian.
async function buttonHashBytes() {
  let hash = 0xcbf29ce484222325n;
  for (const byte of await fs.readFile(path.join(source, 'assets/button.bmp'))) {
    hash = BigInt.asUintN(64, (hash ^ BigInt(byte)) * 0x100000001b3n);
  }
  return Array.from({length: 8}, (_, i) => Number((hash >> BigInt(8 * i)) & 0xffn)).join();
}

// The replay is fetched in the page from the link; the report is read as the button shows it.
async function expectTheSession(page, hits, misses) {
  const file = await page.evaluate(async (selector) => {
    const link = document.querySelector(selector);
    const bytes = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
    return {name: link.download, bytes: Array.from(bytes)};
  }, download);
  const magic = String.fromCharCode(...file.bytes.slice(0, 4));
  expect(/\.taspo-replay$/.test(file.name), `the file is called "${file.name}"`);
  expect(magic === 'TSPR', `the file starts "${magic}" (${file.bytes.length} bytes)`);
  expect(`,${file.bytes},`.includes(`,${await buttonHashBytes()},`),
      'the file does not name the button.bmp played');
  const report = page.locator('#report');
  expect(await report.isHidden(), 'the reaction times show before they are asked for');
  await page.locator(reactionTimes).click();
  await report.waitFor({timeout: 2000});
  const lines = (await report.innerText()).trim().split('\n');
  const targets = lines.filter((line) => /^target \d+:/.test(line));
  const said = (word) => targets.filter((line) => new RegExp(`\\b${word}\\b`).test(line)).length;
  expect(said('hit') === hits && said('miss') === misses && targets.length === hits + misses,
      `the canvas showed ${hits} hits and ${misses} misses, the report says:\n${lines.join('\n')}`);
  expect(targets.filter((line) => /\bhit\b/.test(line)).every((line) => /\d+ ms/.test(line)),
      'a hit without its reaction time');
  expect(lines.length === targets.length + 1 && new RegExp(`${hits} hits?, ${misses} miss`).test(
      lines[lines.length - 1]), `the summary reads "${lines[lines.length - 1]}"`);
  return `${file.bytes.length} bytes; ${lines[lines.length - 1]}`;
}

async function playTheGame(t, url, button) {
  const chromium = await openChromium();
  const {page} = chromium;
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(error.message));
  try {
    await page.addInitScript(logFramesInPage);
    await page.goto(url);
    const game = new Game(page, button);
    const started = await check(t, 'the canvas is 512 by 448 and painted 0x808080', async () => {
      const log = await game.waitForLog((frames) => frames.length > 0 && frames, 30);
      expect(log, 'no frame within 30 s');
      const size = await page.evaluate(() => {
        const canvas = document.getElementById('canvas');
        const box = canvas.getBoundingClientRect();
        return [canvas.width, canvas.height, box.width, box.height];
      });
      expect(size.join() === [Width, Height, Width, Height].join(), `canvas is ${size}`);
      expect(log[0].allGrey, 'the first frame is not 0x808080 from edge to edge');
    });
    if (!started) {
      return;
    }

    // The game's timeline from the frames' log: the first target at 1 s for 0.5406 s, then the
    // miss for 0.8 s. Times are when the page put the frame, so a slow test cannot shift them.
    const centre = button.pixels[(Height / 2 - button.y) * button.width + Width / 2 - button.x];
    let target = null;
    await check(t, 'the button shows centred, magenta left out, about 1 s after the first frame',
        async () => {
          const log = await game.waitForLog(
              (frames) => frames.some((frame) => frame.centre === centre) && frames, 8);
          expect(log, 'the button did not show within 8 s');
          target = log.findIndex((frame) => frame.centre === centre);
          const delay = (log[target].at - log[0].at) / 1000;
          expect(delay >= 0.4 && delay <= 4, `it showed after ${delay.toFixed(3)} s`);
          expect(log[target].background === Grey, `on ${hex(log[target].background)}`);
          expect(await game.waitFor((look) => look.buttonShows, 8),
              'the canvas never showed the button as the file has it, centred on grey');
          return `after ${delay.toFixed(3)} s`;
        });

    await check(t, 'letting it go turns the background 0x800000 for about 0.8 s', async () => {
      expect(target !== null, 'no button to let go');
      const log = await game.waitForLog(
          (frames) => frames.length > target + 2 && frames[target + 2].at && frames, 8);
      expect(log, 'the game stayed with the button');
      const [shown, missed, after] = log.slice(target, target + 3);
      const showed = (missed.at - shown.at) / 1000;
      const lasted = (after.at - missed.at) / 1000;
      expect(missed.background === Miss, `the background turned ${hex(missed.background)}`);
      expect(missed.centre === Miss, 'the button stayed on the red');
      expect(showed >= 0.25 && showed <= 2.5, `the button showed for ${showed.toFixed(3)} s`);
      expect(after.background === Grey && after.centre === Grey,
          `after the miss came ${hex(after.background)}`);
      expect(lasted >= 0.3 && lasted <= 3.2, `it lasted ${lasted.toFixed(3)} s`);
      return `the button showed ${showed.toFixed(3)} s, the red lasted ${lasted.toFixed(3)} s`;
    });

    // The button may go between a look and the key, so a few tries.
    await check(t, 'space while the button shows turns the background 0xC0C0FF', async () => {
      for (let attempt = 1; attempt <= 4; attempt++) {
        const look = await game.waitFor((l) => l.buttonShows, 8);
        expect(look, 'the button did not show again within 8 s');
        await page.keyboard.press('Space');
        const hit = await game.waitFor((l) => l.background === Hit || l.background === Miss, 3);
        if (hit && hit.background === Hit) {
          return attempt > 1 ? `at attempt ${attempt}` : '';
        }
      }
      throw new Error('four presses while it showed scored no hit');
    });

    await check(t, 'without the keyboard on the canvas Escape does nothing; a click gives it back',
        async () => {
          await page.evaluate(() => document.getElementById('canvas').blur());
          await page.keyboard.press('Escape');
          await new Promise((resolve) => setTimeout(resolve, 500));
          expect(await page.locator('#canvas').isVisible(),
              'the game ended on Escape without the keyboard');
          await page.locator('#canvas').click();
          expect(await page.evaluate(() => document.activeElement.id) === 'canvas',
              'clicking the canvas did not give it the focus');
        });

    await check(t, 'while the game runs the page offers no replay and no reaction times',
        async () => expectNoSession(page));

    await check(t, 'Escape ends the game and the page says so, with a way to play again',
        async () => {
          await page.keyboard.press('Escape');
          await page.locator('#status button').waitFor({timeout: 5000});
          const status = await game.status();
          expect(status.includes('The game has ended.'), `the page says "${status}"`);
          expect(await page.locator('#canvas').isHidden(), 'the canvas still shows');
          expect((await page.locator('#status button').innerText()) === 'Play again',
              'no "Play again"');
        });

    await check(t, 'after the game the page offers its replay and the hits and misses it showed',
        async () => {
          const log = await page.evaluate(() => window.taspoFrameLog);
          const shown = (colour) => log.filter((frame) => frame.background === colour).length;
          return expectTheSession(page, shown(Hit), shown(Miss));
        });

    await check(t, 'the page raised no script errors', async () => {
      expect(pageErrors.length === 0, pageErrors.join('; '));
    });
  } finally {
    await chromium.close();
  }
}

async function startWithoutTheButton(t, url) {
  const chromium = await openChromium();
  const {page} = chromium;
  try {
    await page.goto(url);
    await check(t, 'a build without button.bmp shows the reason it could not start', async () => {
      await page.locator('#status.failure').waitFor({timeout: 30000});
      const status = await page.locator('#status').innerText();
      const reason = /^Taspo could not start: button\.bmp: \S.*$/;
      expect(reason.test(status), `the page says "${status}"`);
      expect(await page.locator('#canvas').isHidden(), 'the canvas shows');
      await expectNoSession(page);
      return `"${status}"`;
    });
  } finally {
    await chromium.close();
  }
}

async function refuseFullScreen(t, url, button) {
  const chromium = await openChromium();
  const {page} = chromium;
  try {
    await page.addInitScript(logFramesInPage);
    await page.goto(url);
    await check(t, 'with taspo.cfg asking for full screen, the game plays in its 512 by 448 canvas',
        async () => {
          const game = new Game(page, button);
          expect(await game.waitFor((look) => look.buttonShows, 30), 'the button never showed');
          const log = await page.evaluate(() => window.taspoFrameLog);
          expect(log[0].allGrey, 'the first frame is not 0x808080 from edge to edge');
          const size = await page.evaluate(() => {
            const canvas = document.getElementById('canvas');
            return [canvas.width, canvas.height];
          });
          expect(size.join() === [Width, Height].join(), `canvas is ${size}`);
        });
  } finally {
    await chromium.close();
  }
}

const folder = process.env.TASPO_WEB_BUILD;
let server = null;
let button = null;
before(async () => {
  assert.ok(folder, 'TASPO_WEB_BUILD names the browser build\'s folder');
  server = await serve(folder);
  button = await expectedButton();
});
after(() => server?.close());

test('the game in its page', (t) => playTheGame(t, server.url, button));
test('the page without button.bmp', (t) => startWithoutTheButton(t, `${server.url}without-button/`));
test('the page with a full-screen taspo.cfg',
    (t) => refuseFullScreen(t, `${server.url}fullscreen-config/`, button));
