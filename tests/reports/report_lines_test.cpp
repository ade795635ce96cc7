// SPDX-License-Identifier: MIT
// The comma-separated report: every line of a Student's t run, and the lines whose rules
// differ for the other kinds of run (Mann-Whitney, rankits, one-sample t). The numbers were worked
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
#include "app/report_command.h"
#include "reports/report_lines.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

// The lines of a CR LF text without their line ends; fails the test when a line ends otherwise
// or the text does not end with CR LF.
std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "text does not end with CR LF";
        lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.size();
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// Runs File > Report on these replicates into <scratch>/<name>.csv and returns its lines.
std::vector<std::string> reportLines(WindowFixture& f, const std::string& name,
                                     const std::vector<std::string>& test,
                                     const std::vector<std::string>& reference) {
    test::typeReplicates(f.w(), test, reference);
    f.desktop.fileAnswers.push_back(FileDialogAnswer{f.scratch.string(), "/", name});
    CreateReport(f.w());
    return crlfLines(test::readFileBytes(f.scratch / (name + ".csv")));
}

// The lines given by their numbers (1 for the first), as the report holds them.
void expectLines(const std::vector<std::string>& actual,
                 const std::vector<std::pair<std::size_t, std::string>>& expected) {
    for (const auto& [number, text] : expected) {
        ASSERT_LE(number, actual.size());
        EXPECT_EQ(actual[number - 1], text) << "line " << number;
    }
}

TEST(ReportLines, StudentsTRunWithFourAndSixReplicates) {
    WindowFixture f("report_student");
    f.w().ui.txtProjectName.text = "Lake, north";  // a comma: the field is quoted
    f.w().ui.txtSampId.text = "S1";
    f.w().ui.txtSampAlias.text = "site \"A\"";  // quotes: quoted and doubled
    f.w().ui.txtRefId.text = "R1";
    f.w().ui.txtRefAlias.text = "µg/L";
    mnuPowerCalculation_Click(f.w());
    f.w().ui.txtDiff_levl.text = "1.5";

    EXPECT_EQ(reportLines(f, "student", {"10.2", "11.5", "9.8", "10.9"},
                          {"12.1", "11.8", "12.9", "13.2", "12.4", "11.6"}),
              (std::vector<std::string>{
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
                  "Shapiro-Wilk Results: ,,,Levene's Results: ,,,Test Results: ",
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
                  ",,,,Trans.,Levene's,Levene's,Mann-,,Shipiro-",  // spelt so
                  "Replicate,Test,Trans.,Reference,Reference,Test,Reference,Whitney,,Wilk",
                  "Number,Data,Test Data,Data,Data,Residuals,Residuals,Ranks,Rankits,Residuals",
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
              }));
}

// Nine ties and one outlier in each sample: not normal (W = 0.38756 against 0.868 at 0.01),
// equal spread (|t| = 0.35139 against 2.101), so Mann-Whitney decides: U = 100 - 9 = 91
// against the one-sided 0.05 critical U 100 - 27 = 73 for 10 and 10. Pooled ranks: nine 1s
// share ranks 1-9 (5), nine 2s ranks 10-18 (14), then 19 and 20; the transformed columns show
// the ranks that replaced the values. Means 1.8 and 3.0, SDs 2.52982 and 3.16228.
TEST(ReportLines, MannWhitneyRunWithTenAndTenReplicates) {
    WindowFixture f("report_mw");
    const auto lines = reportLines(f, "mw", {"1", "1", "1", "1", "1", "1", "1", "1", "1", "9"},
                                   {"2", "2", "2", "2", "2", "2", "2", "2", "2", "12"});
    ASSERT_EQ(lines.size(), 58U);
    expectLines(
        lines,
        {
            {9, ",Tr Mean: ,N/A,,,,Tr Mean: ,N/A"},
            {15, ",Residual Mean: ,0.0,,Test Residual Mean: ,1.44,,Statistic: ,Mann-Whitney"},
            {17, ",SS: ,147.6,,Ref. Residual Mean: ,1.8,,Transformation: ,rank-order"},
            {24, ",,,,,,,,Mann-Whitney N1: ,10"},
            {26, ",Normally     ,,,Variances        ,,,,Degrees of Freedom: ,"},
            {28, ",,,,,,,,Calculated Value: ,91.0000"},
            {29, ",Override Option: ,Not Invoked,,,,,,Critical Value: ,>= 73.000"},
            {32, ",,,,,,,,Power: ,"},
            {39, "1,1,5.000,2,14.000,0.800,1.000,5.000, ,-1.000"},
            {48, "10,9,19.000,12,20.000,7.200,9.000,14.000, ,-0.800"},
            {58, "20,,,,,,,20.000, ,9.000"},
        });
}

