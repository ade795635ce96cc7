// The main window as a user meets it: start-up, an analysis typed in with real key presses,
// the Options menu, the option lists, the message boxes and the pictures.

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "gui_support.h"
#include "support/test_support.h"

namespace bx::gui::test {
namespace {

TEST(WindowStart, ShowsTheCaptionsMenusAndHiddenPowerFields) {
    FormFixture f("start");
    MainForm& w = f.form();
    EXPECT_EQ(w.objectName(), "frmpstat");
    EXPECT_EQ(w.windowTitle(), "Benthix");

    // Menu titles and entries with their mnemonics, in order.
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
                                 "&Report", "&Execute Stats", "-", "E&xit"}));
    EXPECT_EQ(f.action("mnuLogDetail")->text(), "Begin &Detail Data Logging");
    EXPECT_EQ(f.action("mnuLogSummary")->text(), "Begin &Summary Log File");
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
    for (const char* name : {"mnuNormalPrompt", "mnuPowerCalculation", "mnuOneSampleTTest"}) {
        EXPECT_TRUE(f.action(name)->isCheckable()) << name;
        EXPECT_FALSE(f.action(name)->isChecked()) << name;
    }

    auto* execute = qobject_cast<QPushButton*>(f.widget("cmdExecute"));
    EXPECT_EQ(execute->text(), " Execute Statistics");
    EXPECT_EQ(qobject_cast<QGroupBox*>(f.widget("Frame4"))->title(), "Test Data (x1)");
    EXPECT_EQ(qobject_cast<QGroupBox*>(f.widget("Frame8"))->title(), "Reference Data (x2)");
    EXPECT_EQ(qobject_cast<QGroupBox*>(f.widget("Frame10"))->title(), "Normality (Shapiro-Wilk)");
    EXPECT_EQ(qobject_cast<QGroupBox*>(f.widget("Frame11"))->title(),
              "Homoscedasticity (Levene's)");

    // The grids show the core's cells; the power and override fields are hidden.
    EXPECT_EQ(f.cell("Grid2", 10, 0), "    10");
    EXPECT_FALSE(f.widget("Frame13")->isVisible());
    EXPECT_FALSE(f.widget("txtTstPower")->isVisible());
    EXPECT_FALSE(f.widget("lblTstPower")->isEnabled());
    EXPECT_FALSE(f.widget("txtOverride")->isVisible());
    EXPECT_FALSE(f.widget("lblOverride")->isEnabled());

    // The status list starts empty; the three pictures show "not decided".
    EXPECT_EQ(f.statusLines(), QStringList({""}));
    for (const char* picture : {"imgWtestPassFail", "imgSced", "imgTestPassFail"}) {
        auto* label = qobject_cast<QLabel*>(f.widget(picture));
        EXPECT_FALSE(label->pixmap().isNull()) << picture;
        EXPECT_EQ(label->property("picture").toString(), "question") << picture;
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
// ttest_ind gives -4.898979 for x1 - x2; the window shows x2 - x1 for "x1 >= x2"), df 4, the
// one-sided 5 % critical t 2.131847 (scipy t.ppf(0.95, 4)); W of the residuals -1,0,1,-1,0,1 with
// the Shapiro-Wilk coefficients for n = 6 (0.6431, 0.2806, 0.0875): 1.8474^2 / 4 = 0.85322
// (scipy shapiro 0.853192); the 10 % critical W for n = 6 is 0.826 (Shapiro and Wilk 1965).
// Texts are compared exactly, i.e. to the displayed rounding.
TEST(WindowAnalysis, TypedValuesGiveStudentsTestInTheFields) {
    FormFixture f("analysis");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    EXPECT_EQ(f.cell("Grid1", 3, 1), "12");
    EXPECT_EQ(f.cell("Grid2", 1, 1), "14");

    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);

    // Each panel's fields show the core's texts.
    EXPECT_EQ(f.text("txtSampMean"), "11.0");
    EXPECT_EQ(f.text("txtRefStdDev"), "1.0");
    EXPECT_EQ(f.text("txtWtestW"), "0.8532");
    EXPECT_EQ(f.text("txtScedPassfail"), "Yes");
    EXPECT_EQ(f.text("txtTstCalcStat"), "4.8990");
    EXPECT_EQ(f.text("txtTstCritVal"), ">= 2.132");
    // t beyond the critical value: the null hypothesis x1 >= x2 is rejected.
    EXPECT_EQ(f.text("txtTstPassFail"), "No");
    EXPECT_EQ(f.widget("imgTestPassFail")->property("picture").toString(), "fail");
    EXPECT_EQ(f.widget("imgWtestPassFail")->property("picture").toString(), "ok");
    EXPECT_EQ(f.widget("imgSced")->property("picture").toString(), "ok");

    EXPECT_EQ(f.statusLines().last(), "*** Stats complete.");
    // The newest line is in view: the caret stands after the last character.
    auto* status = qobject_cast<QPlainTextEdit*>(f.widget("Status"));
    EXPECT_EQ(status->textCursor().position(), status->toPlainText().size());
}

