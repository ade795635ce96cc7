// SPDX-License-Identifier: MIT
#pragma once
// The settings a survey's comparisons run with, and the survey plan that gives them per group
// of the survey (usually per endpoint): a CSV file with one row per group, its columns named
// after the grouping columns plus any of reference, alternative, alpha, transform,
// power_difference, override and one_sample. The window saves and loads the same file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/analysis_types.h"

namespace bx {

// What one comparison runs with, as the window's option lists and switches would hold it.
struct ComparisonSettings {
    std::string reference;  // the reference sample's id
    Alternative alternative = Alternative::Less;
    std::string alpha = "0.05";  // "0.05" or "0.1", as the list shows it
    Transformation transformation = Transformation::None;
    std::optional<std::string> powerDifference;  // the power calculation on, with this D
    std::optional<bool> overrideAnswer;          // the normality override on, with this answer
    bool oneSample = false;                      // the one-sample t-test switched on
};

// A plan row's settings: each one empty where the row leaves it to the command line.
struct PlannedSettings {
    std::optional<std::string> reference;
    std::optional<Alternative> alternative;
    std::optional<std::string> alpha;
    std::optional<Transformation> transformation;
    std::optional<std::string> powerDifference;
    std::optional<bool> overrideAnswer;
    std::optional<bool> oneSample;

    // `base` with every setting this row gives in its place.
    ComparisonSettings over(ComparisonSettings base) const;
};

struct SurveyPlan {
    // The grouping columns, as the plan's header names them (the columns that are not
    // settings), in their order.
    std::vector<std::string> groupColumns;
    struct Row {
        std::vector<std::string> group;  // the values of groupColumns
        PlannedSettings settings;
        int line = 0;
    };
    std::vector<Row> rows;

    // The row for these group values (compared as written, without surrounding blanks).
    const Row* find(const std::vector<std::string>& group) const;
};

// The columns of a plan that hold settings, in the order a saved plan writes them.
inline constexpr std::string_view kPlanSettingColumns[] = {
    "reference", "alternative", "alpha", "transform", "power_difference", "override", "one_sample"};

// Reads a plan (any delimiter and encoding a survey may have). On a problem, std::nullopt with
// `error` naming the line and the cell: a word that is not one of the choices, a power
// difference that is not a number, two rows for one group, a plan without grouping columns.
std::optional<SurveyPlan> readPlan(std::string_view text, std::string& error);

// The plan as CSV text with every setting column, empty cells for settings a row leaves open.
std::string planText(const SurveyPlan& plan);

// Puts the plan's group values in the order of `columns` (the survey's group columns); false
// when the two do not name the same columns.
bool alignPlan(SurveyPlan& plan, const std::vector<std::string>& columns);

}  // namespace bx
