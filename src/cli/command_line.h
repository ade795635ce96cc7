// SPDX-License-Identifier: MIT
#pragma once
// The command line of benthix-cli: `analyze`, `batch`, --help and --version.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace bx::cli {

struct CliEnvironment {
    StartupFolders folders;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

// Parses `args` (args[0] is the program name) and runs the command. Returns the exit status:
// 0 when everything ran, 1 when entries were refused or a file failed, 2 for a wrong command
// line (with the usage on `err`).
int runCommandLine(const std::vector<std::string>& args, const CliEnvironment& env);

}  // namespace bx::cli
