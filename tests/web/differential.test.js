// SPDX-License-Identifier: MIT
// The browser edition against the desktop's command-line tool: a few hundred comparisons over
// every decision path, option and transformation through benthix.analyze() and through
// `benthix-cli analyze --json`; a survey with a plan through benthix.runSurvey() and
// `benthix-cli batch --format jsonl`; every cell of the statistical tables against the .dbf
// files the desktop build wrote.
//
// Expected values: the tool's own output for the same input. The display texts and every
// field but the typed result's floating-point numbers must be identical. Those numbers come
// from the C library's exp/log/pow (glibc on the desktop, musl in WebAssembly), which may
// differ in the last bit; they may differ by a relative 1e-12 (a few units in the last place
// carried through a p-value) and the count of such fields is printed.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {cli, serveSite, launch, runCli, analyzeArgs, differences, readDbf, maskedReport} = require('./support');

const TOLERANCE = 1e-12;

// A small seeded generator, so that every run tries the same cases.
function generator(seed) {
  let s = seed >>> 0;
  const next = () => {
    s = (s + 0x6d2b79f5) >>> 0;
    let t = s;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  return {
    next,
    int: (lo, hi) => lo + Math.floor(next() * (hi - lo + 1)),
    pick: (list) => list[Math.floor(next() * list.length)],
    normal: () => Math.sqrt(-2 * Math.log(next() + 1e-12)) * Math.cos(2 * Math.PI * next()),
  };
}

function texts(values, decimals) {
  return values.map((v) => v.toFixed(decimals));
}

// Cases by the road they take: equal and unequal spreads, normal and skewed data (Mann-Whitney,
// rankits), a reference without spread, every transformation inside and outside its domain,
// power, the override answered yes and no, both hypotheses and levels, refused entries.
function cases() {
  const g = generator(20261207);
  const list = [];
  const sample = (n, mean, sd, decimals) =>
    texts(Array.from({length: n}, () => mean + sd * g.normal()), decimals);
  const skewed = (n, mean, decimals) =>
    texts(Array.from({length: n}, () => mean * Math.exp(1.5 * g.normal())), decimals);
  const options = () => ({
    alternative: g.pick(['less', 'greater']),
    alpha: g.pick(['0.05', '0.1']),
  });
  for (let i = 0; i < 60; ++i) {  // normal, equal spreads: Student's t
    const n1 = g.int(3, 10), n2 = g.int(3, 10);
    list.push({test: sample(n1, 50 + g.int(-10, 10), 4, g.int(0, 3)), reference: sample(n2, 50, 4, g.int(0, 3)), ...options()});
  }
  for (let i = 0; i < 40; ++i) {  // unequal spreads: approximate t, or rankits
    const n1 = g.int(4, 10), n2 = g.int(4, 10);
    list.push({test: sample(n1, 40, 15, 2), reference: sample(n2, 50, 1.5, 2), ...options()});
  }
  for (let i = 0; i < 50; ++i) {  // skewed: Mann-Whitney or rankits, override off, yes or no
    const n1 = g.int(3, 10), n2 = g.int(3, 10);
    list.push({test: skewed(n1, 20, 1), reference: skewed(n2, 30, 1), override: g.pick([null, 'yes', 'no']), ...options()});
  }
  for (let i = 0; i < 20; ++i) {  // a reference without spread: the one-sample t-test
    const v = String(g.int(10, 90));
    list.push({test: sample(g.int(3, 10), 50, 6, 1), reference: Array(g.int(1, 10)).fill(v), oneSample: g.next() < 0.5, ...options()});
  }
  const transforms = [
    ['arcsine', () => sample(g.int(3, 10), g.int(10, 90), 8, 1)],
    ['sqrt', () => texts(Array.from({length: g.int(3, 10)}, () => g.int(0, 40)), 0)],
    ['log10', () => skewed(g.int(3, 10), 50, 2)],
    ['none', () => sample(g.int(3, 10), 0, 3, 3)],
  ];
  for (let i = 0; i < 60; ++i) {  // transformations, with power now and then
    const [transform, make] = g.pick(transforms);
    const power = g.next() < 0.4 ? g.pick(['2', '5', '10.5', '0.25']) : null;
    list.push({test: make(), reference: make(), transform, powerDifference: power, ...options()});
  }
  const refused = [
    {test: ['1', '2'], reference: ['3', '4', '5']},
    {test: ['1', 'x', '3'], reference: ['3', '4', '5']},
    {test: ['1', '12 mg', '3'], reference: ['3', '4', '5'], lenient: true},
    {test: ['1', '', '3', '4'], reference: ['3', '4', '5']},
    {test: ['150', '20', '30'], reference: ['10', '20', '30'], transform: 'arcsine'},
    {test: ['-2', '2', '3'], reference: ['1', '2', '3'], transform: 'log10'},
    {test: ['-1', '2', '3'], reference: ['1', '2', '3'], transform: 'sqrt'},
    {test: [], reference: []},
    {test: ['5', '5', '5'], reference: ['5', '5', '5']},
    {test: ['1e400', '2', '3'], reference: ['1', '2', '3']},
    {test: ['1', '2', '3'], reference: ['4', '5', '6'], powerDifference: 'abc'},
    {test: [' 7 ', '8', '9.'], reference: ['4', '5', '6']},
    {test: ['1', '2', '3'], reference: ['4']},
    {test: ['1', '2', '3'], reference: ['4'], oneSample: true},
  ];
  for (const r of refused) {
    list.push({...r, ...options()});
  }
  for (let i = 0; i < 40; ++i) {  // anything: ties, big and small magnitudes
    const scale = g.pick([1e-4, 1, 1e5]);
    list.push({test: texts(Array.from({length: g.int(3, 10)}, () => scale * g.int(1, 6)), 5),
      reference: texts(Array.from({length: g.int(3, 10)}, () => scale * g.int(1, 6)), 5),
      transform: g.pick(['none', 'sqrt', 'log10']), powerDifference: g.next() < 0.3 ? '1' : null, ...options()});
  }
  return list;
}

let server, browser, page;

test.before(async () => {
  assert.ok(fs.existsSync(cli), `the command-line tool is built: ${cli}`);
  server = await serveSite();
  browser = await launch();
  page = await browser.newPage();
  await page.goto(server.url + 'index.html');
  await page.evaluate(() => benthix.ready);
});

test.after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

test('analyze: every comparison equals analyze --json field for field', async () => {
  const list = cases();
  const web = await page.evaluate((requests) => requests.map((r) => benthix.analyze(r)), list);
  const near = {count: 0};
  const paths = new Map();
  const failures = [];
  let compared = 0;
  list.forEach((request, i) => {
    const run = runCli(analyzeArgs(request));
    // 2: the command line refuses the request itself (a power difference that is not a
    // number), which the window and the page take to the analysis: nothing to compare.
    if (run.status === 2) {
      return;
    }
    ++compared;
    const expected = JSON.parse(run.stdout);
    const found = differences(web[i], expected, '', TOLERANCE, near);
    if (found.length > 0) {
      failures.push(`case ${i} ${JSON.stringify(request)}:\n  ${found.slice(0, 5).join('\n  ')}`);
    }
    const road = expected.result.test || (expected.result.refused ? 'refused' : 'none');
    paths.set(road, (paths.get(road) || 0) + 1);
  });
  assert.ok(compared >= list.length - 2, 'the command line takes all but a few cases');
  console.log(`analyze: ${compared} comparisons, by test: ${JSON.stringify(Object.fromEntries(paths))}; ` +
    `${near.count} floating-point fields within ${TOLERANCE} rather than identical`);
  assert.deepStrictEqual(failures, []);
  // Every road was taken.
  for (const road of ['student_t', 'approximate_t', 'mann_whitney', 'one_sample_t', 'refused']) {
    assert.ok(paths.get(road) > 0, `no case took ${road}`);
  }
});

// A survey of three endpoints with a plan (a transformation, power, a station of two values, a
// value that is not a number): {surveyText, planText}.
function surveyWithPlan() {
  const g = generator(7);
  const rows = ['sample,endpoint,value'];
  for (const endpoint of ['survival', 'growth', 'reproduction']) {
    for (let s = 0; s < 25; ++s) {
      const id = s === 0 ? 'REF' : `ST${String(s).padStart(2, '0')}`;
      const n = s === 7 ? 2 : g.int(3, 8);
      const mean = endpoint === 'survival' ? 80 - g.int(0, 30) : 10 + g.int(0, 8);
      for (let r = 0; r < n; ++r) {
        const v = endpoint === 'survival' ? Math.min(100, Math.max(0, mean + 8 * g.normal())) : Math.max(0.1, mean * Math.exp(0.3 * g.normal()));
        rows.push(`${id},${endpoint},${v.toFixed(1)}`);
      }
    }
  }
  rows.push('ST30,growth,abc', 'ST30,growth,4', 'ST30,growth,5');
  const surveyText = rows.join('\n') + '\n';
  const planText = 'endpoint,reference,alternative,transform,power_difference\n' +
    'survival,REF,less,arcsine,\ngrowth,REF,less,log10,2\nreproduction,ST01,greater,,\n';
  return {surveyText, planText};
}

test('runSurvey: a survey with a plan equals batch --format jsonl line for line', async () => {
  const {surveyText, planText} = surveyWithPlan();
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'benthix-web-'));
  fs.writeFileSync(path.join(dir, 'survey.csv'), surveyText);
  fs.writeFileSync(path.join(dir, 'plan.csv'), planText);
  const run = runCli(['batch', path.join(dir, 'survey.csv'), '--plan', path.join(dir, 'plan.csv'),
    '--format', 'jsonl', '--p-adjust', 'holm', '--quiet']);
  const expected = run.stdout.trim().split('\n');
  const answer = await page.evaluate((text, plan) => benthix.runSurveyWithNotes(text, {plan, pAdjust: 'holm'}), surveyText, planText);
  const web = await page.evaluate((text, plan) => benthix.runSurvey(text, {plan, pAdjust: 'holm'}), surveyText, planText);
  assert.strictEqual(web.length, expected.length, 'as many lines as the batch writes');
  const near = {count: 0};
  const failures = [];
  expected.forEach((line, i) => {
    const found = differences(web[i], JSON.parse(line), `line ${i + 1}`, TOLERANCE, near);
    failures.push(...found);
  });
  const identical = answer.text.trim().split('\n').filter((line, i) => line === expected[i]).length;
  console.log(`runSurvey: ${expected.length} lines, ${identical} byte for byte identical; ` +
    `${near.count} floating-point fields within ${TOLERANCE}`);
  assert.deepStrictEqual(failures, []);
  fs.rmSync(dir, {recursive: true});
});

