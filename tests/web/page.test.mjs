// The web page itself in headless Chromium, served as scripts/web serves it: its pixels, its
// buttons and windows, a seeded run's report against kestravin-sim's, and a paused page's
// silence.
//   KESTRAVIN_WEB_PAGE=build/wasm/web KESTRAVIN_SIM_WASM=build/wasm/kestravin-sim.js \
//     node tests/web/page.test.mjs
// KESTRAVIN_SIM names a native kestravin-sim to compare with instead of the WebAssembly one.
// (exit code 77: skipped, for want of the built page or of Chromium)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import { mkdtemp, rm } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import {
  canvasPixels, captureDownloads, chromiumPath, launchChromium, openPage, pageMetrics,
  schedulingCounts,
} from './browser.mjs';
import { startServer } from '../../tools/serve.mjs';

const pageFolder = process.env.KESTRAVIN_WEB_PAGE ?? '';
if (!existsSync(path.join(pageFolder, 'index.html')) || !chromiumPath()) {
  console.log('skipped: no built page in KESTRAVIN_WEB_PAGE, or no Chromium');
  process.exit(77);
}
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

const MAIN = '.window[data-class=MAINCLASS]';
const OPTIONS = '.window[data-class=OPTCLASS]';
const GRAPH = '.window[data-class=GRAPHCLASS]';
const STATUS = `${MAIN} > .client > canvas`;
const DETAILS = `${MAIN} .child[data-class=PLAYERCLASS] canvas`;
const GRAPH_CANVAS = `${GRAPH} > .client > canvas`;
const BLUE = [0, 0, 255, 255];
const BLACK = [0, 0, 0, 255];
const CURVE = [98, 4, 178, 255];

let chromium;
let server;
let url;
before(async () => {
  ({ server, url } = await startServer(pageFolder, 0));
  chromium = await launchChromium();
});
after(async () => {
  await chromium?.close();
  server?.close();
});

// The page, loaded and settled: nothing more to do until the user acts.
async function openKestravin(query = '', options = {}) {
  const opened = await openPage(chromium.browser, options);
  const started = performance.now();
  await opened.page.goto(`${url}index.html${query}`);
  await settled(opened.page);
  opened.loadMs = performance.now() - started;
  return opened;
}

function settled(page, timeout = 30000) {
  return page.waitForSelector('html[data-state=idle]', { timeout });
}

// The button of a window with the given text.
async function button(page, window, text) {
  const handle = await page.evaluateHandle((w, t) => [...document.querySelectorAll(`${w} button`)]
    .find((b) => b.textContent === t), window, text);
  assert.ok(handle.asElement(), `no button "${text}" in ${window}`);
  return handle;
}

async function press(page, window, text) {
  await (await button(page, window, text)).click();
  await settled(page);
}

function visible(page, window) {
  return page.$eval(window, (w) => !w.hidden);
}

// How many rows a list box holds, and the texts of those shown.
function listRows(page, list) {
  return page.$eval(list, (l) => ({
    count: Math.round(parseFloat(l.querySelector('.spacer').style.height || '0') / 18),
    shown: [...l.querySelectorAll('.row')].map((r) => r.textContent),
    selected: [...l.querySelectorAll('.row.selected')].map((r) => Number(r.dataset.row)),
  }));
}

function count(pixels, colour) {
  let n = 0;
  for (let i = 0; i < pixels.length; i += 4) {
    if (colour.every((c, k) => pixels[i + k] === c)) n += 1;
  }
  return n;
}

// Types into an option field (0: the fitness string, then the numbers in the window's order)
// as the user does: all of it selected, then the keys.
async function retype(page, field, text) {
  const input = (await page.$$(`${OPTIONS} input.edit`))[field];
  await input.click({ clickCount: 3 });
  await input.type(text);
}
const TEAM_SIZE = 3;
const MAX_GEN = 11;

