// SPDX-License-Identifier: MIT
#include "survey/runner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>

#include "base/shortest_text.h"
#include "base/text_format.h"
#include "base/version.h"
#include "entry/entry_check.h"
#include "logs/log_rows.h"
#include "logs/summary_record.h"
#include "statistics/analyze.h"
#include "statistics/decision_trail.h"
#include "statistics/sample_summary.h"
#include "statistics/transformations.h"
#include "survey/csv.h"
#include "survey/result_json.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

constexpr std::size_t kSummaryFieldCount = kSummaryRecordFields.size();
constexpr std::size_t kSampIdColumn = summaryFieldIndex("SAMPID");
constexpr std::size_t kRefIdColumn = summaryFieldIndex("REFID");
constexpr std::size_t kStatusColumn = kSummaryFieldCount;
static_assert(kSampIdColumn == 0 && kRefIdColumn < kSummaryFieldCount);
// Comparisons that may be finished ahead of the one being handed on; fewer when each holds
// its run until the logs have it.
constexpr std::size_t kLookAhead = 4096;
constexpr std::size_t kLookAheadWithRecords = 256;

// What a typed column reads a comparison from: its options, and the analysis when it ran.
struct ColumnInput {
    const AnalysisOptions& options;
    const Comparison* comparison;  // null for a refused comparison
    const SampleSummary* test;
    const SampleSummary* reference;
    double pValue;  // the comparison's, worked out once
};

// A cell of a typed column: empty, a number (written as its shortest text), a whole number, a
// logical (TRUE/FALSE, as R and pandas read them) or a word.
struct Cell {
    enum class Kind : std::uint8_t { Empty, Number, Whole, Logical, Word };
    Kind kind = Kind::Empty;
    double number = 0.0;
    int whole = 0;
    bool logical = false;
    std::string_view word;

    Cell() = default;
    Cell(double v) : kind(Kind::Number), number(v) {}        // NOLINT(google-explicit-constructor)
    Cell(int v) : kind(Kind::Whole), whole(v) {}             // NOLINT(google-explicit-constructor)
    Cell(bool v) : kind(Kind::Logical), logical(v) {}        // NOLINT(google-explicit-constructor)
    Cell(std::string_view v) : kind(Kind::Word), word(v) {}  // NOLINT(google-explicit-constructor)
};

Cell number(std::optional<double> v) {
    if (v && std::isfinite(*v)) {
        return *v;
    }
    return {};
}

// The typed columns after STATUS, in their order: the name and how to get the value.
struct TypedColumn {
    std::string_view name;
    Cell (*get)(const ColumnInput&);
};

// Each sample's summary as columns: "TEST_" or "REF_" before the names of kSummaryFields.
template <std::size_t I, bool Test>
Cell summaryCell(const ColumnInput& in) {
    const SampleSummary* s = Test ? in.test : in.reference;
    if (s == nullptr) {
        return {};
    }
    const std::optional<double> v = kSummaryFields[I].value(*s);
    if (kSummaryFields[I].whole && v) {
        return static_cast<int>(*v);
    }
    return number(v);
}

template <std::size_t... I>
constexpr auto summaryColumns(std::index_sequence<I...> /*unused*/) {
    return std::array<TypedColumn, 2 * sizeof...(I)>{TypedColumn{"", &summaryCell<I, true>}...,
                                                     TypedColumn{"", &summaryCell<I, false>}...};
}

const std::array<TypedColumn, 14> kTestColumns{{
    {"TEST",
     [](const ColumnInput& in) -> Cell {
         return in.comparison != nullptr ? testCode(*in.comparison) : std::string_view();
     }},
    {"STATISTIC",
     [](const ColumnInput& in) {
         return in.comparison != nullptr ? number(in.comparison->statistic()) : Cell{};
     }},
    {"CRITICAL",
     [](const ColumnInput& in) {
         return in.comparison != nullptr ? number(in.comparison->criticalValue()) : Cell{};
     }},
    {"DF",
     [](const ColumnInput& in) -> Cell {
         const std::optional<int> df =
             in.comparison != nullptr ? in.comparison->degreesOfFreedom() : std::nullopt;
         return df ? Cell(*df) : Cell{};
     }},
    {"ALPHA", [](const ColumnInput& in) -> Cell { return in.options.alpha; }},
    {"ALTERNATIVE",
     [](const ColumnInput& in) -> Cell { return alternativeCode(in.options.alternative); }},
    {"TRANSFORMATION",
     [](const ColumnInput& in) -> Cell { return transformationCode(in.options.transformation); }},
    {"P_VALUE",
     [](const ColumnInput& in) { return in.comparison != nullptr ? number(in.pValue) : Cell{}; }},
    {"REJECT_NULL",
     [](const ColumnInput& in) -> Cell {
         return in.comparison != nullptr ? Cell(!in.comparison->acceptNull()) : Cell{};
     }},
    {"DIFFERENCE",
     [](const ColumnInput& in) {
         return in.comparison != nullptr ? number(in.comparison->difference()) : Cell{};
     }},
    {"PERCENT_OF_REF",
     [](const ColumnInput& in) {
         return in.comparison != nullptr ? number(in.comparison->percentOfReference()) : Cell{};
     }},
    {"MSD",
     [](const ColumnInput& in) {
         return in.comparison != nullptr ? number(in.comparison->minimumSignificantDifference())
                                         : Cell{};
     }},
    {"PMSD",
     [](const ColumnInput& in) {
         const Comparison* c = in.comparison;
         const std::optional<double> msd =
             c != nullptr ? c->minimumSignificantDifference() : std::nullopt;
         const bool sameScale = msd && in.options.transformation == Transformation::None &&
                                !c->rankitsUsed() && c->referenceSample.mean != 0.0;
         return sameScale ? number(100.0 * *msd / c->referenceSample.mean) : Cell{};
     }},
    {"POWER_FRACTION",
     [](const ColumnInput& in) {
         const Comparison* c = in.comparison;
         return c != nullptr && c->power ? number(c->power->percent / 100.0) : Cell{};
     }},
}};

