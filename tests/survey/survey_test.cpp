// SPDX-License-Identifier: MIT
// Grouping the lines of a survey into samples. Expected groupings worked out by hand.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <sstream>

#include "survey/survey.h"

namespace bx {
namespace {

using Texts = std::vector<std::string>;

TEST(Survey, SamplesInOrderOfFirstAppearanceWithReplicatesInFileOrder) {
    const Survey s = readSurvey(
        "station,Sample , VALUE,note\n"
        "x,B,3,\n"
        "x,A,1,first\n"
        "x,B,4,\n"
        "x, A ,2,\n");
    ASSERT_TRUE(s.errors.empty());
    ASSERT_EQ(s.size(), 2U);
    EXPECT_EQ(s.sample(0).id, "B");
    EXPECT_EQ(s.sample(0).values, (Texts{"3", "4"}));
    EXPECT_EQ(s.sample(0).firstLine, 2);
    EXPECT_EQ(s.sample(1).id, "A");  // blanks around an id are dropped
    EXPECT_EQ(s.sample(1).values, (Texts{"1", "2"}));
    EXPECT_EQ(s.find("A"), 1U);
    EXPECT_EQ(s.find("C"), std::nullopt);
}

// Values keep their blanks, ids lose them ("A " and " A" are A).
TEST(Survey, ValuesKeepTheirTextAndMissingValuesAreCounted) {
    const Survey s =
        readSurvey("sample,value\nA, 1.50\nA ,\nA,x\n A, NA\nA,NaN\nA,nan\nA,\"2,5\"\n");
    ASSERT_EQ(s.size(), 1U);
    EXPECT_EQ(s.sample(0).values, (Texts{" 1.50", "x", "2,5"}));
    EXPECT_EQ(s.sample(0).valueLines, (std::vector<int>{2, 4, 8}));
    EXPECT_EQ(s.sample(0).missing, 4);
}

// NA and NaN in any case, with blanks around them, and blank values are missing; texts that
// only begin or end like them are values.
TEST(Survey, MissingValuesInAnyCase) {
    for (const char* missing : {"", "   ", "na", "Na", " nA ", "NAN", "nAn", "NaN  "}) {
        EXPECT_TRUE(isMissingValue(missing)) << '"' << missing << '"';
    }
    for (const char* value : {"n", "nana", "N/A", "nan1", "NA.", "\tNA", "0"}) {
        EXPECT_FALSE(isMissingValue(value)) << '"' << value << '"';
    }
}

// The separator as the header line shows it; with a semicolon or a tab, or when asked, a
// value's one comma is its decimal point.
TEST(Survey, SeparatorsAndDecimalCommas) {
    struct Row {
        std::string text;
        SurveyFormat format;
        Texts values;
    };
    SurveyFormat decimalComma;
    decimalComma.decimalComma = true;
    SurveyFormat semicolon;
    semicolon.delimiter = ';';
    const Row rows[] = {
        {"sample,value\nA,\"88,5\"\n", {}, {"88,5"}},
        {"sample,value\nA,\"88,5\"\n", decimalComma, {"88.5"}},
        {"sample;value\nA;88,5\nA;1.000,5\nA;1,2,3\n", {}, {"88.5", "1.000,5", "1,2,3"}},
        {"\"a,b,c\";sample;value\nx;A;3\n", {}, {"3"}},  // commas in quotes do not count
        {"sample\tvalue\nA\t7,25\n", {}, {"7.25"}},
        {"sample,value;x\nA,1;2\n", semicolon, {}},  // given: no column "sample"
        // As many commas as semicolons: the first of comma, semicolon and tab.
        {"sample,value,remark;lab;batch\nA,7,x;y;z\n", {}, {"7"}},
    };
    for (const Row& row : rows) {
        const Survey s = readSurvey(row.text, row.format);
        if (row.values.empty()) {
            EXPECT_EQ(s.size(), 0U) << row.text;
            continue;
        }
        ASSERT_EQ(s.size(), 1U) << row.text;
        EXPECT_EQ(s.sample(0).values, row.values) << row.text;
    }
}

TEST(Survey, GroupsAndColumnsThatDiffer) {
    SurveyFormat byEndpoint;
    byEndpoint.groupColumns = {"Endpoint"};
    const std::string text = "sample,endpoint,note,value\nA,g,1,1\nA,s,2,2\nA,g,3,3\n";
    Survey s = readSurvey(text, byEndpoint);
    ASSERT_EQ(s.size(), 2U);
    EXPECT_EQ(s.groupColumns, (Texts{"endpoint"}));
    EXPECT_EQ(s.groups(), (std::vector<Texts>{{"g"}, {"s"}}));
    EXPECT_EQ(s.sample(0).group, (Texts{"g"}));
    EXPECT_EQ(s.sample(0).values, (Texts{"1", "3"}));
    EXPECT_EQ(s.sample(0).differingColumn, "rows 2 and 4 differ in column \"note\"");
    EXPECT_EQ(s.find("A", 1), 1U);
    EXPECT_EQ(s.find("A", 2), std::nullopt);

    SurveyFormat ignoring = byEndpoint;
    ignoring.ignoredColumns = {"NOTE"};
    EXPECT_EQ(readSurvey(text, ignoring).sample(0).differingColumn, "");
    s = readSurvey(text);
    EXPECT_EQ(s.sample(0).differingColumn, "rows 2 and 3 differ in column \"endpoint\"");
    // An empty first note is compared with nothing; the first row with one gives the note.
    s = readSurvey("sample,note,value,x\nA,,1,q\nA,n,2,q\nA,,3,\nA,m,4,q\n");
    EXPECT_EQ(s.sample(0).differingColumn, "rows 3 and 5 differ in column \"note\"");
    byEndpoint.groupColumns = {"site"};
    s = readSurvey(text, byEndpoint);
    ASSERT_EQ(s.errors.size(), 1U);
    EXPECT_EQ(s.errors[0].reason, "the header line has no column \"site\"");
}

TEST(Survey, HeaderWithoutTheColumns) {
    Survey s = readSurvey("sample,result\nA,1\n");
    ASSERT_EQ(s.errors.size(), 1U);
    EXPECT_EQ(s.errors[0].line, 1);
    EXPECT_EQ(s.errors[0].reason, "the header line has no column \"value\"");
    s = readSurvey("");
    ASSERT_EQ(s.errors.size(), 1U);
    EXPECT_EQ(s.errors[0].reason, "there is no header line");
}

TEST(Survey, ShortLinesAndMissingIdsAreMalformed) {
    const Survey s = readSurvey("value,sample\n1\n2,\n3,A\n\"4,B\n");
    ASSERT_EQ(s.errors.size(), 3U);
    EXPECT_EQ(s.errors[0].line, 2);
    EXPECT_EQ(s.errors[0].reason, "the line has 1 fields, the header needs 2");
    EXPECT_EQ(s.errors[1].line, 3);
    EXPECT_EQ(s.errors[1].reason, "the line has no sample id");
    EXPECT_EQ(s.errors[2].line, 5);
    ASSERT_EQ(s.size(), 1U);
    EXPECT_EQ(s.sample(0).values, (Texts{"3"}));
}

// The layouts spreadsheets and scripts write: a station column, the row numbers of R's
// write.csv() in an unnamed first column, a replicate column, one value column per endpoint.
TEST(Survey, StationsRowNumbersReplicatesAndTheWideLayout) {
    const std::string longText =
        "\"\",\"station\",\"rep\",\"value\"\n\"1\",\"A\",1,5\n\"2\",\"A\",2,6\n";
    const Survey s = readSurvey(longText);
    ASSERT_EQ(s.size(), 1U);
    EXPECT_EQ(s.sample(0).values, (Texts{"5", "6"}));
    EXPECT_EQ(s.sample(0).differingColumn, "");

    SurveyFormat wide;
    wide.endpointColumns = {"survival", "growth"};
    const Survey w =
        readSurvey("station,replicate,survival,growth\nA,1,90,0.5\nA,2,,0.4\nB,1,80,0.3\n", wide);
    EXPECT_EQ(w.groupColumns, (Texts{"endpoint"}));
    EXPECT_EQ(w.groups(), (std::vector<Texts>{{"survival"}, {"growth"}}));
    ASSERT_EQ(w.size(), 4U);
    const SurveySample aSurvival = w.sample(*w.find("A", 0));
    EXPECT_EQ(aSurvival.values, (Texts{"90"}));
    EXPECT_EQ(aSurvival.missing, 1);
    EXPECT_EQ(w.sample(*w.find("A", 1)).values, (Texts{"0.5", "0.4"}));
}

// A field beyond the header's, such as the decimal comma of "10,9" in a comma-separated file,
// refuses its line rather than being cut off; empty fields there (a trailing comma) do not.
TEST(Survey, FieldsBeyondTheHeader) {
    const Survey s = readSurvey("sample,value\nREF,10,9\nREF,10,\nREF,\"10,5\"\n");
    ASSERT_EQ(s.errorCount, 1U);
    EXPECT_EQ(s.errors[0].line, 2);
    EXPECT_NE(s.errors[0].reason.find("decimal comma"), std::string::npos);
    EXPECT_EQ(s.sample(0).values, (Texts{"10", "10,5"}));
}

// Samples whose rows are spread over the file keep their replicates in file order; the index
// finds every one of many ids.
TEST(Survey, ManyInterleavedSamples) {
    std::string text = "sample,value\n";
    for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < 500; ++i) {
            text +=
                "S" + std::to_string(i) + "," + std::to_string(i) + "." + std::to_string(r) + "\n";
        }
    }
    const Survey s = readSurvey(text);
    ASSERT_EQ(s.size(), 500U);
    for (const int i : {0, 123, 499}) {
        EXPECT_EQ(s.find("S" + std::to_string(i)), static_cast<std::size_t>(i));
        const std::string n = std::to_string(i);
        EXPECT_EQ(s.sample(static_cast<std::size_t>(i)).values,
                  (Texts{n + ".0", n + ".1", n + ".2"}));
        EXPECT_EQ(s.sample(static_cast<std::size_t>(i)).valueLines,
                  (std::vector<int>{2 + i, 502 + i, 1002 + i}));
    }
}

