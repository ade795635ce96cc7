// SPDX-License-Identifier: MIT
#include "app/file_dialog.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <vector>

#include "app/main_window.h"
#include "base/text_format.h"
#include "logs/log_file.h"

namespace bx {
namespace {

bool folderExists(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

// The characters of a typed name that the name rules drop, as a person reads them:
// "blanks and !", "blanks", "! and ?".
std::string droppedCharacters(std::string_view typed) {
    std::vector<std::string> kinds;
    std::string seen;
    for (const char c : typed) {
        if (!isUnsafeNameCharacter(c) || seen.find(c) != std::string::npos) {
            continue;
        }
        seen.push_back(c);
        kinds.push_back(c == ' ' ? std::string("blanks") : std::string(1, c));
    }
    std::string text;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (i > 0) {
            text += i + 1 == kinds.size() ? " and " : ", ";
        }
        text += kinds[i];
    }
    return text;
}

// Which files the dialog lists for `purpose`: sample data files for Save As and Load From,
// logs of the kind for a log, reports for a report; told apart by their tables' fields.
std::function<bool(const std::string&)> listedFiles(const MainWindow& w, std::string_view purpose) {
    const auto extension = [](const std::string& path) {
        std::string ext = std::filesystem::path(path).extension().string();
        for (char& c : ext) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return ext;
    };
    if (purpose == kPurposeReport) {
        return [extension](const std::string& path) { return extension(path) == ".csv"; };
    }
    const char* templateName = purpose == kPurposeDetailLog    ? "sslog.dbf"
                               : purpose == kPurposeSummaryLog ? "sslogsum.dbf"
                                                               : "stat.dbf";
    return [extension, templatePath = w.programFile(templateName)](const std::string& path) {
        return extension(path) == ".dbf" && hasLayoutOf(templatePath, path);
    };
}

// The base of a typed name (the part before the first point of its trimmed form).
std::string_view typedBase(std::string_view entry) {
    const std::string_view trimmed = trimBlanks(entry);
    return trimmed.substr(0, trimmed.find('.'));
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
    FileDialogRequest request{caption,
                              startFolder,
                              [purpose](const FileDialogAnswer& candidate) {
                                  return fileChoiceProblem(purpose, candidate);
                              },
                              listedFiles(w, purpose),
                              {}};
    for (const std::string* folder : {&ui.saveFolder, &ui.loadFolder, &ui.detailedLogFolder,
                                      &ui.summaryLogFolder, &ui.reportFolder, &ui.scratchFolder}) {
        std::string place = *folder;
        while (place.size() > 1 && place.back() == '/') {
            place.pop_back();
        }
        if (folderExists(place) &&
            std::find(request.workingFolders.begin(), request.workingFolders.end(), place) ==
                request.workingFolders.end()) {
            request.workingFolders.push_back(place);
        }
    }
    const std::optional<FileDialogAnswer> answer = w.desktop().chooseFile(request);
    if (!answer) {
        ui.ChosenFileName = kUserCancelled;
        return;
    }
    const FileDialogAnswer typed = splitTypedPath(*answer);

    const bool report = ui.fileDialogPurpose == kPurposeReport;
    const FixedFileName fixed = ui.keepTypedNames ? FixedFileName{typed.entryText, false}
                                : report          ? fixCSVName(typed.entryText)
                                                  : fixDbfName(typed.entryText);
    if (fixed.truncated) {
        w.desktop().messageBox("", kTruncationMessage, MessageIcon::Information,
                               MessageButtons::Ok);
    }
    // On screen a name the rules changed is named before anything is written under it.
    const std::string dropped = droppedCharacters(typedBase(typed.entryText));
    if (ui.onScreen && !ui.keepTypedNames && purpose != kPurposeLoad && !dropped.empty() &&
        !chosenNameIsEmpty(fixed.name, report ? ".csv" : ".dbf")) {
        const bool plural = dropped == "blanks" || dropped.find(" and ") != std::string::npos;
        const char* kinds = plural ? " are" : " is";
        w.desktop().messageBox("",
                               (purpose == kPurposeSave || report ? "Saved as " : "Named ") +
                                   fixed.name + ": " + dropped + kinds + " not allowed in names.",
                               MessageIcon::Information, MessageButtons::Ok);
    }
    ui.ChosenFileName = fixed.name;
    ui.ChosenFolder = typed.folder;
    ui.ChosenDrive = typed.drive;
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

std::string fileChoiceProblem(std::string_view purpose, const FileDialogAnswer& typedAnswer) {
    const FileDialogAnswer answer = splitTypedPath(typedAnswer);
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

FileDialogAnswer splitTypedPath(const FileDialogAnswer& answer) {
    const std::size_t slash = answer.entryText.rfind('/');
    if (slash == std::string::npos) {
        return answer;
    }
    namespace fs = std::filesystem;
    const fs::path typedFolder(answer.entryText.substr(0, slash + 1));
    fs::path folder =
        typedFolder.is_absolute() ? typedFolder : fs::path(answer.folder) / typedFolder;
    folder = folder.lexically_normal();
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    FileDialogAnswer split = answer;
    split.folder = text;
    split.drive = folder.root_path().string();
    split.entryText = answer.entryText.substr(slash + 1);
    return split;
}

bool confirmReplace(MainWindow& w, const std::string& title,
                    const std::vector<std::string>& paths) {
    if (!w.ui.onScreen) {
        return true;
    }
    std::vector<std::string> existing;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            existing.push_back(path);
        }
    }
    if (existing.empty()) {
        return true;
    }
    std::string text = existing.size() == 1 ? "The file " : "The files ";
    for (std::size_t i = 0; i < existing.size(); ++i) {
        text += (i > 0 ? " and " : "") + ("<" + existing[i] + ">");
    }
    text += existing.size() == 1 ? " already exists. Replace it?" : " already exist. Replace them?";
    return w.desktop().messageBox(title, text, MessageIcon::Question,
                                  MessageButtons::YesNoDefaultNo) == MessageAnswer::Yes;
}

}  // namespace bx
