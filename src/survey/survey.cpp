// SPDX-License-Identifier: MIT
#include "survey/survey.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>

#include "base/text_format.h"

namespace bx {
namespace {

int columnOf(const std::vector<std::string>& header, std::string_view name) {
    const std::string wanted = lowerTrimmed(name);
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (lowerTrimmed(header[i]) == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// "88,5" becomes "88.5"; a text with more than one comma, or with a point, is left as it is.
void toDecimalPoint(std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos ||
        text.find('.') != std::string::npos) {
        return;
    }
    text[comma] = '.';
}

// trimBlanks() without the call for the many fields that have no blanks around them.
std::string_view trimmed(std::string_view text) {
    if (!text.empty() && text.front() != ' ' && text.back() != ' ') {
        return text;
    }
    return trimBlanks(text);
}

bool holdsNul(std::string_view text) {
    return !text.empty() && std::memchr(text.data(), '\0', text.size()) != nullptr;
}

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

bool equalIgnoringCase(std::string_view text, std::string_view lower) {
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

}  // namespace

bool isMissingValue(std::string_view text) {
    // Most values start with a digit or a sign: neither a blank nor the N of NA and NaN.
    if (!text.empty() && text.front() != ' ' && (text.front() | 0x20) != 'n') {
        return false;
    }
    const std::string_view t = trimBlanks(text);
    return t.empty() || equalIgnoringCase(t, "na") || equalIgnoringCase(t, "nan");
}

std::string_view Survey::rowText(std::uint32_t row) const {
    const std::size_t end = row + 1 < rows_.size() ? rows_[row + 1].offset : values_.size();
    return std::string_view(values_).substr(rows_[row].offset, end - rows_[row].offset);
}

SurveySample Survey::sample(std::size_t i) const {
    SurveySample s;
    sampleInto(i, s);
    return s;
}

void Survey::sampleInto(std::size_t i, SurveySample& s) const {
    const Entry& e = entries_[i];
    s.id = idOf(e);
    s.group = groups_[e.group];
    std::size_t count = 0;
    for (std::uint32_t row = e.firstRow; row != kNone; row = rows_[row].next) {
        if (count < s.values.size()) {
            s.values[count] = rowText(row);
            s.valueLines[count] = rows_[row].line;
        } else {
            s.values.emplace_back(rowText(row));
            s.valueLines.push_back(rows_[row].line);
        }
        ++count;
    }
    s.values.resize(count);
    s.valueLines.resize(count);
    s.firstLine = e.firstLine;
    s.missing = static_cast<int>(e.missing);
    if (e.differing != kNone) {
        s.differingColumn = differing_[e.differing];
    } else {
        s.differingColumn.clear();
    }
}

std::uint32_t Survey::hashOf(std::string_view id, std::size_t group) {
    const std::uint64_t h = std::hash<std::string_view>{}(id) ^ (group * 0x9E3779B97F4A7C15ULL);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::optional<std::size_t> Survey::find(std::string_view id, std::size_t group) const {
    return find(id, group, hashOf(id, group));
}

std::optional<std::size_t> Survey::find(std::string_view id, std::size_t group,
                                        std::uint32_t hash) const {
    if (slots_.empty()) {
        return std::nullopt;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot slot = slots_[at];
        if (slot.entry == kNone) {
            return std::nullopt;
        }
        if (slot.hash == hash && entries_[slot.entry].group == group &&
            idOf(entries_[slot.entry]) == id) {
            return slot.entry;
        }
    }
}

void Survey::resizeIndex(std::size_t count) {
    std::size_t size = 64;
    while (size < count * 2) {
        size *= 2;
    }
    if (size <= slots_.size()) {
        return;
    }
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(size, Slot{});
    const std::size_t mask = size - 1;
    for (const Slot& slot : old) {
        if (slot.entry != kNone) {
            std::size_t at = slot.hash & mask;
            while (slots_[at].entry != kNone) {
                at = (at + 1) & mask;
            }
            slots_[at] = slot;
        }
    }
}

std::pair<std::uint32_t, bool> Survey::findOrAdd(std::string_view id, std::uint32_t group) {
    const std::uint32_t hash = hashOf(id, group);
    if (const std::optional<std::size_t> found = find(id, group, hash)) {
        return {static_cast<std::uint32_t>(*found), false};
    }
    // Kept at most half full.
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        resizeIndex(std::max<std::size_t>(32, slots_.size()));
    }
    Entry e;
    e.idOffset = static_cast<std::uint32_t>(ids_.size());
    e.idLength = static_cast<std::uint32_t>(id.size());
    e.group = group;
    ids_ += id;
    const auto index = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(e);
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].entry != kNone) {
        at = (at + 1) & mask;
    }
    slots_[at] = {index, hash};
    return {index, true};
}

inline void Survey::addValue(std::uint32_t sample, std::string_view text, int line) {
    const auto row = static_cast<std::uint32_t>(rows_.size());
    rows_.push_back({static_cast<std::uint32_t>(values_.size()), kNone, line});
    values_ += text;
    Entry& e = entries_[sample];
    if (e.lastRow == kNone) {
        e.firstRow = row;
    } else {
        rows_[e.lastRow].next = row;
    }
    e.lastRow = row;
}

void Survey::reserveFor(std::uintmax_t bytes) {
    // A row takes some 8 bytes or more ("A,12.5\n"), its value text half of them or less, and
    // a sample a few rows. Beyond the cap (some 200 MB reserved, of which only the index's
    // 32 MB is written before any row is read, should the file hold no survey at all) the
    // storage grows as the rows come.
    constexpr std::uintmax_t kCap = std::uintmax_t{1} << 26;
    const auto b = static_cast<std::size_t>(std::min(bytes, kCap));
    rows_.reserve(b / 8);
    values_.reserve(b / 2);
    entries_.reserve(b / 32);
    ids_.reserve(b / 8);
    resizeIndex(b / 32);
}

inline std::size_t Survey::heldBytes() const {
    std::size_t bytes = entries_.capacity() * sizeof(Entry) + rows_.capacity() * sizeof(Row) +
                        values_.capacity() + ids_.capacity() + slots_.capacity() * sizeof(Slot) +
                        shared_.capacity() * sizeof(Shared) +
                        differing_.capacity() * sizeof(std::string);
    return bytes + extraBytes_;
}

void Survey::addError(CsvError error) {
    ++errorCount;
    if (errors.size() < kErrorsKept) {
        errors.push_back(std::move(error));
    }
}

namespace {

// A stream over text held elsewhere, read without a copy.
class TextBuffer : public std::streambuf {
  public:
    explicit TextBuffer(std::string_view text) {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

}  // namespace

Survey readSurvey(std::string_view text, const SurveyFormat& format) {
    TextBuffer buffer(text);
    std::istream in(&buffer);
    return readSurvey(in, format, text.size());
}

Survey readSurvey(const WorkbookSheet& sheet, const SurveyFormat& format) {
    TextBuffer buffer(sheet.csv);
    std::istream in(&buffer);
    SurveyFormat commas = format;
    commas.delimiter = ',';
    return Survey::read(in, commas, sheet.csv.size(), &sheet);
}

Survey readSurvey(std::istream& in, const SurveyFormat& format, std::uintmax_t expectedBytes) {
    return Survey::read(in, format, expectedBytes, nullptr);
}

Survey Survey::read(std::istream& in, const SurveyFormat& format, std::uintmax_t expectedBytes,
                    const WorkbookSheet* sheet) {
    Survey survey;
    survey.reserveFor(expectedBytes);
    CsvStream stream(in, format.delimiter);
    CsvError error;
    // The next record; on a sheet, its lines are the sheet's rows.
    const auto next = [&](auto& record) {
        const bool more = stream.next(record, error);
        if (sheet != nullptr) {
            record.line = sheet->rowOf(record.line);
            error.line = sheet->rowOf(error.line);
        }
        return more;
    };
    const auto noteEncoding = [&] {
        if (!stream.encodingNote().empty()) {
            survey.notes.push_back(stream.encodingNote());
        }
    };
    CsvRecord header;
    bool haveHeader = false;
    while (next(header)) {
        if (error.reason.empty()) {
            haveHeader = true;
            break;
        }
        survey.addError(error);
    }
    if (!haveHeader) {
        if (!error.reason.empty()) {
            survey.addError(error);
        }
        survey.errors.insert(survey.errors.begin(), {1, "there is no header line"});
        ++survey.errorCount;
        noteEncoding();
        return survey;
    }
    // Two columns of one name: which of them holds the values could only be guessed.
    std::map<std::string, std::size_t> columnNames;
    for (std::size_t j = 0; j < header.fields.size(); ++j) {
        std::string name = lowerTrimmed(header.fields[j]);
        if (name.empty()) {
            continue;
        }
        const auto [at, added] = columnNames.try_emplace(std::move(name), j);
        if (!added) {
            survey.errors.insert(
                survey.errors.begin(),
                {header.line, "the header line names the column " +
                                  quotedText(trimBlanks(header.fields[j])) + " twice (columns " +
                                  std::to_string(at->second + 1) + " and " + std::to_string(j + 1) +
                                  "); rename one of them"});
            ++survey.errorCount;
            noteEncoding();
            return survey;
        }
    }
    const bool decimalComma = format.decimalComma || stream.delimiter() != ',';
    const auto missingColumn = [&](const std::string& name) {
        survey.errors.insert(survey.errors.begin(),
                             {header.line, "the header line has no column \"" + name + "\""});
        ++survey.errorCount;
    };
    int sampleCol = columnOf(header.fields, format.sampleColumn);
    if (sampleCol < 0 && lowerTrimmed(format.sampleColumn) == "sample") {
        sampleCol = columnOf(header.fields, "station");
    }
    if (sampleCol < 0) {
        missingColumn(format.sampleColumn);
        noteEncoding();
        return survey;
    }
    // Where each record's values are: one value column, or in the wide layout one column per
    // endpoint, each with the endpoint's name as its last group value.
    std::vector<std::size_t> valueCols;
    std::vector<std::string> endpointNames;
    if (format.endpointColumns.empty()) {
        const int valueCol = columnOf(header.fields, format.valueColumn);
        if (valueCol < 0) {
            missingColumn(format.valueColumn);
            noteEncoding();
            return survey;
        }
        valueCols.push_back(static_cast<std::size_t>(valueCol));
    } else {
        for (const std::string& name : format.endpointColumns) {
            const int col = columnOf(header.fields, name);
            if (col < 0) {
                missingColumn(name);
                noteEncoding();
                return survey;
            }
            valueCols.push_back(static_cast<std::size_t>(col));
            endpointNames.emplace_back(trimBlanks(header.fields[static_cast<std::size_t>(col)]));
        }
    }
    std::vector<std::size_t> groupCols;
    for (const std::string& name : format.groupColumns) {
        const int col = columnOf(header.fields, name);
        if (col < 0) {
            missingColumn(name);
            noteEncoding();
            return survey;
        }
        groupCols.push_back(static_cast<std::size_t>(col));
        survey.groupColumns.emplace_back(trimBlanks(header.fields[static_cast<std::size_t>(col)]));
    }
    const bool wide = !endpointNames.empty();
    if (wide) {
        survey.groupColumns.push_back(format.endpointColumn);
    }
    // The replicate number and the row numbers that R's write.csv() and pandas' to_csv() put
    // in an unnamed first column differ between the rows of a sample by nature.
    int replicateCol = -1;
    if (!format.replicateColumn.empty()) {
        replicateCol = columnOf(header.fields, format.replicateColumn);
        if (replicateCol < 0) {
            missingColumn(format.replicateColumn);
            noteEncoding();
            return survey;
        }
    } else {
        replicateCol = columnOf(header.fields, "rep");
        if (replicateCol < 0) {
            replicateCol = columnOf(header.fields, "replicate");
        }
    }
    // The columns whose values the rows of one sample should share.
    std::vector<std::size_t> sharedCols;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const bool named = static_cast<int>(i) == sampleCol ||
                           static_cast<int>(i) == replicateCol ||
                           std::find(valueCols.begin(), valueCols.end(), i) != valueCols.end() ||
                           std::find(groupCols.begin(), groupCols.end(), i) != groupCols.end();
        const bool rowNumbers = i == 0 && trimBlanks(header.fields[i]).empty();
        const bool ignored =
            std::any_of(format.ignoredColumns.begin(), format.ignoredColumns.end(),
                        [&](const std::string& name) {
                            return lowerTrimmed(name) == lowerTrimmed(header.fields[i]);
                        });
        if (!named && !ignored && !rowNumbers) {
            sharedCols.push_back(i);
        }
    }
    std::size_t needed = static_cast<std::size_t>(sampleCol) + 1;
    for (const std::size_t col : valueCols) {
        needed = std::max(needed, col + 1);
    }
    for (const std::size_t col : groupCols) {
        needed = std::max(needed, col + 1);
    }
    const std::size_t headerFields = header.fields.size();
    // Why a record of a sheet is refused for one of its cells: any problem in the value column;
    // in the sample and group columns, a cell whose text stands for nothing.
    const auto cellRefused = [&](const CsvRecordView& r) -> std::optional<std::string> {
        if (sheet == nullptr) {
            return std::nullopt;
        }
        const auto first =
            std::lower_bound(sheet->problems.begin(), sheet->problems.end(), r.line,
                             [](const CellProblem& p, int row) { return p.row < row; });
        for (auto p = first; p != sheet->problems.end() && p->row == r.line; ++p) {
            const auto col = static_cast<std::size_t>(p->column);
            const bool read =
                std::find(valueCols.begin(), valueCols.end(), col) != valueCols.end() ||
                (p->unreadable() &&
                 (p->column == sampleCol ||
                  std::find(groupCols.begin(), groupCols.end(), col) != groupCols.end()));
            if (read && col < r.fields.size()) {
                return p->reason(r.fields[col]);
            }
        }
        return std::nullopt;
    };

