// SPDX-License-Identifier: MIT
// The tables as the analysis reads them: the typed answers of the generated tables, the
// stand-in values and the warnings for what they lack, word for word. Expected table values
// are the published figures checked in generated_tables_test.cpp; scipy t.isf(0.1, 4) =
// 1.5332 and t.isf(0.125, 4) = 1.3444 for the 0.2 and 0.25 columns.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "statistics/table_lookup.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/stat_tables.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

using Read = std::function<double(TableLookup&)>;

// One read a row: the value it gives and the warning it adds, if any.
TEST(TableLookup, ValuesKeysAndWarnings) {
    const std::string none;
    const struct {
        const char* what;
        Read read;
        double value;
        std::string warning;
    } kCases[] = {
        {"t df 12 at 0.05", [](TableLookup& t) { return t.criticalT(0.05, 12); }, 2.179, none},
        {"t df 4 at 0.2", [](TableLookup& t) { return t.criticalT(0.2, 4); }, 1.533, none},
        {"t df 4 at 0.25", [](TableLookup& t) { return t.criticalT(0.25, 4); }, 1.344, none},
        // A level without a column gives 9999 silently; levels match exactly.
        {"t at 0.03", [](TableLookup& t) { return t.criticalT(0.03, 12); }, kNotFound, none},
        {"t at 0.1+", [](TableLookup& t) { return t.criticalT(0.1 + 1e-12, 12); }, kNotFound, none},
        {"W at 0.5", [](TableLookup& t) { return t.criticalW(0.5, 10); }, kNotFound, none},
        // A key without a row: 9999 and the warning. "##" writes 0 as the empty key.
        {"t df 101", [](TableLookup& t) { return t.criticalT(0.05, 101); }, kNotFound,
         "     WARNING - Nofind T1"},
        {"t df 0", [](TableLookup& t) { return t.criticalT(0.05, 0); }, kNotFound,
         "     WARNING - Nofind T1"},
        // Shapiro-Wilk coefficients: row I, field N<sample size>; blank beyond N/2 reads 0; the
        // warning names I and N apart.
        {"a(3) N 10", [](TableLookup& t) { return t.shapiroWilkCoefficient(10, 3); }, 0.2141, none},
        {"a(2) N 3", [](TableLookup& t) { return t.shapiroWilkCoefficient(3, 2); }, 0.0, none},
        {"a(11) N 20", [](TableLookup& t) { return t.shapiroWilkCoefficient(20, 11); }, kNotFound,
         "     WARNING - Nofind W1, I = '11',  20"},
        {"W N 20 at 0.02", [](TableLookup& t) { return t.criticalW(0.02, 20); }, 0.884, none},
        {"W N 2", [](TableLookup& t) { return t.criticalW(0.05, 2); }, kNotFound,
         "     WARNING - Nofind W2"},
        // U: the key is the larger size first, whatever the order asked.
        {"U 3,3 at 0.1", [](TableLookup& t) { return t.criticalU(0.1, 3, 3); }, 8.0, none},
        {"U 10,10", [](TableLookup& t) { return t.criticalU(0.05, 10, 10); }, 73.0, none},
        // "5,3" at 0.05: P(U >= 14) = P(U <= 1) = 2/56 <= 0.05 < P(U >= 13) = 4/56.
        {"U 3,5", [](TableLookup& t) { return t.criticalU(0.05, 3, 5); }, 14.0, none},
        {"U 11,3", [](TableLookup& t) { return t.criticalU(0.05, 11, 3); }, kNotFound,
         "     WARNING - Nofind Mann-Whitney"},
        // Rankits: row N, field RANK<rank>; blank fields beyond N read 0.
        {"rankit 7 of 7", [](TableLookup& t) { return t.rankit(7, 7); }, 1.35218, none},
        {"rankit 3 of 5", [](TableLookup& t) { return t.rankit(5, 3); }, 0.0, none},
        {"rankit 6 of 5", [](TableLookup& t) { return t.rankit(5, 6); }, 0.0, none},
        {"rankit of 21", [](TableLookup& t) { return t.rankit(21, 1); }, kNotFound,
         "     WARNING - Nofind Rankits lookup"},
        // Power: z rounded half away from zero to two decimals.
        {"power 1.5", [](TableLookup& t) { return t.powerPercent(1.5); }, 93.32, none},
        {"power -0.025", [](TableLookup& t) { return t.powerPercent(-0.025); }, 48.80, none},
        {"power -0.001", [](TableLookup& t) { return t.powerPercent(-0.001); }, 50.0, none},
        {"power -3.25", [](TableLookup& t) { return t.powerPercent(-3.25); }, 0.06, none},
        {"power 3.26", [](TableLookup& t) { return t.powerPercent(3.26); }, 0.0,
         "     WARNING - Z Power 3.26 Table Lookup Error.  Power Not reliable."},
        {"power -4", [](TableLookup& t) { return t.powerPercent(-4); }, 0.0,
         "     WARNING - Z Power -4.00 Table Lookup Error.  Power Not reliable."},
    };
    for (const auto& c : kCases) {
        Notes notes;
        TableLookup lookup(generatedTables(), notes);
        EXPECT_DOUBLE_EQ(c.read(lookup), c.value) << c.what;
        ASSERT_EQ(notes.size(), c.warning.empty() ? 0U : 1U) << c.what;
        if (!c.warning.empty()) {
            EXPECT_EQ(notes[0].text, c.warning) << c.what;
            EXPECT_TRUE(isWarning(notes[0].code)) << c.what;
        }
    }
}

