// SPDX-License-Identifier: MIT
#include "cli/file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>

#include "datafiles/file_names.h"
#include "reports/report_workbook.h"
#include "tables/table_error.h"

namespace bx::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDroppedCharacters = " !@#$%^&*()+=?|{}[]<>,:;~/\\";

std::string lastPart(const std::string& path) {
    return fs::path(path).filename().string();
}

bool endsWithNoCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) {
        return false;
    }
    for (std::size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) !=
            std::tolower(static_cast<unsigned char>(end[i]))) {
            return false;
        }
    }
    return true;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1 : 0;
    }
    return count;
}

// Which of the window's name rules change `name`, as a phrase.
std::string changedBy(const std::string& name, FileRole role) {
    const std::string_view extension = role == FileRole::Report ? ".csv" : ".dbf";
    const std::size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    std::vector<std::string> rules;
    if (role != FileRole::Report && characterCount(base) > 8) {
        rules.emplace_back("at most 8 characters before .dbf");
    }
    std::string dropped;
    for (const char c : base) {
        if (kDroppedCharacters.find(c) != std::string_view::npos &&
            dropped.find(c) == std::string::npos) {
            dropped += c;
        }
    }
    if (!dropped.empty()) {
        rules.push_back("the characters \"" + dropped + "\" are dropped");
    }
    if (dot == std::string::npos || name.substr(dot) != extension) {
        rules.push_back("the part from the first point on becomes " + std::string(extension));
    }
    std::string text;
    for (const std::string& rule : rules) {
        text += text.empty() ? "" : "; ";
        text += rule;
    }
    return text;
}

// A key that is the same for two paths naming one file, existing or not.
std::string fileKey(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) {
        p = fs::absolute(path, ec).lexically_normal();
    }
    return p.string();
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string windowFileName(const std::string& path, FileRole role) {
    const std::string name = lastPart(path);
    return role == FileRole::Report ? fixCSVName(name).name : fixDbfName(name).name;
}

std::vector<std::string> writtenFiles(const FileArgument& file) {
    if (file.role == FileRole::Input || file.role == FileRole::Loaded) {
        return {};
    }
    if (file.role == FileRole::Report) {
        return {file.path, workbookPathFor(file.path)};
    }
    return {file.path};
}

std::string fileArgumentProblem(const std::vector<FileArgument>& files, const FileRules& rules) {
    for (const FileArgument& f : files) {
        if (f.path.empty()) {
            return f.option + " names no file (an empty name)";
        }
    }
    for (const FileArgument& f : files) {
        if (f.role != FileRole::Table && f.role != FileRole::Report && f.role != FileRole::Loaded &&
            f.role != FileRole::Appended) {
            continue;
        }
        const std::string typed = lastPart(f.path);
        const std::string_view extension = f.role == FileRole::Report ? ".csv" : ".dbf";
        if (rules.keepLongNames) {
            if (!endsWithNoCase(typed, extension) || typed.size() == extension.size()) {
                return f.option + " " + f.path + ": the name must end in " + std::string(extension);
            }
            continue;
        }
        const std::string made = windowFileName(f.path, f.role);
        if (made != typed) {
            return f.option + " " + f.path + ": the window's name rules would make it \"" + made +
                   "\" (" + changedBy(typed, f.role) +
                   "); give a name they keep, or --keep-long-names to use it as typed";
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            const FileArgument& a = files[i];
            const FileArgument& b = files[j];
            const auto isRead = [](const FileArgument& f) {
                return f.role == FileRole::Input || f.role == FileRole::Loaded;
            };
            if (isRead(a) && isRead(b)) {
                continue;
            }
            for (const std::string& pa :
                 isRead(a) ? std::vector<std::string>{a.path} : writtenFiles(a)) {
                for (const std::string& pb :
                     isRead(b) ? std::vector<std::string>{b.path} : writtenFiles(b)) {
                    if (fileKey(pa) == fileKey(pb)) {
                        return b.option + " " + b.path + ": the same file as " + a.option + " " +
                               a.path + "; each output needs a file of its own";
                    }
                }
            }
        }
    }
    if (!rules.force) {
        for (const FileArgument& f : files) {
            if (f.role == FileRole::Appended) {
                continue;  // added to, never replaced
            }
            for (const std::string& path : writtenFiles(f)) {
                if (exists(path)) {
                    return f.option + " " + f.path + ": " + path + " exists; --force replaces it";
                }
            }
        }
    }
    return {};
}

namespace {

std::optional<std::string> readableFileCause(const std::string& path, bool fifoToo) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return plainCauseOfErrno(errno, path);
    }
    struct stat st {};
    const bool stated = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (stated && (S_ISREG(st.st_mode) || (fifoToo && S_ISFIFO(st.st_mode)))) {
        return std::nullopt;
    }
    return std::string(stated && S_ISDIR(st.st_mode) ? "a folder, not a regular file"
                                                     : "not a regular file");
}

}  // namespace

std::optional<std::string> unreadableFileCause(const std::string& path) {
    return readableFileCause(path, false);
}

std::optional<std::string> unstreamableFileCause(const std::string& path) {
    return readableFileCause(path, true);
}

std::string plainCause(int errorNumber) {
    std::string words;
    switch (errorNumber) {
        case kErrFileNotFound:
            words = "file not found";
            break;
        case kErrPathNotFound:
            words = "folder missing";
            break;
        case kErrDiskFull:
            words = "disk full";
            break;
        case kErrPermissionDenied:
            words = "permission denied";
            break;
        case kErrFileAlreadyOpen:
            words = "the file is open in another program";
            break;
        case kErrDeviceIo:
            words = "input/output error of the device";
            break;
        case kErrTooManyFiles:
            words = "too many open files";
            break;
        case kErrBadFileName:
            words = "not a usable file name";
            break;
        case kErrFileExists:
            words = "the file exists";
            break;
        default:
            words = "the file could not be used";
            break;
    }
    return words + " (error " + std::to_string(errorNumber) + ")";
}

std::string plainCauseOfErrno(int errnoValue, const std::string& path) {
    if (errnoValue == EISDIR) {
        return "a folder, not a regular file";
    }
    const TableError error = errorFromErrno(errnoValue, path);
    return plainCause(error.number == 0 ? kErrPathFileAccess : error.number);
}

int errorNumberIn(const std::string& text) {
    for (const std::string_view mark : {"Error!!!", "File IO Error ", "error "}) {
        std::size_t at = text.find(mark);
        while (at != std::string::npos) {
            std::size_t i = at + mark.size();
            int number = 0;
            bool digits = false;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0 &&
                   number < 100000) {
                number = number * 10 + (text[i] - '0');
                digits = true;
                ++i;
            }
            if (digits) {
                return number;
            }
            at = text.find(mark, at + 1);
        }
    }
    return 0;
}

}  // namespace bx::cli