    std::map<std::vector<std::string>, std::uint32_t> groupIndex;
    if (groupCols.empty() && !wide) {
        survey.groups_.emplace_back();
        groupIndex.emplace(std::vector<std::string>{}, 0);
    }
    CsvRecordView rec;
    std::string decimal;  // a value with its decimal comma made a point
    std::vector<std::string> group;
    std::vector<std::uint32_t> added;  // shared columns a later row of a sample fills
    // Consecutive rows mostly belong to one sample: the last one found is tried first.
    std::optional<std::uint32_t> last;
    // The store reaches its ids, values and rows through 32-bit offsets; one more record (at
    // most a line's bytes) must still fit below them.
    constexpr std::size_t kStoreLimit = Survey::kNone - 2 * CsvStream::kMaxLineBytes;
    // Roughly what a phrase on differing rows takes.
    constexpr std::size_t kDifferingBytes = 64;
    bool tooManyRows = false;
    while (next(rec)) {
        if (!error.reason.empty()) {
            survey.addError(error);
            continue;
        }
        if (survey.ids_.size() > kStoreLimit || survey.values_.size() > kStoreLimit ||
            survey.rows_.size() > kStoreLimit || survey.entries_.size() > kStoreLimit) {
            survey.addError({rec.line,
                             "the survey holds more than 4 GiB of ids or values; "
                             "reading stopped"});
            break;
        }
        if (survey.heldBytes() > kMaxHeldBytes) {
            survey.addError(
                {rec.line, "the survey takes more than 1 GiB of memory; reading stopped"});
            break;
        }
        // A NUL is neither a separator, a quote nor a line end: a record whose text holds
        // none has none in its fields, which are then not searched one by one.
        if (const auto nul = holdsNul(rec.text)
                                 ? std::find_if(rec.fields.begin(), rec.fields.end(), holdsNul)
                                 : rec.fields.end();
            nul != rec.fields.end()) {
            const auto col = static_cast<std::size_t>(nul - rec.fields.begin());
            survey.addError(
                {rec.line, "the field in column " +
                               (col < headerFields && !trimBlanks(header.fields[col]).empty()
                                    ? "\"" + shortenedText(trimBlanks(header.fields[col])) + "\""
                                    : std::to_string(col + 1)) +
                               " holds a NUL character"});
            continue;
        }
        if (rec.fields.size() < needed) {
            survey.addError({rec.line, "the line has " + std::to_string(rec.fields.size()) +
                                           " fields, the header needs " + std::to_string(needed)});
            continue;
        }
        if (std::optional<std::string> why = cellRefused(rec)) {
            survey.addError({rec.line, std::move(*why)});
            continue;
        }
        // A field beyond the header's is most often a decimal comma in a comma-separated
        // file ("10,9"): cutting it off would change the value without a word.
        if (rec.fields.size() > headerFields &&
            std::any_of(rec.fields.begin() + static_cast<std::ptrdiff_t>(headerFields),
                        rec.fields.end(),
                        [](std::string_view f) { return !trimBlanks(f).empty(); })) {
            survey.addError({rec.line, "the line has " + std::to_string(rec.fields.size()) +
                                           " fields, the header " + std::to_string(headerFields) +
                                           " (a decimal comma in a comma-separated file? quote "
                                           "the value or use --delimiter semicolon)"});
            continue;
        }
        const std::string_view id = trimmed(rec.fields[static_cast<std::size_t>(sampleCol)]);
        if (id.empty()) {
            survey.addError({rec.line, "the line has no sample id"});
            continue;
        }
        if (!groupCols.empty() || wide) {
            group.clear();
            for (const std::size_t col : groupCols) {
                group.emplace_back(trimBlanks(rec.fields[col]));
            }
        }
        for (std::size_t v = 0; v < valueCols.size(); ++v) {
            std::uint32_t groupAt = 0;  // the only group without group columns
            if (!groupCols.empty() || wide) {
                if (wide) {
                    group.resize(groupCols.size());
                    group.push_back(endpointNames[v]);
                }
                const auto [found, newGroup] = groupIndex.try_emplace(
                    group, static_cast<std::uint32_t>(survey.groups_.size()));
                if (newGroup) {
                    survey.groups_.push_back(group);
                }
                groupAt = found->second;
            }
            const bool same = last && survey.entries_[*last].group == groupAt &&
                              sameText(survey.idOf(survey.entries_[*last]), id);
            const auto [index, inserted] =
                same ? std::pair(*last, false) : survey.findOrAdd(id, groupAt);
            last = index;
            Survey::Entry& entry = survey.entries_[index];
            const auto sharedField = [&](std::size_t k) {
                return sharedCols[k] < rec.fields.size() ? trimBlanks(rec.fields[sharedCols[k]])
                                                         : std::string_view();
            };
            if (inserted) {
                entry.firstLine = rec.line;
                if (!sharedCols.empty()) {
                    Survey::Shared shared;
                    for (std::size_t k = 0; k < sharedCols.size(); ++k) {
                        shared.add(static_cast<std::uint32_t>(k), rec.line, sharedField(k));
                    }
                    entry.shared = static_cast<std::uint32_t>(survey.shared_.size());
                    survey.extraBytes_ +=
                        shared.texts.size() + shared.values.size() * sizeof(Shared::Value);
                    survey.shared_.push_back(std::move(shared));
                }
            } else if (entry.differing == Survey::kNone && entry.shared != Survey::kNone) {
                // An empty cell (a note on some rows only) differs from nothing; the first row
                // with a value in a column gives the value the others are compared with.
                Survey::Shared& first = survey.shared_[entry.shared];
                added.clear();
                std::size_t at = 0;  // the first of first.values for column k or later
                for (std::size_t k = 0; k < sharedCols.size(); ++k) {
                    const std::string_view mine = sharedField(k);
                    if (at == first.values.size() || first.values[at].column != k) {
                        if (!mine.empty()) {
                            added.push_back(static_cast<std::uint32_t>(k));
                        }
                        continue;
                    }
                    const Survey::Shared::Value& held = first.values[at++];
                    if (!mine.empty() && mine != first.text(held)) {
                        entry.differing = static_cast<std::uint32_t>(survey.differing_.size());
                        survey.extraBytes_ += kDifferingBytes;
                        survey.differing_.push_back(
                            "rows " + std::to_string(held.line) + " and " +
                            std::to_string(rec.line) + " differ in column \"" +
                            std::string(trimBlanks(header.fields[sharedCols[k]])) + "\"");
                        break;
                    }
                }
                if (entry.differing == Survey::kNone && !added.empty()) {
                    const auto held = static_cast<std::ptrdiff_t>(first.values.size());
                    for (const std::uint32_t k : added) {
                        first.add(k, rec.line, sharedField(k));
                        survey.extraBytes_ += sharedField(k).size() + sizeof(Shared::Value);
                    }
                    std::inplace_merge(
                        first.values.begin(), first.values.begin() + held, first.values.end(),
                        [](const auto& a, const auto& b) { return a.column < b.column; });
                }
            }
            if (++entry.rowCount > Survey::kMaxSampleRows) {
                survey.addError({rec.line, "sample " + quotedText(id) + " has more than " +
                                               std::to_string(Survey::kMaxSampleRows) +
                                               " rows; reading stopped"});
                tooManyRows = true;
                break;
            }
            std::string_view value = rec.fields[valueCols[v]];
            if (isMissingValue(value)) {
                ++entry.missing;
                continue;
            }
            if (decimalComma) {
                decimal.assign(value);
                toDecimalPoint(decimal);
                value = decimal;
            }
            survey.addValue(index, value, rec.line);
        }
        if (tooManyRows) {
            break;
        }
    }
    if (!error.reason.empty()) {
        survey.addError(error);
    }
    noteEncoding();
    std::stable_sort(survey.errors.begin(), survey.errors.end(),
                     [](const CsvError& a, const CsvError& b) { return a.line < b.line; });
    return survey;
}

}  // namespace bx
