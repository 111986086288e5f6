// The desktop's window and panel tests (tests/ui) on the web backend, in headless Chromium:
// the same routing, drawing and pixels through the page's elements and canvases.
//   KESTRAVIN_WEB_PAGES=build/wasm/tests/web/pages node tests/web/ui_tests.test.mjs
// (exit code 77: skipped, for want of the built pages or of Chromium)
import assert from 'node:assert/strict';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { chromiumPath, launchChromium, openPage } from './browser.mjs';
import { startServer } from '../../tools/serve.mjs';

const pages = process.env.KESTRAVIN_WEB_PAGES ?? '';
if (!existsSync(path.join(pages, 'ui_tests.js')) || !chromiumPath()) {
  console.log('skipped: no built window tests in KESTRAVIN_WEB_PAGES, or no Chromium');
  process.exit(77);
}

let chromium;
let server;
let url;
before(async () => {
  ({ server, url } = await startServer(pages, 0));
  chromium = await launchChromium();
});
after(async () => {
  await chromium?.close();
  server?.close();
});

test('the window and panel tests pass on the web backend', async () => {
  const { page, problems } = await openPage(chromium.browser);
  const lines = [];
  const ended = new Promise((resolve) => {
    page.on('console', (message) => {
      const text = message.text();
      lines.push(text);
      const end = /^kestravin tests ended: (\w+)/.exec(text);
      if (end) resolve(end[1]);
    });
  });
  await page.goto(`${url}ui_tests.html`);
  let timer;
  const timeout = new Promise((resolve) => {
    timer = setTimeout(() => resolve('timed out'), 120000);
  });
  const outcome = await Promise.race([ended, timeout]);
  clearTimeout(timer);
  const summary = lines.filter((l) => /^\[ *(PASSED|FAILED|SKIPPED) *\]|Failure|Expected|Which is/.test(l));
  console.log(summary.join('\n'));
  assert.equal(outcome, 'passed', lines.join('\n'));
  assert.deepEqual(problems.filter((p) => !p.startsWith('console:')), []);
  await page.close();
});
