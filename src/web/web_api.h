// SPDX-License-Identifier: MIT
#pragma once
// What the browser edition's script interface asks of the core, as JSON texts in and out:
// one comparison as `benthix-cli analyze --json` prints it, a survey as the JSON lines of
// `benthix-cli batch --format jsonl`. Pure functions of their arguments and the tables.

#include <memory>
#include <string>

namespace bx {
class StatTables;
}

namespace bx::web {

// `request`: {"test": [texts], "reference": [texts], "alternative": "less"|"greater",
// "alpha": "0.05"|"0.1", "transform": "none"|"arcsine"|"sqrt"|"log10", "powerDifference":
// text or null, "override": "yes"|"no"|null, "oneSample": bool, "lenient": bool (a value read
// by its leading number, as the window does)}; each option may be left out.
// Answers {"output": the object `analyze --json` prints, "messages": [{title, text}] of the
// message boxes, "explanation": [the sentences of `--explain`]}, or {"error": why} for a
// request it cannot take.
std::string analyzeJson(const StatTables& tables, const std::string& request);

// `options`: {"reference", "plan" (the plan's CSV text), "group": [columns], "pAdjust":
// "none"|"holm"|"bonferroni", "pAdjustOver": "group"|"all", "delimiter", "decimalComma",
// "sampleColumn", "valueColumn", "lenient", "format": "jsonl"|"csv"} and the analysis options
// of analyzeJson(). Answers {"lines": [objects] (JSON lines only), "text": the results file as
// the batch writes it, "notices": [texts], "messages": [{sample, text}]} or {"error": why,
// "errors": [texts]}.
std::string surveyJson(const std::shared_ptr<const StatTables>& tables,
                       const std::string& surveyText, const std::string& options);

// Every cell of the six tables: {"Crit_t.dbf": [[key, values...], ...], ...}.
std::string tableRowsJson(const StatTables& tables);

}  // namespace bx::web
