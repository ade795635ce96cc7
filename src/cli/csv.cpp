#include "cli/csv.h"

#include <algorithm>

namespace bx::cli {
namespace {

// Reads one record from `pos`, leaving `pos` after its line end. Returns false with `reason`
// set when the record is malformed; `pos` then stands after the line on which the fault lies
// (or at the end of the text for a quote left open).
class RecordReader {
  public:
    explicit RecordReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    int line() const { return line_; }
    void skip(std::size_t n) { pos_ += n; }

    // True when the rest of the current line is empty (an empty line is no record).
    bool atEmptyLine() const { return isLineEnd(pos_); }
    void skipLineEnd() {
        pos_ = std::min(text_.size(), pos_ + (text_[pos_] == '\r' ? 2 : 1));
        ++line_;
    }

    bool read(std::vector<std::string>& fields, std::string& reason) {
        fields.clear();
        std::string field;
        while (true) {
            field.clear();
            bool ok = true;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                ok = readQuoted(field, reason);
            } else {
                ok = readPlain(field, reason);
            }
            if (!ok) {
                return false;
            }
            fields.push_back(field);
            if (pos_ >= text_.size()) {
                return true;
            }
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            // A line end: LF, or CR LF.
            skipLineEnd();
            return true;
        }
    }

  private:
    // LF, CR LF, or a CR that ends the text.
    bool isLineEnd(std::size_t at) const {
        return text_[at] == '\n' ||
               (text_[at] == '\r' && (at + 1 == text_.size() || text_[at + 1] == '\n'));
    }

    bool readPlain(std::string& field, std::string& reason) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(pos_)) {
            if (text_[pos_] == '"') {
                reason = "a double quote inside a field that does not start with one";
                skipRestOfLine();
                return false;
            }
            ++pos_;
        }
        field.assign(text_.substr(start, pos_ - start));
        return true;
    }

    bool readQuoted(std::string& field, std::string& reason) {
        ++pos_;  // the opening quote
        while (true) {
            if (pos_ >= text_.size()) {
                reason = "a double quote that is never closed";
                return false;
            }
            const char c = text_[pos_];
            if (c == '"') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                    field += '"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;  // the closing quote
                if (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(pos_)) {
                    reason = "text after the closing double quote of a field";
                    skipRestOfLine();
                    return false;
                }
                return true;
            }
            if (c == '\n') {
                ++line_;
            }
            field += c;
            ++pos_;
        }
    }

    void skipRestOfLine() {
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            ++pos_;
        }
        if (pos_ < text_.size()) {
            ++pos_;
            ++line_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

bool needsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

CsvDocument parseCsv(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    CsvDocument doc;
    RecordReader reader(text);
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        reader.skip(kByteOrderMark.size());
    }
    std::vector<std::string> fields;
    std::string reason;
    while (!reader.atEnd()) {
        if (reader.atEmptyLine()) {
            reader.skipLineEnd();
            continue;
        }
        const int line = reader.line();
        if (reader.read(fields, reason)) {
            doc.records.push_back({fields, line});
        } else {
            doc.errors.push_back({line, reason});
        }
    }
    return doc;
}

void appendCsvField(std::string& out, std::string_view field) {
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

void appendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendCsvField(out, fields[i]);
    }
    out += '\n';
}

}  // namespace bx::cli
