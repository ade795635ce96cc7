// The file-selection dialog, the message boxes, the About window and the pictures.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/file_dialog.h"
#include "app/startup.h"
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

// Runs `action` on the modal dialog or box as soon as it is open.
template <typename Widget, typename Action>
void whenModalOpens(Action action) {
    QTimer::singleShot(0, [action] {
        auto* modal = qobject_cast<Widget*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

void clickFile(FileListDialog& dialog, const QString& name, bool twice) {
    auto* list = dialog.findChild<QListWidget*>("filFind");
    list->doItemsLayout();
    const auto items = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    const QPoint centre = list->visualItemRect(items.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    if (twice) {
        // A widget's double click arrives as the second press of a quick pair.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    }
}

TEST(FileDialog, ListsTheDataAndReportFilesOfTheFolder) {
    ensureApplication();
    const fs::path folder = dataFolder("list");
    FileListDialog dialog(nullptr);
    EXPECT_EQ(dialog.objectName(), "frmFilelist");
    EXPECT_EQ(dialog.windowTitle(), "File List");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblFilename")->text(), "File Name:");
    dialog.openIn(q(folder));
    dialog.show();
    EXPECT_EQ(dialog.currentFolder(), q(folder));
    // Both patterns, whatever the case of the extension; no text files, no folders.
    EXPECT_EQ(dialog.listedFiles(), QStringList({"lake.dbf", "report1.csv", "RIVER.DBF"}));
    // The drive is one of the chooser's roots and holds the folder.
    const QString drive = dialog.currentDrive();
    EXPECT_TRUE(FileListDialog::fileSystemRoots().contains(drive)) << drive.toStdString();
    EXPECT_TRUE(q(folder).startsWith(drive));
    EXPECT_EQ(dialog.findChild<QComboBox*>("drvChange")->currentText(), drive);

    // A click fills the name entry; OK hands back folder, drive and the entry as typed.
    clickFile(dialog, "RIVER.DBF", false);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtFileEntry")->text(), "RIVER.DBF");
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const FileDialogAnswer answer = dialog.answer();
    EXPECT_EQ(answer.folder, folder.string());
    EXPECT_EQ(answer.drive, drive.toStdString());
    EXPECT_EQ(answer.entryText, "RIVER.DBF");
}

TEST(FileDialog, ADoubleClickIsOkAndTheFolderTreeChangesTheList) {
    ensureApplication();
    const fs::path folder = dataFolder("double");
    FileListDialog dialog(nullptr);
    dialog.openIn(q(folder));
    dialog.show();
    // Choosing the subfolder in the tree lists its files and shows its path.
    auto* tree = dialog.findChild<QTreeView*>("dirLook");
    auto* shown = qobject_cast<QSortFilterProxyModel*>(tree->model());
    auto* model = qobject_cast<QFileSystemModel*>(shown->sourceModel());
    tree->setCurrentIndex(shown->mapFromSource(model->index(q(folder / "sub"))));
    EXPECT_EQ(dialog.currentFolder(), q(folder / "sub"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtPath")->text(), q(folder / "sub"));
    EXPECT_EQ(dialog.listedFiles(), QStringList({"old.csv"}));
    clickFile(dialog, "old.csv", true);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.answer().entryText, "old.csv");
    EXPECT_EQ(dialog.answer().folder, (folder / "sub").string());
}

TEST(FileDialog, AFolderThatIsGoneOpensItsNearestParent) {
    ensureApplication();
    const fs::path folder = dataFolder("gone");
    FileListDialog dialog(nullptr);
    dialog.openIn(q(folder / "missing" / "deeper"));
    EXPECT_EQ(dialog.currentFolder(), q(folder));
    EXPECT_EQ(dialog.listedFiles().size(), 3);
}

TEST(FileDialog, AnUnavailableDriveIsReportedAndNothingChanges) {
    ensureApplication();
    const fs::path folder = dataFolder("drive");
    std::vector<std::string> told;
    FileListDialog dialog([&told](const std::string& text) { told.push_back(text); });
    dialog.setDrives({"/", "/no-such-benthix-drive"});
    dialog.openIn(q(folder));
    dialog.show();
    auto* drives = dialog.findChild<QComboBox*>("drvChange");
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_Down);
    EXPECT_EQ(told, std::vector<std::string>(
                        {"The drive you selected is unavailable - please try another drive."}));
    EXPECT_EQ(drives->currentText(), "/");
    EXPECT_EQ(dialog.currentFolder(), q(folder));
    EXPECT_EQ(dialog.listedFiles().size(), 3);
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
// with the home folder and that working folder, and hold no pseudo file system. The tree of
// "/" leaves them out too.
TEST(FileDialog, OpensAtThePurposesFolderAmongTheUsersPlaces) {
    FormFixture f("dialog-start");
    const fs::path folder = dataFolder("start");
    f.core().ui.loadFolder = folder.string();
    QString path;
    QStringList drives;
    QStringList files;
    whenModalOpens<FileListDialog>([&](FileListDialog* dialog) {
        path = dialog->findChild<QLineEdit*>("txtPath")->text();
        drives = dialog->drives();
        files = dialog->listedFiles();
        dialog->reject();
    });
    f.action("mnuLoadFrom")->trigger();
    EXPECT_EQ(path, q(folder));
    EXPECT_EQ(files, QStringList({"lake.dbf", "report1.csv", "RIVER.DBF"}));
    ASSERT_GE(drives.size(), 3);
    EXPECT_EQ(drives.mid(0, 2), QStringList({QDir::homePath(), q(folder)}));
    EXPECT_TRUE(drives.contains("/"));
    for (const QString& drive : drives) {
        EXPECT_FALSE(FileListDialog::isPseudoFileSystem(drive)) << drive.toStdString();
    }

    FileListDialog dialog(nullptr);
    dialog.setDrives({"/"});
    dialog.openIn("/");
    QTRY_VERIFY(dialog.treeFolders().contains("usr"));
    for (const char* pseudo : {"proc", "sys", "dev", "run"}) {
        EXPECT_FALSE(dialog.treeFolders().contains(pseudo)) << pseudo;
    }
}

// Enter in the path bar goes to the folder typed there and keeps the dialog open; a folder
// that is not there is reported and the one shown stays.
TEST(FileDialog, ThePathBarGoesToTheFolderTyped) {
    ensureApplication();
    const fs::path folder = dataFolder("path-bar");
    std::vector<std::string> told;
    FileListDialog dialog([&told](const std::string& text) { told.push_back(text); });
    dialog.openIn(q(folder));
    dialog.show();
    auto* bar = dialog.findChild<QLineEdit*>("txtPath");
    for (const auto& [typed, shown] :
         {std::pair{q(folder / "sub"), q(folder / "sub")}, std::pair{QString(".."), q(folder)},
          std::pair{q(folder / "nowhere"), q(folder)}}) {
        bar->setFocus();
        bar->setText(typed);
        QTest::keyClick(bar, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << typed.toStdString();
        EXPECT_EQ(dialog.currentFolder(), shown) << typed.toStdString();
        EXPECT_EQ(bar->text(), shown);
    }
    EXPECT_EQ(told,
              std::vector<std::string>({"Folder not found: " + (folder / "nowhere").string()}));
}

// A name that is not there for Load keeps the dialog open with the reason; an existing one
// (written without its extension) is taken.
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
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
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

// The names the user types are cleaned by the program's rules on the way back from the
// dialog: blanks and the extension go, at most eight characters, the purpose's extension.
TEST(FileDialog, TypedNamesComeBackCleanedForTheirPurpose) {
    FormFixture f("dialog-names");
    MainWindow& w = f.core();
    const fs::path folder = dataFolder("names");
    w.ui.saveFolder = folder.string();

    const auto answerWith = [](const char* entry) {
        whenModalOpens<FileListDialog>([entry](FileListDialog* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>("txtFileEntry");
            edit->setFocus();
            QTest::keyClicks(edit, entry);
            QTest::keyClick(edit, Qt::Key_Return);  // OK is the default button
        });
    };

    w.ui.fileDialogPurpose = "save";
    answerWith("my file.dbf");
    f.form().forward([](MainWindow& mw) { showFileDialog(mw, "Save As..."); });
    EXPECT_EQ(w.ui.ChosenFileName, "myfile.dbf");
    EXPECT_EQ(w.ui.ChosenFolder, folder.string());
    EXPECT_EQ(w.ui.ChosenPath, (folder / "myfile.dbf").string());
    EXPECT_TRUE(f.messages.shown.empty());
}

// ---------------------------------------------------------------------------------------------

// Test values with one far outlier: the pooled residuals (-11, -10, -9, -8, 38, -2, -1, 0, 1,
// 2) are far from normal (scipy shapiro: W = 0.6818, p = 0.0005), so the normality test fails.
void enterNonNormalData(FormFixture& f) {
    f.typeColumn("Grid1", {"1", "2", "3", "4", "50"});
    f.typeColumn("Grid2", {"10", "11", "12", "13", "14"});
}

// The answer decides whether the power fields stay on screen.
TEST(OverrideQuestion, YesKeepsThePowerFieldsNoHidesThem) {
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        const bool yes = answer == MessageAnswer::Yes;
        FormFixture f(yes ? "override-yes" : "override-no");
        f.action("mnuNormalPrompt")->trigger();
        f.action("mnuPowerCalculation")->trigger();
        enterNonNormalData(f);
        f.messages.answers = {answer};
        QTest::mouseClick(f.widget("cmdExecute"), Qt::LeftButton);
        ASSERT_FALSE(f.messages.shown.empty());
        EXPECT_EQ(f.messages.shown.front().title, "Normality Override");
        EXPECT_EQ(f.text("txtOverride"), yes ? "Invoked" : "Not Invoked");
        EXPECT_TRUE(f.widget("txtOverride")->isVisible());
        EXPECT_EQ(f.action("mnuPowerCalculation")->isChecked(), yes);
        EXPECT_EQ(f.widget("Frame13")->isVisible(), yes);
        EXPECT_EQ(f.widget("txtTstPower")->isVisible(), yes);
    }
}

TEST(MessageBoxes, TheRealBoxShowsTitleTextIconAndButtons) {
    FormFixture f("real-box");
    f.form().desktop().setMessageFunction({});
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        Qt::TextFormat format = Qt::AutoText;
    } seen;
    const auto record = [&seen](QMessageBox::StandardButton press) {
        whenModalOpens<QMessageBox>([&seen, press](QMessageBox* box) {
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                    box->textFormat()};
            box->button(press)->click();
        });
    };

    record(QMessageBox::Ok);
    f.action("mnuHelpVersion")->trigger();
    EXPECT_EQ(seen.title, "Version Number");
    EXPECT_EQ(seen.text, "Benthix Version: 1.1.0 (December 6, 2026)");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // A question without a title carries the program's; paths in angle brackets stay text.
    record(QMessageBox::No);
    const MessageAnswer no = f.form().desktop().messageBox(
        "", "Detailed Log File <a&b.dbf> Now Active.", MessageIcon::None, MessageButtons::YesNo);
    EXPECT_EQ(no, MessageAnswer::No);
    EXPECT_EQ(seen.title, "Benthix");
    EXPECT_EQ(seen.text, "Detailed Log File <a&b.dbf> Now Active.");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    record(QMessageBox::Yes);
    EXPECT_EQ(f.form().desktop().messageBox("Normality Override", "?", MessageIcon::None,
                                            MessageButtons::YesNo),
              MessageAnswer::Yes);

    record(QMessageBox::Ok);
    f.form().desktop().messageBox("ERROR", "Invalid Data File Selected!", MessageIcon::Critical,
                                  MessageButtons::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    record(QMessageBox::Ok);
    f.form().desktop().messageBox("Log File Selection", "Incorrect Filename Chosen, Try again.",
                                  MessageIcon::Exclamation, MessageButtons::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
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
    EXPECT_TRUE(credits.startsWith("This product was developed by:"));
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

TEST(Pictures, AMissingOrBrokenPictureLeavesTheFieldEmpty) {
    // A program folder without pictures, except a question.bmp that is no picture at all.
    const fs::path folder = bx::test::freshScratch("no-pictures-program") / "program";
    bx::test::copyStatisticalTables(folder);
    std::ofstream(folder / "question.bmp") << "not a bitmap";
    FormFixture f("no-pictures", folder.string());
    for (const char* picture : {"imgWtestPassFail", "imgSced", "imgTestPassFail"}) {
        EXPECT_TRUE(qobject_cast<QLabel*>(f.widget(picture))->pixmap().isNull()) << picture;
    }
    const QString line = QString::fromStdString(
        "     Picture <" + (folder / "question.bmp").string() + "> could not be shown.");
    EXPECT_EQ(f.statusLines(), QStringList({"", line}));
    // Reported once, not on every change of the window.
    f.action("mnuOneSampleTTest")->trigger();
    EXPECT_EQ(f.statusLines(), QStringList({"", line, "1 Sample t-Test ON"}));
}

TEST(DamagedTables, ExecuteAndReportAreOffAndTheWindowSaysWhy) {
    const fs::path folder = bx::test::freshScratch("damaged-tables-program") / "program";
    bx::test::copyStatisticalTables(folder);
    fs::remove(folder / "POWERT.dbf");
    FormFixture f("damaged-tables", folder.string());
    EXPECT_FALSE(f.widget("cmdExecute")->isEnabled());
    EXPECT_FALSE(f.action("mnuLoadExec")->isEnabled());
    EXPECT_FALSE(f.action("mnuFileReport")->isEnabled());
    EXPECT_TRUE(f.action("mnuLoadFrom")->isEnabled());
    ASSERT_EQ(f.messages.shown.size(), 1U);
    EXPECT_EQ(f.messages.shown[0].text,
              "Statistical table POWERT.dbf is missing or damaged; reinstall Benthix.");
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
