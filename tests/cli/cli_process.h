#pragma once
// Runs the built benthix-cli as a child process, as a user's shell would, and collects what
// it prints and its exit status.

#include <filesystem>
#include <string>
#include <vector>

namespace bx::cli::test {

struct ProcessResult {
    int status = -1;  // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// The built program in the program folder.
std::string cliPath();

// Runs benthix-cli with `args` in `workFolder`, with HOME pointing at `workFolder` so that the
// per-user scratch folder lands there, and with `input` on its standard input.
ProcessResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workFolder,
                     const std::string& input = "");

// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& text);

// A golden file of tests/cli/golden.
std::string golden(const std::string& name);

}  // namespace bx::cli::test
