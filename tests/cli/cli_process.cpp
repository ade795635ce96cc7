#include "cli/cli_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

extern char** environ;

namespace bx::cli::test {

std::string cliPath() {
    return std::string(BX_PROGRAM_DIR) + "/benthix-cli";
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string golden(const std::string& name) {
    return readFile(std::filesystem::path(BX_SOURCE_DIR) / "tests/cli/golden" / name);
}

ProcessResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workFolder,
                     const std::string& input) {
    const std::filesystem::path inPath = workFolder / "stdin.txt";
    const std::filesystem::path outPath = workFolder / "stdout.txt";
    const std::filesystem::path errPath = workFolder / "stderr.txt";
    writeFile(inPath, input);

    std::vector<std::string> argStrings{cliPath()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> envStrings{"HOME=" + workFolder.string()};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string_view(*e).substr(0, 5) != "HOME=") {
            envStrings.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());

    ProcessResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int wstatus = 0;
        if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
            result.status = WEXITSTATUS(wstatus);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

}  // namespace bx::cli::test
