#pragma once
// The values the logs write for one run, as texts by field name: the rows of the detailed log
// and the row of the summary log.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "logs/summary_record.h"

namespace bx {

struct RunRecord;

// The fields set in one row, in the order they are written; fields not listed stay blank.
using LogRow = std::vector<std::pair<std::string_view, std::string>>;

// The rows of a run in the detailed log: row 1 with every run field and the first replicate
// values, rows 2 to n1 + n2 with the per-replicate values, then one blank row.
std::vector<LogRow> detailLogRows(const RunRecord& run);

// The texts of a run's summary log row, one per field of kSummaryRecordFields, in that order.
using SummaryTexts = std::array<std::string, kSummaryRecordFields.size()>;
SummaryTexts summaryTexts(const RunRecord& run);

// The one row of a run in the summary log: every field of summaryTexts() by name.
LogRow summaryLogRow(const RunRecord& run);

}  // namespace bx
