// lookupValue against the generated tables: the key texts, the column rules, and the
// warnings, word for word. Expected table values are the published figures checked in
// generated_tables_test.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/lookup.h"
#include "tables/stat_tables.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

class LookupTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { shared = StatTables::load(programFolder()); }
    static void TearDownTestSuite() { shared.reset(); }

    double look(double alpha, const SearchValue& search, std::string_view code) {
        return lookup.lookupValue(alpha, search, code);
    }

    static std::shared_ptr<const StatTables> shared;
    CollectingSink sink;
    Lookup lookup{shared, sink};
};

std::shared_ptr<const StatTables> LookupTest::shared;

TEST_F(LookupTest, AllSixTablesAreRead) {
    EXPECT_TRUE(shared->unreadableFiles().empty());
    EXPECT_EQ(shared->table(StatTableId::PowerT).rows.size(), 651U);
}

// The edge cases listed with the lookup's description.
TEST_F(LookupTest, StudentTReadsTheColumnOfTheLevel) {
    EXPECT_DOUBLE_EQ(look(0.05, 12.0, "T1"), 2.179);
    EXPECT_DOUBLE_EQ(look(0.1, 4.0, "T1"), 2.132);
    EXPECT_DOUBLE_EQ(look(0.2, 4.0, "T1"), 1.533);   // scipy t.isf(0.1, 4) = 1.5332
    EXPECT_DOUBLE_EQ(look(0.25, 4.0, "T1"), 1.344);  // scipy t.isf(0.125, 4) = 1.3444
    EXPECT_TRUE(sink.lines.empty());
}

TEST_F(LookupTest, UnknownLevelGives9999WithoutAWarning) {
    EXPECT_EQ(look(0.03, 12.0, "T1"), kNotFound);
    EXPECT_EQ(look(0.5, 10.0, "W2"), kNotFound);  // A0_50 exists but no level reads it
    EXPECT_EQ(look(0.025, std::string("3,3"), "M1"), kNotFound);
    EXPECT_EQ(look(0.1 + 1e-12, 12.0, "T1"), kNotFound);  // levels match exactly
    EXPECT_TRUE(sink.lines.empty());
}

TEST_F(LookupTest, UnknownCodeGives9999WithoutAWarning) {
    EXPECT_EQ(look(0.05, 12.0, "T2"), kNotFound);
    EXPECT_EQ(look(0.05, 12.0, ""), kNotFound);
    EXPECT_EQ(look(0.05, 12.0, "t1"), kNotFound);
    EXPECT_TRUE(sink.lines.empty());
}

TEST_F(LookupTest, MissingTRowWarns) {
    EXPECT_EQ(look(0.05, 101.0, "T1"), kNotFound);
    EXPECT_EQ(look(0.05, 0.0, "T1"), kNotFound);  // "##" writes 0 as the empty key
    EXPECT_EQ(sink.lines,
              (std::vector<std::string>{"     WARNING - Nofind T1", "     WARNING - Nofind T1"}));
}

TEST_F(LookupTest, KeyIsTheWholeNumberText) {
    EXPECT_DOUBLE_EQ(look(0.05, 11.6, "T1"), 2.179);  // rounds to DF 12
    EXPECT_DOUBLE_EQ(look(0.05, std::string("12"), "T1"), 2.179);
    EXPECT_DOUBLE_EQ(look(0.05, std::string(" 12.0"), "T1"), 2.179);
    EXPECT_EQ(look(0.05, std::string("twelve"), "T1"), kNotFound);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"     WARNING - Nofind T1"}));
}

TEST_F(LookupTest, ShapiroWilkCoefficientByIndexAndSampleSize) {
    EXPECT_DOUBLE_EQ(look(10, 3.0, "W1"), 0.2141);  // row I = 3, field N10
    EXPECT_DOUBLE_EQ(look(19, 2.0, "W1"), 0.3232);  // field N19
    EXPECT_DOUBLE_EQ(look(20, 10.0, "W1"), 0.0140);
    EXPECT_DOUBLE_EQ(look(2, 1.0, "W1"), 0.7071);
    EXPECT_EQ(look(3, 2.0, "W1"), 0.0);  // I above N/2
    EXPECT_TRUE(sink.lines.empty());
}

TEST_F(LookupTest, ShapiroWilkSampleSizeOutsideTwoToTwenty) {
    EXPECT_EQ(look(0, 1.0, "W1"), 0.0);
    EXPECT_EQ(look(-3, 1.0, "W1"), 0.0);
    EXPECT_EQ(look(21, 1.0, "W1"), 0.0);
    EXPECT_EQ(look(1, 1.0, "W1"), kNotFound);  // there is no field N1
    EXPECT_TRUE(sink.lines.empty());
    // The row is searched first: a missing row warns whatever the sample size.
    EXPECT_EQ(look(21, 11.0, "W1"), kNotFound);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"     WARNING - Nofind W1, I = '11',  21"}));
}

