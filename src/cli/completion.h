// SPDX-License-Identifier: MIT
#pragma once
// The bash completion of benthix-cli, made from the command line's own options and choice
// lists (`benthix-cli --bash-completion`, run by the build), so that it never drifts from them.

#include <map>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace bx::cli {

// What may follow an option that takes a value: one of its choices, a file with one of the
// extensions, a number of threads up to the machine's cores, or anything (nothing offered).
struct ValueCompletion {
    std::vector<std::string> choices;
    std::vector<std::string> extensions;
    bool threads = false;
};

// Keyed by "command --option" ("batch --format").
using CompletionChoices = std::map<std::string, ValueCompletion>;

// The script for the commands and options of `app`; the positionals of a command complete as
// files with the extensions of choices["command input"].
std::string bashCompletionScript(const CLI::App& app, const CompletionChoices& choices);

}  // namespace bx::cli
