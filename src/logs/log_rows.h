// SPDX-License-Identifier: MIT
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

// The numbers last shown in each field of a summary and their texts, for a caller that shows
// many runs with the same reference: a field's number is formatted again only when it differs
// (bit for bit) from the last one.
class ShownSummaryNumbers {
  public:
    // The text of `value` shown with `pattern` in field `field`; a field keeps its pattern.
    const std::string& text(std::size_t field, double value, const char* pattern);

  private:
    struct Shown {
        bool set = false;
        double value = 0.0;
        std::string text;
    };
    std::array<Shown, kSummaryRecordFields.size()> shown_;
};

SummaryTexts summaryTexts(const RunRecord& run);

// The same texts as views into the run, into `shown` (the numbers, of which those already shown
// there are not formatted again) and into `power`: valid until `shown` or `power` is used for
// another run.
using SummaryTextViews = std::array<std::string_view, kSummaryRecordFields.size()>;
SummaryTextViews summaryTextViews(const RunRecord& run, ShownSummaryNumbers& shown,
                                  std::string& power);

// The one row of a run in the summary log: every field of summaryTexts() by name.
LogRow summaryLogRow(const RunRecord& run);

}  // namespace bx
