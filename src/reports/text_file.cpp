// SPDX-License-Identifier: MIT
#include "reports/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

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

TableError writeTextFileSafely(const std::string& path, const std::string& text) {
    if (TableError held = checkNotHeldOpen(path)) {
        return held;
    }
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device random;
    const std::string temp =
        (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                   std::to_string(random()) + ".tmp"))
            .string();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errorFromErrno(errno, path);
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        const int reason = written ? errno : writeErrno;
        std::remove(temp.c_str());
        return errorFromErrno(reason, path);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        std::remove(temp.c_str());
        return errorFromErrno(reason, path);
    }
    return {};
}

}  // namespace bx
