#include "cli/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/file_checks.h"

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

OutputFile::OutputFile() : stream_(&buffer_) {}

OutputFile::~OutputFile() {
    if (buffer_.fd >= 0) {
        ::close(buffer_.fd);
    }
}

bool OutputFile::open(const std::string& path) {
    path_ = path;
    buffer_.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (buffer_.fd < 0) {
        buffer_.error = errno;
        stream_.setstate(std::ios::badbit);
        return false;
    }
    return true;
}

bool OutputFile::close() {
    stream_.flush();
    if (buffer_.fd >= 0) {
        if (::close(buffer_.fd) != 0 && buffer_.error == 0) {
            buffer_.error = errno;
        }
        buffer_.fd = -1;
    }
    return buffer_.error == 0 && !stream_.bad();
}

std::string OutputFile::failureCause() const {
    if (buffer_.error == 0) {
        return {};
    }
    return plainCauseOfErrno(buffer_.error, path_) + ", errno " + std::to_string(buffer_.error) +
           " (" + std::strerror(buffer_.error) + ")";
}

}  // namespace bx::cli
