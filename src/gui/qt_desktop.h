// SPDX-License-Identifier: MIT
#pragma once
// The desktop of the Qt window: modal message boxes, the file-selection dialog, the system
// clipboard, the default application for a file, and the About window.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/desktop.h"

namespace bx::gui {

class HelpWindow;

struct MessageRequest {
    std::string title;  // already the application's title when the caller gave none
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool offersDontAskAgain = false;  // a Yes/No question with a "Don't ask again" box
};

// What the user did in a message box.
struct MessageOutcome {
    MessageAnswer answer = MessageAnswer::Ok;
    bool dontAskAgain = false;
};

// Shows one message box modally over `parent` and returns the button pressed (and the state of
// the "Don't ask again" box when it was offered).
MessageOutcome showMessageBox(QWidget* parent, const MessageRequest& request);

// Opens `path` in the desktop's default application through xdg-open, which fails at once when
// no application is registered for the file; false when it failed or could not be started.
// Without xdg-open, Qt's own opener is asked.
bool openWithDesktop(const QString& path);

class QtDesktop : public Desktop {
  public:
    using MessageFunction = std::function<MessageAnswer(const MessageRequest&)>;

    explicit QtDesktop(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the modal boxes and dialogs belong to.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    // Replaces the modal message box, e.g. by scripted answers; an empty function restores it.
    // A replaced box never ticks "Don't ask again".
    void setMessageFunction(MessageFunction function) { messageFunction_ = std::move(function); }

    // Replaces the opening of files in their application (openWithDesktop), e.g. in tests; an
    // empty function restores it.
    using OpenFunction = std::function<bool(const std::string& path)>;
    void setOpenFunction(OpenFunction function) { openFunction_ = std::move(function); }

    MessageAnswer messageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override;
    std::optional<FileDialogAnswer> fileDialog(const std::string& caption,
                                               const std::string& startFolder) override;
    std::optional<FileDialogAnswer> chooseFile(const FileDialogRequest& request) override;
    Confirmation confirm(const std::string& title, const std::string& text) override;
    void setClipboardText(const std::string& text) override;
    std::string clipboardText() override;
    bool openExternally(const std::string& path) override;
    // The guide in the program's help window (one, kept open beside the main window).
    bool showGuide(const std::string& path, const std::string& topic) override;
    void showAbout() override;

  private:
    QPointer<QWidget> parent_;
    MessageFunction messageFunction_;
    OpenFunction openFunction_;
    QPointer<HelpWindow> help_;
};

}  // namespace bx::gui
