// SPDX-License-Identifier: MIT
// Entry validation: each refusal with its exact status line, the entries that pass with what
// they post, and File > Transform with the Transform column's display rules.
#include <gtest/gtest.h>

#include "app/execute.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;

void fill(Grid& g, const std::vector<std::string>& values) {
    int row = 1;
    for (const std::string& v : values) {
        g.setCell(row++, 1, v);
    }
}

// The entries of one check: three test and three reference values and the start-up lists
// unless a row says otherwise.
struct Entries {
    std::vector<std::string> test{"1", "2", "3"};
    std::vector<std::string> reference{"1", "2", "3"};
    const char* trans = "No Transformation";
    const char* alpha = "0.05";
    const char* alt = "x1 < x2";
    const char* null = "x1 >= x2";
    bool oneSample = false;

    void enter(MainWindow& w) const {
        fill(w.ui.Grid1, test);
        fill(w.ui.Grid2, reference);
        w.ui.cbTransMethod.text = trans;
        w.ui.cbAlphaLevel.text = alpha;
        w.ui.cbHypoAlt.text = alt;
        w.ui.cbHypoNull.text = null;
        w.ui.OneSampleOn = oneSample;
    }
};

// Each refusal posts its line, and only that; too few reference values also explain the
// one-sample route in a message box. Counting stops at the first empty row ("1, 2, , 4").
TEST(ChkEntry, RefusesEachInvalidEntryWithItsLine) {
    const struct {
        Entries entries;
        const char* line;
    } kCases[] = {
        {{.test = {"1", "2"}}, "Sample Data entry incomplete."},
        {{.test = {"1", "2", "", "4"}}, "Sample Data entry incomplete."},
        // Both counts fail: only the test sample is named.
        {{.test = {}, .reference = {}}, "Sample Data entry incomplete."},
        {{.reference = {"5", "5"}}, "Reference Data entry incomplete."},
        {{.trans = "Arcsin"}, "No Transformation Method Selected!"},
        {{.trans = "No Transformation "}, "No Transformation Method Selected!"},
        {{.alpha = "0.01"}, "Invalid Alpha Level Selected!"},
        {{.alpha = "0.1", .alt = "x1 > x2"}, "Invalid Experimental Hypothesis Selected!"},
        {{.null = "x1 <= x2"}, "Invalid Experimental Hypothesis Selected!"},
        {{.reference = {"1", "1e999", "3"}},
         "Reference sample (x2), row 2: \"1e999\" is not a finite number. Data NOT analysed."},
        {{.test = {"1", "-1", "3"}, .trans = "Log10 (x + 1.0)"},
         "Test sample (x1), row 2: -1 cannot be transformed by \"Log10 (x + 1.0)\" (values "
         "must be above -1). Data NOT analysed."},
        {{.test = {"1", "-0.5", "3"}, .trans = "Sqr Root (x + .375)"},
         "Test sample (x1), row 2: -0.5 cannot be transformed by \"Sqr Root (x + .375)\" "
         "(values must be at least -0.375). Data NOT analysed."},
    };
    for (const auto& c : kCases) {
        WindowFixture f("chk-refused");
        c.entries.enter(f.w());
        EXPECT_FALSE(ChkEntry(f.w())) << c.line;
        EXPECT_EQ(statusLines(f.w().ui.Status), (std::vector<std::string>{"", c.line}));
        const bool box = c.entries.reference.size() == 2;
        ASSERT_EQ(f.desktop.messages.size(), box ? 1U : 0U) << c.line;
        if (box) {
            EXPECT_EQ(f.desktop.messages[0].text,
                      "At least three reference values must be entered.  For a one-sample "
                      "t-test, enter the same value three times.");
            EXPECT_EQ(f.desktop.messages[0].title, "Benthix");
            EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Information);
        }
    }
}

