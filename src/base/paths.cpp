#include "base/paths.h"

#include <cstdlib>
#include <filesystem>

namespace bx {

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
