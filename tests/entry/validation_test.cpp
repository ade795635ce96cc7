// Entry validation: each refusal with its exact status line, the balance rule, File > Transform
// and the refusals and warnings for values the statistics cannot use.
#include <gtest/gtest.h>

#include "app/execute.h"
#include "statistics/analyze.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;

void fill(Grid& g, std::initializer_list<const char*> values) {
    int row = 1;
    for (const char* v : values) {
        g.setCell(row++, 1, v);
    }
}

std::string lastLine(const MainWindow& w) {
    return statusLines(w.ui.Status).back();
}

TEST(ChkEntry, RefusesEachInvalidEntryWithItsLine) {
    // Three test and three reference values unless the row says otherwise.
    struct Case {
        const char *trans, *alpha, *alt, *null, *line;
        bool twoTestValues = false;
    };
    const Case cases[] = {
        {"No Transformation", "0.05", "x1 < x2", "x1 >= x2", "Sample Data entry incomplete.", true},
        {"Arcsin", "0.05", "x1 < x2", "x1 >= x2", "No Transformation Method Selected!"},
        {"No Transformation ", "0.05", "x1 < x2", "x1 >= x2", "No Transformation Method Selected!"},
        {"ArcSin", "0.01", "x1 < x2", "x1 >= x2", "Invalid Alpha Level Selected!"},
        {"ArcSin", "0.1", "x1 > x2", "x1 >= x2", "Invalid Experimental Hypothesis Selected!"},
        {"ArcSin", "0.1", "x1 < x2", "x1 <= x2", "Invalid Experimental Hypothesis Selected!"},
    };
    for (const Case& c : cases) {
        WindowFixture f("chk-cases");
        MainWindow& w = f.w();
        if (c.twoTestValues) {
            fill(w.ui.Grid1, {"1", "2"});
        } else {
            fill(w.ui.Grid1, {"1", "2", "3"});
        }
        fill(w.ui.Grid2, {"1", "2", "3"});
        w.ui.cbTransMethod.text = c.trans;
        w.ui.cbAlphaLevel.text = c.alpha;
        w.ui.cbHypoAlt.text = c.alt;
        w.ui.cbHypoNull.text = c.null;
        EXPECT_FALSE(ChkEntry(w)) << c.line;
        EXPECT_EQ(lastLine(w), c.line);
        EXPECT_TRUE(f.desktop.messages.empty());
    }
}

TEST(ChkEntry, CountingStopsAtTheFirstEmptyRow) {
    WindowFixture f("chk-gap");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "1");
    w.ui.Grid1.setCell(2, 1, "2");
    w.ui.Grid1.setCell(4, 1, "4");
    fill(w.ui.Grid2, {"1", "2", "3"});
    EXPECT_FALSE(ChkEntry(w));
    EXPECT_EQ(lastLine(w), "Sample Data entry incomplete.");
    EXPECT_EQ(w.ui.Grid1.cell(4, 1), "4");  // the grid keeps its contents
}

TEST(ChkEntry, TooFewReferenceValuesShowTheMessageBox) {
    WindowFixture f("chk-ref");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"1", "2", "3"});
    fill(w.ui.Grid2, {"5", "5"});
    EXPECT_FALSE(ChkEntry(w));
    EXPECT_EQ(lastLine(w), "Reference Data entry incomplete.");
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].text,
              "At least three reference values must be entered.  For a one-sample t-test, "
              "enter the same value three times.");
    EXPECT_EQ(f.desktop.messages[0].title, "Benthix");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(f.desktop.messages[0].buttons, MessageButtons::Ok);
}

TEST(ChkEntry, OneReferenceValuePassesWithTheOneSampleOption) {
    WindowFixture f("chk-one");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"1", "2", "3"});
    fill(w.ui.Grid2, {"5"});
    w.ui.OneSampleOn = true;
    EXPECT_TRUE(ChkEntry(w));
}

TEST(ChkEntry, BothCountsFailingReportsOnlyTheTestSample) {
    WindowFixture f("chk-both");
    MainWindow& w = f.w();
    EXPECT_FALSE(ChkEntry(w));
    EXPECT_EQ(statusLines(w.ui.Status),
              (std::vector<std::string>{"", "Sample Data entry incomplete."}));
    EXPECT_TRUE(f.desktop.messages.empty());
}

TEST(ChkEntry, AnEmptyTransformationListBecomesNoTransformation) {
    WindowFixture f("chk-empty-trans");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"1", "2", "3"});
    fill(w.ui.Grid2, {"1", "2", "3"});
    w.ui.cbTransMethod.text = "";
    EXPECT_TRUE(ChkEntry(w));
    EXPECT_EQ(w.ui.cbTransMethod.text, "No Transformation");
}

