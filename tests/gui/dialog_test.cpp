// SPDX-License-Identifier: MIT
// The file-selection dialog, the message boxes, the About window and the pictures.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/file_dialog.h"
#include "gui/file_list_dialog.h"
#include "gui_support.h"
#include "support/test_support.h"

namespace bx::gui::test {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& path) {
    std::ofstream(path) << "x";
}

// A folder with two data files, a report, a text file and a subfolder with one more report.
fs::path dataFolder(const std::string& name) {
    const fs::path folder = bx::test::freshScratch("gui-dialog-" + name) / "data";
    fs::create_directories(folder / "sub");
    touch(folder / "lake.dbf");
    touch(folder / "RIVER.DBF");
    touch(folder / "report1.csv");
    touch(folder / "notes.txt");
    touch(folder / "sub" / "old.csv");
    return folder;
}

QString q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The folder's data and report files are listed; a click fills the name entry; the tree
// changes the folder; a double click is OK and hands back folder, drive and the entry.
TEST(FileDialog, ListsTheFolderAndTakesTheFileClicked) {
    ensureApplication();
    const fs::path folder = dataFolder("list");
    FileListDialog dialog(nullptr);
    dialog.openIn(q(folder));
    dialog.show();
    EXPECT_EQ(dialog.currentFolder(), q(folder));
    // Both patterns, whatever the case of the extension; no text files, no folders.
    EXPECT_EQ(dialog.listedFiles(), QStringList({"lake.dbf", "report1.csv", "RIVER.DBF"}));
    // The drive is one of the chooser's roots and holds the folder.
    const QString drive = dialog.currentDrive();
    EXPECT_TRUE(dialog.drives().contains(drive)) << drive.toStdString();
    EXPECT_TRUE(q(folder).startsWith(drive));
    EXPECT_EQ(dialog.findChild<QComboBox*>("drvChange")->currentText(), drive);
    clickListedFile(&dialog, "RIVER.DBF");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtFileEntry")->text(), "RIVER.DBF");
    EXPECT_TRUE(dialog.isVisible());

    auto* tree = dialog.findChild<QTreeView*>("dirLook");
    auto* shown = qobject_cast<QSortFilterProxyModel*>(tree->model());
    auto* model = qobject_cast<QFileSystemModel*>(shown->sourceModel());
    tree->setCurrentIndex(shown->mapFromSource(model->index(q(folder / "sub"))));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtPath")->text(), q(folder / "sub"));
    EXPECT_EQ(dialog.listedFiles(), QStringList({"old.csv"}));
    clickListedFile(&dialog, "old.csv", true);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    const FileDialogAnswer answer = dialog.answer();
    EXPECT_EQ(answer.folder, (folder / "sub").string());
    EXPECT_EQ(answer.drive, drive.toStdString());
    EXPECT_EQ(answer.entryText, "old.csv");
}

// A folder that is gone opens its nearest parent; an unavailable drive and a folder typed in
// the path bar that is not there are reported and the folder shown stays; Enter in the path
// bar goes to the folder typed there and keeps the dialog open.
TEST(FileDialog, KeepsToFoldersThatAreThere) {
    ensureApplication();
    const fs::path folder = dataFolder("there");
    std::vector<std::string> told;
    FileListDialog dialog([&told](const std::string& text) { told.push_back(text); });
    dialog.setDrives({"/", "/no-such-benthix-drive"});
    dialog.openIn(q(folder / "missing" / "deeper"));
    dialog.show();
    EXPECT_EQ(dialog.currentFolder(), q(folder));
    auto* drives = dialog.findChild<QComboBox*>("drvChange");
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_Down);
    EXPECT_EQ(drives->currentText(), "/");
    EXPECT_EQ(dialog.currentFolder(), q(folder));
    EXPECT_EQ(dialog.listedFiles().size(), 3);

    auto* bar = dialog.findChild<QLineEdit*>("txtPath");
    // "~" is the home folder, here this test's folder.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", folder.string().c_str());
    for (const auto& [typed, shown] :
         {std::pair{q(folder / "sub"), q(folder / "sub")}, std::pair{QString(".."), q(folder)},
          std::pair{QString("~/sub"), q(folder / "sub")}, std::pair{QString("~"), q(folder)},
          std::pair{q(folder / "nowhere"), q(folder)}}) {
        bar->setFocus();
        bar->setText(typed);
        QTest::keyClick(bar, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << typed.toStdString();
        EXPECT_EQ(dialog.currentFolder(), shown) << typed.toStdString();
        EXPECT_EQ(bar->text(), shown);
    }
    qputenv("HOME", home);
    EXPECT_EQ(told, std::vector<std::string>(
                        {"The drive you selected is unavailable - please try another drive.",
                         "Folder not found: " + (folder / "nowhere").string()}));
}

