// SPDX-License-Identifier: MIT
// The tables the build generates into the program folder, checked against published figures
// and against an independent computation (an exact distribution, scipy when it is installed). That
// the table layer writes dBASE III that an independent reader reads is checked in
// dbf_table_test.cpp.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "base/text_format.h"
#include "datafiles/sample_record.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"
#include "statistics/p_value.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// A generated table read through the access layer: rows in file order, field texts by name.
struct Loaded {
    std::vector<std::map<std::string, std::string>> rows;
    const std::map<std::string, std::string>& row(const std::string& keyField,
                                                  const std::string& key) const {
        for (const auto& r : rows) {
            if (r.at(keyField) == key) {
                return r;
            }
        }
        ADD_FAILURE() << "no row " << keyField << " = " << key;
        static const std::map<std::string, std::string> none;
        return none;
    }
};

Loaded load(const std::string& fileName) {
    Loaded loaded;
    DbfTable t;
    const TableError e = t.open(programFolder(), fileName, DbfOpenMode::ReadOnly);
    EXPECT_FALSE(e) << e.description;
    for (TableError m = t.moveFirst(); !m && !t.eof(); m = t.moveNext()) {
        std::map<std::string, std::string> row;
        for (const DbfField& f : t.fields()) {
            row[f.name] = t.fieldText(f.name);
        }
        loaded.rows.push_back(std::move(row));
    }
    return loaded;
}

double num(const std::map<std::string, std::string>& row, const std::string& field) {
    return leadingNumber(row.at(field));
}

// ---- Published values -------------------------------------------------------------------

// Published figures and independently worked values not checked elsewhere (every critical t
// is compared with scipy and every critical U with the exact distribution below; the values the
// analysis reads are checked through the lookups in table_lookup_test.cpp), each compared as
// the exact text the table holds.
TEST(GeneratedTables, PublishedValues) {
    const struct {
        const char* file;
        const char* keyField;
        const char* key;
        const char* field;
        const char* text;
    } kValues[] = {
        // Shapiro and Wilk (1965), Table 5.
        {"CRIT_W1.dbf", "I", "1", "N2", "0.7071"},
        {"CRIT_W1.dbf", "I", "1", "N10", "0.5739"},
        {"CRIT_W1.dbf", "I", "2", "N19", "0.3232"},
        {"CRIT_W1.dbf", "I", "10", "N20", "0.0140"},
        // Shapiro and Wilk (1965), Table 6.
        {"crit_w.dbf", "N", "3", "A0_01", "0.753"},
        {"crit_w.dbf", "N", "10", "A0_05", "0.842"},
        {"crit_w.dbf", "N", "20", "A0_10", "0.920"},
        {"crit_w.dbf", "N", "20", "A0_50", "0.959"},
        // E(i, N) from scipy.integrate.quad of the order-statistic density, 5 decimals.
        {"RANKIT.dbf", "N", "5", "RANK3", "0.00000"},
        {"RANKIT.dbf", "N", "5", "RANK6", ""},         // empty beyond N
        {"RANKIT.dbf", "N", "2", "RANK2", "0.56419"},  // 1 / sqrt(pi)
        {"RANKIT.dbf", "N", "7", "RANK3", "-0.35271"},
        {"RANKIT.dbf", "N", "10", "RANK6", "0.12267"},
        {"RANKIT.dbf", "N", "20", "RANK20", "1.86748"},
        // 100 * scipy.stats.norm.cdf(z), rounded to 2 decimals.
        {"POWERT.dbf", "Z", "0.00", "PCT", "50.00"},
        {"POWERT.dbf", "Z", "1.96", "PCT", "97.50"},
        {"POWERT.dbf", "Z", "3.25", "PCT", "99.94"},
    };
    std::map<std::string, Loaded> tables;
    for (const auto& v : kValues) {
        if (tables.count(v.file) == 0) {
            tables[v.file] = load(v.file);
        }
        EXPECT_EQ(tables[v.file].row(v.keyField, v.key).at(v.field), v.text)
            << v.file << " " << v.keyField << " = " << v.key << ": " << v.field;
    }
}