const auto kSummaryTypedColumns =
    summaryColumns(std::make_index_sequence<std::tuple_size_v<decltype(kSummaryFields)>>{});
constexpr std::size_t kTypedColumnCount = kTestColumns.size() + kSummaryTypedColumns.size();

std::string summaryColumnName(std::size_t i) {
    const std::size_t n = kSummaryFields.size();
    return std::string(i < n ? "TEST_" : "REF_") + std::string(kSummaryFields[i % n].column);
}

// The texts of a line's typed columns are laid out in a buffer of their own and appended to
// the line at once: a batch writes some forty of them per comparison.
constexpr std::size_t kNumberText = kShortestTextRoom;
constexpr std::size_t kTypedColumnsText = kTypedColumnCount * (kNumberText + 1);

// The shortest text of a number, kept per column on each thread: the alpha level, the
// reference's numbers and often the critical value come back comparison after comparison.
class NumberTexts {
  public:
    // Writes the text of `v` at `out`; returns its end.
    char* write(char* out, std::size_t column, double v) {
        Written& last = written_[column];
        const auto bits = std::bit_cast<std::uint64_t>(v);
        if (last.length == 0 || last.bits != bits) {
            char* const end = writeShortest(out, v);
            last.length = static_cast<std::size_t>(end - out);
            last.bits = bits;
            std::memcpy(last.text.data(), out, last.length);
            return end;
        }
        std::memcpy(out, last.text.data(), last.length);
        return out + last.length;
    }

  private:
    struct Written {
        std::uint64_t bits = 0;
        std::size_t length = 0;  // none yet when 0
        std::array<char, kNumberText> text{};
    };
    std::array<Written, kTypedColumnCount> written_{};
};

// Where a number was written in the buffer.
struct WrittenNumber {
    std::uint64_t bits = 0;
    const char* start = nullptr;
    std::size_t length = 0;  // none when 0
};

// Writes a cell after its comma; a number equal to `same` (the mean for the transformed mean
// without a transformation) is copied from where `same` was written rather than formatted anew.
char* writeCell(char* out, const Cell& cell, std::size_t column, NumberTexts& texts,
                WrittenNumber* written = nullptr, const WrittenNumber& same = {}) {
    *out++ = ',';
    switch (cell.kind) {
        case Cell::Kind::Empty:
            break;
        case Cell::Kind::Number: {
            const auto bits = std::bit_cast<std::uint64_t>(cell.number);
            char* start = out;
            if (same.length > 0 && same.bits == bits) {
                std::memcpy(out, same.start, same.length);
                out += same.length;
            } else {
                out = texts.write(out, column, cell.number);
            }
            if (written != nullptr) {
                *written = {bits, start, static_cast<std::size_t>(out - start)};
            }
            break;
        }
        case Cell::Kind::Whole:
            out = std::to_chars(out, out + kNumberText, cell.whole).ptr;
            break;
        case Cell::Kind::Logical: {
            const std::string_view word = cell.logical ? "TRUE" : "FALSE";
            std::memcpy(out, word.data(), word.size());
            out += word.size();
            break;
        }
        case Cell::Kind::Word: {
            // An empty word may have no storage at all.
            const std::size_t n = std::min(cell.word.size(), kNumberText);
            if (n > 0) {
                std::memcpy(out, cell.word.data(), n);
                out += n;
            }
            break;
        }
    }
    return out;
}

