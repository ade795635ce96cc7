// SPDX-License-Identifier: MIT
#include "gui/file_list_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTreeView>
#include <cstring>

namespace bx::gui {
namespace {

const QStringList& fileFilters() {
    static const QStringList filters{"*.dbf", "*.csv"};
    return filters;
}

// The nearest folder at or above `folder` that exists; the home folder when none does.
QString existingFolder(const QString& folder) {
    QString path = folder.isEmpty() ? QDir::homePath() : QDir::cleanPath(folder);
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path) {
            return QDir::homePath();
        }
        path = parent;
    }
    return path;
}

// Whether `folder` lies inside `root` (a root or mount point, "/" for the whole tree).
bool folderIsUnder(const QString& folder, const QString& root) {
    if (root == "/" || folder == root) {
        return true;
    }
    const QString prefix = root.endsWith('/') ? root : root + '/';
    return folder.startsWith(prefix);
}

// The folder tree without the pseudo file systems.
class RealFolders : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        return !FileListDialog::isPseudoFileSystem(files->filePath(files->index(row, 0, parent)));
    }
};

}  // namespace

FileListDialog::FileListDialog(InformFunction inform, QWidget* parent)
    : QDialog(parent), inform_(std::move(inform)) {
    setObjectName("frmFilelist");
    setWindowTitle("File List");
    setModal(true);

    txtPath_ = new QLineEdit(this);
    txtPath_->setObjectName("txtPath");
    txtPath_->setToolTip("The folder shown; type another folder and press Enter to go there");
    txtPath_->installEventFilter(this);
    auto* pathLabel = new QLabel("&Folder:", this);
    pathLabel->setBuddy(txtPath_);

    lblFilename_ = new QLabel("File Name:", this);
    lblFilename_->setObjectName("lblFilename");
    txtFileEntry_ = new QLineEdit(this);
    txtFileEntry_->setObjectName("txtFileEntry");
    lblFilename_->setBuddy(txtFileEntry_);

    filFind_ = new QListWidget(this);
    filFind_->setObjectName("filFind");
    filFind_->setSelectionMode(QAbstractItemView::SingleSelection);

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setReadOnly(true);
    shownFolders_ = new RealFolders(this);
    shownFolders_->setSourceModel(folders_);
    dirLook_ = new QTreeView(this);
    dirLook_->setObjectName("dirLook");
    dirLook_->setModel(shownFolders_);
    dirLook_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column) {
        dirLook_->hideColumn(column);
    }

    drvChange_ = new QComboBox(this);
    drvChange_->setObjectName("drvChange");
    drvChange_->setToolTip("Places: the home folder, the working folder and the mounted volumes");

    cmdOK_ = new QPushButton("OK", this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton("Cancel", this);
    cmdCancel_->setObjectName("cmdCancel");

    auto* layout = new QGridLayout(this);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(txtPath_, 1);
    layout->addLayout(pathRow, 0, 0, 1, 3);
    layout->addWidget(lblFilename_, 1, 0);
    layout->addWidget(txtFileEntry_, 2, 0);
    layout->addWidget(filFind_, 3, 0, 2, 1);
    layout->addWidget(new QLabel("Folders:", this), 1, 1);
    layout->addWidget(dirLook_, 2, 1, 2, 1);
    layout->addWidget(drvChange_, 4, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addStretch(1);
    layout->addLayout(buttons, 2, 2, 3, 1);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    setTabOrder(txtFileEntry_, filFind_);
    setTabOrder(filFind_, dirLook_);
    setTabOrder(dirLook_, drvChange_);
    setTabOrder(drvChange_, txtPath_);
    setTabOrder(txtPath_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);

    connect(cmdOK_, &QPushButton::clicked, this, &FileListDialog::tryAccept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(filFind_, &QListWidget::itemClicked, this, &FileListDialog::onFileClicked);
    connect(filFind_, &QListWidget::itemDoubleClicked, this, &FileListDialog::onFileActivated);
    connect(filFind_, &QListWidget::itemActivated, this, &FileListDialog::onFileActivated);
    connect(dirLook_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    folder_ = folders_->filePath(shownFolders_->mapToSource(current));
                    txtPath_->setText(QDir::toNativeSeparators(folder_));
                    refreshFiles();
                }
            });
    connect(drvChange_, &QComboBox::activated, this, &FileListDialog::onDriveActivated);

    setDrives(places({}));
    resize(640, 420);
}