// {path, file-system type, pseudo}: the kernel's folders and volume types are never offered.
TEST(FileDialog, PseudoFileSystemsAreKnown) {
    const struct {
        const char* path;
        const char* type;
        bool pseudo;
    } kCases[] = {
        {"/proc", "", true},          {"/sys/fs/cgroup", "", true},  {"/dev/shm", "tmpfs", true},
        {"/run/user/1000", "", true}, {"/mnt/x", "sysfs", true},     {"/", "overlay", false},
        {"/home", "ext4", false},     {"/media/usb", "vfat", false}, {"/tmp", "tmpfs", false},
        {"/devices", "ext4", false},  {"/running", "", false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(FileListDialog::isPseudoFileSystem(c.path, c.type), c.pseudo) << c.path;
    }
}

// Load From opens at the load folder with its full path in the path bar; the places start
// with the home folder and that working folder, then the other working folders and data
// volumes. The tree of "/" leaves the pseudo file systems out.
TEST(FileDialog, OpensAtThePurposesFolderAmongTheUsersPlaces) {
    FormFixture f("dialog-start");
    const fs::path folder = dataFolder("start");
    f.core().ui.loadFolder = folder.string();
    QString path;
    QStringList drives;
    whenModalOpens<FileListDialog>([&](FileListDialog* dialog) {
        path = dialog->findChild<QLineEdit*>("txtPath")->text();
        drives = dialog->drives();
        dialog->reject();
    });
    f.action("mnuLoadFrom")->trigger();
    EXPECT_EQ(path, q(folder));
    ASSERT_GE(drives.size(), 3);
    EXPECT_EQ(drives.mid(0, 2), QStringList({QDir::homePath(), q(folder)}));
    // Home, the working folders and data volumes only: no "/", no system mount.
    for (const QString& drive : drives.mid(2)) {
        EXPECT_TRUE(FileListDialog::isDataVolume(drive) ||
                    drive.startsWith(QString::fromLatin1(BX_TEST_SCRATCH)))
            << drive.toStdString();
    }

    FileListDialog dialog(nullptr);
    dialog.setDrives({"/"});
    dialog.openIn("/");
    QTRY_VERIFY(dialog.treeFolders().contains("usr"));
    for (const char* pseudo : {"proc", "sys", "dev", "run"}) {
        EXPECT_FALSE(dialog.treeFolders().contains(pseudo)) << pseudo;
    }
}

// A name that is not there for Load keeps the dialog open with the reason; an existing one
// (typed without its extension, Enter pressing the default button OK) is taken.
TEST(FileDialog, ANameThatIsNotThereKeepsLoadOpen) {
    FormFixture f("dialog-missing");
    const fs::path folder = dataFolder("missing");
    f.core().ui.loadFolder = folder.string();
    f.core().ui.fileDialogPurpose = "load";
    bool stayed = false;
    whenModalOpens<FileListDialog>([&stayed](FileListDialog* dialog) {
        auto* entry = dialog->findChild<QLineEdit*>("txtFileEntry");
        entry->setText("lakes");
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        stayed = dialog->isVisible();
        entry->setText("lake");
        QTest::keyClick(entry, Qt::Key_Return);
    });
    f.form().forward([](MainWindow& w) { showFileDialog(w, "Load From..."); });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(f.messages.shown.size(), 1U);
    EXPECT_EQ(f.messages.shown[0].text, "File not found: " + (folder / "lakes.dbf").string());
    EXPECT_EQ(f.core().ui.ChosenPath, (folder / "lake.dbf").string());
}

TEST(FileDialog, CancelGivesNoAnswer) {
    FormFixture f("dialog-cancel");
    const fs::path folder = dataFolder("cancel");
    whenModalOpens<FileListDialog>([](FileListDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Load From...");
        dialog->findChild<QLineEdit*>("txtFileEntry")->setText("typed.dbf");
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(f.form().desktop().fileDialog("Load From...", folder.string()).has_value());
}

// ---------------------------------------------------------------------------------------------

// Test values with one far outlier: the pooled residuals (-11, -10, -9, -8, 38, -2, -1, 0, 1,
// 2) are far from normal (scipy shapiro: W = 0.6818, p = 0.0005), so the normality test fails.
void enterNonNormalData(FormFixture& f) {
    f.typeColumn("Grid1", {"1", "2", "3", "4", "50"});
    f.typeColumn("Grid2", {"10", "11", "12", "13", "14"});
}

// No to the override question turns the power option off: its check mark and the power
// fields follow the window model.
TEST(OverrideQuestion, NoHidesThePowerFields) {
    FormFixture f("override-no");
    f.action("mnuNormalPrompt")->trigger();
    f.action("mnuPowerCalculation")->trigger();
    enterNonNormalData(f);
    f.messages.answers = {MessageAnswer::No};
    QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown[0].title, "Normality Override");
    EXPECT_FALSE(f.action("mnuPowerCalculation")->isChecked());
    EXPECT_FALSE(f.widget("Frame13")->isVisible());
}

// {icon asked for, buttons, button pressed, icon shown, answer}. A box without a title carries
// the program's; paths in angle brackets stay text.
TEST(MessageBoxes, TheRealBoxShowsTitleTextIconAndButtons) {
    FormFixture f("real-box");
    f.form().desktop().setMessageFunction({});
    using Box = QMessageBox;
    const struct {
        MessageIcon icon;
        MessageButtons buttons;
        Box::StandardButton press;
        Box::Icon shown;
        MessageAnswer answer;
    } kCases[] = {
        {MessageIcon::None, MessageButtons::YesNo, Box::No, Box::NoIcon, MessageAnswer::No},
        {MessageIcon::Question, MessageButtons::YesNo, Box::Yes, Box::Question, MessageAnswer::Yes},
        {MessageIcon::Information, MessageButtons::Ok, Box::Ok, Box::Information,
         MessageAnswer::Ok},
        {MessageIcon::Exclamation, MessageButtons::Ok, Box::Ok, Box::Warning, MessageAnswer::Ok},
        {MessageIcon::Critical, MessageButtons::Ok, Box::Ok, Box::Critical, MessageAnswer::Ok},
    };
    for (const auto& c : kCases) {
        QString shown;
        whenModalOpens<Box>([&shown, &c](Box* box) {
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), c.shown);
            EXPECT_EQ(box->standardButtons().testFlag(Box::Yes),
                      c.buttons == MessageButtons::YesNo);
            shown = box->windowTitle() + "|" + box->text();
            box->button(c.press)->click();
        });
        EXPECT_EQ(f.form().desktop().messageBox("", "Log <a&b.dbf> Now Active.", c.icon, c.buttons),
                  c.answer);
        EXPECT_EQ(shown, "Benthix|Log <a&b.dbf> Now Active.");
    }
    // The Help menu's Version entry asks for its box.
    f.form().desktop().setMessageFunction(f.messages.function());
    f.action("mnuHelpVersion")->trigger();
    ASSERT_EQ(f.messages.shown.size(), 1U);
    EXPECT_EQ(f.messages.shown[0].title, "Version Number");
}

