// SPDX-License-Identifier: MIT
#include "survey/csv.h"

#include <algorithm>
#include <cstring>

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

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character of a Windows-1252 byte; the five bytes it leaves undefined stay the control
// characters of their code points.
std::uint32_t windows1252(unsigned char b) {
    static constexpr std::uint16_t k80To9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return b >= 0x80 && b < 0xA0 ? k80To9F[b - 0x80] : b;
}

// The length of the UTF-8 character at `p`, of which `n` bytes are there: 0 when they begin one
// but do not complete it, -1 when they begin none (a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF).
int utf8Length(const unsigned char* p, std::size_t n) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) == n) {
            return 0;
        }
        const unsigned char c = p[i];
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) {
            return -1;
        }
    }
    return length;
}

// Where the UTF-8 of `text` stops: at its end, or at the first character that is not valid
// or not complete. `beyondAscii` tells whether anything before that is more than ASCII.
std::size_t validUtf8(std::string_view text, bool& beyondAscii) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t word = 0;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8Length(p + i, n - i);
        if (length <= 0) {
            return i;
        }
        beyondAscii = true;
        i += static_cast<std::size_t>(length);
    }
    return n;
}

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
                appendUtf8(block_, windows1252(p[i]));
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
                    appendUtf8(block_, windows1252(p[i++]));
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
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    error = {};
    std::string& text = text_;
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
    // Only a line with a double quote can end inside one.
    while (text.find('"') != std::string::npos && endsInsideQuotes(text, *delimiter_)) {
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

void appendSpreadsheetField(std::string& out, std::string_view field) {
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
