// SPDX-License-Identifier: MIT
#pragma once
// Errors of file and table operations, numbered as the program's run-time errors: 52 to 76 are
// file errors (53 file not found, 61 disk full, 70 permission denied, 75 path/file access
// error, 76 path not found, ...), 3021 a table without a current row, 3265 a field that the
// table does not have.

#include <string>
#include <string_view>

namespace bx {

struct TableError {
    int number = 0;  // 0: no error
    std::string description;
    // The file (or folder) concerned and what went wrong with it in plain words ("the disk is
    // full", "permission denied", "in use by another program"), when known.
    std::string file;
    std::string cause;

    explicit operator bool() const { return number != 0; }
    bool isFileError() const { return number >= 52 && number <= 76; }
};

inline constexpr int kErrInvalidArgument = 5;
inline constexpr int kErrBadFileName = 52;
inline constexpr int kErrFileNotFound = 53;
inline constexpr int kErrBadFileMode = 54;
inline constexpr int kErrFileAlreadyOpen = 55;
inline constexpr int kErrDeviceIo = 57;
inline constexpr int kErrFileExists = 58;
inline constexpr int kErrBadRecordLength = 59;
inline constexpr int kErrDiskFull = 61;
inline constexpr int kErrInputPastEnd = 62;
inline constexpr int kErrBadRecordNumber = 63;
inline constexpr int kErrTooManyFiles = 67;
inline constexpr int kErrDeviceUnavailable = 68;
inline constexpr int kErrPermissionDenied = 70;
inline constexpr int kErrDiskNotReady = 71;
inline constexpr int kErrRenameAcrossDisks = 74;
inline constexpr int kErrPathFileAccess = 75;
inline constexpr int kErrPathNotFound = 76;
inline constexpr int kErrNoCurrentRecord = 3021;
inline constexpr int kErrFieldNotFound = 3265;

// The standard message of an error number ("File not found", "Permission denied", ...).
std::string_view tableErrorMessage(int number);

// An error with its standard message followed by ": " and `detail` (a path, a field name or
// a reason); the bare message when `detail` is empty.
TableError makeTableError(int number, std::string_view detail);

// makeTableError(number, detail) that also names `file` and the `cause` in plain words.
TableError makeFileError(int number, const std::string& file, std::string_view cause,
                         std::string_view detail);

// Maps an errno value onto the numbering above (the one place that does so). ENOENT gives
// 76 (path not found) when the folder of `path` is missing too, else 53 (file not found). The
// error names `path` and says the cause in plain words.
TableError errorFromErrno(int errnoValue, const std::string& path);

// "<file>: <cause>" ("<cause>" without a file); the description when the cause is not known.
std::string plainFileError(const TableError& error);

// The cause in plain words appended to `text` as "; <cause>" (nothing when not known).
std::string withCause(std::string text, const TableError& error);

}  // namespace bx
