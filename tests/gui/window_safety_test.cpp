// What the window must never do behind the user's back: replace a file unasked, start a log on
// a sample file, lose a typed path, analyse fewer values than the grid shows or a text as a
// number, drop a keystroke; and what a small screen must still show.

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolBar>
#include <filesystem>

#include "entry/grid.h"
#include "gui/file_list_dialog.h"
#include "gui_support.h"

namespace bx::gui::test {
namespace {

namespace fs = std::filesystem;

void answerDialog(const QString& entry) {
    whenModalOpens<FileListDialog>([entry](FileListDialog* dialog) {
        dialog->findChild<QLineEdit*>("txtFileEntry")->setText(entry);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
}

QByteArray md5(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
}

bool statusHas(const FormFixture& f, const QString& line) {
    return f.statusLines().contains(line);
}

// Save As over a sample file asks with No as the default, and No keeps the file's bytes; a
// detailed log is refused on the sample file by name; a typed path saves in its folder; a name
// the rules change is announced.
TEST(WindowSafety, FilesAreNeverReplacedUnasked) {
    FormFixture f("safety-files");
    MainWindow& w = f.core();
    const fs::path folder = f.scratch / "data";
    fs::create_directories(folder / "a" / "b");
    w.ui.saveFolder = w.ui.detailedLogFolder = folder.string();
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    answerDialog("harbour1");
    f.action("mnuSaveAs")->trigger();
    const fs::path sample = folder / "harbour1.dbf";
    const QByteArray before = md5(sample);

    f.typeColumn("Grid1", {"20"});
    answerDialog("harbour1");
    f.action("mnuSaveAs")->trigger();
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown.back().buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(md5(sample), before);

    answerDialog("harbour1");
    f.action("mnuLogDetail")->trigger();
    EXPECT_FALSE(w.ui.detailedLogging);
    EXPECT_EQ(f.messages.shown.back().text.rfind(
                  "harbour1.dbf is a sample data file, not a detailed log", 0),
              0U);
    EXPECT_EQ(md5(sample), before);

    // From the data folder, a path three folders deep saves there under its last part.
    answerDialog(QString::fromStdString((folder / "a" / "b" / "harb2").string()));
    f.action("mnuSaveAs")->trigger();
    EXPECT_TRUE(fs::exists(folder / "a" / "b" / "harb2.dbf"));
    EXPECT_FALSE(fs::exists(folder / "harb2.dbf"));

    answerDialog("my file!");
    f.action("mnuSaveAs")->trigger();
    EXPECT_EQ(f.messages.shown.back().text,
              "Saved as myfile.dbf: blanks and ! are not allowed in names.");
    EXPECT_TRUE(fs::exists(folder / "a" / "b" / "myfile.dbf"));
}

// The grid shows eight values with a gap after the third: the run stops on the gap and selects
// it. A pasted "12 mg" stops it too, until Options > "Read Leading Numbers" reads it as 12.
TEST(WindowSafety, GapsAndTextsStopTheRun) {
    FormFixture f("safety-values");
    f.typeColumn("Grid1", {"82", "85", "95", "", "88", "91", "84", "86"});
    f.typeColumn("Grid2", {"90", "92", "94"});
    f.action("mnuLoadExec")->trigger();
    EXPECT_TRUE(statusHas(
        f, "Test Data row 4 is empty; values below it would be ignored. Data NOT analysed."));
    EXPECT_EQ(f.core().ui.Grid1.row(), 4);
    EXPECT_EQ(f.text("txtTstPassFail"), "");

    QGuiApplication::clipboard()->setText("10\r\n12 mg\r\n11\r\n");
    f.dragCells("Grid1", 1, 1, 10, 1);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_Delete);
    f.clickCell("Grid1", 1, 1);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_V, Qt::ControlModifier);
    f.action("mnuLoadExec")->trigger();
    EXPECT_TRUE(
        statusHas(f, "Test sample (x1), row 2: \"12 mg\" is not a number. Data NOT analysed."));
    EXPECT_EQ(f.text("txtSampNum"), "");
    f.action("mnuReadLeadingNumbers")->trigger();
    f.action("mnuLoadExec")->trigger();
    EXPECT_EQ(f.text("txtSampNum"), "3");
}

// Keys: the key that brings the cell back from the Transform column is typed; entering a cell
// by Shift+Tab replaces its value as a click does, F2 edits it; under a decimal-comma locale
// the comma types the point, in the grid and in the power difference.
TEST(WindowSafety, NoKeystrokeIsLost) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FormFixture f("safety-keys");
    QLocale::setDefault(QLocale::c());
    QWidget* grid = f.widget("Grid1");
    f.clickCell("Grid1", 1, 1);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClicks(grid, "12");
    EXPECT_EQ(f.cell("Grid1", 1, 1), "12");
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClicks(grid, "12,5");
    EXPECT_EQ(f.cell("Grid1", 2, 1), "12.5");

