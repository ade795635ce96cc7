// SPDX-License-Identifier: MIT
#pragma once
// Paths of the program: joining a folder and a name, and the folders found at start-up.

#include <string>
#include <string_view>

namespace bx {

struct StartupFolders {
    // Tables, templates, pictures. In a build tree the executable's own folder; in an installed
    // tree the shared data folder (<prefix>/share/benthix), which the program never writes to.
    std::string programFolder;
    // Persistent per-user working folder: the documents folder's Benthix, or ~/Benthix.
    std::string scratchFolder;
    // Per-user data folder of an installed program ($XDG_DATA_HOME/benthix or
    // ~/.local/share/benthix): the report table lives there. Empty in a build tree, where the
    // report table stays beside the program.
    std::string dataFolder{};
};

// What the start-up folders depend on besides the executable's place: the variables of the
// environment (empty when unset).
struct UserEnvironment {
    std::string home;             // HOME (the current folder stands in when it is unset)
    std::string xdgDataHome;      // XDG_DATA_HOME
    std::string xdgConfigHome;    // XDG_CONFIG_HOME (where user-dirs.dirs names the documents)
    std::string xdgDocumentsDir;  // XDG_DOCUMENTS_DIR
};

// The environment of this process.
UserEnvironment currentUserEnvironment();

// The shared data folder of an installed program, relative to the folder of its executables
// ("../share/benthix" for the usual bin/ and share/ of one prefix).
std::string_view installedDataFromBinary();

// The start-up folders of the executable at `executablePath`. When the installed data folder
// exists beside it (installedDataFromBinary()), the program is installed: its tables are read
// from there and what it writes for itself goes to the per-user data folder. Otherwise it runs
// from a build tree, with the tables beside the executable. The scratch folder is the
// documents folder's Benthix (XDG_DOCUMENTS_DIR, else the user-dirs.dirs entry, else
// ~/Documents) when that documents folder exists, else ~/Benthix.
StartupFolders startupFolders(const std::string& executablePath, const UserEnvironment& env);

// startupFolders() with the environment of this process.
StartupFolders defaultStartupFolders(const std::string& executablePath);

// Joins a folder and a file name with one separator.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace bx
