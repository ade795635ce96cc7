// SPDX-License-Identifier: MIT
#include "reports/text_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "tables/file_copy.h"
#include "tables/file_lock.h"

namespace bx {
namespace {

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

FolderTurn::FolderTurn(const std::string& folder) {
    fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

FolderTurn::~FolderTurn() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the lock
    }
}

PendingFile::~PendingFile() {
    if (!temp_.empty() && !placed_) {
        std::remove(temp_.c_str());
    }
}

void PendingFile::nameFor(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device random;
    target_ = target;
    temp_ = (folder / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                       std::to_string(random()) + ".tmp"))
                .string();
    placed_ = false;
}

TableError PendingFile::place(bool replace) {
    if (TableError held = checkNotHeldOpen(target_)) {
        return held;
    }
    if (replace) {
        if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
            return errorFromErrno(errno, target_);
        }
    } else if (!renameNoReplace(temp_, target_)) {
        if (errno == EEXIST) {
            return makeFileError(kErrFileExists, target_, "the file already exists", target_);
        }
        return errorFromErrno(errno, target_);
    }
    placed_ = true;
    return {};
}

void PendingFile::withdraw() {
    if (placed_) {
        std::remove(target_.c_str());
        placed_ = false;
        temp_.clear();
    }
}

TableError writeTextFileAside(const std::string& path, const std::string& text, PendingFile& file) {
    if (TableError held = checkNotHeldOpen(path)) {
        return held;
    }
    file.nameFor(path);
    const int fd = ::open(file.temp().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errorFromErrno(errno, path);
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        return errorFromErrno(written ? errno : writeErrno, path);
    }
    return {};
}

TableError writeTextFileSafely(const std::string& path, const std::string& text) {
    PendingFile file;
    if (TableError error = writeTextFileAside(path, text, file)) {
        return error;
    }
    return file.place(true);
}

}  // namespace bx