// A line may hold up to kMaxLineBytes before its line end, however many blocks of the stream it
// spans.
TEST(Survey, LongestLine) {
    const std::string longest(CsvStream::kMaxLineBytes - 2, '7');
    Survey s = readSurvey("sample,value\nA," + longest + "\nB,1\n");
    ASSERT_TRUE(s.errors.empty());
    ASSERT_EQ(s.size(), 2U);
    EXPECT_EQ(s.sample(0).values, (Texts{longest}));
    EXPECT_EQ(s.sample(1).firstLine, 3);
    s = readSurvey("sample,value\nA," + longest + "7\nB,1\n");
    ASSERT_EQ(s.errors.size(), 1U);
    EXPECT_EQ(s.errors[0].line, 2);
    EXPECT_EQ(s.errors[0].reason, "a line longer than 1 MiB; reading stopped");
}

// A stream without line ends (a device, say) is cut off; a quoted field may span lines.
TEST(Survey, StreamLimits) {
    std::istringstream endless(std::string(CsvStream::kMaxLineBytes + 10, '\0'));
    Survey s = readSurvey(endless);
    ASSERT_FALSE(s.errors.empty());
    EXPECT_EQ(s.errors.back().reason, "a line longer than 1 MiB; reading stopped");
    s = readSurvey("sample,value\n\"A\nB\",1\nC,2\n");
    ASSERT_EQ(s.size(), 2U);
    EXPECT_EQ(s.sample(0).id, "A\nB");
    EXPECT_EQ(s.sample(1).firstLine, 4);
}