TEST(GeneratedCritT, EveryValueAgreesWithScipy) {
    const fs::path dir = freshScratch("scipy_t");
    if (!pythonHas(dir, "scipy.stats")) {
        GTEST_SKIP() << "python3-scipy not installed";
    }
    writeBytes(dir / "t.py",
               "from scipy import stats\n"
               "for df in range(1, 101):\n"
               "    print(' '.join('%.6f' % stats.t.isf(a / 2, df) "
               "for a in (0.25, 0.20, 0.10, 0.05)))\n");
    std::string output;
    ASSERT_EQ(runPython(dir / "t.py", "", output), 0) << output;
    const Loaded t = load("Crit_t.dbf");
    std::istringstream in(output);
    for (int df = 1; df <= 100; ++df) {
        for (const char* field : {"A0_25", "A0_20", "A0_10", "A0_05"}) {
            double expected = 0;
            in >> expected;
            // Rounded to 3 decimals: within half a unit of the last place (plus slack).
            EXPECT_NEAR(num(t.rows[static_cast<std::size_t>(df - 1)], field), expected, 0.00051)
                << "DF " << df << " " << field;
        }
    }
}

// ---- CRIT_U ----------------------------------------------------------------------------

// Critical U at `alpha`: the smallest u with P(U >= u) <= alpha under the exact null
// distribution of statistics/p_value.h (a recursion of its own, checked against every
// arrangement counted in p_value_test.cpp), a * b + 1 when no U qualifies. Independent of the
// generator's recursion.
int criticalU(int a, int b, double alpha) {
    int c = a * b + 1;
    while (c > 0 && mannWhitneyUpperTail(c - 1, a, b) <= alpha + 1e-12) {
        --c;
    }
    return c;
}

TEST(GeneratedCritU, EveryKeyAgreesWithTheExactDistribution) {
    const Loaded t = load("CRIT_U.dbf");
    for (int a = 1; a <= 10; ++a) {
        for (int b = 1; b <= a; ++b) {
            const std::string key = std::to_string(a) + "," + std::to_string(b);
            const auto& row = t.row("N1N2", key);
            EXPECT_EQ(num(row, "A0_10"), criticalU(a, b, 0.10)) << key;
            EXPECT_EQ(num(row, "A0_05"), criticalU(a, b, 0.05)) << key;
        }
    }
}

// ---- Keys and templates ------------------------------------------------------------------

// The power keys are the "######0.00" texts of -3.25 to 3.25 in steps of 0.01, in order (the
// lookup finds a z by its text).
TEST(GeneratedTables, PowerKeysInOrder) {
    const Loaded p = load("POWERT.dbf");
    ASSERT_EQ(p.rows.size(), 651U);
    for (std::size_t k = 0; k < p.rows.size(); ++k) {
        const double z = (static_cast<double>(k) - 325.0) / 100.0;
        ASSERT_EQ(p.rows[k].at("Z"), formatNumber(z, "######0.00"));
    }
}

// A field name used twice in a record would hide the second field from every lookup by name.
template <std::size_t N>
bool namesUnique(const std::array<RecordField, N>& record) {
    std::vector<std::string_view> names;
    for (const RecordField& f : record) {
        names.push_back(f.name);
    }
    std::sort(names.begin(), names.end());
    return std::adjacent_find(names.begin(), names.end()) == names.end();
}

TEST(GeneratedTemplates, FieldNamesAreUnique) {
    EXPECT_TRUE(namesUnique(kSampleRecordFields));
    EXPECT_TRUE(namesUnique(kReportRecordFields));
    EXPECT_TRUE(namesUnique(kSummaryRecordFields));
}

}  // namespace
}  // namespace bx::test
