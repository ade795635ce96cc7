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

// The column rules and edge cases of each code, one lookup a row: {alpha (the sample size for
// W1 and R1, z for P1), search value, code, value, the warning it posts or none}. Values are
// the published figures of generated_tables_test.cpp, and scipy t.isf(0.1, 4) = 1.5332 and
// t.isf(0.125, 4) = 1.3444 for the 0.2 and 0.25 columns.
TEST(Lookup, ColumnRulesKeysAndWarnings) {
    const auto shared = StatTables::load(programFolder());
    EXPECT_TRUE(shared->unreadableFiles().empty());
    const std::string t1 = "     WARNING - Nofind T1";
    const std::string mw = "     WARNING - Nofind Mann-Whitney";
    const std::string none;
    const struct {
        double alpha;
        SearchValue search;
        const char* code;
        double value;
        std::string warning;
    } kCases[] = {
        {0.05, 12.0, "T1", 2.179, none},
        {0.1, 4.0, "T1", 2.132, none},
        {0.2, 4.0, "T1", 1.533, none},
        {0.25, 4.0, "T1", 1.344, none},
        // An unknown level or code gives 9999 without a warning; levels match exactly.
        {0.03, 12.0, "T1", kNotFound, none},
        {0.5, 10.0, "W2", kNotFound, none},  // A0_50 exists but no level reads it
        {0.025, std::string("3,3"), "M1", kNotFound, none},
        {0.1 + 1e-12, 12.0, "T1", kNotFound, none},
        {0.05, 12.0, "T2", kNotFound, none},
        {0.05, 12.0, "", kNotFound, none},
        {0.05, 12.0, "t1", kNotFound, none},
        // The key is the whole-number text.
        {0.05, 101.0, "T1", kNotFound, t1},
        {0.05, 0.0, "T1", kNotFound, t1},  // "##" writes 0 as the empty key
        {0.05, 11.6, "T1", 2.179, none},   // rounds to DF 12
        {0.05, std::string("12"), "T1", 2.179, none},
        {0.05, std::string(" 12.0"), "T1", 2.179, none},
        {0.05, std::string("twelve"), "T1", kNotFound, t1},
        // Shapiro-Wilk coefficients: row I, field N<sample size>.
        {10, 3.0, "W1", 0.2141, none},
        {19, 2.0, "W1", 0.3232, none},
        {3, 2.0, "W1", 0.0, none},  // I above N/2
        {0, 1.0, "W1", 0.0, none},  // sample sizes outside 2 to 20
        {-3, 1.0, "W1", 0.0, none},
        {21, 1.0, "W1", 0.0, none},
        {1, 1.0, "W1", kNotFound, none},  // there is no field N1
        // The row is searched first: a missing row warns whatever the sample size.
        {21, 11.0, "W1", kNotFound, "     WARNING - Nofind W1, I = '11',  21"},
        {0.02, 20.0, "W2", 0.884, none},
        {0.05, 2.0, "W2", kNotFound, "     WARNING - Nofind W2"},
        // Mann-Whitney keys are used as given: the larger size first.
        {0.1, std::string("3,3"), "M1", 8.0, none},
        {0.05, std::string("10,10"), "M1", 73.0, none},
        {0.05, std::string("3,5"), "M1", kNotFound, mw},
        {0.05, std::string("11,3"), "M1", kNotFound, mw},
        // Rankits: row N, field RANK<rank>.
        {7, 7.0, "R1", 1.35218, none},
        {5, 1.0, "R1", -1.16296, none},
        {5, 3.0, "R1", 0.0, none},
        {7, 21.0, "R1", kNotFound, none},
        {7, 0.0, "R1", kNotFound, none},
        {7, 20.6, "R1", kNotFound, none},  // rounds to rank 21: no such field
        {5, 6.0, "R1", 0.0, none},         // a blank field beyond N reads as 0
        {21, 1.0, "R1", kNotFound, "     WARNING - Nofind Rankits lookup"},
        // Power: z rounded half away from zero to two decimals; the search value is unused.
        {1.5, std::string(), "P1", 93.32, none},
        {-0.027, std::string(), "P1", 48.80, none},
        {-0.025, std::string(), "P1", 48.80, none},
        {-0.001, std::string(), "P1", 50.0, none},  // "0.00", no minus sign
        {-3.25, std::string(), "P1", 0.06, none},
        {0.436, 12.0, "P1", 67.0, none},  // 100 * scipy.stats.norm.cdf(0.44) = 67.003
        {3.26, std::string(), "P1", 0.0,
         "     WARNING - Z Power 3.26 Table Lookup Error.  Power Not reliable."},
        {-4, std::string(), "P1", 0.0,
         "     WARNING - Z Power -4.00 Table Lookup Error.  Power Not reliable."},
    };
    for (const auto& c : kCases) {
        CollectingSink sink;
        Lookup lookup(shared, sink);
        EXPECT_DOUBLE_EQ(lookup.lookupValue(c.alpha, c.search, c.code), c.value)
            << c.code << " " << c.alpha;
        EXPECT_EQ(sink.lines, c.warning.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{c.warning})
            << c.code << " " << c.alpha;
    }
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
