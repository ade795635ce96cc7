// Reading and writing comma-separated text with the usual quoting. Every expected record was
// written out by hand from the input text.
#include <gtest/gtest.h>

#include "cli/csv.h"

namespace bx::cli {
namespace {

using Fields = std::vector<std::string>;

TEST(CsvRead, PlainRecordsWithLfAndCrLf) {
    const CsvDocument doc = parseCsv("sample,value\nA,1\r\nB,2.5\n");
    ASSERT_TRUE(doc.errors.empty());
    ASSERT_EQ(doc.records.size(), 3U);
    EXPECT_EQ(doc.records[0].fields, (Fields{"sample", "value"}));
    EXPECT_EQ(doc.records[1].fields, (Fields{"A", "1"}));
    EXPECT_EQ(doc.records[2].fields, (Fields{"B", "2.5"}));
    EXPECT_EQ(doc.records[2].line, 3);
}

TEST(CsvRead, LastLineWithoutLineEndAndEmptyLinesSkipped) {
    const CsvDocument doc = parseCsv("a,b\n\n\r\nc,d");
    ASSERT_TRUE(doc.errors.empty());
    ASSERT_EQ(doc.records.size(), 2U);
    EXPECT_EQ(doc.records[1].fields, (Fields{"c", "d"}));
    EXPECT_EQ(doc.records[1].line, 4);
}

TEST(CsvRead, QuotedFieldsHoldCommasQuotesAndLineEnds) {
    const CsvDocument doc =
        parseCsv("\"Lake, north\",\"say \"\"hi\"\"\",\"two\nlines\"\nnext,\"\",x\n");
    ASSERT_TRUE(doc.errors.empty());
    ASSERT_EQ(doc.records.size(), 2U);
    EXPECT_EQ(doc.records[0].fields, (Fields{"Lake, north", "say \"hi\"", "two\nlines"}));
    // The record after a quoted line end starts on the third physical line.
    EXPECT_EQ(doc.records[1].line, 3);
    EXPECT_EQ(doc.records[1].fields, (Fields{"next", "", "x"}));
}

TEST(CsvRead, EmptyFieldsAtBothEnds) {
    const CsvDocument doc = parseCsv(",a,\n");
    ASSERT_EQ(doc.records.size(), 1U);
    EXPECT_EQ(doc.records[0].fields, (Fields{"", "a", ""}));
}

TEST(CsvRead, ByteOrderMarkIsSkipped) {
    const CsvDocument doc = parseCsv("\xEF\xBB\xBFsample,value\n");
    ASSERT_EQ(doc.records.size(), 1U);
    EXPECT_EQ(doc.records[0].fields, (Fields{"sample", "value"}));
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
