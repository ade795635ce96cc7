// SPDX-License-Identifier: MIT
#pragma once
// The program's own file-selection dialog: an editable path bar with the full path of the
// folder shown, a chooser of places (the home folder, the working folders, the mounted data
// volumes; never "/" or the system's mounts), a folder tree, the list of the folder's files of
// the kind asked for, a name entry, OK and Cancel. It only hands back what the user chose; the
// caller cleans the name and opens the file. A check given by the caller may keep it open.

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
class QSortFilterProxyModel;
class QTreeView;

namespace bx::gui {

class FileListDialog : public QDialog {
    Q_OBJECT
  public:
    // `inform` shows an information message (a place that cannot be opened, a folder that is
    // not there, the check's reason).
    using InformFunction = std::function<void(const std::string& text)>;
    using CheckFunction = std::function<std::string(const FileDialogAnswer&)>;

    explicit FileListDialog(InformFunction inform, QWidget* parent = nullptr);

    // True for the kernel's pseudo file systems (/proc, /sys, /dev, /run and what lies below
    // them, or a volume of such a type): nothing a user keeps files in.
    static bool isPseudoFileSystem(const QString& path, const QByteArray& type = {});
    // The mounted volumes that hold folders, "/" first, pseudo file systems left out.
    static QStringList fileSystemRoots();
    // True for a mounted volume that holds a user's data (below /media, /mnt or /run/media),
    // as against the system's own mounts.
    static bool isDataVolume(const QString& root);
    // The places the chooser offers: the home folder, the `workingFolders`, then the mounted
    // data volumes, each once.
    static QStringList places(const QStringList& workingFolders);
    // Replaces the chooser's entries.
    void setDrives(const QStringList& roots);
    QStringList drives() const;

    // Which files the list shows (every data and report file when not set).
    void setListFilter(std::function<bool(const std::string& path)> listed) {
        listed_ = std::move(listed);
    }

    // Called on OK with the answer; a non-empty reason is shown and the dialog stays open.
    void setCheck(CheckFunction check) { check_ = std::move(check); }

    // Offers the places for `folder` as the working folder, shows it (the nearest existing
    // folder above it when it is gone) and chooses the place that holds it.
    void openIn(const QString& folder);

    // Switches to another place as picking it in the chooser does; when it cannot be opened,
    // tells the user and keeps the folder shown so far.
    bool chooseDrive(const QString& root);

    // Shows the folder typed in the path bar; when there is no such folder, says so and keeps
    // the folder shown so far.
    bool goToTypedFolder();

    QString currentFolder() const { return folder_; }
    QString currentDrive() const;
    QStringList listedFiles() const;
    // The folders the tree shows directly below the current place.
    QStringList treeFolders() const;

    // What OK hands back: the folder, the drive and the name entry's raw text.
    FileDialogAnswer answer() const;

    static constexpr const char* kUnavailableDrive =
        "The drive you selected is unavailable - please try another drive.";

  public slots:
    // OK: goes to a folder typed in the path bar first, then asks the check; accepts when
    // nothing stands in the way.
    void tryAccept();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showFolder(const QString& folder);
    void setTreeRoot(const QString& root);
    void refreshFiles();
    void selectDriveEntry(const QString& root);
    void onDriveActivated(int index);
    void onFileClicked(QListWidgetItem* item);
    void onFileActivated(QListWidgetItem* item);
    void tell(const std::string& text) const;

    InformFunction inform_;
    CheckFunction check_;
    std::function<bool(const std::string& path)> listed_;
    QString folder_;
    QString drive_;
    QLineEdit* txtPath_;
    QLabel* lblFilename_;
    QLineEdit* txtFileEntry_;
    QListWidget* filFind_;
    QTreeView* dirLook_;
    QFileSystemModel* folders_;
    QSortFilterProxyModel* shownFolders_;
    QComboBox* drvChange_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace bx::gui
