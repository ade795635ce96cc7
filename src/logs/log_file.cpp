#include "logs/log_file.h"

#include <filesystem>

#include "app/main_window.h"
#include "datafiles/file_dialog.h"
#include "tables/file_copy.h"

namespace bx {

std::string fileIoErrorText(int number) {
    return "File IO Error " + std::to_string(number) +
           ".  File may already be open or pathname is corrupt.";
}

TableError createLogFile(const MainWindow& w, std::string_view templateName,
                         const std::string& folder, const std::string& fileName) {
    if (TableError error =
            copyFileSafely(w.programFile(templateName), joinPath(folder, fileName))) {
        return error;
    }
    DbfTable table;
    if (TableError error = table.open(folder, fileName)) {
        return error;
    }
    if (TableError error = table.addNew()) {
        return error;
    }
    return table.store();
}

TableError openLogForRun(MainWindow& w, DbfTable& table, const std::string& folder,
                         const std::string& fileName) {
    table.setCutHandler([&w](const FieldCut& cut) { w.postStatus(describeCut(cut)); });
    return table.open(folder, fileName);
}

std::string logWriteErrorLine(std::string_view logName, const TableError& error) {
    std::string line = "     ERROR - Run NOT saved to ";
    line += logName;
    line += ": error " + std::to_string(error.number);
    if (!error.description.empty()) {
        line += " (" + error.description + ")";
    }
    return line;
}

void toggleLog(MainWindow& w, const LogKind& kind) {
    WindowState& ui = w.ui;
    bool& logging = ui.*kind.logging;
    std::string& fileName = ui.*kind.fileName;
    std::string& path = ui.*kind.path;
    MenuEntry& menu = ui.*kind.menu;
    const std::string logName = kind.logName;

    if (logging) {
        logging = false;
        menu.caption = kind.beginCaption;
        w.postStatus(logName + " <" + fileName + "> closed.");
        fileName.clear();
        path.clear();
        return;
    }

    logging = true;
    ui.fileDialogPurpose = kind.dialogPurpose;
    showFileDialog(w, kind.dialogCaption);
    if (ui.ChosenFileName == kUserCancelled) {
        logging = false;
        return;
    }
    // The other log's file and the program's own tables are never a log's target.
    if (chosenNameIsEmpty(ui.ChosenFileName, ".dbf") ||
        ui.ChosenFileName == ui.*kind.otherLogFileName || isProgramTable(w, ui.ChosenPath)) {
        logging = false;
        w.desktop().messageBox("Log File Selection", "Incorrect Filename Chosen, Try again.",
                               MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    fileName = ui.ChosenFileName;
    ui.*kind.folder = ui.ChosenFolder;
    path = ui.ChosenPath;

    if (TableError error =
            createLogFile(w, kind.templateName, ui.ChosenFolder, ui.ChosenFileName)) {
        // Nothing is active: the flag goes down and the name is free for the other log.
        logging = false;
        fileName.clear();
        path.clear();
        if (error.isFileError()) {
            w.desktop().messageBox("Log File Status", fileIoErrorText(error.number),
                                   MessageIcon::Exclamation, MessageButtons::Ok);
            w.postStatus(logName + " NOT active.");
        } else {
            std::string text = "Error!!!";
            if (kind.numberInOtherError) {
                text += std::to_string(error.number);
            }
            w.desktop().messageBox("File Status", text, MessageIcon::Exclamation,
                                   MessageButtons::Ok);
        }
        return;
    }
    w.desktop().messageBox(kind.activeTitle, logName + " <" + ui.ChosenPath + "> Now Active.",
                           MessageIcon::Information, MessageButtons::Ok);
    w.postStatus(logName + " <" + ui.ChosenPath + "> now active.");
    menu.caption = kind.stopCaption + fileName;
}

void appendLogRows(MainWindow& w, const std::string& path, const std::vector<LogRow>& rows,
                   std::string_view logName) {
    const std::filesystem::path file(path);
    DbfTable table;
    TableError error =
        openLogForRun(w, table, file.parent_path().string(), file.filename().string());
    for (const LogRow& row : rows) {
        if (error) {
            break;
        }
        error = table.addNew();
        for (const auto& [field, value] : row) {
            if (error) {
                break;
            }
            error = table.writeField(field, value);
        }
        if (!error) {
            error = table.store();
        }
    }
    if (error) {
        w.postStatus(logWriteErrorLine(std::string(logName) + " <" + path + ">", error));
    }
}

}  // namespace bx
