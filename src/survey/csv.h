// SPDX-License-Identifier: MIT
#pragma once
// Delimited text (comma, semicolon or tab) with the usual quoting: a field in double quotes may
// hold commas, line ends and doubled double quotes; records end at LF or CR LF outside quotes.

#include <array>
#include <cstdint>
#include <cstring>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bx {

struct CsvRecord {
    std::vector<std::string> fields;
    int line = 0;  // the line on which the record starts, counting from 1
};

// A record whose fields are views of the reader's own text, valid until the next record is
// read: a reader that keeps only some of a record's fields need not copy all of them.
struct CsvRecordView {
    std::vector<std::string_view> fields;
    std::string_view text;  // the record's lines as read, with their line ends
    int line = 0;
};

struct CsvError {
    int line = 0;
    std::string reason;
};

struct CsvDocument {
    std::vector<CsvRecord> records;  // empty lines are skipped
    std::vector<CsvError> errors;    // malformed records, which are left out of `records`
};

// Reads a whole document. A UTF-8 byte order mark at the start is skipped. A malformed record
// (a quote inside an unquoted field, text after a closing quote, a quote left open at the end)
// is reported with the line it starts on; reading goes on with the next line.
CsvDocument parseCsv(std::string_view text, char delimiter = ',');

// The separator of a document's fields as its first line shows it: the one of comma, semicolon
// and tab that occurs most often there outside double quotes, the first of them in that order
// on a tie; a comma when none does.
char detectDelimiter(std::string_view text);

// Reads records one at a time from a stream, as parseCsv() reads a whole document, holding no
// more than the record being read and one block of the stream. A line longer than
// kMaxLineBytes ends the reading with an error (a stream without line ends, such as a device,
// cannot fill the memory).
//
// The records come out in UTF-8. The stream may be UTF-8, with or without a byte order mark,
// UTF-16 (little- or big-endian) with its byte order mark, or else Windows-1252: a stream that
// turns out not to be UTF-8 is read as Windows-1252 from there on, and since it held nothing
// but ASCII before, as a whole. A stream that held UTF-8 beyond ASCII before its first byte that
// is not UTF-8 keeps its UTF-8 characters and has each other byte read as Windows-1252. The
// five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters U+0081 and so on, as in Windows; an unpaired UTF-16 surrogate, or an odd byte at
// the end of UTF-16, becomes U+FFFD.
class CsvStream {
  public:
    static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 16;

    // Without a delimiter, the separator is found from the first line (detectDelimiter).
    CsvStream(std::istream& in, std::optional<char> delimiter);

    // The next record, or a malformed one as `error` (next() returns true for both; `error`
    // then has a reason). False at the end of the stream, or after a line that is too long
    // (with `error` set) or a read failure (failed()).
    bool next(CsvRecord& record, CsvError& error);
    // The same with the fields as views, which the next call ends.
    bool next(CsvRecordView& record, CsvError& error) {
        error.line = 0;
        error.reason.clear();
        return (inBlock_ && nextInBlock(record)) || nextCopied(record, error);
    }

    // The separator in use; found once the first line has been read.
    char delimiter() const { return delimiter_.value_or(','); }

    // True when reading failed (not at the end of the stream).
    bool failed() const;

    // What was assumed about the encoding of the text read so far, to be said once: empty for
    // UTF-8 and UTF-16, which are read as they are, else that bytes were read as Windows-1252.
    const std::string& encodingNote() const { return note_; }

  private:
    enum class Encoding : std::uint8_t { Unknown, Utf8, Utf16Le, Utf16Be, Windows1252, Mixed };
    // Appends one physical line with its line end to `text`; false at the end or when too long.
    bool readLine(std::string& text);
    // Reads the next record where it lies in block_ when it is a whole line there without a
    // double quote, as most are; false, with nothing read, for any other.
    bool nextInBlock(CsvRecordView& record);
    // Reads any record, copying its lines into text_ and its fields into fields_.
    bool nextCopied(CsvRecordView& record, CsvError& error);
    // What ends the reading at a line longer than kMaxLineBytes.
    CsvError tooLongError() const;
    // Reads the next block of the stream into block_, in UTF-8; false at its end.
    bool readBlock();
    // Turns raw_ into block_, holding back in carry_ a character the next block completes.
    void decode(bool atEnd);

    std::istream& in_;
    std::optional<char> delimiter_;
    std::string block_;  // the stream's text from blockStart_ on is still to be read
    std::size_t blockStart_ = 0;
    std::size_t linesEnd_ = 0;  // block_ up to here holds whole lines, each ending in an LF
    std::string raw_;           // the bytes of the next block as read
    std::string carry_;         // the first bytes of a character the last block ended in
    Encoding encoding_ = Encoding::Unknown;
    bool utf8Seen_ = false;  // UTF-8 beyond ASCII, or its byte order mark, has been read
    std::string note_;
    std::string text_;                 // the record being read (kept for its storage)
    std::vector<std::string> fields_;  // its fields (kept for their storage)
    CsvRecordView view_;               // next(CsvRecord&) copies its fields from here
    // The bytes that end a plain field within block_: the delimiter, LF and the double quote;
    // set once the delimiter is known, when nextInBlock() can read its records.
    std::array<bool, 256> stops_{};
    bool inBlock_ = false;
    int line_ = 1;  // the line the next record starts on
    bool started_ = false;
    bool tooLong_ = false;
};

// Appends one field, in double quotes (inner quotes doubled) when it holds a comma, a double
// quote, a carriage return or a line feed, else unchanged.
void appendCsvField(std::string& out, std::string_view field);

// Appends a whole record: the fields joined by commas, then "\n".
void appendCsvRecord(std::string& out, const std::vector<std::string>& fields);

// writtenAsItIs() for the fields its quick test leaves open.
bool writtenAsItIsAfterAll(std::string_view field);

// True when appendSpreadsheetField() writes `field` as it is: it holds nothing to quote and
// would not run as a formula (numbers, negative ones too, and most ids and words). Inline, as
// a batch asks it of some twenty fields a line.
inline bool writtenAsItIs(std::string_view field) {
    // A field none of whose bytes lies below '.' (0x2E) holds nothing to quote, nor a '+' or
    // '-' that may start a formula: digits, letters, '.', '_' and the bytes of multi-byte
    // characters. Eight bytes at a time: a byte below n in a word w sets a high bit of
    // (w - n * 0x0101...) & ~w, and no byte at or above n does unless a lower byte already has.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::uint64_t below = 0;
    std::size_t i = 0;
    for (; i + 8 <= field.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, field.data() + i, sizeof(w));
        below |= (w - (kOnes * '.')) & ~w & kHighBits;
    }
    for (; i < field.size(); ++i) {
        below |= static_cast<unsigned char>(field[i]) < '.' ? 1U : 0U;
    }
    if (below == 0 && (field.empty() || (field[0] != '=' && field[0] != '@'))) {
        return true;
    }
    return writtenAsItIsAfterAll(field);
}

// The same for a file meant for a spreadsheet: a text that would run as a formula
// (readsAsFormula) gets a leading apostrophe first.
void appendSpreadsheetField(std::string& out, std::string_view field);
void appendSpreadsheetRecord(std::string& out, const std::vector<std::string>& fields);

}  // namespace bx