bool FileListDialog::isPseudoFileSystem(const QString& path, const QByteArray& type) {
    static const QStringList kFolders{"/proc", "/sys", "/dev", "/run"};
    static const QSet<QByteArray> kTypes{
        "proc",    "sysfs",       "devtmpfs",   "devpts",   "cgroup", "cgroup2",   "mqueue",
        "debugfs", "tracefs",     "securityfs", "pstore",   "bpf",    "autofs",    "configfs",
        "fusectl", "binfmt_misc", "hugetlbfs",  "efivarfs", "nsfs",   "rpc_pipefs"};
    const QString clean = QDir::cleanPath(path);
    for (const QString& folder : kFolders) {
        if (clean == folder || clean.startsWith(folder + '/')) {
            return true;
        }
    }
    return kTypes.contains(type);
}

QStringList FileListDialog::fileSystemRoots() {
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives()) {
        roots << drive.absoluteFilePath();
    }
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Bind mounts of single files are mount points too: only folders are offered.
        if (volume.isValid() && QFileInfo(volume.rootPath()).isDir() &&
            !isPseudoFileSystem(volume.rootPath(), volume.fileSystemType()) &&
            !roots.contains(volume.rootPath())) {
            roots << volume.rootPath();
        }
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

bool FileListDialog::isDataVolume(const QString& root) {
    for (const char* prefix : {"/media/", "/mnt/", "/run/media/"}) {
        if (root.startsWith(QLatin1String(prefix)) &&
            root.size() > static_cast<qsizetype>(std::strlen(prefix))) {
            return true;
        }
    }
    return false;
}

QStringList FileListDialog::places(const QStringList& workingFolders) {
    QStringList list{QDir::homePath()};
    for (const QString& folder : workingFolders) {
        if (!folder.isEmpty()) {
            list << QDir::cleanPath(QDir(folder).absolutePath());
        }
    }
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && isDataVolume(volume.rootPath()) &&
            QFileInfo(volume.rootPath()).isDir()) {
            list << volume.rootPath();
        }
    }
    list.removeDuplicates();
    return list;
}

void FileListDialog::setDrives(const QStringList& roots) {
    drvChange_->clear();
    drvChange_->addItems(roots);
    selectDriveEntry(drive_);
}

QStringList FileListDialog::drives() const {
    QStringList roots;
    for (int i = 0; i < drvChange_->count(); ++i) {
        roots << drvChange_->itemText(i);
    }
    return roots;
}

QString FileListDialog::currentDrive() const {
    return drive_;
}

QStringList FileListDialog::listedFiles() const {
    QStringList names;
    for (int i = 0; i < filFind_->count(); ++i) {
        names << filFind_->item(i)->text();
    }
    return names;
}

QStringList FileListDialog::treeFolders() const {
    QStringList names;
    const QModelIndex root = dirLook_->rootIndex();
    for (int row = 0; row < shownFolders_->rowCount(root); ++row) {
        names << shownFolders_->index(row, 0, root).data().toString();
    }
    return names;
}

void FileListDialog::openIn(const QString& folder) {
    const QString shown = existingFolder(QDir::cleanPath(QDir(folder).absolutePath()));
    // The place is the deepest one that holds the folder, so the tree shows the way down to
    // it; the folder itself only when no other place holds it.
    QString drive;
    for (const QString& root : drives()) {
        if (folderIsUnder(shown, root) && root != shown && root.size() > drive.size()) {
            drive = root;
        }
    }
    if (drive.isEmpty()) {
        // A folder outside every place is offered as a place of its own.
        drive = shown;
        if (!drives().contains(shown)) {
            drvChange_->addItem(shown);
        }
    }
    drive_ = drive;
    selectDriveEntry(drive_);
    setTreeRoot(drive_);
    showFolder(shown);
}

