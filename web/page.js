// SPDX-License-Identifier: MIT
// The page of the browser edition: the comparison window's grids, options and panels, and the
// survey, on top of globalThis.benthix (benthix.js). Nothing here computes a statistic.
(function () {
  'use strict';
  const ROWS = 10;
  const $ = (id) => document.getElementById(id);

  // ---- The grids ---------------------------------------------------------------------------

  function makeGrid(table, name) {
    const body = table.tBodies[0];
    for (let row = 1; row <= ROWS; ++row) {
      const tr = document.createElement('tr');
      const th = document.createElement('th');
      th.scope = 'row';
      th.textContent = String(row);
      const data = document.createElement('td');
      const input = document.createElement('input');
      input.type = 'text';
      input.inputMode = 'decimal';
      input.autocomplete = 'off';
      input.spellcheck = false;
      input.dataset.row = String(row);
      input.setAttribute('aria-label', `${name} row ${row}`);
      data.appendChild(input);
      const transform = document.createElement('td');
      transform.className = 'transform';
      transform.setAttribute('aria-label', `${name} row ${row} transformed`);
      tr.append(th, data, transform);
      body.appendChild(tr);
    }
    const inputs = Array.from(body.querySelectorAll('input'));
    inputs.forEach((input, index) => {
      input.addEventListener('keydown', (event) => {
        let to = null;
        if (event.key === 'ArrowDown' || (event.key === 'Enter' && !event.shiftKey)) {
          to = index + 1;
        } else if (event.key === 'ArrowUp' || (event.key === 'Enter' && event.shiftKey)) {
          to = index - 1;
        } else if (event.key === 'Home' && event.ctrlKey) {
          to = 0;
        } else if (event.key === 'End' && event.ctrlKey) {
          to = ROWS - 1;
        }
        if (to !== null) {
          event.preventDefault();
          if (to >= 0 && to < ROWS) {
            inputs[to].focus();
            inputs[to].select();
          } else if (event.key === 'Enter' && to >= ROWS) {
            $('execute').focus();
          }
        }
      });
      // A spreadsheet column (or row) pasted into a cell fills the cells from it downwards.
      input.addEventListener('paste', (event) => {
        const text = (event.clipboardData || window.clipboardData).getData('text');
        const values = pastedValues(text);
        if (values.length <= 1) {
          return;
        }
        event.preventDefault();
        for (let i = 0; i < values.length && index + i < ROWS; ++i) {
          inputs[index + i].value = values[i];
        }
        if (values.length > ROWS - index) {
          showAlerts([{title: 'Paste', text: `${values.length - (ROWS - index)} pasted values did not fit the ${ROWS} rows and were left out.`}]);
        }
        clearTransforms();
      });
      input.addEventListener('input', clearTransforms);
    });
    return inputs;
  }

  // The cells of a pasted block: rows split at line ends, cells at tabs; one column or one row.
  function pastedValues(text) {
    const lines = text.replace(/\r\n?/g, '\n').replace(/\n$/, '').split('\n');
    if (lines.length === 1) {
      return lines[0].split('\t').map((v) => v.trim());
    }
    return lines.map((line) => line.split('\t')[0].trim());
  }

  const grid1 = makeGrid($('grid1'), 'Test');
  const grid2 = makeGrid($('grid2'), 'Reference');

  function entries(inputs) {
    // The cells down to the last one that holds text; the core decides what an empty cell means.
    let last = -1;
    inputs.forEach((input, i) => {
      if (input.value.trim() !== '') {
        last = i;
      }
    });
    return inputs.slice(0, last + 1).map((input) => input.value);
  }

  function clearTransforms() {
    document.querySelectorAll('.grid td.transform').forEach((td) => {
      td.textContent = '';
    });
  }

  // ---- Options ------------------------------------------------------------------------------

  $('power-on').addEventListener('change', () => {
    $('power-difference').disabled = !$('power-on').checked;
  });

  function request(overrideAnswer) {
    return {
      test: entries(grid1),
      reference: entries(grid2),
      alternative: $('alternative').value,
      alpha: $('alpha').value,
      transform: $('transform').value,
      powerDifference: $('power-on').checked ? $('power-difference').value : null,
      override: $('override-on').checked ? overrideAnswer : null,
      oneSample: $('one-sample').checked,
    };
  }

  // ---- Pictures and panels ------------------------------------------------------------------

  const PICTURES = {
    ok: ['passed', '<circle cx="12" cy="12" r="11" fill="#1b7f3b"/><path d="M6 12.5l4 4 8-9" stroke="#fff" stroke-width="2.5" fill="none"/>'],
    fail: ['failed', '<circle cx="12" cy="12" r="11" fill="#b3261e"/><path d="M7 7l10 10M17 7L7 17" stroke="#fff" stroke-width="2.5"/>'],
    question: ['not decided', '<circle cx="12" cy="12" r="11" fill="#8a8f98"/><text x="12" y="17" font-size="14" text-anchor="middle" fill="#fff" font-family="sans-serif">?</text>'],
    'not-applicable': ['not applicable', '<circle cx="12" cy="12" r="10" fill="none" stroke="#8a8f98" stroke-width="2"/><path d="M5 19L19 5" stroke="#8a8f98" stroke-width="2"/>'],
  };

  function setPicture(span, key) {
    const picture = PICTURES[key] || PICTURES.question;
    span.innerHTML = `<svg viewBox="0 0 24 24" role="img" aria-label="${picture[0]}">${picture[1]}</svg>`;
    span.dataset.state = key;
  }

  function field(output, path) {
    return path.split('.').reduce((o, k) => (o == null ? undefined : o[k]), output);
  }

  function showOutput(answer) {
    const output = answer.output;
    document.querySelectorAll('[data-field]').forEach((dd) => {
      const value = field(output, dd.dataset.field);
      dd.textContent = value == null ? '' : String(value);
    });
    document.querySelectorAll('[data-picture]').forEach((span) => {
      setPicture(span, output.pictures[span.dataset.picture]);
    });
    [['#grid1', output.transform_column.test], ['#grid2', output.transform_column.reference]].forEach(([table, texts]) => {
      document.querySelectorAll(`${table} td.transform`).forEach((td, i) => {
        td.textContent = texts[i] || '';
      });
    });
    const status = $('status');
    status.replaceChildren(...output.status.filter((line, i) => i > 0 || line !== '').map((line) => {
      const li = document.createElement('li');
      li.textContent = line;
      return li;
    }));
    showAlerts(answer.messages.filter((m) => m.title !== 'Normality Override'));
    const why = $('explanation');
    why.replaceChildren(...answer.explanation.map((sentence) => {
      const li = document.createElement('li');
      li.textContent = sentence;
      return li;
    }));
    drawPlot(output.result);
  }

  function showAlerts(messages) {
    $('alerts').replaceChildren(...messages.map((m) => {
      const li = document.createElement('li');
      li.setAttribute('role', 'alert');
      li.textContent = `${m.title}: ${m.text}`;
      return li;
    }));
  }

  // ---- The replicate plot -------------------------------------------------------------------

  const SVG = 'http://www.w3.org/2000/svg';
  function svgElement(name, attributes, text) {
    const e = document.createElementNS(SVG, name);
    Object.entries(attributes).forEach(([k, v]) => e.setAttribute(k, String(v)));
    if (text !== undefined) {
      e.textContent = text;
    }
    return e;
  }

  function numbers(texts) {
    return texts.map((t) => Number(String(t).trim())).filter((v) => Number.isFinite(v));
  }

  function drawPlot(result) {
    const figure = $('plot');
    const samples = [
      ['Test', numbers(entries(grid1)), '#2a6fdb'],
      ['Reference', numbers(entries(grid2)), '#e37400'],
    ];
    const all = samples.flatMap((s) => s[1]);
    figure.replaceChildren();
    if (all.length === 0) {
      return;
    }
    const w = 360, h = 220, left = 48, right = 12, top = 12, bottom = 30;
    let lo = Math.min(...all), hi = Math.max(...all);
    if (lo === hi) {
      lo -= 1;
      hi += 1;
    }
    const pad = (hi - lo) * 0.08;
    lo -= pad;
    hi += pad;
    const y = (v) => top + (h - top - bottom) * (1 - (v - lo) / (hi - lo));
    const svg = svgElement('svg', {viewBox: `0 0 ${w} ${h}`, width: w, height: h, role: 'img',
      'aria-label': `Replicates: test ${samples[0][1].join(', ')}; reference ${samples[1][1].join(', ')}`});
    svg.appendChild(svgElement('line', {x1: left, y1: top, x2: left, y2: h - bottom, stroke: '#888'}));
    for (let k = 0; k <= 4; ++k) {
      const v = lo + ((hi - lo) * k) / 4;
      svg.appendChild(svgElement('text', {x: left - 4, y: y(v) + 4, 'text-anchor': 'end', 'font-size': 10, fill: '#555'}, Number(v.toPrecision(3)).toString()));
      svg.appendChild(svgElement('line', {x1: left, y1: y(v), x2: w - right, y2: y(v), stroke: '#eee'}));
    }
    const band = (w - left - right) / samples.length;
    samples.forEach(([name, values, colour], s) => {
      const cx = left + band * (s + 0.5);
      values.forEach((v, i) => {
        const dx = (i - (values.length - 1) / 2) * 5;
        svg.appendChild(svgElement('circle', {cx: cx + dx, cy: y(v), r: 4, fill: colour, 'fill-opacity': 0.75}));
      });
      if (values.length > 0) {
        const mean = values.reduce((a, b) => a + b, 0) / values.length;
        svg.appendChild(svgElement('line', {x1: cx - band * 0.3, x2: cx + band * 0.3, y1: y(mean), y2: y(mean), stroke: colour, 'stroke-width': 2}));
      }
      svg.appendChild(svgElement('text', {x: cx, y: h - 10, 'text-anchor': 'middle', 'font-size': 12}, name));
    });
    if (result && result.test) {
      svg.appendChild(svgElement('text', {x: w - right, y: top + 10, 'text-anchor': 'end', 'font-size': 11, fill: '#333'},
        result.reject_null ? 'null hypothesis rejected' : 'null hypothesis accepted'));
    }
    figure.appendChild(svg);
  }

  // ---- Execute ------------------------------------------------------------------------------

  function askOverride(text) {
    const dialog = $('override-dialog');
    $('override-text').textContent = text;
    return new Promise((resolve) => {
      dialog.addEventListener('close', () => resolve(dialog.returnValue === 'yes' ? 'yes' : 'no'), {once: true});
      dialog.showModal();
    });
  }

  async function execute() {
    let answer = benthix.analyzeWithMessages(request('no'));
    const question = answer.messages.find((m) => m.title === 'Normality Override');
    if ($('override-on').checked && question) {
      const reply = await askOverride(question.text);
      if (reply === 'yes') {
        answer = benthix.analyzeWithMessages(request('yes'));
      }
    }
    showOutput(answer);
  }

  $('options').addEventListener('submit', (event) => {
    event.preventDefault();
    execute().catch(report);
  });
  $('clear').addEventListener('click', () => {
    [...grid1, ...grid2].forEach((input) => {
      input.value = '';
    });
    clearTransforms();
    document.querySelectorAll('[data-field]').forEach((dd) => {
      dd.textContent = '';
    });
    document.querySelectorAll('[data-picture]').forEach((span) => setPicture(span, 'question'));
    $('plot').replaceChildren();
    $('explanation').replaceChildren();
    grid1[0].focus();
  });

  function report(error) {
    showAlerts([{title: 'Benthix', text: error.message}]);
  }

  // ---- Survey -------------------------------------------------------------------------------

  const survey = {text: null, name: '', fileName: '', sha256: null, header: [], plan: null, ran: null, answer: null,
    csv: null};

  function csvField(value) {
    const text = value == null ? '' : value instanceof Date ? value.toISOString() : String(value);
    return /[",\r\n]/.test(text) ? `"${text.replace(/"/g, '""')}"` : text;
  }

  // A sheet's rows as CSV text (comma-separated whatever the delimiter setting says).
  function rowsAsCsv(rows) {
    return rows.map((row) => row.map(csvField).join(',')).join('\n') + '\n';
  }

  function splitHeader(text, delimiter) {
    const first = text.replace(/^\uFEFF/, '').split(/\r?\n/)[0] || '';
    const d = delimiter === 'semicolon' ? ';' : delimiter === 'tab' ? '\t' : delimiter === 'comma' ? ','
      : [',', ';', '\t'].reduce((best, c) => (first.split(c).length > first.split(best).length ? c : best), ',');
    return first.split(d).map((c) => c.replace(/^"|"$/g, '').trim());
  }

  async function readSurveyFile(file) {
    encodingNote = '';
    if (/\.xlsx$/i.test(file.name)) {
      // The library answers the first sheet's rows, or (newer versions) every sheet as
      // {sheet, data}: the first sheet is the survey, as on the command line.
      const read = await readXlsxFile(file);
      const rows = read.length > 0 && read[0] && !Array.isArray(read[0]) && Array.isArray(read[0].data) ? read[0].data : read;
      $('delimiter').value = 'comma';
      return rowsAsCsv(rows);
    }
    return decodeText(new Uint8Array(await file.arrayBuffer()));
  }

  // A CSV's text as the desktop reads it: UTF-16 with its byte order mark, UTF-8 (with or
  // without a mark), or, where the bytes are not UTF-8, Windows-1252, which is then said.
  let encodingNote = '';
  function decodeText(bytes) {
    encodingNote = '';
    if (bytes.length >= 2 && bytes[0] === 0xFF && bytes[1] === 0xFE) {
      return new TextDecoder('utf-16le').decode(bytes.subarray(2));
    }
    if (bytes.length >= 2 && bytes[0] === 0xFE && bytes[1] === 0xFF) {
      return new TextDecoder('utf-16be').decode(bytes.subarray(2));
    }
    try {
      return new TextDecoder('utf-8', {fatal: true}).decode(bytes);
    } catch (notUtf8) {
      encodingNote = ' The survey is not UTF-8: read as Windows-1252.';
      return new TextDecoder('windows-1252').decode(bytes);
    }
  }

  // The SHA-256 of the file's bytes, as the report's header gives it; null where the browser
  // keeps its digests from the page (not a secure context), and the core then takes the text's.
  async function sha256Hex(file) {
    if (!(window.crypto && crypto.subtle)) {
      return null;
    }
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', await file.arrayBuffer()));
    return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
  }

  const ROLES = ['ignore', 'sample', 'value', 'group'];
  function showRoles() {
    const list = $('role-list');
    list.replaceChildren(...survey.header.map((column, i) => {
      const label = document.createElement('label');
      label.textContent = column || `(column ${i + 1})`;
      const select = document.createElement('select');
      select.dataset.column = column;
      ROLES.forEach((role) => select.add(new Option(role, role)));
      const lower = column.toLowerCase();
      select.value = lower === 'sample' || lower === 'station' ? 'sample' : lower === 'value' ? 'value'
        : survey.plan && survey.plan.header.includes(lower) ? 'group' : 'ignore';
      select.addEventListener('change', updateReferences);
      label.appendChild(select);
      return label;
    }));
    $('roles').disabled = false;
    updateReferences();
  }

  function roleColumns(role) {
    return Array.from(document.querySelectorAll('#role-list select')).filter((s) => s.value === role).map((s) => s.dataset.column);
  }

  function updateReferences() {
    const sample = roleColumns('sample')[0];
    const reference = $('reference');
    const before = reference.value;
    reference.replaceChildren(new Option('(from the plan)', ''));
    if (sample !== undefined && survey.text) {
      const index = survey.header.indexOf(sample);
      const d = survey.delimiter;
      const ids = new Set();
      survey.text.split(/\r?\n/).slice(1).forEach((line) => {
        const cell = (line.split(d)[index] || '').replace(/^"|"$/g, '').trim();
        if (cell !== '') {
          ids.add(cell);
        }
      });
      ids.forEach((id) => reference.add(new Option(id, id)));
    }
    reference.value = before;
    reference.disabled = false;
    $('run-survey').disabled = !(survey.text && benthix.version);
  }

  $('survey-file').addEventListener('change', async () => {
    const file = $('survey-file').files[0];
    if (!file) {
      return;
    }
    try {
      survey.text = await readSurveyFile(file);
      survey.name = file.name.replace(/\.[^.]*$/, '');
      survey.fileName = file.name;
      survey.sha256 = await sha256Hex(file);
      survey.header = splitHeader(survey.text, $('delimiter').value);
      const first = survey.text.split(/\r?\n/)[0];
      survey.delimiter = $('delimiter').value === 'semicolon' ? ';' : $('delimiter').value === 'tab' ? '\t'
        : $('delimiter').value === 'comma' ? ',' : [',', ';', '\t'].reduce((b, c) => (first.split(c).length > first.split(b).length ? c : b), ',');
      $('survey-status').textContent = `${file.name}: ${survey.header.length} columns.${encodingNote}`;
      showRoles();
    } catch (error) {
      $('survey-status').textContent = `${file.name} could not be read: ${error.message}`;
    }
  });

  $('plan-file').addEventListener('change', async () => {
    const file = $('plan-file').files[0];
    survey.plan = null;
    if (file) {
      const text = decodeText(new Uint8Array(await file.arrayBuffer()));
      survey.plan = {text, header: splitHeader(text, 'auto').map((c) => c.toLowerCase())};
      if (survey.header.length > 0) {
        showRoles();
      }
    }
  });

  function surveyOptions(format) {
    const sample = roleColumns('sample')[0];
    const value = roleColumns('value')[0];
    return {
      reference: $('reference').value || null,
      plan: survey.plan ? survey.plan.text : null,
      group: roleColumns('group'),
      sampleColumn: sample || null,
      valueColumn: value || null,
      pAdjust: $('p-adjust').value,
      delimiter: $('delimiter').value,
      decimalComma: $('decimal-comma').checked,
      alternative: $('survey-alternative').value,
      alpha: $('survey-alpha').value,
      transform: $('survey-transform').value,
      format,
    };
  }

  const SHOWN = [['sample', (l) => l.sample], ['group', (l) => (l.group ? Object.values(l.group).join(' / ') : '')],
    ['test', (l) => l.test], ['statistic', (l) => l.statistic], ['critical', (l) => l.critical_value],
    ['p', (l) => l.p_value], ['reject null', (l) => l.reject_null], ['% of reference', (l) => l.percent_of_reference],
    ['refused', (l) => l.refused]];

  function cellText(v) {
    if (v == null) {
      return '';
    }
    if (typeof v === 'number') {
      return Number.isInteger(v) ? String(v) : v.toPrecision(4);
    }
    if (typeof v === 'object') {
      return v.text || JSON.stringify(v);
    }
    return String(v);
  }

  function showSurvey(answer) {
    const lines = answer.lines;
    const table = $('survey-table');
    const head = document.createElement('tr');
    SHOWN.forEach(([name]) => {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = name;
      head.appendChild(th);
    });
    table.tHead.replaceChildren(head);
    table.tBodies[0].replaceChildren(...lines.map((line) => {
      const tr = document.createElement('tr');
      SHOWN.forEach(([, get]) => {
        const td = document.createElement('td');
        td.textContent = cellText(get(line));
        tr.appendChild(td);
      });
      return tr;
    }));
    drawSurveyPlot(lines);
    $('survey-results').hidden = false;
  }

  function drawSurveyPlot(lines) {
    const figure = $('survey-plot');
    figure.replaceChildren();
    const points = lines.filter((l) => Number.isFinite(l.percent_of_reference));
    if (points.length === 0) {
      return;
    }
    const shown = points.slice(0, 200);
    const w = 640, rowH = 14, left = 110, top = 10;
    const h = top * 2 + rowH * shown.length + 20;
    const values = shown.map((l) => l.percent_of_reference);
    const hi = Math.max(110, ...values), lo = Math.min(0, ...values);
    const x = (v) => left + ((w - left - 20) * (v - lo)) / (hi - lo);
    const svg = svgElement('svg', {viewBox: `0 0 ${w} ${h}`, width: w, height: h, role: 'img',
      'aria-label': 'Mean of each sample as a percentage of its reference'});
    svg.appendChild(svgElement('line', {x1: x(100), x2: x(100), y1: top, y2: h - 20, stroke: '#888', 'stroke-dasharray': '3 3'}));
    svg.appendChild(svgElement('text', {x: x(100), y: h - 6, 'text-anchor': 'middle', 'font-size': 10}, '100 % of reference'));
    shown.forEach((l, i) => {
      const cy = top + rowH * (i + 0.5);
      const label = l.sample + (l.group ? ' ' + Object.values(l.group).join('/') : '');
      svg.appendChild(svgElement('text', {x: left - 6, y: cy + 4, 'text-anchor': 'end', 'font-size': 10}, label));
      svg.appendChild(svgElement('circle', {cx: x(l.percent_of_reference), cy, r: 4,
        fill: l.reject_null ? '#b3261e' : '#1b7f3b'}));
    });
    figure.appendChild(svg);
  }

  $('survey-form').addEventListener('submit', (event) => {
    event.preventDefault();
    try {
      const started = performance.now();
      // The downloads are of this run, whatever file and options the form holds by then.
      survey.ran = {text: survey.text, options: surveyOptions('jsonl'), name: survey.name, fileName: survey.fileName,
        sha256: survey.sha256};
      survey.answer = benthix.runSurveyWithNotes(survey.ran.text, survey.ran.options);
      survey.csv = null;
      const refused = survey.answer.lines.filter((l) => l.refused).length;
      $('survey-status').textContent = `${survey.answer.lines.length} comparisons, ${refused} refused, in ${Math.round(performance.now() - started)} ms.` +
        (survey.answer.notices.length ? ' ' + survey.answer.notices.join(' ') : '');
      showSurvey(survey.answer);
    } catch (error) {
      $('survey-status').textContent = error.message + (error.details && error.details.length ? ': ' + error.details.join('; ') : '');
      $('survey-results').hidden = true;
    }
  });

  function download(name, type, data) {
    const url = URL.createObjectURL(new Blob([data], {type}));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }

  function resultsCsv() {
    if (survey.csv === null) {
      survey.csv = benthix.runSurveyWithNotes(survey.ran.text, {...survey.ran.options, format: 'csv'}).text;
    }
    return survey.csv;
  }

  // CSV text (as the batch writes it) split into rows of cells.
  function parseCsv(text) {
    const rows = [];
    let row = [], cell = '', quoted = false;
    for (let i = 0; i < text.length; ++i) {
      const c = text[i];
      if (quoted) {
        if (c === '"' && text[i + 1] === '"') {
          cell += '"';
          ++i;
        } else if (c === '"') {
          quoted = false;
        } else {
          cell += c;
        }
      } else if (c === '"') {
        quoted = true;
      } else if (c === ',') {
        row.push(cell);
        cell = '';
      } else if (c === '\n' || c === '\r') {
        if (c === '\r' && text[i + 1] === '\n') {
          ++i;
        }
        row.push(cell);
        rows.push(row);
        row = [];
        cell = '';
      } else {
        cell += c;
      }
    }
    if (cell !== '' || row.length > 0) {
      row.push(cell);
      rows.push(row);
    }
    return rows;
  }

  $('download-csv').addEventListener('click', () => download(`${survey.ran.name}-results.csv`, 'text/csv', resultsCsv()));
  $('download-jsonl').addEventListener('click', () => download(`${survey.ran.name}-results.jsonl`, 'application/x-ndjson', survey.answer.text));
  $('download-report').addEventListener('click', () => {
    try {
      const {text, options, name, fileName, sha256} = survey.ran;
      download(`${name}-report.html`, 'text/html', benthix.surveyReportHtml(text, {...options, fileName, sha256}));
    } catch (error) {
      $('survey-status').textContent = error.message;
    }
  });
  $('download-xlsx').addEventListener('click', async () => {
    const rows = parseCsv(resultsCsv());
    const data = rows.map((row, r) => row.map((cell) => {
      const plain = cell.replace(/^'(?=[=+\-@])/, '');
      const number = r > 0 && /^-?\d+(\.\d+)?([eE][-+]?\d+)?$/.test(plain) ? Number(plain) : null;
      return number !== null ? {type: Number, value: number} : {type: String, value: plain, fontWeight: r === 0 ? 'bold' : undefined};
    }));
    const blob = await writeXlsxFile(data, {sheet: 'Results'}).toBlob();
    download(`${survey.ran.name}-results.xlsx`, 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet', blob);
  });

  // ---- Start --------------------------------------------------------------------------------

  benthix.ready.then(() => {
    $('version').textContent = benthix.version;
    $('loading').textContent = '';
    $('execute').disabled = false;
    $('run-survey').disabled = !survey.text;
    document.body.dataset.ready = 'true';
  }).catch((error) => {
    $('loading').textContent = error.message;
  });
  document.querySelectorAll('[data-picture]').forEach((span) => setPicture(span, 'question'));
})();
