#pragma once
// The desktop of the Qt window: modal message boxes, the file-selection dialog, the system
// clipboard, the default application for a file, and the About window.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/desktop.h"

namespace bx::gui {

struct MessageRequest {
    std::string title;  // already the application's title when the caller gave none
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Shows one message box modally over `parent` and returns the button pressed.
MessageAnswer showMessageBox(QWidget* parent, const MessageRequest& request);

class QtDesktop : public Desktop {
  public:
    using MessageFunction = std::function<MessageAnswer(const MessageRequest&)>;

    explicit QtDesktop(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the modal boxes and dialogs belong to.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    // Replaces the modal message box, e.g. by scripted answers; an empty function restores it.
    void setMessageFunction(MessageFunction function) { messageFunction_ = std::move(function); }

    MessageAnswer messageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override;
    std::optional<FileDialogAnswer> fileDialog(const std::string& caption,
                                               const std::string& startFolder) override;
    void setClipboardText(const std::string& text) override;
    std::string clipboardText() override;
    bool openExternally(const std::string& path) override;
    void showAbout() override;

  private:
    QPointer<QWidget> parent_;
    MessageFunction messageFunction_;
};

}  // namespace bx::gui
