#include "tables/file_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

namespace bx {
namespace {

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

}  // namespace

bool heldOpenElsewhere(const std::string& path) {
    return officeLockFileExists(path) || recordLockHeld(path);
}

TableError checkNotHeldOpen(const std::string& path) {
    if (heldOpenElsewhere(path)) {
        return makeTableError(kErrPermissionDenied, path + " (open in another program)");
    }
    return {};
}

}  // namespace bx
