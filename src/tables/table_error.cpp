#include "tables/table_error.h"

#include <cerrno>
#include <filesystem>
#include <string>

namespace bx {

std::string_view tableErrorMessage(int number) {
    switch (number) {
        case 0:
            return "";
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
    TableError error{number, std::string(tableErrorMessage(number))};
    if (!detail.empty()) {
        error.description += ": ";
        error.description += detail;
    }
    return error;
}

namespace {

int numberForErrno(int errnoValue, const std::string& path) {
    switch (errnoValue) {
        case 0:
            return 0;
        case ENOENT: {
            // A missing folder is "path not found"; a missing file in an existing folder is
            // "file not found".
            std::error_code ec;
            const std::filesystem::path parent = std::filesystem::path(path).parent_path();
            if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
                return kErrPathNotFound;
            }
            return kErrFileNotFound;
        }
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
    return makeTableError(number, path);
}

}  // namespace bx
