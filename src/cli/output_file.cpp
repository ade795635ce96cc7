// SPDX-License-Identifier: MIT
#include "cli/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/file_checks.h"
#include "tables/file_copy.h"
#include "tables/temp_files.h"

namespace bx::cli {

bool OutputFile::Buffer::writeAll(const char* data, std::size_t size) {
    if (error != 0) {
        return false;
    }
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

OutputFile::Buffer::int_type OutputFile::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char ch = traits_type::to_char_type(c);
    return writeAll(&ch, 1) ? c : traits_type::eof();
}

std::streamsize OutputFile::Buffer::xsputn(const char* s, std::streamsize n) {
    return writeAll(s, static_cast<std::size_t>(n)) ? n : 0;
}

int OutputFile::Buffer::sync() {
    return error == 0 ? 0 : -1;
}

DescriptorOutput::DescriptorOutput(int fd) : fd_(fd) {
    setp(buffer_, buffer_ + sizeof(buffer_));
}

DescriptorOutput::~DescriptorOutput() {
    writeOut();
}

std::string DescriptorOutput::failureOf(std::ostream& out) {
    out.flush();
    if (out) {
        return {};
    }
    const int cause = errorOf(out);
    return "benthix-cli: writing the results to standard output failed: " +
           (cause != 0 ? plainCauseOfErrno(cause, "standard output")
                       : std::string("the output was refused")) +
           "\n";
}

int DescriptorOutput::errorOf(const std::ostream& stream) {
    const auto* output = dynamic_cast<const DescriptorOutput*>(stream.rdbuf());
    return output != nullptr ? output->error() : 0;
}

bool DescriptorOutput::writeOut() {
    const char* data = pbase();
    auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_, buffer_ + sizeof(buffer_));
    while (size > 0 && error_ == 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
            continue;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return error_ == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    if (!writeOut()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorOutput::sync() {
    return writeOut() ? 0 : -1;
}

OutputFile::OutputFile() : stream_(&buffer_) {}

OutputFile::~OutputFile() {
    if (buffer_.fd >= 0) {
        ::close(buffer_.fd);
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
    }
}

bool OutputFile::open(const std::string& path, bool mustBeNew) {
    mustBeNew_ = mustBeNew;
    path_ = path;
    target_ = path;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        buffer_.error = errno;
    } else if (exists && !S_ISREG(st.st_mode)) {
        // A terminal, a pipe or a device (also through /dev/stdout): written as it is.
        buffer_.fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    } else if (exists && ::access(path.c_str(), W_OK) != 0) {
        buffer_.error = errno;  // a write-protected file stays so
    } else {
        // The file the path names, through any symbolic links, is the one replaced.
        std::error_code ec;
        if (std::filesystem::is_symlink(path, ec)) {
            const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
            if (!ec) {
                target_ = resolved.string();
            }
        }
        const std::string folder = std::filesystem::path(target_).parent_path().string();
        removeStaleTemporaryFiles(folder.empty() ? "." : folder);
        const std::string temp = temporaryPathFor(target_, false);
        buffer_.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (buffer_.fd >= 0) {
            temp_ = temp;  // ours to remove from here on
            // The replacement keeps the permissions of the file it replaces.
            if (exists && ::fchmod(buffer_.fd, st.st_mode & 07777) != 0) {
                buffer_.error = errno;
            }
        }
    }
    if (buffer_.fd < 0 && buffer_.error == 0) {
        buffer_.error = errno;
    }
    if (buffer_.fd < 0 || buffer_.error != 0) {
        if (buffer_.fd >= 0) {
            ::close(buffer_.fd);
            buffer_.fd = -1;
        }
        if (!temp_.empty()) {
            ::unlink(temp_.c_str());
            temp_.clear();
        }
        stream_.setstate(std::ios::badbit);
        return false;
    }
    return true;
}

bool OutputFile::close() {
    stream_.flush();
    if (buffer_.fd >= 0) {
        // Not synced before the rename: results can be made again from the survey, and a sync
        // of a large results file would cost a batch a tenth of its time. A killed run is
        // covered all the same (the bytes are in the system's cache when the rename happens).
        if (::close(buffer_.fd) != 0 && buffer_.error == 0) {
            buffer_.error = errno;
        }
        buffer_.fd = -1;
    }
    const bool written = buffer_.error == 0 && !stream_.bad();
    if (!temp_.empty()) {
        if (written && mustBeNew_) {
            if (!renameNoReplace(temp_, target_)) {
                buffer_.error = errno;
                existed_ = errno == EEXIST;
            }
        } else if (written && ::rename(temp_.c_str(), target_.c_str()) != 0) {
            buffer_.error = errno;
        }
        if (buffer_.error != 0 || !written) {
            ::unlink(temp_.c_str());
        }
        temp_.clear();
    }
    return written && buffer_.error == 0;
}

std::string OutputFile::failureCause() const {
    if (buffer_.error == 0) {
        return {};
    }
    return plainCauseOfErrno(buffer_.error, path_) + ", errno " + std::to_string(buffer_.error) +
           " (" + std::strerror(buffer_.error) + ")";
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::ostream& err) {
    OutputFile file;
    if (!file.open(path)) {
        err << "benthix-cli: cannot write " << path << ": " << file.failureCause() << '\n';
        return false;
    }
    file.stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.close()) {
        err << "benthix-cli: writing " << path << " failed: " << file.failureCause() << '\n';
        return false;
    }
    return true;
}

}  // namespace bx::cli