// For each summary field, the field it is the transformed form of ("transformed_mean" of
// "mean"), or the field itself.
std::array<std::size_t, kSummaryFields.size()> untransformedFields() {
    std::array<std::size_t, kSummaryFields.size()> of{};
    for (std::size_t i = 0; i < kSummaryFields.size(); ++i) {
        of[i] = i;
        constexpr std::string_view kPrefix = "transformed_";
        const std::string_view key = kSummaryFields[i].key;
        if (key.substr(0, kPrefix.size()) == kPrefix) {
            for (std::size_t j = 0; j < kSummaryFields.size(); ++j) {
                if (kSummaryFields[j].key == key.substr(kPrefix.size())) {
                    of[i] = j;
                }
            }
        }
    }
    return of;
}

// The typed columns of a results line.
void appendTypedColumns(std::string& line, const ColumnInput& in) {
    thread_local NumberTexts texts;
    static const std::array<std::size_t, kSummaryFields.size()> untransformed =
        untransformedFields();
    std::array<char, kTypedColumnsText> buffer;  // NOLINT(cppcoreguidelines-pro-type-member-init)
    char* out = buffer.data();
    std::size_t column = 0;
    for (const TypedColumn& c : kTestColumns) {
        out = writeCell(out, c.get(in), column++, texts);
    }
    std::array<WrittenNumber, kSummaryFields.size()> written{};
    for (std::size_t i = 0; i < kSummaryTypedColumns.size(); ++i) {
        const std::size_t field = i % kSummaryFields.size();
        if (field == 0) {
            written = {};
        }
        const std::size_t partner = untransformed[field];
        out = writeCell(out, kSummaryTypedColumns[i].get(in), column++, texts, &written[field],
                        partner != field ? written[partner] : WrittenNumber{});
    }
    line.append(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
}

std::string refusalLine(const std::string& sampleId, const std::string& referenceId,
                        const std::string& reason, const AnalysisOptions& options) {
    std::vector<std::string> fields(kSummaryFieldCount + 1);
    fields[kSampIdColumn] = sampleId;
    fields[kRefIdColumn] = referenceId;
    fields[kStatusColumn] = "refused: " + reason;
    std::string line;
    appendSpreadsheetRecord(line, fields);
    line.pop_back();  // the typed columns follow
    appendTypedColumns(line, {options, nullptr, nullptr, nullptr, 0.0});
    return line;
}

// The summary record of a run as one results line: the fields in the record's order, as the
// summary log writes them, then STATUS.
void appendSummaryLine(std::string& line, const RunRecord& run, std::string_view status) {
    // The reference's numbers come back in every comparison: each thread keeps their texts.
    thread_local ShownSummaryNumbers shown;
    thread_local std::string power;
    const SummaryTextViews texts = summaryTextViews(run, shown, power);
    // Mostly every field is written as it is: the line grows once and the fields are copied in.
    const std::size_t start = line.size();
    std::size_t length = status.size() + texts.size();
    bool asTheyAre = writtenAsItIs(status);
    for (const std::string_view text : texts) {
        length += text.size();
        asTheyAre = asTheyAre && writtenAsItIs(text);
    }
    if (asTheyAre) {
        line.resize(start + length);
        char* out = line.data() + start;
        for (const std::string_view text : texts) {
            out = std::copy(text.begin(), text.end(), out);
            *out++ = ',';
        }
        std::copy(status.begin(), status.end(), out);
        return;
    }
    for (const std::string_view text : texts) {
        appendSpreadsheetField(line, text);
        line += ',';
    }
    appendSpreadsheetField(line, status);
}

std::string tooManyReplicates(const char* which, std::size_t count) {
    return std::string(which) + " has " + std::to_string(count) + " replicates; at most " +
           std::to_string(kMaxReplicates) + " can be compared.";
}

// A warning line without the word that marks it as one ("**** Warning: ", "Warning: ",
// "WARNING - "), for the STATUS column that says "warning: " already.
std::string_view warningText(std::string_view line) {
    for (const std::string_view mark : {"**** Warning: ", "Warning: ", "WARNING - "}) {
        if (line.substr(0, mark.size()) == mark) {
            return line.substr(mark.size());
        }
    }
    return line;
}

// Reads the values of `sample` as numbers into `numbers` (as far as it has room): the first
// value that is not wholly a number, as a refusal; none when all are.
SurveyRefusal readNumbers(const SurveySample& sample, std::string_view which,
                          std::array<double, kMaxReplicates>& numbers) {
    for (std::size_t k = 0; k < sample.values.size(); ++k) {
        const LeadingNumber n = parseLeadingNumber(sample.values[k]);
        if (!n.found || !n.wholeText) {
            return {"not_a_number", std::string(which) + "row " +
                                        std::to_string(sample.valueLines[k]) + ": " +
                                        quotedText(sample.values[k]) + " is not a number"};
        }
        if (k < numbers.size()) {
            numbers[k] = n.value;
        }
    }
    return {};
}

// The values as the grid's Data column would hold them. Numbers already read go in as numbers
// when every one is finite and within the transformation's domain, so that the entry check
// has nothing to read again and nothing to report; otherwise the texts go in, and its
// refusals quote them as they stand in the survey.
void fillSlots(ValueArray& slots, const SurveySample* sample,
               const std::array<double, kMaxReplicates>* numbers, Transformation method) {
    const std::size_t count = sample != nullptr ? sample->values.size() : 0;
    bool asNumbers = numbers != nullptr && count <= numbers->size();
    for (std::size_t k = 0; asNumbers && k < count; ++k) {
        const double x = (*numbers)[k];
        asNumbers = std::isfinite(x) && inTransformDomain(method, x);
    }
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        if (k >= count) {
            slots[i] = std::string();
        } else if (asNumbers) {
            slots[i] = (*numbers)[k];
        } else {
            slots[i] = sample->values[k];
        }
    }
}

