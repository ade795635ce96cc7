// SPDX-License-Identifier: MIT
#include "tables/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <string>

#include "tables/file_lock.h"
#include "tables/temp_files.h"

namespace bx {
namespace {

// Closes a descriptor on every path out of the copy.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

  private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies everything from `in` to `out`; false with errno set on failure.
bool copyBytes(int in, int out) {
    std::array<char, 65536> buffer{};
    while (true) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
            return false;
        }
    }
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Opens `from` for copying: a regular file, or the error that names it and the cause.
TableError openCopySource(const std::string& from, Fd& in, struct stat& source) {
    in.reset(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        return errorFromErrno(errno, from);
    }
    if (fstat(in.get(), &source) != 0) {
        return errorFromErrno(errno, from);
    }
    if (!S_ISREG(source.st_mode)) {
        return makeFileError(kErrPathFileAccess, from, "not a regular file",
                             from + " (not a file)");
    }
    return {};
}

}  // namespace

TableError copyFileInto(const std::string& from, int toFd, const std::string& to) {
    Fd in(-1);
    struct stat source {};
    if (TableError error = openCopySource(from, in, source)) {
        return error;
    }
    if (!copyBytes(in.get(), toFd)) {
        return errorFromErrno(errno, to);
    }
    return {};
}

bool renameNoReplace(const std::string& temp, const std::string& path) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without the flag: a hard link does the same, where links exist.
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    return ::rename(temp.c_str(), path.c_str()) == 0;
}

namespace {

// replaceUnderLock, or, when !replace, createUnderLock.
TableError placeUnderLock(const std::string& path, std::chrono::milliseconds wait, bool forTable,
                          const FillFile& fill, FileLock& lock, bool replace) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        return makeFileError(kErrPathNotFound, path, "no such folder", path);
    }
    FileLock existing;
    const auto lockExisting = [&]() -> TableError {
        TableError error = FileLock::acquire(path, wait, existing);
        return error.number == kErrFileNotFound ? TableError{} : error;
    };
    const auto alreadyThere = [&path]() {
        return makeFileError(kErrFileExists, path, "the file already exists", path);
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!replace) {
            return alreadyThere();
        }
        if (TableError error = lockExisting()) {
            return error;
        }
    } else if (errno != ENOENT) {
        return errorFromErrno(errno, path);
    } else if (::lstat(path.c_str(), &st) == 0) {
        // A symbolic link to a file that is not there: neither replaced nor followed.
        return makeFileError(kErrPathNotFound, path,
                             "a symbolic link to a file that does not exist", path);
    }

    const std::string temp = temporaryPathFor(path, forTable);
    FileLock tempLock;
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errorFromErrno(errno, path);
    }
    struct Cleanup {
        const std::string& path;
        bool keep = false;
        ~Cleanup() {
            if (!keep) {
                ::unlink(path.c_str());
            }
        }
    } cleanup{temp};
    if (!tempLock.adopt(fd)) {
        return errorFromErrno(errno, path);
    }
    if (TableError error = fill(temp, tempLock)) {
        return error;
    }
    if (::fsync(tempLock.fd()) != 0) {
        return errorFromErrno(errno, path);
    }
    bool placed = false;
    for (int attempt = 0; attempt < 3 && !placed; ++attempt) {
        if (existing.held()) {
            if (::rename(temp.c_str(), path.c_str()) != 0) {
                return errorFromErrno(errno, path);
            }
            placed = true;
        } else if (renameNoReplace(temp, path)) {
            placed = true;
        } else if (errno == EEXIST) {
            if (!replace) {
                return alreadyThere();
            }
            // Another program put a file there meanwhile: wait for it like for any other.
            if (TableError error = lockExisting()) {
                return error;
            }
        } else {
            return errorFromErrno(errno, path);
        }
    }
    if (!placed) {
        return makeFileError(kErrPathFileAccess, path, "replaced by another program meanwhile",
                             path + " (replaced meanwhile)");
    }
    cleanup.keep = true;
    syncFolder(folder);
    lock = std::move(tempLock);
    return {};
}

}  // namespace

TableError replaceUnderLock(const std::string& path, std::chrono::milliseconds wait, bool forTable,
                            const FillFile& fill, FileLock& lock) {
    return placeUnderLock(path, wait, forTable, fill, lock, true);
}

TableError createUnderLock(const std::string& path, bool forTable, const FillFile& fill,
                           FileLock& lock) {
    return placeUnderLock(path, std::chrono::milliseconds(0), forTable, fill, lock, false);
}

}  // namespace bx
