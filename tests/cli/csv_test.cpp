// Reading and writing comma-separated text with the usual quoting. Every expected record was
// written out by hand from the input text.
#include <gtest/gtest.h>

#include "cli/csv.h"

namespace bx::cli {
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

TEST(CsvWrite, QuotesOnlyWhereNeeded) {
    std::string out;
    appendCsvRecord(out, {"plain", "Lake, north", "say \"hi\"", "two\nlines", "", "12.5"});
    EXPECT_EQ(out, "plain,\"Lake, north\",\"say \"\"hi\"\"\",\"two\nlines\",,12.5\n");
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
}  // namespace bx::cli