TEST(MessageBoxes, TheAboutWindowClosesWithItsButton) {
    FormFixture f("about");
    QString title;
    QString credits;
    whenModalOpens<QDialog>([&](QDialog* about) {
        EXPECT_EQ(about->objectName(), "frmAboutbox");
        title = about->windowTitle();
        credits = about->findChild<QPlainTextEdit*>("txtCredits")->toPlainText();
        QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    f.action("mnuHelpAbout")->trigger();
    EXPECT_EQ(title, "About Benthix");
    EXPECT_TRUE(credits.contains("\nCredits:\n"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MessageBoxes, AFailingCommandIsReportedNotFatal) {
    FormFixture f("throws");
    f.form().forward([](MainWindow&) { throw std::runtime_error("disk removed"); });
    EXPECT_EQ(f.statusLines().last(), "*** Error: disk removed");
    ASSERT_EQ(f.messages.shown.size(), 1U);
    EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(f.messages.shown[0].title, "Benthix");
    // The window goes on working.
    f.typeColumn("Grid1", {"5"});
    EXPECT_EQ(f.cell("Grid1", 1, 1), "5");
}

// A damaged installation: POWERT.dbf missing, and no pictures but a question.bmp that is no
// picture at all. Execute and Report are off; the picture fields stay empty and the broken
// picture is reported once, not on every change of the window.
TEST(DamagedInstallation, ExecuteAndReportOffAndNoPictures) {
    const fs::path folder = bx::test::freshScratch("damaged-program") / "program";
    bx::test::copyStatisticalTables(folder);
    fs::remove(folder / "POWERT.dbf");
    std::ofstream(folder / "question.bmp") << "not a bitmap";
    FormFixture f("damaged", folder.string());
    EXPECT_FALSE(f.widget("cmdExecute")->isEnabled());
    EXPECT_FALSE(f.action("mnuLoadExec")->isEnabled());
    EXPECT_FALSE(f.action("mnuFileReport")->isEnabled());
    EXPECT_TRUE(f.action("mnuLoadFrom")->isEnabled());
    for (const char* picture : {"imgWtestPassFail", "imgSced", "imgTestPassFail"}) {
        EXPECT_TRUE(qobject_cast<QLabel*>(f.widget(picture))->pixmap().isNull()) << picture;
    }
    const QString line = QString::fromStdString(
        "     Picture <" + (folder / "question.bmp").string() + "> could not be shown.");
    EXPECT_EQ(f.statusLines().filter(line).size(), 1);
    f.action("mnuOneSampleTTest")->trigger();
    EXPECT_EQ(f.statusLines().filter(line).size(), 1);
    EXPECT_EQ(f.statusLines().last(), "1 Sample t-Test ON");
}

TEST(Pictures, TheBuildDrewAllFour) {
    ensureApplication();
    for (const char* name : {"ok.bmp", "fail.bmp", "question.bmp", "bart1.ico"}) {
        const QPixmap picture(q(fs::path(bx::test::programFolder()) / name));
        EXPECT_FALSE(picture.isNull()) << name;
        EXPECT_GE(picture.width(), 16) << name;
    }
}

}  // namespace
}  // namespace bx::gui::test
