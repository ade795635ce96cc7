// SPDX-License-Identifier: MIT
#pragma once
// What the command-line tool checks about the files it is given before anything runs: names
// the window would change, outputs that would replace a file, an output that is the input or
// another output, inputs that are no regular files; and the plain words for a file failure.

#include <optional>
#include <string>
#include <vector>

namespace bx::cli {

enum class FileRole {
    Table,     // a dBASE table named through the window's file dialog (.dbf)
    Report,    // a report named through the window's file dialog (.csv, and its .xlsx)
    Results,   // a file the tool writes itself (batch --output): no name rule
    Input,     // a file that is read directly (the survey)
    Loaded,    // a dBASE table read through the window's file dialog (--load)
    Appended,  // a log that runs are added to (--append-*-log): may exist, name rules as Table
};

struct FileArgument {
    std::string option;  // "--save", "--output", "input"...
    std::string path;
    FileRole role = FileRole::Table;
};

struct FileRules {
    bool keepLongNames = false;  // use names as typed
    bool force = false;          // outputs may replace existing files
};

// The first problem with the files of one command, as one line without the program's name:
// a name the window would change (unless rules.keepLongNames; with it the name must still end
// in the extension), two arguments naming the same file when one of them is written, an output
// that exists (unless rules.force). Empty when there is none.
std::string fileArgumentProblem(const std::vector<FileArgument>& files, const FileRules& rules);

// The name the window's dialog makes of the last part of `path` for `role` (Table or Report).
std::string windowFileName(const std::string& path, FileRole role);

// The files an output writes: the path, and for a report its workbook beside it.
std::vector<std::string> writtenFiles(const FileArgument& file);

// Why `path` cannot be read as a file: "file not found (error 53)", "not a regular file", ...
// std::nullopt when it opens for reading as a regular file. Never blocks on a FIFO.
std::optional<std::string> unreadableFileCause(const std::string& path);

// The same for a file that is read as a stream: a FIFO is fine too, a folder or a device is
// not.
std::optional<std::string> unstreamableFileCause(const std::string& path);

// Plain words for an error number of the table numbering (61: "disk full (error 61)").
std::string plainCause(int errorNumber);

// The same for an errno value found while working on `path`.
std::string plainCauseOfErrno(int errnoValue, const std::string& path);

// The first error number in a message of the window ("File IO Error 61. ...", "error 70 (...)",
// "Error!!!75"); 0 when there is none.
int errorNumberIn(const std::string& text);

}  // namespace bx::cli
