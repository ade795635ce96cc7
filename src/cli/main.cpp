// SPDX-License-Identifier: MIT
// benthix-cli: the command-line front end of the headless window.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/output_file.h"

namespace {

// The executable's own path, so that the tables beside it are found however it was started.
std::string executablePath(const char* argv0) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(argv0) : self.string();
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv, argv + argc);
    // Standard output through a buffer that keeps why a write failed.
    bx::cli::DescriptorOutput standardOutput(STDOUT_FILENO);
    std::ostream out(&standardOutput);
    const bx::cli::CliEnvironment env{
        bx::defaultStartupFolders(executablePath(argc > 0 ? argv[0] : "benthix-cli")), std::cin,
        out, std::cerr, isatty(STDERR_FILENO) == 1};
    const int status = bx::cli::runCommandLine(args, env);
    out.flush();
    return status;
}
