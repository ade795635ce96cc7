// SPDX-License-Identifier: MIT
// The page in headless Chromium: values typed and pasted, Execute, the panels read back and
// compared with `benthix-cli analyze --json` for the same entries; a survey file opened, run
// and its results downloaded, compared with `benthix-cli batch`; no request after the page has
// loaded, no console error; usable at 1024×600 and at a phone's 375×667.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {serveSite, launch, runCli, maskedReport, externalReferences} = require('./support');

let server, browser;
const consoleErrors = [];
const lateRequests = [];

async function openPage(viewport = {width: 1024, height: 600}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  page.on('console', (m) => {
    if (m.type() === 'error') consoleErrors.push(m.text());
  });
  page.on('pageerror', (e) => consoleErrors.push(String(e)));
  let loaded = false;
  page.on('request', (r) => {
    if (loaded && !r.url().startsWith('blob:') && !r.url().startsWith('data:')) {
      lateRequests.push(r.url());
    }
  });
  await page.goto(server.url + 'index.html', {waitUntil: 'load'});
  await page.waitForSelector('body[data-ready="true"]', {timeout: 10000});
  loaded = true;
  return page;
}

function fields(page) {
  return page.$$eval('[data-field]', (dds) => Object.fromEntries(dds.map((d) => [d.dataset.field, d.textContent])));
}

test.before(async () => {
  server = await serveSite();
  browser = await launch();
});

test.after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

test('typed and pasted values, Execute: the panels show what analyze --json gives', async () => {
  const page = await openPage();
  // Typing, Enter to the next row.
  await page.click('#grid1 input[data-row="1"]');
  for (const v of ['12', '14', '11', '13', '15']) {
    await page.keyboard.type(v);
    await page.keyboard.press('Enter');
  }
  // A spreadsheet column pasted into the reference's first cell fills it downwards.
  await page.$eval('#grid2 input[data-row="1"]', (input) => {
    const data = new DataTransfer();
    data.setData('text/plain', '20\r\n22\r\n19\r\n21\r\n23\r\n');
    input.focus();
    input.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
  });
  const reference = await page.$$eval('#grid2 input', (inputs) => inputs.map((i) => i.value));
  assert.deepStrictEqual(reference.slice(0, 6), ['20', '22', '19', '21', '23', '']);
  // Arrow up from row 6 lands on row 5.
  await page.focus('#grid1 input[data-row="6"]');
  await page.keyboard.press('ArrowUp');
  assert.strictEqual(await page.evaluate(() => document.activeElement.dataset.row), '5');

  await page.select('#alpha', '0.1');
  await page.click('#execute');
  await page.waitForFunction(() => document.querySelector('[data-field="hypothesis.statistic"]').textContent !== '');
  const shown = await fields(page);
  const expected = JSON.parse(runCli(['analyze', '--json', '--test', '12,14,11,13,15',
    '--reference', '20,22,19,21,23', '--alpha', '0.1']).stdout);
  for (const [key, text] of Object.entries(shown)) {
    const [panel, name] = key.split('.');
    assert.strictEqual(text, expected[panel][name], `${key} as analyze --json gives it`);
  }
  const pictures = await page.$$eval('[data-picture]', (s) => Object.fromEntries(s.map((e) => [e.dataset.picture, e.dataset.state])));
  assert.deepStrictEqual(pictures, expected.pictures);
  const transforms = await page.$$eval('#grid1 td.transform', (tds) => tds.map((t) => t.textContent));
  assert.deepStrictEqual(transforms, expected.transform_column.test);
  const status = await page.$$eval('#status li', (lis) => lis.map((l) => l.textContent));
  assert.deepStrictEqual(status, expected.status.slice(1));
  assert.ok((await page.$$('#plot circle')).length === 10, 'the replicate plot shows the ten replicates');
  assert.ok((await page.$$('#explanation li')).length >= 3, 'the explanation of the chosen test');
  await page.close();
});

test('a refused entry is said in the messages, and the normality override asks', async () => {
  const page = await openPage();
  await page.type('#grid1 input[data-row="1"]', '1');
  await page.type('#grid1 input[data-row="2"]', '2');
  await page.type('#grid2 input[data-row="1"]', '3');
  await page.click('#execute');
  await page.waitForFunction(() => document.querySelectorAll('#status li').length > 1);
  const status = await page.$$eval('#status li', (lis) => lis.map((l) => l.textContent).join('\n'));
  assert.match(status, /NOT analysed|Stats complete/);

  // Skewed data fails the normality test: with the override on, the page asks, and Yes runs the
  // comparison as normal (Student's t rather than Mann-Whitney or the rankits).
  await page.click('#clear');
  const test1 = ['1', '1', '1', '1', '9'], ref = ['5', '6', '5', '6', '5'];
  for (let i = 0; i < 5; ++i) {
    await page.type(`#grid1 input[data-row="${i + 1}"]`, test1[i]);
    await page.type(`#grid2 input[data-row="${i + 1}"]`, ref[i]);
  }
  await page.click('#override-on');
  await page.click('#execute');
  await page.waitForSelector('#override-dialog[open]');
  await page.click('#override-dialog button[value="yes"]');
  await page.waitForFunction(() => document.querySelector('[data-field="normality.override"]').textContent !== '');
  const expected = JSON.parse(runCli(['analyze', '--json', '--test', test1.join(','), '--reference', ref.join(','), '--override', 'yes']).stdout);
  const shown = await fields(page);
  assert.strictEqual(shown['normality.override'], expected.normality.override);
  assert.strictEqual(shown['hypothesis.statistic'], expected.hypothesis.statistic);
  await page.close();
});

