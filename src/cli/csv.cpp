#include "cli/csv.h"

#include <algorithm>

namespace bx::cli {
namespace {

// Reads one record from `pos`, leaving `pos` after its line end. Returns false with `reason`
// set when the record is malformed; `pos` then stands after the line on which the fault lies
// (or at the end of the text for a quote left open).
class RecordReader {
  public:
    RecordReader(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}

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
            if (text_[pos_] == delimiter_) {
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
        while (pos_ < text_.size() && text_[pos_] != delimiter_ && !isLineEnd(pos_)) {
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
                if (pos_ < text_.size() && text_[pos_] != delimiter_ && !isLineEnd(pos_)) {
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
    char delimiter_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

bool needsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

char detectDelimiter(std::string_view text) {
    // The first line that is not empty, outside double quotes.
    std::size_t counts[3] = {0, 0, 0};
    constexpr char kCandidates[3] = {',', ';', '\t'};
    bool quoted = false;
    bool seen = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (seen) {
                break;
            }
        } else if (!quoted) {
            seen = true;
            for (int k = 0; k < 3; ++k) {
                counts[k] += c == kCandidates[k] ? 1 : 0;
            }
        }
    }
    int best = 0;
    for (int k = 1; k < 3; ++k) {
        if (counts[k] > counts[best]) {
            best = k;
        }
    }
    return kCandidates[best];
}

CsvDocument parseCsv(std::string_view text, char delimiter) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    CsvDocument doc;
    RecordReader reader(text, delimiter);
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

namespace {

// True when `text`, read from the start of a record, ends inside a quoted field, so that the
// record goes on with the next line. A malformed field ends the record at its line.
bool endsInsideQuotes(std::string_view text, char delimiter) {
    bool quoted = false;
    bool fieldStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    ++i;
                } else {
                    quoted = false;
                }
            }
            continue;
        }
        if (c == delimiter || c == '\n') {
            fieldStart = true;
        } else if (c == '"') {
            if (!fieldStart) {
                return false;
            }
            quoted = true;
            fieldStart = false;
        } else {
            fieldStart = false;
        }
    }
    return quoted;
}

bool isEmptyLine(std::string_view line) {
    return line.empty() || line == "\n" || line == "\r\n" || line == "\r";
}

}  // namespace

CsvStream::CsvStream(std::istream& in, std::optional<char> delimiter)
    : in_(in), delimiter_(delimiter) {}

bool CsvStream::failed() const {
    return in_.bad() || tooLong_;
}

bool CsvStream::readLine(std::string& text) {
    const std::size_t start = text.size();
    std::streambuf* buffer = in_.rdbuf();
    while (true) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(std::ios::eofbit);
            return text.size() > start;
        }
        text += static_cast<char>(c);
        if (c == '\n') {
            return true;
        }
        if (text.size() - start > kMaxLineBytes) {
            tooLong_ = true;
            return false;
        }
    }
}

bool CsvStream::next(CsvRecord& record, CsvError& error) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    error = {};
    std::string text;
    while (true) {
        text.clear();
        if (!readLine(text)) {
            if (tooLong_) {
                error = {line_, "a line longer than " + std::to_string(kMaxLineBytes / (1 << 20)) +
                                    " MiB; reading stopped"};
            }
            return false;
        }
        if (!started_) {
            started_ = true;
            if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
                text.erase(0, kByteOrderMark.size());
            }
        }
        if (!isEmptyLine(text)) {
            break;
        }
        ++line_;
    }
    if (!delimiter_) {
        delimiter_ = detectDelimiter(text);
    }
    while (endsInsideQuotes(text, *delimiter_)) {
        if (!readLine(text)) {
            if (tooLong_) {
                error = {line_, "a line longer than " + std::to_string(kMaxLineBytes / (1 << 20)) +
                                    " MiB; reading stopped"};
                return false;
            }
            break;  // the quote is never closed: the reader says so
        }
    }
    RecordReader reader(text, *delimiter_);
    record.line = line_;
    std::string reason;
    if (!reader.read(record.fields, reason)) {
        error = {line_, reason};
    }
    line_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return true;
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
