// SPDX-License-Identifier: MIT
// Reading and writing comma-separated text with the usual quoting. Every expected record was
// written out by hand from the input text.
#include <gtest/gtest.h>

#include <sstream>

#include "survey/csv.h"

namespace bx {
namespace {

using Fields = std::vector<std::string>;

// {text, its records, the line each record starts on}: LF and CR LF line ends, a last line
// without one, empty lines skipped, quoted fields holding commas, doubled quotes and line ends,
// empty fields at both ends, a byte-order mark.
TEST(CsvRead, RecordsAndTheLinesTheyStartOn) {
    const struct {
        std::string text;
        std::vector<Fields> records;
        std::vector<int> lines;
    } kCases[] = {
        {"sample,value\nA,1\r\nB,2.5\n",
         {{"sample", "value"}, {"A", "1"}, {"B", "2.5"}},
         {1, 2, 3}},
        {"a,b\n\n\r\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 4}},
        {"\"Lake, north\",\"say \"\"hi\"\"\",\"two\nlines\"\nnext,\"\",x\n",
         {{"Lake, north", "say \"hi\"", "two\nlines"}, {"next", "", "x"}},
         {1, 3}},
        {",a,\n", {{"", "a", ""}}, {1}},
        {"\xEF\xBB\xBFsample,value\n", {{"sample", "value"}}, {1}},
    };
    for (const auto& c : kCases) {
        const CsvDocument doc = parseCsv(c.text);
        EXPECT_TRUE(doc.errors.empty()) << c.text;
        std::vector<Fields> records;
        std::vector<int> lines;
        for (const CsvRecord& r : doc.records) {
            records.push_back(r.fields);
            lines.push_back(r.line);
        }
        EXPECT_EQ(records, c.records) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

TEST(CsvRead, MalformedLinesAreNamedAndSkipped) {
    const CsvDocument doc = parseCsv(
        "sample,value\n"
        "A,1\"0\n"        // line 2: quote inside an unquoted field
        "\"B\"x,2\n"      // line 3: text after the closing quote
        "C,3\n"           // line 4: fine
        "\"D,4\nE,5\n");  // line 5: the quote is never closed
    ASSERT_EQ(doc.errors.size(), 3U);
    EXPECT_EQ(doc.errors[0].line, 2);
    EXPECT_EQ(doc.errors[1].line, 3);
    EXPECT_EQ(doc.errors[2].line, 5);
    EXPECT_EQ(doc.errors[2].reason, "a double quote that is never closed");
    ASSERT_EQ(doc.records.size(), 2U);
    EXPECT_EQ(doc.records[1].fields, (Fields{"C", "3"}));
    EXPECT_EQ(doc.records[1].line, 4);
}

// A stream is read block by block: records that straddle the end of a block (a CR LF split
// between two blocks, a quoted line end, a plain field, an empty line) and those within one (a
// CR inside a field, an empty last field) read as they do in the whole document, on the same
// lines. The header's length moves every later line across the
// block ends.
TEST(CsvStreamRead, RecordsAcrossBlocksReadAsTheWholeDocument) {
    for (int shift = 0; shift < 24; ++shift) {
        std::string text = "sample,value,note" + std::string(static_cast<std::size_t>(shift), 'x');
        text += "\r\n";
        for (int i = 0; text.size() < 2 * CsvStream::kBlockBytes + 100; ++i) {
            text += "S" + std::to_string(i % 97) + "," + std::to_string(i) + ".5,";
            text += i % 5 == 0 ? "\"two\r\nlines, \"\"quoted\"\"\"" : i % 2 == 0 ? "a\rb" : "";
            text += i % 3 == 0 ? "\r\n" : "\n";
            if (i % 11 == 0) {
                text += "\n";
            }
        }
        const CsvDocument doc = parseCsv(text);
        ASSERT_TRUE(doc.errors.empty());
        std::istringstream in(text);
        CsvStream stream(in, std::nullopt);
        CsvRecord record;
        CsvError error;
        std::size_t n = 0;
        while (stream.next(record, error)) {
            ASSERT_TRUE(error.reason.empty()) << error.reason;
            ASSERT_LT(n, doc.records.size());
            ASSERT_EQ(record.fields, doc.records[n].fields)
                << "record " << n << ", shift " << shift;
            ASSERT_EQ(record.line, doc.records[n].line) << "record " << n << ", shift " << shift;
            ++n;
        }
        EXPECT_EQ(n, doc.records.size());
        EXPECT_FALSE(stream.failed());
    }
}

// Plain lines are read where they lie in the stream's block, others through a copy: a CR that
// is not a line end, a last empty field before CR LF, a line of just CR and a NUL stay field
// text; a quote later in a line still makes the line malformed; the lines after keep counting.
// Each expected record was written out by hand from the text.
TEST(CsvStreamRead, PlainLinesAsTheirTextSays) {
    using namespace std::string_literals;
    std::istringstream in("h;v\na\rb;c\r\nx;\r\n\r\r\n\r\nn\0l;1\np;q\"r\n\nend;2"s);
    CsvStream stream(in, std::nullopt);
    CsvRecordView record;
    CsvError error;
    std::vector<Fields> records;
    std::vector<int> lines;
    while (stream.next(record, error)) {  // a malformed line's number goes in negated
        if (error.reason.empty()) {
            records.emplace_back(record.fields.begin(), record.fields.end());
        }
        lines.push_back(error.reason.empty() ? record.line : -error.line);
    }
    EXPECT_EQ(records,
              (std::vector<Fields>{
                  {"h", "v"}, {"a\rb", "c"}, {"x", ""}, {"\r"}, {"n\0l"s, "1"}, {"end", "2"}}));
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 6, -7, 9}));
}

TEST(CsvWrite, QuotesOnlyWhereNeeded) {
    std::string out;
    appendCsvRecord(out, {"plain", "Lake, north", "say \"hi\"", "two\nlines", "", "12.5"});
    EXPECT_EQ(out, "plain,\"Lake, north\",\"say \"\"hi\"\"\",\"two\nlines\",,12.5\n");
}

// The batch copies a field without appendSpreadsheetField() when writtenAsItIs() says it may:
// the two must agree on numbers, formulas and texts to quote.
TEST(CsvWrite, FieldsWrittenAsTheyAreAreThoseTheSpreadsheetWriterLeavesAlone) {
    for (const std::string field : {"", "ok", "-0.066", "+50.7", "-.5", "-1e3", "-", "-x", "=1+1",
                                    "+A1", "@SUM", "Lake, north", "a\"b", "x\r", "1\n", "ab cd",
                                    "abcdefgh,ijk", "abcdefghijkl\"m", "abcdefghijklmnop\n"}) {
        std::string written;
        appendSpreadsheetField(written, field);
        EXPECT_EQ(writtenAsItIs(field), written == field) << field;
    }
}

TEST(CsvWrite, WrittenRecordsReadBackUnchanged) {
    const Fields fields{"a,b", "\"", "\r\n", " x ", "µg/L"};
    std::string out;
    appendCsvRecord(out, fields);
    const CsvDocument doc = parseCsv(out);
    ASSERT_EQ(doc.records.size(), 1U);
    EXPECT_EQ(doc.records[0].fields, fields);
}

}  // namespace
}  // namespace bx