// Expected: the tool's own report. Only the creation time and the survey file (the tool's
// absolute path, the page's file name) may differ; the SHA-256 the core computes of the text.
test('surveyReportHtml: the report of a survey with a plan equals batch --report x.html', async () => {
  const {surveyText, planText} = surveyWithPlan();
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'benthix-web-'));
  fs.writeFileSync(path.join(dir, 'survey.csv'), surveyText);
  fs.writeFileSync(path.join(dir, 'plan.csv'), planText);
  const report = path.join(dir, 'report.html');
  const run = runCli(['batch', path.join(dir, 'survey.csv'), '--plan', path.join(dir, 'plan.csv'),
    '--p-adjust', 'holm', '--report', report, '--output', path.join(dir, 'results.csv'), '--quiet']);
  assert.ok(fs.existsSync(report), `the tool wrote its report: ${run.stderr}`);
  const expected = fs.readFileSync(report, 'utf8');
  const web = await page.evaluate((text, plan) => benthix.surveyReportHtml(text,
    {plan, pAdjust: 'holm', fileName: 'survey.csv'}), surveyText, planText);
  const lines = web.split('\n');
  const differing = lines.filter((line, i) => line !== expected.split('\n')[i]);
  console.log(`surveyReportHtml: ${lines.length} lines, ${differing.length} differ before masking ` +
    `(${(web.match(/<svg/g) || []).length} plots)`);
  assert.match(web, /<tr><th>Survey file<\/th><td>survey\.csv<\/td><\/tr>/);
  assert.strictEqual(maskedReport(web), maskedReport(expected));
  await assert.rejects(page.evaluate(() => benthix.surveyReportHtml('sample,value\nA,1\n', {sha256: 'x'})),
    /sha256/);
  fs.rmSync(dir, {recursive: true});
});

test('the statistical tables: every cell equals the desktop .dbf files', async () => {
  const web = await page.evaluate(() => benthix.tableRows());
  const folder = path.dirname(cli);
  const layouts = {
    'Crit_t.dbf': ['DF', 'A0_25', 'A0_20', 'A0_10', 'A0_05'],
    'CRIT_U.dbf': ['N1N2', 'A0_10', 'A0_05'],
    'crit_w.dbf': ['N', 'A0_01', 'A0_02', 'A0_05', 'A0_10', 'A0_50'],
    'CRIT_W1.dbf': ['I', ...Array.from({length: 19}, (_, i) => `N${i + 2}`)],
    'RANKIT.dbf': ['N', ...Array.from({length: 20}, (_, i) => `RANK${i + 1}`)],
    'POWERT.dbf': ['Z', 'PCT'],
  };
  let cells = 0;
  for (const [file, fields] of Object.entries(layouts)) {
    const desktop = readDbf(path.join(folder, file));
    const rows = desktop.rows.map((row) => fields.map((f) => row[f]));
    assert.deepStrictEqual(web[file], rows, `${file}: every cell as the desktop reads it`);
    cells += rows.length * fields.length;
  }
  console.log(`tables: ${cells} cells identical`);
});
