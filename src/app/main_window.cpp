// SPDX-License-Identifier: MIT
#include "app/main_window.h"

#include "tables/stat_tables.h"

namespace bx {

MainWindow::MainWindow(Desktop& desktop, StartupFolders folders,
                       std::shared_ptr<const StatTables> tables)
    : desktop_(desktop),
      tables_(tables ? std::move(tables) : StatTables::load(folders.programFolder)) {
    ui.programFolder = std::move(folders.programFolder);
    ui.scratchFolder = std::move(folders.scratchFolder);
    ui.dataFolder = std::move(folders.dataFolder);
}

void MainWindow::postStatus(std::string_view line) {
    ui.Status += "\r\n";
    ui.Status += line;
    ui.statusCaret = ui.Status.size();
}

std::string MainWindow::programFile(std::string_view name) const {
    return joinPath(ui.programFolder, name);
}

}  // namespace bx
