#include "cli/survey.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "base/text_format.h"

namespace bx::cli {
namespace {

std::string lowerTrimmed(std::string_view text) {
    std::string s(trimBlanks(text));
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

int columnOf(const std::vector<std::string>& header, std::string_view name) {
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (lowerTrimmed(header[i]) == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

const SurveySample* Survey::find(std::string_view id) const {
    for (const SurveySample& s : samples) {
        if (s.id == id) {
            return &s;
        }
    }
    return nullptr;
}

Survey readSurvey(std::string_view csvText) {
    Survey survey;
    CsvDocument doc = parseCsv(csvText);
    survey.errors = std::move(doc.errors);
    if (doc.records.empty()) {
        survey.errors.insert(survey.errors.begin(), {1, "there is no header line"});
        return survey;
    }
    const CsvRecord& header = doc.records.front();
    const int sampleCol = columnOf(header.fields, "sample");
    const int valueCol = columnOf(header.fields, "value");
    if (sampleCol < 0 || valueCol < 0) {
        survey.errors.insert(
            survey.errors.begin(),
            {header.line, sampleCol < 0 ? "the header line has no column \"sample\""
                                        : "the header line has no column \"value\""});
        return survey;
    }
    const std::size_t needed = static_cast<std::size_t>(std::max(sampleCol, valueCol)) + 1;

    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t r = 1; r < doc.records.size(); ++r) {
        const CsvRecord& rec = doc.records[r];
        if (rec.fields.size() < needed) {
            survey.errors.push_back({rec.line, "the line has " + std::to_string(rec.fields.size()) +
                                                   " fields, the header needs " +
                                                   std::to_string(needed)});
            continue;
        }
        std::string id(trimBlanks(rec.fields[static_cast<std::size_t>(sampleCol)]));
        if (id.empty()) {
            survey.errors.push_back({rec.line, "the line has no sample id"});
            continue;
        }
        const std::string& value = rec.fields[static_cast<std::size_t>(valueCol)];
        auto [it, inserted] = index.try_emplace(id, survey.samples.size());
        if (inserted) {
            survey.samples.push_back({id, {}, rec.line, 0});
        }
        SurveySample& sample = survey.samples[it->second];
        if (trimBlanks(value).empty() && sample.blankValueLine == 0) {
            sample.blankValueLine = rec.line;
        }
        sample.values.push_back(value);
    }
    std::stable_sort(survey.errors.begin(), survey.errors.end(),
                     [](const CsvError& a, const CsvError& b) { return a.line < b.line; });
    return survey;
}

}  // namespace bx::cli
