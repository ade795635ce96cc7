#pragma once
// The program's own file-selection dialog: a chooser of file-system roots and mount points, a
// folder tree, the list of the folder's data and report files, a name entry, OK and Cancel.
// It only hands back what the user chose; the caller cleans the name and opens the file.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "app/desktop.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeView;

namespace bx::gui {

class FileListDialog : public QDialog {
    Q_OBJECT
  public:
    // `inform` shows an information message (the drive that cannot be opened).
    using InformFunction = std::function<void(const std::string& text)>;

    explicit FileListDialog(InformFunction inform, QWidget* parent = nullptr);

    // The roots and mount points the drive chooser offers, "/" first.
    static QStringList fileSystemRoots();
    // Replaces the drive chooser's entries.
    void setDrives(const QStringList& roots);

    // Shows `folder` in the folder tree (the nearest existing folder above it when it is gone)
    // and chooses the drive that holds it.
    void openIn(const QString& folder);

    // Switches to another drive as picking it in the chooser does; when it cannot be opened,
    // tells the user and keeps the folder shown so far.
    bool chooseDrive(const QString& root);

    QString currentFolder() const { return folder_; }
    QString currentDrive() const;
    QStringList listedFiles() const;

    // What OK hands back: the folder, the drive and the name entry's raw text.
    FileDialogAnswer answer() const;

    static constexpr const char* kUnavailableDrive =
        "The drive you selected is unavailable - please try another drive.";

  private:
    void showFolder(const QString& folder);
    void refreshFiles();
    void selectDriveEntry(const QString& root);
    void onDriveActivated(int index);
    void onFileClicked(QListWidgetItem* item);
    void onFileActivated(QListWidgetItem* item);

    InformFunction inform_;
    QString folder_;
    QString drive_;
    QLabel* lblFilename_;
    QLineEdit* txtFileEntry_;
    QListWidget* filFind_;
    QTreeView* dirLook_;
    QFileSystemModel* folders_;
    QComboBox* drvChange_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace bx::gui