test('the status panel on the canvas: the separator and the text exactly in blue on black',
  async () => {
    const { page, problems, loadMs } = await openKestravin();
    console.log(`page loaded and settled in ${Math.round(loadMs)} ms`);
    const separator = await canvasPixels(page, STATUS, 0, 32, 495, 1);
    for (let x = 0; x < 495; ++x) {
      assert.deepEqual(separator.slice(4 * x, 4 * x + 4), x >= 5 && x <= 489 ? BLUE : BLACK,
        `separator pixel ${x}`);
    }
    const panel = await canvasPixels(page, STATUS, 0, 0, 495, 120);
    const blue = count(panel, BLUE);
    assert.ok(count(await canvasPixels(page, STATUS, 5, 0, 80, 15), BLUE) > 20, 'the year line');
    assert.ok(blue > 1500, `${blue} blue pixels of text`);
    assert.equal(blue + count(panel, BLACK), 495 * 120, 'nothing but blue and black');
    const headings = await canvasPixels(page, STATUS, 0, 205, 200, 15);
    assert.ok(count(headings, BLUE) > 40, 'the player list headings');
    assert.deepEqual(problems, []);
    await page.close();
  });

test('Step, Start/Stop, Reset, Options, Graphs and the details of a player', async () => {
  const { page, problems } = await openKestravin();
  const list = `${MAIN} .list`;
  assert.equal((await listRows(page, list)).count, 200, 'the founders');

  const yearLine = () => canvasPixels(page, STATUS, 0, 0, 95, 15);
  const year0 = await yearLine();
  await press(page, MAIN, 'Step');
  assert.notDeepEqual(await yearLine(), year0, 'a year later');
  assert.ok((await listRows(page, list)).count > 0, 'the players after the year');

  // Running, the list is empty; Stop answers at once and fills it again.
  await (await button(page, MAIN, 'Start/Stop')).click();
  assert.equal(await page.$eval('html', (h) => h.dataset.state), 'busy');
  assert.equal((await listRows(page, list)).count, 0);
  await new Promise((resolve) => setTimeout(resolve, 300));
  await press(page, MAIN, 'Start/Stop');
  assert.ok((await listRows(page, list)).count > 0);

  await press(page, MAIN, 'Reset');
  assert.deepEqual(await yearLine(), year0, 'the start year again');
  assert.equal((await listRows(page, list)).count, 200);

  // Options: a team of 30 for 3 years; Ok starts it, Start runs it to its time limit.
  assert.equal(await visible(page, OPTIONS), false);
  await press(page, MAIN, 'Options');
  assert.equal(await visible(page, OPTIONS), true);
  await retype(page, TEAM_SIZE, '30');
  await retype(page, MAX_GEN, '3');
  await press(page, OPTIONS, 'Ok');
  assert.equal(await visible(page, OPTIONS), false);
  assert.equal((await listRows(page, list)).count, 30);
  await press(page, MAIN, 'Start/Stop');
  const end = await canvasPixels(page, STATUS, 5, 100, 300, 17);
  assert.ok(count(end, [255, 0, 0, 255]) > 20, 'the time limit, in red');

  // Graphs: the population's curve; another graph picked in the list draws another picture.
  await press(page, MAIN, 'Graphs');
  assert.equal(await visible(page, GRAPH), true);
  const population = await canvasPixels(page, GRAPH_CANVAS, 5, 5, 440, 340);
  assert.ok(count(population, CURVE) > 0, 'the curve');
  assert.ok(count(population, BLUE) > 300, 'axes and texts');
  const graphList = `${GRAPH} .list`;
  assert.deepEqual((await listRows(page, graphList)).selected, [2]);
  await page.focus(graphList);
  await page.keyboard.press('ArrowDown');
  await settled(page);
  assert.deepEqual((await listRows(page, graphList)).selected, [3]);
  assert.notDeepEqual(await canvasPixels(page, GRAPH_CANVAS, 5, 5, 440, 340), population);
  await press(page, GRAPH, 'Ok');
  assert.equal(await visible(page, GRAPH), false);

  // A player picked in the list: its details on the panel below.
  assert.equal(count(await canvasPixels(page, DETAILS, 0, 0, 398, 148), BLUE), 0);
  await page.click(`${list} .row`);
  await settled(page);
  assert.deepEqual((await listRows(page, list)).selected, [0]);
  assert.ok(count(await canvasPixels(page, DETAILS, 0, 0, 398, 148), BLUE) > 300);
  assert.deepEqual(problems, []);
  await page.close();
});