// A Windows-1252 export reads as the desktop reads it, and says so: "Süd" stays "Süd".
test('a survey in Windows-1252 is read as such and said to be', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'benthix-page-'));
  const surveyPath = path.join(dir, 'ansi.csv');
  const text = 'sample,value\nREF,10\nREF,11\nREF,12\nS\xFCd,8\nS\xFCd,9\nS\xFCd,7\n';
  fs.writeFileSync(surveyPath, Buffer.from(text, 'latin1'));
  const page = await openPage();
  await (await page.$('#survey-file')).uploadFile(surveyPath);
  await page.waitForFunction(() => document.querySelectorAll('#reference option').length > 1);
  assert.match(await page.$eval('#survey-status', (e) => e.textContent), /not UTF-8: read as Windows-1252/);
  await page.select('#reference', 'REF');
  await page.click('#run-survey');
  await page.waitForFunction(() => document.querySelectorAll('#survey-table tbody tr').length === 1);
  assert.strictEqual(await page.$eval('#survey-table tbody tr td:first-child', (t) => t.textContent), 'S\u00fcd');
  await page.close();
});

test('a survey file opened, run and its results downloaded as the batch writes them', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'benthix-page-'));
  const surveyPath = path.join(dir, 'creek.csv');
  const rows = ['sample,value'];
  const values = {REF: [10, 11, 12, 11], ST01: [8, 9, 7, 8], ST02: [11, 12, 10, 11], ST03: [4, 12, 9, 10]};
  for (const [id, vs] of Object.entries(values)) vs.forEach((v) => rows.push(`${id},${v}`));
  fs.writeFileSync(surveyPath, rows.join('\n') + '\n');

  const page = await openPage();
  const client = await page.createCDPSession();
  await client.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: dir});
  const input = await page.$('#survey-file');
  await input.uploadFile(surveyPath);
  await page.waitForFunction(() => document.querySelectorAll('#reference option').length > 1);
  await page.select('#reference', 'REF');
  await page.click('#run-survey');
  await page.waitForFunction(() => document.querySelectorAll('#survey-table tbody tr').length === 3);
  const samples = await page.$$eval('#survey-table tbody tr td:first-child', (tds) => tds.map((t) => t.textContent));
  assert.deepStrictEqual(samples, ['ST01', 'ST02', 'ST03']);

  // The downloads are of the run shown, though the form has changed since.
  await page.select('#survey-alternative', 'greater');
  await page.click('#download-csv');
  await page.click('#download-jsonl');
  await page.click('#download-xlsx');
  await page.click('#download-report');
  const wait = async (name) => {
    for (let i = 0; i < 100 && !fs.existsSync(path.join(dir, name)); ++i) await new Promise((r) => setTimeout(r, 50));
    return fs.readFileSync(path.join(dir, name));
  };
  const csv = (await wait('creek-results.csv')).toString();
  const jsonl = (await wait('creek-results.jsonl')).toString();
  const xlsx = await wait('creek-results.xlsx');
  const batchCsv = runCli(['batch', surveyPath, '--reference', 'REF', '--quiet']).stdout;
  const batchJsonl = runCli(['batch', surveyPath, '--reference', 'REF', '--format', 'jsonl', '--quiet']).stdout;
  assert.strictEqual(csv.split('\n')[0], batchCsv.split('\n')[0], 'the CSV header of the batch');
  assert.strictEqual(csv.split('\n').length, batchCsv.split('\n').length);
  // (A p-value may differ in its last digits from the desktop's: compare the hypothesis only.)
  const alternatives = (text) => text.trim().split('\n').map((l) => l.split(',')[26]);
  assert.deepStrictEqual(alternatives(csv), alternatives(batchCsv), 'the run shown: x1 < x2');
  assert.strictEqual(jsonl.split('\n').length, batchJsonl.split('\n').length);
  assert.deepStrictEqual(jsonl.trim().split('\n').map((l) => JSON.parse(l).sample), ['ST01', 'ST02', 'ST03']);
  assert.strictEqual(xlsx.subarray(0, 2).toString(), 'PK', 'the workbook is a zip file');
  // The survey report: a whole HTML page that stands alone, the tool's but for when it was made
  // and the file's path; its SHA-256 that of the file's bytes (the tool's line, unmasked).
  const report = (await wait('creek-report.html')).toString();
  assert.match(report, /^<!DOCTYPE html>\n<html lang="en">[^]*<\/body>\n<\/html>\n$/);
  assert.strictEqual((report.match(/<svg xmlns="http:\/\/www\.w3\.org\/2000\/svg"/g) || []).length, 3, 'a plot per station, inline');
  assert.deepStrictEqual(externalReferences(report), []);
  const batchReport = path.join(dir, 'batch-report.html');
  runCli(['batch', surveyPath, '--reference', 'REF', '--report', batchReport, '--output', path.join(dir, 'batch.csv'), '--quiet']);
  assert.strictEqual(maskedReport(report), maskedReport(fs.readFileSync(batchReport, 'utf8')));
  assert.match(report, /<tr><th>Survey file<\/th><td>creek\.csv<\/td><\/tr>/);
  await page.close();
  fs.rmSync(dir, {recursive: true});
});