// A reference without spread (14, 14, 14) leads to the one-sample t-test against 14. The
// panels that do not apply are disabled and show the "not applicable" picture, read from
// bart1.ico.
TEST(WindowAnalysis, AReferenceWithoutSpreadDisablesTheNormalityPanels) {
    FormFixture f("one-sample");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "14", "14"});
    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    EXPECT_EQ(f.text("txtTstStat"), "1-Sample t-Test");
    EXPECT_EQ(f.text("txtWtestW"), "N/A");
    EXPECT_FALSE(f.widget("Frame10")->isEnabled());
    EXPECT_FALSE(f.widget("Frame11")->isEnabled());
    for (const char* picture : {"imgWtestPassFail", "imgSced"}) {
        auto* label = qobject_cast<QLabel*>(f.widget(picture));
        EXPECT_EQ(label->property("picture").toString(), "not-applicable") << picture;
        EXPECT_FALSE(label->pixmap().isNull()) << picture;
    }

    // The next analysis enables the panels again.
    f.clickCell("Grid2", 3, 1);
    QTest::keyClicks(f.widget("Grid2"), "16");
    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    EXPECT_TRUE(f.widget("Frame10")->isEnabled());
    EXPECT_TRUE(f.widget("Frame11")->isEnabled());
    EXPECT_EQ(f.text("txtTstStat"), "Student's t");
}

TEST(WindowAnalysis, TooFewValuesBlankTheResults) {
    FormFixture f("incomplete");
    f.typeColumn("Grid1", {"10", "11"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    EXPECT_EQ(f.statusLines().last(), "*** Stats complete.");
    EXPECT_EQ(f.text("txtSampMean"), "");
    // The results are cleared; the focus stays in the grid typed in, even after a click on
    // the button.
    EXPECT_EQ(QApplication::focusWidget(), f.widget("Grid2"));
}

TEST(WindowOptions, PowerCalculationsShowAndHideThePowerFields) {
    FormFixture f("power");
    QAction* power = f.action("mnuPowerCalculation");
    power->trigger();
    EXPECT_TRUE(power->isChecked());
    EXPECT_TRUE(f.widget("Frame13")->isVisible());
    EXPECT_TRUE(f.widget("txtDiff_levl")->isVisible());
    EXPECT_TRUE(f.widget("txtTstPower")->isVisible());
    EXPECT_TRUE(f.widget("lblTstPower")->isEnabled());

    QTest::keyClicks(f.widget("txtDiff_levl"), "2.5");
    EXPECT_EQ(f.core().ui.txtDiff_levl.text, "2.5");

    power->trigger();
    EXPECT_FALSE(power->isChecked());
    EXPECT_FALSE(f.widget("Frame13")->isVisible());
    EXPECT_FALSE(f.widget("txtTstPower")->isVisible());
    EXPECT_FALSE(f.widget("lblTstPower")->isEnabled());
    // The minimum difference keeps its text while hidden.
    EXPECT_EQ(f.text("txtDiff_levl"), "2.5");
}

TEST(WindowOptions, NormalityOverrideShowsTheOverrideField) {
    FormFixture f("override-option");
    f.action("mnuNormalPrompt")->trigger();
    EXPECT_TRUE(f.action("mnuNormalPrompt")->isChecked());
    EXPECT_TRUE(f.widget("txtOverride")->isVisible());
    EXPECT_TRUE(f.widget("lblOverride")->isEnabled());
    f.action("mnuOneSampleTTest")->trigger();
    EXPECT_TRUE(f.action("mnuOneSampleTTest")->isChecked());
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
    EXPECT_EQ(f.core().ui.cbHypoNull.text, "x1 <= x2");

    null->setFocus();
    QTest::keyClick(null, Qt::Key_Up);
    EXPECT_EQ(null->currentText(), "x1 >= x2");
    EXPECT_EQ(alt->currentText(), "x1 < x2");

    // Typing only changes the list's own text; the mismatch is left to the validation.
    alt->lineEdit()->selectAll();
    QTest::keyClicks(alt->lineEdit(), "x1 > x2");
    EXPECT_EQ(f.core().ui.cbHypoAlt.text, "x1 > x2");
    EXPECT_EQ(null->currentText(), "x1 >= x2");
    EXPECT_EQ(f.core().ui.cbHypoNull.text, "x1 >= x2");

    auto* alpha = qobject_cast<QComboBox*>(f.widget("cbAlphaLevel"));
    alpha->setFocus();
    QTest::keyClick(alpha, Qt::Key_Down);
    EXPECT_EQ(f.core().ui.cbAlphaLevel.text, "0.1");
}

}  // namespace
}  // namespace bx::gui::test
