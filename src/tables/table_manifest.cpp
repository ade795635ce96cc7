// SPDX-License-Identifier: MIT
#include "tables/table_manifest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "base/paths.h"
#include "tables/file_copy.h"
#include "tables/sha256.h"

namespace bx {
namespace {

TableError readWhole(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errorFromErrno(errno, path);
    }
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            ::close(fd);
            return errorFromErrno(err, path);
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {};
}

bool isHexDigest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

TableError describeFile(const std::string& path, ManifestEntry& entry) {
    std::string bytes;
    if (TableError error = readWhole(path, bytes)) {
        return error;
    }
    entry.fileName = std::filesystem::path(path).filename().string();
    entry.size = bytes.size();
    entry.sha256 = sha256Hex(bytes);
    return {};
}

TableError writeTableManifest(const std::string& folder,
                              const std::vector<std::string>& fileNames) {
    std::string text =
        "# The tables and templates as the build wrote them: size in bytes, SHA-256, file name.\n"
        "# Benthix checks them against this list at every start; validate checks them again.\n";
    for (const std::string& name : fileNames) {
        ManifestEntry entry;
        if (TableError error = describeFile(joinPath(folder, name), entry)) {
            return error;
        }
        text += std::to_string(entry.size) + " " + entry.sha256 + " " + entry.fileName + "\n";
    }
    const std::string path = joinPath(folder, kTableManifestName);
    FileLock lock;
    return replaceUnderLock(
        path, std::chrono::milliseconds(0), false,
        [&text](const std::string& tempPath, const FileLock& tempLock) -> TableError {
            std::size_t done = 0;
            while (done < text.size()) {
                const ssize_t n = ::write(tempLock.fd(), text.data() + done, text.size() - done);
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n <= 0) {
                    return errorFromErrno(n < 0 ? errno : EIO, tempPath);
                }
                done += static_cast<std::size_t>(n);
            }
            return {};
        },
        lock);
}

TableError readTableManifest(const std::string& folder, std::vector<ManifestEntry>& entries) {
    entries.clear();
    const std::string path = joinPath(folder, kTableManifestName);
    std::string text;
    if (TableError error = readWhole(path, text)) {
        return error;
    }
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        ManifestEntry entry;
        std::string rest;
        if (!(fields >> entry.size >> entry.sha256 >> entry.fileName) || (fields >> rest) ||
            !isHexDigest(entry.sha256)) {
            entries.clear();
            return makeFileError(kErrPathFileAccess, path,
                                 "damaged (line " + std::to_string(number) + " not understood)",
                                 path + " (line " + std::to_string(number) + ")");
        }
        entries.push_back(std::move(entry));
    }
    return {};
}

}  // namespace bx