// A header naming a column twice, a NUL inside a field, and a sample repeated without end are
// refused with what and where, rather than read by guess or until the memory runs out.
TEST(Survey, AmbiguousAndEndlessInputRefused) {
    Survey s = readSurvey("sample,value,Value \nA,1,2\n");
    ASSERT_EQ(s.errorCount, 1U);
    EXPECT_EQ(s.errors[0].reason,
              "the header line names the column \"Value\" twice (columns 2 and 3); rename one of "
              "them");
    s = readSurvey(std::string("sample,value\nA,1\0 2\nA,3\n", 24));
    ASSERT_EQ(s.errorCount, 1U);
    EXPECT_EQ(s.errors[0].line, 2);
    EXPECT_EQ(s.errors[0].reason, "the field in column \"value\" holds a NUL character");
    std::string endless = "sample,value\n";
    for (std::uint32_t i = 0; i <= Survey::kMaxSampleRows; ++i) {
        endless += "A,1\n";
    }
    std::istringstream in(endless);
    s = readSurvey(in);
    ASSERT_EQ(s.errorCount, 1U);
    EXPECT_EQ(s.errors[0].line, static_cast<int>(Survey::kMaxSampleRows) + 2);
    EXPECT_EQ(s.errors[0].reason, "sample \"A\" has more than 10000 rows; reading stopped");
}

// UTF-16 with its byte order mark.
std::string utf16(std::u16string_view text, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t u : text) {
        const auto low = static_cast<char>(u & 0xFF);
        const auto high = static_cast<char>(u >> 8);
        out += littleEndian ? low : high;
        out += littleEndian ? high : low;
    }
    return out;
}