test('a seeded run\'s report downloads byte for byte as kestravin-sim writes it', async () => {
  const seed = 4242;
  const { page, problems } = await openKestravin(`?seed=${seed}`);
  const downloads = await captureDownloads(chromium.browser);
  const work = await mkdtemp(path.join(os.tmpdir(), 'kestravin-page-'));
  try {
    await press(page, MAIN, 'Options');
    await retype(page, TEAM_SIZE, '60');
    await retype(page, MAX_GEN, '40');
    await page.click(`${OPTIONS} .check input`);
    await press(page, OPTIONS, 'Ok');
    await press(page, MAIN, 'Start/Stop');
    const report = await downloads.next(30000);
    assert.equal(report.name, 'generation 0.txt');

    const want = simReport(work, seed, { TeamSize: 60, MaxGen: 40 });
    assert.ok(want.includes('\r\n'), 'CR LF line ends');
    assert.equal(report.text.length, want.length);
    assert.ok(report.text === want, 'the same bytes');
  } finally {
    await downloads.close();
    await rm(work, { recursive: true, force: true });
  }
  assert.deepEqual(problems, []);
  await page.close();
});

// The right-click menus: the run's seed, Fast by its key, and the graph's picture and data as
// downloads, the data as kestravin-sim writes its history.
test('the context menus: the seed, Fast, and the graph saved as a picture and as data',
  async () => {
    const seed = 2024;
    const { page, problems } = await openKestravin(`?seed=${seed}`);
    const downloads = await captureDownloads(chromium.browser);
    const work = await mkdtemp(path.join(os.tmpdir(), 'kestravin-page-'));
    const menu = async (canvas) => {
      await page.click(canvas, { button: 'right' });
      await page.waitForSelector('.menu');
      return page.$$eval('.menu .entry', (es) => es.map((e) => ({
        text: e.querySelector('.text').textContent, key: e.querySelector('.key').textContent,
        checked: e.getAttribute('aria-checked') === 'true', enabled: !e.disabled })));
    };
    const choose = async (text) => {
      await (await page.evaluateHandle((t) => [...document.querySelectorAll('.menu .entry')]
        .find((e) => e.querySelector('.text').textContent === t), text)).click();
      await settled(page);
    };
    try {
      const main = await menu(STATUS);
      assert.deepEqual(main.map((e) => e.text),
        [`Seed of this run: ${seed} (copy)`, 'Reset with this seed', 'Fast']);
      assert.equal(main[2].key, 'F');
      assert.equal(main[2].checked, false);
      await page.keyboard.press('Escape');
      assert.equal(await page.$('.menu'), null, 'Escape closes the menu');

      await page.focus(`${MAIN} .list`);
      await page.keyboard.press('f');
      assert.equal((await menu(STATUS))[2].checked, true, 'F turns Fast on');
      await choose('Fast');
      assert.equal((await menu(STATUS))[2].checked, false);
      await page.keyboard.press('Escape');

      for (let k = 0; k < 5; ++k) await press(page, MAIN, 'Step');
      await press(page, MAIN, 'Graphs');
      const graph = await menu(GRAPH_CANVAS);
      assert.deepEqual(graph.map((e) => [e.text, e.key]),
        [['Save picture...', 'Ctrl+S'], ['Save data...', 'Ctrl+Shift+S']]);
      await choose('Save picture...');
      const picture = await downloads.next();
      assert.equal(picture.name, 'graph.png');
      assert.ok(picture.text.startsWith('\x89PNG\r\n\x1a\n'));
      assert.ok(picture.text.length > 440 * 340 * 3, 'every pixel stored');

      await page.focus(`${GRAPH} .list`);
      await page.keyboard.down('Control');
      await page.keyboard.down('Shift');
      await page.keyboard.press('S');
      await page.keyboard.up('Shift');
      await page.keyboard.up('Control');
      const data = await downloads.next();
      assert.equal(data.name, 'history.csv');
      const lines = data.text.trimEnd().split(/\r?\n/);
      assert.equal(lines.length, 1 + 6, 'the heading and years 0 to 5');
      const sim = simRun(work, seed, {}, ['--csv']).csv;
      assert.ok(sim.startsWith(data.text), 'the simulator\'s history, as far as the run went');
    } finally {
      await downloads.close();
      await rm(work, { recursive: true, force: true });
    }
    assert.deepEqual(problems, []);
    await page.close();
  });

// The run's report as kestravin-sim writes it, for the built-in constants with some changed.
function simReport(work, seed, changes) {
  return simRun(work, seed, changes, ['--report']).report;
}

