// SPDX-License-Identifier: MIT
// The typed columns of benthix-cli batch, its JSON lines and the adjusted p-values.
//
// Expected values: S1 = 10,11,12 against REF = 14,15,16 (scipy 1.10 stats.ttest_ind:
// t = -4.898979 (4.898979 in the direction of "x1 < x2"), alternative='less' p = 0.0040249466);
// critical t of df 4 at the two-sided 0.10 column 2.132; difference 11 - 15 = -4, 73.333 % of
// the reference; MSD = 2.132 * sqrt(2/3) = 1.740771, 11.605 % of 15.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

#include "cli/batch_command.h"
#include "cli/cli_fixture.h"
#include "cli/exit_status.h"
#include "survey/csv.h"

namespace bx::cli {
namespace {

using test::runInProcess;

const std::string kSurvey =
    "sample,value\nS1,10\nS1,11\nS1,12\nREF,14\nREF,15\nREF,16\nW,12abc\nW,13\nW,14\nX,1\n";

TEST(BatchTypedColumns, NumbersAsPlainNumbersAndStatusSaysWhat) {
    const auto r =
        runInProcess("batch-typed", {"batch", "-", "--reference", "REF", "--lenient"}, kSurvey);
    EXPECT_EQ(r.status, kExitRefused);  // X has one value
    const CsvDocument doc = parseCsv(r.out);
    ASSERT_EQ(doc.records.size(), 4U);
    const std::vector<std::string>& header = doc.records[0].fields;
    ASSERT_EQ(header.size(), 49U);
    const auto column = [&](std::size_t row, const std::string& name) {
        const auto at = std::find(header.begin(), header.end(), name) - header.begin();
        return doc.records[row].fields.at(static_cast<std::size_t>(at));
    };
    EXPECT_EQ(column(1, "STATUS"), "ok");
    EXPECT_EQ(column(1, "TEST"), "student_t");
    EXPECT_NEAR(std::stod(column(1, "STATISTIC")), 4.898979485566356, 1e-12);
    EXPECT_EQ(column(1, "CRITICAL"), "2.132");
    EXPECT_EQ(column(1, "DF"), "4");
    EXPECT_EQ(column(1, "ALPHA"), "0.05");
    EXPECT_EQ(column(1, "ALTERNATIVE"), "less");
    EXPECT_EQ(column(1, "TRANSFORMATION"), "none");
    EXPECT_NEAR(std::stod(column(1, "P_VALUE")), 0.00402494655041886, 1e-12);
    EXPECT_EQ(column(1, "REJECT_NULL"), "TRUE");
    EXPECT_EQ(column(1, "DIFFERENCE"), "-4");
    EXPECT_NEAR(std::stod(column(1, "PERCENT_OF_REF")), 73.33333333333333, 1e-12);
    EXPECT_NEAR(std::stod(column(1, "MSD")), 1.740770710537912, 1e-12);
    EXPECT_NEAR(std::stod(column(1, "PMSD")), 11.605138070252746, 1e-12);
    EXPECT_EQ(column(1, "POWER_FRACTION"), "");
    // Each sample's summary: 10, 11, 12 has SD 1, SE 1/sqrt(3), CV 100/11 %; 14, 15, 16 CV 100/15
    // %.
    EXPECT_EQ(column(1, "TEST_N"), "3");
    EXPECT_EQ(column(1, "TEST_MEAN"), "11");
    EXPECT_NEAR(std::stod(column(1, "TEST_SE")), 0.5773502691896258, 1e-15);
    EXPECT_NEAR(std::stod(column(1, "TEST_CV")), 9.090909090909092, 1e-13);
    EXPECT_NEAR(std::stod(column(1, "REF_CV")), 6.666666666666667, 1e-13);
    EXPECT_EQ(column(1, "REF_T_MEAN"), "15");
    EXPECT_EQ(column(3, "TEST_N"), "");
    EXPECT_EQ(
        column(2, "STATUS"),
        "warning: Test sample (x1), row 1: \"12abc\" is not wholly a number; it is read as 12.");
    EXPECT_EQ(column(3, "STATUS"), "refused: Sample Data entry incomplete.");
    EXPECT_EQ(column(3, "TEST"), "");
    EXPECT_EQ(column(3, "ALPHA"), "0.05");
}

// Holm by hand: p = 0.01, 0.04, NaN, 0.03 (m = 3): sorted 0.01, 0.03, 0.04 times 3, 2, 1 gives
// 0.03, 0.06, 0.04 -> non-decreasing 0.03, 0.06, 0.06. Bonferroni: 0.03, 0.12, 0.09; capped at 1.
TEST(BatchPAdjust, HolmAndBonferroniByHand) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> p{0.01, 0.04, nan, 0.03};
    const std::vector<double> holm = adjustPValues(p, PAdjust::Holm);
    EXPECT_DOUBLE_EQ(holm[0], 0.03);
    EXPECT_DOUBLE_EQ(holm[1], 0.06);
    EXPECT_TRUE(std::isnan(holm[2]));
    EXPECT_DOUBLE_EQ(holm[3], 0.06);
    const std::vector<double> bonferroni =
        adjustPValues({0.01, 0.04, nan, 0.5}, PAdjust::Bonferroni);
    EXPECT_DOUBLE_EQ(bonferroni[0], 0.03);
    EXPECT_DOUBLE_EQ(bonferroni[1], 0.12);
    EXPECT_DOUBLE_EQ(bonferroni[3], 1.0);
}

TEST(BatchPAdjust, AddsAColumnAndAJsonKey) {
    const auto csv = runInProcess(
        "batch-padjust", {"batch", "-", "--reference", "REF", "--p-adjust", "holm", "--lenient"},
        kSurvey);
    const CsvDocument doc = parseCsv(csv.out);
    ASSERT_EQ(doc.records.size(), 4U);
    const auto last = [&](std::size_t row, std::size_t back) {
        const std::vector<std::string>& f = doc.records[row].fields;
        return f.at(f.size() - 1 - back);
    };
    EXPECT_EQ(last(0, 1), "P_ADJUSTED");
    EXPECT_EQ(last(0, 0), "REJECT_NULL_ADJUSTED");
    // Two p-values: the smaller is doubled, and stays below alpha.
    EXPECT_NEAR(std::stod(last(1, 1)), 2 * 0.00402494655041886, 1e-12);
    EXPECT_EQ(last(1, 0), "TRUE");
    EXPECT_EQ(last(3, 1), "");
    EXPECT_EQ(last(3, 0), "");
    const auto jsonl = runInProcess("batch-jsonl",
                                    {"batch", "-", "--reference", "REF", "--format", "jsonl",
                                     "--p-adjust", "bonferroni", "--lenient"},
                                    kSurvey);
    std::vector<nlohmann::json> rows;
    std::size_t start = 0;
    while (start < jsonl.out.size()) {
        const std::size_t end = jsonl.out.find('\n', start);
        rows.push_back(nlohmann::json::parse(jsonl.out.substr(start, end - start)));
        start = end + 1;
    }
    ASSERT_EQ(rows.size(), 3U);  // no header line
    EXPECT_EQ(rows[0]["sample"], "S1");
    EXPECT_EQ(rows[0]["test"], "student_t");
    EXPECT_EQ(rows[0]["reference"], "REF");
    EXPECT_NEAR(rows[0]["p_adjusted"].get<double>(), 2 * 0.00402494655041886, 1e-12);
    EXPECT_EQ(rows[0]["reject_null_adjusted"], true);
    EXPECT_EQ(rows[1]["warnings"][0]["code"], "partial_number");
    EXPECT_EQ(rows[2]["refused"]["code"], "too_few_test_values");
    EXPECT_TRUE(rows[2]["p_adjusted"].is_null());
}

}  // namespace
}  // namespace bx::cli