// The same survey in each encoding gives the same UTF-8 ids; only Windows-1252, a guess, is
// noted. UTF-16 takes a character beyond the first plane as a surrogate pair, and an unpaired
// surrogate or an odd last byte as U+FFFD.
TEST(SurveyEncoding, IdsComeOutInUtf8) {
    const std::string utf8 = "sample,value\r\nStation Süd,1\r\n€ 5‰,2\r\n";
    const std::u16string text16 = u"sample,value\r\nStation Süd,1\r\n€ 5‰,2\r\n";
    const std::string cases[] = {utf8, "\xEF\xBB\xBF" + utf8, utf16(text16, true),
                                 utf16(text16, false),
                                 "sample,value\r\nStation S\xFC"
                                 "d,1\r\n\x80 5\x89,2\r\n"};
    for (const std::string& text : cases) {
        const Survey s = readSurvey(text);
        ASSERT_TRUE(s.errors.empty()) << text;
        ASSERT_EQ(s.size(), 2U) << text;
        EXPECT_EQ(s.sample(0).id, "Station Süd");
        EXPECT_EQ(s.sample(1).id, "€ 5‰");
        EXPECT_EQ(s.notes, text == cases[4] ? std::vector<std::string>{"the survey is not UTF-8: "
                                                                       "read as Windows-1252"}
                                            : std::vector<std::string>{});
    }
    Survey s = readSurvey(utf16(u"sample,value\n\U0001D11E,1\n\xD834x,2", true) + "\n");
    ASSERT_EQ(s.size(), 2U);
    EXPECT_EQ(s.sample(0).id, "\U0001D11E");
    EXPECT_EQ(s.sample(1).id, "\uFFFDx");
    EXPECT_EQ(s.sample(1).values, std::vector<std::string>{"2\uFFFD"});
}

// Each byte 0x80 to 0xFF as iconv reads Windows-1252; the five bytes it leaves undefined become
// the control characters of their code points.
TEST(SurveyEncoding, EveryWindows1252Byte) {
    std::string text = "sample,value\n";
    for (int b = 0x80; b <= 0xFF; ++b) {
        text += std::string("x") + static_cast<char>(b) + ",1\n";
    }
    const Survey s = readSurvey(text);
    ASSERT_EQ(s.size(), 128U);
    const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0x80; b <= 0xFF; ++b) {
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* inAt = in;
        char* outAt = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        std::string expected = "x";
        if (iconv(cd, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1)) {
            EXPECT_TRUE(b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) << b;
            expected += {static_cast<char>(0xC2), static_cast<char>(b)};
        } else {
            expected.append(out, outAt);
        }
        EXPECT_EQ(s.sample(static_cast<std::size_t>(b - 0x80)).id, expected) << b;
    }
    iconv_close(cd);
}

// The encoding is decided block by block as the stream is read: ASCII for a block, then a byte
// that is not UTF-8, is Windows-1252 throughout; a UTF-8 character split between two blocks
// stays whole; UTF-8 before a byte that is not keeps its characters. "É" (C3 89 in UTF-8, C9 in
// Windows-1252, which begins a character of UTF-8) starts on the last byte of the first block.
TEST(SurveyEncoding, DecidedAsTheStreamIsRead) {
    const std::string header = "sample,value,note\n";
    const auto upToS = [](const std::string& text) {
        return text + "A,1," + std::string(CsvStream::kBlockBytes - text.size() - 7, 'x') + "\nS";
    };
    const std::string kAsCp1252 = "the survey is not UTF-8: read as Windows-1252";
    const std::string kMixed = "the survey is not all UTF-8: its other bytes read as Windows-1252";
    const struct {
        std::string text;
        std::string note;
    } kCases[] = {
        {upToS(header) + "Éd,2,\nSÉd,3,\n", ""},
        {upToS(header) + "\xC9"
                         "d,2,\nS\xC9"
                         "d,3,\n",
         kAsCp1252},
        {upToS(header + "SÉd,2,\n") + "\xC9"
                                      "d,3,\n",
         kMixed},
    };
    for (const auto& c : kCases) {
        ASSERT_EQ(c.text[CsvStream::kBlockBytes - 2], 'S');
        const Survey s = readSurvey(c.text);
        ASSERT_TRUE(s.errors.empty()) << s.errors[0].reason;
        ASSERT_EQ(s.size(), 2U);
        ASSERT_TRUE(s.find("SÉd"));
        EXPECT_EQ(s.sample(*s.find("SÉd")).values.size(), 2U);
        EXPECT_EQ(s.notes,
                  c.note.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.note});
    }
}

}  // namespace
}  // namespace bx
