// SPDX-License-Identifier: MIT
// Files through the window: File > Save As and Load From with the real dialog, a sample data
// file dropped onto the window, the logs and the report, and where the window says they are.

#include <gtest/gtest.h>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "gui/file_list_dialog.h"
#include "gui_support.h"

namespace bx::gui::test {
namespace {

namespace fs = std::filesystem;

// Answers the next file dialog: types `entry` (or clicks the listed file `pick`) and OKs.
void answerDialog(const QString& entry, const QString& pick = QString()) {
    whenModalOpens<FileListDialog>([entry, pick](FileListDialog* dialog) {
        if (!pick.isEmpty()) {
            clickListedFile(dialog, pick);
        } else {
            dialog->findChild<QLineEdit*>("txtFileEntry")->setText(entry);
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
}

// Sends a drag of `path` over the window and, when it is taken, drops it.
bool dropFile(QWidget* window, const fs::path& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    const QPoint centre = window->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    return drop.isAccepted();
}

// Save As, the title and the status bar naming the sample file; a status bar button for each
// active log, whose click stops that log; Report handing the workbook to the desktop; Load
// From with the file picked in the list, and the file dropped onto the window (no other file is
// taken), both loading what was saved.
TEST(WindowFiles, SaveLoadDropAndWhereTheFilesAre) {
    FormFixture f("files");
    MainWindow& w = f.core();
    const fs::path folder = f.scratch / "samples";
    fs::create_directories(folder);
    w.ui.saveFolder = w.ui.loadFolder = w.ui.reportFolder = folder.string();
    w.ui.detailedLogFolder = w.ui.summaryLogFolder = folder.string();
    QTest::keyClicks(f.widget("txtProjectName"), "Harbour");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16", "17"});
    answerDialog("harbour");
    f.action("mnuSaveAs")->trigger();
    const fs::path saved = folder / "harbour.dbf";
    ASSERT_TRUE(fs::exists(saved));
    const QString path = QString::fromStdString(saved.string());
    EXPECT_EQ(f.form().windowTitle(), QString::fromUtf8("harbour.dbf \u2014 Benthix"));
    EXPECT_EQ(qobject_cast<QLabel*>(f.widget("sbSampleFile"))->text(), "Sample file: " + path);

    auto* detail = qobject_cast<QToolButton*>(f.widget("sbDetailLog"));
    auto* summary = qobject_cast<QToolButton*>(f.widget("sbSummaryLog"));
    EXPECT_FALSE(detail->isVisible());
    answerDialog("d4");
    f.action("mnuLogDetail")->trigger();
    answerDialog("s4");
    f.action("mnuLogSummary")->trigger();
    EXPECT_TRUE(detail->text().startsWith("Detailed log: d4.dbf")) << detail->text().toStdString();
    EXPECT_TRUE(summary->isVisible());
    QTest::mouseClick(summary, Qt::LeftButton);
    EXPECT_FALSE(w.ui.summaryLogging || summary->isVisible());
    EXPECT_TRUE(w.ui.detailedLogging && detail->isVisible());
    QTest::mouseClick(detail, Qt::LeftButton);
    EXPECT_FALSE(w.ui.detailedLogging || detail->isVisible());

    answerDialog("harbour");
    f.action("mnuFileReport")->trigger();
    EXPECT_EQ(f.opened, std::vector<std::string>({(folder / "harbour.xlsx").string()}));
    EXPECT_EQ(f.statusLines().last(), "*** Report Complete.");

    f.action("mnuClearAll")->trigger();  // saved: nothing is asked
    EXPECT_EQ(f.form().windowTitle(), "Benthix");
    EXPECT_EQ(qobject_cast<QLabel*>(f.widget("sbSampleFile"))->text(), "");
    answerDialog(QString(), "harbour.dbf");
    f.action("mnuLoadFrom")->trigger();
    EXPECT_EQ(f.text("txtProjectName"), "Harbour");
    EXPECT_EQ(f.cell("Grid2", 4, 1), "17");

    // Dropped, under an upper-case name as other systems write them.
    const fs::path upper = folder / "HARBOUR.DBF";
    fs::copy_file(saved, upper);
    f.action("mnuClearAll")->trigger();
    EXPECT_TRUE(dropFile(&f.form(), upper)) << "a dropped .DBF file was not taken";
    EXPECT_EQ(f.cell("Grid2", 4, 1), "17");
    EXPECT_EQ(f.statusLines().last(),
              "Data Entry Loaded from file <" + QString::fromStdString(upper.string()) + ">.");
    const fs::path text = f.scratch / "notes.txt";
    std::ofstream(text) << "10\n11\n";
    EXPECT_FALSE(dropFile(&f.form(), text));
}

}  // namespace
}  // namespace bx::gui::test
