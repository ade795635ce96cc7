#pragma once
// A survey read from comma-separated text: the replicates of every sample, grouped by the
// `sample` column in the order the samples first appear.

#include <string>
#include <string_view>
#include <vector>

#include "cli/csv.h"

namespace bx::cli {

struct SurveySample {
    std::string id;
    std::vector<std::string> values;  // the `value` texts, unchanged, in file order
    int firstLine = 0;                // the line of its first replicate
    int blankValueLine = 0;           // the first line whose value is blank; 0 when none
};

struct Survey {
    std::vector<SurveySample> samples;
    std::vector<CsvError> errors;  // a header without the columns, malformed lines

    // The sample with this id, or null.
    const SurveySample* find(std::string_view id) const;
};

// Reads the header line (columns `sample` and `value`, matched without regard to case or
// surrounding blanks; other columns are ignored) and one replicate per following record.
// Sample ids lose their surrounding blanks; a record without a sample id, or with fewer fields
// than the header's `sample` and `value` columns need, is malformed.
Survey readSurvey(std::string_view csvText);

}  // namespace bx::cli
