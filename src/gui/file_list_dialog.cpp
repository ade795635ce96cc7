#include "gui/file_list_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>

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

}  // namespace

FileListDialog::FileListDialog(InformFunction inform, QWidget* parent)
    : QDialog(parent), inform_(std::move(inform)) {
    setObjectName("frmFilelist");
    setWindowTitle("File List");
    setModal(true);

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
    dirLook_ = new QTreeView(this);
    dirLook_->setObjectName("dirLook");
    dirLook_->setModel(folders_);
    dirLook_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column) {
        dirLook_->hideColumn(column);
    }

    drvChange_ = new QComboBox(this);
    drvChange_->setObjectName("drvChange");

    cmdOK_ = new QPushButton("OK", this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton("Cancel", this);
    cmdCancel_->setObjectName("cmdCancel");

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblFilename_, 0, 0);
    layout->addWidget(txtFileEntry_, 1, 0);
    layout->addWidget(filFind_, 2, 0, 2, 1);
    layout->addWidget(new QLabel("Folders:", this), 0, 1);
    layout->addWidget(dirLook_, 1, 1, 2, 1);
    layout->addWidget(drvChange_, 3, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addStretch(1);
    layout->addLayout(buttons, 1, 2, 3, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    setTabOrder(txtFileEntry_, filFind_);
    setTabOrder(filFind_, dirLook_);
    setTabOrder(dirLook_, drvChange_);
    setTabOrder(drvChange_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);

    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(filFind_, &QListWidget::itemClicked, this, &FileListDialog::onFileClicked);
    connect(filFind_, &QListWidget::itemDoubleClicked, this, &FileListDialog::onFileActivated);
    connect(filFind_, &QListWidget::itemActivated, this, &FileListDialog::onFileActivated);
    connect(dirLook_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    folder_ = folders_->filePath(current);
                    refreshFiles();
                }
            });
    connect(drvChange_, &QComboBox::activated, this, &FileListDialog::onDriveActivated);

    setDrives(fileSystemRoots());
    resize(560, 380);
}

QStringList FileListDialog::fileSystemRoots() {
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives()) {
        roots << drive.absoluteFilePath();
    }
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Bind mounts of single files are mount points too: only folders are offered.
        if (volume.isValid() && QFileInfo(volume.rootPath()).isDir() &&
            !roots.contains(volume.rootPath())) {
            roots << volume.rootPath();
        }
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

void FileListDialog::setDrives(const QStringList& roots) {
    drvChange_->clear();
    drvChange_->addItems(roots);
    selectDriveEntry(drive_);
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

void FileListDialog::openIn(const QString& folder) {
    const QString shown = existingFolder(QDir::cleanPath(QDir(folder).absolutePath()));
    // The drive is the deepest root or mount point that holds the folder.
    QString drive = "/";
    for (int i = 0; i < drvChange_->count(); ++i) {
        const QString root = drvChange_->itemText(i);
        if (folderIsUnder(shown, root) && root.size() > drive.size()) {
            drive = root;
        }
    }
    drive_ = drive;
    selectDriveEntry(drive_);
    folders_->setRootPath(drive_);
    dirLook_->setRootIndex(folders_->index(drive_));
    showFolder(shown);
}

bool FileListDialog::chooseDrive(const QString& root) {
    const QFileInfo info(root);
    if (!info.exists() || !info.isDir() || !info.isReadable() || !QDir(root).isReadable()) {
        selectDriveEntry(drive_);
        if (inform_) {
            inform_(kUnavailableDrive);
        }
        return false;
    }
    drive_ = root;
    selectDriveEntry(drive_);
    folders_->setRootPath(drive_);
    dirLook_->setRootIndex(folders_->index(drive_));
    showFolder(drive_);
    return true;
}

FileDialogAnswer FileListDialog::answer() const {
    return FileDialogAnswer{QDir::toNativeSeparators(folder_).toStdString(),
                            QDir::toNativeSeparators(drive_).toStdString(),
                            txtFileEntry_->text().toStdString()};
}

void FileListDialog::showFolder(const QString& folder) {
    folder_ = folder;
    const QModelIndex index = folders_->index(folder);
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
    filFind_->addItems(dir.entryList(fileFilters(), QDir::Files, QDir::Name | QDir::IgnoreCase));
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
        accept();
    }
}

}  // namespace bx::gui
