#include "gui/qt_desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

#include "app/main_window.h"
#include "gui/about_box.h"
#include "gui/file_list_dialog.h"

namespace bx::gui {

MessageAnswer showMessageBox(QWidget* parent, const MessageRequest& request) {
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
    }
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (request.buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    // Closing the box without a button counts as No, the cautious answer.
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

MessageAnswer QtDesktop::messageBox(const std::string& title, const std::string& text,
                                    MessageIcon icon, MessageButtons buttons) {
    const MessageRequest request{title.empty() ? std::string(kAppTitle) : title, text, icon,
                                 buttons};
    if (messageFunction_) {
        return messageFunction_(request);
    }
    return showMessageBox(parent_, request);
}

std::optional<FileDialogAnswer> QtDesktop::fileDialog(const std::string& caption,
                                                      const std::string& startFolder) {
    FileListDialog dialog(
        [this](const std::string& text) {
            messageBox("", text, MessageIcon::Information, MessageButtons::Ok);
        },
        parent_);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.openIn(QString::fromStdString(startFolder));
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
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtDesktop::showAbout() {
    AboutBox about(parent_);
    about.exec();
}

}  // namespace bx::gui
