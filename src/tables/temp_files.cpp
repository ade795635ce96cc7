// SPDX-License-Identifier: MIT
#include "tables/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <random>

namespace bx {
namespace {

bool allDigits(std::string_view text) {
    if (text.empty() || text.size() > 19) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Whether process `pid` still runs (or belongs to another user, which also counts as running).
bool processRuns(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH);
}

}  // namespace

std::string temporaryPathFor(const std::string& target, bool forTable) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path p(target);
    std::string name = "." + p.filename().string() + "." + std::to_string(::getpid()) + "." +
                       std::to_string(random() % 4294967296ULL) + ".tmp";
    if (forTable) {
        name += ".dbf";
    }
    return (p.parent_path() / name).string();
}

bool isTemporaryName(std::string_view name, pid_t& pid) {
    if (name.size() < 2 || name.front() != '.') {
        return false;
    }
    for (std::string_view suffix : {std::string_view(".tmp.dbf"), std::string_view(".tmp")}) {
        if (name.size() > suffix.size() && name.substr(name.size() - suffix.size()) == suffix) {
            name.remove_suffix(suffix.size());
            break;
        }
        if (suffix == ".tmp") {
            return false;
        }
    }
    // What is left: ".NAME.PID.RAND" with a name of at least one character.
    const std::size_t randDot = name.rfind('.');
    if (randDot == std::string_view::npos || randDot == 0) {
        return false;
    }
    const std::size_t pidDot = name.rfind('.', randDot - 1);
    if (pidDot == std::string_view::npos || pidDot < 2) {
        return false;
    }
    const std::string_view pidText = name.substr(pidDot + 1, randDot - pidDot - 1);
    if (!allDigits(pidText) || !allDigits(name.substr(randDot + 1))) {
        return false;
    }
    const unsigned long long value = std::stoull(std::string(pidText));
    if (value == 0 || value > 0x7fffffffULL) {
        return false;
    }
    pid = static_cast<pid_t>(value);
    return true;
}

std::vector<std::string> removeStaleTemporaryFiles(const std::string& folder,
                                                   std::chrono::seconds minimumAge) {
    std::vector<std::string> removed;
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return removed;
    }
    DIR* dir = ::fdopendir(dirFd);
    if (dir == nullptr) {
        ::close(dirFd);
        return removed;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        pid_t pid = 0;
        if (!isTemporaryName(name, pid) || pid == ::getpid() || processRuns(pid)) {
            continue;
        }
        struct stat st {};
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::getuid() ||
            now - st.st_mtime < static_cast<std::time_t>(minimumAge.count())) {
            continue;
        }
        if (::unlinkat(dirFd, name.c_str(), 0) == 0) {
            removed.push_back(name);
        }
    }
    ::closedir(dir);
    return removed;
}

}  // namespace bx