std::string countOf(int n, std::string_view what) {
    return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

// What the reference alone refuses every comparison for, in the order of the checks.
ReferenceRefusals referenceRefusals(const SurveySample* reference, bool strict,
                                    std::array<double, kMaxReplicates>& numbers) {
    ReferenceRefusals refusals;
    if (reference == nullptr) {
        return refusals;
    }
    if (reference->values.size() > static_cast<std::size_t>(kMaxReplicates)) {
        refusals.tooManyValues = {"too_many_replicates",
                                  tooManyReplicates("Reference sample", reference->values.size())};
    }
    if (strict) {
        refusals.notANumber = readNumbers(*reference, "reference ", numbers);
    }
    return refusals;
}

// A refusal found in the survey itself, before any entry is checked.
SurveyRefusal surveyRefusal(const SurveySample& test, const SurveySample* reference,
                            const ReferenceRefusals& referenceRefusals,
                            const std::string& referenceId, bool strict,
                            std::array<double, kMaxReplicates>& numbers) {
    if (reference == nullptr) {
        return {"reference_not_in_input",
                "Reference sample \"" + referenceId + "\" is not in the input."};
    }
    if (!referenceRefusals.tooManyValues.text.empty()) {
        return referenceRefusals.tooManyValues;
    }
    if (test.values.size() > static_cast<std::size_t>(kMaxReplicates)) {
        return {"too_many_replicates", tooManyReplicates("Sample", test.values.size())};
    }
    if (!referenceRefusals.notANumber.text.empty()) {
        return referenceRefusals.notANumber;
    }
    return strict ? readNumbers(test, "", numbers) : SurveyRefusal{};
}

std::string jsonText(const nlohmann::ordered_json& object) {
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

SettingsTexts settingsTexts(const ComparisonSettings& s) {
    return {.alternative = std::string(alternativeCaption(s.alternative)),
            .nullHypothesis = std::string(nullCaption(s.alternative)),
            .alpha = s.alpha,
            .transformation = std::string(transformationCaption(s.transformation)),
            .normalityPrompt = s.overrideAnswer.has_value(),
            .answer = s.overrideAnswer.value_or(false) ? OverrideAnswer::Yes : OverrideAnswer::No,
            .power = s.powerDifference.has_value(),
            .minimumDifference = s.powerDifference.value_or("")};
}

}  // namespace

std::vector<std::string> resultsHeader(PAdjust pAdjust,
                                       const std::vector<std::string>& groupColumns) {
    std::vector<std::string> header = groupColumns;
    for (const RecordField& field : kSummaryRecordFields) {
        header.emplace_back(field.name);
    }
    header.emplace_back("STATUS");
    for (const TypedColumn& c : kTestColumns) {
        header.emplace_back(c.name);
    }
    for (std::size_t i = 0; i < kSummaryTypedColumns.size(); ++i) {
        header.push_back(summaryColumnName(i));
    }
    if (pAdjust != PAdjust::None) {
        header.emplace_back("P_ADJUSTED");
        header.emplace_back("REJECT_NULL_ADJUSTED");
    }
    return header;
}

std::vector<double> adjustPValues(const std::vector<double>& p, PAdjust method) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (!std::isnan(p[i])) {
            order.push_back(i);
        }
    }
    const auto m = static_cast<double>(order.size());
    std::vector<double> adjusted(p.size(), std::numeric_limits<double>::quiet_NaN());
    if (method == PAdjust::Bonferroni) {
        for (const std::size_t i : order) {
            adjusted[i] = std::min(1.0, m * p[i]);
        }
        return adjusted;
    }
    // Holm: the k-th smallest p-value (k from 0) is multiplied by m - k, and the adjusted values
    // are made non-decreasing in that order.
    std::stable_sort(order.begin(), order.end(),
                     [&p](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    double running = 0.0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        running = std::max(running, std::min(1.0, (m - static_cast<double>(k)) * p[order[k]]));
        adjusted[order[k]] = running;
    }
    return adjusted;
}

