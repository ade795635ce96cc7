// SPDX-License-Identifier: MIT
#include "survey/plan.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/text_format.h"
#include "survey/csv.h"

namespace bx {
namespace {

enum class Setting {
    Reference,
    Alternative,
    Alpha,
    Transform,
    PowerDifference,
    Override,
    OneSample
};

std::optional<Setting> settingNamed(std::string_view header) {
    const std::string name = lowerTrimmed(header);
    for (std::size_t i = 0; i < std::size(kPlanSettingColumns); ++i) {
        if (name == kPlanSettingColumns[i]) {
            return static_cast<Setting>(i);
        }
    }
    return std::nullopt;
}

std::optional<bool> yesNo(std::string_view text) {
    const std::string t = lowerTrimmed(text);
    if (t == "yes" || t == "true" || t == "1") {
        return true;
    }
    if (t == "no" || t == "false" || t == "0") {
        return false;
    }
    return std::nullopt;
}

std::string choicesOf(std::string_view column) {
    if (column == "alternative") {
        return "less, greater";
    }
    if (column == "alpha") {
        return "0.05, 0.1";
    }
    if (column == "transform") {
        std::string words;
        for (const TransformationInfo& t : kTransformations) {
            words += (words.empty() ? "" : ", ") + std::string(t.code);
        }
        return words;
    }
    return "yes, no";
}

// Takes one cell into `s`; an error text when the cell's word is not one of the choices.
std::string take(Setting setting, std::string_view cell, PlannedSettings& s) {
    const std::string text(trimBlanks(cell));
    bool ok = true;
    switch (setting) {
        case Setting::Reference:
            s.reference = text;
            break;
        case Setting::Alternative:
            s.alternative = alternativeNamed(lowerTrimmed(text));
            if (!s.alternative) {
                s.alternative = alternativeNamed(text);
            }
            ok = s.alternative.has_value();
            break;
        case Setting::Alpha:
            ok = alphaOf(text).has_value();
            s.alpha = text;
            break;
        case Setting::Transform:
            s.transformation = transformationNamed(lowerTrimmed(text));
            if (!s.transformation) {
                s.transformation = transformationNamed(text);
            }
            ok = s.transformation.has_value();
            break;
        case Setting::PowerDifference: {
            // A plan saved where the comma is the decimal mark writes "2,5".
            std::string number = text;
            if (const std::size_t comma = number.find(',');
                comma != std::string::npos &&
                number.find_first_of(",.", comma + 1) == std::string::npos &&
                number.find('.') == std::string::npos) {
                number[comma] = '.';
            }
            const LeadingNumber n = parseLeadingNumber(number);
            ok = n.found && n.wholeText;
            s.powerDifference = number;
            if (!ok) {
                return "\"" + shortenedText(text) + "\" is not a number";
            }
            if (!std::isfinite(n.value)) {
                return "\"" + shortenedText(text) + "\" is out of range";
            }
            break;
        }
        case Setting::Override:
            s.overrideAnswer = yesNo(text);
            ok = s.overrideAnswer.has_value();
            break;
        case Setting::OneSample:
            s.oneSample = yesNo(text);
            ok = s.oneSample.has_value();
            break;
    }
    if (!ok) {
        const std::string_view column = kPlanSettingColumns[static_cast<std::size_t>(setting)];
        return "\"" + text + "\" is not one of " + choicesOf(column);
    }
    return {};
}

}  // namespace

ComparisonSettings PlannedSettings::over(ComparisonSettings base) const {
    if (reference) {
        base.reference = *reference;
    }
    if (alternative) {
        base.alternative = *alternative;
    }
    if (alpha) {
        base.alpha = *alpha;
    }
    if (transformation) {
        base.transformation = *transformation;
    }
    if (powerDifference) {
        base.powerDifference = powerDifference;
    }
    if (overrideAnswer) {
        base.overrideAnswer = overrideAnswer;
    }
    if (oneSample) {
        base.oneSample = *oneSample;
    }
    return base;
}

const SurveyPlan::Row* SurveyPlan::find(const std::vector<std::string>& group) const {
    for (const Row& row : rows) {
        if (row.group == group) {
            return &row;
        }
    }
    return nullptr;
}

std::optional<SurveyPlan> readPlan(std::string_view text, std::string& error) {
    const CsvDocument doc = parseCsv(text, detectDelimiter(text));
    if (!doc.errors.empty()) {
        error =
            "line " + std::to_string(doc.errors.front().line) + ": " + doc.errors.front().reason;
        return std::nullopt;
    }
    if (doc.records.empty()) {
        error = "the plan has no header line";
        return std::nullopt;
    }
    const CsvRecord& header = doc.records.front();
    SurveyPlan plan;
    std::vector<std::optional<Setting>> columns;
    for (const std::string& name : header.fields) {
        columns.push_back(settingNamed(name));
        if (!columns.back()) {
            if (trimBlanks(name).empty()) {
                error = "line " + std::to_string(header.line) + ": a column has no name";
                return std::nullopt;
            }
            plan.groupColumns.emplace_back(trimBlanks(name));
        }
    }
    if (plan.groupColumns.empty()) {
        error = "line " + std::to_string(header.line) +
                ": no grouping column (such as endpoint) names the rows' groups";
        return std::nullopt;
    }
    for (std::size_t r = 1; r < doc.records.size(); ++r) {
        const CsvRecord& record = doc.records[r];
        if (record.fields.size() > columns.size()) {
            error = "line " + std::to_string(record.line) + ": the line has " +
                    std::to_string(record.fields.size()) + " fields, the header " +
                    std::to_string(columns.size());
            return std::nullopt;
        }
        SurveyPlan::Row row;
        row.line = record.line;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string_view cell =
                c < record.fields.size() ? trimBlanks(record.fields[c]) : std::string_view();
            if (!columns[c]) {
                row.group.emplace_back(cell);
            } else if (!cell.empty()) {
                if (const std::string problem = take(*columns[c], cell, row.settings);
                    !problem.empty()) {
                    error = "line " + std::to_string(record.line) + ", column \"" +
                            std::string(trimBlanks(header.fields[c])) + "\": " + problem;
                    return std::nullopt;
                }
            }
        }
        if (const SurveyPlan::Row* same = plan.find(row.group)) {
            error = "lines " + std::to_string(same->line) + " and " + std::to_string(row.line) +
                    " plan the same group";
            return std::nullopt;
        }
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

std::string planText(const SurveyPlan& plan) {
    std::vector<std::string> header = plan.groupColumns;
    for (const std::string_view column : kPlanSettingColumns) {
        header.emplace_back(column);
    }
    std::string text;
    appendCsvRecord(text, header);
    for (const SurveyPlan::Row& row : plan.rows) {
        const PlannedSettings& s = row.settings;
        std::vector<std::string> fields = row.group;
        fields.resize(plan.groupColumns.size());
        fields.push_back(s.reference.value_or(""));
        fields.emplace_back(s.alternative ? alternativeCode(*s.alternative) : "");
        fields.push_back(s.alpha.value_or(""));
        fields.emplace_back(s.transformation ? transformationCode(*s.transformation) : "");
        fields.push_back(s.powerDifference.value_or(""));
        fields.emplace_back(!s.overrideAnswer ? "" : *s.overrideAnswer ? "yes" : "no");
        fields.emplace_back(!s.oneSample ? "" : *s.oneSample ? "yes" : "no");
        appendCsvRecord(text, fields);
    }
    return text;
}

bool alignPlan(SurveyPlan& plan, const std::vector<std::string>& columns) {
    if (plan.groupColumns.size() != columns.size()) {
        return false;
    }
    std::vector<std::size_t> from;
    for (const std::string& c : columns) {
        std::size_t k = 0;
        while (k < plan.groupColumns.size() &&
               lowerTrimmed(plan.groupColumns[k]) != lowerTrimmed(c)) {
            ++k;
        }
        if (k == plan.groupColumns.size()) {
            return false;
        }
        from.push_back(k);
    }
    for (SurveyPlan::Row& row : plan.rows) {
        std::vector<std::string> group;
        for (const std::size_t k : from) {
            group.push_back(row.group[k]);
        }
        row.group = std::move(group);
    }
    plan.groupColumns = columns;
    return true;
}

}  // namespace bx
