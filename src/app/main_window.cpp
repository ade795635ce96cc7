#include "app/main_window.h"

#include <cstdlib>
#include <filesystem>

#include "tables/stat_tables.h"

namespace bx {

MainWindow::MainWindow(Desktop& desktop, StartupFolders folders,
                       std::shared_ptr<const StatTables> tables)
    : desktop_(desktop),
      lookup_(tables ? std::move(tables) : StatTables::load(folders.programFolder), *this) {
    ui.programFolder = std::move(folders.programFolder);
    ui.scratchFolder = std::move(folders.scratchFolder);
}

void MainWindow::postStatus(std::string_view line) {
    ui.Status += "\r\n";
    ui.Status += line;
    ui.statusCaret = ui.Status.size();
}

std::string MainWindow::programFile(std::string_view name) const {
    return joinPath(ui.programFolder, name);
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

StartupFolders defaultStartupFolders(const std::string& executablePath) {
    namespace fs = std::filesystem;
    StartupFolders folders;
    std::error_code ec;
    fs::path exe = fs::weakly_canonical(fs::path(executablePath), ec);
    if (ec) {
        exe = fs::path(executablePath);
    }
    folders.programFolder = exe.parent_path().string();
    const char* home = std::getenv("HOME");
    const fs::path base = home != nullptr && *home != '\0' ? fs::path(home) : fs::current_path(ec);
    const fs::path documents = base / "Documents";
    folders.scratchFolder =
        (fs::is_directory(documents, ec) ? documents / "Benthix" : base / "Benthix").string();
    return folders;
}

}  // namespace bx
