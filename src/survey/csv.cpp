// SPDX-License-Identifier: MIT
#include "survey/csv.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/code_page.h"
#include "base/text_format.h"

namespace bx {
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

    // The fields go into `fields`, whose strings are reused.
    bool read(std::vector<std::string>& fields, std::string& reason) {
        std::size_t count = 0;
        while (true) {
            if (count == fields.size()) {
                fields.emplace_back();
            }
            std::string& field = fields[count++];
            field.clear();
            bool ok = true;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                ok = readQuoted(field, reason);
            } else {
                ok = readPlain(field, reason);
            }
            if (!ok) {
                fields.resize(count - 1);
                return false;
            }
            if (pos_ >= text_.size()) {
                fields.resize(count);
                return true;
            }
            if (text_[pos_] == delimiter_) {
                ++pos_;
                continue;
            }
            // A line end: LF, or CR LF.
            skipLineEnd();
            fields.resize(count);
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
        for (; pos_ < text_.size(); ++pos_) {
            const char c = text_[pos_];
            if (c == delimiter_ || c == '\n' || (c == '\r' && isLineEnd(pos_))) {
                break;
            }
            if (c == '"') {
                reason = "a double quote inside a field that does not start with one";
                skipRestOfLine();
                return false;
            }
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
    return std::any_of(field.begin(), field.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
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

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

bool CsvStream::readBlock() {
    blockStart_ = 0;
    while (true) {
        raw_.assign(carry_);
        carry_.clear();
        const std::size_t held = raw_.size();
        raw_.resize(held + kBlockBytes);
        const std::streamsize got =
            in_.rdbuf()->sgetn(raw_.data() + held, static_cast<std::streamsize>(kBlockBytes));
        raw_.resize(held + (got > 0 ? static_cast<std::size_t>(got) : 0));
        const bool atEnd = got <= 0;
        if (encoding_ == Encoding::Unknown) {
            // A byte order mark of UTF-8 is left for next() to skip; it counts as UTF-8 read.
            if (raw_.compare(0, 2, "\xFF\xFE") == 0 || raw_.compare(0, 2, "\xFE\xFF") == 0) {
                encoding_ = raw_[0] == '\xFF' ? Encoding::Utf16Le : Encoding::Utf16Be;
                raw_.erase(0, 2);
            } else {
                encoding_ = Encoding::Utf8;
            }
        }
        decode(atEnd);
        const std::size_t lastLf = block_.rfind('\n');
        linesEnd_ = lastLf == std::string::npos ? 0 : lastLf + 1;
        if (!block_.empty()) {
            return true;
        }
        if (atEnd) {
            return false;
        }
    }
}

void CsvStream::decode(bool atEnd) {
    const auto* p = reinterpret_cast<const unsigned char*>(raw_.data());
    const std::size_t n = raw_.size();
    block_.clear();
    std::size_t i = 0;
    if (encoding_ == Encoding::Utf8) {
        bool beyondAscii = false;
        const std::size_t stop = validUtf8(raw_, beyondAscii);
        utf8Seen_ = utf8Seen_ || beyondAscii;
        const bool incomplete = stop < n && utf8Length(p + stop, n - stop) == 0 && !atEnd;
        if (stop == n || incomplete) {
            carry_.assign(raw_, stop);
            raw_.resize(stop);
            block_.swap(raw_);
            return;
        }
        // Not UTF-8: all of it is Windows-1252 when nothing before was more than ASCII.
        encoding_ = utf8Seen_ ? Encoding::Mixed : Encoding::Windows1252;
        note_ = utf8Seen_ ? "the survey is not all UTF-8: its other bytes read as Windows-1252"
                          : "the survey is not UTF-8: read as Windows-1252";
        block_.assign(raw_, 0, stop);
        i = stop;
    }
    switch (encoding_) {
        case Encoding::Windows1252:
            for (; i < n; ++i) {
                appendUtf8(block_, windows1252Character(p[i]));
            }
            break;
        case Encoding::Mixed:
            while (i < n) {
                const int length = utf8Length(p + i, n - i);
                if (length == 0 && !atEnd) {
                    carry_.assign(raw_, i);
                    break;
                }
                if (length > 0) {
                    block_.append(raw_, i, static_cast<std::size_t>(length));
                    i += static_cast<std::size_t>(length);
                } else {
                    appendUtf8(block_, windows1252Character(p[i++]));
                }
            }
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool little = encoding_ == Encoding::Utf16Le;
            const auto unit = [&](std::size_t at) -> std::uint32_t {
                return little ? p[at] | (p[at + 1] << 8) : (p[at] << 8) | p[at + 1];
            };
            while (i + 2 <= n) {
                const std::uint32_t u = unit(i);
                if (u >= 0xD800 && u < 0xDC00) {
                    if (i + 4 > n && !atEnd) {
                        break;  // the low half comes with the next block
                    }
                    const std::uint32_t v = i + 4 <= n ? unit(i + 2) : 0;
                    if (v >= 0xDC00 && v < 0xE000) {
                        appendUtf8(block_, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                        i += 4;
                        continue;
                    }
                    block_ += kReplacement;
                } else if (u >= 0xDC00 && u < 0xE000) {
                    block_ += kReplacement;
                } else {
                    appendUtf8(block_, u);
                }
                i += 2;
            }
            if (atEnd && i < n) {
                block_ += kReplacement;  // an odd last byte
            } else {
                carry_.assign(raw_, i);
            }
            break;
        }
        default:
            break;
    }
}

bool CsvStream::readLine(std::string& text) {
    const std::size_t start = text.size();
    while (true) {
        if (blockStart_ == block_.size() && !readBlock()) {
            in_.setstate(std::ios::eofbit);
            return text.size() > start;
        }
        const std::string_view rest = std::string_view(block_).substr(blockStart_);
        const std::size_t end = rest.find('\n');
        const bool lineEnd = end != std::string_view::npos;
        const std::string_view piece = lineEnd ? rest.substr(0, end + 1) : rest;
        // The line's text before its line end may not exceed kMaxLineBytes.
        if (text.size() - start + piece.size() - (lineEnd ? 1 : 0) > kMaxLineBytes) {
            tooLong_ = true;
            return false;
        }
        text += piece;
        blockStart_ += piece.size();
        if (lineEnd) {
            return true;
        }
    }
}

bool CsvStream::next(CsvRecord& record, CsvError& error) {
    if (!next(view_, error)) {
        return false;
    }
    record.line = view_.line;
    record.fields.resize(view_.fields.size());
    for (std::size_t i = 0; i < view_.fields.size(); ++i) {
        record.fields[i].assign(view_.fields[i]);
    }
    return true;
}

bool CsvStream::nextInBlock(CsvRecordView& record) {
    const char delimiter = *delimiter_;
    while (blockStart_ < linesEnd_) {
        const char* const line = block_.data() + blockStart_;
        record.fields.clear();
        const char* field = line;
        const char* p = line;
        // Before linesEnd_ every line ends in an LF, which stops the scan without a bounds check.
        while (true) {
            while (!stops_[static_cast<unsigned char>(*p)]) {
                ++p;
            }
            if (*p != delimiter) {
                break;
            }
            record.fields.emplace_back(field, static_cast<std::size_t>(p - field));
            field = ++p;
        }
        if (*p != '\n') {
            return false;  // a double quote
        }
        // A block is far shorter than the longest line allowed; the check keeps that so.
        if (static_cast<std::size_t>(p - line) > kMaxLineBytes) {
            return false;
        }
        const char* const last = p > field && p[-1] == '\r' ? p - 1 : p;
        blockStart_ += static_cast<std::size_t>(p + 1 - line);
        if (record.fields.empty() && last == line) {
            ++line_;  // an empty line
            continue;
        }
        record.fields.emplace_back(field, static_cast<std::size_t>(last - field));
        record.text = {line, static_cast<std::size_t>(p + 1 - line)};
        record.line = line_++;
        return true;
    }
    return false;  // the line goes on in the next block
}

CsvError CsvStream::tooLongError() const {
    return {line_, "a line longer than " + std::to_string(kMaxLineBytes / (1 << 20)) +
                       " MiB; reading stopped"};
}

bool CsvStream::nextCopied(CsvRecordView& record, CsvError& error) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::string& text = text_;
    while (true) {
        text.clear();
        if (!readLine(text)) {
            if (tooLong_) {
                error = tooLongError();
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
    if (!inBlock_) {
        // With a delimiter that is itself a quote or a line end, every record takes this way.
        const char d = *delimiter_;
        inBlock_ = d != '"' && d != '\n' && d != '\r';
        stops_[static_cast<unsigned char>(d)] = true;
        stops_['\n'] = true;
        stops_['"'] = true;
    }
    // Only a line with a double quote can end inside one.
    while (text.find('"') != std::string::npos && endsInsideQuotes(text, *delimiter_)) {
        if (!readLine(text)) {
            if (tooLong_) {
                error = tooLongError();
                return false;
            }
            break;  // the quote is never closed: the reader says so
        }
    }
    RecordReader reader(text, *delimiter_);
    record.line = line_;
    std::string reason;
    if (!reader.read(fields_, reason)) {
        error = {line_, reason};
    }
    record.fields.assign(fields_.begin(), fields_.end());
    record.text = text;
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

bool writtenAsItIsAfterAll(std::string_view field) {
    if (needsQuotes(field)) {
        return false;
    }
    return field.empty() || !readsAsFormula(field);
}

void appendSpreadsheetField(std::string& out, std::string_view field) {
    if (writtenAsItIs(field)) {
        out += field;
        return;
    }
    if (readsAsFormula(field)) {
        appendCsvField(out, spreadsheetText(field));
    } else {
        appendCsvField(out, field);
    }
}

void appendSpreadsheetRecord(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendSpreadsheetField(out, fields[i]);
    }
    out += '\n';
}

}  // namespace bx
