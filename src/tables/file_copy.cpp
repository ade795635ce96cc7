#include "tables/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <string>

#include "tables/file_lock.h"

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
    // Closes now and reports the result (a deferred write error may surface here).
    int closeNow() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
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

}  // namespace

TableError copyFileSafely(const std::string& from, const std::string& to) {
    namespace fs = std::filesystem;
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        return errorFromErrno(errno, from);
    }
    struct stat source {};
    if (fstat(in.get(), &source) != 0) {
        return errorFromErrno(errno, from);
    }
    if (!S_ISREG(source.st_mode)) {
        return makeTableError(kErrPathFileAccess, from + " (not a file)");
    }

    const fs::path target(to);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        return makeTableError(kErrPathNotFound, to);
    }
    struct stat existing {};
    if (::stat(to.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            return makeTableError(kErrPathFileAccess, to + " (not a file)");
        }
        if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino) {
            return makeTableError(kErrPathFileAccess, to + " (copy onto itself)");
        }
        if (TableError locked = checkNotHeldOpen(to)) {
            return locked;
        }
        if (::access(to.c_str(), W_OK) != 0) {
            return errorFromErrno(errno, to);
        }
    }

    // A temporary name that no one else uses: O_EXCL refuses an existing one.
    std::string temp;
    int outFd = -1;
    for (int attempt = 0; attempt < 100 && outFd < 0; ++attempt) {
        temp = (fs::path(folder) /
                ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                 std::to_string(attempt) + ".tmp"))
                   .string();
        outFd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (outFd < 0 && errno != EEXIST) {
            return errorFromErrno(errno, to);
        }
    }
    if (outFd < 0) {
        return makeTableError(kErrFileExists, temp);
    }
    Fd out(outFd);
    const auto fail = [&temp, &to](int err) {
        ::unlink(temp.c_str());
        return errorFromErrno(err, to);
    };
    if (!copyBytes(in.get(), out.get())) {
        return fail(errno);
    }
    if (::fsync(out.get()) != 0) {
        return fail(errno);
    }
    if (out.closeNow() != 0) {
        return fail(errno);
    }
    if (::rename(temp.c_str(), to.c_str()) != 0) {
        return fail(errno);
    }
    syncFolder(folder);
    return {};
}

}  // namespace bx
