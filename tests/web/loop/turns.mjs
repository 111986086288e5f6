// How each way of running one step per turn of the event loop fares in headless Chromium: steps
// per second, frames painted, and how long clicks made meanwhile waited for their handler; then
// how alert() and confirm() behave under puppeteer.
//   node tests/web/loop/turns.mjs [rounds of arithmetic per step] [seconds per way]
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium, openPage } from '../browser.mjs';
import { startServer } from '../../../tools/serve.mjs';

const work = Number(process.argv[2] ?? 0);
const seconds = Number(process.argv[3] ?? 2);
const here = path.dirname(fileURLToPath(import.meta.url));
const served = await startServer(here, 0);
const chromium = await launchChromium();
try {
  const { page, problems } = await openPage(chromium.browser);
  await page.goto(`${served.url}turns.html`);
  const box = await (await page.$('#button')).boundingBox();
  console.log(`${work} rounds of arithmetic a step, ${seconds} s per way`);
  for (const [way, batchMs] of [['setTimeout', 0], ['MessageChannel', 0], ['postTask', 0],
    ['postTaskBackground', 0], ['requestAnimationFrame', 0], ['MessageChannel', 8]]) {
    const running = page.evaluate((...a) => window.runWay(...a), way, work, seconds, batchMs);
    // Clicks while it runs, one every 150 ms.
    for (let t = 300; t < seconds * 1000 - 200; t += 150) {
      await new Promise((r) => setTimeout(r, 150));
      await page.mouse.click(box.x + 10, box.y + 10);
    }
    const r = await running;
    const waits = r.clickWaits.sort((a, b) => a - b);
    const label = batchMs ? `${way}, ${batchMs} ms batches` : way;
    console.log(`${label.padEnd(30)} ${Math.round(r.steps / seconds)} steps/s,`
      + ` ${Math.round(r.frames / seconds)} frames/s, clicks ${waits.length}:`
      + ` median wait ${waits[waits.length >> 1]?.toFixed(1)} ms, worst ${waits.at(-1)?.toFixed(1)} ms`);
  }
  const dialogs = [];
  page.on('dialog', async (d) => {
    dialogs.push(`${d.type()}: ${d.message()}`);
    await new Promise((r) => setTimeout(r, 200));
    await d.accept();
  });
  const blockedMs = await page.evaluate(() => window.askAlert());
  const confirmed = await page.evaluate(() => window.askConfirm());
  console.log(`dialogs seen by puppeteer: ${dialogs.join(' | ')}`);
  console.log(`alert() held the page's script for ${blockedMs.toFixed(0)} ms (accepted after 200);`
    + ` confirm() accepted gives ${confirmed}`);
  if (problems.length) console.log(problems.join('\n'));
} finally {
  await chromium.close();
  served.server.close();
}
