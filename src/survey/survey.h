// SPDX-License-Identifier: MIT
#pragma once
// A survey read from delimited text: the replicates of every sample, grouped by the sample
// column (and by the group columns, when there are any) in the order the samples first
// appear.

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "survey/csv.h"
#include "survey/workbook_reader.h"

namespace bx {

// How a survey's text is read.
struct SurveyFormat {
    std::optional<char> delimiter;        // found from the header line when absent
    bool decimalComma = false;            // a comma in a value is the decimal mark
    std::string sampleColumn = "sample";  // "station" when there is no such column
    std::string valueColumn = "value";
    std::vector<std::string> groupColumns;    // one batch per distinct combination
    std::vector<std::string> ignoredColumns;  // may differ between the rows of one sample
    // The wide layout: one value column per endpoint, read as the group column
    // `endpointColumn` (after the group columns) holding the value column's name.
    std::vector<std::string> endpointColumns;
    std::string endpointColumn = "endpoint";
    // The replicate number, never compared between rows; "rep" or "replicate" when empty.
    std::string replicateColumn;
};

// One sample in full.
struct SurveySample {
    std::string id;
    std::vector<std::string> group;   // the values of the group columns, in their order
    std::vector<std::string> values;  // the value texts that are not missing, in file order
    std::vector<int> valueLines;      // the line of each of them
    int firstLine = 0;                // the line of its first replicate
    int missing = 0;                  // values left out as missing (empty, NA, NaN)
    // The first column, other than the value, in which two of its rows differ, as a phrase
    // ("rows 2 and 5 differ in column \"note\""); empty when they agree.
    std::string differingColumn;
};

// The samples of a survey, held compactly (the value texts one after another, a few numbers
// per replicate and per sample), so that a survey of a million rows takes some tens of
// megabytes; sample() gives one sample in full.
class Survey {
  public:
    static constexpr std::size_t kErrorsKept = 100;
    // The bounds on what reading holds, so that an endless stream (a sample repeated without
    // end, a pipe of new ids) is refused with a message rather than filling the memory: the
    // rows of one sample (values and missing ones), and the memory of the whole survey.
    static constexpr std::uint32_t kMaxSampleRows = 10000;
    static constexpr std::size_t kMaxHeldBytes = std::size_t{1} << 30;

    std::vector<std::string> groupColumns;  // the group columns as the header names them
    // A header without the columns, malformed lines: the first kErrorsKept of them, and how
    // many there are.
    std::vector<CsvError> errors;
    std::size_t errorCount = 0;
    // What is worth saying once about how the text was read ("the survey is not UTF-8: read as
    // Windows-1252"); the survey was read all the same.
    std::vector<std::string> notes;

    void addError(CsvError error);

    // The samples, in the order they first appear.
    std::size_t size() const { return entries_.size(); }
    SurveySample sample(std::size_t i) const;
    // The same into `s`, whose storage is reused.
    void sampleInto(std::size_t i, SurveySample& s) const;
    // The index of a sample's group among groups().
    std::size_t groupIndexOf(std::size_t i) const { return entries_[i].group; }
    // The distinct values of the group columns, in the order they first appear (one empty
    // group without group columns).
    const std::vector<std::vector<std::string>>& groups() const { return groups_; }

    // The sample with this id in this group, if there is one.
    std::optional<std::size_t> find(std::string_view id, std::size_t group = 0) const;

  private:
    friend Survey readSurvey(std::istream& in, const SurveyFormat& format,
                             std::uintmax_t expectedBytes);
    friend Survey readSurvey(const WorkbookSheet& sheet, const SurveyFormat& format);
    static constexpr std::uint32_t kNone = 0xFFFFFFFFU;

    // Reads the records of `in`; those of a sheet name its rows, and its problem cells are
    // refused where they are read.
    static Survey read(std::istream& in, const SurveyFormat& format, std::uintmax_t expectedBytes,
                       const WorkbookSheet* sheet);

