// The harness on its own page: Chromium starts, the page loads its WebAssembly, a click draws
// on the canvas, a report arrives as a download, and an idle page asks for no work.
//   KESTRAVIN_WEB_PAGES=build/wasm/tests/web/pages node tests/web/probe.test.mjs
// (exit code 77: skipped, for want of the built pages or of Chromium)
import assert from 'node:assert/strict';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import {
  canvasPixels, captureDownloads, chromiumPath, launchChromium, openPage, pageMetrics,
  schedulingCounts,
} from './browser.mjs';
import { startServer } from '../../tools/serve.mjs';

const pages = process.env.KESTRAVIN_WEB_PAGES ?? '';
if (!existsSync(path.join(pages, 'probe.html')) || !chromiumPath()) {
  console.log('skipped: no built pages in KESTRAVIN_WEB_PAGES, or no Chromium');
  process.exit(77);
}

let chromium;
let server;
let url;
before(async () => {
  ({ server, url } = await startServer(pages, Number(process.env.KESTRAVIN_WEB_PORT ?? 0)));
  chromium = await launchChromium();
  console.log(`Chromium started in ${Math.round(chromium.startMs)} ms`);
});
after(async () => {
  await chromium?.close();
  server?.close();
});

// Opens the probe page and waits until its main() has run.
async function openProbe(options) {
  const opened = await openPage(chromium.browser, options);
  const started = performance.now();
  await opened.page.goto(`${url}probe.html`);
  await opened.page.waitForSelector('body[data-ready="yes"]', { timeout: 10000 });
  console.log(`probe page ready in ${Math.round(performance.now() - started)} ms`);
  return opened;
}

test('a click draws on the canvas, exactly in the colours drawn', async () => {
  const { page, problems } = await openProbe();
  assert.deepEqual(await canvasPixels(page, '#canvas', 15, 15), [0, 0, 255, 255]);
  assert.deepEqual(await canvasPixels(page, '#canvas', 45, 65), [0, 0, 0, 255]);
  await page.click('#step');
  // The rectangle's corners and the pixels just outside it: no blending at the edges.
  const block = await canvasPixels(page, '#canvas', 39, 59, 22, 22);
  const at = (x, y) => block.slice((y * 22 + x) * 4, (y * 22 + x) * 4 + 4);
  assert.deepEqual(at(1, 1), [255, 0, 0, 255]);
  assert.deepEqual(at(20, 20), [255, 0, 0, 255]);
  assert.deepEqual(at(0, 0), [0, 0, 0, 255]);
  assert.deepEqual(at(21, 21), [0, 0, 0, 255]);
  assert.deepEqual(problems, []);
  await page.close();
});

test('a report offered by the page arrives as a download with its name and bytes', async () => {
  const { page, problems } = await openProbe();
  const downloads = await captureDownloads(chromium.browser);
  try {
    await page.click('#step');
    await page.click('#save');
    const file = await downloads.next();
    assert.equal(file.name, 'generation 0.txt');
    assert.equal(file.text, 'Year: 0\r\nClicks: 1\r\nYear: 1\r\nClicks: 1\r\nYear: 2\r\nClicks: 1\r\n');
  } finally {
    await downloads.close();
  }
  assert.deepEqual(problems, []);
  await page.close();
});

test('an idle page schedules nothing for three seconds', async () => {
  const { page, problems } = await openProbe({ watchScheduling: true });
  await page.click('#step');
  const counts = await schedulingCounts(page);
  const metrics = await pageMetrics(page);
  await new Promise((resolve) => setTimeout(resolve, 3000));
  const later = await schedulingCounts(page);
  const laterMetrics = await pageMetrics(page);
  assert.deepEqual(later, counts, 'timers, frames or messages were asked for while idle');
  // The watch itself works: a frame asked for now is counted.
  await page.evaluate(() => requestAnimationFrame(() => {}));
  const watched = await schedulingCounts(page);
  assert.equal(watched.requestAnimationFrame, later.requestAnimationFrame + 1);
  const scriptMs = (laterMetrics.ScriptDuration - metrics.ScriptDuration) * 1000;
  const taskMs = (laterMetrics.TaskDuration - metrics.TaskDuration) * 1000;
  console.log(`idle 3 s: script ${scriptMs.toFixed(2)} ms, tasks ${taskMs.toFixed(2)} ms`);
  assert.ok(scriptMs < 5, `the page ran ${scriptMs} ms of script while idle`);
  assert.deepEqual(problems, []);
  await page.close();
});
