// SPDX-License-Identifier: MIT
#pragma once
// Everything modal or belonging to the desktop goes through this interface: the Qt window,
// the command-line tool and the tests each implement it.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bx {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
// YesNoDefaultNo: a Yes/No question whose default (Enter) is No, for answers that lose data.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };
enum class MessageAnswer { Ok, Yes, No };

// What the file-selection dialog hands back when the user presses OK: the folder shown in the
// folder list, the drive (or file-system root) and the raw text of the name entry. The core
// cleans the name and fills ChosenFileName, ChosenFolder, ChosenDrive and ChosenPath.
struct FileDialogAnswer {
    std::string folder;
    std::string drive;
    std::string entryText;
};

// The file-selection dialog as a command asks for it. `check` tells why an answer cannot be
// used ("" when it can); a dialog that calls it keeps itself open and shows the reason.
// `listed` tells whether the dialog lists a file (every data and report file when empty), and
// `workingFolders` are the program's folders the dialog offers as places.
struct FileDialogRequest {
    std::string caption;
    std::string startFolder;
    std::function<std::string(const FileDialogAnswer&)> check;
    std::function<bool(const std::string& path)> listed;
    std::vector<std::string> workingFolders;
};

// The answer to a Yes/No question that offers "Don't ask again".
struct Confirmation {
    bool yes = false;
    bool dontAskAgain = false;
};

class Desktop {
  public:
    virtual ~Desktop() = default;

    // A modal message box. An empty title means the application's title ("Benthix").
    virtual MessageAnswer messageBox(const std::string& title, const std::string& text,
                                     MessageIcon icon, MessageButtons buttons) = 0;

    // The modal file-selection dialog, opened in `startFolder` with `caption`.
    // std::nullopt means Cancel.
    virtual std::optional<FileDialogAnswer> fileDialog(const std::string& caption,
                                                       const std::string& startFolder) = 0;

    // The dialog for a command. Without an override, the dialog above without the check.
    virtual std::optional<FileDialogAnswer> chooseFile(const FileDialogRequest& request) {
        return fileDialog(request.caption, request.startFolder);
    }

    // A Yes/No question (question icon) that may offer "Don't ask again". Without an override,
    // the message box above, which never offers it.
    virtual Confirmation confirm(const std::string& title, const std::string& text) {
        return {messageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) ==
                    MessageAnswer::Yes,
                false};
    }

    virtual void setClipboardText(const std::string& text) = 0;
    virtual std::string clipboardText() = 0;

    // Opens a file in the desktop's default application; false when none opened it.
    virtual bool openExternally(const std::string& path) = 0;

    // Shows the user guide at `path`, at the heading whose anchor is `topic` ("" for the top).
    // Without an override, the file opened in the desktop's default application.
    virtual bool showGuide(const std::string& path, const std::string& /*topic*/) {
        return openExternally(path);
    }

    // The About window, shown modally.
    virtual void showAbout() = 0;
};

}  // namespace bx
