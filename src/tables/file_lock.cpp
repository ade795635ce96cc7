// SPDX-License-Identifier: MIT
#include "tables/file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>
#include <utility>

namespace bx {
namespace {

// The lock covers the bytes [0, kTurnstile); the byte at kTurnstile is the turnstile that a
// waiter holds while it waits, so that a holder who lets go and comes straight back queues
// behind it. Both lie far beyond any table's size, and a whole-file probe sees either.
constexpr off_t kTurnstile = static_cast<off_t>(1) << 62;

bool officeLockFileExists(const std::string& path) {
    const std::filesystem::path p(path);
    const std::filesystem::path lock = p.parent_path() / (".~lock." + p.filename().string() + "#");
    std::error_code ec;
    return std::filesystem::exists(lock, ec);
}

bool recordLockHeld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;  // the whole file
    const bool held = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// Places (or with F_UNLCK removes) the lock on the range at `start` of `length` bytes.
bool setRange(int fd, short type, off_t start, off_t length) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    l.l_start = start;
    l.l_len = length;
    while (fcntl(fd, F_OFD_SETLK, &l) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool tryLock(int fd) {
    return setRange(fd, F_WRLCK, 0, kTurnstile);
}

// Waits for the range, trying again after a pause that grows from 1 to 20 ms; false when
// `deadline` passes first.
bool lockUntil(int fd, off_t start, off_t length, std::chrono::steady_clock::time_point deadline) {
    auto pause = std::chrono::milliseconds(1);
    while (!setRange(fd, F_WRLCK, start, length)) {
        if (errno != EAGAIN && errno != EACCES) {
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = EAGAIN;
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    return true;
}

TableError inUse(const std::string& path, std::chrono::milliseconds waited) {
    std::string cause = "in use by another program";
    if (waited.count() > 0) {
        cause += " (still in use after " + std::to_string((waited.count() + 999) / 1000) + " s)";
    }
    return makeFileError(kErrPermissionDenied, path, cause, path + " (open in another program)");
}

}  // namespace

bool heldOpenElsewhere(const std::string& path) {
    return officeLockFileExists(path) || recordLockHeld(path);
}

TableError checkNotHeldOpen(const std::string& path) {
    if (heldOpenElsewhere(path)) {
        return inUse(path, std::chrono::milliseconds(0));
    }
    return {};
}

TableError checkNotHeldOpen(const std::string& path, const FileLock& own) {
    if (own.isAt(path)) {
        return officeLockFileExists(path) ? inUse(path, std::chrono::milliseconds(0))
                                          : TableError{};
    }
    return checkNotHeldOpen(path);
}

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), dev_(other.dev_), ino_(other.ino_) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        dev_ = other.dev_;
        ino_ = other.ino_;
    }
    return *this;
}

void FileLock::release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the last descriptor of the description ends its lock
        fd_ = -1;
    }
}

bool FileLock::adopt(int fd) {
    release();
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !tryLock(fd)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    fd_ = fd;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    return true;
}

bool FileLock::isAt(const std::string& path) const {
    struct stat st {};
    return fd_ >= 0 && ::stat(path.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_;
}

TableError FileLock::acquire(const std::string& path, std::chrono::milliseconds wait,
                             FileLock& lock) {
    lock.release();
    if (officeLockFileExists(path)) {
        return inUse(path, std::chrono::milliseconds(0));
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            return errorFromErrno(errno, path);
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return makeFileError(kErrPathFileAccess, path, "not a regular file",
                                 path + " (not a regular file)");
        }
        bool locked = false;
        if (wait.count() == 0) {
            locked = tryLock(fd);
        } else if (lockUntil(fd, kTurnstile, 1, deadline)) {
            // In line behind the waiters that came first, then for the file itself.
            locked = lockUntil(fd, 0, kTurnstile, deadline);
            const int err = errno;
            setRange(fd, F_UNLCK, kTurnstile, 1);
            errno = err;
        }
        if (!locked) {
            const int err = errno;
            ::close(fd);
            if (err == EAGAIN || err == EACCES) {
                return inUse(path, wait);
            }
            return errorFromErrno(err, path);
        }
        lock.fd_ = fd;
        lock.dev_ = st.st_dev;
        lock.ino_ = st.st_ino;
        if (lock.isAt(path)) {
            return {};
        }
        // Replaced (or removed) while this program waited: start again on what is there now.
        lock.release();
        if (std::chrono::steady_clock::now() >= deadline && wait.count() > 0) {
            return inUse(path, wait);
        }
    }
}

}  // namespace bx
