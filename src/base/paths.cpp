// SPDX-License-Identifier: MIT
#include "base/paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace bx {
namespace {

namespace fs = std::filesystem;

#ifndef BX_INSTALLED_DATA_FROM_BINARY
#define BX_INSTALLED_DATA_FROM_BINARY "../share/benthix"
#endif

std::string environmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// XDG variables count only when they hold an absolute path; anything else is ignored.
bool absolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

// The documents folder named by XDG_DOCUMENTS_DIR in a user-dirs.dirs file: lines such as
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
// with the value quoted, backslash escapes, and either "$HOME" or "/" at its start.
std::optional<fs::path> documentsFromUserDirs(const fs::path& file, const fs::path& home) {
    std::ifstream in(file);
    std::optional<fs::path> found;
    std::string line;
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
    while (std::getline(in, line)) {
        std::size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line.compare(i, kKey.size(), kKey) != 0) {
            continue;
        }
        i = line.find_first_not_of(" \t", i + kKey.size());
        if (i == std::string::npos || line[i] != '=') {
            continue;
        }
        i = line.find_first_not_of(" \t", i + 1);
        if (i == std::string::npos || line[i] != '"') {
            continue;
        }
        std::string value;
        bool closed = false;
        for (++i; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value += line[i];
            }
        }
        if (!closed) {
            continue;
        }
        constexpr std::string_view kHome = "$HOME";
        if (value.compare(0, kHome.size(), kHome) == 0 &&
            (value.size() == kHome.size() || value[kHome.size()] == '/')) {
            const std::string rest = value.substr(kHome.size());
            found = rest.find_first_not_of('/') == std::string::npos
                        ? home
                        : home / fs::path(rest).relative_path();
        } else if (absolute(value)) {
            found = fs::path(value);
        }
    }
    return found;
}

fs::path documentsFolder(const UserEnvironment& env, const fs::path& home) {
    if (absolute(env.xdgDocumentsDir)) {
        return env.xdgDocumentsDir;
    }
    const fs::path config =
        absolute(env.xdgConfigHome) ? fs::path(env.xdgConfigHome) : home / ".config";
    if (std::optional<fs::path> named = documentsFromUserDirs(config / "user-dirs.dirs", home)) {
        return *named;
    }
    return home / "Documents";
}

}  // namespace

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

UserEnvironment currentUserEnvironment() {
    return UserEnvironment{environmentText("HOME"), environmentText("XDG_DATA_HOME"),
                           environmentText("XDG_CONFIG_HOME"),
                           environmentText("XDG_DOCUMENTS_DIR")};
}

std::string_view installedDataFromBinary() {
    return BX_INSTALLED_DATA_FROM_BINARY;
}

StartupFolders startupFolders(const std::string& executablePath, const UserEnvironment& env) {
    StartupFolders folders;
    std::error_code ec;
    fs::path exe = fs::weakly_canonical(fs::path(executablePath), ec);
    if (ec) {
        exe = fs::path(executablePath);
    }
    const fs::path binary = exe.parent_path();
    const fs::path home = !env.home.empty() ? fs::path(env.home) : fs::current_path(ec);

    const fs::path installed =
        (binary / fs::path(std::string(installedDataFromBinary()))).lexically_normal();
    if (fs::is_directory(installed, ec)) {
        folders.programFolder = installed.string();
        const fs::path data =
            absolute(env.xdgDataHome) ? fs::path(env.xdgDataHome) : home / ".local" / "share";
        folders.dataFolder = (data / "benthix").string();
    } else {
        folders.programFolder = binary.string();
    }

    const fs::path documents = documentsFolder(env, home);
    folders.scratchFolder =
        (fs::is_directory(documents, ec) ? documents / "Benthix" : home / "Benthix").string();
    return folders;
}

StartupFolders defaultStartupFolders(const std::string& executablePath) {
    return startupFolders(executablePath, currentUserEnvironment());
}

}  // namespace bx
