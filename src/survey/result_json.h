// SPDX-License-Identifier: MIT
#pragma once
// The typed result of one comparison for those who compute with it: numbers as JSON numbers,
// absent values as null, choices and outcomes as lower-case names.

#include <array>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "entry/entry_check.h"
#include "statistics/comparison.h"
#include "statistics/sample_summary.h"

namespace bx {

// The "result" object: the test, the choices, the statistic with its critical value, degrees of
// freedom, verdict and p-value, both pre-tests, power, the means and their difference, the
// minimum significant difference, the decision steps, the warnings and the refusal, and the
// program. `result` is null when the entries were refused or nothing ran.
nlohmann::ordered_json resultObject(const EntryCheck& entries, const Comparison* result);

// The figures of a sample's summary, in the order every output gives them: the JSON key, the
// CSV column after "TEST_" or "REF_", and the value (whole for the count; empty when absent).
struct SummaryField {
    std::string_view key;
    std::string_view column;
    bool whole;
    std::optional<double> (*value)(const SampleSummary&);
};
extern const std::array<SummaryField, 7> kSummaryFields;

// "test_summary" and "reference_summary" added at the end of `result`, each with n, mean, sd,
// se, cv, transformed_mean and transformed_sd (null when absent); both null when the entries
// were refused or nothing ran.
void addSampleSummaries(nlohmann::ordered_json& result, const EntryCheck& entries,
                        const Comparison* comparison);

}  // namespace bx
