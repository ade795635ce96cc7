// SPDX-License-Identifier: MIT
// What the browser tests share: the built site served on a free local port, headless Chromium
// (the system's, driven by puppeteer-core) and the desktop's command-line tool to compare with.
'use strict';
const {spawnSync} = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const root = path.resolve(__dirname, '..', '..');
const site = path.join(root, 'build', 'web', 'site');
const cli = process.env.BENTHIX_CLI || path.join(root, 'build', 'default', 'bin', 'benthix-cli');

const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.png': 'image/png'};

// Serves the site on 127.0.0.1; resolves to {url, close}.
function serveSite() {
  const server = http.createServer((req, res) => {
    const file = path.join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(site) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      const index = path.join(file, 'index.html');
      if (fs.existsSync(index)) {
        res.writeHead(200, {'Content-Type': 'text/html'});
        res.end(fs.readFileSync(index));
        return;
      }
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
    res.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close()});
    });
  });
}

function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
}

// Runs the command-line tool; {status, stdout, stderr}.
function runCli(args, input) {
  const r = spawnSync(cli, args, {encoding: 'utf8', input, maxBuffer: 64 << 20});
  if (r.error) {
    throw r.error;
  }
  return r;
}

// The command line of `analyze --json` for an API request.
function analyzeArgs(request) {
  const args = ['analyze', '--json', '--test', (request.test || []).join(','),
    '--reference', (request.reference || []).join(',')];
  if (request.alternative) args.push('--alternative', request.alternative);
  if (request.alpha) args.push('--alpha', request.alpha);
  if (request.transform) args.push('--transform', request.transform);
  if (request.powerDifference != null) args.push('--power-difference', request.powerDifference);
  if (request.override != null) args.push('--override', request.override);
  if (request.oneSample) args.push('--one-sample');
  if (request.lenient) args.push('--lenient');
  return args;
}

// The places where two parsed JSON values differ: numbers are equal when they are the same
// double, or (when `tolerance` > 0) within that relative difference, which is counted.
function differences(a, b, where = '', tolerance = 0, near = {count: 0}) {
  const out = [];
  if (typeof a === 'number' && typeof b === 'number') {
    if (a !== b) {
      if (tolerance > 0 && Math.abs(a - b) <= tolerance * Math.max(Math.abs(a), Math.abs(b))) {
        near.count++;
      } else {
        out.push(`${where}: ${a} != ${b}`);
      }
    }
    return out;
  }
  if (a === null || b === null || typeof a !== 'object' || typeof b !== 'object') {
    if (a !== b) out.push(`${where}: ${JSON.stringify(a)} != ${JSON.stringify(b)}`);
    return out;
  }
  if (Array.isArray(a) !== Array.isArray(b)) {
    return [`${where}: array against object`];
  }
  const ka = Object.keys(a), kb = Object.keys(b);
  if (ka.join('\u0000') !== kb.join('\u0000')) {
    out.push(`${where}: keys ${ka.join(',')} != ${kb.join(',')}`);
  }
  for (const k of ka) {
    if (k in b) out.push(...differences(a[k], b[k], `${where}.${k}`, tolerance, near));
  }
  return out;
}

// A dBASE III file's rows as texts: numeric fields without blanks, character fields without
// trailing blanks, as the desktop reads them.
function readDbf(file) {
  const bytes = fs.readFileSync(file);
  const records = bytes.readUInt32LE(4);
  const headerLength = bytes.readUInt16LE(8);
  const recordLength = bytes.readUInt16LE(10);
  const fields = [];
  for (let at = 32; bytes[at] !== 0x0d; at += 32) {
    const name = bytes.toString('latin1', at, at + 11).replace(/\0.*$/, '');
    fields.push({name, type: String.fromCharCode(bytes[at + 11]), width: bytes[at + 16]});
  }
  const rows = [];
  for (let r = 0; r < records; ++r) {
    let at = headerLength + r * recordLength;
    if (bytes[at] === 0x2a) continue;  // deleted
    at += 1;
    const row = {};
    for (const f of fields) {
      const raw = bytes.toString('latin1', at, at + f.width).replace(/\0+$/, '');
      row[f.name.toUpperCase()] = f.type === 'N' ? raw.trim() : raw.replace(/ +$/, '');
      at += f.width;
    }
    rows.push(row);
  }
  return {fields: fields.map((f) => f.name.toUpperCase()), rows};
}

// A survey report with the two lines that differ between any two runs masked: when it was
// made, and the survey file (a path on the desktop, the file's name in the browser).
function maskedReport(html) {
  return html.replace(/^(<tr><th>(?:Survey file|Date and time)<\/th><td>).*(<\/td><\/tr>)$/gm, '$1…$2');
}

// What keeps a report from standing alone: a script, a style sheet, a frame or an image from
// elsewhere, an address in an attribute or a style. Lists each found.
function externalReferences(html) {
  const found = [];
  for (const re of [/<script\b/gi, /<link\b/gi, /<i?frame\b/gi, /<img\b/gi, /<object\b/gi, /<embed\b/gi,
    /\s(?:src|href|xlink:href|action|srcset)\s*=/gi, /url\s*\(/gi, /@import/gi]) {
    found.push(...(html.match(re) || []));
  }
  return found;
}

module.exports = {root, site, cli, serveSite, launch, runCli, analyzeArgs, differences, readDbf,
  maskedReport, externalReferences};