TEST_F(LookupTest, ShapiroWilkCriticalW) {
    EXPECT_DOUBLE_EQ(look(0.05, 10.0, "W2"), 0.842);
    EXPECT_DOUBLE_EQ(look(0.01, 3.0, "W2"), 0.753);
    EXPECT_DOUBLE_EQ(look(0.02, 20.0, "W2"), 0.884);
    EXPECT_DOUBLE_EQ(look(0.1, 20.0, "W2"), 0.920);
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(look(0.05, 2.0, "W2"), kNotFound);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"     WARNING - Nofind W2"}));
}

TEST_F(LookupTest, MannWhitneyKeyTextUnchanged) {
    EXPECT_EQ(look(0.1, std::string("3,3"), "M1"), 8.0);
    EXPECT_EQ(look(0.05, std::string("3,3"), "M1"), 9.0);
    EXPECT_EQ(look(0.05, std::string("5,5"), "M1"), 21.0);
    EXPECT_EQ(look(0.05, std::string("10,10"), "M1"), 73.0);
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(look(0.05, std::string("3,5"), "M1"), kNotFound);  // smaller size first
    EXPECT_EQ(look(0.05, std::string("11,3"), "M1"), kNotFound);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"     WARNING - Nofind Mann-Whitney",
                                                    "     WARNING - Nofind Mann-Whitney"}));
}

TEST_F(LookupTest, RankitRowNAndFieldRank) {
    EXPECT_DOUBLE_EQ(look(7, 7.0, "R1"), 1.35218);
    EXPECT_DOUBLE_EQ(look(5, 1.0, "R1"), -1.16296);
    EXPECT_DOUBLE_EQ(look(5, 2.0, "R1"), -0.49502);
    EXPECT_EQ(look(5, 3.0, "R1"), 0.0);
    EXPECT_DOUBLE_EQ(look(20, 20.0, "R1"), 1.86748);
    EXPECT_EQ(look(7, 21.0, "R1"), kNotFound);
    EXPECT_EQ(look(7, 0.0, "R1"), kNotFound);
    EXPECT_EQ(look(7, 20.6, "R1"), kNotFound);  // rounds to rank 21: no such field
    EXPECT_EQ(look(5, 6.0, "R1"), 0.0);         // a blank field beyond N reads as 0
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(look(21, 1.0, "R1"), kNotFound);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"     WARNING - Nofind Rankits lookup"}));
}

TEST_F(LookupTest, PowerKeyedByTwoDecimals) {
    EXPECT_DOUBLE_EQ(look(1.5, std::string(), "P1"), 93.32);
    EXPECT_DOUBLE_EQ(look(-0.027, std::string(), "P1"), 48.80);  // looked up as -0.03
    EXPECT_DOUBLE_EQ(look(-0.025, std::string(), "P1"), 48.80);  // half away from zero
    EXPECT_DOUBLE_EQ(look(-0.001, std::string(), "P1"), 50.0);   // "0.00", no minus sign
    EXPECT_DOUBLE_EQ(look(3.25, std::string(), "P1"), 99.94);
    EXPECT_DOUBLE_EQ(look(-3.25, std::string(), "P1"), 0.06);
    // 0.436 is looked up as 0.44: 100 * scipy.stats.norm.cdf(0.44) = 67.003; searchVal unused.
    EXPECT_DOUBLE_EQ(look(0.436, 12.0, "P1"), 67.0);
    EXPECT_TRUE(sink.lines.empty());
}

TEST_F(LookupTest, MissingPowerRowGivesZeroAndItsWarning) {
    EXPECT_EQ(look(3.26, std::string(), "P1"), 0.0);
    EXPECT_EQ(look(-4, std::string(), "P1"), 0.0);
    EXPECT_EQ(sink.lines,
              (std::vector<std::string>{
                  "     WARNING - Z Power 3.26 Table Lookup Error.  Power Not reliable.",
                  "     WARNING - Z Power -4.00 Table Lookup Error.  Power Not reliable."}));
}

// A CRIT_W1 without the row I = 3, beside copies of the other tables.
fs::path folderWithTables(const std::string& name) {
    const fs::path dir = freshScratch(name);
    for (const char* file :
         {"Crit_t.dbf", "CRIT_U.dbf", "crit_w.dbf", "CRIT_W1.dbf", "RANKIT.dbf", "POWERT.dbf"}) {
        fs::copy_file(fs::path(programFolder()) / file, dir / file);
    }
    return dir;
}

