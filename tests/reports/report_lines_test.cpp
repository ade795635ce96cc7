// Every line of the comma-separated report for four kinds of run. The numbers were worked
// independently with numpy/scipy 1.10 (python3) from the replicates typed here, then written
// with the report's patterns ("##0.0##", "####0.000", whole numbers):
//   - means and SDs: numpy mean/std(ddof=1); Shapiro-Wilk residuals: x - mean of each sample,
//     pooled and sorted; SS = sum of squared residuals; b from the Shapiro-Wilk (1965)
//     coefficients for N = 10 (0.5739 0.3291 0.2141 0.1224 0.0399) and N = 20; W = b^2 / SS;
//   - Levene: scipy.stats.ttest_ind on |x - mean| (|t|), critical t.ppf(0.95, df);
//   - Student's t: scipy.stats.ttest_ind; one-sample: scipy.stats.ttest_1samp and
//     t.ppf(0.05, 3) = -2.353; Mann-Whitney U of the reference = n1 n2 - U(x1) with
//     scipy.stats.mannwhitneyu(x1, x2).statistic = 9;
//   - rankits: expected normal order statistics for N = 11 by numerical integration
//     (scipy.integrate.quad), ties averaged;
//   - power: z_beta = D df / (S F (df + 1.21 (1.645 - 1.06))) - 1.645 = 1.514, norm.cdf(1.51)
//     = 93.45 %.
// Displayed texts (the test panels) are compared as the report must copy them. Tolerance:
// exact text, i.e. the values agree to the shown digits.

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/options.h"
#include "reports/report_lines.h"
#include "reports/report_test_support.h"
#include "app/report_command.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

// Runs File > Report on the entered replicates into <scratch>/<name>.csv and returns its lines.
std::vector<std::string> reportLines(WindowFixture& f, const std::string& name) {
    f.desktop.fileAnswers.push_back(FileDialogAnswer{f.scratch.string(), "/", name});
    CreateReport(f.w());
    return test::crlfLines(test::readFileBytes(f.scratch / (name + ".csv")));
}

void expectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    }
}

// Lines 1 and 2 and the three header lines 36 to 38 are the same in every report of a
// project without quotes; lines 11, 12, 14, 31, 34 and 35 are empty.
const char* const kHeader36 = ",,,,Trans.,Levene's,Levene's,Mann-,,Shipiro-";
const char* const kHeader37 =
    "Replicate,Test,Trans.,Reference,Reference,Test,Reference,Whitney,,Wilk";
const char* const kHeader38 =
    "Number,Data,Test Data,Data,Data,Residuals,Residuals,Ranks,Rankits,Residuals";
const char* const kLine13 = "Shapiro-Wilk Results: ,,,Levene's Results: ,,,Test Results: ";

