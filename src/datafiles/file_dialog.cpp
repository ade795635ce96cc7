#include "datafiles/file_dialog.h"

#include <array>
#include <filesystem>

#include "app/main_window.h"
#include "app/text_format.h"

namespace bx {
namespace {

// Characters a typed name loses. Beside the blank and the punctuation that the table engine
// cannot take, the two path separators go too, so that a typed name always stays inside the
// chosen folder.
constexpr std::string_view kUnsafeCharacters = " !@#$%^&*()+=?|{}[]<>,:;~/\\";

constexpr std::size_t kDbfBaseLength = 8;

// Cleans a base name position by position: a character of the unsafe set is deleted
// everywhere in the base, and the same position is examined again. When the base has shrunk
// to one character or none, it becomes `replacement`.
std::string cleanBase(std::string base, std::string_view replacement) {
    std::size_t pos = 0;
    while (pos < base.size()) {
        const char c = base[pos];
        if (kUnsafeCharacters.find(c) == std::string_view::npos) {
            ++pos;
            continue;
        }
        std::erase(base, c);
        if (base.size() <= 1) {
            base = replacement;
        }
    }
    return base;
}

// The part of the name before the first point of its trimmed form, or the whole name when the
// trimmed form has no point: a typed extension is dropped.
std::string baseOf(std::string_view name) {
    const std::string_view trimmed = trimBlanks(name);
    const std::size_t dot = trimmed.find('.');
    if (dot == std::string_view::npos) {
        return std::string(name);
    }
    return std::string(trimmed.substr(0, dot));
}

// Number of characters of a UTF-8 text (continuation bytes do not count).
std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) {
            ++count;
        }
    }
    return count;
}

// Cuts a UTF-8 text to its first `count` characters, never inside a character.
void cutToCharacters(std::string& text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
            if (seen == count) {
                text.resize(i);
                return;
            }
            ++seen;
        }
    }
}

bool folderExists(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

}  // namespace

FixedFileName fixDbfName(std::string_view entry) {
    FixedFileName result;
    std::string name(entry);
    // Too long: more than 8 characters without a point, or more than 8 before the first point
    // of the trimmed name. Lengths count characters, not bytes.
    const std::string_view trimmed = trimBlanks(name);
    const std::size_t dot = trimmed.find('.');
    const bool hasDot = dot != std::string_view::npos;
    if ((!hasDot && characterCount(name) > kDbfBaseLength) ||
        (hasDot && characterCount(trimmed.substr(0, dot)) > kDbfBaseLength)) {
        result.truncated = true;
        cutToCharacters(name, kDbfBaseLength);
    }
    std::string base = cleanBase(baseOf(name), "Log");
    cutToCharacters(base, kDbfBaseLength);
    result.name = base + ".dbf";
    return result;
}

FixedFileName fixCSVName(std::string_view entry) {
    FixedFileName result;
    result.name = cleanBase(baseOf(entry), "Report") + ".csv";
    return result;
}

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
    std::error_code ec;
    if (!ui.scratchFolder.empty() && !folderExists(ui.scratchFolder)) {
        std::filesystem::create_directories(ui.scratchFolder, ec);
    }
    // A remembered folder that has gone since is not offered; the scratch folder stands in.
    std::string startFolder = purposeFolder(ui, ui.fileDialogPurpose);
    if (!folderExists(startFolder)) {
        startFolder = ui.scratchFolder;
    }

    const std::optional<FileDialogAnswer> answer = w.desktop().fileDialog(caption, startFolder);
    if (!answer) {
        ui.ChosenFileName = kUserCancelled;
        return;
    }

    const bool report = ui.fileDialogPurpose == kPurposeReport;
    const FixedFileName fixed =
        report ? fixCSVName(answer->entryText) : fixDbfName(answer->entryText);
    if (fixed.truncated) {
        w.desktop().messageBox("", kTruncationMessage, MessageIcon::Information,
                               MessageButtons::Ok);
    }
    ui.ChosenFileName = fixed.name;
    ui.ChosenFolder = answer->folder;
    ui.ChosenDrive = answer->drive;
    ui.ChosenPath = joinPath(ui.ChosenFolder, ui.ChosenFileName);

    const std::string& purpose = ui.fileDialogPurpose;
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

bool chosenNameIsEmpty(std::string_view chosenFileName, std::string_view extension) {
    return chosenFileName.empty() || chosenFileName == extension;
}

}  // namespace bx