TEST(LookupWarnings, MissingCoefficientRowNamesItsCondition) {
    const fs::path dir = folderWithTables("w1_missing");
    std::vector<DbfFieldDef> fields{{"I", 'C', 2, 0}};
    for (int n = 2; n <= 20; ++n) {
        fields.push_back({"N" + std::to_string(n), 'N', 7, 4});
    }
    ASSERT_FALSE(DbfTable::create((dir / "CRIT_W1.dbf").string(), fields,
                                  {{"1", "0.7071", "0.7071"}, {"2", "0.0000", "0.0000"}}));
    CollectingSink sink;
    Lookup lookup(StatTables::load(dir.string()), sink);
    EXPECT_EQ(lookup.lookupValue(10, 3.0, "W1"), kNotFound);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"     WARNING - Nofind W1, I = '3',  10"}));
}

TEST(LookupWarnings, MissingTableFilesAreReportedOncePerLookupAndMissEveryRow) {
    const fs::path dir = freshScratch("no_tables");
    const auto tables = StatTables::load(dir.string());
    EXPECT_EQ(tables->unreadableFiles().size(), 6U);
    CollectingSink sink;
    Lookup lookup(tables, sink);
    EXPECT_EQ(lookup.lookupValue(0.05, 12.0, "T1"), kNotFound);
    EXPECT_EQ(lookup.lookupValue(0.05, 12.0, "T1"), kNotFound);
    EXPECT_EQ(lookup.lookupValue(1.5, std::string(), "P1"), 0.0);
    const std::string critT = (dir / "Crit_t.dbf").string();
    const std::string powerT = (dir / "POWERT.dbf").string();
    EXPECT_EQ(
        sink.lines,
        (std::vector<std::string>{
            "     WARNING - Table file Crit_t.dbf could not be read (File not found: " + critT +
                ").",
            "     WARNING - Nofind T1", "     WARNING - Nofind T1",
            "     WARNING - Table file POWERT.dbf could not be read (File not found: " + powerT +
                ").",
            "     WARNING - Z Power 1.50 Table Lookup Error.  Power Not reliable."}));
    // Another window's lookup says it again, once.
    CollectingSink other;
    Lookup second(tables, other);
    second.lookupValue(0.05, 12.0, "T1");
    EXPECT_EQ(other.lines.size(), 2U);
}

TEST(LookupWarnings, DamagedOrIncompleteTableFilesAreUnreadable) {
    const fs::path dir = folderWithTables("damaged_tables");
    writeBytes(dir / "crit_w.dbf", "not a table at all, just some text that is long enough");
    ASSERT_FALSE(DbfTable::create((dir / "CRIT_U.dbf").string(),
                                  {{"N1N2", 'C', 5, 0}, {"A0_10", 'N', 4, 0}}, {{"3,3", "8"}}));
    const auto tables = StatTables::load(dir.string());
    const auto unreadable = tables->unreadableFiles();
    ASSERT_EQ(unreadable.size(), 2U);
    EXPECT_EQ(unreadable[0].rfind("CRIT_U.dbf: Item not found in this collection: A0_05", 0), 0U)
        << unreadable[0];
    EXPECT_EQ(unreadable[1].rfind("crit_w.dbf: ", 0), 0U) << unreadable[1];
    CollectingSink sink;
    Lookup lookup(tables, sink);
    EXPECT_EQ(lookup.lookupValue(0.1, std::string("3,3"), "M1"), kNotFound);
    EXPECT_DOUBLE_EQ(lookup.lookupValue(0.05, 12.0, "T1"), 2.179);  // the others still work
    ASSERT_EQ(sink.lines.size(), 2U);
    EXPECT_EQ(sink.lines[1], "     WARNING - Nofind Mann-Whitney");
}

TEST(LookupWarnings, TableFileNamesMatchWithoutRegardToLetterCase) {
    const fs::path dir = folderWithTables("case_tables");
    fs::rename(dir / "Crit_t.dbf", dir / "CRIT_T.DBF");
    fs::rename(dir / "POWERT.dbf", dir / "powert.dbf");
    const auto tables = StatTables::load(dir.string());
    EXPECT_TRUE(tables->unreadableFiles().empty());
    CollectingSink sink;
    Lookup lookup(tables, sink);
    EXPECT_DOUBLE_EQ(lookup.lookupValue(0.05, 12.0, "T1"), 2.179);
    EXPECT_DOUBLE_EQ(lookup.lookupValue(1.5, std::string(), "P1"), 93.32);
}

TEST(LookupSharing, WindowsOnOtherThreadsShareOneSetOfTables) {
    const auto tables = StatTables::load(programFolder());
    std::vector<double> results(4, 0.0);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&tables, &results, i] {
            CollectingSink sink;
            Lookup lookup(tables, sink);
            double sum = 0;
            for (int n = 0; n < 200; ++n) {
                sum += lookup.lookupValue(20, static_cast<double>(n % 20 + 1), "R1");
            }
            results[i] = sum;
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (double r : results) {
        EXPECT_NEAR(r, 0.0, 1e-9);  // each full row of rankits sums to 0
    }
}

}  // namespace
}  // namespace bx::test