TEST(ReportLines, StudentsTRunWithFourAndSixReplicates) {
    WindowFixture f("report_student");
    test::enterReplicates(f.w(), {"10.2", "11.5", "9.8", "10.9"},
                          {"12.1", "11.8", "12.9", "13.2", "12.4", "11.6"});
    f.w().ui.txtProjectName.text = "Lake, north";  // a comma: the field is quoted
    f.w().ui.txtSampId.text = "S1";
    f.w().ui.txtSampAlias.text = "site \"A\"";  // quotes: quoted and doubled
    f.w().ui.txtRefId.text = "R1";
    f.w().ui.txtRefAlias.text = "µg/L";
    mnuPowerCalculation_Click(f.w());
    f.w().ui.txtDiff_levl.text = "1.5";

    expectLines(reportLines(f, "student"),
                {
                    ",Project Name: ,\"Lake, north\"",
                    "",
                    ",Sample: ,x1,,,,Ref Samp: ,x2",
                    ",Samp ID: ,S1,,,,Ref ID: ,R1",
                    ",Alias: ,\"site \"\"A\"\"\",,,,Alias: ,µg/L",
                    ",Replicates: ,4,,,,Replicates: ,6",
                    ",Mean: ,10.6,,,,Mean: ,12.333",
                    ",SD: ,0.753,,,,SD: ,0.625",
                    ",Tr Mean: ,10.6,,,,Tr Mean: ,12.333",
                    ",Trans SD: ,0.753,,,,Trans SD: ,0.625",
                    "",
                    "",
                    kLine13,
                    "",
                    // residual mean 0 (to 1e-16), SD 0.63712, SS 3.65333; |x - mean| means
                    // 0.6 and 0.5, SDs 0.29439 and 0.30111
                    ",Residual Mean: ,0.0,,Test Residual Mean: ,0.6,,Statistic: ,Student's t",
                    ",Residual SD: ,0.637,,Test Residual SD: ,0.294,,Balanced Design: ,Yes",
                    ",SS: ,3.653,,Ref. Residual Mean: ,0.5,,Transformation: ,No Transformation",
                    ",K: ,5,,Ref. Residual SD: ,0.301",
                    ",b: ,1.835,,Deg. of Freedom: ,8",  // b = 1.83535
                    ",,,,,,,,Experimental Hypothesis",
                    ",Alpha Level: ,0.05,,Alpha Level: ,0.1,,Null: ,x1 >= x2",
                    // W = 0.92204, Levene |t| = 0.51881
                    ",Calculated Value: ,0.9220,,Calculated Value: ,0.5188,,Alternate: ,x1 < x2",
                    // t.ppf(0.95, 8) = 1.8595
                    ",Critical Value: ,<= 0.842,,Critical Value: ,>= 1.860",
                    "",
                    "",
                    ",Normally     ,,,Variances        ,,,,Degrees of Freedom: ,8",
                    ",Distributed: ,Yes,,Homogeneous: ,Yes,,,Experimental Alpha Level: ,0.05",
                    ",,,,,,,,Calculated Value: ,3.9736",  // |t| = 3.97364
                    ",Override Option: ,N/A,,,,,,Critical Value: ,>= 1.860",
                    ",,,,,,,,Accept Null Hypothesis: ,No",
                    "",
                    ",,,,,,,,Power: ,93.45%",
                    ",,,,,,,,Min. Difference for Power: ,1.5",
                    "",
                    "",
                    kHeader36,
                    kHeader37,
                    kHeader38,
                    "1,10.2,10.200,12.1,12.100,0.400,0.233, , ,-0.800",
                    "2,11.5,11.500,11.8,11.800,0.900,0.533, , ,-0.733",
                    "3,9.8,9.800,12.9,12.900,0.800,0.567, , ,-0.533",
                    "4,10.9,10.900,13.2,13.200,0.300,0.867, , ,-0.400",
                    "5,, ,12.4,12.400,,0.067, , ,-0.233",
                    "6,, ,11.6,11.600,,0.733, , ,0.067",
                    "7,, ,, ,,, , ,0.300",
                    "8,, ,, ,,, , ,0.567",
                    "9,, ,, ,,, , ,0.867",
                    "10,, ,, ,,, , ,0.900",
                });
}

