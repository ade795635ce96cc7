// The tables the build generates into the program folder, checked against published
// figures, against an independent computation (brute-force enumeration, scipy when it is
// installed), and read back by an independent dBASE reader (dbfread).

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <sstream>

#include "base/text_format.h"
#include "datafiles/sample_record.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// A generated table read through the access layer: rows in file order, field texts by name.
struct Loaded {
    std::vector<DbfField> fields;
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
    loaded.fields = t.fields();
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

std::vector<std::string> fieldNames(const Loaded& t) {
    std::vector<std::string> names;
    for (const DbfField& f : t.fields) {
        names.push_back(f.name);
    }
    return names;
}

// ---- Crit_t ----------------------------------------------------------------------------

// Published figures and independently worked values, each compared as the exact text the
// table holds: {file, key field, key, field, text}.
struct Published {
    const char* file;
    const char* keyField;
    const char* key;
    const char* field;
    const char* text;
};

TEST(GeneratedTables, PublishedValues) {
    const Published kValues[] = {
        // Upper alpha/2 t quantiles as printed tables give them (3 decimals), from
        // scipy.stats.t.isf(alpha / 2, df), rounded.
        {"Crit_t.dbf", "DF", "4", "A0_10", "2.132"},
        {"Crit_t.dbf", "DF", "12", "A0_05", "2.179"},
        {"Crit_t.dbf", "DF", "1", "A0_05", "12.706"},
        {"Crit_t.dbf", "DF", "1", "A0_25", "2.414"},  // tan(3 pi / 8) = 1 + sqrt(2)
        {"Crit_t.dbf", "DF", "7", "A0_10", "1.895"},
        {"Crit_t.dbf", "DF", "30", "A0_25", "1.173"},
        {"Crit_t.dbf", "DF", "30", "A0_20", "1.310"},
        {"Crit_t.dbf", "DF", "100", "A0_05", "1.984"},
        // "3,3": 20 arrangements, P(U >= 9) = 1/20, P(U >= 8) = 2/20 (worked by hand).
        {"CRIT_U.dbf", "N1N2", "3,3", "A0_10", "8"},
        {"CRIT_U.dbf", "N1N2", "3,3", "A0_05", "9"},
        // Published one-sided lower critical values: U <= 4 for 5,5 and U <= 27 for 10,10 at
        // 0.05, U <= 32 for 10,10 at 0.10; the upper ones are n1*n2 minus these.
        {"CRIT_U.dbf", "N1N2", "5,5", "A0_05", "21"},
        {"CRIT_U.dbf", "N1N2", "10,10", "A0_05", "73"},
        {"CRIT_U.dbf", "N1N2", "10,10", "A0_10", "68"},
        // Too small to reject at any level: a*b + 1, which U cannot reach.
        {"CRIT_U.dbf", "N1N2", "1,1", "A0_10", "2"},
        {"CRIT_U.dbf", "N1N2", "2,2", "A0_05", "5"},
        // Shapiro and Wilk (1965), Table 5.
        {"CRIT_W1.dbf", "I", "1", "N2", "0.7071"},
        {"CRIT_W1.dbf", "I", "1", "N10", "0.5739"},
        {"CRIT_W1.dbf", "I", "3", "N10", "0.2141"},
        {"CRIT_W1.dbf", "I", "2", "N19", "0.3232"},
        {"CRIT_W1.dbf", "I", "10", "N20", "0.0140"},
        // Shapiro and Wilk (1965), Table 6.
        {"crit_w.dbf", "N", "3", "A0_01", "0.753"},
        {"crit_w.dbf", "N", "10", "A0_05", "0.842"},
        {"crit_w.dbf", "N", "20", "A0_10", "0.920"},
        {"crit_w.dbf", "N", "20", "A0_50", "0.959"},
        // E(i, N) from scipy.integrate.quad of the order-statistic density, 5 decimals.
        {"RANKIT.dbf", "N", "5", "RANK1", "-1.16296"},
        {"RANKIT.dbf", "N", "5", "RANK2", "-0.49502"},
        {"RANKIT.dbf", "N", "5", "RANK3", "0.00000"},
        {"RANKIT.dbf", "N", "5", "RANK4", "0.49502"},
        {"RANKIT.dbf", "N", "5", "RANK5", "1.16296"},
        {"RANKIT.dbf", "N", "5", "RANK6", ""},  // empty beyond N
        {"RANKIT.dbf", "N", "1", "RANK1", "0.00000"},
        {"RANKIT.dbf", "N", "2", "RANK2", "0.56419"},  // 1 / sqrt(pi)
        {"RANKIT.dbf", "N", "7", "RANK1", "-1.35218"},
        {"RANKIT.dbf", "N", "7", "RANK3", "-0.35271"},
        {"RANKIT.dbf", "N", "10", "RANK10", "1.53875"},
        {"RANKIT.dbf", "N", "10", "RANK6", "0.12267"},
        {"RANKIT.dbf", "N", "20", "RANK20", "1.86748"},
        {"RANKIT.dbf", "N", "20", "RANK11", "0.06200"},
        // 100 * scipy.stats.norm.cdf(z), rounded to 2 decimals.
        {"POWERT.dbf", "Z", "1.50", "PCT", "93.32"},
        {"POWERT.dbf", "Z", "-0.03", "PCT", "48.80"},
        {"POWERT.dbf", "Z", "0.00", "PCT", "50.00"},
        {"POWERT.dbf", "Z", "1.96", "PCT", "97.50"},
        {"POWERT.dbf", "Z", "-1.64", "PCT", "5.05"},
        {"POWERT.dbf", "Z", "-3.25", "PCT", "0.06"},
        {"POWERT.dbf", "Z", "3.25", "PCT", "99.94"},
    };
    std::map<std::string, Loaded> tables;
    for (const Published& v : kValues) {
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

// Critical U by brute force: every way of choosing which a of the a + b ranked positions
// belong to the first sample, U = pairs in which the first sample's value is the larger.
// Independent of the generator's recursion.
std::pair<int, int> bruteForceCriticalU(int a, int b) {
    const int n = a + b;
    std::vector<unsigned long long> counts(static_cast<std::size_t>(a * b + 1), 0);
    unsigned long long total = 0;
    for (unsigned mask = 0; mask < (1U << static_cast<unsigned>(n)); ++mask) {
        if (std::popcount(mask) != a) {
            continue;
        }
        int u = 0;
        int secondBelow = 0;  // second-sample values below the current position
        for (int pos = 0; pos < n; ++pos) {
            if ((mask >> static_cast<unsigned>(pos)) & 1U) {
                u += secondBelow;
            } else {
                ++secondBelow;
            }
        }
        ++counts[static_cast<std::size_t>(u)];
        ++total;
    }
    const auto critical = [&](double alpha) {
        int c = a * b + 1;
        unsigned long long tail = 0;
        for (int u = a * b; u >= 0; --u) {
            tail += counts[static_cast<std::size_t>(u)];
            if (static_cast<double>(tail) / static_cast<double>(total) > alpha + 1e-12) {
                break;
            }
            c = u;
        }
        return c;
    };
    return {critical(0.10), critical(0.05)};
}

TEST(GeneratedCritU, EveryKeyAgreesWithBruteForceEnumeration) {
    const Loaded t = load("CRIT_U.dbf");
    EXPECT_EQ(fieldNames(t), (std::vector<std::string>{"N1N2", "A0_10", "A0_05"}));
    for (int a = 1; a <= 10; ++a) {
        for (int b = 1; b <= a; ++b) {
            const std::string key = std::to_string(a) + "," + std::to_string(b);
            const auto [c10, c05] = bruteForceCriticalU(a, b);
            const auto& row = t.row("N1N2", key);
            EXPECT_EQ(num(row, "A0_10"), c10) << key;
            EXPECT_EQ(num(row, "A0_05"), c05) << key;
        }
    }
}

// ---- Layouts ---------------------------------------------------------------------------

TEST(GeneratedTables, FieldNamesAndKeys) {
    const Loaded crit = load("Crit_t.dbf");
    EXPECT_EQ(fieldNames(crit),
              (std::vector<std::string>{"DF", "A0_25", "A0_20", "A0_10", "A0_05"}));
    EXPECT_EQ(crit.fields[0].type, 'C');
    EXPECT_EQ(crit.fields[1].type, 'N');
    EXPECT_EQ(fieldNames(load("crit_w.dbf")),
              (std::vector<std::string>{"N", "A0_01", "A0_02", "A0_05", "A0_10", "A0_50"}));
    const Loaded w1 = load("CRIT_W1.dbf");
    EXPECT_EQ(w1.fields[19].name, "N20");
    // Shapiro-Wilk coefficients are zero where I is above N/2.
    EXPECT_EQ(num(w1.row("I", "2"), "N3"), 0.0);
    EXPECT_EQ(num(w1.row("I", "6"), "N11"), 0.0);
    const Loaded p = load("POWERT.dbf");
    EXPECT_EQ(fieldNames(p), (std::vector<std::string>{"Z", "PCT"}));
    // Keys are the "######0.00" texts of -3.25 to 3.25 in steps of 0.01, in order.
    ASSERT_EQ(p.rows.size(), 651U);
    for (std::size_t k = 0; k < p.rows.size(); ++k) {
        const double z = (static_cast<double>(k) - 325.0) / 100.0;
        ASSERT_EQ(p.rows[k].at("Z"), formatNumber(z, "######0.00"));
    }
}

// ---- Templates -------------------------------------------------------------------------

template <std::size_t N>
void expectTemplate(const std::string& file, const std::array<RecordField, N>& record,
                    std::size_t rows) {
    const Loaded t = load(file);
    ASSERT_EQ(t.fields.size(), N) << file;
    int recordLength = 1;
    for (std::size_t i = 0; i < N; ++i) {
        EXPECT_EQ(t.fields[i].name, record[i].name) << file;
        EXPECT_EQ(t.fields[i].type, 'C') << file;
        EXPECT_EQ(t.fields[i].width, record[i].width) << file;
        recordLength += t.fields[i].width;
    }
    EXPECT_LE(recordLength, 4000) << file << ": dBASE III's record limit";
    // A name used twice would hide the second field from every lookup by name.
    std::vector<std::string_view> names;
    for (const RecordField& f : record) {
        names.push_back(f.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << file;
    ASSERT_EQ(t.rows.size(), rows) << file;
    for (const auto& row : t.rows) {
        for (const auto& [name, value] : row) {
            EXPECT_EQ(value, "") << file << " " << name;
        }
    }
}

TEST(GeneratedTemplates, FieldsInRecordOrderAndTheirRows) {
    expectTemplate("stat.dbf", kSampleRecordFields, 10);
    expectTemplate("sslog.dbf", kReportRecordFields, 0);
    expectTemplate("result.dbf", kReportRecordFields, 0);
    expectTemplate("sslogsum.dbf", kSummaryRecordFields, 0);
}

// ---- An independent reader -------------------------------------------------------------

TEST(GeneratedFiles, DbfreadReadsEveryFileAsDbaseIII) {
    const fs::path dir = freshScratch("dbfread");
    if (!pythonHas(dir, "dbfread")) {
        GTEST_SKIP() << "python3-dbfread not installed";
    }
    writeBytes(dir / "read.py",
               "import sys, os\n"
               "from dbfread import DBF\n"
               "folder = sys.argv[1]\n"
               "for name in ['Crit_t', 'CRIT_U', 'crit_w', 'CRIT_W1', 'RANKIT', 'POWERT',\n"
               "             'stat', 'sslog', 'result', 'sslogsum']:\n"
               "    t = DBF(os.path.join(folder, name + '.dbf'), encoding='utf-8')\n"
               "    rows = list(t)\n"
               "    print(name, hex(t.header.dbversion), len(t.fields), len(rows))\n"
               "t = {r['DF']: r for r in DBF(os.path.join(folder, 'Crit_t.dbf'))}\n"
               "print(t['4']['A0_10'], t['12']['A0_05'])\n"
               "u = {r['N1N2']: r for r in DBF(os.path.join(folder, 'CRIT_U.dbf'))}\n"
               "print(u['3,3']['A0_10'], u['3,3']['A0_05'], u['5,5']['A0_05'])\n"
               "p = {r['Z']: r for r in DBF(os.path.join(folder, 'POWERT.dbf'))}\n"
               "print(p['1.50']['PCT'], p['-0.03']['PCT'])\n"
               "k = {r['N']: r for r in DBF(os.path.join(folder, 'RANKIT.dbf'))}\n"
               "print(k['5']['RANK1'], k['5']['RANK6'])\n");
    std::string output;
    ASSERT_EQ(runPython(dir / "read.py", "'" + programFolder() + "'", output), 0) << output;
    EXPECT_EQ(output,
              "Crit_t 0x3 5 100\n"
              "CRIT_U 0x3 3 55\n"
              "crit_w 0x3 6 18\n"
              "CRIT_W1 0x3 20 10\n"
              "RANKIT 0x3 21 20\n"
              "POWERT 0x3 2 651\n"
              "stat 0x3 11 10\n"
              "sslog 0x3 56 0\n"
              "result 0x3 56 0\n"
              "sslogsum 0x3 20 0\n"
              "2.132 2.179\n"
              "8 9 21\n"
              "93.32 48.8\n"
              "-1.16296 None\n");
}

}  // namespace
}  // namespace bx::test
