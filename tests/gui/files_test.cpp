// Saving and loading through the window: File > Save As and Load From with the real dialog,
// and a sample data file dropped onto the window.

#include <gtest/gtest.h>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
    QTimer::singleShot(0, [entry, pick] {
        auto* dialog = qobject_cast<FileListDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (!pick.isEmpty()) {
            auto* list = dialog->findChild<QListWidget*>("filFind");
            list->doItemsLayout();
            const auto items = list->findItems(pick, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(items.first()).center());
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

TEST(WindowFiles, SavedDataComeBackByLoadAndByDrop) {
    FormFixture f("files");
    MainWindow& w = f.core();
    const fs::path folder = f.scratch / "samples";
    fs::create_directories(folder);
    w.ui.saveFolder = folder.string();
    w.ui.loadFolder = folder.string();

    QTest::keyClicks(f.widget("txtProjectName"), "Harbour");
    QTest::keyClicks(f.widget("txtSampId"), "H1");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16", "17"});
    answerDialog("harbour");
    f.action("mnuSaveAs")->trigger();
    const fs::path saved = folder / "harbour.dbf";
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(f.statusLines().last(),
              QString::fromStdString("Save of Sample Data to <" + saved.string() + "> complete."));

    // Load From with the file picked in the list.
    f.action("mnuClearAll")->trigger();
    EXPECT_EQ(f.cell("Grid1", 1, 1), "");
    answerDialog(QString(), "harbour.dbf");
    f.action("mnuLoadFrom")->trigger();
    EXPECT_EQ(f.text("txtProjectName"), "Harbour");
    EXPECT_EQ(f.text("txtSampId"), "H1");
    EXPECT_EQ(f.cell("Grid1", 3, 1), "12");
    EXPECT_EQ(f.cell("Grid2", 4, 1), "17");
    EXPECT_EQ(f.cell("Grid2", 5, 1), "");

    // Dropped onto the window, the file loads as Load From would load it.
    f.action("mnuClearAll")->trigger();
    EXPECT_TRUE(dropFile(&f.form(), saved));
    EXPECT_EQ(f.text("txtProjectName"), "Harbour");
    EXPECT_EQ(f.cell("Grid1", 1, 1), "10");
    EXPECT_EQ(f.cell("Grid2", 4, 1), "17");
    EXPECT_EQ(f.statusLines().last(),
              QString::fromStdString("Data Entry Loaded from file <" + saved.string() + ">."));
}

TEST(WindowFiles, OnlySampleDataFilesMayBeDropped) {
    FormFixture f("drop-refused");
    const fs::path text = f.scratch / "notes.txt";
    std::ofstream(text) << "10\n11\n";
    EXPECT_FALSE(dropFile(&f.form(), text));

    // A .dbf that is no sample data file leaves the window as it was and says so.
    f.typeColumn("Grid1", {"10"});
    const fs::path fake = f.scratch / "fake.dbf";
    std::ofstream(fake) << "not a table";
    EXPECT_TRUE(dropFile(&f.form(), fake));
    EXPECT_EQ(f.cell("Grid1", 1, 1), "10");
    EXPECT_TRUE(f.statusLines().last().startsWith("*** Data NOT Loaded!"))
        << f.statusLines().last().toStdString();
}

// Where the files went: the title and the status bar show the sample file; the status bar
// shows the active logs, and a click stops one; the report names both its files, and when no
// program opens the workbook a box says where they are.
TEST(WindowFiles, TheWindowSaysWhereTheFilesAre) {
    FormFixture f("where");
    MainWindow& w = f.core();
    const fs::path folder = f.scratch / "samples";
    fs::create_directories(folder);
    w.ui.saveFolder = w.ui.detailedLogFolder = w.ui.reportFolder = folder.string();
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    answerDialog("station4");
    f.action("mnuSaveAs")->trigger();
    const QString saved = QString::fromStdString((folder / "station4.dbf").string());
    EXPECT_EQ(f.form().windowTitle(), QString::fromUtf8("station4.dbf \u2014 Benthix"));
    EXPECT_EQ(qobject_cast<QLabel*>(f.widget("sbSampleFile"))->text(), "Sample file: " + saved);

    auto* detail = qobject_cast<QToolButton*>(f.widget("sbDetailLog"));
    EXPECT_FALSE(detail->isVisible());
    answerDialog("d4");
    f.action("mnuLogDetail")->trigger();
    EXPECT_TRUE(detail->isVisible());
    EXPECT_TRUE(detail->text().startsWith("Detailed log: d4.dbf")) << detail->text().toStdString();
    EXPECT_FALSE(f.widget("sbSummaryLog")->isVisible());
    QTest::mouseClick(detail, Qt::LeftButton);
    EXPECT_FALSE(w.ui.detailedLogging);
    EXPECT_FALSE(detail->isVisible());

    f.openSucceeds = false;
    answerDialog("station4");
    f.action("mnuFileReport")->trigger();
    const std::string csv = (folder / "station4.csv").string();
    const std::string xlsx = (folder / "station4.xlsx").string();
    EXPECT_EQ(f.opened, std::vector<std::string>({xlsx}));
    const QStringList lines = f.statusLines();
    EXPECT_EQ(lines.last(), "*** Report Complete.");
    EXPECT_EQ(
        lines.at(lines.size() - 2).toStdString(),
        "     No program opened the report. It is saved as <" + csv + "> and <" + xlsx + ">.");
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_NE(f.messages.shown.back().text.find(csv + "\nand\n" + xlsx), std::string::npos);

    f.action("mnuClearAll")->trigger();  // saved: nothing is asked
    EXPECT_EQ(f.form().windowTitle(), "Benthix");
    EXPECT_EQ(qobject_cast<QLabel*>(f.widget("sbSampleFile"))->text(), "");
}

}  // namespace
}  // namespace bx::gui::test