// kestravin-sim's outputs (--report, --csv) for the built-in constants with some changed.
function simRun(work, seed, changes, outputs) {
  let text = readFileSync(path.join(source, 'data/consts.txt'), 'latin1');
  for (const [name, value] of Object.entries(changes)) {
    text = text.replace(new RegExp(`^${name}: .*$`, 'm'), `${name}: ${value}`);
  }
  const consts = path.join(work, 'consts.txt');
  writeFileSync(consts, text, 'latin1');
  const files = { '--report': path.join(work, 'expected.txt'), '--csv': path.join(work, 'expected.csv') };
  const sim = process.env.KESTRAVIN_SIM
    ? [process.env.KESTRAVIN_SIM]
    : [process.execPath, process.env.KESTRAVIN_SIM_WASM];
  execFileSync(sim[0], [...sim.slice(1), '--consts', consts, '--seed', String(seed),
    ...outputs.flatMap((o) => [o, files[o]])], { stdio: 'ignore' });
  return {
    report: outputs.includes('--report') ? readFileSync(files['--report'], 'latin1') : '',
    csv: outputs.includes('--csv') ? readFileSync(files['--csv'], 'latin1') : '',
  };
}

// Answers the next message box with its button `choice`; its text. A box once answered is
// marked, so that the next call waits for a box of its own.
async function answer(page, choice) {
  const box = await page.waitForSelector('dialog.message[open]:not([data-answered])');
  const text = await box.evaluate((d) => {
    d.dataset.answered = 'yes';
    return d.textContent;
  });
  const chosen = await box.evaluateHandle((d, c) => [...d.querySelectorAll('button')]
    .find((b) => b.textContent === c), choice);
  assert.ok(chosen.asElement(), `no button "${choice}" in the box "${text}"`);
  await chosen.click();
  return text;
}

test('a report that would pass its limit asks first, and ends on a whole year', async () => {
  const seed = 99;
  const limit = 12000;
  const { page, problems } = await openKestravin(`?seed=${seed}&reportLimit=${limit}`);
  const downloads = await captureDownloads(chromium.browser);
  const work = await mkdtemp(path.join(os.tmpdir(), 'kestravin-page-'));
  try {
    await press(page, MAIN, 'Options');
    await retype(page, TEAM_SIZE, '25');
    await retype(page, MAX_GEN, '200');
    await page.click(`${OPTIONS} .check input`);
    await press(page, OPTIONS, 'Ok');
    await (await button(page, MAIN, 'Start/Stop')).click();
    const first = await answer(page, 'OK');
    assert.match(first, /generation 0\.txt would pass 12 kB/);
    await answer(page, 'Cancel');
    const report = await downloads.next(30000);
    assert.equal(report.name, 'generation 0.txt');
    await settled(page);

    const whole = simReport(work, seed, { TeamSize: 25, MaxGen: 200 });
    const end = '\r\n*******************************\r\n\r\n';
    assert.ok(report.text.length > limit && report.text.length <= 2 * limit + 1000);
    assert.ok(whole.startsWith(report.text), 'the simulator\'s report, cut short');
    assert.ok(report.text.endsWith(end), 'on a whole year');
    const next = whole.indexOf(end, report.text.length) + end.length;
    assert.ok(next > report.text.length, 'the next year is left out');
  } finally {
    await downloads.close();
    await rm(work, { recursive: true, force: true });
  }
  assert.deepEqual(problems, []);
  await page.close();
});

test('a paused page schedules nothing for three seconds', async () => {
  const { page, problems } = await openKestravin('', { watchScheduling: true });
  await press(page, MAIN, 'Step');
  const counts = await schedulingCounts(page);
  const metrics = await pageMetrics(page);
  await new Promise((resolve) => setTimeout(resolve, 3000));
  const later = await schedulingCounts(page);
  const laterMetrics = await pageMetrics(page);
  assert.deepEqual(later, counts, 'timers, frames or tasks were asked for while paused');
  const ran = Object.values(counts).reduce((a, b) => a + b, 0);
  assert.ok(ran > 0, 'the watch saw the page schedule its work before');
  const scriptMs = (laterMetrics.ScriptDuration - metrics.ScriptDuration) * 1000;
  console.log(`paused 3 s: script ${scriptMs.toFixed(2)} ms`);
  assert.ok(scriptMs < 5, `the page ran ${scriptMs} ms of script while paused`);
  assert.deepEqual(problems, []);
  await page.close();
});
