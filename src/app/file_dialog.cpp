// SPDX-License-Identifier: MIT
#include "app/file_dialog.h"

#include <unistd.h>

#include <array>
#include <filesystem>

#include "app/main_window.h"
#include "base/text_format.h"

namespace bx {
namespace {

bool folderExists(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

}  // namespace

std::string purposeFolder(const WindowState& ui, std::string_view purpose) {
    if (purpose == kPurposeSave) {
        return ui.saveFolder;
    }
    if (purpose == kPurposeLoad) {
        return ui.loadFolder;
    }
    if (purpose == kPurposeDetailLog) {
        return ui.detailedLogFolder;
    }
    if (purpose == kPurposeSummaryLog) {
        return ui.summaryLogFolder;
    }
    if (purpose == kPurposeReport) {
        return ui.reportFolder;
    }
    return ui.scratchFolder;
}

void showFileDialog(MainWindow& w, const std::string& caption) {
    WindowState& ui = w.ui;
    // A remembered folder that has gone since is not offered; the scratch folder stands in (a
    // desktop that shows the dialog makes it when it is missing; the command-line tool, which
    // answers without one, leaves the home folder alone).
    std::string startFolder = purposeFolder(ui, ui.fileDialogPurpose);
    if (!folderExists(startFolder)) {
        startFolder = ui.scratchFolder;
    }

    const std::string purpose = ui.fileDialogPurpose;
    const std::optional<FileDialogAnswer> answer =
        w.desktop().chooseFile({caption, startFolder, [purpose](const FileDialogAnswer& candidate) {
                                    return fileChoiceProblem(purpose, candidate);
                                }});
    if (!answer) {
        ui.ChosenFileName = kUserCancelled;
        return;
    }

    const bool report = ui.fileDialogPurpose == kPurposeReport;
    const FixedFileName fixed = ui.keepTypedNames ? FixedFileName{answer->entryText, false}
                                : report          ? fixCSVName(answer->entryText)
                                                  : fixDbfName(answer->entryText);
    if (fixed.truncated) {
        w.desktop().messageBox("", kTruncationMessage, MessageIcon::Information,
                               MessageButtons::Ok);
    }
    ui.ChosenFileName = fixed.name;
    ui.ChosenFolder = answer->folder;
    ui.ChosenDrive = answer->drive;
    ui.ChosenPath = joinPath(ui.ChosenFolder, ui.ChosenFileName);

    if (purpose == kPurposeSave) {
        ui.saveFolder = ui.ChosenFolder;
    } else if (purpose == kPurposeLoad) {
        ui.loadFolder = ui.ChosenFolder;
    } else if (purpose == kPurposeDetailLog) {
        ui.detailedLogFolder = ui.ChosenFolder;
    } else if (purpose == kPurposeSummaryLog) {
        ui.summaryLogFolder = ui.ChosenFolder;
    } else if (report) {
        // The report folder alone keeps its trailing separator.
        ui.reportFolder = ui.ChosenFolder;
        if (ui.reportFolder.empty() || ui.reportFolder.back() != '/') {
            ui.reportFolder += '/';
        }
    }
}

std::string fileChoiceProblem(std::string_view purpose, const FileDialogAnswer& answer) {
    if (!folderExists(answer.folder)) {
        return "Folder not found: " + answer.folder;
    }
    if (purpose == kPurposeLoad) {
        const std::string name = fixDbfName(answer.entryText).name;
        std::error_code ec;
        const std::string path = joinPath(answer.folder, name);
        if (!chosenNameIsEmpty(name, ".dbf") && !std::filesystem::is_regular_file(path, ec)) {
            return "File not found: " + path;
        }
        return {};
    }
    if (::access(answer.folder.c_str(), W_OK | X_OK) != 0) {
        return "Permission denied: cannot write in the folder " + answer.folder;
    }
    return {};
}

bool isProgramTable(const MainWindow& w, const std::string& path) {
    static constexpr std::array<std::string_view, 11> kInstalled = {
        "stat.dbf",   "sslog.dbf",  "sslogsum.dbf", "result.dbf", "reportr.dbf", "Crit_t.dbf",
        "CRIT_U.dbf", "crit_w.dbf", "CRIT_W1.dbf",  "RANKIT.dbf", "POWERT.dbf"};
    for (const std::string_view name : kInstalled) {
        const std::string installed = w.programFile(name);
        std::error_code ec;
        if (path == installed || (std::filesystem::equivalent(path, installed, ec) && !ec)) {
            return true;
        }
    }
    return false;
}

}  // namespace bx
