// SPDX-License-Identifier: MIT
#pragma once
// Running the command line in this process, with its own program and scratch folders.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/command_line.h"
#include "support/test_support.h"

namespace bx::cli::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;

    nlohmann::ordered_json json() const { return nlohmann::ordered_json::parse(out); }
};

// Runs `benthix-cli args...` in this process on the build's program folder.
inline CliRun runInProcess(const std::string& scratchName, std::vector<std::string> args,
                           const std::string& input = "") {
    const std::filesystem::path scratch = bx::test::freshScratch(scratchName);
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    args.insert(args.begin(), "benthix-cli");
    const CliEnvironment env{
        StartupFolders{bx::test::programFolder(), (scratch / "userdata").string()}, in, out, err,
        false};
    CliRun run;
    run.status = runCommandLine(args, env);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace bx::cli::test