test('an .xlsx survey is read in the browser and runs as its CSV does', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'benthix-xlsx-'));
  const book = path.join(dir, 'creek.xlsx');
  const csvPath = path.join(dir, 'creek.csv');
  const rows = [['sample', 'value'], ...[['REF', 10], ['REF', 11], ['REF', 12], ['A', 7.5], ['A', 8], ['A', 9], ['B', 12], ['B', 13], ['B', 11.25]]];
  fs.writeFileSync(csvPath, rows.map((r) => r.join(',')).join('\n') + '\n');
  // The workbook made by another program than the page's library (openpyxl, Debian's).
  const made = require('node:child_process').spawnSync('/usr/bin/python3', ['-c',
    'import sys, json, openpyxl\nwb = openpyxl.Workbook(); ws = wb.active\nfor r in json.loads(sys.argv[2]): ws.append(r)\nwb.save(sys.argv[1])',
    book, JSON.stringify(rows)]);
  assert.strictEqual(made.status, 0, String(made.stderr));
  const page = await openPage();
  await (await page.$('#survey-file')).uploadFile(book);
  await page.waitForFunction(() => document.querySelectorAll('#reference option').length > 1);
  await page.select('#reference', 'REF');
  await page.click('#run-survey');
  await page.waitForFunction(() => document.querySelectorAll('#survey-table tbody tr').length === 2);
  const web = await page.evaluate(() => document.querySelector('#survey-table tbody').innerText);
  const expected = runCli(['batch', csvPath, '--reference', 'REF', '--format', 'jsonl', '--quiet']).stdout.trim().split('\n').map(JSON.parse);
  assert.deepStrictEqual(expected.map((l) => l.sample), ['A', 'B']);
  for (const l of expected) {
    assert.ok(web.includes(l.test), `${l.sample}: ${l.test} as the batch chose`);
  }
  await page.close();
  fs.rmSync(dir, {recursive: true});
});

test('usable at 1024×600 and on a phone in portrait: nothing wider than the screen, grids usable', async () => {
  for (const viewport of [{width: 1024, height: 600}, {width: 375, height: 667, isMobile: true, hasTouch: true}]) {
    const page = await openPage(viewport);
    const layout = await page.evaluate(() => {
      const cell = document.querySelector('#grid2 input[data-row="10"]').getBoundingClientRect();
      return {scrollWidth: document.documentElement.scrollWidth, width: window.innerWidth,
        cellWidth: cell.width, cellRight: cell.right};
    });
    assert.ok(layout.scrollWidth <= layout.width, `no sideways scrolling at ${viewport.width}px (${layout.scrollWidth})`);
    assert.ok(layout.cellWidth >= 44 && layout.cellRight <= layout.width, `a grid cell is at least 44px wide and on screen at ${viewport.width}px`);
    await page.close();
  }
});

test('keyboard and screen readers: every control is labelled and reachable', async () => {
  const page = await openPage();
  const unlabelled = await page.evaluate(() => Array.from(document.querySelectorAll('input, select, button')).filter((e) => {
    const label = e.getAttribute('aria-label') || (e.labels && e.labels.length > 0) || e.textContent.trim();
    return !label;
  }).map((e) => e.id || e.outerHTML.slice(0, 60)));
  assert.deepStrictEqual(unlabelled, []);
  // Tab order reaches Execute from the grids without a mouse.
  await page.focus('#grid2 input[data-row="10"]');
  let reached = false;
  for (let i = 0; i < 12 && !reached; ++i) {
    await page.keyboard.press('Tab');
    reached = await page.evaluate(() => document.activeElement.id === 'execute');
  }
  assert.ok(reached, 'Execute is reached with Tab');
  await page.close();
});

test('no request leaves the page after it has loaded, and no console error', () => {
  assert.deepStrictEqual(lateRequests, []);
  assert.deepStrictEqual(consoleErrors, []);
});