void completeAdjusted(ComparisonResult& result, double adjusted, ResultsFormat format) {
    const bool known = !std::isnan(adjusted);
    // Rounding may put an adjusted p a hair above alpha where the exact one equals it; the
    // verdict compares as the numbers stand.
    const bool reject = known && adjusted <= result.alpha;
    result.pAdjusted = adjusted;
    if (format == ResultsFormat::Jsonl) {
        nlohmann::ordered_json object = result.object ? std::move(*result.object) : nullptr;
        object["p_adjusted"] = known ? nlohmann::ordered_json(adjusted) : nullptr;
        object["reject_null_adjusted"] = known ? nlohmann::ordered_json(reject) : nullptr;
        result.object.reset();
        result.line = jsonText(object);
        return;
    }
    result.line += ',';
    if (known) {
        std::array<char, 32> text{};
        const auto written = std::to_chars(text.data(), text.data() + text.size(), adjusted);
        result.line.append(text.data(), written.ptr);
    }
    result.line += known ? (reject ? ",TRUE" : ",FALSE") : ",";
    result.line += '\n';
}

ComparisonRunner::ComparisonRunner(std::shared_ptr<const StatTables> tables,
                                   ComparisonSettings settings, const SurveySample* reference,
                                   ResultsFormat format, bool lenient,
                                   std::vector<std::string> groupColumns,
                                   std::vector<std::string> group)
    : tables_(std::move(tables)),
      settings_(std::move(settings)),
      reference_(reference),
      format_(format),
      lenient_(lenient),
      groupColumns_(std::move(groupColumns)),
      group_(std::move(group)) {
    std::array<double, kMaxReplicates> numbers{};
    referenceRefusals_ = referenceRefusals(reference, !lenient, numbers);
    // The choices as types, for the results of comparisons refused before their entries are
    // checked.
    typedOptions_.alternative = settings_.alternative;
    typedOptions_.alpha = alphaOf(settings_.alpha).value_or(0.05);
    typedOptions_.transformation = settings_.transformation;
    settingsTexts_ = settingsTexts(settings_);
    // The reference as its grid's Data column holds it, the same for every comparison.
    const bool read = !lenient && referenceRefusals_.notANumber.text.empty();
    fillSlots(referenceSlots_, reference, read ? &numbers : nullptr, settings_.transformation);
}

ComparisonResult ComparisonRunner::run(const SurveySample& test, bool keepRecord,
                                       bool forAdjustment) const {
    ComparisonResult result = runOne(test, keepRecord, forAdjustment);
    result.sampleId = test.id;
    result.alpha = typedOptions_.alpha;
    return result;
}

void ComparisonRunner::finishLine(ComparisonResult& result, nlohmann::ordered_json object,
                                  bool forAdjustment) const {
    if (format_ == ResultsFormat::Jsonl) {
        // The group, the sample and its reference lead the object.
        nlohmann::ordered_json line;
        if (!group_.empty()) {
            nlohmann::ordered_json group;
            for (std::size_t i = 0; i < group_.size() && i < groupColumns_.size(); ++i) {
                group[groupColumns_[i]] = group_[i];
            }
            line["group"] = std::move(group);
        }
        line["sample"] = result.sampleId;
        line["reference"] = settings_.reference;
        for (auto& [key, value] : object.items()) {
            line[key] = std::move(value);
        }
        if (forAdjustment) {
            result.object = std::move(line);
        } else {
            result.line = jsonText(line);
        }
        return;
    }
    if (!group_.empty()) {
        std::string prefix;
        for (const std::string& value : group_) {
            appendSpreadsheetField(prefix, value);
            prefix += ',';
        }
        result.line.insert(0, prefix);
    }
    if (!forAdjustment) {
        result.line += '\n';
    }
}

