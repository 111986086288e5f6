// What the browser tests share: Debian's Chromium started headless for puppeteer-core, a page
// whose errors fail the test, canvas pixels, downloads, and a watch on the page's scheduling.
import { existsSync } from 'node:fs';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';

import puppeteer from 'puppeteer-core';

// The browser itself rather than Debian's launcher script, whose checks add nothing here.
const kChromiumCandidates = ['/usr/lib/chromium/chromium', '/usr/bin/chromium'];

/// The Chromium to drive: $KESTRAVIN_CHROMIUM, else Debian's; null when there is none.
export function chromiumPath() {
  const chosen = process.env.KESTRAVIN_CHROMIUM;
  if (chosen) return existsSync(chosen) ? chosen : null;
  return kChromiumCandidates.find((p) => existsSync(p)) ?? null;
}

// Running as root needs --no-sandbox. On a machine without a network Chromium's own
// background connections (QUIC, updates, sync, ...) fail slowly and can hold up the page.
const kFlags = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--disable-dev-shm-usage',
  '--no-first-run',
  '--no-default-browser-check',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--disable-features=Translate,MediaRouter,OptimizationHints',
  '--window-size=1024,768',
];

/// Starts headless Chromium with a fresh profile; close() also removes the profile.
export async function launchChromium() {
  const executablePath = chromiumPath();
  if (!executablePath) throw new Error('no Chromium: run scripts/deps web');
  const profile = await mkdtemp(path.join(os.tmpdir(), 'kestravin-chromium-'));
  const started = performance.now();
  const browser = await puppeteer.launch({
    executablePath,
    headless: true,
    userDataDir: profile,
    args: kFlags,
    // The page's list boxes show their scroll bars, as on the desktop.
    ignoreDefaultArgs: ['--hide-scrollbars'],
    defaultViewport: { width: 1024, height: 768, deviceScaleFactor: 1 },
  });
  return {
    browser,
    startMs: performance.now() - started,
    async close() {
      await browser.close();
      await rm(profile, { recursive: true, force: true });
    },
  };
}

/// A new page whose console errors, uncaught exceptions and failed requests are collected in
/// `problems`; with `watchScheduling`, the page's timers are counted from its first script.
export async function openPage(browser, { watchScheduling = false } = {}) {
  const page = await browser.newPage();
  const problems = [];
  page.on('console', (m) => m.type() === 'error' && problems.push(`console: ${m.text()}`));
  page.on('pageerror', (e) => problems.push(`exception: ${e.message}`));
  page.on('requestfailed', (r) => problems.push(`request failed: ${r.url()}`));
  if (watchScheduling) await page.evaluateOnNewDocument(countScheduling);
  return { page, problems };
}

// Runs in the page before its own scripts: counts every way it can ask to run later.
function countScheduling() {
  const counts = {};
  window.__schedulingCounts = counts;
  const wrap = (owner, name, label = name) => {
    const original = owner[name];
    if (typeof original !== 'function') return;
    counts[label] = 0;
    owner[name] = function (...args) {
      counts[label] += 1;
      return original.apply(this, args);
    };
  };
  for (const name of ['setTimeout', 'setInterval', 'requestAnimationFrame',
    'requestIdleCallback', 'postMessage']) {
    wrap(window, name);
  }
  wrap(MessagePort.prototype, 'postMessage', 'MessagePort.postMessage');
  if (window.scheduler) wrap(window.scheduler, 'postTask', 'scheduler.postTask');
}

/// What the page asked to run later, by kind, since it was loaded (openPage's watch).
export function schedulingCounts(page) {
  return page.evaluate(() => ({ ...window.__schedulingCounts }));
}

/// Chromium's own account of the page's work: ScriptDuration and TaskDuration in seconds.
export async function pageMetrics(page) {
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const { metrics } = await session.send('Performance.getMetrics');
  await session.detach();
  return Object.fromEntries(metrics.map((m) => [m.name, m.value]));
}

/// The RGBA values of a rectangle of a canvas, row by row, as a plain array.
export function canvasPixels(page, selector, x, y, w = 1, h = 1) {
  return page.evaluate(
    (sel, ...r) => Array.from(document.querySelector(sel).getContext('2d').getImageData(...r).data),
    selector, x, y, w, h);
}

/// Lets the browser save downloads into a fresh folder, each under its own id; next() waits
/// for the next finished one and gives the name the page suggested and the contents.
export async function captureDownloads(browser) {
  const folder = await mkdtemp(path.join(os.tmpdir(), 'kestravin-downloads-'));
  const session = await browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior', {
    behavior: 'allowAndName',
    downloadPath: folder,
    eventsEnabled: true,
  });
  const names = new Map();
  const waiting = [];
  const finished = [];
  session.on('Browser.downloadWillBegin', (e) => names.set(e.guid, e.suggestedFilename));
  session.on('Browser.downloadProgress', async (e) => {
    if (e.state !== 'completed' && e.state !== 'canceled') return;
    const name = names.get(e.guid);
    const result = e.state === 'completed'
      ? { name, text: await readFile(path.join(folder, e.guid), 'latin1') }
      : { name, canceled: true };
    const resolve = waiting.shift();
    if (resolve) resolve(result);
    else finished.push(result);
  });
  return {
    folder,
    next(timeoutMs = 10000) {
      if (finished.length) return Promise.resolve(finished.shift());
      return new Promise((resolve, reject) => {
        const timer = setTimeout(() => reject(new Error('no download finished')), timeoutMs);
        waiting.push((result) => {
          clearTimeout(timer);
          resolve(result);
        });
      });
    },
    async close() {
      await session.detach().catch(() => {});
      await rm(folder, { recursive: true, force: true });
    },
  };
}
