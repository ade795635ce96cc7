// SPDX-License-Identifier: MIT
// The window in a technician's hands: keyboard shortcuts, results greyed when the entries move
// on, questions before unsaved entries are lost, the window's size on small and scaled screens,
// and the small things a first look finds.

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include "app/user_guide.h"
#include "gui/file_list_dialog.h"
#include "gui/grid_view.h"
#include "gui/help_window.h"
#include "gui_support.h"
#include "support/test_support.h"

namespace bx::gui::test {
namespace {

void enterRun(FormFixture& f) {
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
}

// {key, widget typed in, what the key brings up and its title}. A run leaves the focus where it
// was; Exit asks first about the unsaved entries, and No keeps the window.
TEST(WindowKeys, ShortcutsTriggerTheirCommands) {
    enum class Brings { Run, FileDialog, MessageBox };
    const struct {
        QKeySequence key;
        const char* focus;
        Brings brings;
        const char* title;
    } kCases[] = {
        {QKeySequence(Qt::Key_F5), "Grid2", Brings::Run, ""},
        {QKeySequence(Qt::CTRL | Qt::Key_Return), "txtProjectName", Brings::Run, ""},
        {QKeySequence(Qt::CTRL | Qt::Key_Return), "Grid1", Brings::Run, ""},
        {QKeySequence(Qt::CTRL | Qt::Key_O), "Grid1", Brings::FileDialog, "Load From..."},
        {QKeySequence(Qt::CTRL | Qt::Key_S), "txtSampId", Brings::FileDialog, "Save As..."},
        {QKeySequence(Qt::CTRL | Qt::Key_R), "Grid2", Brings::FileDialog, "New Report File"},
        {QKeySequence(Qt::Key_F1), "Grid1", Brings::MessageBox, "User Guide"},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), "Grid1", Brings::MessageBox, "Exit"},
    };
    const std::string guide = userGuidePath(bx::test::programFolder());
    for (const auto& c : kCases) {
        FormFixture f("keys");
        enterRun(f);
        QWidget* typedIn = f.widget(c.focus);
        typedIn->setFocus();
        QString dialog;
        if (c.brings == Brings::FileDialog) {
            whenModalOpens<FileListDialog>([&dialog](FileListDialog* d) {
                dialog = d->windowTitle();
                d->reject();
            });
        }
        const QKeyCombination key = c.key[0];
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        switch (c.brings) {
            case Brings::Run:
                EXPECT_EQ(f.text("txtTstStat"), "Student's t") << c.focus;
                EXPECT_EQ(f.statusLines().last(), "*** Stats complete.") << c.focus;
                EXPECT_EQ(QApplication::focusWidget(), typedIn) << c.focus;
                break;
            case Brings::FileDialog:
                EXPECT_EQ(dialog, c.title);
                break;
            case Brings::MessageBox:
                if (std::string(c.title) == "User Guide" && !guide.empty()) {
                    // A build copied the guide: it is shown formatted in the help window, at
                    // the window's own section (the focus is in a grid).
                    auto* help = qobject_cast<HelpWindow*>(
                        f.form().findChild<QWidget*>("frmHelp", Qt::FindDirectChildrenOnly));
                    ASSERT_NE(help, nullptr);
                    EXPECT_TRUE(help->isVisible());
                    const QString shown =
                        help->findChild<QTextBrowser*>("txtGuide")->document()->toPlainText();
                    EXPECT_TRUE(shown.contains("How the test is chosen"));
                    EXPECT_FALSE(shown.contains("## How the test is chosen"));
                    const QVariant tree =
                        help->findChild<GuideBrowser*>("txtGuide")
                            ->loadResource(QTextDocument::ImageResource, QUrl("decision-tree.svg"));
                    EXPECT_FALSE(tree.value<QImage>().isNull());
                    EXPECT_TRUE(f.opened.empty());
                    break;
                }
                ASSERT_EQ(f.messages.shown.size(), 1U) << c.title;
                EXPECT_EQ(f.messages.shown[0].title, c.title);
                EXPECT_TRUE(f.form().isVisible());
                break;
        }
    }
}

// A replicate deleted after a run greys the result panels, the pictures and the Transform
// columns and keeps their texts; the next run brings them back.
TEST(WindowResults, ChangedEntriesGreyThePreviousRun) {
    const char* results[] = {"Frame2",  "Frame9",           "Frame10", "Frame11",
                             "Frame12", "imgWtestPassFail", "imgSced", "imgTestPassFail"};
    const auto transformColour = [](FormFixture& f) {
        auto* grid = qobject_cast<GridView*>(f.widget("Grid2"));
        return grid->model()->index(3, 2).data(Qt::ForegroundRole).value<QBrush>().color();
    };
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    FormFixture f("stale");
    enterRun(f);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_F5);
    f.clickCell("Grid2", 3, 1);
    QTest::keyClick(f.widget("Grid2"), Qt::Key_Delete);
    for (const char* name : results) {
        EXPECT_FALSE(f.widget(name)->isEnabled()) << name;
    }
    EXPECT_EQ(f.text("txtTstCalcStat"), "4.8990");
    EXPECT_EQ(transformColour(f), grey);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_F5);
    for (const char* name : results) {
        EXPECT_TRUE(f.widget(name)->isEnabled()) << name;
    }
    EXPECT_NE(transformColour(f), grey);
}

