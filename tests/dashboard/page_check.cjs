// The dashboard page in Debian's headless chromium, driven by playwright-core
// (which downloads no browser of its own here): the charts are drawn, the
// figures shown are those of /api/view, markup from the record stays text,
// and a row the station adds shows without a reload.
//   node page_check.cjs URL NODE_MODULES SCREENSHOT|- PRESS_COMMAND...
'use strict';
const path = require('path');
const { execFile } = require('child_process');
const { promisify } = require('util');

const [url, nodeModules, screenshot, ...press] = process.argv.slice(2);
const { chromium } = require(path.join(nodeModules, 'playwright-core'));

function fail(message) {
  console.error('page check: ' + message);
  process.exitCode = 1;
}

async function main() {
  // A browser of its own, with a fresh profile that playwright makes and removes.
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const context = await browser.newContext({ viewport: { width: 1400, height: 1700 } });
  const problems = [];
  try {
    const page = await context.newPage();
    page.on('dialog', (dialog) => { problems.push('a dialog opened: ' + dialog.message()); dialog.dismiss(); });
    page.on('pageerror', (error) => problems.push('script error: ' + error.message));
    page.on('requestfailed', (request) => problems.push('request failed: ' + request.url()));
    page.on('request', (request) => { if (!request.url().startsWith(url)) problems.push('left the program: ' + request.url()); });
    await page.goto(url, { waitUntil: 'load', timeout: 20000 });
    await page.waitForSelector('body[data-loaded]', { timeout: 20000 });
    await page.waitForTimeout(300);

    // Every chart has pixels on its canvas.
    const drawn = await page.evaluate(() => [...document.querySelectorAll('canvas')].map((canvas) => {
      const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      let painted = 0;
      for (let i = 3; i < data.length; i += 4) if (data[i] !== 0) painted++;
      return [canvas.id, canvas.width, painted];
    }));
    if (drawn.length !== 3) fail('expected 3 charts, found ' + drawn.length);
    for (const [id, width, painted] of drawn) if (!(width > 0 && painted > 500)) fail(`chart ${id} is empty (${painted} pixels)`);

    // The figures shown are the JSON's.
    const view = await page.evaluate(async () => (await fetch('/api/view')).json());
    const shown = await page.evaluate(() => {
      const cell = (id) => [...document.querySelectorAll('#' + id + ' tr')].slice(1).map((tr) => [...tr.children].map((td) => td.textContent));
      const totals = {};
      for (const figure of document.querySelectorAll('[data-total]')) totals[figure.dataset.total] = figure.textContent;
      return { totals, latest: cell('latestTable'), pareto: cell('paretoTable'), hours: cell('hoursTable'), ranges: cell('rangesTable'),
        unknown: cell('unknownTable'), findings: document.getElementById('findings').hidden, images: document.querySelectorAll('img').length,
        text: document.body.innerText };
    });
    for (const key of ['addressed', 'burnsPassed', 'burnsFailed']) {
      if (shown.totals[key] !== String(view.totals[key])) fail(`${key} shows ${shown.totals[key]}, the JSON says ${view.totals[key]}`);
    }
    if (shown.totals.yield !== (view.totals.yield * 100).toFixed(1) + '%') fail('yield shows ' + shown.totals.yield);
    if (shown.latest.length !== view.latest.length) fail(`${shown.latest.length} latest rows shown, ${view.latest.length} in the JSON`);
    view.latest.forEach((row, i) => {
      if (shown.latest[i][0] !== String(row.id) || shown.latest[i][5] !== row.result || shown.latest[i][2] !== row.station) {
        fail('latest row ' + i + ' shows ' + JSON.stringify(shown.latest[i]));
      }
    });
    if (JSON.stringify(shown.pareto) !== JSON.stringify(view.pareto.map((p) => [p.operation, p.result, String(p.count)]))) {
      fail('the Pareto shows ' + JSON.stringify(shown.pareto));
    }
    if (shown.hours.length !== view.hours.length) fail('hours table has ' + shown.hours.length + ' rows');
    if (shown.ranges.length !== view.ranges.length || shown.ranges[0][5] !== String(view.ranges[0].left)) fail('ranges show ' + JSON.stringify(shown.ranges));
    if (view.check.unknown.length === 0 || shown.findings || shown.unknown.length !== view.check.unknown.length) fail('the unknown outcomes are not shown at the top');
    // The record's markup is text on the page, and made no element.
    const markup = view.latest.map((row) => row.station).find((station) => station.includes('<'));
    if (!markup) fail('the record holds no markup to show');
    if (!shown.text.includes(markup)) fail('the markup is not shown as text');
    if (shown.images !== 0) fail('the record made ' + shown.images + ' img elements');
    if (screenshot !== '-') await page.screenshot({ path: screenshot, fullPage: true });

    // The station presses again: its rows show within 5 s, without a reload.
    const newest = view.latest[0].id;
    await promisify(execFile)(press[0], press.slice(1));
    const pressed = Date.now();
    let shownId = 0;
    while (Date.now() - pressed < 5000 && !(shownId > newest)) {
      await page.waitForTimeout(100);
      shownId = await page.evaluate(() => Number(document.querySelector('#latestTable tr:nth-child(2) td').textContent));
    }
    if (!(shownId > newest)) fail(`the new rows did not show within 5 s (newest ${newest} before, ${shownId} shown)`);
  } finally {
    await browser.close();
  }
  for (const problem of problems) fail(problem);
}

main().catch((error) => fail(error.stack || String(error)));
