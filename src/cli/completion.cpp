// SPDX-License-Identifier: MIT
#include "cli/completion.h"

#include <CLI/CLI.hpp>
#include <sstream>

namespace bx::cli {
namespace {

// The helpers and the start of the completion function, the same for every command.
const char* const kHead =
    R"bash(# bash completion for benthix-cli                                  -*- shell-script -*-
# Written by `benthix-cli --bash-completion` when the program is built: the commands, their
# options, the choices of the options that take one and the file names of the options that name
# a file come from the program's own command line.

# The candidates among "$@" that start with what is typed, each after `prefix`. Several of
# the choices hold spaces and brackets ("x1 < x2", "Sqr Root (x + .375)"): readline quotes
# them as it does file names.
_benthix_cli_choices() {
    local prefix=$1 typed=$2 candidate
    shift 2
    typed=${typed#[\"\']}
    typed=${typed//\\/}
    COMPREPLY=()
    for candidate in "$@"; do
        if [[ $candidate == "$typed"* ]]; then
            COMPREPLY+=("$prefix$candidate")
        fi
    done
    compopt -o filenames 2>/dev/null
    return 0
}

# File names with one of the extensions (any case), and folders.
_benthix_cli_files() {
    local typed=$1 ext found=()
    shift
    for ext in "$@"; do
        if declare -F _filedir >/dev/null; then
            cur=$typed
            COMPREPLY=()
            _filedir "$ext"
            found+=("${COMPREPLY[@]}")
        else
            local IFS=$'\n'
            found+=($(compgen -f -X "!*.$ext" -- "$typed") $(compgen -f -X "!*.${ext^^}" -- "$typed"))
            unset IFS
        fi
    done
    if ! declare -F _filedir >/dev/null; then
        local IFS=$'\n'
        found+=($(compgen -d -- "$typed"))
        unset IFS
        compopt -o filenames 2>/dev/null
    fi
    COMPREPLY=()
    local seen=" " f
    for f in "${found[@]}"; do
        [[ $seen == *" $f "* ]] && continue
        seen+="$f "
        COMPREPLY+=("$f")
    done
    return 0
}

_benthix_cli() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        # Keep "<", ">", "=", ":" and "(" inside the word: the choices contain them.
        _init_completion -n '<>=:(' || return
    else
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi

    # The command, and whether "--" has ended the options before the word being typed.
    local command="" i ended=""
    for ((i = 1; i < cword; i++)); do
        if [[ -z $command ]]; then
            case ${words[i]} in
)bash";

// A word for bash in single quotes.
std::string quoted(const std::string& word) {
    std::string out = "'";
    for (const char c : word) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string joined(const std::vector<std::string>& words, bool quote) {
    std::string out;
    for (const std::string& w : words) {
        out += (out.empty() ? "" : " ") + (quote ? quoted(w) : w);
    }
    return out;
}

// The long names of the options of `command` that take a value or not, in the order added.
void optionsOf(const CLI::App& command, std::vector<std::string>& all,
               std::vector<std::string>& withValue) {
    for (const CLI::Option* opt : command.get_options()) {
        if (!opt->nonpositional()) {
            continue;
        }
        for (const std::string& name : opt->get_lnames()) {
            all.push_back("--" + name);
            if (opt->get_expected_max() > 0) {  // flags expect no value
                withValue.push_back("--" + name);
            }
        }
    }
}

}  // namespace

std::string bashCompletionScript(const CLI::App& app, const CompletionChoices& choices) {
    std::ostringstream out;
    std::vector<std::string> commands;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        commands.push_back(sub->get_name());
    }
    out << kHead;
    std::string alternatives;
    for (const std::string& c : commands) {
        alternatives += (alternatives.empty() ? "" : " | ") + c;
    }
    out << "                " << alternatives << ")\n"
        << "                    command=${words[i]}\n"
        << "                    ;;\n"
        << "            esac\n"
        << "        elif [[ ${words[i]} == -- ]]; then\n"
        << "            ended=yes\n"
        << "        fi\n"
        << "    done\n\n"
        << R"bash(    # The option whose value is being typed: "--alpha 0.0" or "--alpha=0.0".
    local option=$prev typed=$cur prefix=""
    if [[ -n $ended ]]; then
        option=""
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*}
        typed=${cur#*=}
        prefix="$option="
    elif [[ $cur == -* ]]; then
        option=""
    fi

    case "$command $option" in
)bash";
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        std::vector<std::string> all, withValue;
        optionsOf(*sub, all, withValue);
        for (const std::string& option : withValue) {
            const std::string key = sub->get_name() + " " + option;
            out << "        " << quoted(key) << ")\n";
            const auto found = choices.find(key);
            if (found == choices.end()) {
                out << "            COMPREPLY=()\n";
            } else if (found->second.threads) {
                out << "            local cores\n"
                    << "            cores=$(nproc 2>/dev/null || echo 2)\n"
                    << "            ((cores > 64)) && cores=64\n"
                    << "            _benthix_cli_choices \"$prefix\" \"$typed\" $(seq 1 "
                       "\"$cores\")\n";
            } else if (!found->second.choices.empty()) {
                out << "            _benthix_cli_choices \"$prefix\" \"$typed\" "
                    << joined(found->second.choices, true) << '\n';
            } else {
                out << "            COMPREPLY=()\n"
                    << "            [[ -z $prefix ]] && _benthix_cli_files \"$typed\" "
                    << joined(found->second.extensions, false) << '\n';
            }
            out << "            return\n            ;;\n";
        }
    }
    out << "    esac\n\n    local options\n    case $command in\n";
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        std::vector<std::string> all, withValue;
        optionsOf(*sub, all, withValue);
        out << "        " << sub->get_name() << ")\n"
            << "            options=" << quoted(joined(all, false)) << '\n';
        const auto input = choices.find(sub->get_name() + " input");
        if (input != choices.end()) {
            out << "            if [[ -n $ended || $cur != -* ]]; then\n"
                << "                _benthix_cli_files \"$cur\" "
                << joined(input->second.extensions, false) << '\n';
            if (!input->second.choices.empty()) {
                out << "                local extra\n"
                    << "                for extra in " << joined(input->second.choices, true)
                    << "; do\n"
                    << "                    [[ $extra == \"$cur\"* ]] && COMPREPLY+=(\"$extra\")\n"
                    << "                done\n";
            }
            out << "                return\n            fi\n";
        } else {
            out << "            [[ -n $ended ]] && return\n";
        }
        out << "            ;;\n";
    }
    std::vector<std::string> all, withValue;
    optionsOf(app, all, withValue);
    out << "        *)\n"
        << "            if [[ $cur != -* ]]; then\n"
        << "                COMPREPLY=($(compgen -W " << quoted(joined(commands, false))
        << " -- \"$cur\"))\n"
        << "                return\n"
        << "            fi\n"
        << "            options=" << quoted(joined(all, false)) << '\n'
        << "            ;;\n"
        << "    esac\n"
        << "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
        << "} &&\n"
        << "    complete -F _benthix_cli benthix-cli\n";
    return out.str();
}

}  // namespace bx::cli