    struct Entry {
        std::uint32_t idOffset = 0;  // in ids_
        std::uint32_t idLength = 0;
        std::uint32_t group = 0;
        std::uint32_t firstRow = kNone;  // its replicates, linked through Row::next
        std::uint32_t lastRow = kNone;
        std::uint32_t missing = 0;
        std::int32_t firstLine = 0;
        std::uint32_t differing = kNone;  // in differing_
        std::uint32_t shared = kNone;     // in shared_
        std::uint32_t rowCount = 0;       // its rows: values and missing ones
    };
    // A replicate: its text runs from `offset` to the next replicate's offset in values_.
    struct Row {
        std::uint32_t offset = 0;
        std::uint32_t next = kNone;
        std::int32_t line = 0;
    };
    // The first values, other than empty ones, of the columns the rows of one sample should
    // share (so that a survey of many empty columns takes no room for them): by column (an
    // index among the shared columns), each with its line and its place in `texts`.
    struct Shared {
        struct Value {
            std::uint32_t column = 0;
            std::int32_t line = 0;
            std::size_t offset = 0;
            std::size_t length = 0;
        };
        std::vector<Value> values;
        std::string texts;
        std::string_view text(const Value& v) const {
            return std::string_view(texts).substr(v.offset, v.length);
        }
        // Keeps a column's value, unless it is empty.
        void add(std::uint32_t column, int line, std::string_view text) {
            if (!text.empty()) {
                values.push_back({column, line, texts.size(), text.size()});
                texts += text;
            }
        }
    };

    std::string_view idOf(const Entry& e) const { return {ids_.data() + e.idOffset, e.idLength}; }
    std::string_view rowText(std::uint32_t row) const;
    static std::uint32_t hashOf(std::string_view id, std::size_t group);
    std::optional<std::size_t> find(std::string_view id, std::size_t group,
                                    std::uint32_t hash) const;
    // Room for `count` samples in the index (kept at most half full).
    void resizeIndex(std::size_t count);
    // The sample with this id in this group, added when there is none; true when added.
    std::pair<std::uint32_t, bool> findOrAdd(std::string_view id, std::uint32_t group);
    void addValue(std::uint32_t sample, std::string_view text, int line);
    // Room for the samples of a text of about this many bytes.
    void reserveFor(std::uintmax_t bytes);
    // The memory the survey's storage takes.
    std::size_t heldBytes() const;

    std::vector<Entry> entries_;
    std::vector<Row> rows_;
    std::string values_;
    std::string ids_;
    // Open addressing over entries_: a sample and the hash of its id and group (so that most
    // other samples are passed over without reading their ids); `entry` is kNone when free.
    struct Slot {
        std::uint32_t entry = kNone;
        std::uint32_t hash = 0;
    };
    std::vector<Slot> slots_;
    std::vector<std::vector<std::string>> groups_;
    std::vector<std::string> differing_;
    std::vector<Shared> shared_;
    std::size_t extraBytes_ = 0;  // what shared_ and differing_ hold beyond their vectors
};

// True for a value text that stands for a missing value: empty or blank, NA, NaN (any case).
bool isMissingValue(std::string_view text);

// Reads the header line (the sample, value and group columns matched without regard to case
// or surrounding blanks; other columns are compared between the rows of a sample) and one
// replicate per following record. Sample ids and group values lose their surrounding blanks; a
// record without a sample id, or with fewer fields than the named columns need, is malformed.
// With a semicolon or tab separator, or `format.decimalComma`, a value with one comma and no
// point has its comma read as the decimal point.
// The stream is read record by record: only the survey's samples are held. When the stream's
// length is known (a file's size, as `expectedBytes`), room for its samples is made at once
// rather than as they come.
// The text is UTF-8 (with or without a byte order mark), UTF-16 with a byte order mark, or else
// Windows-1252, as CsvStream reads it; `notes` says when it was taken for Windows-1252.
Survey readSurvey(std::istream& in, const SurveyFormat& format = {},
                  std::uintmax_t expectedBytes = 0);
Survey readSurvey(std::string_view text, const SurveyFormat& format = {});
// A survey on a sheet of a workbook (its fields separated by commas whatever `format` says):
// lines are the sheet's rows, and a cell the sheet lists as a problem is refused, with its
// reference, in the value column, and, when its text stands for nothing, in the sample and
// group columns too.
Survey readSurvey(const WorkbookSheet& sheet, const SurveyFormat& format = {});

}  // namespace bx