ComparisonResult ComparisonRunner::runOne(const SurveySample& test, bool keepRecord,
                                          bool forAdjustment) const {
    ComparisonResult result;
    result.sampleId = test.id;
    const bool jsonl = format_ == ResultsFormat::Jsonl;
    const std::string& referenceId = settings_.reference;
    std::array<double, kMaxReplicates> numbers{};
    const SurveyRefusal refusal =
        surveyRefusal(test, reference_, referenceRefusals_, referenceId, !lenient_, numbers);
    if (!refusal.text.empty()) {
        result.status = ComparisonStatus::Refused;
        result.refusal = refusal.text;
        nlohmann::ordered_json object;
        if (jsonl) {
            EntryCheck unchecked;
            unchecked.options = typedOptions_;
            object = resultObject(unchecked, nullptr);
            object["refused"] = {{"code", refusal.code}, {"text", refusal.text}};
            addSampleSummaries(object, unchecked, nullptr);
        } else {
            result.line = refusalLine(test.id, referenceId, refusal.text, typedOptions_);
        }
        finishLine(result, std::move(object), forAdjustment);
        return result;
    }
    ValueArray testSlots;
    fillSlots(testSlots, &test, lenient_ ? nullptr : &numbers, settings_.transformation);
    const SettingsTexts& o = settingsTexts_;
    EntryCheck check = checkEntries({testSlots, referenceSlots_, o.alternative, o.nullHypothesis,
                                     o.alpha, o.transformation, settings_.oneSample});
    // The lines the run would post, in order, of which the warnings go with its messages: the
    // entries' lines, then the analysis's warnings (its steps say nothing here).
    std::vector<std::string_view> lines;
    if (check.refusal) {
        if (check.referenceIncomplete) {
            result.messages = std::string(kProgramName) + ": " + kReferenceIncompleteText + "\n";
        }
        lines.push_back(*check.refusal);
    }
    for (const std::string& warning : check.warnings) {
        lines.push_back(warning);
    }
    if (!check.refusal) {
        check.options.power = o.power;
        check.options.minimumDifference = leadingNumber(o.minimumDifference);
    }
    // The analysis is made in place (a Comparison is large).
    RunRecord run{.identity = {"", test.id, "", referenceId, ""},
                  .testEntries = {},
                  .referenceEntries = {},
                  .options = check.options,
                  .minimumDifference = o.minimumDifference,
                  .result = check.refusal
                                ? Comparison{}
                                : analyze(check.samples(), check.options, *tables_, o.answer)};
    if (!check.refusal) {
        const Comparison& comparison = run.result;
        // The question and the notice are message boxes of the window; here they are messages.
        if (o.normalityPrompt && comparison.normality && !comparison.normality->normal) {
            result.messages +=
                "Normality Override: Data Failed Shapiro-Wilk test. Do you want to "
                "override this conclusion of non-normality?\n";
        }
        for (const Note& note : comparison.notes) {
            if (note.code == NoteCode::RankitNotice) {
                result.messages += kRankitNoticeTitle;
                result.messages += ": ";
                result.messages += note.text.view();
                result.messages += '\n';
            } else if (isWarning(note.code)) {
                lines.push_back(note.text);
            }
        }
    }
    // The results line has no room for them, so the run's warnings go with its messages, and
    // STATUS sums them up.
    std::string warnings;
    std::vector<std::pair<const char*, std::string>> surveyWarnings;
    if (test.missing > 0) {
        surveyWarnings.emplace_back("missing_values",
                                    countOf(test.missing, "missing value") + " left out");
    }
    if (reference_ != nullptr && reference_->missing > 0) {
        surveyWarnings.emplace_back(
            "missing_reference_values",
            countOf(reference_->missing, "missing reference value") + " left out");
    }
    if (!test.differingColumn.empty()) {
        surveyWarnings.emplace_back("differing_column", test.differingColumn);
    }
    if (reference_ != nullptr && !reference_->differingColumn.empty()) {
        surveyWarnings.emplace_back("differing_reference_column",
                                    "reference " + reference_->differingColumn);
    }
    for (const auto& [code, text] : surveyWarnings) {
        result.messages += "Warning: " + text + "\n";
        warnings += warnings.empty() ? "warning: " : "; ";
        warnings += text;
    }
    for (const std::string_view line : lines) {
        if (line.find("Warning") != std::string_view::npos ||
            line.find("WARNING") != std::string_view::npos) {
            result.messages += trimBlanks(line);
            result.messages += '\n';
            warnings += warnings.empty() ? "warning: " : "; ";
            warnings += warningText(trimBlanks(line));
        }
    }
    if (!warnings.empty()) {
        result.status = ComparisonStatus::Warnings;
    }
    // The entries, or else the analysis itself (a statistic that is not finite), may refuse.
    if (check.refusal || run.result.refusal) {
        result.status = ComparisonStatus::Refused;
        result.refusal =
            std::string(trimBlanks(check.refusal ? *check.refusal : run.result.refusal->text));
        nlohmann::ordered_json object;
        if (jsonl) {
            object = resultObject(check, check.refusal ? nullptr : &run.result);
            addSampleSummaries(object, check, nullptr);
        } else {
            result.line = refusalLine(test.id, referenceId, result.refusal, check.options);
        }
        finishLine(result, std::move(object), forAdjustment);
        return result;
    }

    result.pValue = run.result.pValue();
    result.lookupFailed = run.result.lookupFailed();
    result.rejectNull = run.result.completed() && !run.result.acceptNull();
    const SampleSummary testSummary = sampleSummary(run.result, true);
    const SampleSummary referenceSummary = sampleSummary(run.result, false);
    nlohmann::ordered_json object;
    if (jsonl) {
        object = resultObject(check, &run.result);
        for (const auto& [code, text] : surveyWarnings) {
            object["warnings"].push_back({{"code", code}, {"text", text}});
        }
        addSampleSummaries(object, check, &run.result);
    } else {
        constexpr std::size_t kTypicalLineBytes = 640;  // grown in one step rather than several
        result.line.reserve(kTypicalLineBytes);
        appendSummaryLine(result.line, run, warnings.empty() ? std::string_view("ok") : warnings);
        appendTypedColumns(result.line, {run.options, &run.result, &testSummary, &referenceSummary,
                                         result.pValue});
    }
    finishLine(result, std::move(object), forAdjustment);
    if (keepRecord) {
        for (std::size_t k = 0; k < run.testEntries.size(); ++k) {
            // The texts as they stand in the survey, also where the check took numbers.
            run.testEntries[k] = k < test.values.size() ? test.values[k] : std::string();
            run.referenceEntries[k] = reference_ != nullptr && k < reference_->values.size()
                                          ? reference_->values[k]
                                          : std::string();
        }
        result.record = std::make_unique<RunRecord>(std::move(run));
    }
    return result;
}