    f.clickCell("Grid1", 3, 1);
    QTest::keyClicks(grid, "90");
    QTest::keyClick(grid, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), grid);
    QTest::keyClicks(grid, "9");
    EXPECT_EQ(f.cell("Grid1", 3, 1), "9");
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClicks(grid, "1");
    EXPECT_EQ(f.cell("Grid1", 3, 1), "91");

    f.action("mnuPowerCalculation")->trigger();
    QTest::keyClicks(f.widget("txtDiff_levl"), "2,5");
    EXPECT_EQ(f.core().ui.txtDiff_levl.text, "2.5");
}

// A row copied from a spreadsheet goes down the Data column, never into Transform; a copied
// block has the platform's line ends.
TEST(WindowSafety, ARowPastesDownTheDataColumn) {
    FormFixture f("safety-paste");
    QGuiApplication::clipboard()->setText("95\t92\t90\r\n");
    f.clickCell("Grid1", 1, 2);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.cell("Grid1", 1, 1), "95");
    EXPECT_EQ(f.cell("Grid1", 3, 1), "90");
    EXPECT_EQ(f.cell("Grid1", 1, 2), "");
    f.dragCells("Grid1", 1, 1, 2, 1);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "95\n92");
}

// On a 1024 x 600 screen, and on 1366 x 768 at 150 % (911 x 512 device-independent pixels),
// less the title bar and the panel: Execute, the verdict and the first messages are in view
// without scrolling, and switching Power Calculations on moves nothing.
TEST(WindowSafety, SmallScreensShowExecuteTheVerdictAndTheMessages) {
    for (const QSize screen : {QSize(1024, 560), QSize(911, 482)}) {
        FormFixture f("safety-layout");
        f.form().resize(screen);
        QApplication::processEvents();
        const QRect window = f.form().rect();
        auto* execute =
            f.form().findChild<QToolBar*>("tbCommands")->findChild<QWidget*>("tbExecute");
        ASSERT_NE(execute, nullptr);
        EXPECT_TRUE(window.contains(QRect(execute->mapTo(&f.form(), QPoint()), execute->size())));
        QWidget* viewport = f.form().findChild<QScrollArea*>("scrContent")->viewport();
        for (const char* name : {"txtTstPassFail", "imgTestPassFail", "Status"}) {
            QWidget* shown = f.widget(name);
            const QPoint top = shown->mapTo(viewport, QPoint());
            EXPECT_TRUE(viewport->rect().contains(QRect(top, QSize(shown->width(), 20))))
                << name << " at " << screen.width();
        }
        const QRect executeButton = f.widget("cmdExecute")->geometry();
        f.action("mnuPowerCalculation")->trigger();
        QApplication::processEvents();
        EXPECT_EQ(f.widget("cmdExecute")->geometry(), executeButton);
    }
}

}  // namespace
}  // namespace bx::gui::test
