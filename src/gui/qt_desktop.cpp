// SPDX-License-Identifier: MIT
#include "gui/qt_desktop.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "app/main_window.h"
#include "gui/about_box.h"
#include "gui/file_list_dialog.h"
#include "gui/help_window.h"

namespace bx::gui {

MessageOutcome showMessageBox(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(request.title));
    // Messages quote paths in angle brackets: never let them be taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(request.text));
    switch (request.icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    auto* dontAsk = request.offersDontAskAgain ? new QCheckBox("&Don't ask again") : nullptr;
    if (dontAsk != nullptr) {
        dontAsk->setObjectName("chkDontAskAgain");
        box.setCheckBox(dontAsk);  // the box owns it
    }
    if (request.buttons != MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.buttons == MessageButtons::YesNoDefaultNo ? QMessageBox::No
                                                                               : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (request.buttons == MessageButtons::Ok) {
        return {};
    }
    // Closing the box without a button counts as No, the cautious answer.
    return {pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No,
            dontAsk != nullptr && dontAsk->isChecked()};
}

bool openWithDesktop(const QString& path) {
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    // xdg-open hands the file to its application and ends, or runs the application until it
    // ends; with no application for the file it fails at once. A few seconds tell the cases
    // apart; a process still running then is the application, and it is left to run.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        return false;
    }
    if (!process->waitForFinished(3000)) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

MessageAnswer QtDesktop::messageBox(const std::string& title, const std::string& text,
                                    MessageIcon icon, MessageButtons buttons) {
    const MessageRequest request{title.empty() ? std::string(kAppTitle) : title, text, icon,
                                 buttons};
    if (messageFunction_) {
        return messageFunction_(request);
    }
    return showMessageBox(parent_, request).answer;
}

Confirmation QtDesktop::confirm(const std::string& title, const std::string& text) {
    MessageRequest request{title.empty() ? std::string(kAppTitle) : title, text,
                           MessageIcon::Question, MessageButtons::YesNo, true};
    if (messageFunction_) {
        return {messageFunction_(request) == MessageAnswer::Yes, false};
    }
    const MessageOutcome outcome = showMessageBox(parent_, request);
    return {outcome.answer == MessageAnswer::Yes, outcome.dontAskAgain};
}

std::optional<FileDialogAnswer> QtDesktop::fileDialog(const std::string& caption,
                                                      const std::string& startFolder) {
    return chooseFile({caption, startFolder, nullptr, nullptr, {}});
}

std::optional<FileDialogAnswer> QtDesktop::chooseFile(const FileDialogRequest& request) {
    FileListDialog dialog(
        [this](const std::string& text) {
            messageBox("", text, MessageIcon::Information, MessageButtons::Ok);
        },
        parent_);
    dialog.setWindowTitle(QString::fromStdString(request.caption));
    dialog.setCheck(request.check);
    // The user's working folder is made when the first dialog opens in it.
    if (!request.startFolder.empty()) {
        QDir().mkpath(QString::fromStdString(request.startFolder));
    }
    dialog.setListFilter(request.listed);
    QStringList working{QString::fromStdString(request.startFolder)};
    for (const std::string& folder : request.workingFolders) {
        working << QString::fromStdString(folder);
    }
    dialog.setDrives(FileListDialog::places(working));
    dialog.openIn(QString::fromStdString(request.startFolder));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.answer();
}

void QtDesktop::setClipboardText(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

std::string QtDesktop::clipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

bool QtDesktop::openExternally(const std::string& path) {
    if (openFunction_) {
        return openFunction_(path);
    }
    return openWithDesktop(QString::fromStdString(path));
}

bool QtDesktop::showGuide(const std::string& path, const std::string& topic) {
    if (help_.isNull()) {
        help_ = new HelpWindow(parent_);
    }
    return help_->showGuide(QString::fromStdString(path), QString::fromStdString(topic));
}

void QtDesktop::showAbout() {
    AboutBox about(parent_);
    about.exec();
}

}  // namespace bx::gui
