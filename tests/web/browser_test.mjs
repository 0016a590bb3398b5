// Plays the browser build in headless Chromium, served from 127.0.0.1, and checks what a player
// sees: the grey 512 by 448 canvas, the button centred with its magenta left out about a second
// in, a miss and a hit in their colours, hits by space and by a mouse click, Escape only while the
// canvas has the keyboard, the page's word that the game ended and its offer of the replay, the
// reaction times and the game's measures, the game played by touch on a phone-sized page and with
// a stand-in gamepad, the reason a build without button.bmp gives, and a taspo.cfg asking for full
// screen, which a tab refuses, and keeping no history, which the page follows. On a phone the
// picture fits the screen in whole device pixels, and the history after a game fits its width;
// after one visit the page is installable and plays with the server gone, every file of it from
// the service worker's cache. The games are kept in the browser across reloads and offline, shown
// as a table and a chart, cleared when the player agrees, and a game the browser will not store
// is said to be not kept.
// Each check is a test of node's own runner (node:test), node 18 or later.
// Usage: TASPO_WEB_BUILD=build/web [TASPO_BROWSER_CASE=name] node --test tests/web/browser_test.mjs
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
// Resolves once `condition()` holds, polled, or after `seconds` regardless.
async function until(condition, seconds) {
  const deadline = Date.now() + seconds * 1000;
  while (!condition() && Date.now() < deadline) {
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
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

// Presses with `press` while the button shows until a hit, a few times, since the button may go
// between a look and the press; resolves to a note of the attempts it took. The frames' log tells
// what followed, so a flash shorter than a look is not missed.
async function scoreHit(game, press) {
  for (let attempt = 1; attempt <= 4; attempt++) {
    const look = await game.waitFor((l) => l.buttonShows, 8);
    expect(look, 'the button did not show again within 8 s');
    await press();
    const hit = await game.waitForLog((frames) => frames.find((frame) => frame.at > look.at &&
        (frame.background === Hit || frame.background === Miss)), 3);
    if (hit && hit.background === Hit) {
      return attempt > 1 ? `at attempt ${attempt}` : '';
    }
  }
  throw new Error('four presses while it showed scored no hit');
}

// Before the page's own scripts: every frame put on a canvas is looked at as it is put, and a
// change of its background or centre pixel is logged with the time. The first frame also says
// whether it is grey from edge to edge. Every put that repeats the one before it is counted too.
function logFramesInPage() {
  const log = window.taspoFrameLog = [];
  window.taspoRepeatedPuts = 0;
  let previous = null;
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(image, ...rest) {
    const d = image.data;
    if (previous && previous.every((value, i) => value === d[i])) {
      window.taspoRepeatedPuts++;
    }
    previous = new Uint8ClampedArray(d);
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
// the reaction times target by target, beside the game's measures and the history. None of it is
// there to see while a game runs.
const download = '#replay';
const reactionTimes = 'button:text-is("Target by target")';
async function expectNoSession(page) {
  expect(await page.locator(download).isHidden(), 'a download shows');
  expect(await page.locator(reactionTimes).isHidden(), '"Target by target" shows');
  expect(await page.locator('#session').isHidden(), 'the measures and the history show');
  const text = await page.evaluate(() => document.body.innerText);
  expect(!/target \d+:|reaction|replay|median|history/i.test(text), `the page reads "${text}"`);
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
  const measures = await page.evaluate(measuresInPage);
  expect(measures.Targets === String(hits + misses) && measures.Hits === String(hits) &&
      measures.Misses === String(misses) && /^\d+ ms$/.test(measures.Median),
  `the game's measures read ${JSON.stringify(measures)}`);
  return `${file.bytes.length} bytes; ${lines[lines.length - 1]}`;
}

// In the page: this game's measures, by name.
function measuresInPage() {
  const measures = {};
  for (const item of document.querySelectorAll('#measures div')) {
    measures[item.querySelector('dt').textContent] = item.querySelector('dd').textContent;
  }
  return measures;
}

// In the page: the history as shown after a game. The table's rows as their cells' text, its
// hits summed, the chart's dots (one a hit) and how the chart names itself.
function historyInPage() {
  const shown = (element) => element !== null && element.getClientRects().length > 0;
  const table = document.getElementById('history');
  const rows = Array.from(table.tBodies[0].rows, (row) => Array.from(row.cells,
      (cell) => cell.textContent));
  const svg = document.querySelector('#chart svg');
  return {
    rows: shown(table) ? rows : [],
    hits: rows.reduce((sum, row) => sum + Number(row[2]), 0),
    dots: shown(svg) ? svg.querySelectorAll('circle.hit').length : null,
    role: svg?.getAttribute('role'),
    title: svg?.querySelector('title')?.textContent,
    desc: svg?.querySelector('desc')?.textContent,
    note: document.getElementById('history-note').textContent,
    status: document.getElementById('status').innerText,
  };
}

// Plays a game to its end in the page already loaded (or reloaded): a hit, then Escape. Resolves
// to the history the page shows after it.
async function playAGameWithAHit(page, button) {
  const game = new Game(page, button);
  await scoreHit(game, () => page.keyboard.press('Space'));
  await page.keyboard.press('Escape');
  await expectTheEnd(game);
  return page.evaluate(historyInPage);
}

// The history as the page shows it: `games` rows, every one with a hit, the chart a dot for each
// hit the table lists and its title and description for whoever cannot see it.
function expectTheHistory(history, games) {
  const said = JSON.stringify(history);
  expect(history.rows.length === games, `${games} games expected: ${said}`);
  expect(history.rows.every((row) => row.length === 7 && Number(row[2]) >= 1), said);
  expect(history.dots === history.hits, `${history.dots} dots for ${history.hits} hits: ${said}`);
  expect(history.role === 'img' && history.title === 'Your reaction times' &&
      String(history.desc).startsWith(`${games} game${games === 1 ? '' : 's'}, `), said);
  expect(history.note === `${games} game${games === 1 ? '' : 's'} kept in this browser.`, said);
  return `${history.rows.length} rows, ${history.dots} dots`;
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

    await check(t, 'space while the button shows turns the background 0xC0C0FF',
        () => scoreHit(game, () => page.keyboard.press('Space')));

    await check(t, 'so does a mouse click on the button, as the page says', async () => {
      const status = await game.status();
      expect(status.includes('press space or click'), `the page says "${status}"`);
      return scoreHit(game, () => page.locator('#canvas').click());
    });

    // The picture changes only with the game's phase; the game steps on.
    await check(t, 'a frame equal to the one on the canvas is not put again', async () => {
      const count = () => page.evaluate(() => [Module.taspoFrames, window.taspoRepeatedPuts]);
      const [framesBefore] = await count();
      await new Promise((resolve) => setTimeout(resolve, 1000));
      const [framesAfter, repeated] = await count();
      const log = await page.evaluate(() => window.taspoFrameLog);
      expect(repeated === 0, `${repeated} puts repeated the picture before them`);
      expect(framesAfter - framesBefore >= 20,
          `the game stepped only ${framesAfter - framesBefore} frames in a second`);
      return `${framesAfter - framesBefore} frames in a second; ${log.length} pictures so far`;
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
          await expectTheEnd(game);
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

// The game has ended: the page says so, with a way to play again, and the canvas has gone.
async function expectTheEnd(game) {
  await game.page.locator('#status button', {hasText: 'Play again'}).waitFor({timeout: 5000});
  const status = await game.status();
  expect(status.includes('The game has ended.'), `the page says "${status}"`);
  expect(await game.page.locator('#canvas').isHidden(), 'the canvas still shows');
}

// The middle of the canvas's part inside the viewport, in CSS pixels.
function canvasCentreInPage() {
  const box = document.getElementById('canvas').getBoundingClientRect();
  const middle = (from, to, size) => (Math.max(from, 0) + Math.min(to, size)) / 2;
  return {x: middle(box.left, box.right, innerWidth), y: middle(box.top, box.bottom, innerHeight)};
}

const Phone = {
  viewport: {width: 390, height: 844}, deviceScaleFactor: 3, hasTouch: true, isMobile: true,
};

async function playByTouch(t, url, button) {
  const chromium = await openChromium(Phone);
  const {page} = chromium;
  try {
    await page.addInitScript(logFramesInPage);
    await page.goto(url);
    const game = new Game(page, button);
    const started = await check(t, 'on a phone the page says to tap the picture', async () => {
      expect(await game.waitForLog((frames) => frames.length > 0, 30), 'no frame within 30 s');
      const status = await game.status();
      expect(status.startsWith('Tap the picture'), `the page says "${status}"`);
    });
    if (!started) {
      return;
    }
    await check(t, 'the canvas takes no gestures: no scrolling, zoom, selection or menu',
        async () => {
          const taken = await page.evaluate(() => {
            const canvas = document.getElementById('canvas');
            const style = getComputedStyle(canvas);
            const menu = new MouseEvent('contextmenu', {bubbles: true, cancelable: true});
            return {touchAction: style.touchAction, userSelect: style.userSelect,
              menu: canvas.dispatchEvent(menu)};
          });
          expect(taken.touchAction === 'none' && taken.userSelect === 'none' && !taken.menu,
              JSON.stringify(taken));
        });
    const {x, y} = await page.evaluate(canvasCentreInPage);
    const tap = () => page.touchscreen.tap(x, y);

    // The grey screen lasts a second at least. A touch the browser takes back must let go as a
    // lifted finger does, or the next tap would not be a press.
    await check(t, 'a tap, or a touch the browser cancels, on the grey screen does nothing',
        async () => {
          const since = await game.waitForLog((frames) => {
            const last = frames[frames.length - 1];
            return last && last.background === Grey && last.centre === Grey && last.at;
          }, 8);
          expect(since, 'no grey screen within 8 s');
          const touch = await page.context().newCDPSession(page);
          await touch.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{x, y}]});
          await touch.send('Input.dispatchTouchEvent', {type: 'touchCancel', touchPoints: []});
          await tap();
          await new Promise((resolve) => setTimeout(resolve, 300));
          const log = (await page.evaluate(() => window.taspoFrameLog)).filter(
              (frame) => frame.at >= since && frame.at < since + 1000);
          expect(log.every((frame) => frame.background === Grey),
              `the background turned ${log.map((frame) => hex(frame.background)).join(', ')}`);
          expect(await page.locator('#canvas').isVisible(), 'the game ended');
        });

    // As on a page that has not had a tap yet: the tap must give the canvas the focus, too.
    await check(t, 'a tap while the button shows, the canvas without the focus, scores a hit',
        () => scoreHit(game, async () => {
          await page.evaluate(() => document.getElementById('canvas').blur());
          await tap();
        }));

    const ended = await check(t, '"End game" ends the game and the page says so', async () => {
      await page.locator('#end-game').tap();
      await expectTheEnd(game);
    });
    if (!ended) {
      return;
    }
    await check(t, 'the game\'s measures and the history fit the phone\'s width: nothing ' +
        'scrolls sideways', async () => {
      expectTheHistory(await page.evaluate(historyInPage), 1);
      const widths = await page.evaluate(() => {
        const page = document.documentElement;
        const right = (selector) => document.querySelector(selector).getBoundingClientRect().right;
        return {scroll: page.scrollWidth, client: page.clientWidth, chart: right('#chart svg'),
          table: right('#history'), measures: right('#measures')};
      });
      expect(widths.client === 390 && widths.scroll <= widths.client &&
          Math.max(widths.chart, widths.table, widths.measures) <= widths.client,
      JSON.stringify(widths));
      await page.locator(reactionTimes).tap();
      const wide = await page.evaluate(() => [document.documentElement.scrollWidth,
        document.getElementById('report').getBoundingClientRect().right]);
      expect(wide.every((right) => right <= widths.client),
          `with the reaction times shown the page is ${wide[0]} wide, the report ends at ${wide[1]}`);
      return JSON.stringify(widths);
    });
  } finally {
    await chromium.close();
  }
}

// Before the page's own scripts: navigator.getGamepads answers one pad in the standard mapping,
// plugged in and out, its buttons pressed, by window.taspoPad.
function standInPadInPage() {
  const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
  const pad = {id: 'stand-in', index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
    buttons, timestamp: 0};
  const stand = window.taspoPad = {
    plugged: false,
    press(button, down) {
      buttons[button] = {pressed: down, touched: down, value: down ? 1 : 0};
    },
  };
  navigator.getGamepads = () => [stand.plugged ? pad : null, null, null, null];
}

async function playWithAPad(t, url, button) {
  const chromium = await openChromium();
  const {page} = chromium;
  const pad = (plugged, pressed) => page.evaluate(([plugged, pressed]) => {
    window.taspoPad.plugged = plugged;
    pressed.forEach(([button, down]) => window.taspoPad.press(button, down));
  }, [plugged, pressed]);
  const frames = () => new Promise((resolve) => setTimeout(resolve, 100));
  try {
    await page.addInitScript(logFramesInPage);
    await page.addInitScript(standInPadInPage);
    await page.goto(url);
    const game = new Game(page, button);
    // Each press plugs in a pad already holding A, and unplugs it still held: a pad that went
    // away must have let go, or the next would be no press.
    await check(t, 'a pad\'s A while the button shows scores a hit; unplugged, it lets go',
        async () => {
          expect(await game.waitForLog((log) => log.length > 0, 30), 'no frame within 30 s');
          await pad(true, [[0, true]]);
          await frames();
          await pad(false, []);
          return scoreHit(game, async () => {
            await pad(true, []);
            await frames();
            await pad(false, []);
          });
        });
    await check(t, 'Back on a pad ends the game and the page says so', async () => {
      await pad(true, [[0, false], [8, true]]);
      await expectTheEnd(game);
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
    await check(t, 'with KeepHistory = false in it a game with a hit is not kept, and the page ' +
        'says nothing of it', async () => {
      const history = await playAGameWithAHit(page, button);
      expect(history.rows.length === 0 && history.dots === 0, JSON.stringify(history));
      expect(history.note === 'No games kept in this browser.', `the page says "${history.note}"`);
      expect(history.status.startsWith('The game has ended.') && !/kept/.test(history.status),
          `the page says "${history.status}"`);
    });
  } finally {
    await chromium.close();
  }
}

// Two games with a reload between them: each is kept in the browser, and after the second the
// page shows both, in the table and in the chart. The profile is new, so the first game is the
// only one before it.
async function keepTheHistory(t, url, button) {
  const chromium = await openChromium();
  const {page} = chromium;
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(error.message));
  try {
    await page.addInitScript(logFramesInPage);
    await page.goto(url);
    const first = await check(t, 'after a game with a hit the page shows it as the history\'s ' +
        'only game', async () => expectTheHistory(await playAGameWithAHit(page, button), 1));
    if (!first) {
      return;
    }
    await check(t, '"Play again" loads the page again, and after a second game it shows both, ' +
        'newest first, the chart a dot for each hit', async () => {
      await page.locator('#status button', {hasText: 'Play again'}).click();
      const history = await playAGameWithAHit(page, button);
      const note = expectTheHistory(history, 2);
      const measures = await page.evaluate(measuresInPage);
      expect(history.rows[0][2] === measures.Hits && history.rows[0][1] === measures.Targets,
          `this game's measures ${JSON.stringify(measures)}, the newest row ${history.rows[0]}`);
      expect(history.rows[0][0] >= history.rows[1][0], `the rows are ${history.rows.join(' / ')}`);
      return note;
    });
    await check(t, 'the CSV file has a row for each target of both games', async () => {
      const csv = await page.evaluate(async () => {
        const link = document.getElementById('history-csv');
        return {name: link.download, text: await (await fetch(link.href)).text()};
      });
      const rows = csv.text.trim().split('\r\n');
      const history = await page.evaluate(historyInPage);
      const targets = history.rows.reduce((sum, row) => sum + Number(row[1]), 0);
      const falseStarts = history.rows.reduce((sum, row) => sum + Number(row[4]), 0);
      expect(csv.name === 'taspo-history.csv', `the file is called "${csv.name}"`);
      expect(rows[0] === 'game,played,target,shown_s,outcome,reaction_ms' &&
          rows.length === 1 + targets + falseStarts, `the file reads:\n${csv.text}`);
      expect(rows.filter((row) => row.includes(',hit,')).length === history.hits,
          `the file reads:\n${csv.text}`);
    });
    await check(t, 'the page raised no script errors', async () => {
      expect(pageErrors.length === 0, pageErrors.join('; '));
    });
  } finally {
    await chromium.close();
  }
}

// "Clear history" asks first; once the player agrees the table and the chart have no games left,
// and after a reload and another game only that one is listed.
async function clearTheHistory(t, url, button) {
  const chromium = await openChromium();
  const {page} = chromium;
  const asked = [];
  let agree = false;
  page.on('dialog', (dialog) => {
    asked.push(dialog.type());
    (agree ? dialog.accept() : dialog.dismiss()).catch(() => {});
  });
  try {
    await page.addInitScript(logFramesInPage);
    await page.goto(url);
    const played = await check(t, 'a game is kept', async () =>
      expectTheHistory(await playAGameWithAHit(page, button), 1));
    if (!played) {
      return;
    }
    await check(t, '"Clear history" asks, and a no leaves the history as it was', async () => {
      await page.locator('#clear-history').click();
      await until(() => asked.length > 0, 10);
      expect(asked.join() === 'confirm', `the page asked ${asked.join() || 'nothing'}`);
      // A clear under way would have disabled the button until it is done.
      const busy = await page.evaluate(() => document.getElementById('clear-history').disabled);
      expect(!busy, 'the history is being cleared');
      expectTheHistory(await page.evaluate(historyInPage), 1);
    });
    const cleared = await check(t, 'a yes empties the table and the chart', async () => {
      agree = true;
      await page.locator('#clear-history').click();
      await page.waitForFunction(() => document.getElementById('history').hidden, null,
          {timeout: 10000});
      const history = await page.evaluate(historyInPage);
      expect(asked.length === 2, `the page asked ${asked.length} times`);
      expect(history.rows.length === 0 && history.dots === 0, JSON.stringify(history));
      expect(history.note === 'No games kept in this browser.', `the page says "${history.note}"`);
      expect(await page.locator('#clear-history').isHidden(), '"Clear history" still shows');
    });
    if (!cleared) {
      return;
    }
    await check(t, 'after a reload and another game only that game is listed', async () => {
      await page.reload();
      expectTheHistory(await playAGameWithAHit(page, button), 1);
    });
  } finally {
    await chromium.close();
  }
}

// Before the page's own scripts, on a page loaded with ?refuse-storage: the browser refuses to
// store anything, as one out of room does, by aborting each transaction that writes or deletes
// before it commits. Reading still works.
function refuseStorageInPage() {
  if (!location.search.includes('refuse-storage')) {
    return;
  }
  const refused = new WeakSet();
  for (const write of ['put', 'delete']) {
    const original = IDBObjectStore.prototype[write];
    IDBObjectStore.prototype[write] = function(...args) {
      const request = original.apply(this, args);
      const transaction = this.transaction;
      if (!refused.has(transaction)) {
        refused.add(transaction);
        queueMicrotask(() => transaction.abort());
      }
      return request;
    };
  }
}

// A game the browser will not store ends as ever, and the page says once that it was not kept
// and why; the game kept before stays, and the refused one is not there after a reload. Nor does
// a clear it will not store empty the history.
async function refuseToStore(t, url, button) {
  const chromium = await openChromium();
  const {page} = chromium;
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(error.message));
  try {
    await page.addInitScript(logFramesInPage);
    await page.addInitScript(refuseStorageInPage);
    await page.goto(url);
    const kept = await check(t, 'a game is kept', async () =>
      expectTheHistory(await playAGameWithAHit(page, button), 1));
    if (!kept) {
      return;
    }
    const refused = await check(t, 'a game the browser refuses to store ends, and the page says ' +
        'once that it was not kept and why; the game before is still listed', async () => {
      await page.goto(`${url}?refuse-storage`);
      const history = await playAGameWithAHit(page, button);
      const said = /It was not kept in your history: the browser did not store it \(\S.*\)\./;
      expect(said.test(history.status), `the page says "${history.status}"`);
      const text = await page.evaluate(() => document.body.innerText);
      expect(text.split('not kept').length === 2, `the page reads "${text}"`);
      expectTheHistory(history, 1);
      return history.status;
    });
    if (!refused) {
      return;
    }
    await check(t, 'clearing the history it will not store either says so, and lists the game still',
        async () => {
          page.once('dialog', (dialog) => dialog.accept().catch(() => {}));
          await page.locator('#clear-history').click();
          await page.waitForFunction(() => /not cleared/.test(
              document.getElementById('history-note').textContent), null, {timeout: 10000});
          const history = await page.evaluate(historyInPage);
          expect(/^Your history was not cleared: \S.*\.$/.test(history.note),
              `the page says "${history.note}"`);
          expect(history.rows.length === 1 && history.dots === history.hits,
              JSON.stringify(history));
          return history.note;
        });
    await check(t, 'after a reload and another game, the page lists the first game and that one',
        async () => {
          // Neither the refused game nor the refused clear was stored.
          await page.goto(url);
          const history = await playAGameWithAHit(page, button);
          expect(!/kept/.test(history.status), `the page says "${history.status}"`);
          expectTheHistory(history, 2);
        });
    await check(t, 'the page raised no script errors', async () => {
      expect(pageErrors.length === 0, pageErrors.join('; '));
    });
  } finally {
    await chromium.close();
  }
}

// Where the canvas's box is, and whether the page scrolls, at the viewport's size now.
function layoutInPage() {
  const box = document.getElementById('canvas').getBoundingClientRect();
  const status = document.getElementById('status').getBoundingClientRect();
  const page = document.documentElement;
  return {
    box: {left: box.left, top: box.top, right: box.right, bottom: box.bottom,
      width: box.width, height: box.height},
    statusBottom: status.bottom, ratio: window.devicePixelRatio,
    viewport: [page.clientWidth, page.clientHeight],
    scrolls: page.scrollWidth > page.clientWidth || page.scrollHeight > page.clientHeight,
  };
}

// A phone held upright, a smaller one on its side (one device pixel a canvas pixel) and upright
// (two): each time the picture is whole on screen in its own shape, each canvas pixel the most
// whole device pixels that fit, and nothing scrolls.
async function fitAPhone(t, url) {
  const chromium = await openChromium(
      {viewport: {width: 390, height: 844}, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
  const {page} = chromium;
  try {
    await page.goto(url);
    await page.locator('#canvas').waitFor({timeout: 30000});
    for (const [width, height] of [[390, 844], [640, 360], [360, 640]]) {
      await check(t, `at ${width} by ${height} the canvas fits whole, 512:448, in the most whole ` +
          'device pixels, and nothing scrolls', async () => {
        await page.setViewportSize({width, height});
        // The page refits on the resize event; give it one frame.
        await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
        const look = await page.evaluate(layoutInPage);
        const {box} = look;
        const shown = `a ${box.width.toFixed(2)} by ${box.height.toFixed(2)} box at ` +
            `${box.left.toFixed(2)}, ${box.top.toFixed(2)} in ${look.viewport.join(' by ')}`;
        expect(box.left >= 0 && box.top >= 0 && box.right <= look.viewport[0] + 0.01 &&
            box.bottom <= look.viewport[1] + 0.01, `the canvas is ${shown}`);
        expect(Math.abs(box.width * Height - box.height * Width) < 0.01 * Width,
            `the canvas is ${shown}`);
        const perPixel = (box.width * look.ratio) / Width;
        expect(perPixel > 0.999 && Math.abs(perPixel - Math.round(perPixel)) < 0.001,
            `${perPixel.toFixed(3)} device pixels a canvas pixel`);
        const up = (Math.round(perPixel) + 1) / perPixel;  // one device pixel more a pixel
        expect(box.width * up > look.viewport[0] ||
            look.statusBottom + box.height * (up - 1) > look.viewport[1],
        `a canvas ${up.toFixed(2)} times as large would fit too`);
        expect(look.statusBottom <= look.viewport[1] + 0.01, 'the status line is off the screen');
        expect(!look.scrolls, 'the page scrolls');
        return `${shown}, ${perPixel} device pixels a canvas pixel`;
      });
    }
  } finally {
    await chromium.close();
  }
}

// One visit with the page's own server, a game played and kept, then the server goes and the
// browser goes offline too: the page loads again, plays, keeps that game and shows both.
async function playOffline(t, folder, button) {
  const own = await serve(folder);
  const chromium = await openChromium();
  const {page, context} = chromium;
  try {
    await page.addInitScript(logFramesInPage);
    await page.goto(own.url);
    const kept = await check(t, 'after one visit a service worker controls the page, and it is ' +
        'installable', async () => {
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null,
          {timeout: 30000});
      const cdp = await context.newCDPSession(page);
      const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
      expect(installabilityErrors.length === 0,
          installabilityErrors.map((error) => error.errorId).join(', '));
    });
    if (!kept) {
      return;
    }
    const played = await check(t, 'a game played online is kept', async () =>
      expectTheHistory(await playAGameWithAHit(page, button), 1));
    if (!played) {
      return;
    }
    await own.close();
    await context.setOffline(true);
    // The game plays even without the page's stylesheet and script: what the page asks for and
    // does not get is counted, and its look and words are checked.
    const missed = [];
    page.on('requestfailed', (request) => missed.push(new URL(request.url()).pathname));
    const loaded = await check(t, 'with the network gone it loads again: the grey canvas, then ' +
        'the button', async () => {
      await page.reload();
      const game = new Game(page, button);
      expect(await game.waitFor((look) => look.buttonShows, 30), 'the button never showed');
      const log = await page.evaluate(() => window.taspoFrameLog);
      expect(log[0].allGrey, 'the first frame is not 0x808080 from edge to edge');
    });
    if (!loaded) {
      return;
    }
    await check(t, 'offline every file the page asks for comes from the cache: its look and its ' +
        'words are those online', async () => {
      expect(missed.length === 0, `not in the cache: ${missed.join(', ')}`);
      const offline = await page.evaluate(() => ({
        background: getComputedStyle(document.body).backgroundColor,
        status: document.getElementById('status').innerText,
      }));
      expect(offline.background === 'rgb(32, 32, 32)',
          `the page's background is ${offline.background}`);
      expect(offline.status.startsWith('Click the picture'), `the page says "${offline.status}"`);
    });
    await check(t, 'offline a game is kept too, and the page shows it with the one played online',
        async () => expectTheHistory(await playAGameWithAHit(page, button), 2));
  } finally {
    await chromium.close();
    await own.close();
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

// Each case is a CTest test of its own (tests/web/CMakeLists.txt reads their names from the
// browserCase lines below), run alone when TASPO_BROWSER_CASE names it.
const only = process.env.TASPO_BROWSER_CASE;
const names = [];
function browserCase(name, run) {
  names.push(name);
  if (!only || only === name) {
    test(name, run);
  }
}

browserCase('the game in its page', (t) => playTheGame(t, server.url, button));
browserCase('the game on a phone, by touch', (t) => playByTouch(t, server.url, button));
browserCase('the game with a gamepad', (t) => playWithAPad(t, server.url, button));
browserCase('the page without button.bmp',
    (t) => startWithoutTheButton(t, `${server.url}without-button/`));
browserCase('the page on a phone', (t) => fitAPhone(t, server.url));
browserCase('the page offline', (t) => playOffline(t, folder, button));
browserCase('the history of two games', (t) => keepTheHistory(t, server.url, button));
browserCase('clearing the history', (t) => clearTheHistory(t, server.url, button));
browserCase('a game the browser will not store', (t) => refuseToStore(t, server.url, button));
browserCase('the page with a taspo.cfg: full screen, no history',
    (t) => refuseFullScreen(t, `${server.url}fullscreen-config/`, button));

// A name that matches no case would otherwise pass with nothing run.
if (only && !names.includes(only)) {
  throw new Error(`no browser case is called "${only}"`);
}
