// SPDX-License-Identifier: MIT
// The browser edition's figures, in headless Chromium (the system's) on the built site:
// the page ready from a local server, benthix.analyze per comparison (each decision path,
// 10 and 10 replicates), a 1,000-comparison survey through benthix.runSurvey, and the size of
// benthix.wasm + benthix.js compressed (gzip -9). Prints one JSON object.
// Beside them the desktop's: the same analyze natively per path (benthix_bench's BM_WebAnalyze,
// when its path is given) and the same survey through `benthix-cli batch --jobs 1`.
//   node bench/web_bench.js [path of benthix_bench]
'use strict';
const {spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const testsDir = path.join(__dirname, '..', 'tests', 'web');
const {site, cli, serveSite, launch} = require(path.join(testsDir, 'support'));

// The samples of the desktop benchmark, read from bench/bench_support.cpp so that both time
// the same comparisons: {"Name", {"texts"...}, {"texts"...}} per decision path.
function decisionPaths() {
  const source = fs.readFileSync(path.join(__dirname, 'bench_support.cpp'), 'utf8');
  const paths = [];
  const entry = /\{"(\w+)",\s*\{([^}]*)\},\s*\{([^}]*)\}\}/g;
  const texts = (list) => Array.from(list.matchAll(/"([^"]*)"/g), (m) => m[1]);
  for (const m of source.matchAll(entry)) {
    paths.push({name: m[1], test: texts(m[2]), reference: texts(m[3])});
  }
  return paths;
}

// A survey of 1,000 comparisons of 3 to 10 replicates with one reference.
function surveyText() {
  let state = 12345;
  const next = () => (state = (state * 1103515245 + 12345) % 2147483648) / 2147483648;
  const rows = ['sample,value'];
  ['14.2', '15.1', '15.8', '14.6', '15.3', '14.9', '15.5', '14.4'].forEach((v) => rows.push(`REF,${v}`));
  for (let s = 0; s < 1000; ++s) {
    const n = 3 + Math.floor(next() * 8);
    for (let r = 0; r < n; ++r) rows.push(`S${s},${(10 + 10 * next()).toFixed(1)}`);
  }
  return rows.join('\n') + '\n';
}

const PATHS = decisionPaths();
const SURVEY = surveyText();
const benchBinary = process.argv[2];

(async () => {
  const server = await serveSite();
  const browser = await launch();
  const figures = {};
  try {
    const ready = [];
    for (let i = 0; i < 5; ++i) {
      const page = await browser.newPage();
      const started = Date.now();
      await page.goto(server.url + 'index.html');
      await page.waitForSelector('body[data-ready="true"]');
      ready.push(Date.now() - started);
      await page.close();
    }
    figures.page_ready_ms = ready.sort((a, b) => a - b)[2];
    const page = await browser.newPage();
    await page.goto(server.url + 'index.html');
    await page.waitForSelector('body[data-ready="true"]');
    figures.analyze_us = await page.evaluate((paths) => {
      const out = {};
      for (const p of paths) {
        const request = {test: p.test, reference: p.reference};
        // Warmed up until the engine has compiled the module's hot code optimised.
        for (let i = 0; i < 1000; ++i) benthix.analyze(request);
        const runs = 1000;
        const started = performance.now();
        for (let i = 0; i < runs; ++i) benthix.analyze(request);
        out[p.name] = ((performance.now() - started) * 1000) / runs;
      }
      return out;
    }, PATHS);
    if (SURVEY) {
      figures.survey_1000_ms = await page.evaluate((text) => {
        benthix.runSurvey(text, {reference: 'REF'});
        const times = [];
        for (let i = 0; i < 5; ++i) {
          const started = performance.now();
          const lines = benthix.runSurvey(text, {reference: 'REF'});
          times.push(performance.now() - started);
          if (lines.length !== 1000) throw new Error(`${lines.length} comparisons`);
        }
        return times.sort((a, b) => a - b)[2];
      }, SURVEY);
    }
  } finally {
    await browser.close();
    server.close();
  }
  const size = (f) => zlib.gzipSync(fs.readFileSync(path.join(site, f)), {level: 9}).length;
  figures.wasm_gzip_bytes = size('benthix.wasm');
  figures.js_gzip_bytes = size('benthix.js');
  figures.wasm_bytes = fs.statSync(path.join(site, 'benthix.wasm')).size;

  // The desktop: the survey through the command-line tool on one thread (best of five, the
  // process's start included), and the window's Execute per path.
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'benthix-bench-')), 'survey.csv');
  fs.writeFileSync(file, SURVEY);
  const native = [];
  for (let i = 0; i < 5; ++i) {
    const started = process.hrtime.bigint();
    const r = spawnSync(cli, ['batch', file, '--reference', 'REF', '--jobs', '1', '--format', 'jsonl', '--quiet'], {encoding: 'utf8', maxBuffer: 64 << 20});
    native.push(Number(process.hrtime.bigint() - started) / 1e6);
    if (r.stdout.trim().split('\n').length !== 1000) throw new Error('the batch did not run 1,000 comparisons');
  }
  figures.desktop_survey_1000_ms = native.sort((a, b) => a - b)[2];
  if (benchBinary) {
    // BM_WebAnalyze: the same function as benthix.analyze, natively; BM_WindowExecute: the
    // window's Execute alone, for scale.
    const r = spawnSync(benchBinary, ['--benchmark_filter=BM_WebAnalyze|BM_WindowExecute', '--benchmark_format=json'], {encoding: 'utf8', maxBuffer: 64 << 20});
    const results = JSON.parse(r.stdout).benchmarks;
    const named = (prefix) => Object.fromEntries(results.filter((b) => b.name.startsWith(prefix)).map((b) => [b.name.slice(prefix.length), b.real_time]));
    figures.desktop_analyze_us = named('BM_WebAnalyze/');
    figures.desktop_execute_only_us = named('BM_WindowExecute/');
    figures.ratio_browser_to_desktop = Object.fromEntries(Object.entries(figures.analyze_us).map(([k, v]) =>
      [k, figures.desktop_analyze_us[k] ? Number((v / figures.desktop_analyze_us[k]).toFixed(2)) : null]));
  }
  console.log(JSON.stringify(figures, null, 2));
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