TEST(ChkEntry, ValuesTheStatisticsCannotUseRefuseTheRun) {
    struct Case {
        const char* method;
        const char* bad;
        const char* line;
    };
    const Case cases[] = {
        {"No Transformation", "1e999",
         "Test sample (x1), row 2: \"1e999\" is not a finite number. Data NOT analysed."},
        {"Log10 (x + 1.0)", "-1",
         "Test sample (x1), row 2: -1 cannot be transformed by \"Log10 (x + 1.0)\" (values "
         "must be above -1). Data NOT analysed."},
        {"Sqr Root (x + .375)", "-0.5",
         "Test sample (x1), row 2: -0.5 cannot be transformed by \"Sqr Root (x + .375)\" "
         "(values must be at least -0.375). Data NOT analysed."},
    };
    for (const Case& c : cases) {
        WindowFixture f("chk-domain");
        MainWindow& w = f.w();
        fill(w.ui.Grid1, {"1", c.bad, "3"});
        fill(w.ui.Grid2, {"1", "2", "3"});
        w.ui.cbTransMethod.text = c.method;
        EXPECT_FALSE(ChkEntry(w));
        EXPECT_EQ(lastLine(w), c.line);
    }
    WindowFixture f("chk-domain-ok");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"1", "-0.375", "3"});
    fill(w.ui.Grid2, {"-0.3", "2", "3"});
    w.ui.cbTransMethod.text = "Sqr Root (x + .375)";
    EXPECT_TRUE(ChkEntry(w));
}

TEST(ChkEntry, AReplicateThatIsNotWhollyANumberIsWarnedAbout) {
    WindowFixture f("chk-partial");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"10", "12abc", "11"});
    fill(w.ui.Grid2, {"14", "15", "abc"});
    EXPECT_TRUE(ChkEntry(w));
    EXPECT_EQ(statusLines(w.ui.Status),
              (std::vector<std::string>{
                  "",
                  "     Warning: Test sample (x1), row 2: \"12abc\" is not wholly a number; it "
                  "is read as 12.",
                  "     Warning: Reference sample (x2), row 3: \"abc\" is not wholly a number; "
                  "it is read as 0."}));
}

TEST(ChkBalance, LargerCountBelowTwiceTheSmaller) {
    auto balanced = [](int n1, int n2) { return isBalanced(n1, n2); };
    EXPECT_TRUE(balanced(5, 5));
    EXPECT_TRUE(balanced(3, 5));
    EXPECT_FALSE(balanced(3, 6));
    EXPECT_FALSE(balanced(4, 8));
    EXPECT_FALSE(balanced(6, 3));
    EXPECT_TRUE(balanced(7, 4));
}

TEST(TransformEntries, FillsTheTransformColumnsAndLeavesTheResults) {
    WindowFixture f("transform-entries");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"2.5", "3", "4"});
    fill(w.ui.Grid2, {"1", "2", "3", "4"});
    w.ui.txtSampMean.text = "old";
    mnuTransform_Click(w);
    EXPECT_EQ(w.ui.Grid1.cell(1, 2), "2.5");
    EXPECT_EQ(w.ui.Grid1.cell(2, 2), "3.0");
    EXPECT_EQ(w.ui.Grid1.cell(4, 2), "~");
    EXPECT_EQ(w.ui.Grid1.cell(10, 2), "~");
    EXPECT_EQ(w.ui.Grid2.cell(4, 2), "4.0");
    EXPECT_EQ(w.ui.Grid2.cell(5, 2), "~");
    EXPECT_EQ(w.ui.txtSampMean.text, "old");
    EXPECT_EQ(lastLine(w), "Transformation Complete");
}

TEST(TransformEntries, TheTransformedColumnShowsFiveDecimals) {
    WindowFixture f("transform-methods");
    MainWindow& w = f.w();
    fill(w.ui.Grid1, {"100", "150", "50", "0", "-5"});
    fill(w.ui.Grid2, {"0", "1", "9"});
    w.ui.cbTransMethod.text = "ArcSin";
    mnuTransform_Click(w);
    // 100 % and more is 90 degrees (pi/2 converted with the ten-decimal pi: 90.0000000026).
    EXPECT_EQ(w.ui.Grid1.cell(1, 2), "90.00000");
    EXPECT_EQ(w.ui.Grid1.cell(2, 2), "90.00000");
    EXPECT_EQ(w.ui.Grid1.cell(3, 2), "45.00000");
    EXPECT_EQ(w.ui.Grid1.cell(4, 2), "0.00000");
    EXPECT_EQ(w.ui.Grid1.cell(5, 2), "0.00000");
    w.ui.Grid1.setCell(5, 1, "");  // -5 lies outside the square root's domain
    w.ui.cbTransMethod.text = "Sqr Root (x + .375)";
    mnuTransform_Click(w);
    EXPECT_EQ(w.ui.Grid2.cell(1, 2), "0.61237");  // sqrt(0.375) = 0.612372...
    EXPECT_EQ(w.ui.Grid2.cell(2, 2), "1.17260");  // sqrt(1.375) = 1.172603...
    w.ui.cbTransMethod.text = "Log10 (x + 1.0)";
    mnuTransform_Click(w);
    EXPECT_EQ(w.ui.Grid2.cell(1, 2), "0.00000");
    EXPECT_EQ(w.ui.Grid2.cell(3, 2), "1.00000");
}

}  // namespace
}  // namespace bx