// Copies of the generated tables in a folder of their own.
fs::path folderWithTables(const std::string& name) {
    const fs::path dir = freshScratch(name);
    for (const char* file :
         {"Crit_t.dbf", "CRIT_U.dbf", "crit_w.dbf", "CRIT_W1.dbf", "RANKIT.dbf", "POWERT.dbf"}) {
        fs::copy_file(fs::path(programFolder()) / file, dir / file);
    }
    return dir;
}

TEST(TableLookupWarnings, MissingTableFilesAreReportedOncePerRunAndMissEveryRow) {
    const fs::path dir = freshScratch("no_tables");
    const auto tables = StatTables::load(dir.string());
    EXPECT_EQ(tables->unreadableFiles().size(), 6U);
    Notes notes;
    TableLookup lookup(*tables, notes);
    EXPECT_EQ(lookup.criticalT(0.05, 12), kNotFound);
    EXPECT_EQ(lookup.criticalT(0.05, 12), kNotFound);
    EXPECT_EQ(lookup.powerPercent(1.5), 0.0);
    std::vector<std::string> texts;
    for (const Note& n : notes) {
        texts.push_back(n.text.str());
    }
    const std::string critT = (dir / "Crit_t.dbf").string();
    const std::string powerT = (dir / "POWERT.dbf").string();
    EXPECT_EQ(
        texts,
        (std::vector<std::string>{
            "     WARNING - Table file Crit_t.dbf could not be read (File not found: " + critT +
                ").",
            "     WARNING - Nofind T1", "     WARNING - Nofind T1",
            "     WARNING - Table file POWERT.dbf could not be read (File not found: " + powerT +
                ").",
            "     WARNING - Z Power 1.50 Table Lookup Error.  Power Not reliable."}));
    EXPECT_EQ(notes[0].code, NoteCode::TableUnreadable);
}

TEST(TableLookupWarnings, DamagedOrIncompleteTableFilesAreUnreadable) {
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
    Notes notes;
    TableLookup lookup(*tables, notes);
    EXPECT_EQ(lookup.criticalU(0.1, 3, 3), kNotFound);
    EXPECT_DOUBLE_EQ(lookup.criticalT(0.05, 12), 2.179);  // the others still work
    ASSERT_EQ(notes.size(), 2U);
    EXPECT_EQ(notes[1].text, "     WARNING - Nofind Mann-Whitney");
}

TEST(TableSharing, AnalysesOnOtherThreadsShareOneSetOfTables) {
    const auto tables = StatTables::load(programFolder());
    std::vector<double> results(4, 0.0);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&tables, &results, i] {
            double sum = 0;
            for (int n = 0; n < 200; ++n) {
                sum += tables->rankit(20, n % 20 + 1).value_or(99.0);
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