TEST(ReportLines, MannWhitneyRunWithTenAndTenReplicates) {
    WindowFixture f("report_mw");
    // Nine ties and one outlier in each sample: not normal (W = 0.38756 against 0.868 at
    // 0.01), equal spread (|t| = 0.35139 against 2.101), so Mann-Whitney decides.
    test::enterReplicates(f.w(), {"1", "1", "1", "1", "1", "1", "1", "1", "1", "9"},
                          {"2", "2", "2", "2", "2", "2", "2", "2", "2", "12"});
    f.w().ui.txtProjectName.text = "P";

    std::vector<std::string> expected = {
        ",Project Name: ,P",
        "",
        ",Sample: ,x1,,,,Ref Samp: ,x2",
        ",Samp ID: ,,,,,Ref ID: ,",
        ",Alias: ,,,,,Alias: ,",
        ",Replicates: ,10,,,,Replicates: ,10",
        ",Mean: ,1.8,,,,Mean: ,3.0",
        ",SD: ,2.53,,,,SD: ,3.162",  // 2.52982 and 3.16228
        ",Tr Mean: ,N/A,,,,Tr Mean: ,N/A",
        ",Trans SD: ,N/A,,,,Trans SD: ,N/A",
        "",
        "",
        kLine13,
        "",
        ",Residual Mean: ,0.0,,Test Residual Mean: ,1.44,,Statistic: ,Mann-Whitney",
        ",Residual SD: ,2.787,,Test Residual SD: ,2.024,,Balanced Design: ,Yes",
        ",SS: ,147.6,,Ref. Residual Mean: ,1.8,,Transformation: ,rank-order",
        ",K: ,10,,Ref. Residual SD: ,2.53",
        ",b: ,7.563,,Deg. of Freedom: ,18",  // b = 7.56334
        ",,,,,,,,Experimental Hypothesis",
        ",Alpha Level: ,0.01,,Alpha Level: ,0.05,,Null: ,x1 >= x2",
        ",Calculated Value: ,0.3876,,Calculated Value: ,0.3514,,Alternate: ,x1 < x2",
        ",Critical Value: ,<= 0.868,,Critical Value: ,>= 2.101",
        ",,,,,,,,Mann-Whitney N1: ,10",
        ",,,,,,,,Mann-Whitney N2: ,10",
        ",Normally     ,,,Variances        ,,,,Degrees of Freedom: ,",
        ",Distributed: ,No,,Homogeneous: ,Yes,,,Experimental Alpha Level: ,0.05",
        ",,,,,,,,Calculated Value: ,91.0000",  // 100 - 9
        // one-sided 0.05 critical U for 10 and 10 is 27 (lower), 100 - 27 = 73 (upper)
        ",Override Option: ,Not Invoked,,,,,,Critical Value: ,>= 73.000",
        ",,,,,,,,Accept Null Hypothesis: ,No",
        "",
        ",,,,,,,,Power: ,",
        ",,,,,,,,Min. Difference for Power: ,",
        "",
        "",
        kHeader36,
        kHeader37,
        kHeader38,
    };
    // Pooled ranks: nine 1s share ranks 1-9 (5), nine 2s ranks 10-18 (14), then 19 and 20.
    // The transformed columns show the ranks that replaced the values.
    for (int i = 1; i <= 9; ++i) {
        expected.push_back(std::to_string(i) + ",1,5.000,2,14.000,0.800,1.000,5.000, ,-1.000");
    }
    expected.push_back("10,9,19.000,12,20.000,7.200,9.000,14.000, ,-0.800");
    for (int i = 11; i <= 18; ++i) {
        expected.push_back(std::to_string(i) + ",,,,,,,14.000, ,-0.800");
    }
    expected.push_back("19,,,,,,,19.000, ,7.200");
    expected.push_back("20,,,,,,,20.000, ,9.000");
    expectLines(reportLines(f, "mw"), expected);
}

TEST(ReportLines, RankitRunWithFiveAndSixReplicates) {
    WindowFixture f("report_rankit");
    // Not normal and not homoscedastic: the values are replaced by rankits (N = 11:
    // 1.586 1.062 0.729 0.462 0.225 0), the two 1s share (-1.062 - 0.729) / 2 = -0.895.
    test::enterReplicates(f.w(), {"1", "1.1", "0.9", "1", "5"},
                          {"10", "30", "20", "25", "60", "15"});
    const std::vector<std::string> lines = reportLines(f, "rankit");
    ASSERT_EQ(lines.size(), 49U);  // one pooled line beyond the ten replicate lines
    // The Shapiro-Wilk column stays empty: the test ran before the rankits replaced the values.
    EXPECT_EQ(lines[14], ",Residual Mean: ,,,Test Residual Mean: ,0.376,,Statistic: ,Student's t");
    EXPECT_EQ(lines[15], ",Residual SD: ,,,Test Residual SD: ,0.307,,Balanced Design: ,Yes");
    EXPECT_EQ(lines[16], ",SS: ,,,Ref. Residual Mean: ,0.448,,Transformation: ,Rankits");
    EXPECT_EQ(lines[17], ",K: ,,,Ref. Residual SD: ,0.31");
    EXPECT_EQ(lines[18], ",b: ,,,Deg. of Freedom: ,9");
    // rankit means -0.81281 and 0.67734, SDs 0.51982 and 0.58084
    EXPECT_EQ(lines[8], ",Tr Mean: ,-0.813,,,,Tr Mean: ,0.677");
    EXPECT_EQ(lines[9], ",Trans SD: ,0.52,,,,Trans SD: ,0.581");
    EXPECT_EQ(lines[6], ",Mean: ,1.8,,,,Mean: ,26.667");
    EXPECT_EQ(lines[7], ",SD: ,1.79,,,,SD: ,17.795");
    EXPECT_EQ(lines[23], "");  // not Mann-Whitney: lines 24 and 25 are empty
    EXPECT_EQ(lines[24], "");
    EXPECT_EQ(lines[27], ",,,,,,,,Calculated Value: ,4.4377");  // |t| of the rankits 4.43766
    // Column I carries the pooled rankits, column J is blank.
    const char* expectedReplicates[] = {
        "1,1,-0.895,10,0.000,0.083,0.677, ,-1.586, ",
        "2,1.1,-0.462,30,1.062,0.351,0.385, ,-0.895, ",
        "3,0.9,-1.586,20,0.462,0.774,0.215, ,-0.895, ",
        "4,1,-0.895,25,0.729,0.083,0.051, ,-0.462, ",
        "5,5,-0.225,60,1.586,0.588,0.909, ,-0.225, ",
        "6,, ,15,0.225,,0.452, ,0.000, ",
        "7,, ,, ,,, ,0.225, ",
        "8,, ,, ,,, ,0.462, ",
        "9,, ,, ,,, ,0.729, ",
        "10,, ,, ,,, ,1.062, ",
        "11,,,,,,, ,1.586, ",
    };
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(lines[38 + i], expectedReplicates[i]) << "line " << 39 + i;
    }
}

