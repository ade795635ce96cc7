// SPDX-License-Identifier: MIT
#pragma once
// Everything the logs and the report keep of one completed run: who and what was compared,
// the replicates as they were typed, the choices, and the typed result.

#include <array>
#include <string>

#include "reports/result_texts.h"
#include "statistics/comparison.h"

namespace bx {

struct RunIdentity {
    std::string project;         // txtProjectName
    std::string sampleId;        // txtSampId
    std::string sampleAlias;     // txtSampAlias
    std::string referenceId;     // txtRefId
    std::string referenceAlias;  // txtRefAlias
};

struct RunRecord {
    RunIdentity identity;
    // The replicates' texts as entered, rows 1 to 10 (only the counted ones are used).
    std::array<std::string, kMaxReplicates> testEntries;
    std::array<std::string, kMaxReplicates> referenceEntries;
    AnalysisOptions options;
    std::string minimumDifference;  // the text of the power difference field, as typed
    Comparison result;
};

}  // namespace bx