// Entries that pass, with the lines they post: one reference value with the one-sample
// option, an empty transformation list (which becomes "No Transformation"), values on the
// edge of the square root's domain, and replicates that are not wholly numbers (warned about).
TEST(ChkEntry, EntriesThatPass) {
    const struct {
        Entries entries;
        std::vector<std::string> lines;
    } kCases[] = {
        {{.reference = {"5"}, .oneSample = true}, {""}},
        {{.trans = ""}, {""}},
        {{.test = {"1", "-0.375", "3"},
          .reference = {"-0.3", "2", "3"},
          .trans = "Sqr Root (x + .375)"},
         {""}},
        {{.test = {"10", "12abc", "11"}, .reference = {"14", "15", "abc"}},
         {"",
          "     Warning: Test sample (x1), row 2: \"12abc\" is not wholly a number; it is read "
          "as 12.",
          "     Warning: Reference sample (x2), row 3: \"abc\" is not wholly a number; it is "
          "read as 0."}},
    };
    for (const auto& c : kCases) {
        WindowFixture f("chk-passed");
        c.entries.enter(f.w());
        EXPECT_TRUE(ChkEntry(f.w())) << c.entries.trans;
        EXPECT_EQ(statusLines(f.w().ui.Status), c.lines);
        EXPECT_EQ(f.w().ui.cbTransMethod.text,
                  *c.entries.trans != 0 ? c.entries.trans : "No Transformation");
    }
}

// The Transform column, rows 1 to `rows`.
std::vector<std::string> shown(const Grid& g, int rows) {
    std::vector<std::string> texts;
    for (int row = 1; row <= rows; ++row) {
        texts.push_back(g.cell(row, 2));
    }
    return texts;
}

// The Transform column shows each value with at least one decimal ("3.0") and five under a
// transformation, "~" below the last value; the result panels stay as they were. 100 % and
// more is 90 degrees (pi/2 with the ten-decimal pi: 90.0000000026), 50 % 45, 0 % and less 0;
// sqrt(0.375) = 0.612372..., sqrt(1.375) = 1.172603...; log10(1 + 1) = 0.3010300, log10(1 + 9)
// = 1.
TEST(TransformEntries, TheTransformColumnsShowTheTransformedValues) {
    using Texts = std::vector<std::string>;
    WindowFixture f("transform-entries");
    MainWindow& w = f.w();
    Entries{.test = {"2.5", "3", "4"}, .reference = {"1", "2", "3", "4"}}.enter(w);
    w.ui.txtSampMean.text = "old";
    mnuTransform_Click(w);
    EXPECT_EQ(statusLines(w.ui.Status).back(), "Transformation Complete");
    EXPECT_EQ(w.ui.txtSampMean.text, "old");
    EXPECT_EQ(shown(w.ui.Grid1, 4), (Texts{"2.5", "3.0", "4.0", "~"}));
    EXPECT_EQ(shown(w.ui.Grid2, 5), (Texts{"1.0", "2.0", "3.0", "4.0", "~"}));
    EXPECT_EQ(w.ui.Grid1.cell(10, 2), "~");

    Entries{
        .test = {"100", "150", "50", "0", "-5"}, .reference = {"0", "1", "9"}, .trans = "ArcSin"}
        .enter(w);
    mnuTransform_Click(w);
    EXPECT_EQ(shown(w.ui.Grid1, 5),
              (Texts{"90.00000", "90.00000", "45.00000", "0.00000", "0.00000"}));
    w.ui.Grid1.setCell(5, 1, "");  // -5 lies outside the square root's domain
    w.ui.cbTransMethod.text = "Sqr Root (x + .375)";
    mnuTransform_Click(w);
    EXPECT_EQ(shown(w.ui.Grid2, 2), (Texts{"0.61237", "1.17260"}));
    w.ui.cbTransMethod.text = "Log10 (x + 1.0)";
    mnuTransform_Click(w);
    EXPECT_EQ(shown(w.ui.Grid2, 3), (Texts{"0.00000", "0.30103", "1.00000"}));
}

}  // namespace
}  // namespace bx