// Five test replicates against four: not normal, equal spreads, so Mann-Whitney decides; each
// of its two counts is its own sample's.
TEST(ReportLines, MannWhitneyCountsOfUnequalSamples) {
    WindowFixture f("report_mw_counts");
    const auto lines =
        reportLines(f, "mwcounts", {"10", "10", "10", "10", "30"}, {"20", "20", "20", "40"});
    expectLines(lines, {{15,
                         ",Residual Mean: ,0.0,,Test Residual Mean: ,6.4,,Statistic: ,"
                         "Mann-Whitney"},
                        {24, ",,,,,,,,Mann-Whitney N1: ,5"},
                        {25, ",,,,,,,,Mann-Whitney N2: ,4"}});
}

// Not normal and not homoscedastic: the values are replaced by rankits (N = 11: 1.586 1.062
// 0.729 0.462 0.225 0), the two 1s share (-1.062 - 0.729) / 2 = -0.895; rankit means -0.81281
// and 0.67734, SDs 0.51982 and 0.58084; |t| of the rankits 4.43766. The Shapiro-Wilk column
// stays empty: the test ran before the rankits replaced the values. Column I carries the
// pooled rankits, column J is blank; one pooled line goes beyond the ten replicate lines.
TEST(ReportLines, RankitRunWithFiveAndSixReplicates) {
    WindowFixture f("report_rankit");
    const auto lines = reportLines(f, "rankit", {"1", "1.1", "0.9", "1", "5"},
                                   {"10", "30", "20", "25", "60", "15"});
    ASSERT_EQ(lines.size(), 49U);
    expectLines(lines,
                {
                    {9, ",Tr Mean: ,-0.813,,,,Tr Mean: ,0.677"},
                    {15, ",Residual Mean: ,,,Test Residual Mean: ,0.376,,Statistic: ,Student's t"},
                    {17, ",SS: ,,,Ref. Residual Mean: ,0.448,,Transformation: ,Rankits"},
                    {19, ",b: ,,,Deg. of Freedom: ,9"},
                    {24, ""},  // not Mann-Whitney: lines 24 and 25 are empty
                    {28, ",,,,,,,,Calculated Value: ,4.4377"},
                    {39, "1,1,-0.895,10,0.000,0.083,0.677, ,-1.586, "},
                    {49, "11,,,,,,, ,1.586, "},
                });
}

// A reference without spread: the one-sample t-test, t = -5.62862 (scipy ttest_1samp against
// 5), df 3, critical t.ppf(0.05, 3) = -2.353. The normality values were never computed: "N/A";
// SS, K and b are zero; no residuals of either kind: F and G empty, H to J blank.
TEST(ReportLines, OneSampleRunWithFourAndSixReplicates) {
    WindowFixture f("report_onesample");
    const auto lines =
        reportLines(f, "onesample", {"4.1", "4.5", "3.9", "4.4"}, {"5", "5", "5", "5", "5", "5"});
    ASSERT_EQ(lines.size(), 48U);
    expectLines(
        lines,
        {
            {15, ",Residual Mean: ,N/A,,Test Residual Mean: ,0.0,,Statistic: ,1-Sample t-Test"},
            {26, ",Normally     ,,,Variances        ,,,,Degrees of Freedom: ,3"},
            {28, ",,,,,,,,Calculated Value: ,-5.6286"},
            {29, ",Override Option: ,N/A,,,,,,Critical Value: ,<= -2.353"},
            {39, "1,4.1,4.100,5,5.000,,, , , "},
            {48, "10,, ,, ,,, , , "},
        });
}

// Commas and quotes in a field are met in the report above; line breaks are quoted too.
TEST(ReportCsv, FieldsWithLineBreaksAreQuoted) {
    EXPECT_EQ(csvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(csvField("lf\nonly"), "\"lf\nonly\"");
}

// A text a spreadsheet would run as a formula gets an apostrophe; numbers keep their sign.
TEST(ReportCsv, FormulasAreDefused) {
    EXPECT_EQ(csvField("=cmd|' /C calc'!A0"), "'=cmd|' /C calc'!A0");
    EXPECT_EQ(csvField("@SUM(A1),1"), "\"'@SUM(A1),1\"");
    EXPECT_EQ(csvField("+1+1"), "'+1+1");
    EXPECT_EQ(csvField("+50.7"), "+50.7");
    EXPECT_EQ(csvField("-Infinity"), "'-Infinity");
    EXPECT_EQ(csvField("-"), "'-");
    EXPECT_EQ(csvField("-5.6286"), "-5.6286");
    EXPECT_EQ(csvField("-.5"), "-.5");
    EXPECT_EQ(csvField("<= -2.353"), "<= -2.353");
}

}  // namespace
}  // namespace bx