// {the window's screen's free area, the power box shown, content scrolls}: the window never
// opens larger than the area; below its natural size the content scrolls, and the grids keep
// all ten rows at their natural size. 911 x 512 is 1366 x 768 at a scale factor of 1.5.
TEST(WindowSize, OpensWithinTheScreenAndScrollsWhenSmaller) {
    const struct {
        QRect available;
        bool power;
        bool scrolls;
    } kCases[] = {
        {QRect(0, 0, 1366, 738), false, false},
        {QRect(0, 0, 1366, 738), true, false},
        {QRect(0, 0, 911, 482), false, true},
        {QRect(0, 0, 700, 450), true, true},
    };
    for (const auto& c : kCases) {
        FormFixture f("size");
        if (c.power) {
            f.action("mnuPowerCalculation")->trigger();
        }
        f.form().fitToScreen(c.available);
        QApplication::processEvents();
        EXPECT_LE(f.form().width(), c.available.width());
        EXPECT_LE(f.form().height(), c.available.height());
        auto* scroll = f.form().findChild<QScrollArea*>("scrContent");
        const bool scrolls =
            scroll->verticalScrollBar()->isVisible() || scroll->horizontalScrollBar()->isVisible();
        EXPECT_EQ(scrolls, c.scrolls) << c.available.width();
        for (const char* name : {"Grid1", "Grid2"}) {
            auto* grid = qobject_cast<GridView*>(f.widget(name));
            EXPECT_EQ(grid->size(), grid->sizeHint()) << name << " " << c.available.width();
            EXPECT_TRUE(
                grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(10, 2))));
        }
    }
}

// Clear All, Exit and the Clear buttons ask when the entries were never saved, offering
// "Don't ask again" (No keeps the entries and the window). Ticked in the real box with Yes, it
// is kept in the settings, read by a window started later, and the next Clear and Exit go
// ahead unasked.
TEST(WindowConfirm, UnsavedEntriesAreAskedAboutUntilTheUserSaysDontAskAgain) {
    FormFixture f("confirm");
    enterRun(f);
    f.action("mnuClearAll")->trigger();
    EXPECT_FALSE(f.form().close());
    ASSERT_EQ(f.messages.shown.size(), 2U);
    for (const MessageRequest& asked : f.messages.shown) {
        EXPECT_EQ(asked.icon, MessageIcon::Question);
        EXPECT_TRUE(asked.offersDontAskAgain);
    }
    EXPECT_EQ(f.cell("Grid1", 1, 1), "10");

    f.form().desktop().setMessageFunction({});
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalOpens<QMessageBox>([&icon](QMessageBox* box) {
        icon = box->icon();
        box->checkBox()->setChecked(true);
        box->button(QMessageBox::Yes)->click();
    });
    QTest::mouseClick(f.widget("cmdClearSamp"), Qt::LeftButton);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(f.cell("Grid1", 1, 1), "");
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Benthix", "Benthix");
    EXPECT_FALSE(settings.value(MainForm::kAskSetting, true).toBool());
    MainForm next(StartupFolders{bx::test::programFolder(), (f.scratch / "next").string()});
    EXPECT_FALSE(next.core().ui.askBeforeDiscarding);

    f.form().desktop().setMessageFunction(f.messages.function());
    QTest::mouseClick(f.widget("cmdClearRef"), Qt::LeftButton);
    EXPECT_EQ(f.cell("Grid2", 1, 1), "");
    f.typeColumn("Grid1", {"7"});
    EXPECT_TRUE(f.form().close());
    EXPECT_EQ(f.messages.shown.size(), 2U);
}

TEST(WindowDetails, FieldsCaptionsAndMessages) {
    FormFixture f("details");
    // No caret blinks in the messages; the override field has room for its longest text.
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(f.widget("Status"))->cursorWidth(), 0);
    f.action("mnuNormalPrompt")->trigger();
    auto* override = qobject_cast<QLineEdit*>(f.widget("txtOverride"));
    // The text plus the frame and the margins of a line edit (a dozen pixels).
    EXPECT_GE(override->width(), override->fontMetrics().horizontalAdvance("Not Invoked") + 12);
    // The power box names the transformed scale while a transformation is chosen, on lines of
    // its own: the window on a 1366 x 768 screen still needs no scrolling.
    f.form().fitToScreen(QRect(0, 0, 1366, 738));
    f.action("mnuPowerCalculation")->trigger();
    auto* method = qobject_cast<QComboBox*>(f.widget("cbTransMethod"));
    method->setFocus();
    QTest::keyClick(method, Qt::Key_Down);
    EXPECT_TRUE(qobject_cast<QLabel*>(f.widget("lblDiff_levl"))
                    ->text()
                    .contains("(difference in transformed units)"));
    QTest::qWait(50);
    EXPECT_FALSE(
        f.form().findChild<QScrollArea*>("scrContent")->horizontalScrollBar()->isVisible());
}

}  // namespace
}  // namespace bx::gui::test
