// SPDX-License-Identifier: MIT
// The main window as a user meets it: start-up, an analysis typed in with real key presses,
// the Options menu, the option lists, the pictures and the replicate plot. The texts themselves
// are the window model's (tests/app); here one field of each panel proves the widgets show them.

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>

#include "gui/replicate_plot.h"
#include "gui_support.h"
#include "support/test_support.h"

namespace bx::gui::test {
namespace {

TEST(WindowStart, ShowsTheMenusAnEmptyStatusAndUndecidedPictures) {
    FormFixture f("start");
    MainForm& w = f.form();
    // Menu titles and File entries with their mnemonics, in order.
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Log", "&Options", "&Help"}));
    QStringList file;
    for (QAction* a : w.findChild<QMenu*>("mnuFile")->actions()) {
        file << (a->isSeparator() ? QString("-") : a->text());
    }
    EXPECT_EQ(file, QStringList({"&Load From...", "&Save As...", "&Clear All", "&Transform",
                                 "&Report", "&Execute Stats", "Open S&urvey...",
                                 "Report &Document...", "-", "E&xit"}));
    EXPECT_EQ(f.action("mnuLogDetail")->text(), "Begin &Detail Data Logging");
    // Every entry of every menu has a mnemonic of its own within its menu.
    for (QMenu* menu : w.menuBar()->findChildren<QMenu*>()) {
        QString letters;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                continue;
            }
            const QString text = QString(a->text()).remove("&&");
            const qsizetype at = text.indexOf('&');
            ASSERT_GE(at, 0) << a->text().toStdString();
            const QChar letter = text.at(at + 1).toLower();
            EXPECT_FALSE(letters.contains(letter)) << a->text().toStdString();
            letters += letter;
        }
    }

    EXPECT_EQ(f.statusLines(), QStringList({""}));
    for (const char* picture : {"imgWtestPassFail", "imgSced", "imgTestPassFail"}) {
        EXPECT_FALSE(qobject_cast<QLabel*>(f.widget(picture))->pixmap().isNull()) << picture;
        EXPECT_EQ(f.picture(picture), "question") << picture;
    }
}

TEST(WindowStart, TabWalksTheEntryFieldsInOrder) {
    FormFixture f("tabs");
    const QStringList expected = {"Grid1",     "txtSampId",  "txtSampAlias", "cmdClearSamp",
                                  "Grid2",     "txtRefId",   "txtRefAlias",  "cmdClearRef",
                                  "cbHypoAlt", "cbHypoNull", "cbAlphaLevel", "cbTransMethod",
                                  "cmdExecute"};
    f.widget("txtProjectName")->setFocus();
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        // An editable list's focus sits in its line edit.
        while (now != nullptr && now->objectName().isEmpty()) {
            now = now->parentWidget();
        }
        visited << (now != nullptr ? now->objectName() : QString("(none)"));
    }
    EXPECT_EQ(visited, expected);
}

// Test values 10, 11, 12 against reference values 14, 15, 16, typed with real key presses.
// Expected values: means and SDs by hand; t = 4 / sqrt(1 * (1/3 + 1/3)) = 4.898979 (scipy
// ttest_ind gives -4.898979 for x1 - x2; the window shows x2 - x1 for "x1 >= x2"), beyond the
// one-sided 5 % critical t 2.131847 (scipy t.ppf(0.95, 4)), so x1 >= x2 is rejected; W of the
// residuals -1,0,1,-1,0,1 with the Shapiro-Wilk coefficients for n = 6 (0.6431, 0.2806, 0.0875):
// 1.8474^2 / 4 = 0.85322 (scipy shapiro 0.853192). Texts are compared as displayed.
TEST(WindowAnalysis, TypedValuesGiveStudentsTestInTheFields) {
    FormFixture f("analysis");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    EXPECT_EQ(f.cell("Grid1", 3, 1), "12");

    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    EXPECT_EQ((QStringList{f.text("txtSampMean"), f.text("txtRefStdDev"), f.text("txtWtestW"),
                           f.text("txtScedPassfail"), f.text("txtTstCalcStat"),
                           f.text("txtTstPassFail")}),
              QStringList({"11.0", "1.0", "0.8532", "Yes", "4.8990", "No"}));
    EXPECT_EQ(f.picture("imgWtestPassFail"), "ok");
    EXPECT_EQ(f.picture("imgTestPassFail"), "fail");
    const QPixmap fail(QString::fromStdString(
        (std::filesystem::path(bx::test::programFolder()) / "fail.bmp").string()));
    EXPECT_EQ(qobject_cast<QLabel*>(f.widget("imgTestPassFail"))->pixmap().toImage(),
              fail.toImage());
    // The click leaves the focus in the grid typed in.
    EXPECT_EQ(QApplication::focusWidget(), f.widget("Grid2"));

    // The newest line is in view: the caret stands after the last character.
    EXPECT_EQ(f.statusLines().last(), "*** Stats complete.");
    auto* status = qobject_cast<QPlainTextEdit*>(f.widget("Status"));
    EXPECT_EQ(status->textCursor().position(), status->toPlainText().size());
}

