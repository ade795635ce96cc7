// SPDX-License-Identifier: MIT
// The script interface of the browser edition, appended to the module's loader: defines
// globalThis.benthix. Every call passes JSON texts to the C++ core and parses what it answers.
(function () {
  'use strict';
  /* global BenthixModule */
  const factory = typeof BenthixModule === 'function' ? BenthixModule : module.exports;
  let core = null;

  // Copies a JS string into the module's memory; the caller frees it.
  function cString(text) {
    const size = core.lengthBytesUTF8(text) + 1;
    const at = core._malloc(size);
    core.stringToUTF8(text, at, size);
    return at;
  }

  // Calls `name` with texts, returns what it answered, parsed.
  function call(name, ...texts) {
    if (core === null) {
      throw new Error('benthix: the module is not loaded yet (await benthix.ready)');
    }
    const args = texts.map(cString);
    try {
      const answer = core['_' + name](...args);
      const text = core.UTF8ToString(answer);
      core._bx_free(answer);
      return JSON.parse(text);
    } finally {
      args.forEach((at) => core._free(at));
    }
  }

  function failed(answer) {
    const error = new Error('benthix: ' + answer.error);
    error.details = answer.errors || [];
    return error;
  }

  const api = {
    version: null,
    ready: null,
    // The object `benthix-cli analyze --json` prints for the same entries and options.
    analyze(request) {
      return api.analyzeWithMessages(request).output;
    },
    // The same with the message boxes the window would have shown: {output, messages}.
    analyzeWithMessages(request) {
      const answer = call('bx_analyze', JSON.stringify(request || {}));
      if (answer.error !== undefined) {
        throw failed(answer);
      }
      return answer;
    },
    // The objects `benthix-cli batch --format jsonl` writes, in its order.
    runSurvey(surveyText, options) {
      return api.runSurveyWithNotes(surveyText, options).lines;
    },
    // The same with the notices and the comparisons' messages: {lines, notices, messages}.
    runSurveyWithNotes(surveyText, options) {
      const answer = call('bx_run_survey', String(surveyText), JSON.stringify(options || {}));
      if (answer.error !== undefined) {
        throw failed(answer);
      }
      return answer;
    },
    // The survey report as `benthix-cli batch --report x.html` writes it, as the text of an HTML
    // page: the options of runSurvey() and fileName, project and sha256 (of the file's bytes,
    // when the text is not those bytes).
    surveyReportHtml(surveyText, options) {
      const answer = call('bx_survey_report', String(surveyText), JSON.stringify(options || {}));
      if (answer.error !== undefined) {
        throw failed(answer);
      }
      return answer.html;
    },
    // Every cell of the six statistical tables, by file name.
    tableRows() {
      return call('bx_table_rows');
    },
  };

  // Under Node (the smoke tests), the module's bytes are read beside this file: the loader of
  // this Emscripten would fetch() them, which Node refuses for a file path.
  const options = {};
  if (typeof window === 'undefined' && typeof process === 'object' && process.versions &&
      process.versions.node) {
    options.wasmBinary = require('fs').readFileSync(require('path').join(__dirname, 'benthix.wasm'));
  }
  api.ready = factory(options).then((m) => {
    core = m;
    api.version = core.UTF8ToString(core._bx_version());
    const problem = core.UTF8ToString(core._bx_tables_problem());
    if (problem !== '') {
      throw new Error('benthix: the statistical tables could not be built: ' + problem);
    }
    return api;
  });
  globalThis.benthix = api;
})();