SurveyRun::SurveyRun(const Survey& survey, const std::shared_ptr<const StatTables>& tables,
                     const SurveyJob& job, std::vector<std::string>& errors,
                     std::vector<std::string>& notices)
    : survey_(survey), job_(job) {
    const auto groupName = [&](const std::vector<std::string>& group) {
        std::string name;
        for (std::size_t i = 0; i < group.size(); ++i) {
            name += (i == 0 ? "" : ", ") + survey.groupColumns[i] + " \"" + group[i] + '"';
        }
        return name;
    };
    if (job.plan != nullptr) {
        for (const SurveyPlan::Row& row : job.plan->rows) {
            const auto& groups = survey.groups();
            if (std::find(groups.begin(), groups.end(), row.group) == groups.end()) {
                std::string name;
                for (std::size_t i = 0; i < row.group.size(); ++i) {
                    name += (i == 0 ? "" : ", ") + job.plan->groupColumns[i] + " \"" +
                            row.group[i] + '"';
                }
                errors.push_back("the plan's line " + std::to_string(row.line) + " is for " + name +
                                 ", which the survey does not hold");
            }
        }
    }
    std::vector<std::vector<std::uint32_t>> byGroup(survey.groups().size());
    for (std::size_t i = 0; i < survey.size(); ++i) {
        byGroup[survey.groupIndexOf(i)].push_back(static_cast<std::uint32_t>(i));
    }
    comparisons_.reserve(survey.size());
    for (std::size_t g = 0; g < survey.groups().size(); ++g) {
        const std::vector<std::string>& group = survey.groups()[g];
        ComparisonSettings settings = job.settings;
        if (job.plan != nullptr) {
            if (const SurveyPlan::Row* row = job.plan->find(group)) {
                settings = row->settings.over(settings);
            }
        }
        settings.reference = std::string(trimBlanks(settings.reference));
        if (settings.reference.empty()) {
            errors.push_back("no reference sample for " +
                             (group.empty() ? std::string("the survey") : groupName(group)) +
                             " (give --reference, or a reference in the plan)");
        }
        const std::optional<std::size_t> referenceAt = survey.find(settings.reference, g);
        if (referenceAt) {
            references_.push_back(std::make_unique<SurveySample>(survey.sample(*referenceAt)));
        } else if (!settings.reference.empty()) {
            referenceMissing_ = true;
            notices.push_back(
                "the reference sample \"" + settings.reference + "\" is not in " +
                (group.empty() ? std::string("the survey") : "the survey for " + groupName(group)));
        }
        runners_.push_back(std::make_unique<ComparisonRunner>(
            tables, settings, referenceAt ? references_.back().get() : nullptr, job.format,
            job.lenient, survey.groupColumns, group));
        for (const std::uint32_t i : byGroup[g]) {
            if (!referenceAt || i != *referenceAt) {
                comparisons_.push_back({i, static_cast<std::uint32_t>(g)});
            }
        }
    }
    if (survey.groups().empty() && !job.settings.reference.empty()) {
        referenceMissing_ = true;
        notices.push_back("the reference sample \"" +
                          std::string(trimBlanks(job.settings.reference)) +
                          "\" is not in the survey");
    }
}

const ComparisonSettings& SurveyRun::settingsOf(std::size_t group) const {
    return runners_.at(group)->settings();
}

