#pragma once
// Paths of the program: joining a folder and a name, and the folders found at start-up.

#include <string>
#include <string_view>

namespace bx {

struct StartupFolders {
    std::string programFolder;  // the folder of the executable: tables, templates, pictures
    std::string scratchFolder;  // persistent per-user folder standing in for "C:\temp"
};

// The platform's default folders: the executable's folder and the per-user scratch folder
// (~/Documents/Benthix, or ~/Benthix without a documents folder).
StartupFolders defaultStartupFolders(const std::string& executablePath);

// Joins a folder and a file name with one separator.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace bx
