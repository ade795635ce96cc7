// SPDX-License-Identifier: MIT
#include "tables/table_error.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace bx {

std::string_view tableErrorMessage(int number) {
    switch (number) {
        case 0:
            return "";
        case kErrInvalidArgument:
            return "Invalid procedure call or argument";
        case kErrBadFileName:
            return "Bad file name or number";
        case kErrFileNotFound:
            return "File not found";
        case kErrBadFileMode:
            return "Bad file mode";
        case kErrFileAlreadyOpen:
            return "File already open";
        case kErrDeviceIo:
            return "Device I/O error";
        case kErrFileExists:
            return "File already exists";
        case kErrBadRecordLength:
            return "Bad record length";
        case kErrDiskFull:
            return "Disk full";
        case kErrInputPastEnd:
            return "Input past end of file";
        case kErrBadRecordNumber:
            return "Bad record number";
        case kErrTooManyFiles:
            return "Too many files";
        case kErrDeviceUnavailable:
            return "Device unavailable";
        case kErrPermissionDenied:
            return "Permission denied";
        case kErrDiskNotReady:
            return "Disk not ready";
        case kErrRenameAcrossDisks:
            return "Can't rename with different drive";
        case kErrPathFileAccess:
            return "Path/File access error";
        case kErrPathNotFound:
            return "Path not found";
        case kErrNoCurrentRecord:
            return "No current record";
        case kErrFieldNotFound:
            return "Item not found in this collection";
        default:
            return "Application-defined or object-defined error";
    }
}

TableError makeTableError(int number, std::string_view detail) {
    TableError error;
    error.number = number;
    error.description = tableErrorMessage(number);
    if (!detail.empty()) {
        error.description += ": ";
        error.description += detail;
    }
    return error;
}

TableError makeFileError(int number, const std::string& file, std::string_view cause,
                         std::string_view detail) {
    TableError error = makeTableError(number, detail);
    error.file = file;
    error.cause = cause;
    return error;
}

namespace {

bool folderMissing(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return !parent.empty() && !std::filesystem::is_directory(parent, ec);
}

// What an errno value means for the user, in plain words.
std::string causeOfErrno(int errnoValue, const std::string& path) {
    switch (errnoValue) {
        case ENOENT:
            return folderMissing(path) ? "no such folder" : "no such file";
        case ENOTDIR:
            return "no such folder";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EROFS:
            return "the disk is read-only";
        case ETXTBSY:
        case EBUSY:
        case EAGAIN:
            return "in use by another program";
        case ENOSPC:
        case EDQUOT:
            return "the disk is full";
        case EFBIG:
            return "the file is too large";
        case EMFILE:
        case ENFILE:
            return "too many files open";
        case EIO:
            return "the disk could not be read or written";
        case EEXIST:
            return "the file already exists";
        case EISDIR:
            return "not a regular file";
        case ENAMETOOLONG:
            return "the name is too long";
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return "the device is not available";
        default:
            return std::strerror(errnoValue);
    }
}

int numberForErrno(int errnoValue, const std::string& path) {
    switch (errnoValue) {
        case 0:
            return 0;
        case ENOENT:
            // A missing folder is "path not found"; a missing file in an existing folder is
            // "file not found".
            return folderMissing(path) ? kErrPathNotFound : kErrFileNotFound;
        case ENOTDIR:
            return kErrPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
        case EBUSY:
        case EAGAIN:
            return kErrPermissionDenied;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kErrDiskFull;
        case EMFILE:
        case ENFILE:
            return kErrTooManyFiles;
        case EIO:
            return kErrDeviceIo;
        case EEXIST:
            return kErrFileExists;
        case EXDEV:
            return kErrRenameAcrossDisks;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
        case EBADF:
            return kErrBadFileName;
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return kErrDeviceUnavailable;
        default:
            return kErrPathFileAccess;
    }
}

}  // namespace

TableError errorFromErrno(int errnoValue, const std::string& path) {
    const int number = numberForErrno(errnoValue, path);
    if (number == 0) {
        return {};
    }
    return makeFileError(number, path, causeOfErrno(errnoValue, path), path);
}

std::string plainFileError(const TableError& error) {
    if (error.cause.empty()) {
        return error.description;
    }
    return error.file.empty() ? error.cause : error.file + ": " + error.cause;
}

std::string withCause(std::string text, const TableError& error) {
    if (!error.cause.empty()) {
        text += "; ";
        text += error.cause;
    }
    return text;
}

}  // namespace bx
