// SPDX-License-Identifier: MIT
#pragma once
// What the browser edition's script interface asks of the core, as JSON texts in and out:
// one comparison as `benthix-cli analyze --json` prints it, a survey as the JSON lines of
// `benthix-cli batch --format jsonl`. Pure functions of their arguments and the tables.

#include <memory>
#include <set>
#include <string>

#include "app/analysis_state.h"
#include "app/window_state.h"

namespace bx {
class StatTables;
}

namespace bx::web {

// A main window as start-up leaves it. Start-up looks at the program's folders, which in the
// module's file system costs more than a comparison: it runs once, and every comparison starts
// from a copy of what it left.
struct StartedWindow {
    WindowState ui;
    AnalysisState analysis;
    std::set<std::string> reportedTables;
    std::set<std::string> tidiedFolders;
};
StartedWindow startedWindow(const std::shared_ptr<const StatTables>& tables);

// `request`: {"test": [texts], "reference": [texts], "alternative": "less"|"greater",
// "alpha": "0.05"|"0.1", "transform": "none"|"arcsine"|"sqrt"|"log10", "powerDifference":
// text or null, "override": "yes"|"no"|null, "oneSample": bool, "lenient": bool (a value read
// by its leading number, as the window does)}; each option may be left out.
// Answers {"output": the object `analyze --json` prints, "messages": [{title, text}] of the
// message boxes, "explanation": [the sentences of `--explain`]}, or {"error": why} for a
// request it cannot take.
std::string analyzeJson(const std::shared_ptr<const StatTables>& tables,
                        const StartedWindow& started, const std::string& request);

// `options`: {"reference", "plan" (the plan's CSV text), "group": [columns], "pAdjust":
// "none"|"holm"|"bonferroni", "pAdjustOver": "group"|"all", "delimiter", "decimalComma",
// "sampleColumn", "valueColumn", "lenient", "format": "jsonl"|"csv"} and the analysis options
// of analyzeJson(). Answers {"lines": [objects] (JSON lines only), "text": the results file as
// the batch writes it, "notices": [texts], "messages": [{sample, text}]} or {"error": why,
// "errors": [texts]}.
std::string surveyJson(const std::shared_ptr<const StatTables>& tables,
                       const std::string& surveyText, const std::string& options);

// The survey report of the same run as an HTML page: what `benthix-cli batch --report x.html`
// writes for the same survey and options, its header but for the creation time and the file,
// of which a page knows only the name. `options`: those of surveyJson() and "fileName" (the
// survey file's name), "project" (by default the name without its extension), "sha256" (the
// SHA-256 of the file's bytes, when `surveyText` is not those bytes: a workbook read into CSV;
// by default that of `surveyText`). Answers {"html": the page} or {"error": why, "errors":
// [texts]}.
std::string surveyReportJson(const std::shared_ptr<const StatTables>& tables,
                             const std::string& surveyText, const std::string& options);

// Every cell of the six tables: {"Crit_t.dbf": [[key, values...], ...], ...}.
std::string tableRowsJson(const StatTables& tables);

}  // namespace bx::web
