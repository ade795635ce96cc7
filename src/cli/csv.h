#pragma once
// Comma-separated text with the usual quoting: a field in double quotes may hold commas, line
// ends and doubled double quotes; records end at LF or CR LF outside quotes.

#include <string>
#include <string_view>
#include <vector>

namespace bx::cli {

struct CsvRecord {
    std::vector<std::string> fields;
    int line = 0;  // the line on which the record starts, counting from 1
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
CsvDocument parseCsv(std::string_view text);

// Appends one field, in double quotes (inner quotes doubled) when it holds a comma, a double
// quote, a carriage return or a line feed, else unchanged.
void appendCsvField(std::string& out, std::string_view field);

// Appends a whole record: the fields joined by commas, then "\n".
void appendCsvRecord(std::string& out, const std::vector<std::string>& fields);

}  // namespace bx::cli
