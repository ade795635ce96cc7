// SPDX-License-Identifier: MIT
#pragma once
// The lines of the comma-separated report: the inputs, the descriptive statistics, the three
// test panels and the replicate table of the run just made, as the panels show them.

#include <string>
#include <string_view>
#include <vector>

namespace bx {

struct RunRecord;

// One line: its fields from column A up to its last column (an empty line has none).
using ReportLine = std::vector<std::string>;

// Every line of the report in order (line 1 first). Lines 24 and 25 are empty unless the test
// shown is "Mann-Whitney"; lines from 49 on exist only for more than ten pooled replicates.
std::vector<ReportLine> buildReportLines(const RunRecord& run);

// One field as it goes into the file: as it stands, or in double quotes with inner quotes
// doubled when it holds a comma, a double quote or a line break (which would otherwise shift
// the following fields or split the line). A text a spreadsheet would run as a formula
// (readsAsFormula: "=cmd|...", "@SUM(...)") gets a leading apostrophe first.
std::string csvField(std::string_view field);

// The file's text: fields separated by commas, each line ended by CR LF.
std::string csvText(const std::vector<ReportLine>& lines);

}  // namespace bx