void SurveyRun::run(int jobs, bool keepRecords, const std::function<void(ComparisonResult&)>& sink,
                    const std::atomic<bool>* cancel) const {
    if (job_.pAdjust == PAdjust::None) {
        runInOrder(comparisons_, jobs, keepRecords, sink, cancel);
        return;
    }
    // The adjusted p-values need every p-value of a family: its results wait for the last.
    const auto adjustAndHand = [&](std::vector<ComparisonResult>& family) {
        std::vector<double> p;
        p.reserve(family.size());
        for (const ComparisonResult& r : family) {
            p.push_back(r.pValue);
        }
        const std::vector<double> adjusted = adjustPValues(p, job_.pAdjust);
        for (std::size_t i = 0; i < family.size(); ++i) {
            completeAdjusted(family[i], adjusted[i], job_.format);
            sink(family[i]);
        }
        family.clear();
    };
    std::vector<ComparisonResult> family;
    const auto collect = [&family](ComparisonResult& r) { family.push_back(std::move(r)); };
    if (job_.adjustFamily == AdjustFamily::All) {
        runInOrder(comparisons_, jobs, keepRecords, collect, cancel);
        if (cancel == nullptr || !cancel->load()) {
            adjustAndHand(family);
        }
        return;
    }
    // The comparisons come group by group: each group is one family.
    std::size_t start = 0;
    while (start < comparisons_.size()) {
        std::size_t end = start;
        while (end < comparisons_.size() && comparisons_[end].group == comparisons_[start].group) {
            ++end;
        }
        const std::vector<Queued> queue(comparisons_.begin() + static_cast<std::ptrdiff_t>(start),
                                        comparisons_.begin() + static_cast<std::ptrdiff_t>(end));
        runInOrder(queue, jobs, keepRecords, collect, cancel);
        if (cancel != nullptr && cancel->load()) {
            return;
        }
        adjustAndHand(family);
        start = end;
    }
}

// Runs the comparisons on `jobs` threads while this thread hands the finished ones on in
// order. At most kLookAhead comparisons (kLookAheadWithRecords when the runs are kept for the
// logs) are held finished but not handed on.
void SurveyRun::runInOrder(const std::vector<Queued>& queue, int jobs, bool keepRecords,
                           const std::function<void(ComparisonResult&)>& sink,
                           const std::atomic<bool>* cancel) const {
    const bool forAdjustment = job_.pAdjust != PAdjust::None;
    const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(); };
    const auto runAt = [&](std::size_t i, SurveySample& test) {
        survey_.sampleInto(queue[i].test, test);
        ComparisonResult result = runners_[queue[i].group]->run(test, keepRecords, forAdjustment);
        result.group = queue[i].group;
        return result;
    };
    const std::size_t n = queue.size();
    if (jobs <= 1 || n <= 1) {
        SurveySample test;
        for (std::size_t i = 0; i < n && !cancelled(); ++i) {
            ComparisonResult result = runAt(i, test);
            sink(result);
        }
        return;
    }
    struct Pending {
        ComparisonResult result;
        bool ready = false;
    };
    std::vector<Pending> ring(std::min(n, keepRecords ? kLookAheadWithRecords : kLookAhead));
    std::mutex mutex;
    std::condition_variable readyCv;
    std::condition_variable spaceCv;
    std::size_t next = 0;     // the next comparison to start
    std::size_t written = 0;  // comparisons handed on so far
    bool stop = false;

    // Each worker claims a run of consecutive comparisons at a time, so that the threads meet
    // at the lock once per run rather than once per comparison.
    constexpr std::size_t kClaim = 16;
    auto worker = [&]() {
        std::vector<ComparisonResult> done;
        SurveySample test;
        while (true) {
            std::size_t first = 0;
            std::size_t last = 0;
            {
                std::unique_lock lock(mutex);
                spaceCv.wait(lock,
                             [&] { return stop || next >= n || next < written + ring.size(); });
                if (stop || next >= n) {
                    return;
                }
                first = next;
                last = std::min({n, written + ring.size(), next + kClaim});
                next = last;
            }
            done.clear();
            for (std::size_t i = first; i < last; ++i) {
                done.push_back(runAt(i, test));
            }
            {
                std::lock_guard lock(mutex);
                for (std::size_t i = first; i < last; ++i) {
                    Pending& slot = ring[i % ring.size()];
                    slot.result = std::move(done[i - first]);
                    slot.ready = true;
                }
            }
            readyCv.notify_one();
        }
    };

    std::vector<std::jthread> threads;
    threads.reserve(static_cast<std::size_t>(jobs));
    for (int t = 0; t < jobs; ++t) {
        threads.emplace_back(worker);
    }
    std::vector<ComparisonResult> batch;
    while (written < n && !cancelled()) {
        batch.clear();
        {
            std::unique_lock lock(mutex);
            readyCv.wait(lock, [&] { return ring[written % ring.size()].ready; });
            // Take every finished comparison that is next in line.
            std::size_t i = written;
            while (i < n && ring[i % ring.size()].ready) {
                Pending& slot = ring[i % ring.size()];
                batch.push_back(std::move(slot.result));
                slot.ready = false;
                ++i;
            }
        }
        for (ComparisonResult& result : batch) {
            sink(result);
        }
        {
            std::lock_guard lock(mutex);
            written += batch.size();
        }
        spaceCv.notify_all();
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    spaceCv.notify_all();
}

std::string comparisonName(const Survey& survey, const ComparisonResult& result) {
    std::string name = result.sampleId;
    if (result.group < survey.groups().size()) {
        for (const std::string& value : survey.groups()[result.group]) {
            name += '/';
            name += value;
        }
    }
    return name;
}

}  // namespace bx