// A reference without spread (14, 14, 14) leads to the one-sample t-test: the panels that do
// not apply are disabled and show the "not applicable" picture, read from bart1.ico.
TEST(WindowAnalysis, AReferenceWithoutSpreadDisablesTheNormalityPanels) {
    FormFixture f("one-sample");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "14", "14"});
    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    for (const char* name : {"Frame10", "Frame11"}) {
        EXPECT_FALSE(f.widget(name)->isEnabled()) << name;
    }
    for (const char* picture : {"imgWtestPassFail", "imgSced"}) {
        EXPECT_EQ(f.picture(picture), "not-applicable") << picture;
        EXPECT_FALSE(qobject_cast<QLabel*>(f.widget(picture))->pixmap().isNull()) << picture;
    }

    // The next analysis enables the panels again.
    f.clickCell("Grid2", 3, 1);
    QTest::keyClicks(f.widget("Grid2"), "16");
    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    for (const char* name : {"Frame10", "Frame11"}) {
        EXPECT_TRUE(f.widget(name)->isEnabled()) << name;
    }
}

// {option, the widgets it shows, the label it enables}: the first click shows them with the
// entry's check mark, the second hides them again.
TEST(WindowOptions, EachSwitchShowsItsFieldsWhileOn) {
    const struct {
        const char* action;
        std::vector<const char*> shown;
        const char* label;
    } kCases[] = {
        {"mnuPowerCalculation", {"Frame13", "txtDiff_levl", "txtTstPower"}, "lblTstPower"},
        {"mnuNormalPrompt", {"txtOverride"}, "lblOverride"},
    };
    for (const auto& c : kCases) {
        FormFixture f("options");
        QAction* option = f.action(c.action);
        for (const bool on : {true, false}) {
            option->trigger();
            EXPECT_EQ(option->isChecked(), on) << c.action;
            EXPECT_EQ(f.widget(c.label)->isEnabled(), on) << c.label;
            for (const char* name : c.shown) {
                EXPECT_EQ(f.widget(name)->isVisible(), on) << name;
            }
        }
    }
}

TEST(WindowOptions, PickingAHypothesisCouplesTheOtherButTypingDoesNot) {
    FormFixture f("hypothesis");
    auto* alt = qobject_cast<QComboBox*>(f.widget("cbHypoAlt"));
    auto* null = qobject_cast<QComboBox*>(f.widget("cbHypoNull"));
    // Picking with the keyboard: Down moves to the next entry and counts as a pick.
    alt->setFocus();
    QTest::keyClick(alt, Qt::Key_Down);
    EXPECT_EQ(alt->currentText(), "x1 > x2");
    EXPECT_EQ(null->currentText(), "x1 <= x2");
    null->setFocus();
    QTest::keyClick(null, Qt::Key_Up);
    EXPECT_EQ(alt->currentText(), "x1 < x2");

    // Typing only changes the list's own text; the mismatch is left to the validation.
    alt->lineEdit()->selectAll();
    QTest::keyClicks(alt->lineEdit(), "x1 > x2");
    EXPECT_EQ(f.core().ui.cbHypoAlt.text, "x1 > x2");
    EXPECT_EQ(null->currentText(), "x1 >= x2");

    auto* alpha = qobject_cast<QComboBox*>(f.widget("cbAlphaLevel"));
    alpha->setFocus();
    QTest::keyClick(alpha, Qt::Key_Down);
    EXPECT_EQ(f.core().ui.cbAlphaLevel.text, "0.1");
}

// The replicate plot follows the grids: the values as entered at once, the transformed values
// after File > Transform or an analysis.
std::vector<drawing::PlotPanel> plotOf(FormFixture& f) {
    return f.form().findChild<ReplicatePlot*>("picReplicates")->data();
}

TEST(ReplicatePlot, ShowsTheEnteredValuesAndTheirMeans) {
    FormFixture f("plot-entered");
    EXPECT_TRUE(plotOf(f)[0].empty());
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "19"});
    const auto plot = plotOf(f);
    EXPECT_EQ(plot[0].test.values, std::vector<double>({10, 11, 12}));
    EXPECT_EQ(plot[0].reference.values, std::vector<double>({14, 15, 19}));
    // Means by hand: 33 / 3 and 48 / 3.
    EXPECT_DOUBLE_EQ(plot[0].test.mean.value_or(0.0), 11.0);
    EXPECT_DOUBLE_EQ(plot[0].reference.mean.value_or(0.0), 16.0);
    EXPECT_TRUE(plot[1].empty());
}

TEST(ReplicatePlot, ShowsTheTransformedValuesAfterTransform) {
    FormFixture f("plot-transformed");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    auto* method = qobject_cast<QComboBox*>(f.widget("cbTransMethod"));
    method->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(method, Qt::Key_Down);  // to the last entry, "Log10 (x + 1.0)"
    }
    ASSERT_EQ(f.core().ui.cbTransMethod.text, "Log10 (x + 1.0)");
    f.action("mnuTransform")->trigger();

    const auto plot = plotOf(f);
    const drawing::PlotPanel& transformed = plot[1];
    EXPECT_EQ(transformed.title, "Transform");
    // numpy log10 of 11, 12, 13 and 15, 16, 17 and their means; the grid shows five decimals.
    const std::vector<double> test = {1.04139269, 1.07918125, 1.11394335};
    const std::vector<double> reference = {1.17609126, 1.20411998, 1.23044892};
    ASSERT_EQ(transformed.test.values.size(), 3U);
    ASSERT_EQ(transformed.reference.values.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(transformed.test.values[i], test[i], 6e-6);
        EXPECT_NEAR(transformed.reference.values[i], reference[i], 6e-6);
    }
    EXPECT_NEAR(transformed.test.mean.value_or(0.0), 1.07817243, 1e-5);
    EXPECT_NEAR(transformed.reference.mean.value_or(0.0), 1.20355339, 1e-5);
}

}  // namespace
}  // namespace bx::gui::test
