// How near the browser's single-colour text comes to a reference picture of the same lines
// (the desktop program's text, say), for several coverage thresholds.
//   node tests/web/text/compare_text.mjs REFERENCE.png LINES.json [OUT.png]
// LINES.json: { "pixelSize": 16, "lines": [...], "advances64": [advances of codes 32..126] }
// (advances in 64ths of a pixel, optional; ui/platform/qt/research/qt_text_reference.cpp writes both files). Prints
// the ink pixels of the reference that each way misses or adds; OUT.png gets the reference
// above the best rendering.
import { copyFile, mkdtemp, rm } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium, openPage } from '../browser.mjs';
import { startServer } from '../../../tools/serve.mjs';

const [reference, linesFile, output] = process.argv.slice(2);
if (!reference || !linesFile) {
  console.error('usage: node compare_text.mjs REFERENCE.png LINES.json [OUT.png]');
  process.exit(2);
}
const here = path.dirname(fileURLToPath(import.meta.url));
const font = '/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf';

const folder = await mkdtemp(path.join(os.tmpdir(), 'kestravin-text-'));
let chromium;
let served;
try {
  await copyFile(path.join(here, 'compare.html'), path.join(folder, 'compare.html'));
  await copyFile(path.join(here, 'mono_glyphs.js'), path.join(folder, 'mono_glyphs.js'));
  await copyFile(font, path.join(folder, 'LiberationSans-Regular.ttf'));
  await copyFile(reference, path.join(folder, 'reference.png'));
  await copyFile(linesFile, path.join(folder, 'lines.json'));
  served = await startServer(folder, 0);
  chromium = await launchChromium();
  const { page, problems } = await openPage(chromium.browser);
  await page.goto(`${served.url}compare.html`);
  await page.waitForFunction(() => window.__results, { timeout: 20000 });
  const { results, bestThreshold } = await page.evaluate(() => window.__results);
  console.log('way             threshold   ink  missing  extra  advances differing');
  for (const r of results) {
    console.log(`${r.way.padEnd(15)} ${String(r.threshold).padStart(9)} ${String(r.ink).padStart(5)}`
      + ` ${String(r.missing).padStart(8)} ${String(r.extra).padStart(6)}`
      + `  ${r.advanceDiffs ?? ''}`);
  }
  if (output) {
    await (await page.$('#out')).screenshot({ path: output });
    console.log(`${output}: the reference above the glyph atlas at threshold ${bestThreshold}`);
  }
  if (problems.length) console.error(problems.join('\n'));
} finally {
  await chromium?.close();
  served?.server.close();
  await rm(folder, { recursive: true, force: true });
}