TEST(ReportLines, OneSampleRunWithFourAndSixReplicates) {
    WindowFixture f("report_onesample");
    // A reference without spread: the one-sample t-test, t = -5.62862 (scipy ttest_1samp
    // against 5), df 3, critical t.ppf(0.05, 3) = -2.353.
    test::enterReplicates(f.w(), {"4.1", "4.5", "3.9", "4.4"}, {"5", "5", "5", "5", "5", "5"});
    const std::vector<std::string> lines = reportLines(f, "onesample");
    ASSERT_EQ(lines.size(), 48U);
    EXPECT_EQ(lines[6], ",Mean: ,4.225,,,,Mean: ,5.0");
    EXPECT_EQ(lines[7], ",SD: ,0.275,,,,SD: ,0.0");
    // The normality values were never computed: "N/A"; SS, K and b are zero.
    EXPECT_EQ(lines[14],
              ",Residual Mean: ,N/A,,Test Residual Mean: ,0.0,,Statistic: ,1-Sample t-Test");
    EXPECT_EQ(lines[15], ",Residual SD: ,N/A,,Test Residual SD: ,0.0,,Balanced Design: ,Yes");
    EXPECT_EQ(lines[16], ",SS: ,0.0,,Ref. Residual Mean: ,0.0,,Transformation: ,No Transformation");
    EXPECT_EQ(lines[17], ",K: ,0,,Ref. Residual SD: ,0.0");
    EXPECT_EQ(lines[18], ",b: ,0.0,,Deg. of Freedom: ,0");
    EXPECT_EQ(lines[25], ",Normally     ,,,Variances        ,,,,Degrees of Freedom: ,3");
    EXPECT_EQ(lines[27], ",,,,,,,,Calculated Value: ,-5.6286");
    EXPECT_EQ(lines[28], ",Override Option: ,N/A,,,,,,Critical Value: ,<= -2.353");
    // No residuals of either kind: F and G empty, H to J blank.
    EXPECT_EQ(lines[38], "1,4.1,4.100,5,5.000,,, , , ");
    EXPECT_EQ(lines[43], "6,, ,5,5.000,,, , , ");
    EXPECT_EQ(lines[47], "10,, ,, ,,, , , ");
}

TEST(ReportCsv, FieldsWithSeparatorsAreQuoted) {
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField(" "), " ");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(csvField("lf\nonly"), "\"lf\nonly\"");
    EXPECT_EQ(csvText({{"", "a"}, {}, {"x", "", "y"}}), ",a\r\n\r\nx,,y\r\n");
}

}  // namespace
}  // namespace bx