bool FileListDialog::chooseDrive(const QString& root) {
    const QFileInfo info(root);
    if (!info.exists() || !info.isDir() || !info.isReadable() || !QDir(root).isReadable()) {
        selectDriveEntry(drive_);
        tell(kUnavailableDrive);
        return false;
    }
    drive_ = root;
    selectDriveEntry(drive_);
    setTreeRoot(drive_);
    showFolder(drive_);
    return true;
}

bool FileListDialog::goToTypedFolder() {
    QString typed = txtPath_->text().trimmed();
    if (typed == "~" || typed.startsWith("~/")) {
        typed = QDir::homePath() + typed.mid(1);
    }
    const QString folder = QDir::cleanPath(QDir(folder_).absoluteFilePath(typed));
    if (typed.isEmpty() || !QFileInfo(folder).isDir()) {
        tell("Folder not found: " + typed.toStdString());
        txtPath_->setText(QDir::toNativeSeparators(folder_));
        return false;
    }
    if (folder != folder_) {
        openIn(folder);
    }
    return true;
}

FileDialogAnswer FileListDialog::answer() const {
    return FileDialogAnswer{QDir::toNativeSeparators(folder_).toStdString(),
                            QDir::toNativeSeparators(drive_).toStdString(),
                            txtFileEntry_->text().toStdString()};
}

bool FileListDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the path bar goes to the folder typed there; it does not press OK.
    if (watched == txtPath_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            goToTypedFolder();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FileListDialog::tryAccept() {
    if (txtPath_->text() != QDir::toNativeSeparators(folder_) && !goToTypedFolder()) {
        return;
    }
    if (check_) {
        const std::string problem = check_(answer());
        if (!problem.empty()) {
            tell(problem);
            txtFileEntry_->setFocus();
            return;
        }
    }
    accept();
}

void FileListDialog::setTreeRoot(const QString& root) {
    folders_->setRootPath(root);
    dirLook_->setRootIndex(shownFolders_->mapFromSource(folders_->index(root)));
}

void FileListDialog::showFolder(const QString& folder) {
    folder_ = folder;
    txtPath_->setText(QDir::toNativeSeparators(folder_));
    const QModelIndex index = shownFolders_->mapFromSource(folders_->index(folder));
    if (index.isValid() && index != dirLook_->rootIndex()) {
        for (QModelIndex parent = index.parent();
             parent.isValid() && parent != dirLook_->rootIndex(); parent = parent.parent()) {
            dirLook_->expand(parent);
        }
        dirLook_->setCurrentIndex(index);
        dirLook_->scrollTo(index);
    } else {
        dirLook_->clearSelection();
    }
    refreshFiles();
}

void FileListDialog::refreshFiles() {
    filFind_->clear();
    const QDir dir(folder_);
    for (const QString& name :
         dir.entryList(fileFilters(), QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (!listed_ || listed_(dir.filePath(name).toStdString())) {
            filFind_->addItem(name);
        }
    }
}

void FileListDialog::selectDriveEntry(const QString& root) {
    const int index = drvChange_->findText(root);
    if (index >= 0) {
        drvChange_->setCurrentIndex(index);
    }
}

void FileListDialog::onDriveActivated(int index) {
    const QString root = drvChange_->itemText(index);
    if (root != drive_) {
        chooseDrive(root);
    }
}

void FileListDialog::onFileClicked(QListWidgetItem* item) {
    if (item != nullptr) {
        txtFileEntry_->setText(item->text());
    }
}

void FileListDialog::onFileActivated(QListWidgetItem* item) {
    if (item != nullptr) {
        txtFileEntry_->setText(item->text());
        tryAccept();
    }
}

void FileListDialog::tell(const std::string& text) const {
    if (inform_) {
        inform_(text);
    }
}

}  // namespace bx::gui
