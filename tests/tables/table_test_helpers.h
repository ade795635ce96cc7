// SPDX-License-Identifier: MIT
#pragma once
// Helpers of the table tests: byte-level file access and an independent reader (python3 with
// dbfread or scipy, when installed).

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_support.h"

namespace bx::test {

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The system's python (Debian's python3-dbfread and python3-scipy live there), else the one
// on the PATH.
inline std::string pythonInterpreter() {
    return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

// Runs a python script file with arguments; returns its exit status and fills `output` with
// what it printed (stdout and stderr).
inline int runPython(const std::filesystem::path& script, const std::string& args,
                     std::string& output) {
    const std::string command =
        pythonInterpreter() + " '" + script.string() + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    output.clear();
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// True when python can import every module in `modules` (e.g. "dbfread" or "scipy.stats").
inline bool pythonHas(const std::filesystem::path& scratch, const std::string& modules) {
    const auto script = scratch / "probe_modules.py";
    writeBytes(script, "import " + modules + "\n");
    std::string output;
    return runPython(script, "", output) == 0;
}

}  // namespace bx::test
